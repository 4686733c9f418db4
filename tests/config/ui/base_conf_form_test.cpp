// "Baza odbiorcza": the fields as shown and "&Zapisz" storing them into the
// working copy's entry; "&Porzuć" leaves it.
#include "config/ui/base_conf_form.h"

#include "messages/messages.h"
#include "support/qt_test_app.h"
#include "support/scripted_operator_ui.h"

#include <gtest/gtest.h>

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>

#include <cstring>

namespace k4 {
namespace {

TEST(BaseConfForm, SavesTheFieldsAndKeepsTheWaitingMarks) {
    test::qtApp();
    test::ScriptedOperatorUi ui;
    Messages messages(ui);
    BaseEntry entry{};
    std::strcpy(entry.name, "Ba~za");
    entry.flags = kBaseAwaitsTr;
    entry.rsLink = 2;
    TBaseConfForm form(entry, 1, messages);
    EXPECT_EQ(form.windowTitle(), QStringLiteral("Baza odbiorcza"));
    EXPECT_EQ(form.NameBase1E->text(), QStringLiteral("Ba~za"));
    form.RBaseNo1ME->setText(QStringLiteral("12"));
    form.TelGSM1ME->setText(QStringLiteral("600100200"));
    form.GSMAck1CmB->setCurrentIndex(2);
    form.IpEthernetME->setText(QStringLiteral("192.168.001.020"));
    form.AlConv1CB->setChecked(true);
    form.SaveBtnClick();
    EXPECT_EQ(form.result(), QDialog::Accepted);
    EXPECT_EQ(entry.radio, 0x12);
    EXPECT_STREQ(entry.gsmNumber, "600100200");
    EXPECT_EQ(entry.gsmParam, 3);
    EXPECT_EQ(entry.ethAddress[0], 192);
    EXPECT_EQ(entry.ethAddress[3], 20);
    EXPECT_EQ(entry.flags, kBaseAwaitsTr | kBaseEventConversion);
    EXPECT_EQ(entry.rsLink, 2);

    TBaseConfForm sender(entry, 3, messages);
    EXPECT_EQ(sender.windowTitle(), QStringLiteral("Baza nadawcza"));
}

} // namespace
} // namespace k4
