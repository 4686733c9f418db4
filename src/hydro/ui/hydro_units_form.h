#pragma once
// "Wizualizacja pomiarów": the units of one water-supply subscriber as
// movable panels at their stored places, refreshed from the hydro table
// every two seconds while the window is active, and the switching orders of
// its pumps, hydrophores and gate valves.
#include "hydro/hydro_commands.h"

#include <QDialog>

#include <vector>

class QComboBox;
class QTimer;
class QWidget;

namespace k4 {

class THydroObject;
class TControlText;

class THydroUnits : public QDialog {
    Q_OBJECT
public:
    static constexpr int kRefreshMs = 2000;

    THydroUnits(HydroUnits& table, SubscriberDatabase& database, HydroOrderLink& orders, QWidget* parent = nullptr);
    ~THydroUnits() override;

    QComboBox* Sbsrs;
    QWidget* Area;   // where the panels are
    QTimer* Timer;

    // The entry of Sbsrs whose slot is shown.
    void SbsrsChange(int entry);
    void TimerTimer();
    // Values and states of every panel from the table.
    void refresh();
    const std::vector<THydroObject*>& panels() const { return panels_; }
    int shownSlot() const { return slot_; }
    // Closing settles a command still pending and keeps the places.
    void done(int result) override;

protected:
    void changeEvent(QEvent* event) override;

private:
    void showSlot(int slot);
    void storePositions();
    void clearPanels();
    void pressed(TControlText& panel);

    HydroUnits& table_;
    SubscriberDatabase& database_;
    HydroCommands commands_;
    std::vector<int> entrySlots_; // Sbsrs entry -> table slot
    std::vector<THydroObject*> panels_;
    int slot_ = -1;
};

// "Zapis do archiwum" and "Godziny zapisu pomiarów": the recording settings
// of the hydro archive. What they would control is not built; their buttons
// close them and store nothing.
class THydroArchForm : public QDialog {
    Q_OBJECT
public:
    explicit THydroArchForm(QWidget* parent = nullptr);
};

class THydroPeriodsForm : public QDialog {
    Q_OBJECT
public:
    explicit THydroPeriodsForm(QWidget* parent = nullptr);
};

} // namespace k4
