#pragma once
// "Znajdź abonenta": made once and kept, so its fields and "&Następny" stay
// from one search to the next as the operator left them.
#include "database/subscriber_search.h"

#include <QDialog>

class QLineEdit;
class QPushButton;

namespace k4 {

class TFindSbs : public QDialog {
    Q_OBJECT
public:
    TFindSbs(SubscriberSearch& search, QWidget* parent = nullptr);

    // Runs the dialog; the subscriber chosen, or {-1, -1} when the search
    // ends without a choice ("&Porzuć", Escape, the window closed).
    SubscriberFound find();

    void SzukajClick();
    void NastepnyClick();
    void PorzucClick();

    QLineEdit* Numer;
    QLineEdit* Nazwa;
    QLineEdit* Haslo;
    QLineEdit* Telefon;
    QPushButton* Szukaj;
    QPushButton* Nastepny;
    QPushButton* Porzuc;

private:
    SubscriberSearchFields fields() const;

    SubscriberSearch& search_;
    SubscriberFound result_; // what this opening gives
    SubscriberFound last_;   // the last one found, where "&Następny" steps on from
};

} // namespace k4
