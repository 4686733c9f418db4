#include "signals/ui/leds_form.h"

#include "support/history_rig.h"
#include "support/qt_test_app.h"

#include <gtest/gtest.h>

#include <QLineEdit>
#include <QListWidget>

namespace k4 {
namespace {

TEST(TLedsSbsForm, TheSetFieldTakesOneOrTwoAndSaysSo) {
    test::qtApp();
    test::HistoryRig rig;
    TLedsSbsForm form(rig.messages, LedList{});
    EXPECT_EQ(form.windowTitle(), "Diody");
    EXPECT_EQ(form.setField->text(), "1");
    form.setField->setText("3");
    form.setEdited();
    ASSERT_EQ(rig.ui.boxes.size(), 1u);
    EXPECT_EQ(rig.ui.boxes[0].text, "Program dopuszcza tylko dwa zestawy diod");
    EXPECT_EQ(form.setField->text(), "1") << "the old value comes back";
    form.setField->setText("2");
    form.setEdited();
    ASSERT_EQ(rig.ui.boxes.size(), 2u);
    EXPECT_EQ(rig.ui.boxes[1].text, "Zmiana zestawu!");
    EXPECT_EQ(form.list.ledSet, 1);

    form.addEntry({4, 0x3130, 0}, true);
    ASSERT_EQ(form.entries->count(), 1);
    EXPECT_EQ(form.list.testOnRequest, 1);
}

} // namespace
} // namespace k4
