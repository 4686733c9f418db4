// "Czas": the correction field's range and what the configuration keeps.
#include "baselink/ui/time_form.h"

#include "admin/installation.h"

#include "config/config.h"
#include "messages/messages.h"
#include "support/qt_test_app.h"
#include "support/scripted_operator_ui.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>

#include <QLineEdit>

namespace k4 {
namespace {

TEST(TimeForm, TheFieldsRangeAndTheSixteenBitsKept) {
    EXPECT_EQ(storedCorrection("2400"), int16_t{2400});
    EXPECT_EQ(storedCorrection("-9999"), int16_t{-9999});
    EXPECT_EQ(storedCorrection("99999"), int16_t{32767}) << "the largest the configuration holds";
    EXPECT_FALSE(storedCorrection("-10000"));
    EXPECT_FALSE(storedCorrection("100000"));
    EXPECT_FALSE(storedCorrection("12a"));
    EXPECT_FALSE(storedCorrection(""));
}

TEST(TimeForm, SavesTheCorrectionIntoTheConfiguration) {
    test::qtApp();
    test::TempDir dir;
    test::ScriptedOperatorUi ui;
    Messages messages(ui);
    std::string error;
    ASSERT_TRUE(admin::writeFreshInstallation(dir.path(), false, error)) << error;
    Config config{DataDir(dir.path())};
    ASSERT_EQ(config.LoadConfig(1), 0);
    TTimeForm form(config, messages, {});
    form.CorrectionE->setText(QStringLiteral("2400"));
    EXPECT_EQ(form.SaveBtnClick(), 0);
    Config again{DataDir(dir.path())};
    ASSERT_EQ(again.LoadConfig(1), 0);
    EXPECT_EQ(static_cast<int16_t>(again.block().time_adjust), 2400);
    form.CorrectionE->setText(QStringLiteral("x"));
    EXPECT_EQ(form.SaveBtnClick(), -1);
    EXPECT_FALSE(ui.boxes.empty());
}

} // namespace
} // namespace k4
