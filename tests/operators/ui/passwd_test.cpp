#include "operators/ui/passwd.h"

#include "database/text_edge.h"
#include "support/qt_test_app.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QLineEdit>
#include <QTest>
#include <QTimer>

namespace k4 {
namespace {

// Types into the prompt once it is up, then presses the key.
std::optional<std::string> answer(const QString& typed, Qt::Key key) {
    QtPasswordPrompt prompt;
    QTimer::singleShot(0, [&] {
        auto* dialog = qobject_cast<TPasswd*>(QApplication::activeModalWidget());
        ASSERT_NE(dialog, nullptr);
        EXPECT_EQ(dialog->windowTitle(), "Hasło");
        EXPECT_EQ(dialog->PasswdEdit->echoMode(), QLineEdit::Password);
        EXPECT_TRUE(dialog->PasswdEdit->text().isEmpty()) << "each prompt starts empty";
        dialog->PasswdEdit->insert(typed);
        EXPECT_EQ(dialog->PasswdEdit->displayText(), QString(typed.size(), QLatin1Char('*')))
            << "one \"*\" for each character typed";
        QTest::keyClick(dialog, key);
    });
    return prompt.askPassword("Podaj hasło nadzoru", kHelpSupervisorPassword);
}

TEST(TPasswd, EnterGivesTheFirstNineteenInMazoviaEscapeNothing) {
    test::qtApp();
    EXPECT_EQ(answer("kestrel", Qt::Key_Return), std::optional<std::string>("kestrel"));
    EXPECT_EQ(answer("żółć", Qt::Key_Enter), std::optional<std::string>(mz("żółć")));
    EXPECT_EQ(answer(QString(25, 'x'), Qt::Key_Return), std::optional<std::string>(std::string(19, 'x')));
    EXPECT_EQ(answer("kestrel", Qt::Key_Escape), std::nullopt);
}

} // namespace
} // namespace k4
