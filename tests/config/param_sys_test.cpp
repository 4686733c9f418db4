#include "config/param_sys.h"

#include "database/text_edge.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>

namespace k4 {
namespace {

std::vector<std::string> shown(const ConfigBlock& b, const DataDir& dir) {
    std::vector<std::string> lines;
    for (const auto& line : ParamSys(b, dir).lines()) lines.push_back(Utf8FromMazovia(line));
    // The free-space line depends on the disk; its form is checked alone.
    EXPECT_EQ(lines.back().rfind("Miejsce na dysku: ", 0), 0u);
    lines.pop_back();
    return lines;
}

ConfigBlock block(int mode) {
    ConfigBlock b{};
    b.mode = static_cast<int16_t>(mode);
    b.inter_port = 1;
    b.data_port = 2;
    b.base1_port = 3;
    b.base2_port = 4;
    b.base1_speed = 2400;
    b.base2_speed = 4800;
    b.send_speed = 9600;
    b.send_delay = 5;
    b.recv_delay = 3;
    return b;
}

TEST(ParamSys, LinesOfEveryMode) {
    test::TempDir tmp;
    DataDir dir(tmp.path());
    using Lines = std::vector<std::string>;

    ConfigBlock standard = block(0);
    standard.options = kOptGsmNew | kOptLinkReduced;
    EXPECT_EQ(shown(standard, dir),
              (Lines{"BAZA ZWYKŁA (4.2.13)", "Port interface'u: COM1 9600", "Port danych     : COM2 9600",
                     "Wersja GSM      : nowa", "Wersja OTR      : stara", "Param. odb.     : 3",
                     "Pakiet LINK - Obsługa  LNA "}));

    EXPECT_EQ(shown(block(1), dir),
              (Lines{"BAZA NADAWCZA (4.2.13)", "Port interface'u: COM1 9600", "Port danych     : COM2 9600",
                     "Port nadawczy  1: COM3 2400", "Port nadawczy  2: COM4 4800",
                     "Wersja GSM      : stara", "Wersja OTR      : stara", "Param. odb.     : 3",
                     "Param. nad.     : 5", "Pakiet LINK - Obsługa pełna"}));

    ConfigBlock oneSender = block(1);
    oneSender.base2_port = 0;
    EXPECT_EQ(shown(oneSender, dir)[3], "Port nadawczy   : COM3 2400");

    EXPECT_EQ(shown(block(2), dir),
              (Lines{"BAZA ODBIORCZA (4.2.13)", "Port odbiorczy 1: COM2 2400", "Port odbiorczy 2: COM4 4800",
                     "Param. odb.     : 3", "Param. nad.     : 5"}));
    ConfigBlock oneReceiver = block(2);
    oneReceiver.base2_port = 0;
    EXPECT_EQ(shown(oneReceiver, dir)[1], "Port odbiorczy : COM2 2400");

    EXPECT_EQ(shown(block(3), dir),
              (Lines{"KONCENTRATOR (4.2.13)", "Port odbiorczy 1: COM2 2400", "Port odbiorczy 2: COM1 4800",
                     "Port nadawczy   : COM3 9600", "Param. odb.     : 3"}));
}

TEST(ParamSys, FreeSpaceInKilobytesThenMegabytes) {
    EXPECT_EQ(freeSpaceText("/", 999998ull * 1024), "/ 999998 KB");
    EXPECT_EQ(freeSpaceText("/", 999999ull * 1024), "/ 976 MB");
    EXPECT_EQ(freeSpaceText("/srv", 50ull * 1024 * 1024 * 1024), "/srv 51200 MB");
}

} // namespace
} // namespace k4
