#include "baselink/ui/tech_form.h"

#include "baselink/trace_ring.h"
#include "history/history_log.h"
#include "processing/scheduler.h"
#include "processing/scheduler_entry.h"
#include "support/manual_clock.h"
#include "support/qt_test_app.h"
#include "support/scripted_operator_ui.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QLineEdit>
#include <QListView>
#include <QTest>

namespace k4 {
namespace {

TEST(TTechForm, ViewsFilterAndTracing) {
    test::qtApp();
    test::TempDir dir;
    test::ManualClock clock;
    test::ScriptedOperatorUi ui;
    Messages messages(ui);
    bool suspended = false;
    HistoryLog history(DataDir(dir.path()), messages, clock, suspended);
    Scheduler scheduler(DataDir(dir.path()), clock, messages, history);
    ASSERT_EQ(scheduler.schedule(60, 12, kSchedRemoveBlk, 1), 0);
    ASSERT_EQ(scheduler.schedule(120, 40, kSchedCheckTest, 2), 0);
    TraceRing trace;
    trace.add("old line");

    auto form = std::make_unique<TTechForm>(trace, &scheduler, clock);
    EXPECT_EQ(form->windowTitle(), QStringLiteral("Informacje techniczne"));
    EXPECT_EQ(form->viewCount(), 2);
    EXPECT_EQ(form->currentLine(), 1) << "the last line selected";
    EXPECT_TRUE(form->lineText(0).endsWith(QStringLiteral("0012 (01) - REMOVEBLK")));

    form->findChild<QLineEdit*>("Edit1")->setText(QStringLiteral("40"));
    form->Button3Click();
    EXPECT_EQ(form->lineText(0), QStringLiteral("---------"));
    EXPECT_TRUE(form->lineText(1).endsWith(QStringLiteral("0040 (02) - CHECKTEST")));

    form->Button2Click();
    EXPECT_TRUE(trace.enabled());
    EXPECT_EQ(form->viewCount(), 20);
    for (int i = 0; i < 20; ++i) EXPECT_EQ(form->lineText(i), QStringLiteral("-")) << "the ring starts empty";
    trace.add("TX 0A 05");
    EXPECT_EQ(form->lineText(0), QStringLiteral("TX 0A 05"));

    form->Button1Click();
    EXPECT_FALSE(trace.enabled());
    EXPECT_EQ(form->viewCount(), 2);
    form->Button2Click();
    form.reset();
    EXPECT_FALSE(trace.enabled()) << "closing the window turns tracing off";
}

// The serial view fills from slot 0 and wraps: whichever slot the freshest
// line is in, it is in view, from the first line on and after the ring has
// gone round.
TEST(TTechForm, SerialViewShowsTheFreshestLineWithoutScrolling) {
    test::qtApp();
    test::ManualClock clock;
    TraceRing trace;
    TTechForm form(trace, nullptr, clock);
    form.show();
    QApplication::processEvents();
    auto* list = form.findChild<QListView*>("ListBox");
    ASSERT_NE(list, nullptr);
    auto inView = [&](int line) {
        return list->viewport()->rect().contains(list->visualRect(list->model()->index(line, 0)));
    };

    form.Button2Click();
    QApplication::processEvents();
    EXPECT_TRUE(inView(0)) << "where the first line will come";
    for (int written = 1; written <= 2 * TraceRing::kLines + 3; ++written) {
        trace.add("RX " + std::to_string(written));
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, QPoint(5, 5));
        QApplication::processEvents();
        const int freshest = (trace.nextSlot() + TraceRing::kLines - 1) % TraceRing::kLines;
        ASSERT_EQ(form.lineText(freshest), QString::fromStdString("RX " + std::to_string(written)));
        EXPECT_TRUE(inView(freshest)) << "line " << written << " in slot " << freshest;
    }
    for (int line = 0; line < TraceRing::kLines; ++line) EXPECT_TRUE(inView(line)) << "slot " << line;
    EXPECT_LE(form.height(), 480) << "the window still fits the station's screen";
}

} // namespace
} // namespace k4
