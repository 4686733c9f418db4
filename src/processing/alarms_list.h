#pragma once
// The active alarms, newest first, at most 64. Raising puts an alarm at the
// top; the operator takes it into service and removes it, and every step is
// written to the history.
#include "config/config_block.h"
#include "history/history_log.h"
#include "processing/alarm_record.h"
#include "messages/messages.h"

#include <cstdint>
#include <vector>

namespace k4 {

// What the window shows of the list; it keeps no copy of its own.
class AlarmListObserver {
public:
    virtual ~AlarmListObserver() = default;
    virtual void alarmRaised() = 0;          // a new alarm at index 0
    virtual void alarmRemoved(int index) = 0;
    virtual void alarmChanged(int index) = 0;
};

// Programs outside the station (a wallboard, a dispatch screen) hear of
// every alarm entered and every alarm taken into service.
class AlarmBroadcast {
public:
    virtual ~AlarmBroadcast() = default;
    virtual void alarmEntered(const AlarmRecord& alarm) = 0;
    virtual void alarmServiced(const AlarmRecord& alarm) = 0;
};

// In station mode "Std/Odb" an alarm with an attached text is confirmed to
// the base when the operator opens it: 1 confirmed (the mark goes), 0 not
// (the operator was told why), -1 when the confirmation could not reach the
// base (the alarm keeps its mark: the base was not told). The exchange
// waits for the base with the event loop running, so alarms may come in
// meanwhile: the alarm is passed as a copy.
class ReportConfirmation {
public:
    virtual ~ReportConfirmation() = default;
    virtual int confirmReport(const AlarmRecord& alarm) = 0;
};

enum : int {
    kHistoryServiceStart = 7,
    kHistoryServiceEnd = 8,
};

class AlarmsList {
public:
    static constexpr int kCapacity = 64;

    AlarmsList(const ConfigBlock& config, HistoryLog& history, int capacity = kCapacity);

    void setObserver(AlarmListObserver* observer) { observer_ = observer; }
    void setSound(AlarmSoundControl* sound) { sound_ = sound; }
    void setConfirmation(ReportConfirmation* confirmation) { confirmation_ = confirmation; }
    void setBroadcast(AlarmBroadcast* broadcast) { broadcast_ = broadcast; }

    // 0, or -1 when "Blok wielok. al." drops a repeat within 60 seconds.
    int raiseAlarm(const AlarmRecord& alarm, int colour);
    // false when the list was full and its oldest alarm had to end.
    bool insert(const AlarmRecord& alarm);
    // Ends an alarm: history kind 8, then the gap closes.
    void remove(int index);
    AlarmRecord* findById(uint8_t id, int* index = nullptr);
    // Forgets every alarm without an end entry, as a shut-down does: the
    // list lives in memory only. The window is told of each removal.
    void clear();
    // 0, or -1 when the confirmation to the base failed; the alarm is
    // taken into service either way, the operator must not be kept from it.
    int enterService(int index, bool restartSound);

    int count() const { return static_cast<int>(alarms_.size()); }
    int capacity() const { return capacity_; }
    AlarmRecord& operator[](int index) { return alarms_[static_cast<size_t>(index)]; }
    const AlarmRecord& operator[](int index) const { return alarms_[static_cast<size_t>(index)]; }
    // Alarms raised since start, in uint8 arithmetic: the service dialogs
    // find their alarm again by how many came on top of it meanwhile.
    uint8_t raisedCount() const { return raised_; }
    // The first alarm not yet in service, or -1.
    int firstNew() const;

private:
    void logService(int kind, const AlarmRecord& alarm, bool withSteps);

    const ConfigBlock& config_;
    HistoryLog& history_;
    int capacity_;
    std::vector<AlarmRecord> alarms_;
    uint8_t nextId_ = 0;
    uint8_t raised_ = 0;
    AlarmListObserver* observer_ = nullptr;
    AlarmSoundControl* sound_ = nullptr;
    ReportConfirmation* confirmation_ = nullptr;
    AlarmBroadcast* broadcast_ = nullptr;
};

} // namespace k4
