// The nightly dump with time in the test's hand: it runs at 00:30, into the
// directory of the weekday, with the month's history so far; on the first of
// a month the finished month gets its directory once; a night that fails is
// tried again the next night.
#include "maintenance/auto_dump.h"

#include "config/config.h"
#include "maintenance/auto_save_settings.h"

#include "database/stamp.h"
#include "history/history_reader.h"
#include "maintenance_fixture.h"
#include "processing/scheduler.h"
#include "support/manual_clock.h"

#include <cstring>
#include <ctime>
#include <set>

namespace k4 {
namespace {

namespace fs = std::filesystem;

int64_t localUnix(int year, int month, int day, int hour, int minute) {
    std::tm t {};
    t.tm_year = year - 1900;
    t.tm_mon = month - 1;
    t.tm_mday = day;
    t.tm_hour = hour;
    t.tm_min = minute;
    t.tm_isdst = -1;
    return static_cast<int64_t>(std::mktime(&t));
}

struct DumpRig : test::BackupRig {
    test::ManualClock clock{localUnix(2026, 1, 29, 12, 0)}; // a Thursday
    HistoryLog log{DataDir(data.path()), messages, clock, suspended};
    Scheduler scheduler{DataDir(data.path()), clock, messages, log};
    ConfigBlock config{};
    AutoDump dump{config, clock, messages, scheduler, log, backup};

