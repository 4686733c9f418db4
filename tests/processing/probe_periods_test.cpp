// The periods between probes: their minimums, the history of a change and
// the path types that take them.
#include "processing/probe_periods.h"

#include "baselink/path_types.h"
#include "config/config.h"
#include "processing_station.h"

#include <gtest/gtest.h>

namespace k4 {
namespace {

TEST(ProbePeriods, MinimumsOfEachValue) {
    EXPECT_EQ(periodBelowMinimum({1, 1, 5, 2, 5, 2, 1, 1}), -1);
    EXPECT_EQ(periodBelowMinimum({1, 1, 4, 2, 5, 2, 1, 1}), 2);
    EXPECT_STREQ(periodMinimumText(2), "Minimalny okres wynosi 5 sek.");
    EXPECT_EQ(periodBelowMinimum({1, 1, 5, 1, 5, 2, 1, 1}), 3);
    EXPECT_STREQ(periodMinimumText(3), "Minimalny okres wynosi 2 sek.");
    EXPECT_EQ(periodBelowMinimum({1, 1, 5, 2, 5, 2, 1, 0}), 7);
    EXPECT_STREQ(periodMinimumText(7), "Minimalny okres wynosi 1 min.");
}

TEST(ProbePeriods, AChangeIsLoggedAppliedAndSaved) {
    test::ProcessingStation st;
    st.dir.write("conf", std::string(kConfigSize, '\0')); // "conf" comes with the installation
    Config config{st.data};
    config.block().periods.tk = 3;
    config.block().periods.tkr = 2;
    config.block().periods.tr = 10;
    config.block().periods.trr = 5;
    config.block().periods.ts = 10;
    config.block().periods.tsr = 5;
    config.block().periods.tg = 3;
    config.block().periods.tgr = 2;
    PathTypeTable types;
    ASSERT_EQ(storeProbePeriods(config, types, st.history, {3, 2, 20, 5, 10, 4, 3, 2}, true), 0);
    EXPECT_EQ(types[kPathRadio].probePeriod, 20);
    EXPECT_EQ(types[kPathFixed].probeRetry, 4);
    EXPECT_EQ(types[kPathDialUp].probePeriod, 180);
    EXPECT_TRUE(types[kPathRadio].irregular);
    const auto entries = st.entries();
    ASSERT_EQ(entries.size(), 2u);
    EXPECT_EQ(entries[0].kindCode(), 18);
    EXPECT_EQ(entries[0].subscriber, 10);
    EXPECT_EQ(entries[0].sector & 0x0FFF, 20);
    EXPECT_EQ(entries[0].kind >> 12, kPathRadio);
    EXPECT_EQ(entries[1].kindCode(), 19);
    EXPECT_EQ(entries[1].kind >> 12, kPathFixed);
    Config again{st.data};
    ASSERT_EQ(again.LoadConfig(1), 0);
    EXPECT_EQ(again.block().periods.tr, 20);
}

} // namespace
} // namespace k4
