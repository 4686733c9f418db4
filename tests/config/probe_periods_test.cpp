#include "config/probe_periods.h"

#include "baselink/path_types.h"
#include "config/config.h"
#include "history/history_reader.h"
#include "support/history_rig.h"

#include <gtest/gtest.h>

#include <cstddef>
#include <cstring>
#include <tuple>

namespace k4 {
namespace {

TEST(ProbePeriods, LimitsOfTheFields) {
    const std::tuple<int, int, const char*> cases[] = {
        {0, 0, "Minimalny okres wynosi 1 min."}, {0, 1, ""},  {1, 0, "Minimalny okres wynosi 1 min."},
        {2, 4, "Minimalny okres wynosi 5 sek."}, {2, 5, ""},  {3, 1, "Minimalny okres wynosi 2 sek."},
        {4, 4, "Minimalny okres wynosi 5 sek."}, {5, 2, ""},  {6, 0, ""}, {7, 0, ""}, {8, 0, ""},
    };
    for (const auto& [field, value, refusal] : cases)
        EXPECT_EQ(probePeriodRefusal(field, value), refusal) << probePeriodLabel(field) << " " << value;
}

struct Periods : test::HistoryRig, testing::Test {
    PathTypeTable pathTypes;
    Config config{DataDir(dir.path())};
    void SetUp() override {
        ConfigBlock b{};
        b.periods = {4, 2, 12, 6, 11, 7, 5, 3};
        dir.write("conf", {reinterpret_cast<const char*>(&b), sizeof b});
        ASSERT_EQ(config.LoadConfig(1), 0);
        ASSERT_GE(history.OpenHistory("logf"), 0);
    }
};

TEST_F(Periods, SavingWritesTheBlockThePathsAndTheHistory) {
    ProbePeriodValues v = openProbePeriods(config, pathTypes, messages);
    EXPECT_EQ(v, (ProbePeriodValues{4, 2, 12, 6, 11, 7, 5, 3, 0}));
    v[2] = 20; // radio period
    v[7] = 9;  // GSM repeat
    v[8] = 1;
    saveProbePeriods(v, config, pathTypes, history, messages);
    const std::string conf = dir.read("conf");
    EXPECT_EQ(uint8_t(conf[39]), 20);
    EXPECT_EQ(uint8_t(conf[49]), 9);
    EXPECT_EQ(uint8_t(conf[51]), 1);
    EXPECT_EQ(pathTypes[kPathRadio].probePeriod, 20);
    std::vector<std::tuple<int, int, int, int>> entries;
    readHistoryFile(dir.file("logf"), [&](const HistoryEntry& e) {
        const int extra = ((e.kind >> 12) << 4) | (e.code2 >> 12);
        entries.emplace_back(e.kindCode(), int(e.subscriber), e.sector & 0x0FFF, extra);
        return true;
    });
    const std::vector<std::tuple<int, int, int, int>> expected = {{18, 12, 20, 17}, {19, 3, 9, 81}};
    EXPECT_EQ(entries, expected);
    EXPECT_TRUE(ui.boxes.empty());
}

TEST_F(Periods, ABlockWithoutPeriodsTakesThoseOfThePaths) {
    config.block().periods = {};
    pathTypes.applyConfigPeriods({6, 3, 30, 10, 40, 12, 7, 4}, false);
    const ProbePeriodValues v = openProbePeriods(config, pathTypes, messages);
    EXPECT_EQ(v[0], 6);
    EXPECT_EQ(v[2], 30);
    EXPECT_EQ(uint8_t(dir.read("conf")[35]), 6);
}

} // namespace
} // namespace k4
