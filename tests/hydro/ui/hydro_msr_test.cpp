// "Pomiary", "Przeliczenie" and "Kalibracja" over a subscriber record in
// memory: the channel lines, the switches and counters stored on "&Zapisz",
// the calibration by range with its refusals, and the two-point calibration.
#include "hydro/ui/hydro_msr.h"
#include "hydro/ui/przeliczenie.h"

#include "messages/messages.h"
#include "support/qt_test_app.h"
#include "support/scripted_operator_ui.h"

#include <gtest/gtest.h>

#include <QButtonGroup>
#include <QComboBox>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QTimer>

#include <cstring>

namespace k4 {
namespace {

MsrSetting pressureChannel() {
    MsrSetting s;
    s.type = 2;
    s.converter = 0;
    s.resistor = 25;
    s.p0 = 0;
    s.p1 = 160;
    s.v0 = 1000;
    s.v1 = 5000;
    return s;
}

struct Dialogs : ::testing::Test {
    void SetUp() override { test::qtApp(); }
    bool shown(const std::string& utf8) const {
        for (const auto& box : ui.boxes)
            if (box.text.find(utf8) != std::string::npos) return true;
        return false;
    }
    test::ScriptedOperatorUi ui;
    Messages messages{ui};
};

TEST_F(Dialogs, PomiaryListsTheChannelsAndStoresThemWithTheCounters) {
    SubscriberRecord r{};
    writeMsrSetting(r, 0, pressureChannel());
    writeMsrSetting(r, 1, pressureChannel());
    writeMsrSetting(r, 3, pressureChannel());
    r.msr_mask = 0x0001;
    r.cnt_flags = 0x0001;
    r.cnt1 = 1;
    THydroMsr dialog(r, false, messages);
    EXPECT_EQ(dialog.windowTitle(), QStringLiteral("Pomiary"));
    ASSERT_EQ(dialog.MsrList->count(), 6);
    EXPECT_EQ(dialog.MsrList->item(0)->text(), QStringLiteral("L12/A0 Ciśnienie     0.00   1.60 MPa 4-20 [mA]"));
    EXPECT_EQ(dialog.MsrList->item(2)->text(), QStringLiteral("L10/A2 -----"));
    EXPECT_EQ(dialog.MsrList->item(0)->checkState(), Qt::Checked);
    EXPECT_EQ(dialog.MsrList->item(1)->checkState(), Qt::Unchecked);
    EXPECT_EQ(dialog.Counters[0]->checkedButton()->text(), QStringLiteral("x10"));
    EXPECT_EQ(dialog.Counters[1]->checkedButton()->text(), QStringLiteral("Pomiń"));

    dialog.MsrList->item(3)->setCheckState(Qt::Checked);
    dialog.Counters[0]->button(0)->setChecked(true);
    dialog.Counters[1]->button(3)->setChecked(true);
    // A channel edited in "Przeliczenie" shows its new line.
    dialog.editChannel = [](MsrSetting& s, QWidget*) {
        s = pressureChannel();
        s.type = 5;
        s.p1 = 500;
        return true;
    };
    dialog.MsrListDblClick(4);
    EXPECT_EQ(dialog.MsrList->item(4)->text(), QStringLiteral("L08/A4 Zbiornik      0.00   5.00 m   4-20 [mA]"));
    dialog.SaveBtnClick();
    // Channel 2 is empty between configured ones: told, stored all the same.
    EXPECT_TRUE(shown("Przekaźniki należy wpiąć w kolejne wejścia L"));
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
    EXPECT_EQ(static_cast<int>(r.msr_mask), 0x0009);
    EXPECT_EQ(static_cast<int>(r.cnt_flags), 0x0002);
    EXPECT_EQ(r.cnt2, 2);
    EXPECT_EQ(readMsrSetting(r, 4).p1, 500);
    EXPECT_EQ(readMsrSetting(r, 3).p1, 160);
}

TEST_F(Dialogs, PomiaryDeletesAChannelAndSaysNothingWhenTheInputsFollowInOrder) {
    SubscriberRecord r{};
    writeMsrSetting(r, 0, pressureChannel());
    writeMsrSetting(r, 1, pressureChannel());
    THydroMsr dialog(r, false, messages);
    dialog.MsrList->setCurrentRow(1);
    dialog.DeleteBtnClick();
    EXPECT_EQ(dialog.MsrList->item(1)->text(), QStringLiteral("L11/A1 -----"));
    dialog.SaveBtnClick();
    EXPECT_TRUE(ui.boxes.empty());
    EXPECT_FALSE(readMsrSetting(r, 1).configured());
    EXPECT_EQ(readMsrSetting(r, 1).v1, 5000) << "the rest of the setting stays";
    EXPECT_TRUE(readMsrSetting(r, 0).configured());
}

TEST_F(Dialogs, PomiaryOfAReadOnlyCardEditsNothing) {
    SubscriberRecord r{};
    writeMsrSetting(r, 0, pressureChannel());
    const SubscriberRecord before = r;
    THydroMsr dialog(r, true, messages);
    EXPECT_FALSE(dialog.SaveBtn->isEnabled());
    EXPECT_FALSE(dialog.DeleteBtn->isEnabled());
    bool opened = false;
    dialog.editChannel = [&](MsrSetting&, QWidget*) { return opened = true; };
    dialog.MsrListDblClick(0);
    dialog.DeleteBtnClick();
    dialog.SaveBtnClick();
    EXPECT_FALSE(opened);
    EXPECT_EQ(std::memcmp(&r, &before, sizeof r), 0);
}

TEST_F(Dialogs, OpenHydroMeasurementsRunsTheDialogModally) {
    SubscriberRecord r{};
    QTimer::singleShot(0, [] {
        for (QWidget* w : QApplication::topLevelWidgets())
            if (auto* d = qobject_cast<THydroMsr*>(w)) d->SaveBtnClick();
    });
    EXPECT_TRUE(openHydroMeasurements(r, false, messages, nullptr));
}

TEST_F(Dialogs, PrzeliczenieCalibratesAnEmptyChannelByItsRange) {
    MsrSetting s;
    TPrzeliczenie dialog(s, messages);
    EXPECT_FALSE(dialog.ZakresOd->isReadOnly());
    dialog.Pomiar->setCurrentIndex(2);
    dialog.Przetwornik->setCurrentIndex(0);
    dialog.Opornik->setText("250");
    dialog.ZakresOd->setText("0");
    dialog.ZakresDo->setText("1.6");
    dialog.SaveBtnClick();
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
    EXPECT_EQ(s.type, 2);
    EXPECT_EQ(s.resistor, 25);
    EXPECT_EQ(s.p0, 0);
    EXPECT_EQ(s.p1, 160);
    EXPECT_EQ(s.v0, 1000);
    EXPECT_EQ(s.v1, 5000);
}

TEST_F(Dialogs, PrzeliczenieRefusesWhatCannotBeCalibrated) {
    const struct {
        int converter;
        const char *ohms, *from, *to;
        const char* told;
        bool resetsRange;
    } cases[] = {
        {0, "0", "0", "1.6", "Kalibracja zakresem wymaga podania opornika lub/i wartości granicznych", true},
        {0, "250", "1", "1", "Kalibracja zakresem wymaga podania opornika lub/i wartości granicznych", false},
        {0, "3000", "0", "1.6", "jest za duży", false},
        {1, "1640", "0", "1.6", "jest za duży", false},
        {0, "250", "0", "1000", "nie mieści się w polu kalibracji", false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.ohms + std::string(" ") + c.to);
        ui.boxes.clear();
        MsrSetting s;
        TPrzeliczenie dialog(s, messages);
        dialog.Pomiar->setCurrentIndex(2);
        dialog.Przetwornik->setCurrentIndex(c.converter);
        dialog.Opornik->setText(c.ohms);
        dialog.ZakresOd->setText(c.from);
        dialog.ZakresDo->setText(c.to);
        dialog.SaveBtnClick();
        EXPECT_NE(dialog.result(), QDialog::Accepted);
        EXPECT_TRUE(shown(c.told));
        if (c.resetsRange) {
            EXPECT_FALSE(s.configured());
        }
    }
    // The voltage converter needs no resistor.
    MsrSetting volts;
    TPrzeliczenie dialog(volts, messages);
    dialog.Pomiar->setCurrentIndex(3);
    dialog.Przetwornik->setCurrentIndex(3);
    dialog.Opornik->setText("0");
    dialog.ZakresOd->setText("0");
    dialog.ZakresDo->setText("100");
    dialog.SaveBtnClick();
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
    EXPECT_EQ(volts.v1, 10000);
}

TEST_F(Dialogs, PrzeliczenieAsksBeforeANewResistorChangesACalibration) {
    for (const BoxAnswer answer : {BoxAnswer::Yes, BoxAnswer::No}) {
        ui.boxes.clear();
        MsrSetting s = pressureChannel();
        TPrzeliczenie dialog(s, messages);
        EXPECT_TRUE(dialog.ZakresOd->isReadOnly());
        EXPECT_EQ(dialog.ZakresOd->text(), QStringLiteral("0.00"));
        EXPECT_EQ(dialog.ZakresDo->text(), QStringLiteral("1.60"));
        EXPECT_EQ(dialog.Opornik->text(), QStringLiteral("250"));
        dialog.Opornik->setText("120");
        ui.answers.push_back(answer);
        dialog.SaveBtnClick();
        EXPECT_TRUE(shown("Zmiany wpłyną na kalibrację! Przeprowadzić kalibrację zakresem?"));
        EXPECT_EQ(dialog.result(), QDialog::Accepted);
        EXPECT_EQ(s.resistor, 12);
        EXPECT_EQ(s.p1, 160);
        // Yes: the same range on the new resistor's span; No: the old points.
        EXPECT_EQ(s.v0, answer == BoxAnswer::Yes ? 480 : 1000);
        EXPECT_EQ(s.v1, answer == BoxAnswer::Yes ? 2400 : 5000);
    }
}

TEST_F(Dialogs, KalibracjaTakesTwoPointsAndRefusesOneSignalForBoth) {
    MsrSetting s = pressureChannel();
    {
        TKalibracja dialog(s, messages);
        EXPECT_EQ(dialog.Value0->text(), QStringLiteral("0.00"));
        EXPECT_EQ(dialog.Raw0->text(), QStringLiteral("1000"));
        EXPECT_EQ(dialog.Value1->text(), QStringLiteral("1.60"));
        EXPECT_EQ(dialog.Raw1->text(), QStringLiteral("5000"));
        dialog.Value0->setText("0.2");
        dialog.Raw0->setText("1800");
        dialog.Raw1->setText("1800");
        dialog.SaveBtnClick();
        EXPECT_NE(dialog.result(), QDialog::Accepted);
        EXPECT_TRUE(shown("Punkty pomiarowe muszą mieć różne sygnały"));
        EXPECT_EQ(s.v0, 1000) << "nothing stored";
        dialog.Raw1->setText("4600");
        dialog.SaveBtnClick();
        EXPECT_EQ(dialog.result(), QDialog::Accepted);
    }
    EXPECT_EQ(s.p0, 20);
    EXPECT_EQ(s.v0, 1800);
    EXPECT_EQ(s.p1, 160);
    EXPECT_EQ(s.v1, 4600);
    // "Ka&libracja" of "Przeliczenie" shows the new range afterwards.
    TPrzeliczenie przeliczenie(s, messages);
    przeliczenie.calibrate = [](MsrSetting& edited, QWidget*) {
        edited.p1 = 100;
        return true;
    };
    przeliczenie.KalibracjaBtnClick();
    const RangeText range = rangeText(s);
    EXPECT_EQ(przeliczenie.ZakresDo->text().toStdString(), range.high.substr(range.high.find_first_not_of(' ')));
    EXPECT_TRUE(przeliczenie.ZakresDo->isReadOnly());
}

} // namespace
} // namespace k4
