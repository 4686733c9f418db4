#include "operators/ui/operators_dialog.h"

#include "database/text_edge.h"
#include "messages/messages.h"
#include "operators/operator_list.h"
#include "support/qt_test_app.h"
#include "support/scripted_operator_ui.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTest>
#include <QTimer>

namespace k4 {
namespace {

struct OperatorDialogs : testing::Test {
    test::TempDir dir;
    test::ScriptedOperatorUi ui;
    Messages messages{ui};
    void SetUp() override { test::qtApp(); }

    // Fills the edit dialog once it is up and presses "Zapisz".
    static void fillEditor(const QString& code, const QString& name, bool expectFilled = false) {
        QTimer::singleShot(0, [=] {
            auto* editor = qobject_cast<TModOper*>(QApplication::activeModalWidget());
            ASSERT_NE(editor, nullptr);
            EXPECT_EQ(editor->windowTitle(), "Operator");
            if (expectFilled) {
                EXPECT_FALSE(editor->Code->text().isEmpty());
            }
            editor->Code->setText(code);
            editor->Name->setText(name);
            editor->SaveBtn->click();
        });
    }
};

TEST_F(OperatorDialogs, AddEditAndRemoveThroughTheList) {
    TOperators dialog{DataDir(dir.path()), messages};
    EXPECT_EQ(dialog.windowTitle(), "Operatorzy");
    EXPECT_EQ(dialog.ListBox->count(), 0);

    fillEditor("1234", "Wiśniewski");
    dialog.AddBtn->click();
    fillEditor("5678", "Nowak");
    dialog.AddBtn->click();
    ASSERT_EQ(dialog.ListBox->count(), 2);
    EXPECT_EQ(dialog.ListBox->item(0)->text(), QString("Wiśniewski") + QString(18, ' ') + "(1)");
    EXPECT_EQ(dialog.ListBox->item(1)->text(), QString("Nowak") + QString(23, ' ') + "(2)");

    // The editor shows the code unscrambled; a new surname is a new number.
    dialog.ListBox->setCurrentRow(1);
    QTimer::singleShot(0, [] {
        auto* editor = qobject_cast<TModOper*>(QApplication::activeModalWidget());
        ASSERT_NE(editor, nullptr);
        EXPECT_EQ(editor->Code->text(), "5678");
        EXPECT_EQ(editor->Name->text(), "Nowak");
        editor->Name->setText("Nowakowski");
        editor->SaveBtn->click();
    });
    emit dialog.ListBox->itemDoubleClicked(dialog.ListBox->item(1));
    EXPECT_EQ(dialog.ListBox->item(1)->text(), QString("Nowakowski") + QString(18, ' ') + "(3)");

    // A duplicate code: told, nothing saved.
    const std::string before = dir.read("operator");
    fillEditor("1234", "Trzeci");
    dialog.AddBtn->click();
    ASSERT_EQ(ui.boxes.size(), 1u);
    EXPECT_EQ(ui.boxes[0].text, "Podany kod należy już do innego operatora.");
    EXPECT_EQ(dir.read("operator"), before);
    EXPECT_EQ(dialog.ListBox->count(), 2);

    // "Porzuć" saves nothing.
    QTimer::singleShot(0, [] {
        auto* editor = qobject_cast<TModOper*>(QApplication::activeModalWidget());
        ASSERT_NE(editor, nullptr);
        editor->Code->setText("9999");
        editor->Name->setText("Nikt");
        editor->CancelBtn->click();
    });
    dialog.AddBtn->click();
    EXPECT_EQ(dir.read("operator"), before);

    dialog.ListBox->setCurrentRow(0);
    ui.answers = {BoxAnswer::Yes};
    dialog.RemoveBtn->click();
    ASSERT_EQ(dialog.ListBox->count(), 1);
    EXPECT_EQ(dialog.ListBox->item(0)->text(), QString("Nowakowski") + QString(18, ' ') + "(3)");
    SOperatLst list{DataDir(dir.path())};
    ASSERT_TRUE(list.Load());
    EXPECT_EQ(findOperatorByCode(list, "5678"), 3);
    EXPECT_EQ(findOperatorByCode(list, "1234"), -1);
}

} // namespace
} // namespace k4
