#include "shell/data_layer.h"

#include "baselink/path_types.h"
#include "database/database_files.h"
#include "database/order_names_table.h"
#include "database/service_steps.h"
#include "database/subscriber_indexes.h"
#include "history/history_log.h"
#include "history/history_log_sink.h"
#include "history/history_reader.h"
#include "admin/admin_commands.h"
#include "admin/installation.h"
#include "platform/file.h"
#include "processing/event_table.h"
#include "processing/scheduler.h"
#include "support/manual_clock.h"
#include "support/scripted_operator_ui.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <sstream>

namespace k4 {
namespace {

const char* const kDatabaseFiles[] = {"dane",   "osoby", "linie",  "sektory", "alarmy",  "opis",   "uzbroj",
                                      "orders", "numer", "nazwa", "miejsc",  "adres",   "telefon", "indeks"};

class FakeSerial final : public SerialStartStep {
public:
    int openResult = 0;
    int closed = 0;
    int openSerialPorts(ConfigBlock&) override { return openResult; }
    void closeSerialPorts(const ConfigBlock&) override { ++closed; }
    void setLinkDelays(int, int) override {}
};

class UnexpectedIndexFailure final : public IndexFailure {
public:
    void indexFailed(const std::string& message, const std::string& path, int64_t offset) override {
        ADD_FAILURE() << message << " " << path << " " << offset;
    }
};

// The pieces a station owns, built over one directory, as the station builds
// them; each start and stop of a test is one run of the station.
// The hydro step in its place: loaded after the tables, saved before the
// end of work.
class CountingHydroUnits final : public HydroUnitStore {
public:
    int loads = 0, saves = 0;
    void loadHydroUnits() override { ++loads; }
    void saveHydroUnits() override { ++saves; }
};

struct StationRun {
    explicit StationRun(const std::string& path)
        : dir(path),
          messages(ui),
          config(dir),
          history(dir, messages, clock, suspended),
          sink(history),
          scheduler(dir, clock, messages, history),
          files(dir, messages, sink),
          indexes(dir, cache, indexFailure, messages),
          orderNames(dir, messages) {}

    DataLayerParts parts() {
        return {config, serial, pathTypes, history, scheduler, files, indexes, events, orderNames, hydro, steps,
                messages};
    }
    int start() {
        DataLayerParts p = parts();
        return StartDataLayer(p);
    }
    int stop() {
        DataLayerParts p = parts();
        return StopDataLayer(p);
    }
    std::vector<std::string> shown() const {
        std::vector<std::string> texts;
        for (const auto& box : ui.boxes) texts.push_back(box.text);
        return texts;
    }

