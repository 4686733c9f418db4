// What the data of an IP panel's frame reports.
#include "net/dc09_events.h"

#include <gtest/gtest.h>

namespace k4 {
namespace {

TEST(Dc09Events, ContactIdReadsAsOnTheModulePath) {
    struct Case {
        const char* data;
        int32_t code, subsystem, sector;
        bool test;
    };
    const Case cases[] = {
        {"#1234|1130 01 015", 0x130, 1, 15, false},
        {"1130 01 015", 0x130, 1, 15, false},
        {"3130 01 015", 0x930, 1, 15, false}, // restore: + 0x800
        {"6130 02 100", 0x130, 2, 100, false},
        {"1602 00 000", 0x602, 0, 0, true},
        {"1401 03 007", 0x401, 3, 7, false},
        {"3401 03 007", 0xC01, 3, 7, false},
        {"113001015", 0x130, 1, 15, false},
    };
    for (const Case& c : cases) {
        const auto e = dc09ContactIdEvent(c.data);
        ASSERT_TRUE(e) << c.data;
        EXPECT_EQ(e->code, c.code) << c.data;
        EXPECT_EQ(e->subsystem, c.subsystem) << c.data;
        EXPECT_EQ(e->sector, c.sector) << c.data;
        EXPECT_EQ(e->periodicTest, c.test) << c.data;
    }
    for (const char* bad : {"", "2130 01 015", "1130 01 01", "1130 01 0155", "11A0 01 015", "#1234 1130 01 015"}) {
        EXPECT_FALSE(dc09ContactIdEvent(bad)) << bad;
    }
}

TEST(Dc09Events, SiaCodesThroughTheMap) {
    const SiaCodeMap map;
    int unknown = -1;
    const auto events = dc09SiaEvents("#1234|Nri2/BA015/ti10:00/FA3/ZZ1/RP", map, &unknown);
    ASSERT_EQ(events.size(), 3u);
    EXPECT_EQ(events[0].code, 0x130);
    EXPECT_EQ(events[0].subsystem, 2);
    EXPECT_EQ(events[0].sector, 15);
    EXPECT_EQ(events[1].code, 0x110);
    EXPECT_EQ(events[1].sector, 3);
    EXPECT_EQ(events[2].code, 0x602);
    EXPECT_TRUE(events[2].periodicTest);
    EXPECT_EQ(events[2].sector, 4095);
    EXPECT_EQ(unknown, 1);
    EXPECT_EQ(dc09SiaEvents("NBR1", map)[0].code, 0x930);
    EXPECT_EQ(dc09SiaEvents("NBA1", map)[0].subsystem, 255);
    EXPECT_TRUE(dc09SiaEvents("", map).empty());
}

TEST(Dc09Events, TechnicianFileAddsAndReplaces) {
    SiaCodeMap map;
    const auto bad = map.load("; our additions\nZZ 1A5\nBA 131 ; burglary as perimeter\r\nQT 601 test\nbad line\nXX 1000\nYY 12 maybe\n");
    EXPECT_EQ(bad, (std::vector<int>{5, 6, 7}));
    EXPECT_EQ(map.find("ZZ")->code, 0x1A5);
    EXPECT_EQ(map.find("BA")->code, 0x131);
    EXPECT_TRUE(map.find("QT")->periodicTest);
    EXPECT_FALSE(map.find("XX"));
    EXPECT_EQ(map.find("FA")->code, 0x110); // the defaults stay
}

} // namespace
} // namespace k4
