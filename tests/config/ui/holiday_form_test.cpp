#include "config/ui/holiday_form.h"

#include "database/stamp.h"
#include "messages/messages.h"
#include "support/manual_clock.h"
#include "support/qt_test_app.h"
#include "support/scripted_operator_ui.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>

#include <QCheckBox>
#include <QDateEdit>

namespace k4 {
namespace {

TEST(THoliday, ShowsTheStoredHolidayAndSavesTheOperatorsOne) {
    test::qtApp();
    test::TempDir dir;
    test::ScriptedOperatorUi ui;
    Messages messages{ui};
    test::ManualClock clock;
    ConfigBlock b{};
    LocalDateTime may;
    may.year = 2026, may.month = 5, may.day = 3;
    b.holiday_date = StampFromLocal(may);
    b.holiday_flag = 1;
    dir.write("conf", std::string(reinterpret_cast<const char*>(&b), sizeof b));
    Config config{DataDir(dir.path())};
    ASSERT_EQ(config.LoadConfig(1), 0);

    THoliday form(config, clock, messages);
    EXPECT_EQ(form.windowTitle(), QStringLiteral("Najbliższe święto"));
    EXPECT_EQ(form.Data->date(), QDate(2026, 5, 3));
    EXPECT_EQ(form.Data->text(), QStringLiteral("2026.05.03"));
    EXPECT_TRUE(form.Dwudniowe->isChecked());
    EXPECT_EQ(form.Dwudniowe->text(), QStringLiteral("Święto dwudniowe"));

    form.Data->setDate(QDate(2026, 11, 11));
    form.Dwudniowe->setChecked(false);
    form.ZapiszClick();
    EXPECT_EQ(form.result(), QDialog::Accepted);
    Config again{DataDir(dir.path())};
    ASSERT_EQ(again.LoadConfig(1), 0);
    const LocalDateTime saved = LocalFromStamp(static_cast<int32_t>(again.block().holiday_date));
    EXPECT_EQ(saved.month, 11);
    EXPECT_EQ(saved.day, 11);
    EXPECT_EQ(static_cast<int16_t>(again.block().holiday_flag), 0);
}

} // namespace
} // namespace k4
