#pragma once
// What a report changes in the subscriber's state besides its history
// entry: the GSM-path flag of GPRS-capable subscribers, the test deadlines
// and the arming supervision.
#include "config/config_block.h"
#include "processing/report_links.h"
#include "messages/messages.h"

namespace k4 {

class EventTable;
class Sbscrbr;

// Bit 7 of test_state: a GPRS-capable subscriber currently reporting over GSM.
constexpr uint8_t kGsmPathFlag = 0x80;
// test_type value of a test that runs from the last report.
constexpr uint8_t kTestFromReport = 6;

// Special codes 0, 1, 2, 7, 8 and 9 are made by the centre itself: they are
// no sign of life of the subscriber. A code not configured (0) matches none.
bool isCentreEvent(const ConfigBlock& config, int code);
// The special code of this index, 0 when not configured.
int specialCode(const ConfigBlock& config, int index);

enum SpecialCodeIndex : int {
    kSpecialNoTest = 0,
    kSpecialArmedEarly = 1,
    kSpecialNotArmed = 2,
    kSpecialUserTest = 3,
    kSpecialProbeAnswer = 4,
    kSpecialPeriodicTest = 5,
    kSpecialArmingTest = 6,
    kSpecialNoProbeAnswer = 7,
    kSpecialWrongDisarming = 8,
    kSpecialAlarmCounter = 9,
};

class SubscriberStateUpdate {
public:
    SubscriberStateUpdate(const ConfigBlock& config, const EventTable& events, Messages& messages,
                          TestSupervision& tests, ArmingSupervision& arming);

    // The GSM-path flag after a report over a path of this kind; only a
    // change is written. 0, or -1 when it could not be read or stored.
    int updateGsmPathFlag(Sbscrbr& subscriber, int pathKind, int code);
    // Test deadlines and arming after a report; the arming update is
    // applied once per report.
    void updateSubscriberState(Sbscrbr& subscriber, int code, int testPath, int subsystem, int sector);

private:
    const ConfigBlock& config_;
    const EventTable& events_;
    Messages& messages_;
    TestSupervision& tests_;
    ArmingSupervision& arming_;
    MessageGuard flagGuard_;
};

} // namespace k4
