#pragma once
// Supervision of the periodic tests of every subscriber: each of its two
// tests is bound to one test path and expects a report within its interval
// plus the allowed delay. The deadlines are scheduler entries of type 3
// (key the subscriber, argument the test path + 1), so they outlive a
// restart; one that falls due is the centre's "BRAK TESTU" report.
#include "baselink/path_types.h"
#include "config/config_block.h"
#include "history/history_log.h"
#include "messages/messages.h"
#include "processing/report.h"
#include "database/subscriber_record.h"
#include "processing/report_links.h"
#include "processing/scheduler.h"

#include <cstdint>
#include <string>

namespace k4 {

class SubscriberDatabase;
class SubscriberIndexes;

// Test types of test_type1/2.
enum TestType : int {
    kTestArming = 0,      // T1 "Załącz/Wyłącz."
    kTestEvery29h = 1,    // T2
    kTestDaily = 2,       // T3
    kTestTwiceDaily = 3,  // T4
    kTestRepeated = 4,    // T5
    kTestFromArming = 5,  // T6
    kTestFromAnyReport = 6, // T7
};

// Bits of test_state.
enum : uint8_t {
    kTest2Received = 0x01,
    kTest2Missing = 0x02,
    kTest1Received = 0x04,
    kTest1Missing = 0x08,
};

// Seconds until a test of this type is missing: the allowed delay in
// minutes plus the type's interval (repeat in half-hours for T5 to T7);
// -1 for no deadline, -2 for a type that does not exist.
int testDeadlineSeconds(int type, int delayMinutes, int repeat);
// Reports carry the test-path index of their path type, where the Ethernet
// and the GSM-call paths are numbered the other way round.
inline int swapTestPath(int path) { return path == 6 ? 7 : path == 7 ? 6 : path; }

// One of a subscriber's two tests, as its record holds it.
struct TestSettings {
    int number = 1; // 1 or 2
    int type = 0;
    int repeat = 1;
    int delay = 15;
    bool active = false;
    int path = 255; // test path, 255 none
};
TestSettings testSettings(const SubscriberRecord& record, int number);

// The six characters of the test display in subscriber listings: for each
// test its path letter ('x' without one) and "%2.2d" misses when missing,
// "+" when received.
std::string testDisplay(const SubscriberRecord& record);
// The letters of the test paths K R S G A C D E.
char testPathLetter(int path);

class TestSupervisor final : public TestSupervision {
public:
    struct Parts {
        const ConfigBlock& config;
        const PathTypeTable& pathTypes;
        Scheduler& scheduler;
        SubscriberDatabase& database;
        SubscriberIndexes& indexes;
        ReportProcessor& processor;
        HistoryLog& history;
        Messages& messages;
    };

    explicit TestSupervisor(const Parts& parts);
    ~TestSupervisor() override;
    TestSupervisor(const TestSupervisor&) = delete;
    TestSupervisor& operator=(const TestSupervisor&) = delete;

    // With the message "Nieprawidłowy kod testu" for a type that does not exist.
    int testDeadline(int type, int delayMinutes, int repeat);

    int checkTest(int kind, Sbscrbr& subscriber, int reportPath) override;
    void restartTest(Sbscrbr& subscriber, int deadline, int path);
    void stopTest(int subscriber, int path);
    void scheduleTests(Sbscrbr& subscriber, bool atStartup);
    // The scheduler's type 3: the test of the subscriber on this path (+1)
    // is missing. The delay to its next deadline, or -1.
    int testMissed(int subscriber, int arg);

    // At start-up (every mode but the receiving one): every subscriber of
    // the number index gets the deadlines it has not got yet. 0, or -1 when
    // the index could not be walked.
    int scheduleAll();
    // The operator saved a subscriber whose tests changed.
    void testsChanged(Sbscrbr& subscriber);

private:
    void stateFailure(int result, int number);

    Parts parts_;
    MessageGuard stateGuard_;
    MessageGuard typeGuard_;
    MessageGuard loadGuard_;
};

} // namespace k4