    DumpRig() {
        std::strcpy(config.autosave_dir, "zrzut");
        fs::remove(data.file("logf")); // a history of its own
        EXPECT_EQ(log.OpenHistory("logf"), kHistoryCurrent);
        dump.install();
    }
    std::string dumpDir(const std::string& name) const { return data.file("zrzut/" + name); }
    // Time passes to the next due entry, which runs.
    void nextNight() {
        ASSERT_EQ(scheduler.count(), 1);
        clock.advanceMs(scheduler.headRemainingMs() + 1000);
        scheduler.poll();
    }
    std::set<std::string> dumpDirs() const {
        std::set<std::string> names;
        std::error_code ec;
        for (const auto& e : fs::directory_iterator(data.file("zrzut"), ec)) names.insert(e.path().filename());
        return names;
    }
};

std::vector<LocalDateTime> entryTimes(const std::string& path) {
    std::vector<LocalDateTime> times;
    readHistoryFile(path, [&](const HistoryEntry& e) {
        times.push_back(LocalFromStamp(e.time));
        return true;
    });
    return times;
}

TEST(AutoDump, TheNightlyDumpFillsTheWeekdaysAndSavesTheFinishedMonthOnce) {
    DumpRig rig;
    rig.log.LogEvent(1); // January
    ASSERT_EQ(rig.dump.run(true, false), 0) << rig.shown();
    ASSERT_EQ(rig.scheduler.count(), 1);
    EXPECT_EQ(rig.scheduler.entry(0).type(), kSchedSaveBase);
    EXPECT_EQ(rig.scheduler.headRemainingMs() / 1000, localUnix(2026, 1, 30, 0, 30) - rig.clock.unixTime());

    struct Night {
        int day;           // of February, or of January when above 28
        const char* weekday;
    };
    const std::vector<Night> nights = {{30, "Pia"}, {31, "Sob"}, {1, "Nie"}, {2, "Pon"},
                                       {3, "Wto"},  {4, "Sro"},  {5, "Czw"}};
    std::string daneOnTheFirst;
    for (const Night& n : nights) {
        rig.nextNight();
        const LocalDateTime now = localNow(rig.clock);
        EXPECT_EQ(now.day, n.day);
        EXPECT_EQ(now.hour, 0);
        EXPECT_EQ(now.minute, 30);
        const std::string dir = rig.dumpDir(n.weekday);
        EXPECT_EQ(test::readFile(dir + "/dane"), test::readFile(rig.data.file("dane"))) << n.weekday;
        ASSERT_TRUE(fs::exists(dir + "/logf")) << n.weekday;
        for (const LocalDateTime& t : entryTimes(dir + "/logf")) EXPECT_EQ(t.month, now.month) << n.weekday;
        if (n.day == 1) daneOnTheFirst = test::readFile(rig.data.file("dane"));
        // The database and the history go on between the nights.
        test::writeFile(rig.data.file("dane"), "dane after " + std::string(n.weekday));
        rig.log.LogEvent(1);
    }
    EXPECT_EQ(rig.dumpDirs(), (std::set<std::string>{"2026_01", "Czw", "Nie", "Pia", "Pon", "Sob", "Sro", "Wto"}));
    EXPECT_EQ(test::readFile(rig.dumpDir("2026_01/dane")), daneOnTheFirst) << "made once, on the first";
    const auto january = entryTimes(rig.dumpDir("2026_01/26_01.log"));
    EXPECT_EQ(january.size(), 3u) << "the entries of the 29th, 30th and 31st";
    for (const LocalDateTime& t : january) EXPECT_EQ(t.month, 1);
    EXPECT_EQ(entryTimes(rig.dumpDir("Czw/logf")).size(), 4u) << "February's entries up to the 5th";

    // Weeks later, the first of March saves February.
    const int64_t remaining = rig.scheduler.headRemainingMs();
    rig.clock.setUnixTime(localUnix(2026, 3, 1, 0, 30) - remaining / 1000);
    rig.clock.advanceMs(remaining + 1000);
    rig.scheduler.poll();
    EXPECT_TRUE(fs::exists(rig.dumpDir("2026_02/dane")));
    EXPECT_FALSE(fs::exists(rig.dumpDir("2026_02.nowy")));
    EXPECT_EQ(entryTimes(rig.dumpDir("2026_02/26_02.log")).size(), 5u);
    EXPECT_EQ(test::readFile(rig.dumpDir("2026_01/dane")), daneOnTheFirst) << "January is left alone";
    EXPECT_EQ(test::readFile(rig.dumpDir("Nie/dane")), test::readFile(rig.data.file("dane"))) << "1 March 2026 is a Sunday";
    EXPECT_EQ(rig.scheduler.count(), 1) << "and the next night is booked";
}

TEST(AutoDump, ANightThatFailsIsTriedAgainTheNextNight) {
    DumpRig rig;
    ASSERT_EQ(rig.dump.run(true, false), 0);
    fs::create_directories(rig.data.file("zrzut"));
    test::writeFile(rig.dumpDir("Pia"), "a file where the directory should be");
    rig.nextNight();
    EXPECT_NE(rig.shown().find("Błąd zapisu bazy"), std::string::npos) << rig.shown();
    EXPECT_EQ(rig.scheduler.count(), 1);
    fs::remove(rig.dumpDir("Pia"));
    rig.nextNight();
    EXPECT_TRUE(fs::exists(rig.dumpDir("Sob/dane")));
}

TEST(AutoDump, SchedulingChecksTheDirectoryAndDisablingCancels) {
    struct Case {
        const char* what;
        const char* dir; // "" for none
        bool disabling;
        int result;
        int queued;
        bool told;
    };
    const std::vector<Case> cases = {
        {"a usable directory", "zrzut", false, 0, 1, false},
        {"no directory set", "", false, -1, 0, true},
        {"a directory under a file", "conf/zrzut", false, -1, 0, true},
        {"the data directory itself", ".", false, -1, 0, true},
        {"switched off", "zrzut", true, 0, 0, false},
    };
    for (const Case& c : cases) {
        DumpRig rig;
        ASSERT_EQ(rig.dump.run(true, false), 0); // an earlier setting, pending
        rig.ui.boxes.clear();
        std::memset(rig.config.autosave_dir, 0, sizeof rig.config.autosave_dir);
        std::strcpy(rig.config.autosave_dir, c.dir);
        EXPECT_EQ(rig.dump.run(true, c.disabling), c.result) << c.what;
        EXPECT_EQ(rig.scheduler.count(), c.queued) << c.what;
        EXPECT_EQ(rig.shown() == "Zatrzymanie autozapisu - zły katalog|", c.told) << c.what << ": " << rig.shown();
    }
}

TEST(AutoSaveSettings, TheSwitchAndTheDirectoryAreStoredAndTheNightBookedOrCancelled) {
    struct Case {
        const char* what;
        bool wasOn;
        const char* storedDir;
        bool enabled;
        bool changeDirectory;
        std::optional<std::string> answer; // the directory prompt's answer
        int result;
        bool onAfter;
        const char* dirAfter;
        int queued;
    };
    const std::vector<Case> cases = {
        {"switched on, directory there", false, "zrzut", true, false, std::nullopt, 0, true, "zrzut", 1},
        {"switched on, no directory yet", false, "", true, false, std::string("/nowy"), 0, true, "/nowy", 1},
        {"a new directory, cancelled", true, "zrzut", true, true, std::nullopt, 1, true, "zrzut", 1},
        {"switched off", true, "zrzut", false, false, std::nullopt, 0, false, "zrzut", 0},
    };
    for (const Case& c : cases) {
        DumpRig rig;
        fs::create_directories(rig.data.file("zrzut"));
        Config config{DataDir(rig.data.path())};
        std::strcpy(config.block().autosave_dir, c.storedDir);
        config.block().autosave_flags = c.wasOn ? 1 : 0;
        ASSERT_EQ(config.SaveConfig(1), 0);
        AutoDump dump(config.block(), rig.clock, rig.messages, rig.scheduler, rig.log, rig.backup);
        if (c.wasOn) ASSERT_EQ(dump.run(true, false), 0);
        std::string answered;
        if (c.answer) {
            answered = *c.answer == "/nowy" ? rig.elsewhere.file("nowy") : *c.answer;
            rig.ui.directoryAnswers.push_back(answered);
        } else if (c.changeDirectory) {
            rig.ui.directoryAnswers.push_back(std::nullopt);
        }
        EXPECT_EQ(applyAutoSaveSettings(config, dump, rig.messages, c.enabled, c.changeDirectory), c.result) << c.what;
        Config reread{DataDir(rig.data.path())};
        ASSERT_EQ(reread.LoadConfig(1), 0);
        EXPECT_EQ((reread.block().autosave_flags & 1) != 0, c.onAfter) << c.what;
        const std::string dirAfter = std::string(c.dirAfter) == "/nowy" ? answered : c.dirAfter;
        EXPECT_STREQ(reread.block().autosave_dir, dirAfter.c_str()) << c.what;
        EXPECT_EQ(rig.scheduler.count(), c.queued) << c.what;
        EXPECT_TRUE(rig.ui.directoryAnswers.empty()) << c.what << ": the directory was asked";
    }
}

TEST(AutoDump, DayNamesArePlainAscii) {
    const char* const expected[7] = {"Nie", "Pon", "Wto", "Sro", "Czw", "Pia", "Sob"};
    for (int d = 0; d < 7; ++d) EXPECT_STREQ(dumpDayName(d), expected[d]);
    EXPECT_EQ(dumpMonthName(2026, 1), "2026_01");
}

} // namespace
} // namespace k4
