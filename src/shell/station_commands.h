#pragma once
// What the main window asks of the station behind it. The window draws and
// dispatches; the station owns the data, the links and the tick.
#include <string>
#include <string_view>

namespace k4 {

class BlockListObserver;

class StationCommands {
public:
    virtual ~StationCommands() = default;
    // The work of one 100 ms tick: scheduler, month roll-over, input poll.
    // inputPending: the operator's input waits; that tick leaves the serial
    // lines alone so the keys are not held up behind a serial exchange.
    virtual void timerTick(bool inputPending) = 0;
    // Supervisor mode: the "ext_edit" check, the password, "loc_edit" and
    // the history entry. true when the mode is now on.
    virtual bool enterSupervisorMode() = 0;
    // Deletes "loc_edit" and writes the history entry of leaving.
    virtual void leaveSupervisorMode() = 0;
    // "&Minimalizacja": the desktop back and the application minimised.
    virtual void minimise() = 0;
    // "&Wyjście", after the window has ended every alarm and stopped its
    // timer: release the channels and end the application.
    virtual void exitStation() = 0;
    // Space anywhere: an alarm sound that is playing stops.
    virtual void silenceAlarm() {}
    // A new alarm: the screen saver gives the screen back to the operator.
    virtual void wakeScreen() {}
    // A menu command whose window the station opens (item name, "Okres1").
    // Commands nobody has taken yet do nothing.
    virtual void runCommand(std::string_view itemName) { (void)itemName; }
};

// The blockade list shown in the lower left of the main window.
class BlockadeView {
public:
    virtual ~BlockadeView() = default;
    virtual int count() const = 0;
    // The line of entry i as shown (UTF-8).
    virtual std::string lineText(int i) const = 0;
    // Lifts the blockade at list position i; a position outside the table
    // does nothing.
    virtual void removeAt(int i) = 0;
    // Who redraws the list when the table changes.
    virtual void setObserver(BlockListObserver* observer) = 0;
};

} // namespace k4
