#include "printing/ui/printers_form.h"

#include "support/history_rig.h"
#include "support/qt_test_app.h"

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>

#include <fstream>

namespace k4 {
namespace {

TEST(TPrintersForm, ShowsTheSettingsAndUstawStoresAndSavesThem) {
    test::qtApp();
    test::HistoryRig rig;
    Config config{DataDir(rig.dir.path())};
    ASSERT_EQ(config.SaveConfig(1), -1) << "no conf yet";
    { std::ofstream(rig.dir.path() + "/conf", std::ios::binary) << std::string(sizeof(ConfigBlock), '\0'); }
    config.block().event_printer = 2;
    config.block().report_cp = 4;
    config.block().event_cp = 1;
    TPrintersForm form(config, rig.messages, {"HP on LPT1:", "Epson"});
    EXPECT_EQ(form.windowTitle(), "Drukarki");
    ASSERT_EQ(form.CBAl->count(), 3);
    EXPECT_EQ(form.CBAl->itemText(1), "HP na LPT1:");
    EXPECT_EQ(form.CBAl->currentIndex(), 2);
    EXPECT_EQ(form.CBDa->currentIndex(), 0) << "Brak";
    EXPECT_EQ(form.RGAlPl->checkedId(), 1);
    EXPECT_TRUE(form.graphicMode->isChecked());
    EXPECT_FALSE(form.RGDaPl->button(0)->isEnabled()) << "disabled while graphic mode is ticked";

    form.CBDa->setCurrentIndex(1);
    form.RGDaPl->button(2)->setChecked(true);
    form.SetBtnClick();
    EXPECT_EQ(config.block().report_printer, 1);
    EXPECT_EQ(config.block().report_cp, 4) << "graphic mode stores 4 whatever the radio group shows";
    form.graphicMode->setChecked(false);
    form.SetBtnClick();
    EXPECT_EQ(config.block().report_cp, 2);
    EXPECT_TRUE(rig.ui.boxes.empty());

    Config reloaded{DataDir(rig.dir.path())};
    ASSERT_EQ(reloaded.LoadConfig(1), 0);
    EXPECT_EQ(reloaded.block().report_cp, 2) << "saved";
}

TEST(TPrintNamesForm, AddressAndTestsTickedGive0x14) {
    test::qtApp();
    TPrintNamesForm form;
    EXPECT_EQ(form.windowTitle(), "Wybór danych");
    ASSERT_EQ(form.items.size(), 5u);
    EXPECT_EQ(form.items[3]->text(), "Miejscowość");
    form.items[2]->setChecked(true);
    form.items[4]->setChecked(true);
    EXPECT_EQ(form.mask(), 0x14);
}

} // namespace
} // namespace k4
