#include "baselink/module_blocks.h"

#include <gtest/gtest.h>

#include <vector>

namespace k4 {
namespace {

using Bytes = std::vector<uint8_t>;

struct Expected {
    const char* what;
    int kind;
    int status;
    Bytes block;
    BlockOptions options;
    BlockOutcome outcome;
    int32_t subscriber, subsystem, code, sector;
    bool unknown;
};

TEST(ModuleBlocks, ReportsOfEveryKind) {
    BlockOptions mode1;
    BlockOptions mode2;
    mode2.mode = 2;
    BlockOptions mode2AA = mode2;
    mode2AA.testTypeAA = true;
    BlockOptions converter;
    converter.internalConverter = true;
    const Expected cases[] = {
        {"standard: the code stays outside the short codes", 0x10, 1, {0x01, 0x23, 0x40, 0x13, 0x01, 0x23}, mode1,
         BlockOutcome::Report, 1234, 1, 0x30, 0x123, false},
        {"standard: a short code folds its sector into the code", 0x20, 1, {0x01, 0x23, 0x40, 0x10, 0x70, 0x05}, mode1,
         BlockOutcome::Report, 1234, 1, 0x75, 4095, false},
        {"standard: subsystem 9 keeps its short code", 0x30, 1, {0x01, 0x23, 0x40, 0x90, 0x70, 0x05}, mode1,
         BlockOutcome::Report, 1234, 9, 0x07, 0x005, false},
        {"standard: the internal converter folds every code", 0x60, 1, {0x01, 0x23, 0x40, 0x13, 0x01, 0x23},
         converter, BlockOutcome::Report, 1234, 1, (0x30 * 16 + 0x123) & 0xFFF, 4095, false},
        {"standard: a hexadecimal subscriber is unknown", 0x30, 1, {0x0A, 0x12, 0x30, 0x13, 0x01, 0x23}, mode1,
         BlockOutcome::Report, 0xA123, 1, 0x30, 0x123, true},
        {"standard: decimal code and sector in mode 2", 0x30, 1, {0x01, 0x23, 0x40, 0x14, 0x51, 0x23}, mode2,
         BlockOutcome::Report, 1234, 1, 45, 123, false},
        {"standard: hexadecimal in mode 2 with the AA test type", 0x30, 1, {0x01, 0x23, 0x40, 0x14, 0x51, 0x23},
         mode2AA, BlockOutcome::Report, 1234, 1, 0x45, 0x123, false},
        {"ADEMCO: 0xA digits are zeros", 0x50, 1, {0x0A, 0x12, 0xA3, 0x00, 0, 0}, mode1, BlockOutcome::Report, 120,
         255, 0x30, 4095, false},
        {"Contact Id type 0: the code is byte 3", 0x70, 1, {0, 0x01, 0x23, 0x41, 0, 0, 0, 0, 0, 0}, mode1,
         BlockOutcome::Report, 123, 255, 0x41, 4095, false},
        {"Contact Id type 1: code from nibbles 7-8", 0x70, 1, {1, 0x05, 0x67, 0x8A, 0xB0, 0, 0, 0, 0, 0}, mode1,
         BlockOutcome::Report, 567, 255, 0xAB, 4095, false},
        {"Contact Id type 2: burglary 130 of group 01 zone 015", 0x70, 1,
         {2, 0x01, 0x23, 0x41, 0x11, 0x30, 0xA1, 0xA1, 0x5A, 0}, mode1, BlockOutcome::Report, 123, 1, 0x130, 15,
         false},
        {"Contact Id type 2: a restore lies 0x800 above", 0x70, 1,
         {2, 0x01, 0x23, 0x41, 0x31, 0x30, 0xA1, 0xA1, 0x5A, 0}, mode1, BlockOutcome::Report, 123, 1, 0x930, 15,
         false},
        {"Contact Id of an unknown type", 0x70, 1, {7, 0x01, 0x23, 0x41, 0, 0, 0, 0, 0, 0}, mode1,
         BlockOutcome::Report, 123, 0, 0, 0, false},
        {"GPRS type 10", 0xB0, 1, {17, 10, 0, 0, 1, 10, 0, 0x12, 0x34, 3, 0x13, 0x01, 0x23, 0, 0, 0, 0}, mode1,
         BlockOutcome::Report, 1234, 0, 0x130, 0x123, false},
        {"GPRS type 10: a link test carries a decimal sector", 0xB0, 1,
         {17, 10, 0, 0, 1, 10, 0, 0x12, 0x34, 3, 0x1E, 0x00, 0x00, 4, 5, 6, 0}, mode1, BlockOutcome::Report, 1234, 0,
         0x1E0, 456, false},
        {"GPRS of an unused type", 0xB0, 1, {17, 10, 0, 0, 1, 77, 0, 0x12, 0x34, 3, 0x13, 0x01, 0x23, 0, 0, 0, 0},
         mode1, BlockOutcome::Nothing, 1234, 3, 0x130, 0x123, false},
        {"radio 15-byte block: digits one a byte and a code record", 0x10, 4,
         {0, 1, 2, 3, 4, '1', '3', '0', '0', '2', '0', '0', '7', 0, 0}, mode1, BlockOutcome::Report, 1234, 2, 0x130,
         7, false},
        {"0xA0 block: the subsystem of its code record is not used", 0xA0, 1,
         {15, 0x11, '2', '1', '2', '3', '4', 0x14, '1', '3', '0', '0', '1', '0', '0', '9'}, mode1,
         BlockOutcome::Report, 1234, 0, 0x130, 9, false},
        {"0xA0 block: padding skipped", 0xA0, 1,
         {15, 0xFF, 0x11, '2', '1', '2', '3', '4', 0x15, '1', '3', '0', 0, 0, 0, 0}, mode1,
         BlockOutcome::Report, 1234, 0, 0x130, 4095, false},
        {"0xA0 block: a link test takes the sector of record 0x16", 0xA0, 1,
         {15, 0x11, '2', '1', '2', '3', '4', 0x15, '1', 'E', '0', 0x16, 0, 4, 2, 0}, mode1, BlockOutcome::Report,
         1234, 0, 0x1E0, 42, false},
        {"0xA0 block without a subscriber record", 0xA0, 1, {4, 0x15, '1', '3', '0', 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0},
         mode1, BlockOutcome::Rejected, 0, 255, 0x130, 4095, false},
    };
    for (const Expected& c : cases) {
        const DecodedBlock d = decodeReportBlock(c.kind, c.status, c.block, c.options);
        EXPECT_EQ(d.outcome, c.outcome) << c.what;
        if (d.outcome == BlockOutcome::Rejected) continue;
        EXPECT_EQ(d.subscriber, c.subscriber) << c.what;
        EXPECT_EQ(d.subsystem, c.subsystem) << c.what;
        EXPECT_EQ(d.code, c.code) << c.what;
        EXPECT_EQ(d.sector, c.sector) << c.what;
        EXPECT_EQ(d.unknownSubscriber, c.unknown) << c.what;
    }
}

TEST(ModuleBlocks, ProbeAnswers) {
    BlockOptions plain;
    BlockOptions otrNew;
    otrNew.otrNew = true;
    struct Case {
        const char* what;
        int kind;
        Bytes block;
        BlockOptions options;
        bool probe;
        bool accepted;
    };
    const Case cases[] = {
        {"first nibble 1, sector 4", 0x10, {0x11, 0x23, 0x40, 0x00, 0x00, 0x04}, plain, true, true},
        {"first nibble 1, order 5 with the new OTR", 0x10, {0x11, 0x23, 0x40, 0x00, 0x00, 0x05}, otrNew, true, true},
        {"first nibble 1, another order", 0x10, {0x11, 0x23, 0x40, 0x00, 0x00, 0x06}, plain, true, false},
        {"subsystem 9 with the order as its code", 0x40, {0x01, 0x23, 0x40, 0x90, 0x40, 0x00}, plain, true, true},
        {"subsystem 9 on a dial-up path is a report", 0x30, {0x01, 0x23, 0x40, 0x90, 0x40, 0x00}, plain, false,
         false},
        {"GSM answers order 4 even with the new OTR", 0x90,
         [] {
             Bytes b(32, 0);
             b[0] = 1;
             b[10] = 1, b[11] = 2, b[12] = 3, b[13] = 4;
             b[16] = 1, b[17] = 0, b[18] = 9, b[19] = 0, b[20] = 4;
             return b;
         }(),
         otrNew, true, true},
        {"GPRS type 32: subsystem 5, order 4 as the code", 0xB0,
         {17, 1, 2, 3, 4, 32, 0, 0x12, 0x34, 5, 0x00, 0x40, 0, 0, 0, 0, 0}, plain, true, true},
        {"GPRS type 32: subsystem 5, order 5 in the sector", 0xB0,
         {17, 1, 2, 3, 4, 32, 0, 0x12, 0x34, 5, 0x00, 0x00, 0x05, 0, 0, 0, 0}, otrNew, true, true},
        {"GPRS type 32 in subsystem 4", 0xB0, {17, 1, 2, 3, 4, 32, 0, 0x12, 0x34, 4, 0x00, 0x40, 0, 0, 0, 0, 0},
         plain, true, false},
    };
    for (const Case& c : cases) {
        const DecodedBlock d = decodeReportBlock(c.kind, 1, c.block, c.options);
        EXPECT_EQ(d.outcome == BlockOutcome::ProbeAnswer, c.probe) << c.what;
        EXPECT_EQ(d.probeAccepted, c.accepted) << c.what;
    }
}

TEST(ModuleBlocks, ContactIdIncompleteKeepsItsBytes) {
    const Bytes block{255, 0x0A, 0x12, 0x3A, 0x44, 0x55, 0x66, 0x77, 0x88, 0x99};
    const DecodedBlock d = decodeContactIdBlock(block, {});
    EXPECT_EQ(d.outcome, BlockOutcome::Incomplete);
    EXPECT_EQ(d.subscriber, 12) << "nibbles 2-5, 0xA read as 0";
    EXPECT_EQ(d.raw[0], 0x0A) << "the bytes as they came, not the digits read";
    EXPECT_EQ(d.raw[8], 0x99);
}

TEST(ModuleBlocks, GsmCallsAndChunks) {
    Bytes bare(16, 0);
    for (int i = 1; i <= 9; ++i) bare[static_cast<size_t>(i)] = static_cast<uint8_t>(i);
    DecodedBlock d = decodeGsmBlock(bare, {});
    EXPECT_EQ(d.outcome, BlockOutcome::BareCall);
    EXPECT_EQ(d.phone, "123456789");
    bare[15] = 1;
    EXPECT_EQ(decodeGsmBlock(bare, {}).outcome, BlockOutcome::Nothing) << "byte 15 set: not a call to take";

    Bytes chunked(48, 0);
    chunked[0] = 2;
    chunked[10] = 0, chunked[11] = 0, chunked[12] = 4, chunked[13] = 2;
    const uint8_t record[] = {3, '1', '3', '0', '0', '2', '0', '1', '5'};
    std::copy(std::begin(record), std::end(record), chunked.begin() + 16);
    const uint8_t stamp[] = {9, 2, 6, 1, 2, 1, 0, 2, 2, 0, 5, 3, 0};
    std::copy(std::begin(stamp), std::end(stamp), chunked.begin() + 32);
    d = decodeGsmBlock(chunked, {});
    EXPECT_EQ(d.outcome, BlockOutcome::Report);
    EXPECT_EQ(d.subscriber, 42);
    EXPECT_EQ(d.code, 0x130);
    EXPECT_EQ(d.subsystem, 2);
    EXPECT_EQ(d.sector, 0x15);
    ASSERT_TRUE(d.hasTime);
    EXPECT_EQ(d.timeDigits[0], 2);
    EXPECT_EQ(d.timeDigits[11], 0);

    chunked[0] = 5;
    EXPECT_EQ(decodeGsmBlock(chunked, {}).outcome, BlockOutcome::Rejected) << "more chunks claimed than came";
}

TEST(ModuleBlocks, ShortBlocksAreReadAsZeros) {
    for (int kind : {0x10, 0x20, 0x30, 0x40, 0x50, 0x60, 0x70, 0x80, 0x90, 0xA0, 0xB0}) {
        for (int status : {1, 4}) {
            const Bytes one{0x12};
            const DecodedBlock d = decodeReportBlock(kind, status, one, {});
            EXPECT_GE(d.code, 0) << kind;
            const DecodedBlock e = decodeReportBlock(kind, status, {}, {});
            EXPECT_GE(e.sector, 0) << kind;
        }
    }
}

} // namespace
} // namespace k4
