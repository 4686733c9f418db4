#include "shell/ui/help_pages.h"

#include "support/qt_test_app.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QDialog>
#include <QLineEdit>
#include <QTest>
#include <QTimer>

namespace k4 {
namespace {

TEST(HelpPages, EveryEverydayContextHasItsPage) {
    const std::pair<int, const char*> cases[] = {
        {1001, "Obsługa alarmu"}, {1070, "Blokady"},     {1071, "Blokady"}, {1200, "Szukanie abonenta"},
        {1068, "Tryb nadzoru"},   {1065, "Operatorzy"}, {1051, "Hasło"},   {0, "Stanowisko operatora"},
    };
    for (const auto& [context, title] : cases)
        EXPECT_TRUE(helpPage(context).contains(QString::fromUtf8(title))) << context;
}

TEST(HelpPages, F1OpensThePageOfTheDialogUnderTheFocus) {
    test::qtApp();
    HelpKey help;
    qApp->installEventFilter(&help);
    QDialog dialog;
    dialog.setProperty("helpContext", 1065);
    auto* edit = new QLineEdit(&dialog);
    dialog.show();
    edit->setFocus();
    QApplication::setActiveWindow(&dialog);
    QTimer::singleShot(0, [] {
        QWidget* page = QApplication::activeModalWidget();
        ASSERT_NE(page, nullptr);
        EXPECT_EQ(page->windowTitle(), "Pomoc");
        // F1 on the help window opens no second one.
        QTest::keyClick(page, Qt::Key_F1);
        EXPECT_EQ(QApplication::activeModalWidget(), page);
        page->close();
    });
    QTest::keyClick(edit, Qt::Key_F1);
    EXPECT_TRUE(help.lastShown().contains("Operatorzy"));
    qApp->removeEventFilter(&help);
}

} // namespace
} // namespace k4
