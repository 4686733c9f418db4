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

namespace k4 {

class EventTable;

// In mode "Nadawcza": the buttons that forward the alarm now to the first
// and the second base it has a forwarding state for (captions empty: no
// button), and "Fałszywy alarm" while a fire's forward waits.
struct AlarmForwardButtons {
    std::array<std::string, 2> captions; // UTF-8, "&" before the accelerator
    std::function<void(int which)> forwardNow; // 2 the first base, 3 the second
    bool firePending = false;
    std::function<void()> falseAlarm;
};

class TAlDesc : public QDialog {
    Q_OBJECT
public:
    TAlDesc(const AlarmRecord& alarm, const EventTable* events, const AlarmSubscriberInfo& info,
            QWidget* parent = nullptr, const AlarmForwardButtons* forwarding = nullptr);

    // kServiceRemove ("&Usuń"), kServiceOpen ("O&bsługa") or kServiceKeep.
    int outcome() const { return outcome_; }
    QString fieldText(const char* name) const;

private:
    QLabel* addField(const char* name, const QString& caption, const QString& text);
    int outcome_;
    QFormLayout* form_;
};

} // namespace k4
