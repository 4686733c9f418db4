#pragma once
// "Opis alarmu": what the operator needs to act on one alarm: the
// subscriber, the event and where it came from.
#include "processing/alarm_record.h"
#include "processing/alarm_subscriber_info.h"

#include <QDialog>

#include <array>
#include <functional>
#include <string>

class QFormLayout;
class QLabel;
class QWidget;

namespace k4 {

class EventTable;

// What the description offers beyond looking: in mode "Nadawcza" the
// buttons that forward the alarm now to the first and the second base it
// has a forwarding state for (captions empty: no button) and "Fałszywy
// alarm" while a fire's forward waits; "Wysł. &rozkazu" (none: no button).
struct AlarmDescriptionActions {
    std::array<std::string, 2> captions; // UTF-8, "&" before the accelerator
    std::function<void(int which)> forwardNow; // 2 the first base, 3 the second
    bool firePending = false;
    std::function<void()> falseAlarm;
    std::function<void(QWidget* parent)> sendOrder;
};

class TAlDesc : public QDialog {
    Q_OBJECT
public:
    TAlDesc(const AlarmRecord& alarm, const EventTable* events, const AlarmSubscriberInfo& info,
            QWidget* parent = nullptr, const AlarmDescriptionActions* forwarding = nullptr);

    // kServiceRemove ("&Usuń"), kServiceOpen ("O&bsługa") or kServiceKeep.
    int outcome() const { return outcome_; }
    QString fieldText(const char* name) const;

private:
    QLabel* addField(const char* name, const QString& caption, const QString& text);
    int outcome_;
    QFormLayout* form_;
};

} // namespace k4
