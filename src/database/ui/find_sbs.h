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

    // Runs the dialog; the subscriber chosen, or {-1, -1}.
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
    SubscriberFound result_;
};

} // namespace k4
