#pragma once
// "Zmiana numeru abonenta": the old and the new number, four digits each.
// The dialog is kept for the run, so it shows the numbers of its last use.
#include <QDialog>

class QLineEdit;

namespace k4 {

class SubscriberDatabase;
class SubscriberIndexes;

class TNewNo : public QDialog {
    Q_OBJECT
public:
    TNewNo(SubscriberDatabase& database, SubscriberIndexes& indexes, QWidget* parent = nullptr);
    void ZmienClick();
    // What the last "&Zmień" gave (kNumberChanged ...), or 1 before any.
    int outcome() const { return outcome_; }

    QLineEdit* Stary;
    QLineEdit* Nowy;

private:
    SubscriberDatabase& database_;
    SubscriberIndexes& indexes_;
    int outcome_ = 1;
};

} // namespace k4
