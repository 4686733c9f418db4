#include "shell/alarm_service.h"

#include "database/text_edge.h"
#include "messages/messages.h"

namespace k4 {

int shiftedAlarmLine(int line, uint8_t raisedBefore, uint8_t raisedNow, int count) {
    const int current = line + static_cast<uint8_t>(raisedNow - raisedBefore);
    return current >= 0 && current < count ? current : -1;
}

AlarmService::AlarmService(AlarmsList& alarms, Messages& messages, AlarmWindows& windows)
    : alarms_(alarms), messages_(messages), windows_(windows) {}

// The line from the number raised meanwhile; when that line holds another
// alarm (one below it ended while the window was open), the identifier
// still finds it, so the operator never removes an alarm he has not seen.
int AlarmService::locate(int line, uint8_t raisedBefore, uint8_t id) {
    const int shifted = shiftedAlarmLine(line, raisedBefore, alarms_.raisedCount(), alarms_.count());
    if (shifted >= 0 && alarms_[shifted].id == id) return shifted;
    int index = -1;
    return alarms_.findById(id, &index) ? index : -1;
}

void AlarmService::serviceSelected(int selected) {
    if (running_) return;
    // The guard covers the box of an empty list too: a held F9 repeats
    // while the box is up, and each repeat would stack one more.
    running_ = true;
    struct Clear {
        bool& flag;
        ~Clear() { flag = false; }
    } clear{running_};
    if (alarms_.count() == 0) {
        messages_.ShowNotice(mz("\x03" "Brak alarmów"), kNoticeInfo);
        return;
    }

    const uint8_t raisedBefore = alarms_.raisedCount();
    const int line = selected >= 0 && selected < alarms_.count() ? selected : 0;
    const uint8_t id = alarms_[line].id;

    std::unique_ptr<AlarmDescriptionWindow> description = windows_.createDescription(alarms_[line]);
    if (!description) return;
    alarms_.enterService(line, false);
    const int described = description->run();
    description.reset();

    int current = locate(line, raisedBefore, id);
    if (current >= 0) {
        if (described == kServiceRemove) {
            alarms_.remove(current);
        } else {
            uint16_t service = alarms_[current].service;
            const int served = windows_.runService(service);
            current = locate(line, raisedBefore, id);
            if (current >= 0) {
                alarms_[current].service = service;
                if (served == kServiceRemove) alarms_.remove(current);
            }
        }
    }
    if (sound_) sound_->resumeAlarmSound(false);
}

} // namespace k4
