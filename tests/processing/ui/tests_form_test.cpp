// The "Testy" dialog over a subscriber: its caption follows the shown
// test's path, a path the subscriber does not use is refused with its box,
// "&Zapisz" marks the tests changed, and for viewing nothing can be edited.
// Before any Qt header: the fixture has a member named "slots".
#include "../processing_station.h"

#include "processing/ui/tests_form.h"

#include "database/sbscrbr.h"
#include "support/qt_test_app.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QListWidget>

#include <gtest/gtest.h>

namespace k4 {
namespace {

TEST(TTests, PathsCaptionRefusalAndSaving) {
    test::qtApp();
    test::ProcessingStation st;
    st.addSubscriber(1200, [](SubscriberRecord& r) { r.tracks = kTrackRadio; });
    Sbscrbr s(st.db, ByNumber{1200});
    TTests form(s, st.messages, false);
    auto* caption = form.findChild<QGroupBox*>("TypTestu");
    ASSERT_NE(caption, nullptr);
    form.tickPath(3);
    EXPECT_EQ(st.shown(), std::vector<std::string>{" Abonent nie jest podłączony do tego toru!"});
    form.tickPath(1);
    EXPECT_EQ(caption->title(), QStringLiteral("Typ testu Tor radiowy"));
    auto* list = form.findChild<QListWidget*>("Tory");
    EXPECT_EQ(list->item(1)->checkState(), Qt::Checked);
    EXPECT_EQ(list->item(3)->checkState(), Qt::Unchecked);
    form.findChild<QCheckBox*>("Aktywacja")->setChecked(true);
    form.ZapiszClick();
    EXPECT_TRUE(s.tests_changed);
    EXPECT_EQ(s.record.test_track1, 1);
    EXPECT_TRUE(s.record.test_flags & kTest1Active);

    Sbscrbr viewed(st.db, ByNumber{1200});
    TTests view(viewed, st.messages, true);
    EXPECT_FALSE(view.findChild<QListWidget*>("Tory")->isEnabled());
}

} // namespace
} // namespace k4
