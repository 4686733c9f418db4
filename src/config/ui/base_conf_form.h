#pragma once
// "Baza odbiorcza" ("Baza nadawcza" in mode "Std/Odb"): one receiving-base
// entry of the configuration dialog's working copy. "&Zapisz" stores the
// fields into the entry, "&Porzuć" leaves it as it was.
#include "config/base_entry_fields.h"

#include <QDialog>

class QCheckBox;
class QComboBox;
class QLineEdit;
class QPushButton;

namespace k4 {

class Messages;

class TBaseConfForm : public QDialog {
    Q_OBJECT
public:
    TBaseConfForm(BaseEntry& entry, int mode, Messages& messages, QWidget* parent = nullptr);

    QLineEdit* NameBase1E;
    QLineEdit* RBaseNo1ME;
    QLineEdit* IpGPRS1ME;
    QLineEdit* TelGSM1ME;
    QComboBox* GSMAck1CmB;
    QLineEdit* IpEthernetME;
    QComboBox* EthAck1CmB;
    QCheckBox* AlConv1CB;
    QPushButton* SaveBtn;
    QPushButton* CancelBtn;

    void SaveBtnClick();

private:
    BaseEntry& entry_;
    Messages& messages_;
};

} // namespace k4
