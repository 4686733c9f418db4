#pragma once
// "Tory badania" ("Wysyłanie rozkazu" from an alarm): the paths of one
// subscriber, the paths it is probed on, an on-demand probe and the orders
// its panel may be sent.
#include <QDialog>

#include <cstdint>
#include <functional>
#include <memory>

class QCheckBox;
class QComboBox;
class QLabel;
class QListWidget;
class QPushButton;

namespace k4 {

class Messages;
class OrderSending;
class PathTable;
class Sbscrbr;
class SubscriberDatabase;

// What the dialog's window buttons open, given by whoever opens it. A
// button whose window is not given stays unusable.
struct ChkSbsDlgLinks {
    // Where the dialog was opened from: from the subscriber card "O&biekt"
    // closes the dialog (back to that card), and from a card opened from
    // the history window "&Historia" closes it too.
    enum class Opener { Other, Card, CardFromHistory };
    Opener opener = Opener::Other;
    // "&Testy" edits the tests; the subscriber was saved with changed
    // tests (their supervision starts again). Not given: "&Testy" shows
    // them for viewing.
    std::function<void(Sbscrbr& subscriber)> testsSaved;
    // "&Historia": the history window narrowed to the subscriber number.
    std::function<void(int subscriber, QWidget* parent)> history;
    // "&Archiwum": the archive files window.
    std::function<void(QWidget* parent)> archive;
    // "W&ył/Zał": the subscriber's arming schedules, for viewing.
    std::function<void(Sbscrbr& subscriber, QWidget* parent)> armingWeek;
    // "O&biekt": the subscriber card of the subscriber number (the card
    // tells when the number is not in the index). The dialog reads the
    // subscriber again when the card is closed.
    std::function<void(int subscriber, QWidget* parent)> card;
};

class TChkSbsDlg : public QDialog {
    Q_OBJECT
public:
    // pathChoice: the item of "Tor badania na żądanie/wysłania rozkazu" to
    // start on, -1 none.
    TChkSbsDlg(SubscriberDatabase& database, PathTable& paths, OrderSending& orders, Messages& messages,
               int32_t offset, QWidget* parent = nullptr, int pathChoice = -1, ChkSbsDlgLinks links = {});
    ~TChkSbsDlg() override;

    QLabel* Number;
    QListWidget* Orders;
    QComboBox* requestTracks;
    QComboBox* OperatorGSM_CB;
    QComboBox* TG_type_CB;
    QListWidget* Tracks;    // "Podłączony do torów"
    QComboBox* RadioBase;
    QComboBox* FixedBase;
    QListWidget* ChkTracks; // "Badany w torach"

    void OnDemandClick();    // "&Na żądanie"
    void SendOrderClick();   // "&Wyślij rozkaz"
    void SaveClick();        // "&Zapisz"
    void SetClick();         // "&Ustaw"
    void ChkTracksClicked(int row);
    void TestyClick();       // "&Testy"
    void WylZalClick();      // "W&ył/Zał"
    void HistoriaClick();    // "&Historia"
    void ArchiwumClick();    // "&Archiwum"
    void ObiektClick();      // "O&biekt"

    QPushButton* Testy;
    QPushButton* WylZal;
    QPushButton* Historia;
    QPushButton* Archiwum;
    QPushButton* Obiekt;

private:
    void showSubscriber(int32_t offset);
    void enableWindowButtons();
    int chosenPath();
    uint8_t ticked(QListWidget* list) const;
    void showChecked(uint8_t flags);
    void showBaseChoices();

    SubscriberDatabase& database_;
    PathTable& paths_;
    OrderSending& orders_;
    Messages& messages_;
    ChkSbsDlgLinks links_;
    std::unique_ptr<Sbscrbr> subscriber_;
    std::vector<int> sentCodes_;
    bool filling_ = false;
};

} // namespace k4
