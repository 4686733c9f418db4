#pragma once
// The station's main window: the alarm list, the path checking panel, the
// blockade list, the clock, the menu of every command, and the 100 ms timer
// that drives the whole station.
#include "processing/alarms_list.h"
#include "processing/block_lst.h"
#include "shell/menu_tree.h"

#include <QWidget>

#include <map>
#include <memory>
#include <string>
#include <vector>

class QAction;
class QFrame;
class QLabel;
class QListView;
class QListWidget;
class QMenu;
class QPushButton;
class QTimer;
class QToolBar;
class QToolButton;

namespace k4 {

class AlarmService;
class AlarmWindows;
class AlarmsLstModel;
class CheckingCells;
class BlockadeView;
class Clock;
class EventTable;
class Messages;
class Scheduler;
class StationCommands;
class TraceRing;
struct ConfigBlock;

// What the window is given; every object outlives the window.
struct KestrelParts {
    AlarmsList& alarms;
    const EventTable* events;   // null while none is loaded
    TraceRing& trace;
    Messages& messages;
    const Clock& clock;
    const ConfigBlock& config;
    const DataDir& dataDir;     // "menus"
    StationCommands& station;
    AlarmWindows& alarmWindows;
    const Scheduler* scheduler = nullptr; // the technical window's queue view
    BlockadeView* blockades = nullptr;
};

class TKestrel : public QWidget, private AlarmListObserver, private BlockListObserver {
    Q_OBJECT
public:
    static constexpr int kWidth = 640;
    static constexpr int kHeight = 480;
    static constexpr int kTimerMs = 100;

    explicit TKestrel(const KestrelParts& parts, QWidget* parent = nullptr);
    ~TKestrel() override;

    // The timer starts with the window; the station may hold it back.
    void startTimer1();
    void stopTimer1();
    bool timerRunning() const;

    // Handlers named as in the form.
    void Timer1Timer();
    void AlarmsLstDblClick();
    void BlokadyDblClick();
    void TechFormOpen();  // F5
    void Nadzr2Click();   // enter supervisor mode
    void Powrt1Click();   // "Za&bezpiecz"
    void Minimalizacja1Click();
    void Wyjcie1Click();
    void Button1Click();  // "T": serial tracing on
    void Button2Click();  // "N": serial tracing off

    // The clock label, given by the station's tick about once a second.
    void showClock(const std::string& text);
    // The restrictions of "menus", read again and applied (outside
    // supervisor mode).
    void applyMenuRestrictions();
    // A centre with hydro units gets "&Pomiary" and its tool button.
    void offerHydroUnits();

    bool supervisorMode() const { return supervisor_; }
    bool techFormOpen() const { return techOpen_; }
    int techFormsOpened() const { return techOpened_; }
    QAction* menuItem(const std::string& name) const;
    QMenu* topMenu(const std::string& name) const;
    QToolButton* toolButton(int number) const; // ToolButton1..ToolButton9
    // The text and colour of an alarm line as it is drawn.
    QString alarmLine(int line) const;
    QColor alarmLineColour(int line) const;
    int alarmLineCount() const;
    int selectedAlarmLine() const;
    QString blockadeLine(int line) const;
    int blockadeLineCount() const;
    // The path checking panel (upper left).
    CheckingCells& checking() { return *checking_; }

protected:
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    void alarmRaised() override;
    void alarmRemoved(int index) override;
    void alarmChanged(int index) override;
    void blockadesLoaded() override;
    void blockadeAdded(int index) override;
    void blockadeRemoved(int index) override;

    void buildTools();
    void buildMenus();
    void buildAreas();
    void buildStatusBar();
    void runMenuCommand(const std::string& name);
    void setSupervisorMenus(bool on);
    void setTopHidden(int top, bool hidden);
    void refillBlockades(int select);
    // Keys every window of the station sends here: F5, F9, Space.
    bool previewKey(QObject* watched, QKeyEvent* key);

    KestrelParts parts_;
    std::unique_ptr<AlarmService> service_;
    MenuRestrictions restrictions_;
    std::map<std::string, QAction*> actions_;
    std::map<std::string, QMenu*> menus_;
    std::vector<bool> topHidden_;
    bool supervisor_ = false;
    bool techOpen_ = false;
    int techOpened_ = 0;
    bool exiting_ = false;
    bool inputPending_ = false;
    int alarmsSavedSelection_ = -1;
    int blokadySavedSelection_ = -1;

    QToolBar* CoolBar1;
    QLabel* TimeLbl;
    std::map<int, QToolButton*> toolButtons_;
    QFrame* Checking;
    std::unique_ptr<CheckingCells> checking_;
    QListWidget* Blokady;
    QListView* AlarmsLst;
    AlarmsLstModel* alarmsModel_;
    QFrame* StatusBar1;
    QLabel* statusPanel0_;
    QLabel* statusPanel1_;
    QPushButton* Button1;
    QPushButton* Button2;
    QTimer* Timer1;
};

} // namespace k4
