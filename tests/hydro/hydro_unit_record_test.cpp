// A unit of "hunits" is 100 bytes at fixed places: a record written by the
// program must read back in any other reader of the file, and one written
// elsewhere must read here.
#include "hydro/hydro_unit_record.h"

#include "database/text_edge.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

namespace k4 {
namespace {

std::string bytesOf(const HydroUnitRecord& u) { return std::string(reinterpret_cast<const char*>(&u), sizeof u); }

TEST(HydroUnitRecord, FieldsSitAtTheirBytes) {
    HydroUnitRecord u{};
    u.subscriber = 1000;
    u.kind = kUnitPump;
    u.left = 340;
    u.top = -2;
    setUnitText(u.title, mz("Pompa głębinowa P1"));
    u.show_what = 3;
    u.state = kUnitCommandPending;
    u.value = 12.5f;
    setUnitText(u.units, "A");
    u.range_min = -1.0f;
    u.range_max = 100.0f;
    u.alert_min = 0.25f;
    u.alert_max = 2.0f;
    u.pump_time = 1834;

    std::string expected(100, '\0');
    auto put = [&](size_t at, std::initializer_list<int> bytes) {
        for (int b : bytes) expected[at++] = static_cast<char>(b);
    };
    put(0, {0xE8, 0x03});
    put(8, {5, 0, 0, 0});
    put(16, {0x54, 0x01, 0, 0});
    put(20, {0xFE, 0xFF, 0xFF, 0xFF});
    const std::string title = mz("Pompa głębinowa P1");
    expected.replace(24, title.size(), title);
    put(54, {3, 3});
    put(56, {0x00, 0x00, 0x48, 0x41});   // 12.5f
    put(64, {'A'});
    put(76, {0x00, 0x00, 0x80, 0xBF});   // -1.0f
    put(80, {0x00, 0x00, 0xC8, 0x42});   // 100.0f
    put(84, {0x00, 0x00, 0x80, 0x3E});   // 0.25f
    put(88, {0x00, 0x00, 0x00, 0x40});   // 2.0f
    put(92, {0x2A, 0x07, 0, 0});
    EXPECT_EQ(bytesOf(u), expected);

    // And back from the bytes, the bytes no field covers kept as they were.
    expected[3] = '\x77';
    expected[97] = '\x55';
    HydroUnitRecord read{};
    std::memcpy(&read, expected.data(), sizeof read);
    EXPECT_EQ(static_cast<int>(read.subscriber), 1000);
    EXPECT_EQ(static_cast<int>(read.kind), kUnitPump);
    EXPECT_EQ(static_cast<int>(read.top), -2);
    EXPECT_EQ(static_cast<float>(read.value), 12.5f);
    EXPECT_EQ(static_cast<float>(read.range_min), -1.0f);
    EXPECT_EQ(static_cast<int>(read.pump_time), 1834);
    EXPECT_EQ(bytesOf(read), expected);
}

TEST(HydroUnitRecord, TextsAreCutToTheirFieldsWithTheirEnd) {
    HydroUnitRecord u{};
    setUnitText(u.title, std::string(40, 'x'));
    EXPECT_EQ(std::string(u.title, 29), std::string(29, 'x'));
    EXPECT_EQ(u.title[29], '\0');
    setUnitText(u.units, "m3/h");
    EXPECT_STREQ(u.units, "m3/h");
    EXPECT_EQ(u.units[11], '\0');
}

TEST(HydroUnitRecord, KindsHaveTheirNamesAndOnlySwitchableOnesTakeOrders) {
    const char* const names[] = {"Zbiornik", "Studnia", "Pomiar temperatury", "Pomiar ciśnienia", "Pomiar przepływu",
                                 "Pompa", "Hydrofor", "Zasuwa", "Licznik przepływu"};
    for (int kind = 0; kind < kHydroUnitKinds; ++kind) {
        EXPECT_STREQ(hydroUnitKindName(kind), names[kind]);
        EXPECT_EQ(isSwitchableUnit(kind), kind >= kUnitPump && kind <= kUnitGateValve) << kind;
    }
    EXPECT_STREQ(hydroUnitKindName(9), "?");
}

} // namespace
} // namespace k4
