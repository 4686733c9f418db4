#pragma once
// "Pomiary": the six measurement inputs of a water-supply subscriber with
// their switches, and its two counters; a double click opens the channel's
// "Przeliczenie". Works on the subscriber in memory: "&Zapisz" copies the
// settings into it and closes, and the subscriber card saves the subscriber.
#include "hydro/measurement_channel.h"

#include <QDialog>

#include <array>
#include <functional>

class QButtonGroup;
class QListWidget;
class QPushButton;

namespace k4 {

class Messages;

class THydroMsr : public QDialog {
    Q_OBJECT
public:
    THydroMsr(SubscriberRecord& record, bool readOnly, Messages& messages, QWidget* parent = nullptr);

    QListWidget* MsrList;
    std::array<QButtonGroup*, 2> Counters; // "Stan licznika 1", "Stan licznika 2"
    QPushButton* DeleteBtn;                // "&Usuń"
    QPushButton* SaveBtn;                  // "&Zapisz"

    void MsrListDblClick(int row);
    void DeleteBtnClick();
    void SaveBtnClick();

    const MsrSetting& channel(int c) const { return channels_[static_cast<size_t>(c)]; }
    // The dialog that edits one channel; tests replace it.
    std::function<bool(MsrSetting&, QWidget*)> editChannel;

private:
    void showLine(int c);

    SubscriberRecord& record_;
    Messages& messages_;
    bool readOnly_;
    std::array<MsrSetting, kMsrChannels> channels_;
};

// Opens "Pomiary" over a subscriber record in memory (the subscriber card's
// "&Pomiary"): true when the operator saved, the record then holds the new
// settings and the caller saves the subscriber. readOnly: a card opened
// for viewing; the editing buttons are disabled.
bool openHydroMeasurements(SubscriberRecord& record, bool readOnly, Messages& messages, QWidget* parent);

} // namespace k4
