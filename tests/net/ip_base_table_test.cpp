// The rows of the IP base table dialog and the "pakiety" lines they make,
// both ways, and what the module check keeps of them.
#include "net/ip_base_table.h"
#include "support/history_rig.h"

#include <gtest/gtest.h>

namespace k4 {
namespace {

TEST(IpBaseTable, EntriesAndRows) {
    struct Case {
        const char* entry;
        const char* address;
        int op;
        bool transmitter;
    } cases[] = {
        {"192.168.001.002;PN", "192.168.1.2", 1, true},
        {"10.0.0.7;O", "10.0.0.7", 2, false},
        {"10.0.0.8;E", "10.0.0.8", 3, false},
        {"10.0.0.9; N", "10.0.0.9", 0, true},
        {"010.000.002.003", "10.0.2.3", 0, false},
    };
    for (const Case& c : cases) {
        const IpBaseRow row = rowOfEntry(c.entry);
        EXPECT_EQ(row.address, c.address) << c.entry;
        EXPECT_EQ(row.gsmOperator, c.op) << c.entry;
        EXPECT_EQ(row.transmitter, c.transmitter) << c.entry;
    }
    EXPECT_EQ(entryOfRow({"192.168.1  .2  ", 1, true}), "192.168.1.2;PN");
    EXPECT_EQ(entryOfRow({"10 .0  .0  .9  ", 0, true}), "10.0.0.9; N");
    EXPECT_EQ(entryOfRow({"   .   .   .   ", 0, false}), "0.0.0.0");
    EXPECT_EQ(entryOfRow({".1.2.", 3, false}), "0.1.2.0;E");
    EXPECT_EQ(fieldOfAddress("10.1.0.200"), "10 .1  .0  .200");
}

struct Saving : ::testing::Test, test::HistoryRig {};

TEST_F(Saving, TheDialogsLinesSurviveTheModuleChecksRewrite) {
    const DataDir d(dir.path());
    std::array<IpBaseRow, kIpBaseRows> rows{};
    rows[0] = {"10 .0  .0  .2  ", 1, true};
    rows[1] = {"10 .0  .0  .3  ", 0, false};
    PathSetup read;
    read.kinds[0] = 0x10;
    ASSERT_EQ(saveIpBaseTable(d, messages, read, rows, true, false), 0);
    const std::string text = dir.read("pakiety");
    EXPECT_EQ(text.substr(0, 7), "1 7 12\n");
    EXPECT_NE(text.find("1 10\n2 BRAK\n"), std::string::npos);
    EXPECT_NE(text.find("10.0.0.2;PN\n10.0.0.3\n0.0.0.0\n"), std::string::npos);
    EXPECT_NE(text.find("ptarvik\n"), std::string::npos);
    EXPECT_EQ(text.find("ethernet\n"), std::string::npos);

    PathFiles files(d, messages);
    PathSetup setup;
    ASSERT_EQ(files.read(setup), 0);
    EXPECT_EQ(setup.inUse, 2);
    EXPECT_EQ(setup.addresses[0], "10.0.0.2");
    ASSERT_EQ(files.write(setup), 0);
    EXPECT_NE(dir.read("pakiety").find("10.0.0.2;PN\n"), std::string::npos);
}

} // namespace
} // namespace k4
