#pragma once
// What the main window asks of the station, carried out on a real station
// with a display: the tick, supervisor mode, leaving the kiosk display and
// the way out, and the commands whose work the station does itself.
#include "database/subscriber_search.h"
#include "database/ui/find_sbs.h"
#include "operators/ui/passwd.h"
#include "platform/screen_wake.h"
#include "shell/station_commands.h"
#include "processing/sbs_sorter.h"
#include "shell/supervisor_mode.h"
#include "shell/ui/subscriber_card.h"

#include <functional>
#include <memory>
#include <QPointer>

class QWidget;

namespace k4 {

class Station;
class SignalOutputs;
class SubscriberWindows;

// "Konfiguracja" on the station, modal; true when it restarted the serial
// ports (the caller rebuilds the paths then). The main window opens it from
// its menu, and before it ends when the ports could not be opened at start.
bool runConfigurationDialog(Station& station, const DataDir& dir, QWidget* parent);

class StationWindowCommands final : public StationCommands {
public:
    // quit: ends the application's event loop.
    StationWindowCommands(Station& station, const DataDir& dir, std::function<void()> quit);
    ~StationWindowCommands() override;

    // The main window, once it exists: minimising and the boxes need it.
    void setWindow(QWidget* window) {
        window_ = window;
        passwordPrompt_.setParent(window);
    }

    // The sounds and printers the printing and sound commands work on.
    void setSignalOutputs(SignalOutputs* outputs) { outputs_ = outputs; }

    void timerTick(bool inputPending) override;
    bool enterSupervisorMode() override;
    void leaveSupervisorMode() override;
    void minimise() override;
    void exitStation() override;
    void wakeScreen() override;
    void silenceAlarm() override;
    void runCommand(std::string_view itemName) override;

    // The list, new subscriber, number change and description windows.
    SubscriberWindows& subscriberWindows();

    // The last command taken and whether it did anything.
    bool lastCommandHandled() const { return handled_; }

    // What the subscriber card opens its dialogs with (the new-subscriber
    // dialog opens its card through it too).
    CardEnvironment cardEnvironment();

private:
    void showSystemParameters();
    TFindSbs& finder();
    void blockadeOfFoundSubscriber();
    void openBlockade(int32_t offset, QWidget* parent);
    void openPathDialog(int32_t offset, QWidget* parent);
    void showSupervisedList(bool forBlockades);
    // What the listings print through (the signal outputs are set).
    ListingParts listingParts();
    void historyOfFoundSubscriber();
    void showHistory(int subscriber, QWidget* parent);

    Station& station_;
    DataDir dir_;
    std::function<void()> quit_;
    QtPasswordPrompt passwordPrompt_;
    SupervisorMode supervisor_;
    ScreenWake screenWake_;
    QWidget* window_ = nullptr;
    SubscriberSearch search_;
    // Owned by the main window once there is one (Qt deletes it with the
    // window, which may go before these commands).
    QPointer<TFindSbs> finder_;
    bool handled_ = false;
    SignalOutputs* outputs_ = nullptr;
    int historyWindows_ = 0; // open history windows
    std::unique_ptr<SubscriberWindows> subscribers_;
};

} // namespace k4
