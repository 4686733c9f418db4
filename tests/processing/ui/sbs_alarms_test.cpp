// A subscriber's event list window over a small database: entries added
// through the entry dialog's core, an empty own list, a shared list taken,
// the list named written to the subscriber's record at once, and the rate
// limiter written when the window ends.
#include "../processing_station.h"

#include "database/sbscrbr.h"
#include "processing/event_dialog_ops.h"
#include "processing/ui/sbs_alarms.h"

#include "support/qt_test_app.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>

#include <QLineEdit>

namespace k4 {
namespace {

TEST(TSbsAlarms, ListChangesAndTheLimiter) {
    test::qtApp();
    test::ProcessingStation st;
    st.events.setRecords({});
    st.events.putEvent(makeEventDef(0x130, "WLAMANIE", "Włamanie", 4), 0x130);
    const int32_t offset = st.addSubscriber(501);
    Sbscrbr subscriber(st.db, AtOffset{offset});
    ASSERT_TRUE(subscriber.valid);
    TSbsAlarms dialog(subscriber, st.db.file(DbFile::Alarmy), st.events, st.shared, st.config, st.messages, nullptr,
                      {});
    EXPECT_EQ(dialog.listType(), QString::fromUtf8("Wspólna: standard"));
    EXPECT_EQ(dialog.count(), 1); // the standard list: every defined code

    st.ui.answers = {BoxAnswer::Yes};
    dialog.PustaClick();
    EXPECT_EQ(dialog.count(), 0);
    EXPECT_EQ(dialog.listType(), QString::fromUtf8("Własna"));
    const int32_t own = subscriber.record.alarm_list;
    EXPECT_NE(own, 0);
    EXPECT_EQ(st.stored(501).alarm_list, own) << "the list named is on the disk before the card saves";

    ListEntryInput in;
    in.objText = "E01";
    in.stdText = "130";
    ASSERT_EQ(storeListEntry(dialog.list(), st.messages, 0, in), 0);
    dialog.refresh();
    ASSERT_EQ(dialog.count(), 1);
    EXPECT_TRUE(dialog.line(0).startsWith(QStringLiteral("E01 WLAMANIE")));
    EXPECT_EQ(static_cast<int32_t>(subscriber.record.alarm_list), own); // rewritten in place

    // An own list is written under the subscriber's number.
    test::TempDir out;
    st.ui.textAnswers = {out.path()};
    ASSERT_EQ(dialog.ZrzutClick(), 0);
    const std::string dumped = out.read("0501.al");
    ASSERT_EQ(dumped.size(), static_cast<size_t>(kListRecordSize));
    EXPECT_EQ(dumped.substr(0, 6), std::string("\x01\x0E\x30\x01\xFF\x0F", 6)) << "E01 -> 130, no sector of its own";

    st.ui.answers = {BoxAnswer::Yes};
    dialog.UsunClick(0);
    EXPECT_EQ(dialog.count(), 0);

    dialog.Maksymalna->setText(QStringLiteral("5"));
    dialog.WCiagu->setText(QStringLiteral("2"));
    dialog.accept();
    Sbscrbr again(st.db, AtOffset{offset});
    EXPECT_EQ(again.record.alarm_opts.limit, 5);
    EXPECT_EQ(again.record.alarm_opts.hours, 2);
}

} // namespace
} // namespace k4
