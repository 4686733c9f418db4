#pragma once
// The windows of the event names and the special codes: "Lista nazw
// zdarzeń" (the standard table, also as a picker), "Zdarzenie" (one
// definition), "Testy" (the special codes), "Zdarzenia programowe" (the
// system kinds, a picker), "Listy wspólne" (a shared list chosen) and
// "Zdarzenie" of an event list's entry.
#include "config/config.h"
#include "processing/event_dialog_ops.h"
#include "processing/event_text.h"
#include "processing/share_lst.h"

#include <QDialog>

#include <optional>

class QButtonGroup;
class QComboBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QRadioButton;

namespace k4 {

class Printing;

// "Zdarzenie": one definition of the standard table.
class TZdarzenie : public QDialog {
    Q_OBJECT
public:
    // code 0: a new definition.
    TZdarzenie(EventTable& table, const DataDir& dir, Messages& messages, int code, QWidget* parent = nullptr);
    // 0 stored, 1 nothing stored, -1 failed; the dialog closes unless -1.
    int ZapiszClick();

    QLineEdit* Numer;
    QLineEdit* Skrot;
    QLineEdit* Nazwa;
    QButtonGroup* Rodzaj; // ids 0 zwykłe, 1 załączenie, 2 wyłączenie, 3 pożarowe
    QComboBox* Kolor;

private:
    EventTable& table_;
    DataDir dir_;
    Messages& messages_;
    int code_;
};

// "Lista nazw zdarzeń".
class TAlarms : public QDialog {
    Q_OBJECT
public:
    // pick: a double click returns the chosen code and closes.
    TAlarms(EventTable& table, const DataDir& dir, Messages& messages, Printing* printing, bool pick = false,
            QWidget* parent = nullptr);
    void refresh();
    int count() const;
    QString line(int i) const;
    int codeAt(int i) const;
    void select(int i);
    // The code picked (pick mode), or 0.
    int picked() const { return picked_; }

    void DodajClick();
    void UsunClick();
    void WydrukClick();
    void ListDblClick();

    QListWidget* List;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    EventTable& table_;
    DataDir dir_;
    Messages& messages_;
    Printing* printing_;
    bool pick_;
    int picked_ = 0;
};

// "Testy": the ten special codes.
class TSpecAlForm : public QDialog {
    Q_OBJECT
public:
    // pickCode: the code chosen from the event names, or nothing.
    TSpecAlForm(Config& config, const EventTable& events, Messages& messages,
                std::function<std::optional<int>()> pickCode, QWidget* parent = nullptr);
    void refresh();
    QString line(int i) const;
    void select(int i);
    void ZmienClick();
    void UsunClick();

    QListWidget* List;

private:
    Config& config_;
    const EventTable& events_;
    Messages& messages_;
    std::function<std::optional<int>()> pickCode_;
};

// "Zdarzenia programowe": the system kinds; the choice as three
// hexadecimal digits.
class TInnersForm : public QDialog {
    Q_OBJECT
public:
    TInnersForm(const EventFormatter& formatter, QWidget* parent = nullptr);
    int count() const;
    QString line(int i) const;
    void select(int i);
    // The three digits of the kind chosen, or empty.
    QString chosen() const;

    QListWidget* List;

private:
    std::vector<int> kinds_;
};

// "Listy wspólne": a shared slot chosen; its listId, or -1 ("&Porzuć").
class TCommonLists : public QDialog {
    Q_OBJECT
public:
    TCommonLists(const ShareLst& lists, QWidget* parent = nullptr);
    void select(int slot);
    int selectedSlot() const;
    void KopiujClick();
    int32_t listId() const { return listId_; }

    QListWidget* List;

private:
    const ShareLst& lists_;
    int32_t listId_ = -1;
};

// "Zdarzenie" of a list entry.
class TNSAlarm : public QDialog {
    Q_OBJECT
public:
    // position -1: a new entry. readOnly: opened to look only.
    TNSAlarm(AlarmsTableList& list, const EventTable& events, Messages& messages, int position, bool readOnly,
             std::function<std::optional<int>()> pickCode, QWidget* parent = nullptr);
    // OK: 0 stored, 1 cancelled, -1 refused.
    int OkClick();
    void ListaClick();
    ListEntryInput input() const;

    QLineEdit* KodObiektu;
    QLineEdit* Numer;
    QLabel* NazwaZdarzenia;
    QButtonGroup* Sektor; // 0 standard, 1 bez sektora, 2 użytkownika
    QLineEdit* NrSektora;
    QButtonGroup* Kolor;  // 0 standard, 1 z tabelki
    QComboBox* KolorZTabelki;

private:
    void showName();

    AlarmsTableList& list_;
    const EventTable& events_;
    Messages& messages_;
    int oldObjCode_ = 0;
    bool readOnly_;
    std::function<std::optional<int>()> pickCode_;
};

} // namespace k4