    DataDir dir;
    test::ScriptedOperatorUi ui;
    test::ManualClock clock;
    bool suspended = false;
    Messages messages;
    Config config;
    FakeSerial serial;
    PathTypeTable pathTypes;
    HistoryLog history;
    HistoryLogSink sink;
    Scheduler scheduler;
    DatabaseFiles files;
    IndexPageCache cache;
    UnexpectedIndexFailure indexFailure;
    SubscriberIndexes indexes;
    EventTable events;
    OrderNamesTable orderNames;
    CountingHydroUnits hydro;
    ServiceSteps steps;
};

struct DataLayerTest : ::testing::Test {
    test::TempDir dir;
    void SetUp() override {
        std::string error;
        ASSERT_TRUE(admin::writeFreshInstallation(dir.path(), true, error)) << error;
    }
    std::vector<int> historyKinds() const {
        std::vector<int> kinds;
        readHistoryFile(dir.file("logf"), [&](const HistoryEntry& e) {
            kinds.push_back(e.kindCode());
            return true;
        });
        return kinds;
    }
};

TEST_F(DataLayerTest, FirstStartCreatesTheWholeDatabaseAndStopClosesEverything) {
    StationRun run(dir.path());
    ASSERT_EQ(run.start(), 0);
    EXPECT_TRUE(run.shown().empty());
    for (const char* name : kDatabaseFiles) EXPECT_TRUE(fileExists(dir.file(name))) << name;
    // Kept open for the run: "dane", "alarmy", "uzbroj"; "numer" and "telefon".
    EXPECT_TRUE(run.files.file(DbFile::Dane).isOpen());
    EXPECT_FALSE(run.files.file(DbFile::Linie).isOpen());
    EXPECT_TRUE(run.indexes.handle(kIndexNumber).isOpen());
    EXPECT_FALSE(run.indexes.handle(kIndexName).isOpen());
    EXPECT_TRUE(run.events.available());
    EXPECT_TRUE(run.steps.loaded());
    EXPECT_EQ(run.hydro.loads, 1);

    const std::string conf = dir.read("conf");
    ASSERT_EQ(run.stop(), 0);
    EXPECT_EQ(dir.read("conf"), conf);
    EXPECT_FALSE(run.files.file(DbFile::Dane).isOpen());
    EXPECT_FALSE(run.indexes.handle(kIndexNumber).isOpen());
    EXPECT_FALSE(run.history.isOpen());
    EXPECT_EQ(run.serial.closed, 1);
    EXPECT_EQ(run.hydro.saves, 1);
    EXPECT_EQ(historyKinds(), std::vector<int>{2});
}

TEST_F(DataLayerTest, AHalfSetIsRefusedOnceAndTheMissingFileMadeForTheNextStart) {
    {
        StationRun first(dir.path());
        ASSERT_EQ(first.start(), 0);
        first.stop();
    }
    struct Case {
        const char* removed;
        std::string shown;
    };
    const Case cases[] = {
        // The error prefix starts with the blank of its marker byte, and
        // the operation with the blank of its own, as every error text.
        {"linie", " Błąd  otwarcia bazy linie"},
        {"orders", " Błąd  otwarcia bazy orders"},
        {"miejsc", " Błąd  otwarcia indeksu"},
        // "dane" made anew beside the others: "dane" is the one named.
        {"dane", " Błąd  otwarcia bazy dane"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.removed);
        std::filesystem::remove(dir.file(c.removed));
        StationRun refused(dir.path());
        EXPECT_EQ(refused.start(), -1);
        ASSERT_EQ(refused.ui.boxes.size(), 2u);
        EXPECT_EQ(refused.ui.boxes[0].text, c.shown);
        EXPECT_EQ(refused.ui.boxes[1].text, "\n\nBlad otwarcia bazy danych\n");
        EXPECT_TRUE(fileExists(dir.file(c.removed)));

        StationRun next(dir.path());
        EXPECT_EQ(next.start(), 0);
        EXPECT_TRUE(next.shown().empty());
        next.stop();
    }
}

TEST_F(DataLayerTest, ADatabaseThatDisagreesWithItsIndexStartsWithAWarning) {
    dir.write("in.csv", "number,name\n1,Pierwszy\n2,Drugi\n3,Trzeci\n");
    {
        std::istringstream in;
        std::ostringstream out, err;
        ASSERT_EQ(admin::runAdmin({"subscribers", "import", dir.file("in.csv"), dir.path()}, in, out, err), 0)
            << err.str();
    }
    const std::string dane = dir.read("dane");
    struct Case {
        const char* what;
        std::string bytes;
        const char* counts;
    };
    const Case cases[] = {
        {"made anew, empty", dane.substr(0, 32), "abonentów w indeksie: 3, rekordów w użyciu: 0, kluczy poza plikiem: 3"},
        {"cut after the first record", dane.substr(0, 32 + 1575),
         "abonentów w indeksie: 3, rekordów w użyciu: 1, kluczy poza plikiem: 2"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        dir.write("dane", c.bytes);
        StationRun run(dir.path());
        EXPECT_EQ(run.start(), 0) << "the station still starts";
        ASSERT_EQ(run.ui.boxes.size(), 1u);
        const std::string& text = run.ui.boxes[0].text;
        EXPECT_NE(text.find(c.counts), std::string::npos) << text;
        EXPECT_NE(text.find("kestrel4-admin db check"), std::string::npos) << text;
        run.stop();
    }
    dir.write("dane", dane);
    StationRun whole(dir.path());
    EXPECT_EQ(whole.start(), 0);
    EXPECT_TRUE(whole.shown().empty()) << "a database that agrees starts without a word";
    whole.stop();
}

TEST_F(DataLayerTest, EachFailingStepSaysWhatFailed) {
    struct Case {
        const char* what;
        std::function<void(test::TempDir&, StationRun&)> spoil;
        std::string shown;
        int result;
    };
    // The ports have a result of their own: the window then offers the
    // configuration before the station ends.
    const Case cases[] = {
        {"no conf", [](test::TempDir& d, StationRun&) { std::filesystem::remove(d.file("conf")); },
         "\n\nNiepoprawna inicjalizacja programu\n", kDataLayerFailed},
        {"a port", [](test::TempDir&, StationRun& r) { r.serial.openResult = -1; }, "Błąd konfiguracji RS",
         kDataLayerPortsFailed},
        {"events", [](test::TempDir& d, StationRun&) { d.write("zdarzen", "nic"); },
         "\n\nBlad otwarcia zdarzen lub rozkazow\n", kDataLayerFailed},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        SetUp();
        StationRun run(dir.path());
        c.spoil(dir, run);
        EXPECT_EQ(run.start(), c.result);
        ASSERT_FALSE(run.ui.boxes.empty());
        EXPECT_EQ(run.ui.boxes.back().text, c.shown);
        run.stop();
    }
}

TEST_F(DataLayerTest, UnusableServiceStepsStopEverythingAgain) {
    for (const char* codePage : {"3", "0"}) {
        SCOPED_TRACE(codePage);
        std::filesystem::remove(dir.file("logf"));
        dir.write("obsluga.txt", std::string(codePage) + "\r\na\r\nb\r\nc\r\nd\r\ne\r\nf\r\ng\r\nh\r\n");
        StationRun run(dir.path());
        EXPECT_EQ(run.start(), -1);
        EXPECT_EQ(run.shown(), std::vector<std::string>{"\n\nBlad wczytania pliku obsluga.txt\n"});
        EXPECT_FALSE(run.files.file(DbFile::Dane).isOpen());
        EXPECT_FALSE(run.indexes.handle(kIndexNumber).isOpen());
        EXPECT_FALSE(run.history.isOpen());
        EXPECT_EQ(historyKinds(), std::vector<int>{2});
    }
}

} // namespace
} // namespace k4
