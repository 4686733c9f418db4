// The lines and the filter of the supervised-subscribers list.
#include "processing/supervised_list.h"

#include "processing/test_supervision.h"

#include <gtest/gtest.h>

#include <cstring>

namespace k4 {
namespace {

std::string withoutRedMarks(std::string line) {
    std::erase(line, '~');
    return line;
}

TEST(SupervisedList, MarksSitInTheirColumnsAndSupervisedOnesAreRed) {
    SubscriberRecord r{};
    r.object = 42;
    std::strcpy(r.name, "Apteka");
    r.tracks = kTrackDialUp | kTrackRadio | kTrackGsm;
    r.chk_tracks = kTrackRadio;
    r.tracks_nbr = 0x20;
    r.test_track1 = 1;
    r.test_track2 = 255;
    r.test_state = kTest1Received;
    r.arm_state[0] = 0x01;
    r.arm_state[3] = 0x02;
    r.arm_mask = 0x0001;
    const int w = 80;
    const std::string line = supervisedLine(r, w, false);
    const std::string shown = withoutRedMarks(line);
    ASSERT_EQ(shown.size(), 80u);
    EXPECT_EQ(shown.substr(0, 12), "0042 Apteka ");
    EXPECT_EQ(shown[w - 43], 'K');
    EXPECT_EQ(shown.substr(w - 41, 2), "R3");
    EXPECT_EQ(shown[w - 35], 'g') << "no GPRS address";
    EXPECT_EQ(shown.substr(w - 29, 6), "R+    ");
    EXPECT_EQ(shown[w - 22], 'Z');
    EXPECT_EQ(shown[w - 22 + 6], 'W');
    EXPECT_NE(line.find("~R3~"), std::string::npos) << line;
    EXPECT_NE(line.find("~W~"), std::string::npos);
    EXPECT_EQ(line.find("~K~"), std::string::npos) << "dial-up is not supervised";
    // Only the positions with a supervised schedule keep their marks.
    const std::string active = withoutRedMarks(supervisedLine(r, w, true));
    EXPECT_EQ(active[w - 22], 'Z');
    EXPECT_EQ(active[w - 22 + 6], ' ');
}

TEST(SupervisedList, FilterByPathsArmingAndTests) {
    SubscriberRecord r{};
    r.tracks = kTrackRadio;
    struct Case {
        uint16_t mask;
        uint8_t armState, testState;
        bool kept;
    };
    for (const Case& c : std::initializer_list<Case>{
             {kNoFilter, 0, 0, true},
             {0, 0, 0, false},
             {kTrackRadio, 0, 0, true},
             {kTrackDialUp, 0, 0, false},
             {kTrackRadio | kFilterArmed, 0, 0, false},
             {kTrackRadio | kFilterArmed, 0x01, 0, true},
             {kTrackRadio | kFilterNoTests, 0, kTest1Missing, true},
             {kTrackRadio | kFilterTests, 0, kTest2Received, true},
             {kTrackRadio | kFilterTests, 0, kTest1Missing, false},
         }) {
        r.arm_state[4] = c.armState;
        r.test_state = c.testState;
        EXPECT_EQ(passesFilter(r, c.mask), c.kept) << std::hex << c.mask;
    }
}

} // namespace
} // namespace k4
