#include "history/history_output.h"

#include "baselink/path_types.h"
#include "processing/event_table.h"
#include "processing/event_text.h"
#include "database/text_edge.h"

#include "history_entries.h"
#include "history_fixture.h"

#include <gtest/gtest.h>

namespace k4 {
namespace {

using test::localStamp;
using test::reportEntry;
using test::systemAt;

LocalDateTime moment(int mo, int d, int h, int mi) {
    LocalDateTime t;
    t.year = 2026;
    t.month = mo;
    t.day = d;
    t.hour = h;
    t.minute = mi;
    return t;
}

struct ExportStation {
    test::HistoryStation s;
    File file;
    EventTable events;
    PathTypeTable paths;
    EventFormatter formatter{events, paths};
    HistoryOutputParts parts;

    explicit ExportStation(const std::vector<HistoryEntry>& entries) {
        s.dir.write("logf", test::historyFileOf(entries));
        EXPECT_TRUE(file.open(s.dir.file("logf"), File::Mode::ReadOnly));
        parts.format = [this](const HistoryEntry& e) { return formatter.formatEvent(e); };
        parts.textPath = s.dir.file("log_txt.tmp");
    }
};

TEST(HistoryExport, TextFileIsTheMatchingLinesInCp1250) {
    const Stamp t1 = localStamp(2026, 11, 1, 0, 0, 5);
    const Stamp t2 = localStamp(2026, 11, 2, 7, 30, 0);
    // Kind 26 carries the day in its detail and code fields.
    HistoryEntry cut = systemEntry(26, 2026, 10, 31, 0, true);
    cut.time = t1;
    ExportStation x({cut, reportEntry(t1 + 1, 8, 0x130), systemAt(t2, 24, 7)});
    PLogList list(x.file, x.s.messages, test::testKnowledge());
    HistoryOutputParts parts = x.parts;
    list.filter().code = 26;
    list.filter().categories = kCategoryProgram;
    ASSERT_EQ(Output(list, kOutputTextFile, parts, x.s.messages), 0);
    // "ę" is 0xEA in CP1250; every line ends in CR LF.
    const std::string expected = "26.11.01 00:00:05   Usuni\xEAto zdarzenia z historii do 2026.10.31\r\n";
    EXPECT_EQ(x.s.dir.read("log_txt.tmp"), expected);

    const std::string target = x.s.dir.file("export");
    ASSERT_EQ(::mkdir(target.c_str(), 0755), 0);
    const auto first = exportTextFile(parts.textPath, target, moment(11, 14, 9, 5), x.s.messages);
    ASSERT_TRUE(first.has_value());
    EXPECT_EQ(*first, target + "/hb140905.txt");
    EXPECT_EQ(x.s.dir.read("export/hb140905.txt"), expected);
    EXPECT_FALSE(fileExists(parts.textPath));
    EXPECT_EQ(x.s.boxText(0), " Zapis pod nazwą: " + target + "/hb140905.txt");

    // The same minute again: a letter before ".txt".
    ASSERT_EQ(Output(list, kOutputTextFile, parts, x.s.messages), 0);
    const auto second = exportTextFile(parts.textPath, target + "/", moment(11, 14, 9, 5), x.s.messages);
    ASSERT_TRUE(second.has_value());
    EXPECT_EQ(*second, target + "/hb140905a.txt");
    EXPECT_EQ(x.s.dir.read("export/hb140905a.txt"), expected);
    EXPECT_EQ(exportFileName(target, moment(11, 14, 9, 5)), "hb140905b.txt");
    EXPECT_EQ(exportFileName(target, moment(12, 1, 0, 0)), "hc010000.txt");
}

TEST(HistoryExport, PrintoutsAndTheReducedForm) {
    HistoryEntry noTest = reportEntry(localStamp(2026, 11, 3, 10), 7, 0x1F0);
    HistoryEntry serviceOfNoTest = systemAt(localStamp(2026, 11, 3, 10, 1), 8, 7);
    serviceOfNoTest.code2 = 0x1F0;
    ExportStation x({reportEntry(localStamp(2026, 11, 3, 9), 7, 0x130), noTest, serviceOfNoTest,
                     systemAt(localStamp(2026, 11, 3, 11), 10, 7)});
    std::vector<int> subscribersPrinted;
    std::string printed;
    x.parts.format = [&](const HistoryEntry& e) {
        subscribersPrinted.push_back(e.subscriber);
        return x.formatter.formatEvent(e);
    };
    x.parts.printLine = [&](const std::string& line) {
        printed += line;
        return 0;
    };
    x.parts.specialCodes[0] = 0x1F0;
    PLogList list(x.file, x.s.messages, test::testKnowledge());
    list.filter().categories = 0;
    ASSERT_EQ(Output(list, kOutputPrint, x.parts, x.s.messages), 0);
    EXPECT_EQ(subscribersPrinted, (std::vector<int>{7, 7, 7, 7}));
    subscribersPrinted.clear();
    ASSERT_EQ(Output(list, kOutputReduced, x.parts, x.s.messages), 0);
    // The missing test and its service are left out; the subscriber's
    // number is not printed on a report, and stays on a kind whose value is
    // no subscriber.
    EXPECT_EQ(subscribersPrinted, (std::vector<int>{0, 7}));
    // A failing printer ends the output.
    int lines = 0;
    x.parts.printLine = [&](const std::string&) { return ++lines == 1 ? -1 : 0; };
    EXPECT_EQ(Output(list, kOutputPrint, x.parts, x.s.messages), -1);
    EXPECT_EQ(lines, 1);
}

TEST(HistoryExport, PrintHeaders) {
    EXPECT_EQ(historyPrintHeader(),
              mz("\r\n####################        WYDRUK HISTORII ZDARZEŃ       ####################\r\n"));
    HistFilter f;
    f.from = localStamp(2026, 11, 1, 8, 30);
    f.to = localStamp(2026, 11, 30);
    f.subscriber = 1234;
    ReducedPrintSubscriber who;
    who.found = true;
    who.name = "Sklep";
    who.town = "Radom";
    who.address = "Polna 1";
    EXPECT_EQ(reducedPrintHeader(f, who, moment(12, 1, 10, 0)),
              mz("\r\nWydruk historii zdarzeń od 01.11.2026 08:30 do 30.11.2026\r\nDla abonenta: Sklep"
                 "\r\n              Radom Polna 1\r\nZ dnia: 01.12.2026\r\n\r\n"));
    who.found = false;
    f.from = f.to = 0;
    EXPECT_EQ(reducedPrintHeader(f, who, moment(12, 1, 10, 0)),
              mz("\r\nWydruk historii zdarzeń\r\nDla abonenta: 1234\r\nZ dnia: 01.12.2026\r\n\r\n"));
}

TEST(ParseDate, DatesAndTimes) {
    test::HistoryStation s;
    const std::string t1925 = "19:25", bad = "24:00";
    struct Case {
        const char* date;
        const std::string* time;
        Stamp expected;
    };
    const Case cases[] = {
        {"2000.02.29", nullptr, localStamp(2000, 2, 29)},
        {"2100.02.29", nullptr, -1},
        {"2003.02.29", nullptr, -1},
        {"1994.12.31", nullptr, -1},
        {"2003.04.31", nullptr, -1},
        {"2003.13.01", nullptr, -1},
        {"2003.05.10", &t1925, localStamp(2003, 5, 10, 19, 25)},
        {"2003.05.10", &bad, -1},
        {"10.05.2003", nullptr, -1},
    };
    for (const Case& c : cases) EXPECT_EQ(ParseDate(c.date, c.time, s.messages), c.expected) << c.date;
    EXPECT_TRUE(test::contains(s.boxText(0), "Podano niewłaściwą datę. Poprawny format to np. 1995.10.25"));
}

} // namespace
} // namespace k4
