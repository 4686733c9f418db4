#include "config/ui/okresy_dialog.h"

#include "messages/messages.h"
#include "support/qt_test_app.h"
#include "support/scripted_operator_ui.h"

#include <gtest/gtest.h>

#include <QLineEdit>
#include <QPushButton>

namespace k4 {
namespace {

TEST(OkresyDialog, RefusesBelowTheLimitAndSavesTheRest) {
    test::qtApp();
    test::ScriptedOperatorUi ui;
    Messages messages(ui);
    std::vector<ProbePeriodValues> saved;
    TOkresy dialog({4, 2, 12, 6, 11, 7, 5, 3, 0}, messages, [&](const ProbePeriodValues& v) { saved.push_back(v); });
    EXPECT_EQ(dialog.windowTitle(), "Okresy między badaniami");
    EXPECT_EQ(dialog.Fields[2]->text(), "12");

    dialog.Fields[2]->setText("4");
    dialog.SaveBtn->click();
    ASSERT_EQ(ui.boxes.size(), 1u);
    EXPECT_EQ(ui.boxes[0].text, "Minimalny okres wynosi 5 sek.");
    EXPECT_TRUE(saved.empty());

    dialog.Fields[2]->setText("5");
    dialog.Fields[6]->setText("0"); // GSM: no lower limit
    dialog.SaveBtn->click();
    ASSERT_EQ(saved.size(), 1u);
    EXPECT_EQ(saved[0], (ProbePeriodValues{4, 2, 5, 6, 11, 7, 0, 3, 0}));
}

TEST(OkresyDialog, PorzucSavesNothing) {
    test::qtApp();
    test::ScriptedOperatorUi ui;
    Messages messages(ui);
    bool saved = false;
    TOkresy dialog({4, 2, 12, 6, 11, 7, 5, 3, 0}, messages, [&](const ProbePeriodValues&) { saved = true; });
    dialog.Fields[0]->setText("9");
    dialog.CancelBtn->click();
    EXPECT_FALSE(saved);
}

} // namespace
} // namespace k4
