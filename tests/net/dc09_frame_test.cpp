// The frames of IP panels: CRC, length, fields, time stamps, and the
// answers built back.
#include "net/dc09_frame.h"

#include <gtest/gtest.h>

namespace k4 {
namespace {

TEST(Dc09Crc, IsTheReflected8005FromZero) {
    // The check value of this CRC over "123456789".
    EXPECT_EQ(dc09Crc("123456789"), 0xBB3D);
    EXPECT_EQ(dc09Crc(""), 0x0000);
}

TEST(Dc09Frame, WrapCountsAndChecksTheBody) {
    const std::string body = "\"SIA-DCS\"0007R12L3#1234[#1234|NBA01]_10:20:30,11-12-2026";
    const std::string frame = dc09Wrap(body);
    ASSERT_EQ(frame.front(), '\n');
    ASSERT_EQ(frame.back(), '\r');
    char head[10];
    std::snprintf(head, sizeof head, "%04X0%03X", dc09Crc(body), static_cast<unsigned>(body.size()));
    EXPECT_EQ(frame.substr(1, 8), head);
    EXPECT_EQ(frame.substr(5, 4), "0038"); // 56 bytes of body

    const Dc09FrameParse p = parseDc09Frame(frame);
    ASSERT_EQ(p.error, Dc09FrameError::None);
    EXPECT_EQ(p.frame.kind, "SIA-DCS");
    EXPECT_FALSE(p.frame.encrypted);
    EXPECT_EQ(p.frame.sequence, "0007");
    EXPECT_EQ(p.frame.receiver, "12");
    EXPECT_EQ(p.frame.line, "3");
    EXPECT_EQ(p.frame.account, "1234");
    EXPECT_EQ(p.frame.tail, "#1234|NBA01]_10:20:30,11-12-2026");
}

TEST(Dc09Frame, OptionalFieldsAndEncryptedKind) {
    const Dc09FrameParse p = parseDc09Frame(dc09Wrap("\"*ADM-CID\"9999#ABCDEF[0011AA]"));
    ASSERT_EQ(p.error, Dc09FrameError::None);
    EXPECT_EQ(p.frame.kind, "ADM-CID");
    EXPECT_TRUE(p.frame.encrypted);
    EXPECT_EQ(p.frame.receiver, "");
    EXPECT_EQ(p.frame.line, "");
    EXPECT_EQ(p.frame.account, "ABCDEF");
}

TEST(Dc09Frame, DamagedFramesNameTheirFault) {
    const std::string good = dc09Wrap("\"NULL\"0001R1L1#1234[]");
    std::string badCrc = good;
    badCrc[1] = badCrc[1] == '0' ? '1' : '0';
    std::string badLength = good;
    badLength[8] = badLength[8] == '0' ? '1' : '0';
    std::string flipped = good;
    flipped[12] ^= 0x01; // inside the kind: the CRC no longer matches
    struct Case {
        std::string bytes;
        Dc09FrameError error;
    };
    const Case cases[] = {
        {good, Dc09FrameError::None},
        {badCrc, Dc09FrameError::Crc},
        {badLength, Dc09FrameError::Length},
        {flipped, Dc09FrameError::Crc},
        {good.substr(1), Dc09FrameError::Format},                  // no LF
        {good.substr(0, good.size() - 1), Dc09FrameError::Format}, // no CR
        {"\n12340015\"NULL\"01#12[]\r", Dc09FrameError::Format},   // short sequence
        {"\n1234X015\"NULL\"0001#12[]\r", Dc09FrameError::Format}, // length without its 0
        {dc09Wrap("\"NULL\"0001R1L1#12[]"), Dc09FrameError::Format}, // account of two digits
        {dc09Wrap("\"NULL\"0001R1L1#1234"), Dc09FrameError::Format}, // no data
        {dc09Wrap("NULL0001#1234[]"), Dc09FrameError::Format},
        {"\n\r", Dc09FrameError::Format},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(parseDc09Frame(c.bytes).error, c.error) << c.bytes;
    }
    // A damaged frame still gives the fields for its NAK.
    EXPECT_EQ(parseDc09Frame(badCrc).frame.receiver, "1");
}

TEST(Dc09Frame, ContentBlocksAndStamp) {
    const auto c = parseDc09Content("#12|NBA01][X020E30][Y52N20]_23:59:59,12-31-2026");
    ASSERT_TRUE(c);
    EXPECT_EQ(c->data, "#12|NBA01");
    ASSERT_EQ(c->extended.size(), 2u);
    EXPECT_EQ(c->extended[0], "X020E30");
    ASSERT_TRUE(c->stamp);
    EXPECT_EQ(dc09TimeText(*c->stamp), "_23:59:59,12-31-2026");

    const auto bare = parseDc09Content("]");
    ASSERT_TRUE(bare);
    EXPECT_EQ(bare->data, "");
    EXPECT_FALSE(bare->stamp);

    for (const char* bad : {"", "no bracket", "a]_1:00:00,01-01-2026", "a]_24:00:00,01-01-2026",
                            "a]_10:00:00,02-30-2026", "a][]", "a][X", "a]_10:00:00,01-01-2026x", "a]junk"}) {
        EXPECT_FALSE(parseDc09Content(bad)) << bad;
    }
}

TEST(Dc09Frame, TimesRoundTripAcrossLeapDays) {
    for (const char* text : {"_00:00:00,01-01-1970", "_12:34:56,02-29-2024", "_23:59:59,12-31-2099"}) {
        const auto c = parseDc09Content(std::string("]") + text);
        ASSERT_TRUE(c && c->stamp) << text;
        EXPECT_EQ(dc09TimeText(*c->stamp), text);
    }
    EXPECT_EQ(dc09Seconds(Dc09Time{2026, 12, 11, 4, 15, 0}), 1796962500);
}

} // namespace
} // namespace k4
