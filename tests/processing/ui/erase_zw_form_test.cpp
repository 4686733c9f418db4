// "Kasowanie Testów Z W" from the supervised-subscribers list: the ticked
// test and position marks of the selected subscriber are wiped on disk and
// the list shows it; cancelling wipes nothing.
// Before any Qt header: the fixture has a member named "slots".
#include "../processing_station.h"

#include "processing/ui/chk_sbsrs.h"
#include "processing/ui/erase_zw_form.h"

#include "processing/test_supervision.h"
#include "support/qt_test_app.h"

#include <QApplication>
#include <QCheckBox>
#include <QPushButton>
#include <QTimer>

#include <gtest/gtest.h>

namespace k4 {
namespace {

void missingTestsArmedEverywhere(SubscriberRecord& r) {
    r.tracks = r.chk_tracks = kTrackRadio;
    r.test_state = kTest1Missing | kTest2Received;
    r.test_miss1 = 3;
    for (uint8_t& s : r.arm_state) s = 0x01;
}

QPushButton* button(QWidget* w, const QString& text) {
    for (auto* b : w->findChildren<QPushButton*>())
        if (b->text() == text) return b;
    return nullptr;
}

TEST(TEraseZWForm, OpenedFromTheListForTheSelectedSubscriber) {
    test::qtApp();
    test::ProcessingStation st;
    st.addSubscriber(601, missingTestsArmedEverywhere);
    st.addSubscriber(602, missingTestsArmedEverywhere);
    TChkSbsrs list(st.indexes, st.db);
    ASSERT_EQ(list.count(), 2);
    const QString before = list.line(1);
    list.select(1);
    QString title;
    QTimer::singleShot(0, [&] {
        auto* form = qobject_cast<TEraseZWForm*>(QApplication::activeModalWidget());
        ASSERT_NE(form, nullptr);
        title = form->windowTitle();
        form->test(1)->setChecked(true);
        form->position(4)->setChecked(true);
        button(form, QStringLiteral("&Kasuj"))->click();
    });
    button(&list, QStringLiteral("K&asuj ZW"))->click();
    EXPECT_EQ(title, QString::fromUtf8("Kasowanie Testów Z W"));
    const SubscriberRecord erased = st.stored(602);
    EXPECT_EQ(erased.test_state, kTest2Received);
    EXPECT_EQ(erased.test_miss1, 0);
    EXPECT_EQ(erased.arm_state[4], 0);
    EXPECT_EQ(erased.arm_state[3], 0x01);
    EXPECT_EQ(st.stored(601).test_state, kTest1Missing | kTest2Received) << "the other subscriber is untouched";
    ASSERT_EQ(list.count(), 2);
    EXPECT_NE(list.line(1), before) << "the list shows the wiped marks";
    EXPECT_TRUE(st.shown().empty());

    QTimer::singleShot(0, [&] {
        auto* form = qobject_cast<TEraseZWForm*>(QApplication::activeModalWidget());
        ASSERT_NE(form, nullptr);
        form->test(2)->setChecked(true);
        button(form, QStringLiteral("&Anuluj"))->click();
    });
    list.select(0);
    list.KasujZWClick();
    EXPECT_EQ(st.stored(601).test_state, kTest1Missing | kTest2Received);
}

} // namespace
} // namespace k4
