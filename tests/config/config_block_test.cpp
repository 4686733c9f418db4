#include "config/config_block.h"

#include <gtest/gtest.h>

#include <cstring>

namespace k4 {
namespace {

// A block image in which every field holds a value that names its offset;
// reading it through the structure shows each field sits where the file
// keeps it.
TEST(ConfigBlock, EveryFieldSitsAtItsOffset) {
    uint8_t image[kConfigSize] = {};
    auto put16 = [&](size_t at, uint16_t v) { image[at] = v & 0xFF; image[at + 1] = v >> 8; };
    auto put32 = [&](size_t at, uint32_t v) { for (int i = 0; i < 4; ++i) image[at + i] = (v >> (8 * i)) & 0xFF; };
    for (size_t at = 0; at <= 22; at += 2) put16(at, static_cast<uint16_t>(0x100 + at));
    image[24] = 0x24;                         // super_pass
    for (size_t at = 35; at <= 49; at += 2) put16(at, static_cast<uint16_t>(0x200 + at));
    put16(51, 0x51);
    std::memcpy(image + 55, "/srv/kestrel4", 14);
    put32(115, 0x0A000001);
    image[123] = 15;
    image[131] = 60; image[132] = 0xFF; image[133] = 5; image[134] = 3;
    put16(135, 15);
    image[137] = 0x37; image[138] = 0x38;
    std::memcpy(image + 139, "Warszawa", 9);
    put32(181, 0x12345678);
    put16(185, 1);
    image[187] = 84; image[187 + 7 * 15 + 6] = 0x66;
    put16(313, 0x313);
    put16(315, 1);
    std::memcpy(image + 317, "/srv/zrzut", 11);
    put16(377, static_cast<uint16_t>(-12));
    put16(379, 0x379); put16(379 + 18, 0x397);
    // Base entry 0 and the last field of entry 15.
    image[419] = 0x12;
    std::memcpy(image + 420, "BAZA~1", 7);
    image[431] = 2; image[432] = 0x31; put16(433, 0xAAAA); image[435] = 7;
    std::memcpy(image + 436, "600123456", 10);
    image[446] = 10; image[449] = 9; image[450] = 2; put16(451, 1234); image[453] = 8;
    image[454] = 192; image[457] = 5; image[458] = 3; put16(459, 4321); image[461] = 9;
    image[419 + 43 * 15 + 42] = 0x42;

    ConfigBlock b;
    std::memcpy(&b, image, sizeof b);
    EXPECT_EQ(b.mode, 0x100); EXPECT_EQ(b.event_printer, 0x102); EXPECT_EQ(b.report_printer, 0x104);
    EXPECT_EQ(b.inter_port, 0x106); EXPECT_EQ(b.data_port, 0x108); EXPECT_EQ(b.base1_port, 0x10A);
    EXPECT_EQ(b.base2_port, 0x10C); EXPECT_EQ(b.base1_speed, 0x10E); EXPECT_EQ(b.base2_speed, 0x110);
    EXPECT_EQ(b.send_speed, 0x112); EXPECT_EQ(b.event_cp, 0x114); EXPECT_EQ(b.report_cp, 0x116);
    EXPECT_EQ(b.super_pass[0], 0x24);
    EXPECT_EQ(b.periods.tk, 0x223); EXPECT_EQ(b.periods.tkr, 0x225); EXPECT_EQ(b.periods.tr, 0x227);
    EXPECT_EQ(b.periods.trr, 0x229); EXPECT_EQ(b.periods.ts, 0x22B); EXPECT_EQ(b.periods.tsr, 0x22D);
    EXPECT_EQ(b.periods.tg, 0x22F); EXPECT_EQ(b.periods.tgr, 0x231);
    EXPECT_EQ(b.periods_irregular, 0x51);
    EXPECT_STREQ(b.base_dir, "/srv/kestrel4");
    EXPECT_EQ(b.recv_ip, 0x0A000001); EXPECT_EQ(b.recv_mark, 15);
    EXPECT_EQ(b.repeat_delay, 60); EXPECT_EQ(b.synopt_port, -1); EXPECT_EQ(b.send_delay, 5);
    EXPECT_EQ(b.recv_delay, 3); EXPECT_EQ(b.no_line_delay, 15);
    EXPECT_EQ(b.options, 0x37); EXPECT_EQ(b.options2, 0x38);
    EXPECT_STREQ(b.town, "Warszawa");
    EXPECT_EQ(b.holiday_date, 0x12345678); EXPECT_EQ(b.holiday_flag, 1);
    EXPECT_EQ(b.tones[0][0], 84); EXPECT_EQ(b.tones[15][6], 0x66);
    EXPECT_EQ(b.packet_supervision, 0x313); EXPECT_EQ(b.autosave_flags, 1);
    EXPECT_STREQ(b.autosave_dir, "/srv/zrzut"); EXPECT_EQ(b.time_adjust, -12);
    EXPECT_EQ(b.special_codes[0], 0x379); EXPECT_EQ(b.special_codes[9], 0x397);
    const BaseEntry& e = b.bases[0];
    EXPECT_EQ(e.flags, 0x12); EXPECT_STREQ(e.name, "BAZA~1"); EXPECT_EQ(e.rsLink, 2);
    EXPECT_EQ(e.radio, 0x31); EXPECT_EQ(e.trSubscriber, 0xAAAA); EXPECT_EQ(e.trAlarm, 7);
    EXPECT_STREQ(e.gsmNumber, "600123456"); EXPECT_EQ(e.gprsAddress[0], 10);
    EXPECT_EQ(e.gprsAddress[3], 9); EXPECT_EQ(e.gsmParam, 2); EXPECT_EQ(e.tgSubscriber, 1234);
    EXPECT_EQ(e.tgAlarm, 8); EXPECT_EQ(e.ethAddress[0], 192); EXPECT_EQ(e.ethAddress[3], 5);
    EXPECT_EQ(e.ethParam, 3); EXPECT_EQ(e.teSubscriber, 4321); EXPECT_EQ(e.teAlarm, 9);
    EXPECT_EQ(b.bases[15].teAlarm, 0x42);
}

} // namespace
} // namespace k4
