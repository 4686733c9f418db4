// The window of the shared event lists over a small database: the slot
// lines, the list of the slot chosen edited through its entry dialog, a new
// list made in "Lista zdarzeń" (a used position refused first), a slot
// renamed with Space, a list removed, and "&Zrzut" of a list into a file.
#include "../processing_station.h"

#include "database/text_edge.h"
#include "processing/ui/event_forms.h"
#include "processing/ui/ns_alarms.h"
#include "processing/ui/shr_alarms.h"

#include "support/qt_test_app.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QButtonGroup>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QSpinBox>
#include <QTest>
#include <QTimer>

namespace k4 {
namespace {

using test::contains;

struct ShrAlarmsWindow : ::testing::Test {
    test::ProcessingStation st;
    SharedListParts parts{st.shared, st.db.file(DbFile::Alarmy), st.events, st.messages};
    int32_t biura = 0;

    void SetUp() override {
        test::qtApp();
        biura = st.ownList({LUT_ENTRY::make(0x0E1, 0x130)});
        st.shared.setSlot(2, biura, "BIURA");
        ASSERT_EQ(st.shared.save(), 0);
    }
    std::string lastBox() const { return st.ui.boxes.empty() ? std::string() : st.ui.boxes.back().text; }
};

TEST_F(ShrAlarmsWindow, SlotsTheirListsAndTheEntriesOfASharedList) {
    TShrAlarms window(parts, st.config, st.db.file(DbFile::Dane), st.indexes.handle(kIndexNumber), nullptr, {});
    EXPECT_EQ(window.windowTitle(), QString::fromUtf8("Wspólne listy zdarzeń"));
    EXPECT_EQ(window.slotLine(0), QStringLiteral("00 standard  "));
    EXPECT_EQ(window.slotLine(1), QStringLiteral("01 "));
    EXPECT_EQ(window.slotLine(2), QStringLiteral("02 BIURA     "));

    EXPECT_EQ(window.entries().count(), 10) << "slot 0: the standard list";
    EXPECT_FALSE(window.entries().Dodaj->isEnabled());
    EXPECT_FALSE(window.Usun->isEnabled());

    window.select(2);
    ASSERT_EQ(window.entries().count(), 1);
    EXPECT_TRUE(window.entries().line(0).startsWith(QStringLiteral("0E1 WLAMANIE")));
    EXPECT_TRUE(window.entries().Dodaj->isEnabled());

    QTimer::singleShot(0, [] {
        auto* entry = qobject_cast<TNSAlarm*>(QApplication::activeModalWidget());
        ASSERT_NE(entry, nullptr);
        entry->KodObiektu->setText(QStringLiteral("0E5"));
        entry->Numer->setText(QStringLiteral("110"));
        EXPECT_EQ(entry->OkClick(), 0);
    });
    window.entries().DodajClick();
    ASSERT_EQ(window.entries().count(), 2);
    EXPECT_TRUE(window.entries().line(1).startsWith(QStringLiteral("0E5 POZAR")));
    EXPECT_EQ(st.shared.slot(2).listId, biura) << "the shared record is rewritten, not copied";

    st.ui.answers = {BoxAnswer::Yes};
    window.entries().UsunClick(0);
    EXPECT_EQ(lastBox(), " Usunąć zdarzenie 0E1 ?");
    ASSERT_EQ(window.entries().count(), 1);
    EXPECT_TRUE(window.entries().line(0).startsWith(QStringLiteral("0E5")));

    test::TempDir out;
    st.ui.textAnswers = {out.path()};
    EXPECT_EQ(window.entries().ZrzutClick(), 0);
    EXPECT_EQ(out.read("BIURA.al").size(), static_cast<size_t>(kListRecordSize));
    st.ui.textAnswers = {out.path() + "/brak/katalogu"};
    EXPECT_EQ(window.entries().ZrzutClick(), -1);
    EXPECT_EQ(lastBox(), " Zrzut nie powiódł się");
}

TEST_F(ShrAlarmsWindow, NewListRenamedAndRemoved) {
    SbsAlarmsChoosers choosers;
    choosers.sharedList = [this] { return std::optional<int32_t>(biura); };
    TShrAlarms window(parts, st.config, st.db.file(DbFile::Dane), st.indexes.handle(kIndexNumber), nullptr, choosers);

    QTimer::singleShot(0, [this] {
        auto* dialog = qobject_cast<TNewAlLst*>(QApplication::activeModalWidget());
        ASSERT_NE(dialog, nullptr);
        EXPECT_EQ(dialog->Pozycja->value(), 1) << "the first free slot is offered";
        dialog->Pozycja->setValue(2);
        dialog->Nazwa->setText(QStringLiteral("SKLEPY"));
        dialog->Podstawa->button(static_cast<int>(NewListBase::Shared))->setChecked(true);
        EXPECT_EQ(dialog->OkClick(), 1);
        EXPECT_TRUE(contains(lastBox(), "Istnieje już lista zdarzeń o tym numerze"));
        dialog->Pozycja->setValue(5);
        EXPECT_EQ(dialog->OkClick(), 0);
    });
    window.NowaClick();
    EXPECT_EQ(window.slotLine(5), QStringLiteral("05 SKLEPY    "));
    EXPECT_EQ(window.selectedSlot(), 5);
    ASSERT_EQ(window.entries().count(), 1);
    EXPECT_TRUE(window.entries().line(0).startsWith(QStringLiteral("0E1")));
    const int32_t copy = st.shared.slot(5).listId;
    EXPECT_NE(copy, biura);

    st.ui.textAnswers = {std::string("Łódź")};
    QTest::keyClick(window.Sloty, Qt::Key_Space);
    EXPECT_EQ(window.slotLine(5), QString::fromUtf8("05 Łódź      "));

    const int32_t user = st.addSubscriber(1001, [copy](SubscriberRecord& r) { r.alarm_list = copy; });
    (void)user;
    st.ui.answers = {BoxAnswer::Yes};
    window.UsunClick();
    EXPECT_EQ(window.slotLine(5), QStringLiteral("05 "));
    EXPECT_EQ(window.entries().count(), 0);
    EXPECT_EQ(st.stored(1001).alarm_list, 0);
    ShareLst onDisk(st.data, st.messages);
    ASSERT_EQ(onDisk.load(), 0);
    EXPECT_EQ(onDisk.slot(5).listId, 0);
    EXPECT_EQ(onDisk.slotOf(biura), 2);
}

// Not a check: with KESTREL4_SCREENSHOT_SHRALARMS=path the window is drawn
// with a shared list chosen and saved, to look at the layout.
TEST_F(ShrAlarmsWindow, Screenshot) {
    const QString path = qEnvironmentVariable("KESTREL4_SCREENSHOT_SHRALARMS");
    if (path.isEmpty()) GTEST_SKIP() << "KESTREL4_SCREENSHOT_SHRALARMS not set";
    st.shared.setSlot(3, st.ownList({LUT_ENTRY::make(0x0E2, 0x401), LUT_ENTRY::make(0x0E3, 0x110, 9, true)}),
                      mz("SKLEPY"));
    TShrAlarms window(parts, st.config, st.db.file(DbFile::Dane), st.indexes.handle(kIndexNumber), nullptr, {});
    window.select(3);
    window.show();
    QCoreApplication::processEvents();
    ASSERT_TRUE(window.grab().save(path));
}

} // namespace
} // namespace k4
