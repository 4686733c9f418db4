#include "processing/subscriber_state.h"

#include "database/sbscrbr.h"
#include "database/text_edge.h"
#include "processing/event_table.h"

#include <cstddef>
#include <cstdio>
#include <string>

namespace k4 {

int specialCode(const ConfigBlock& config, int index) {
    return static_cast<int16_t>(config.special_codes[index]);
}

bool isCentreEvent(const ConfigBlock& config, int code) {
    for (int index : {kSpecialNoTest, kSpecialArmedEarly, kSpecialNotArmed, kSpecialNoProbeAnswer,
                      kSpecialWrongDisarming, kSpecialAlarmCounter}) {
        const int special = specialCode(config, index);
        if (special != 0 && special == code) return true;
    }
    return false;
}

SubscriberStateUpdate::SubscriberStateUpdate(const ConfigBlock& config, const EventTable& events,
                                             Messages& messages, TestSupervision& tests,
                                             ArmingSupervision& arming)
    : config_(config), events_(events), messages_(messages), tests_(tests), arming_(arming) {}

int SubscriberStateUpdate::updateGsmPathFlag(Sbscrbr& subscriber, int pathKind, int code) {
    const bool gprsPath = pathKind == 0xB0 || pathKind == 2;
    const bool gsmPath = pathKind == 0x80 || pathKind == 0x90;
    if ((!gprsPath && !gsmPath) || isCentreEvent(config_, code)) return 0;

    const bool hasIp = reinterpret_cast<const uint8_t*>(&subscriber.record.ip)[0] != 0;
    uint8_t block[kStateBlockSize];
    const int number = subscriber.number();
    if (subscriber.ReadState(block) != 0) {
        char text[96];
        std::snprintf(text, sizeof text, "\x03wczytania danych o flagach testu - %4.4d", number);
        messages_.ShowNotice(flagGuard_, mz(text), kNoticeError);
        return -1;
    }
    uint8_t& state = block[offsetof(SubscriberRecord, test_state) - kStateBlockOffset];
    const uint8_t before = state;
    if (gprsPath) {
        if ((state & kGsmPathFlag) && hasIp) state = static_cast<uint8_t>(state & ~kGsmPathFlag);
    } else {
        state = hasIp ? static_cast<uint8_t>(state | kGsmPathFlag) : static_cast<uint8_t>(state & ~kGsmPathFlag);
    }
    if (state == before) return 0;
    const int result = subscriber.WriteState(block);
    if (result != 0) {
        char text[96];
        std::snprintf(text, sizeof text, "\x03%d zapisu danych o flagach testu - %4.4d", result, number);
        messages_.ShowNotice(flagGuard_, mz(text), kNoticeError);
        return -1;
    }
    subscriber.record.test_state = state;
    return 0;
}

void SubscriberStateUpdate::updateSubscriberState(Sbscrbr& subscriber, int code, int testPath, int subsystem,
                                                  int sector) {
    const int arm = events_.eventKind(code);
    const SubscriberRecord& r = subscriber.record;
    if (r.test_type1 == kTestFromReport || r.test_type2 == kTestFromReport) {
        const int matched = isCentreEvent(config_, code) ? 0 : tests_.checkTest(0, subscriber, testPath);
        if (matched != 0) {
            if (arm != 0) arming_.updateArming(subscriber, arm, subsystem, sector);
            return;
        }
    }
    if (arm != 0) {
        arming_.updateArming(subscriber, arm, subsystem, sector);
        tests_.checkTest(arm, subscriber, testPath);
    }
    const int periodic = specialCode(config_, kSpecialPeriodicTest);
    const int armingTest = specialCode(config_, kSpecialArmingTest);
    if (periodic != 0 && code == periodic) tests_.checkTest(5, subscriber, testPath);
    if (armingTest != 0 && code == armingTest) tests_.checkTest(6, subscriber, testPath);
}

} // namespace k4
