#pragma once
// The operator's service of one alarm: the description window, taking the
// alarm into service, the service steps window and the removal. Alarms keep
// arriving while the windows are open, so the alarm is found again after
// each window instead of trusting the line it had.
#include "processing/alarms_list.h"

#include <cstdint>
#include <memory>

namespace k4 {

class Messages;

// Results of the two windows.
enum : int {
    kServiceRemove = 1, // "&Usuń"
    kServiceOpen = 2,   // "O&bsługa" (description window only)
    kServiceKeep = 3,   // "&Zostaw", "&Ustaw", or closed
};

class AlarmDescriptionWindow {
public:
    virtual ~AlarmDescriptionWindow() = default;
    virtual int run() = 0;
};

// Makes the windows; the station supplies the subscriber data behind them.
class AlarmWindows {
public:
    virtual ~AlarmWindows() = default;
    // Null when the window cannot be made; the reason has been shown.
    virtual std::unique_ptr<AlarmDescriptionWindow> createDescription(const AlarmRecord& alarm) = 0;
    // service: the ticked steps, rewritten as the operator ticks them.
    virtual int runService(uint16_t& service) = 0;
};

// Where the alarm that stood on line `line` when `raisedBefore` alarms had
// been raised stands now: every alarm raised since came on top of it. -1
// when it has left the list.
int shiftedAlarmLine(int line, uint8_t raisedBefore, uint8_t raisedNow, int count);

class AlarmService {
public:
    AlarmService(AlarmsList& alarms, Messages& messages, AlarmWindows& windows);

    void setSound(AlarmSoundControl* sound) { sound_ = sound; }

    // A double click, Space or F9 with `selected` line selected (-1 none).
    // A second call while the first one's windows are open does nothing.
    void serviceSelected(int selected);
    bool running() const { return running_; }

private:
    int locate(int line, uint8_t raisedBefore, uint8_t id);

    AlarmsList& alarms_;
    Messages& messages_;
    AlarmWindows& windows_;
    AlarmSoundControl* sound_ = nullptr;
    bool running_ = false;
};

} // namespace k4
