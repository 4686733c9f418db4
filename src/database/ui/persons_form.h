#pragma once
// "Lista Powiadomień": the persons told of a subscriber's events, and the
// person dialog "Powiadomienia". Every person is written to "osoby" when it
// is stored; the list of offsets reaches "dane" with the subscriber's save.
// Opened for viewing, the editing buttons are hidden.
#include "database/related_records.h"
#include "database/subscriber_record.h"

#include <QColor>
#include <QDialog>

#include <memory>

class QComboBox;
class QLineEdit;
class QListWidget;
class QPushButton;

namespace k4 {

class Messages;
class PersonsList;
class SubscriberDatabase;

// The 16 colours of the person's colour grid.
QColor personColour(int index);

class TPerson : public QDialog {
    Q_OBJECT
public:
    TPerson(const PersonRecord& person, Messages& messages, QWidget* parent = nullptr);
    // "&Zapisz": the fields into the person; an event number outside 0..4094
    // is told and stored as 0.
    void ZapiszClick();
    PersonRecord person{};

    QLineEdit* Nazwisko;
    QLineEdit* Adres;
    QLineEdit* Telefon;
    QLineEdit* Haslo;
    QLineEdit* Zdarzenie;
    QComboBox* Kolor;

private:
    Messages& messages_;
};

class TPersons : public QDialog {
    Q_OBJECT
public:
    TPersons(SubscriberDatabase& database, bool edit, Int32Le (&persons)[kPersonSlots], QWidget* parent = nullptr);
    ~TPersons() override;

    // The line of entry i as shown, the event number included.
    QString line(int i) const;
    int count() const;

    void NowaClick();
    void PustaClick();
    void UsunClick();
    void ListDblClick(int row);
    // The person dialog's outcome stored: a new person at the end, or the
    // entry of row.
    void storeNew(const PersonRecord& person);
    void storeAt(int row, const PersonRecord& person);

    QListWidget* List;
    QPushButton* Nowa;
    QPushButton* Pusta;
    QPushButton* Usun;
    QPushButton* Koniec;

private:
    void refill(int select);

    SubscriberDatabase& database_;
    bool edit_;
    std::unique_ptr<PersonsList> list_;
};

} // namespace k4
