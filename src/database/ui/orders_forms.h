#pragma once
// The order windows: "Lista wszystkich rozkazów" (the table "rozkazy", also
// as the chooser of a subscriber's orders), "Rozkaz" (one order name),
// "Lista rozkazów abonenta" (the orders a panel may be sent, with the code
// each goes out under) and "Rozkaz" / "Kod wysyłanego rozkazu:".
#include <QDialog>

#include <memory>

class QLineEdit;
class QListWidget;

namespace k4 {

class Messages;
class OrderNamesTable;
class OrdersTableList;
class Printing;
class SubscriberDatabase;
struct SubscriberRecord;

constexpr int kHelpOrders = 1064;

// "Rozkaz": "Numer rozkazu (hex.)" and "Opis rozkazu" of one order.
class TOrderForm : public QDialog {
    Q_OBJECT
public:
    // code 0: a new order.
    TOrderForm(OrderNamesTable& names, int code, QWidget* parent = nullptr);
    // 0 stored (closes); 1 nothing stored, the dialog stays open; -1 the
    // write failed (told; closes, the table shows what is in memory).
    int ZapiszClick();

    QLineEdit* Numer;
    QLineEdit* Opis;

private:
    OrderNamesTable& names_;
    int code_;
};

// "Lista wszystkich rozkazów".
class TOrdersTab : public QDialog {
    Q_OBJECT
public:
    // choosingFor: the subscriber's orders the chosen ones are permitted in
    // ("&Dodaj" of "Lista rozkazów abonenta"); null: the table itself.
    TOrdersTab(OrderNamesTable& names, Messages& messages, Printing* printing, OrdersTableList* choosingFor = nullptr,
               QWidget* parent = nullptr);

    void refresh();
    int count() const;
    QString line(int i) const;
    int codeAt(int i) const;
    void select(int i);

    void NowyClick();
    void UsunClick();
    void WydrukClick();
    void KopiujClick(); // "Kopiuj &wszystkie"
    void ListDblClick();

    QListWidget* List;

private:
    void edit(int code);

    OrderNamesTable& names_;
    Messages& messages_;
    Printing* printing_;
    OrdersTableList* choosingFor_;
};

// "Rozkaz" with "Kod wysyłanego rozkazu:".
class TSentCodeForm : public QDialog {
    Q_OBJECT
public:
    TSentCodeForm(const QString& code, QWidget* parent = nullptr);
    QLineEdit* Kod;
};

// "Lista rozkazów abonenta" over the orders field of a subscriber record
// in memory.
class TSbsOrders : public QDialog {
    Q_OBJECT
public:
    TSbsOrders(SubscriberDatabase& database, SubscriberRecord& record, bool editing, QWidget* parent = nullptr);
    ~TSbsOrders() override;

    void refresh();
    int count() const;
    QString line(int i) const;
    void select(int i);
    bool saved() const { return saved_; }

    void DodajClick();
    void UsunClick();
    void UsunWszystkieClick();
    // Double click or Space: the sent code of the selected order.
    void ListDblClick();
    void KoniecClick();

    QListWidget* List;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    SubscriberDatabase& database_;
    std::unique_ptr<OrdersTableList> list_;
    bool editing_;
    bool saved_ = false;
};

// The subscriber card's orders: the dialog over the record in memory,
// modal. editing: its changes can be made and "&Koniec" saves the set into
// "orders" (the record's orders field then names it; the subscriber's next
// save writes the field). true when the set was saved.
bool openSubscriberOrders(SubscriberDatabase& database, SubscriberRecord& record, bool editing,
                          QWidget* parent = nullptr);

} // namespace k4
