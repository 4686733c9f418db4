#pragma once
// "Abonent %4.4d": the subscriber card. It shows the basic data of one
// subscriber, edits and saves them with the index entries, and opens every
// dialog of the subscriber's related data. The dialogs of other subsystems
// (tests, paths, event list, history, printing, LEDs, orders, description,
// measurements) come in as links from the station; a link left empty leaves
// its button disabled.
#include "database/sbscrbr.h"

#include <QDialog>

#include <array>
#include <functional>
#include <memory>

class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;

namespace k4 {

class Messages;
class SubscriberIndexes;
struct ConfigBlock;

enum class CardMode { Normal, History, Test };

// The card's results besides the dialog's own.
enum : int {
    kCardDeleted = 6,      // after "&Usuń", whatever the answer
    kCardBackToHistory = 7 // "&Historia" in history mode
};

// Creation's third argument when it is not a record offset.
enum : int32_t {
    kCardByNumber = -1,
    kCardByNumberForHistory = -2,
};

struct CardLinks {
    SubscriberDatabase& database;
    SubscriberIndexes& indexes;
    Messages& messages;
    const ConfigBlock& config;
    // Supervisor mode of the station: whether it is on, the entry with its
    // password prompt (true when on afterwards), and leaving it.
    std::function<bool()> supervisorOn;
    std::function<bool()> enterSupervisor;
    std::function<void()> leaveSupervisor;
    // "&Testy" over the subscriber in memory; viewOnly outside edit mode.
    std::function<void(Sbscrbr&, bool viewOnly, QWidget* parent)> tests;
    // "&Badania": the path dialog of a stored subscriber.
    std::function<void(int32_t offset, bool fromHistory, QWidget* parent)> paths;
    // "&Zdarzenia": the subscriber's event list.
    std::function<void(Sbscrbr&, QWidget* parent)> eventList;
    // "&Historia" outside history mode: whether a history window is open,
    // and the history window of one subscriber.
    std::function<bool()> historyOpen;
    std::function<void(int number, QWidget* parent)> history;
    // "Wy&druk": the data sheet of the subscriber as on screen.
    std::function<void(Sbscrbr&)> printSheet;
    // After a save: the tests and arming windows planned again.
    std::function<void(Sbscrbr&)> afterSave;
    // "&Diody", "&Rozkazy", "&Opis", "&Pomiary" (edit: the card edits).
    std::function<void(Sbscrbr&, QWidget* parent)> leds;
    std::function<void(Sbscrbr&, bool edit, QWidget* parent)> orders;
    std::function<void(Sbscrbr&, bool edit, QWidget* parent)> description;
    std::function<void(Sbscrbr&, bool edit, QWidget* parent)> measurements;
};

class TAbonent : public QDialog {
    Q_OBJECT
public:
    // eventList: put into alarm_list when not -1. at: a record offset, or
    // kCardByNumber / kCardByNumberForHistory.
    TAbonent(CardLinks links, int eventList, int number, int32_t at, QWidget* parent = nullptr);
    ~TAbonent() override;

    // Set by the path dialog before the card is shown.
    void setTestMode();
    CardMode mode() const { return mode_; }
    bool editing() const { return editing_; }
    Sbscrbr& subscriber() { return *subscriber_; }

    void EdycjaClick();
    void KoniecZmianClick();
    void UsunClick();
    void WydrukClick();
    void NadzorClick();
    void BadaniaClick();
    void HistoriaClick();
    void PodsystemClick();
    void PowiadomClick();
    void ZdarzeniaClick();
    void OpcjonalneClick();
    void TestyClick();
    void WylZalClick();
    // The inputs into the record in memory.
    void copyCardIntoRecord();

    QLineEdit* Numer;
    QLineEdit* Nazwa;
    QLineEdit* Miejscowosc;
    QLineEdit* Kod;
    QLineEdit* Adres;
    QLineEdit* Telefon;
    QLineEdit* TelefonGSM;
    QLineEdit* NumerIP;
    QLineEdit* Kontakt1;
    QLineEdit* Kontakt2;
    QLineEdit* Haslo;
    QLineEdit* Centralka;
    QLabel* IloscPodsystemow;
    QLabel* IloscSektorow;
    QListWidget* Tory;
    QComboBox* BazaRadiowa;
    QComboBox* BazaSztywna;
    QComboBox* OperatorGSM;

    QPushButton* Edycja;
    QPushButton* Usun;
    QPushButton* Wydruk;
    QPushButton* Koniec;
    QPushButton* Nadzor;
    QPushButton* KoniecZmian;
    QPushButton* Badania;
    QPushButton* Historia;
    QPushButton* Podsystem;
    QPushButton* Opis;
    QPushButton* Powiadom;
    QPushButton* Zdarzenia;
    QPushButton* Rozkazy;
    QPushButton* Opcjonalne;
    QPushButton* Testy;
    QPushButton* WylZal;
    QPushButton* Diody;
    QPushButton* Pomiary;

private:
    void build();
    void showFields();
    void showCounts();
    void showBaseChoices();
    void layOutButtons();
    void setInputsEditable(bool on);
    // Bytes 0..1506 written after a related dialog; a subscriber not
    // stored yet waits for "&Koniec zmian", so no record stands in "dane"
    // that no index finds.
    void saveAfterDialog();

    QLabel* radioLabel_ = nullptr;
    QLabel* fixedLabel_ = nullptr;
    CardLinks links_;
    std::unique_ptr<Sbscrbr> subscriber_;
    CardMode mode_ = CardMode::Normal;
    bool editing_ = false;
    bool switchedSupervisorOn_ = false;
    bool filling_ = false;
};

} // namespace k4
