// Printing against a real CUPS scheduler started by the test, checking the
// bytes that reach the printers' devices.
#include "printing/printing.h"

#include "database/codepage.h"
#include "database/text_edge.h"
#include "support/history_rig.h"
#include "support/private_cups.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

namespace k4 {
namespace {

// The history's own line for an entry is not this test's concern: a line
// that names the entry's subscriber is enough to follow it.
class SubscriberLine final : public EventLineFormatter {
public:
    std::string formatLine(const HistoryEntry& entry) override {
        return mz("Zdarzenie abonenta ") + std::to_string(entry.subscriber.value());
    }
};

struct PrintingCupsTest : ::testing::Test, test::HistoryRig {
    test::PrivateCups cups;
    ConfigBlock config{};
    std::unique_ptr<PrintSpooler> spooler = makeCupsSpooler();
    Printing printing{config, *spooler, messages, DataDir(dir.path())};

    void SetUp() override {
        ASSERT_TRUE(cups.running()) << cups.error();
        // The system lists printers by name: a_events is 1, b_data is 2.
        ASSERT_TRUE(cups.addRawQueue("b_data"));
        ASSERT_TRUE(cups.addRawQueue("a_events"));
        ASSERT_EQ(printing.printerNames(), (std::vector<std::string>{"a_events", "b_data"}));
        config.event_printer = 1;
        config.report_printer = 2;
    }
};

TEST_F(PrintingCupsTest, AnEventLineReachesThePrinterInEachCodePageAsAJobOfItsOwn) {
    const std::string line = mz("ALARM Łódź żółć ĄĘ\r\n");
    std::string expected;
    for (int cp : {kMazovia, kCp852, kIso8859_2, kPlainAscii}) {
        config.event_cp = static_cast<int16_t>(cp);
        EXPECT_EQ(printing.printLine(kEventChannel, "%s", line.c_str()), 0) << cp;
        std::string converted = line;
        ConvertCodePage(converted, cp);
        expected += converted;
        // Each line is its own job: it has arrived before the next is sent.
        EXPECT_EQ(cups.captured("a_events", expected.size()), expected) << cp;
    }
    EXPECT_NE(expected.substr(0, line.size()), expected.substr(line.size(), line.size()))
        << "the pages really differ";
    EXPECT_TRUE(ui.boxes.empty());
}

TEST_F(PrintingCupsTest, EventLinesDuringAListingWaitInTmpPrnAndFollowIt) {
    config.event_cp = kIso8859_2;
    config.report_cp = kCp852;
    ASSERT_EQ(printing.beginDataPrint(), 0);
    printing.printLine(kDataChannel, mz("Lista abonentów %d\r\n").c_str(), 1);
    printing.printLine(kEventChannel, mz("pierwsze zdarzenie ł\r\n").c_str());
    printing.printLine(kDataChannel, "%04d %s\r\n", 17, mz("Łukasz").c_str());
    printing.printLine(kEventChannel, "drugie zdarzenie\r\n");
    EXPECT_TRUE(std::filesystem::exists(printing.deferredPath()));
    std::string tmp;
    {
        std::ifstream in(printing.deferredPath(), std::ios::binary);
        tmp.assign(std::istreambuf_iterator<char>(in), {});
    }
    std::string events = mz("pierwsze zdarzenie ł\r\ndrugie zdarzenie\r\n");
    ConvertCodePage(events, kIso8859_2);
    EXPECT_EQ(tmp, events) << "kept in the event code page, in logging order";
    printing.endDataPrint();

    std::string listing = mz("Lista abonentów 1\r\n0017 Łukasz\r\n");
    ConvertCodePage(listing, kCp852);
    EXPECT_EQ(cups.captured("b_data", listing.size()), listing);
    EXPECT_EQ(cups.captured("a_events", events.size()), events);
    EXPECT_FALSE(std::filesystem::exists(printing.deferredPath()));
    EXPECT_TRUE(ui.boxes.empty());
}

TEST_F(PrintingCupsTest, AStoppedEventPrinterIsToldOnceAndTheHistoryKeepsEveryEntry) {
    SubscriberLine lines;
    EventPrinterSink sink(printing);
    history.setEventPrinting(&lines, &sink);
    ASSERT_GE(history.OpenHistory("logf"), 0);
    const auto before = std::filesystem::file_size(dir.path() + "/logf");
    ASSERT_TRUE(cups.stopQueue("a_events"));

    for (int subscriber : {101, 102}) {
        HistoryEntry entry{};
        entry.subscriber = static_cast<int16_t>(subscriber);
        ASSERT_EQ(history.LogEvent(1, entry), 0);
    }
    ASSERT_EQ(ui.boxes.size(), 1u) << "once per outage, not at every event";
    EXPECT_NE(ui.boxes[0].text.find("Błąd  wydruku (drukarka)"), std::string::npos) << ui.boxes[0].text;
    EXPECT_EQ(cups.pendingJobs("a_events"), 0) << "nothing held unseen in the stopped queue";
    EXPECT_EQ(std::filesystem::file_size(dir.path() + "/logf") - before, 2 * sizeof(HistoryEntry))
        << "both entries are in the history";

    ASSERT_TRUE(cups.startQueue("a_events"));
    HistoryEntry entry{};
    entry.subscriber = 103;
    ASSERT_EQ(history.LogEvent(1, entry), 0);
    const std::string expected = mz("Zdarzenie abonenta 103\r\n");
    EXPECT_EQ(cups.captured("a_events", expected.size()), expected);
}

TEST_F(PrintingCupsTest, AWholePrintoutIsOneListingJobAndAMissingDataPrinterPrintsNothing) {
    config.report_cp = kMazovia;
    const std::string printout = mz("\r\n#### LISTA ZDARZEŃ\r\n130 WŁAMANIE\r\n\r\n");
    ASSERT_EQ(printing.printListing(printout), 0);
    EXPECT_EQ(cups.captured("b_data", printout.size()), printout);
    EXPECT_FALSE(printing.listingOpen());
    config.report_printer = 3; // beyond the system's list
    EXPECT_EQ(printing.printListing(printout), -1);
    EXPECT_TRUE(ui.boxes.empty());
}

TEST_F(PrintingCupsTest, NoEventPrinterPrintsNothingAndMakesNoTmpPrn) {
    config.event_printer = 0;
    ASSERT_EQ(printing.beginDataPrint(), 0);
    EXPECT_EQ(printing.printLine(kEventChannel, "zdarzenie\r\n"), -1);
    EXPECT_FALSE(std::filesystem::exists(printing.deferredPath()));
    printing.endDataPrint();
    EXPECT_EQ(printing.printLine(kDataChannel, "poza wydrukiem\r\n"), 0);
    ASSERT_EQ(ui.boxes.size(), 1u) << ui.boxes.back().text;
    EXPECT_NE(ui.boxes[0].text.find("Błąd  wydruku danych"), std::string::npos) << ui.boxes[0].text;
}

} // namespace
} // namespace k4
