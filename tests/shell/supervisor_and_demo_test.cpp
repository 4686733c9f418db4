#include "shell/demo_reports.h"
#include "shell/lock_notices.h"
#include "shell/supervisor_mode.h"

#include "history/history_log.h"
#include "support/history_rig.h"
#include "support/manual_clock.h"
#include "support/scripted_operator_ui.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>

#include <filesystem>

#include <sys/mount.h>
#include <unistd.h>

#include <QString>
#include <QSysInfo>

#include <cstring>
#include <sys/stat.h>

namespace k4 {
namespace {

bool exists(const std::string& path) {
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0;
}

class Supervisor : public ::testing::Test, protected test::HistoryRig {
protected:
    bool passwordRight = true;
    int prompts = 0;
    SupervisorMode mode{DataDir(dir.path()), messages, history, [this] {
                            ++prompts;
                            return passwordRight;
                        }};

    void SetUp() override { ASSERT_GE(history.OpenHistory("logf"), 0); }
    std::vector<int> kinds() const {
        const std::string bytes = dir.read("logf");
        std::vector<int> out;
        for (size_t at = kHistoryHeaderSize; at + kHistoryEntrySize <= bytes.size(); at += kHistoryEntrySize) {
            HistoryEntry e;
            std::memcpy(&e, bytes.data() + at, sizeof e);
            out.push_back(e.kindCode());
        }
        return out;
    }
    std::vector<int> values() const {
        const std::string bytes = dir.read("logf");
        std::vector<int> out;
        for (size_t at = kHistoryHeaderSize; at + kHistoryEntrySize <= bytes.size(); at += kHistoryEntrySize) {
            HistoryEntry e;
            std::memcpy(&e, bytes.data() + at, sizeof e);
            out.push_back(e.subscriber);
        }
        return out;
    }
};

TEST_F(Supervisor, EnteringMakesLocEditAndLeavingRemovesIt) {
    ASSERT_TRUE(mode.enter());
    EXPECT_TRUE(exists(dir.file("loc_edit")));
    mode.leave();
    EXPECT_FALSE(exists(dir.file("loc_edit")));
    EXPECT_EQ(kinds(), (std::vector<int>{kHistorySupervisorOn, kHistorySupervisorOff}));
    EXPECT_EQ(values(), (std::vector<int>{-1, -1})) << "both entries carry -1";
    EXPECT_TRUE(ui.boxes.empty());
}

TEST_F(Supervisor, TheEndOfTheRunRemovesLocEditWithoutAnEntry) {
    ASSERT_TRUE(mode.enter());
    mode.endWithTheRun();
    EXPECT_FALSE(exists(dir.file("loc_edit")));
    EXPECT_FALSE(mode.on());
    EXPECT_EQ(kinds(), std::vector<int>{kHistorySupervisorOn});
}

TEST_F(Supervisor, RemoteEditingOrAWrongPasswordKeepsTheModeOff) {
    passwordRight = false;
    EXPECT_FALSE(mode.enter());
    EXPECT_EQ(prompts, 1);
    EXPECT_TRUE(ui.boxes.empty());

    dir.write("ext_edit", "");
    passwordRight = true;
    EXPECT_FALSE(mode.enter());
    EXPECT_EQ(prompts, 1) << "no password is asked while the base is edited remotely";
    ASSERT_EQ(ui.boxes.size(), 1u);
    EXPECT_EQ(ui.boxes[0].text, " Baza jest edytowana zdalnie");
    EXPECT_FALSE(exists(dir.file("loc_edit")));
    EXPECT_TRUE(kinds().empty());
}

TEST_F(Supervisor, WithoutAPasswordPromptTheModeIsNeverEntered) {
    SupervisorMode unprompted(DataDir(dir.path()), messages, history, nullptr);
    EXPECT_FALSE(unprompted.enter());
    EXPECT_FALSE(exists(dir.file("loc_edit")));
}

struct RecordingProcessor final : ReportProcessor {
    std::vector<Report> reports;
    int firstResult = 0;
    int processReport(const Report& r) override {
        reports.push_back(r);
        return reports.size() == 1 ? firstResult : 0;
    }
};

TEST(DemoReports, FourReportsInOrderAllMarkedDemonstration) {
    ConfigBlock config{};
    config.special_codes[1] = 0x611;
    config.special_codes[9] = 0x619;
    struct Case {
        int firstResult;
        std::vector<std::array<int, 6>> expected; // subscriber, subsystem, code, sector, path, flags
    };
    const Case cases[] = {
        {17,
         {{1444, 255, 0x611, 4095, 1, 2}, {17, 255, 0x619, 4095, -1, 2}, {1202, 1, 2, 3, -1, 2},
          {5002, 11, 0x130, 42, -1, 2}, {1009, 1, 3, 3, 1, 2}}},
        {-1,
         {{1444, 255, 0x611, 4095, 1, 2}, {-1, 255, 0x619, 4095, -1, 3}, {1202, 1, 2, 3, -1, 2},
          {5002, 11, 0x130, 42, -1, 2}, {1009, 1, 3, 3, 1, 2}}},
        {-2, {{1444, 255, 0x611, 4095, 1, 2}, {1202, 1, 2, 3, -1, 2}, {5002, 11, 0x130, 42, -1, 2}, {1009, 1, 3, 3, 1, 2}}},
    };
    for (const Case& c : cases) {
        RecordingProcessor processor;
        processor.firstResult = c.firstResult;
        runDemonstrationReports(processor, config);
        std::vector<std::array<int, 6>> seen;
        for (const Report& r : processor.reports)
            seen.push_back({r.subscriber, r.subsystem, r.code, r.sector, r.path, r.flags});
        EXPECT_EQ(seen, c.expected) << "first result " << c.firstResult;
    }
}

TEST(SingleInstance, SecondCopyIsRefusedUntilTheFirstEnds) {
    test::TempDir dir;
    const std::string lock = dir.file("Kestrel4.lock");
    {
        SingleInstance first(lock);
        ASSERT_TRUE(first.acquire());
        SingleInstance second(lock);
        EXPECT_FALSE(second.acquire());

        test::ScriptedOperatorUi ui;
        Messages messages(ui);
        reportAlreadyRunning(messages);
        ASSERT_EQ(ui.boxes.size(), 1u);
        EXPECT_EQ(ui.boxes[0].text, "Program został już uruchomiony!");
    }
    SingleInstance after(lock);
    EXPECT_TRUE(after.acquire()) << "the lock ends with its holder";
}

TEST(SingleInstance, ALockThatCannotBeWrittenIsToldAsSuchNotAsASecondCopy) {
    if (::geteuid() != 0) GTEST_SKIP() << "mounting a small file system needs root";
    test::TempDir dir;
    const std::string mount = dir.file("ro");
    std::filesystem::create_directory(mount);
    if (::mount("tmpfs", mount.c_str(), "tmpfs", MS_RDONLY, "size=64k") != 0) GTEST_SKIP() << "no tmpfs here";
    SingleInstance instance(mount + "/Kestrel4.lock");
    const bool taken = instance.acquire();
    ::umount2(mount.c_str(), MNT_DETACH);
    ASSERT_FALSE(taken);
    test::ScriptedOperatorUi ui;
    Messages messages(ui);
    reportLockRefused(messages, instance);
    ASSERT_EQ(ui.boxes.size(), 1u);
    EXPECT_EQ(ui.boxes[0].text,
              " Błąd  założenia blokady Kestrel4.lock w katalogu danych - system plików tylko do odczytu");
}

TEST(SingleInstance, LockOfACopyThatDiedIsTakenOver) {
    test::TempDir dir;
    // What a killed copy leaves behind: a lock naming a process that is gone.
    dir.write("Kestrel4.lock", "2147480000\nkestrel4\n" + QSysInfo::machineHostName().toStdString() + "\n");
    SingleInstance instance(dir.file("Kestrel4.lock"));
    EXPECT_TRUE(instance.acquire());
}

} // namespace
} // namespace k4
