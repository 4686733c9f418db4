// The supervised-subscribers window over a small database: one line per
// subscriber, the red marks' "~" not shown, and a filter that narrows it.
#include "../processing_station.h"

#include "processing/ui/chk_sbsrs.h"

#include "support/qt_test_app.h"

#include <gtest/gtest.h>

namespace k4 {
namespace {

TEST(TChkSbsrs, OneLinePerSubscriberAndTheFilterNarrowsIt) {
    test::qtApp();
    test::ProcessingStation st;
    st.addSubscriber(501, [](SubscriberRecord& r) { r.tracks = r.chk_tracks = kTrackRadio; });
    st.addSubscriber(502, [](SubscriberRecord& r) { r.tracks = kTrackDialUp; });
    TChkSbsrs list(st.indexes, st.db);
    ASSERT_EQ(list.count(), 2);
    EXPECT_TRUE(list.line(0).startsWith(QStringLiteral("0501 Abonent 501")));
    EXPECT_FALSE(list.line(0).contains(QLatin1Char('~')));
    EXPECT_EQ(list.line(0).size(), 80);
    list.refilter(kTrackDialUp, false);
    ASSERT_EQ(list.count(), 1);
    EXPECT_TRUE(list.line(0).startsWith(QStringLiteral("0502")));
    list.refilter(0, false);
    EXPECT_EQ(list.count(), 0);
}

TEST(TChkFiltrForm, TheBoxesGiveTheMask) {
    test::qtApp();
    TChkFiltrForm all(kNoFilter, false);
    EXPECT_EQ(all.mask(), kNoFilter);
    TChkFiltrForm some(kTrackRadio | kFilterNoTests, true);
    EXPECT_EQ(some.mask(), kTrackRadio | kFilterNoTests);
    EXPECT_TRUE(some.activeOnly());
}

} // namespace
} // namespace k4
