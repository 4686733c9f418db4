#pragma once
// "Opis alarmu": what the operator needs to act on one alarm: the
// subscriber, the event and where it came from.
#include "processing/alarm_record.h"
#include "processing/alarm_subscriber_info.h"

#include <QDialog>

#include <string>

class QFormLayout;
class QLabel;

namespace k4 {

class EventTable;

class TAlDesc : public QDialog {
    Q_OBJECT
public:
    TAlDesc(const AlarmRecord& alarm, const EventTable* events, const AlarmSubscriberInfo& info,
            QWidget* parent = nullptr);

    // kServiceRemove ("&Usuń"), kServiceOpen ("O&bsługa") or kServiceKeep.
    int outcome() const { return outcome_; }
    QString fieldText(const char* name) const;

private:
    QLabel* addField(const char* name, const QString& caption, const QString& text);
    int outcome_;
    QFormLayout* form_;
};

} // namespace k4
