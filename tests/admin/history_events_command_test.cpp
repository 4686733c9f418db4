#include "admin/admin_commands.h"
#include "admin/event_defaults.h"

#include "config/config.h"
#include "database/stamp.h"
#include "database/text_edge.h"
#include "history/history_entry.h"
#include "processing/event_table.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>

#include <sstream>

namespace k4::admin {
namespace {

struct CommandRun {
    int status;
    std::string out, err;
};

CommandRun run(const Args& args) {
    std::istringstream in;
    std::ostringstream out, err;
    const int status = runAdmin(args, in, out, err);
    return {status, out.str(), err.str()};
}

std::string entryBytes(Stamp time, int subscriber, int code, int pathType) {
    HistoryEntry e{};
    e.time = time;
    e.flags = 0xC0;
    e.subscriber = static_cast<int16_t>(subscriber);
    e.subsystem = 1;
    e.sector = 3;
    e.kind = static_cast<uint16_t>(code | (pathType << 12));
    e.code2 = static_cast<uint16_t>(code);
    return {reinterpret_cast<const char*>(&e), sizeof e};
}

Stamp at(int y, int mo, int d, int h) {
    LocalDateTime t;
    t.year = y;
    t.month = mo;
    t.day = d;
    t.hour = h;
    return StampFromLocal(t);
}

TEST(AdminInitEvents, FreshTableHoldsThePanelFamiliesAndTheSpecialCodes) {
    test::TempDir tmp;
    const std::string dir = tmp.file("centrum");
    ASSERT_EQ(run({"init", dir}).status, 0);
    EventTable events;
    ASSERT_EQ(events.loadEventTable(DataDir(dir)), 0);
    for (const EventDef& def : freshEventDefinitions()) {
        const EventDef* stored = events.findEvent(def.code);
        ASSERT_NE(stored, nullptr);
        EXPECT_EQ(stored->code, def.code);
        EXPECT_LE(stored->shortText().size(), 8u);
        EXPECT_FALSE(stored->fullText().empty());
    }
    // Restores sit 0x800 above their alarms; arming and fire kinds are marked.
    for (int code : {0x110, 0x120, 0x130, 0x137, 0x301}) EXPECT_EQ(events.recordOf(code + 0x800) != 0, true) << code;
    EXPECT_EQ(events.eventKind(0x401), -2);
    EXPECT_EQ(events.eventKind(0xC01), -1);
    EXPECT_TRUE(events.isFireEvent(0x110));
    EXPECT_EQ(events.findEvent(0x930)->colourClass(), 0) << "a restore raises no alarm";
    EXPECT_NE(events.findEvent(0x130)->colourClass(), 0);

    Config config{DataDir(dir)};
    ASSERT_EQ(config.LoadConfig(1), 0);
    for (int i = 0; i < kSpecialCodes; ++i) {
        const int code = config.block().special_codes[i];
        EXPECT_NE(events.recordOf(code), 0) << "special code " << i;
    }
    EXPECT_EQ(Utf8FromMazovia(events.findEvent(config.block().special_codes[5])->shortText()), "TEST OKR");
}

TEST(AdminEvents, PrintsTheStandardTable) {
    test::TempDir tmp;
    const std::string dir = tmp.file("centrum");
    ASSERT_EQ(run({"init", dir}).status, 0);
    const CommandRun r = run({"events", dir});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out.substr(0, r.out.find("100 ")),
              "\n####################             LISTA ZDARZEŃ             ####################\n");
    EXPECT_NE(r.out.find("\n130 WŁAMANIE Włamanie                      \n"), std::string::npos) << r.out;
    EXPECT_EQ(run({"events", tmp.file("brak")}).status, 1);
}

TEST(AdminHistory, LinesBetweenTheDatesWithTheirBytes) {
    test::TempDir tmp;
    const std::string dir = tmp.file("centrum");
    ASSERT_EQ(run({"init", dir}).status, 0);
    const std::string logf = std::string(10, '\xFB') + entryBytes(at(2026, 5, 6, 23), 1, 0x130, 1) +
                             entryBytes(at(2026, 5, 7, 12), 2, 0x130, 1) + entryBytes(at(2026, 5, 8, 0), 3, 0x602, 2);
    tmp.write("centrum/logf", logf + "\x01\x02");

    const CommandRun all = run({"history", dir + "/logf"});
    ASSERT_EQ(all.status, 0) << all.err;
    EXPECT_EQ(all.out,
              "26.05.06 23:00:00 130-WŁAMANIE 0001 01 130 003 Włamanie                   TR\n"
              "26.05.07 12:00:00 130-WŁAMANIE 0002 01 130 003 Włamanie                   TR\n"
              "26.05.08 00:00:00 602-TEST OKR 0003 01 602 003 Test okresowy              TS\n");
    EXPECT_NE(all.err.find("(2 B)"), std::string::npos) << all.err;

    const CommandRun day = run({"history", dir + "/logf", "--from", "2026-05-07", "--to", "07.05.2026", "--raw"});
    ASSERT_EQ(day.status, 0) << day.err;
    const std::string second = logf.substr(24, 14);
    std::string hex;
    for (size_t i = 0; i < 14; ++i) {
        char part[4];
        std::snprintf(part, sizeof part, i ? " %02X" : "%02X", static_cast<unsigned char>(second[i]));
        hex += part;
    }
    EXPECT_EQ(day.out, hex + "  26.05.07 12:00:00 130-WŁAMANIE 0002 01 130 003 Włamanie                   TR\n");
    EXPECT_EQ(tmp.read("centrum/logf"), logf + "\x01\x02") << "the file is only read";

    // Days a month does not have are refused, not carried into the next.
    for (const char* bad : {"jutro", "2026-02-30", "2025-02-29", "31.04.2026", "2026-13-01", "2026-01-00"})
        EXPECT_EQ(run({"history", dir + "/logf", "--from", bad}).status, 2) << bad;
    EXPECT_EQ(run({"history", dir + "/logf", "--from", "2024-02-29"}).status, 0) << "a leap day is a day";
}

TEST(AdminHistory, OlderGenerationsAreReadOrRefusedWithoutChange) {
    test::TempDir tmp;
    // Previous generation: 16-byte entries, code 0x30 of subscriber 1234.
    std::string old(16, '\0');
    old[4] = 0x30;
    old[8] = static_cast<char>(0xD2);
    old[9] = 0x04;
    old[13] = static_cast<char>(0xFF);
    tmp.write("25_01.log", old);
    const CommandRun r = run({"history", tmp.file("25_01.log")});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_NE(r.out.find("030-         1234 00 030     "), std::string::npos) << r.out;
    EXPECT_NE(r.err.find("starszej wersji"), std::string::npos);
    EXPECT_EQ(tmp.read("25_01.log"), old);

    tmp.write("24_12.log", std::string(10, '\xFD') + std::string(14, '\0'));
    EXPECT_EQ(run({"history", tmp.file("24_12.log")}).status, 1);
    tmp.write("obcy.log", "tekst, nie historia");
    const CommandRun foreign = run({"history", tmp.file("obcy.log")});
    EXPECT_EQ(foreign.status, 1);
    EXPECT_NE(foreign.err.find("nie jest plikiem historii"), std::string::npos);
}

} // namespace
} // namespace k4::admin
