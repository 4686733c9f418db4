#pragma once
// "Pakiety baz ethernetowych": the IP base table of "pakiety" — twelve
// rows of an address, the base's GSM operator and its transmitter mark —
// and the two virtual channels. Saved paths take effect at the next module
// check ("&Pakiety").
#include "baselink/path_files.h"
#include "net/ip_base_table.h"

#include <QDialog>

#include <array>

class QCheckBox;
class QComboBox;
class QLineEdit;
class QPushButton;

namespace k4 {

class Messages;

class TIpForm : public QDialog {
    Q_OBJECT
public:
    TIpForm(const DataDir& dir, Messages& messages, QWidget* parent = nullptr);

    std::array<QLineEdit*, kIpBaseRows> Addresses{};
    std::array<QComboBox*, kIpBaseRows> Operators{};
    std::array<QCheckBox*, kIpBaseRows> Transmitters{};
    QCheckBox* ptarvikCB = nullptr;
    QCheckBox* ethernetCB = nullptr;
    QPushButton* SaveBtn = nullptr;

    void SaveBtnClick();

private:
    DataDir dir_;
    Messages& messages_;
    PathSetup setup_;
};

} // namespace k4
