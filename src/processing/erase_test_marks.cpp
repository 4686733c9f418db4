#include "processing/erase_test_marks.h"

#include "database/sbscrbr.h"
#include "database/text_edge.h"
#include "processing/test_supervision.h"

#include <cstddef>
#include <cstdio>

namespace k4 {

namespace {

constexpr size_t kStateAt = offsetof(SubscriberRecord, test_state) - kStateBlockOffset;
constexpr size_t kMiss1At = offsetof(SubscriberRecord, test_miss1) - kStateBlockOffset;
constexpr size_t kMiss2At = offsetof(SubscriberRecord, test_miss2) - kStateBlockOffset;
constexpr size_t kArmAt = offsetof(SubscriberRecord, arm_state) - kStateBlockOffset;

// The armed and disarmed marks of a position; its schedule bits stay.
constexpr uint8_t kArmedOrDisarmed = 0x01 | 0x02;

void stateFailure(Messages& messages, MessageGuard& guard, int result, int number) {
    char text[96];
    if (result == 0) std::snprintf(text, sizeof text, "\x03wczytania danych o flagach testu - %4.4d", number);
    else std::snprintf(text, sizeof text, "\x03%d zapisu danych o flagach testu - %4.4d", result, number);
    messages.ShowNotice(guard, mz(text), kNoticeError);
}

} // namespace

int eraseTestMarks(Sbscrbr& subscriber, const EraseTestMarks& what, Messages& messages, MessageGuard& guard) {
    const int number = subscriber.number();
    uint8_t block[kStateBlockSize];
    if (subscriber.ReadState(block) != 0) {
        stateFailure(messages, guard, 0, number);
        return -1;
    }
    if (what.test1) {
        block[kStateAt] = static_cast<uint8_t>(block[kStateAt] & ~(kTest1Received | kTest1Missing));
        block[kMiss1At] = 0;
    }
    if (what.test2) {
        block[kStateAt] = static_cast<uint8_t>(block[kStateAt] & ~(kTest2Received | kTest2Missing));
        block[kMiss2At] = 0;
    }
    for (size_t i = 0; i < what.positions.size(); ++i)
        if (what.positions[i]) block[kArmAt + i] = static_cast<uint8_t>(block[kArmAt + i] & ~kArmedOrDisarmed);
    const int result = subscriber.WriteState(block);
    if (result != 0) {
        stateFailure(messages, guard, result, number);
        return -1;
    }
    return 0;
}

} // namespace k4
