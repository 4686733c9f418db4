#include "shell/station_links.h"

#include "history/history_log.h"
#include "history/history_reader.h"
#include "support/manual_clock.h"
#include "support/scripted_operator_ui.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

namespace k4 {
namespace {

TEST(FatalIndexFailure, TellsWhereClosesWhatIsOpenThenEndsOnce) {
    test::ScriptedOperatorUi ui;
    Messages messages(ui);
    std::vector<std::string> steps;
    FatalIndexFailure* self = nullptr;
    FatalIndexFailure failure(
        messages,
        [&] {
            steps.push_back("close");
            // Closing may meet the broken index again: no second box, no recursion.
            self->indexFailed("Blad zapisu", "/data/nazwa", 2054);
        },
        [&](int status) { steps.push_back("exit " + std::to_string(status)); });
    self = &failure;

    testing::internal::CaptureStderr();
    failure.indexFailed("Blad odczytu pliku", "/data/numer", 0x40A);
    const std::string err = testing::internal::GetCapturedStderr();

    EXPECT_EQ(steps, (std::vector<std::string>{"close", "exit 1"}));
    EXPECT_EQ(err, "/data/numer: Blad odczytu pliku\nNumer rekordu 40a\n");
    ASSERT_EQ(ui.boxes.size(), 1u);
    EXPECT_EQ(ui.boxes[0].text, "Blad odczytu pliku /data/numer, rekord 40a.\nProgram zostanie zamknięty.");
}

TEST(HistoryPreparedEntries, WritesTheLinksFourteenBytesUnderItsKind) {
    test::TempDir dir;
    test::ScriptedOperatorUi ui;
    Messages messages(ui);
    test::ManualClock clock;
    bool suspended = false;
    HistoryLog history(DataDir(dir.path()), messages, clock, suspended);
    ASSERT_EQ(history.OpenHistory("logf"), kHistoryCurrent);

    PreparedEntry prepared{};
    for (size_t i = 4; i < prepared.size(); ++i) prepared[i] = static_cast<uint8_t>(i);
    HistoryPreparedEntries log(history);
    ASSERT_EQ(log.logPreparedEntry(kHistoryClockSkew, prepared), 0);
    history.CloseHistory();

    std::vector<HistoryEntry> entries;
    readHistoryFile(dir.file("logf"), [&](const HistoryEntry& e) {
        entries.push_back(e);
        return true;
    });
    ASSERT_EQ(entries.size(), 1u);
    EXPECT_EQ(entries[0].kindCode(), kHistoryClockSkew);
    EXPECT_EQ(entries[0].subscriber, 0x0605);
    EXPECT_EQ(entries[0].sector, 0x0908);
}

} // namespace
} // namespace k4
