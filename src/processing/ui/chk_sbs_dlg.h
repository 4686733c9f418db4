#pragma once
// "Tory badania" ("Wysyłanie rozkazu" from an alarm): the paths of one
// subscriber, the paths it is probed on, an on-demand probe and the orders
// its panel may be sent.
#include <QDialog>

#include <cstdint>
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

class TChkSbsDlg : public QDialog {
    Q_OBJECT
public:
    // pathChoice: the item of "Tor badania na żądanie/wysłania rozkazu" to
    // start on, -1 none.
    TChkSbsDlg(SubscriberDatabase& database, PathTable& paths, OrderSending& orders, Messages& messages,
               int32_t offset, QWidget* parent = nullptr, int pathChoice = -1);
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

private:
    int chosenPath();
    uint8_t ticked(QListWidget* list) const;
    void showChecked(uint8_t flags);
    void showBaseChoices();

    SubscriberDatabase& database_;
    PathTable& paths_;
    OrderSending& orders_;
    Messages& messages_;
    std::unique_ptr<Sbscrbr> subscriber_;
    std::vector<int> sentCodes_;
    bool filling_ = false;
};

} // namespace k4
