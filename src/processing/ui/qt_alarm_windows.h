#pragma once
// The alarm windows of the main window's service sequence, made as Qt
// dialogs over the station's subscriber data.
#include "processing/ui/al_desc.h"
#include "shell/alarm_service.h"

#include <array>
#include <functional>
#include <optional>
#include <string>

class QWidget;

namespace k4 {

class EventTable;
class Messages;

class QtAlarmWindows final : public AlarmWindows {
public:
    // The subscriber's data for an alarm, or nothing when it cannot be loaded.
    using SubscriberInfoSource = std::function<std::optional<AlarmSubscriberInfo>(const AlarmRecord&)>;

    QtAlarmWindows(Messages& messages, const EventTable* events, SubscriberInfoSource info,
                   std::array<std::string, 8> steps, QWidget* parent = nullptr);

    void setParent(QWidget* parent) { parent_ = parent; }
    // The forwarding buttons of an alarm's description (mode "Nadawcza").
    using DescriptionActionsSource = std::function<std::optional<AlarmDescriptionActions>(const AlarmRecord&)>;
    void setDescriptionActions(DescriptionActionsSource source) { descriptionActions_ = std::move(source); }

    std::unique_ptr<AlarmDescriptionWindow> createDescription(const AlarmRecord& alarm) override;
    int runService(uint16_t& service) override;

private:
    Messages& messages_;
    const EventTable* events_;
    SubscriberInfoSource info_;
    std::array<std::string, 8> steps_;
    QWidget* parent_;
    DescriptionActionsSource descriptionActions_;
};

} // namespace k4
