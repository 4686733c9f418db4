#include "processing/ui/qt_alarm_windows.h"

#include "database/text_edge.h"
#include "processing/ui/al_serv.h"
#include "messages/messages.h"

#include <cstdio>

namespace k4 {

namespace {

class DescriptionWindow final : public AlarmDescriptionWindow {
public:
    DescriptionWindow(Messages& messages, const AlarmRecord& alarm, const EventTable* events,
                      const AlarmSubscriberInfo& info, QWidget* parent, const AlarmDescriptionActions* forwarding)
        : messages_(messages), lastReport_(alarm.subsystem >= 90 && alarm.subsystem != 255),
          dialog_(alarm, events, info, parent, forwarding) {}
    int run() override {
        if (lastReport_) messages_.ShowNotice(mz("\x03" "OSTATNI MELDUNEK!"), kNoticeInfo);
        dialog_.exec();
        return dialog_.outcome();
    }

private:
    Messages& messages_;
    bool lastReport_;
    TAlDesc dialog_;
};

} // namespace

QtAlarmWindows::QtAlarmWindows(Messages& messages, const EventTable* events, SubscriberInfoSource info,
                               std::array<std::string, 8> steps, QWidget* parent)
    : messages_(messages), events_(events), info_(std::move(info)), steps_(std::move(steps)), parent_(parent) {}

std::unique_ptr<AlarmDescriptionWindow> QtAlarmWindows::createDescription(const AlarmRecord& alarm) {
    std::optional<AlarmSubscriberInfo> info;
    if (info_) info = info_(alarm);
    if (!info) {
        char text[64];
        std::snprintf(text, sizeof text, "Brak informacji o abonencie %d", static_cast<int>(alarm.subscriber));
        messages_.ShowNotice(mz(text), kNoticeAlarm);
        return nullptr;
    }
    std::optional<AlarmDescriptionActions> forwarding;
    if (descriptionActions_) forwarding = descriptionActions_(alarm);
    return std::make_unique<DescriptionWindow>(messages_, alarm, events_, *info, parent_,
                                               forwarding ? &*forwarding : nullptr);
}

int QtAlarmWindows::runService(uint16_t& service) {
    TAlServ dialog(steps_, service, parent_);
    dialog.exec();
    service = dialog.service();
    return dialog.outcome();
}

} // namespace k4
