// The rules of the "Testy" dialog's paths and the ten setting bytes.
#include "processing/test_settings_edit.h"

#include <gtest/gtest.h>

namespace k4 {
namespace {

SubscriberRecord connectedTo(uint8_t tracks) {
    SubscriberRecord r{};
    r.tracks = tracks;
    r.test_track1 = r.test_track2 = kNoTestPath;
    r.test_repeat1 = r.test_repeat2 = 1;
    r.test_delay1 = 15;
    r.test_flags = 15 << 4;
    return r;
}

TEST(TestSettingsEdit, TwoPathsAtMostOnePerTestAndOnlyConnectedOnes) {
    SubscriberRecord r = connectedTo(kTrackRadio | kTrackGsm | kTrackDialUp);
    TestSettingsEdit edit(r);
    EXPECT_EQ(edit.typeCaption(), "Typ testu Tor ???");
    EXPECT_EQ(edit.tick(4), TestSettingsEdit::kNotConnected) << "ADEMCO";
    EXPECT_EQ(edit.tick(7), TestSettingsEdit::kNotConnected) << "Ethernet needs its bit";
    EXPECT_EQ(edit.tick(1), TestSettingsEdit::kAssigned);
    EXPECT_EQ(edit.testOfPath(1), 1);
    EXPECT_EQ(edit.typeCaption(), "Typ testu Tor radiowy");
    // The GSM call path needs the GSM bit; it goes to the free test 2.
    EXPECT_EQ(edit.tick(6), TestSettingsEdit::kAssigned);
    EXPECT_EQ(edit.testOfPath(6), 2);
    EXPECT_EQ(edit.shown(), 2);
    // A third path replaces the test that is shown.
    EXPECT_EQ(edit.tick(0), TestSettingsEdit::kAssigned);
    EXPECT_EQ(edit.testOfPath(0), 2);
    EXPECT_FALSE(edit.ticked(6));
    // Clicking the radio path shows test 1; ticking it again frees it.
    edit.select(1);
    EXPECT_EQ(edit.shown(), 1);
    EXPECT_EQ(edit.tick(1), TestSettingsEdit::kFreed);
    EXPECT_EQ(edit.path(), kNoTestPath);
}

TEST(TestSettingsEdit, StoreChangesTheTenBytesAndSaysWhetherTheyDiffer) {
    SubscriberRecord r = connectedTo(kTrackRadio);
    r.test_flags = static_cast<uint16_t>(r.test_flags | 0x0004); // a bit the dialog does not own
    EXPECT_FALSE(TestSettingsEdit(r).store(r));
    TestSettingsEdit edit(r);
    edit.tick(1);
    edit.setType(2);
    edit.setActive(true);
    edit.setDelay(30);
    edit.select(1);
    EXPECT_TRUE(edit.store(r));
    EXPECT_EQ(r.test_track1, 1);
    EXPECT_EQ(r.test_type1, 2);
    EXPECT_EQ(r.test_delay1, 30);
    EXPECT_EQ(r.test_flags, (15 << 4) | 0x0004 | kTest1Active);
    EXPECT_FALSE(TestSettingsEdit(r).store(r));
}

} // namespace
} // namespace k4
