#include "shell/alarm_lines.h"

#include "database/stamp.h"
#include "processing/event_def.h"
#include "processing/event_table.h"
#include "database/text_edge.h"

#include <gtest/gtest.h>

namespace k4 {
namespace {

Stamp at(int hour, int minute, int second) {
    LocalDateTime t;
    t.year = 2026;
    t.month = 5;
    t.day = 7;
    t.hour = hour;
    t.minute = minute;
    t.second = second;
    return StampFromLocal(t);
}

struct Alarm {
    int subscriber = 7;
    int subsystem = 1;
    int code = 0x130;
    int colour = 4;
    int sector = 5;
    uint8_t flags = 0;
    int state = 0;
    uint8_t forward0 = 0, forward1 = 0, forward2 = 0;
};

AlarmRecord recordOf(const Alarm& a) {
    AlarmRecord r;
    r.time = static_cast<uint32_t>(at(9, 3, 1));
    r.subscriber = static_cast<int16_t>(a.subscriber);
    r.subsystem = static_cast<int16_t>(a.subsystem);
    r.codeWord = codeWordOf(a.code, a.colour);
    r.sector = static_cast<int16_t>(a.sector);
    r.flags = a.flags;
    r.origCodeWord = static_cast<uint16_t>((a.code & 0xFFF) | (a.state << 12));
    r.forward[0] = a.forward0;
    r.forward[3] = a.forward1; // bases without a state byte in between are skipped
    r.forward[9] = a.forward2;
    return r;
}

struct LineCase {
    const char* what;
    Alarm alarm;
    int mode;
    const char* line;
};

class AlarmLines : public ::testing::Test {
protected:
    EventTable events;
    void SetUp() override {
        events.setRecords({});
        ASSERT_EQ(events.putEvent(makeEventDef(0x130, "WLAMANIE", "Włamanie - strefa wewnętrzna", 4), 0x130), 0);
        ASSERT_EQ(events.putEvent(makeEventDef(0x602, "TEST", "Test okresowy", 0), 0x602), 0);
        ASSERT_EQ(events.putEvent(makeEventDef(0x110, "POŻAR", "Pożar", 12), 0x110), 0);
        ASSERT_EQ(events.putEvent(makeEventDef(0x1AB, "NAPAD", "Napad", 12), 0x1AB), 0);
    }
};

TEST_F(AlarmLines, TextOfEachKindOfAlarm) {
    constexpr uint8_t kNew = 0;
    constexpr uint8_t kServed = AlarmRecord::kInService;
    const LineCase cases[] = {
        {"new known alarm", {7, 1, 0x130, 4, 5, kNew}, 0, "09:03:01 0007 01 130 005 WLAMANIE NOWY"},
        {"in service: no mark", {7, 1, 0x130, 4, 5, kServed}, 0, "09:03:01 0007 01 130 005 WLAMANIE"},
        {"short name padded to 8", {1234, 12, 0x602, 0, 300, kServed}, 0, "09:03:01 1234 12 602 300 TEST    "},
        {"no subsystem, no sector", {7, 255, 0x130, 4, 4095, kServed}, 0, "09:03:01 0007    130     WLAMANIE"},
        {"Polish short name", {42, 3, 0x110, 12, 1, kNew}, 0, "09:03:01 0042 03 110 001 POŻAR    NOWY"},
        {"unknown subscriber in hex", {static_cast<int16_t>(0xBEEF), 255, 0x130, 4, 4095,
                                       AlarmRecord::kHexSubscriber | AlarmRecord::kUnknownSubscriber | kServed},
         0, "09:03:01 BEEF    130     ABOniezn"},
        {"unknown event wins over unknown subscriber", {9, 1, 0x777, 0, 2,
                                                        AlarmRecord::kUnknownEvent | AlarmRecord::kUnknownSubscriber},
         0, "09:03:01 0009 01 777 002 KODniezn NOWY"},
        {"demonstration wins over all", {1444, 255, 0x777, 0, 4095, AlarmRecord::kUnknownEvent, 0x1}, 0,
         "09:03:01 1444    777     TESTOWY  NOWY"},
        {"mode 1, first base to forward, new", {7, 1, 0x130, 4, 5, kNew, 0, 0x10, 0x01}, 1,
         "09:03:01 0007 01 130 005 WLAMANIE N P"},
        {"mode 1, second base to forward, in service", {7, 1, 0x130, 4, 5, kServed, 0, 0x01, 0x20}, 1,
         "09:03:01 0007 01 130 005 WLAMANIE    P"},
        {"mode 1, both to forward", {7, 1, 0x130, 4, 5, kNew, 0, 0x40, 0x80}, 1,
         "09:03:01 0007 01 130 005 WLAMANIE N PP"},
        {"mode 1, everything sent", {7, 1, 0x130, 4, 5, kNew, 0, 0x01, 0x02}, 1,
         "09:03:01 0007 01 130 005 WLAMANIE NOWY"},
        {"forward bytes mean nothing outside mode 1", {7, 1, 0x130, 4, 5, kNew, 0, 0x10, 0x10}, 3,
         "09:03:01 0007 01 130 005 WLAMANIE NOWY"},
        // The widths are at least, never at most: the numbers stay whole.
        {"subsystem 0x7B and sector 0x4D2 whole", {7, 0x7B, 0x130, 4, 0x4D2, kServed}, 0,
         "09:03:01 0007 123 130 1234 WLAMANIE"},
        {"sector 1000 is not 000", {7, 1, 0x130, 4, 1000, kServed}, 0, "09:03:01 0007 01 130 1000 WLAMANIE"},
        {"highest subsystem and sector", {7, 254, 0x130, 4, 4094, kNew}, 0,
         "09:03:01 0007 254 130 4094 WLAMANIE NOWY"},
        {"code with hexadecimal letters", {7, 1, 0x1AB, 12, 5, kServed}, 0, "09:03:01 0007 01 1AB 005 NAPAD   "},
    };
    for (const LineCase& c : cases)
        EXPECT_EQ(alarmLineShown(recordOf(c.alarm), &events, c.mode), c.line) << c.what;
}

TEST_F(AlarmLines, EmptyWithoutAnEventTable) {
    EventTable none;
    EXPECT_EQ(alarmLineShown(recordOf({}), &none, 0), "");
    EXPECT_EQ(alarmLineShown(recordOf({}), nullptr, 0), "");
}

TEST(AlarmLineColour, SixteenClasses) {
    const uint32_t expected[16] = {0xFFFFFF, 0x000080, 0x008000, 0x008080, 0xAA0000, 0x800080, 0x800000, 0xC0C0C0,
                                   0x808080, 0x0000FF, 0x00FF00, 0x00FFFF, 0xFF4040, 0xFF00FF, 0xFFFF00, 0xFFFFFF};
    for (int c = 0; c < 16; ++c) EXPECT_EQ(alarmLineColour(c), expected[c]) << "class " << c;
}

TEST_F(AlarmLines, DescriptionLine) {
    EXPECT_EQ(alarmDescriptionText(recordOf({1444, 255, 0x130, 4, 4095, 0, 0x1}), &events), "# ALARM TESTOWY!");
    EXPECT_EQ(alarmDescriptionText(recordOf({7, 1, 0x130, 4, 5, AlarmRecord::kUnknownSubscriber}), &events),
              "# NIEZNANY ABONENT!");
    EXPECT_EQ(alarmDescriptionText(recordOf({7, 1, 0x777, 0, 5, AlarmRecord::kUnknownEvent}), &events),
              "# NIEZNANE ZDARZENIE!");
    EXPECT_EQ(alarmDescriptionText(recordOf({}), &events), mz("Włamanie - strefa wewnętrzna"));
}

} // namespace
} // namespace k4
