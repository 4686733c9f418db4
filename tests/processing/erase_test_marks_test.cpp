// Wiping a subscriber's test and arming marks in its stored state block:
// only the ticked tests and positions, and only their marks.
#include "processing_station.h"

#include "processing/erase_test_marks.h"
#include "processing/test_supervision.h"

#include <gtest/gtest.h>

namespace k4 {
namespace {

constexpr uint8_t kAllTestBits = kTest1Received | kTest1Missing | kTest2Received | kTest2Missing;

// Both tests marked, both counted, every position armed, disarmed and with
// the schedule bits 0x30 and 0x80 that are not the operator's to wipe.
void markEverything(SubscriberRecord& r) {
    r.test_state = kAllTestBits | 0x80;
    r.test_miss1 = 7;
    r.test_miss2 = 42;
    for (uint8_t& s : r.arm_state) s = 0xB3;
}

struct EraseCase {
    const char* name;
    EraseTestMarks what;
    uint8_t testState;
    uint8_t miss1, miss2;
    std::array<uint8_t, 10> arm;
};

TEST(EraseTestMarks, ClearsOnlyTheTickedMarksInTheStoredBlock) {
    std::array<bool, 10> pos2and9{};
    pos2and9[2] = pos2and9[9] = true;
    std::array<uint8_t, 10> all{};
    all.fill(0xB3);
    std::array<uint8_t, 10> cleared29 = all;
    cleared29[2] = cleared29[9] = 0xB0;
    std::array<bool, 10> every{};
    every.fill(true);
    std::array<uint8_t, 10> clearedAll{};
    clearedAll.fill(0xB0);
    const EraseCase cases[] = {
        {"nothing ticked", {}, kAllTestBits | 0x80, 7, 42, all},
        {"test 1", {true, false, {}}, kTest2Received | kTest2Missing | 0x80, 0, 42, all},
        {"test 2", {false, true, {}}, kTest1Received | kTest1Missing | 0x80, 7, 0, all},
        {"positions 2 and 9", {false, false, pos2and9}, kAllTestBits | 0x80, 7, 42, cleared29},
        {"everything", {true, true, every}, 0x80, 0, 0, clearedAll},
    };
    for (const EraseCase& c : cases) {
        SCOPED_TRACE(c.name);
        test::ProcessingStation st;
        st.addSubscriber(1234, markEverything);
        Sbscrbr s(st.db, ByNumber{1234});
        ASSERT_TRUE(s.valid);
        MessageGuard guard;
        EXPECT_EQ(eraseTestMarks(s, c.what, st.messages, guard), 0);
        const SubscriberRecord r = st.stored(1234);
        EXPECT_EQ(r.test_state, c.testState);
        EXPECT_EQ(r.test_miss1, c.miss1);
        EXPECT_EQ(r.test_miss2, c.miss2);
        for (size_t i = 0; i < 10; ++i) EXPECT_EQ(r.arm_state[i], c.arm[i]) << "position " << i;
        EXPECT_EQ(s.record.test_state, c.testState) << "the record in hand shows the stored block";
        EXPECT_TRUE(st.shown().empty());
    }
}

TEST(EraseTestMarks, AnUnreadableBlockIsToldOnceAndNothingIsWritten) {
    test::ProcessingStation st;
    Sbscrbr unstored(st.db); // never saved: there is no block to read
    unstored.record.object = 77;
    MessageGuard guard;
    EXPECT_EQ(eraseTestMarks(unstored, {true, true, {}}, st.messages, guard), -1);
    ASSERT_EQ(st.shown().size(), 1u);
    EXPECT_NE(st.shown()[0].find("wczytania danych o flagach testu - 0077"), std::string::npos) << st.shown()[0];
}

} // namespace
} // namespace k4
