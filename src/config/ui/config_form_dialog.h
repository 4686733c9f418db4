#pragma once
// "Konfiguracja": the general settings of the centre on a working copy of
// the whole block, the menu restrictions, and "&Ustaw" that brings the copy
// to life.
#include "config/config_form.h"

#include <QDialog>

#include <functional>
#include <vector>

class QButtonGroup;
class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;
class QTabBar;
class QTreeWidget;

namespace k4 {

class Messages;

class TConfigForm : public QDialog {
    Q_OBJECT
public:
    // apply: the working copy into the live block, saved, the ports
    // restarted when needed; true when they were.
    TConfigForm(ConfigBlock& live, std::vector<MenuCopyTop> menus, const DataDir& dir, Messages& messages,
                std::function<bool(const ConfigBlock&)> apply, QWidget* parent = nullptr);

    // "Autotest portów": the port search of the station, which stores the
    // ports it found in the live block; true when it found a pair. Without
    // it the button stays disabled.
    void setPortSearch(std::function<bool()> search);

    // Whether "&Ustaw" restarted the serial ports or the port search ran.
    bool restarted() const { return restarted_; }
    const ConfigBlock& workingCopy() const { return copy_; }

    QTabBar* Bazy;
    QComboBox* InterPort;
    QComboBox* DataPort;
    QGroupBox* BaseGroup;
    QLabel* Base1Label;
    QLabel* Base2Label;
    QComboBox* Base1;
    QComboBox* Base2;
    QButtonGroup* Speed1;
    QButtonGroup* Speed2;
    QGroupBox* Gsm;
    QGroupBox* Otr;
    QCheckBox* OptionBox;
    QCheckBox* NoIncomplete;
    QCheckBox* LinkNa;
    QCheckBox* MultiBlock;
    QLineEdit* TicksDelayME;
    QLineEdit* SetDelayME;
    QLineEdit* NoLineDelayME;
    QLineEdit* IfFireDelayME;
    QCheckBox* Autosave;
    QLineEdit* AutosaveDir;
    QLineEdit* Town;
    QLineEdit* RecvIp;
    QComboBox* RecvMark;
    QCheckBox* Synopt;
    QListWidget* BaseList;
    QTreeWidget* Menus;
    QPushButton* SetBtn;
    QPushButton* AutotestBtn;
    QPushButton* EthBtn;
    QPushButton* CancelBtn;

    // The base list line of entry i.
    static QString baseLine(int i, const BaseEntry& entry);

private:
    void show(const ConfigFormState& state);
    ConfigFormState read() const;
    void tabChanged(int tab);
    void noIncompleteToggled(bool on);
    void fillBaseList();
public:
    // The base entry dialog over the working copy's entry of the line.
    void BaseListDblClick();
private:
    std::vector<MenuCopyTop> menusShown() const;
    void SetBtnClick();
    void AutotestBtnClick();

    ConfigBlock& live_;
    ConfigBlock copy_;
    std::vector<MenuCopyTop> menus_;
    DataDir dir_;
    Messages& messages_;
    std::function<bool(const ConfigBlock&)> apply_;
    std::function<bool()> portSearch_;
    bool restarted_ = false;
    bool filling_ = false;
};

} // namespace k4
