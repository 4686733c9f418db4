#include "config/ui/config_form_dialog.h"

#include "database/text_edge.h"
#include "messages/messages.h"
#include "support/qt_test_app.h"
#include "support/scripted_operator_ui.h"
#include "platform/file.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTabBar>
#include <QTreeWidget>

#include <cstring>

namespace k4 {
namespace {

struct ConfigDialog : testing::Test {
    test::TempDir dir;
    test::ScriptedOperatorUi ui;
    Messages messages{ui};
    ConfigBlock live{};
    std::vector<ConfigBlock> applied;
    bool restart = false;

    void SetUp() override {
        test::qtApp();
        live.mode = 0;
        live.inter_port = 1;
        live.data_port = 2;
        live.base1_speed = 9600;
        live.base2_speed = 9600;
        live.repeat_delay = 60;
        live.options = 0x80;
        std::strcpy(live.town, mz("Łódź").c_str());
        live.bases[2].gprsAddress[0] = 10;
        live.bases[2].gprsAddress[3] = 7;
        std::strcpy(live.bases[2].name, "Centrala");
        live.bases[2].gsmParam = 3;
        live.bases[2].flags = 0x10;
    }
    std::unique_ptr<TConfigForm> dialog() {
        std::vector<MenuCopyTop> menus = {{"&Badania", {{"&Okres", true}, {"O&biekt", true}, {"&Lista", false}}},
                                          {"B&lokady", {{"&Obiekt", true}}}};
        return std::make_unique<TConfigForm>(live, menus, DataDir(dir.path()), messages, [this](const ConfigBlock& c) {
            applied.push_back(c);
            return restart;
        });
    }
};

TEST_F(ConfigDialog, UstawHandsTheCopyOnAndWritesMenus) {
    auto form = dialog();
    EXPECT_EQ(form->windowTitle(), "Konfiguracja");
    EXPECT_EQ(form->Town->text(), "Łódź");
    EXPECT_EQ(form->OptionBox->text(), "Konw. wewn.");
    EXPECT_TRUE(form->OptionBox->isChecked());
    EXPECT_FALSE(form->BaseGroup->isEnabled());
    EXPECT_EQ(form->BaseList->count(), 16);
    EXPECT_EQ(form->BaseList->item(2)->text(), "03 Centrala       010.000.000.007   3       X   ");
    EXPECT_EQ(form->BaseList->item(0)->text(), "01" + QString(31 + 7 + 8, QLatin1Char(0x20)));

    form->Town->setText("Łęczyca");
    form->IfFireDelayME->setText("300");
    emit form->IfFireDelayME->editingFinished();
    EXPECT_EQ(form->IfFireDelayME->text(), "60");
    form->Menus->topLevelItem(1)->child(0)->setCheckState(0, Qt::Unchecked);
    form->SetBtn->click();
    ASSERT_EQ(applied.size(), 1u);
    EXPECT_EQ(Utf8FromMazovia(applied[0].town), "Łęczyca");
    EXPECT_EQ(applied[0].repeat_delay, 60);
    EXPECT_EQ(applied[0].bases[0].rsLink, 2);
    EXPECT_EQ(applied[0].bases[1].rsLink, 3);
    EXPECT_FALSE(form->restarted());
    EXPECT_EQ(dir.read("menus"), std::string("\0\x01\0\0\0\0\x04\x01\0\0\0\0", 12));
}

TEST_F(ConfigDialog, TabsChangeTheOptionBoxAndTheGroups) {
    auto form = dialog();
    form->Bazy->setCurrentIndex(kTabSending);
    EXPECT_EQ(form->OptionBox->text(), "Typ testu (AA)");
    EXPECT_FALSE(form->OptionBox->isChecked()) << "bit 6 is clear";
    EXPECT_TRUE(form->BaseGroup->isEnabled());
    EXPECT_EQ(form->BaseGroup->title(), "Bazy odbiorcze");
    form->Bazy->setCurrentIndex(kTabReceiving);
    EXPECT_EQ(form->BaseGroup->title(), "Bazy nadawcze");
    EXPECT_FALSE(form->InterPort->isEnabled());
    EXPECT_FALSE(form->NoLineDelayME->isEnabled());
    form->OptionBox->setChecked(true);
    restart = true;
    form->SetBtn->click();
    ASSERT_EQ(applied.size(), 1u);
    EXPECT_EQ(applied[0].mode, 2);
    EXPECT_EQ(applied[0].options, 0xC0);
    EXPECT_TRUE(form->restarted());
}

TEST_F(ConfigDialog, WarningOfIncompleteReportsAndCancel) {
    const ConfigBlock before = live;
    auto form = dialog();
    ui.answers = {BoxAnswer::Yes};
    form->NoIncomplete->setChecked(true);
    ASSERT_EQ(ui.boxes.size(), 1u);
    EXPECT_NE(ui.boxes[0].text.find("Zostawić kontrolę?"), std::string::npos);
    EXPECT_EQ(ui.boxes[0].caption, "Ostrzeżenie");
    EXPECT_FALSE(form->NoIncomplete->isChecked());
    ui.answers = {BoxAnswer::No};
    form->NoIncomplete->setChecked(true);
    EXPECT_TRUE(form->NoIncomplete->isChecked());
    form->CancelBtn->click();
    EXPECT_TRUE(applied.empty());
    EXPECT_FALSE(fileExists(dir.file("menus")));
    ConfigBlock expected = before;
    expected.bases[0].rsLink = 2;
    expected.bases[1].rsLink = 3;
    EXPECT_EQ(std::memcmp(&expected, &live, sizeof live), 0) << "cancel changes nothing but the link kinds";
}

TEST_F(ConfigDialog, PortSearchShowsThePortsItStoredAndAUstawKeepsThem) {
    auto form = dialog();
    EXPECT_FALSE(form->AutotestBtn->isEnabled()) << "no search offered, no button";
    int searches = 0;
    form->setPortSearch([&] {
        ++searches;
        live.inter_port = 3; // the search writes the live block itself
        live.data_port = 1;
        return true;
    });
    ASSERT_TRUE(form->AutotestBtn->isEnabled());
    form->AutotestBtn->click();
    EXPECT_EQ(searches, 1);
    EXPECT_TRUE(form->restarted()) << "the lines were reopened, so the paths must be rebuilt";
    EXPECT_EQ(form->InterPort->currentIndex(), 2);
    EXPECT_EQ(form->DataPort->currentIndex(), 0);
    form->Town->setText("Kutno");
    form->SetBtn->click();
    ASSERT_EQ(applied.size(), 1u);
    EXPECT_EQ(applied[0].inter_port, 3);
    EXPECT_EQ(applied[0].data_port, 1);
}

TEST_F(ConfigDialog, AFailedPortSearchStillCountsAsARestart) {
    auto form = dialog();
    form->setPortSearch([] { return false; });
    form->AutotestBtn->click();
    EXPECT_TRUE(form->restarted());
    EXPECT_EQ(form->InterPort->currentIndex(), 0) << "the configured ports stay shown";
    EXPECT_EQ(form->DataPort->currentIndex(), 1);
}

} // namespace
} // namespace k4
