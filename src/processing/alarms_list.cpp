#include "processing/alarms_list.h"

namespace k4 {

AlarmsList::AlarmsList(const ConfigBlock& config, HistoryLog& history, int capacity)
    : config_(config), history_(history), capacity_(capacity > 0 ? capacity : 1) {
    alarms_.reserve(static_cast<size_t>(capacity_));
}

int AlarmsList::raiseAlarm(const AlarmRecord& alarm, int colour) {
    if (config_.options & kOptBlockRepeatedAlarms) {
        for (const auto& a : alarms_) {
            const auto since = static_cast<int32_t>(alarm.time - a.time);
            if (a.subscriber == alarm.subscriber && a.subsystem == alarm.subsystem &&
                a.codeWord == alarm.codeWord && a.sector == alarm.sector && since < 60)
                return -1; // its history entry is written already
        }
    }
    insert(alarm);
    if (observer_) observer_->alarmRaised();
    if (broadcast_) broadcast_->alarmEntered(alarms_.front());
    if (colour != 0 && sound_) {
        sound_->playSound(colour);
        // A sound that plays once hands back to the continuous sound of an
        // earlier alarm still waiting for the operator.
        if (config_.tones[colour & 15][6] == 0) sound_->resumeAlarmSound(true);
    }
    return 0;
}

bool AlarmsList::insert(const AlarmRecord& alarm) {
    bool room = true;
    if (count() >= capacity_) {
        remove(count() - 1);
        room = false;
    }
    // Identifiers skip 0 and every one still in the list.
    auto taken = [this](uint8_t id) {
        for (const auto& a : alarms_)
            if (a.id == id) return true;
        return false;
    };
    if (nextId_ == 0) nextId_ = 1;
    while (taken(nextId_) || nextId_ == 0) ++nextId_;
    AlarmRecord added = alarm;
    added.id = nextId_++;
    alarms_.insert(alarms_.begin(), added);
    ++raised_;
    return room;
}

void AlarmsList::logService(int kind, const AlarmRecord& alarm, bool withSteps) {
    // The service steps travel in the extra byte, split over the two spare
    // nibbles of the entry.
    HistoryEntry entry = systemEntry(kind, alarm.subscriber, alarm.subsystem & 0xFF, alarm.sector,
                                     withSteps ? (alarm.service & 0xFF) : 0, true);
    entry.code2 = static_cast<uint16_t>((entry.code2 & 0xF000) | alarm.code());
    if (alarm.flags & AlarmRecord::kHexSubscriber) entry.flags |= HistoryEntry::kEntryHexNumber;
    // A failed write does not stop the service.
    history_.LogEvent(kind, entry);
}

void AlarmsList::remove(int index) {
    if (index < 0 || index >= count()) return;
    const AlarmRecord& alarm = alarms_[static_cast<size_t>(index)];
    logService(kHistoryServiceEnd, alarm, alarm.inService());
    alarms_.erase(alarms_.begin() + index);
    if (observer_) observer_->alarmRemoved(index);
}

void AlarmsList::clear() {
    while (!alarms_.empty()) {
        alarms_.pop_back();
        if (observer_) observer_->alarmRemoved(count());
    }
}

AlarmRecord* AlarmsList::findById(uint8_t id, int* index) {
    for (size_t i = 0; i < alarms_.size(); ++i) {
        if (alarms_[i].id == id) {
            if (index) *index = static_cast<int>(i);
            return &alarms_[i];
        }
    }
    if (index) *index = -1;
    return nullptr;
}

int AlarmsList::enterService(int index, bool restartSound) {
    if (index < 0 || index >= count()) return 0;
    int result = 0;
    if (config_.mode == 3 && (alarms_[static_cast<size_t>(index)].flags & AlarmRecord::kTextToConfirm) &&
        confirmation_) {
        const AlarmRecord copy = alarms_[static_cast<size_t>(index)];
        const int confirmed = confirmation_->confirmReport(copy);
        // Alarms may have come on top of it while the base was asked.
        AlarmRecord* found = findById(copy.id, &index);
        if (!found) return confirmed < 0 ? -1 : 0;
        if (confirmed == 1) found->flags = static_cast<uint8_t>(found->flags & ~AlarmRecord::kTextToConfirm);
        result = confirmed < 0 ? -1 : 0;
    }
    AlarmRecord& alarm = alarms_[static_cast<size_t>(index)];
    if (!alarm.inService()) {
        logService(kHistoryServiceStart, alarm, false);
        alarm.flags |= AlarmRecord::kInService;
        if (observer_) observer_->alarmChanged(index);
        if (broadcast_) broadcast_->alarmServiced(alarm);
    }
    if (sound_) {
        sound_->stopSound();
        if (restartSound) sound_->resumeAlarmSound(true);
    }
    return result;
}

int AlarmsList::firstNew() const {
    for (size_t i = 0; i < alarms_.size(); ++i)
        if (!alarms_[i].inService()) return static_cast<int>(i);
    return -1;
}

} // namespace k4
