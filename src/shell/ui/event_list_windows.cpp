#include "shell/ui/event_list_windows.h"

#include "database/sbscrbr.h"
#include "database/text_edge.h"
#include "processing/ui/event_forms.h"
#include "processing/ui/ns_alarms.h"
#include "processing/ui/shr_alarms.h"
#include "shell/station.h"

#include <QDir>
#include <QFileDialog>

namespace k4 {

void openSharedEventLists(Station& station, Printing* printing, QWidget* parent,
                          std::function<SubscriberFound()> findSubscriber) {
    Messages& messages = station.messages();
    const DataDir dir = station.history().dataDir();
    SbsAlarmsChoosers choosers;
    choosers.sharedList = [&station, parent]() -> std::optional<int32_t> {
        TCommonLists chooser(station.sharedLists(), parent);
        if (chooser.exec() != QDialog::Accepted) return std::nullopt;
        return chooser.listId();
    };
    choosers.subscriberList = [&station, &messages, findSubscriber]() -> std::optional<int32_t> {
        const SubscriberFound found = findSubscriber ? findSubscriber() : SubscriberFound{-1, -1};
        if (found.offset < 0) return std::nullopt;
        Sbscrbr subscriber(station.database(), AtOffset{found.offset});
        if (!subscriber.valid) {
            messages.ShowNotice(mz("odczytu danych abonenta"), kNoticeError);
            return std::nullopt;
        }
        return static_cast<int32_t>(subscriber.record.alarm_list);
    };
    choosers.listFile = [parent]() -> std::optional<std::string> {
        const QString file = QFileDialog::getOpenFileName(parent, QString::fromUtf8("Lista zdarzeń"), QDir::homePath(),
                                                          QString::fromUtf8("Listy zdarzeń (*.al)"));
        if (file.isEmpty()) return std::nullopt;
        return file.toStdString();
    };
    choosers.standardCode = [&station, &messages, dir, parent]() -> std::optional<int> {
        TAlarms pick(station.events(), dir, messages, nullptr, true, parent);
        if (pick.exec() != QDialog::Accepted) return std::nullopt;
        return pick.picked();
    };
    SharedListParts parts{station.sharedLists(), station.database().file(DbFile::Alarmy), station.events(), messages};
    TShrAlarms window(parts, station.config(), station.database().file(DbFile::Dane),
                      station.indexes().handle(kIndexNumber), printing, choosers, parent);
    window.entries().setDumpDirectory(QDir::homePath().toStdString());
    window.exec();
}

} // namespace k4
