// The event windows offscreen: the names list and its picker, the special
// codes, the system kinds and the shared-list chooser.
#include "processing/ui/event_forms.h"

#include "baselink/path_types.h"
#include "database/text_edge.h"
#include "../../history/history_fixture.h"
#include "support/qt_test_app.h"

#include <gtest/gtest.h>

#include <QLineEdit>
#include <QListWidget>

namespace k4 {
namespace {

struct FormsStation : test::HistoryStation {
    EventTable table;
    FormsStation() {
        EXPECT_EQ(table.loadEventTable(data), 0);
        table.putEvent(makeEventDef(0x130, "WLAMANIE", "Włamanie", 4), 0x130);
        table.putEvent(makeEventDef(0x401, "ZALACZ", "Załączenie", 2, kEventArming), 0x401);
        EXPECT_EQ(table.saveEventTable(data), 0);
    }
};

TEST(TAlarms, OneLinePerDefinitionAndThePickerReturnsTheCode) {
    test::qtApp();
    FormsStation s;
    TAlarms names(s.table, s.data, s.messages, nullptr);
    ASSERT_EQ(names.count(), 2);
    EXPECT_EQ(names.line(0), QString::fromUtf8("130 WLAMANIE Włamanie                      "));
    names.select(1);
    s.ui.answers = {BoxAnswer::Yes};
    names.UsunClick();
    EXPECT_EQ(names.count(), 1);
    EventTable stored;
    ASSERT_EQ(stored.loadEventTable(s.data), 0);
    EXPECT_EQ(stored.recordOf(0x401), 0);

    TAlarms pick(s.table, s.data, s.messages, nullptr, true);
    pick.select(0);
    pick.ListDblClick();
    EXPECT_EQ(pick.picked(), 0x130);
    EXPECT_EQ(pick.result(), QDialog::Accepted);
}

TEST(TZdarzenie, EditingRenamesTheDefinition) {
    test::qtApp();
    FormsStation s;
    TZdarzenie edit(s.table, s.data, s.messages, 0x130);
    EXPECT_EQ(edit.Skrot->text(), QStringLiteral("WLAMANIE"));
    edit.Nazwa->setText(QString::fromUtf8("Włamanie - strefa"));
    ASSERT_EQ(edit.ZapiszClick(), 0);
    EXPECT_EQ(s.table.findEvent(0x130)->fullText(), mz("Włamanie - strefa"));
}

TEST(TSpecAlForm, ChangingAnEntryPicksACode) {
    test::qtApp();
    FormsStation s;
    s.dir.write("conf", std::string(kConfigSize, '\0'));
    Config config{s.data};
    ASSERT_EQ(config.LoadConfig(1), 0);
    TSpecAlForm special(config, s.table, s.messages, [] { return std::optional<int>(0x130); });
    EXPECT_EQ(special.line(3), QString::fromUtf8("TEST UŻYTKOWNIKA"));
    special.select(3);
    special.ZmienClick();
    EXPECT_EQ(special.line(3), QString::fromUtf8("TEST UŻYTKOWNIKA   :    130 - WLAMANIE"));
    s.ui.answers = {BoxAnswer::Yes};
    special.UsunClick();
    EXPECT_EQ(special.line(3), QString::fromUtf8("TEST UŻYTKOWNIKA"));
}

TEST(TInnersForm, ListsSystemKindsAndGivesThreeDigits) {
    test::qtApp();
    FormsStation s;
    PathTypeTable paths;
    EventFormatter formatter(s.table, paths);
    TInnersForm kinds(formatter);
    ASSERT_GT(kinds.count(), 10);
    kinds.select(0);
    EXPECT_EQ(kinds.chosen().size(), 3);
    EXPECT_TRUE(kinds.line(0).startsWith(kinds.chosen() + QLatin1Char(' ')));
}

TEST(TCommonLists, SlotZeroMovesToOneAndCopyGivesTheId) {
    test::qtApp();
    FormsStation s;
    ShareLst shared{s.data, s.messages};
    shared.load();
    shared.setSlot(2, 5994, "BANKI");
    TCommonLists chooser(shared);
    chooser.select(0);
    EXPECT_EQ(chooser.selectedSlot(), 1);
    chooser.KopiujClick();
    EXPECT_EQ(chooser.listId(), -1) << "a free slot gives nothing";
    EXPECT_EQ(chooser.result(), 0) << "and the chooser stays";
    chooser.select(2);
    chooser.KopiujClick();
    EXPECT_EQ(chooser.listId(), 5994);
}

} // namespace
} // namespace k4
