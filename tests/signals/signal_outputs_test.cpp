// The station's outputs as one owner builds them: attached to the alarm list
// and the notices while they live, detached when they go, and a station with
// no sound and no session bus carries on.
#include "signals/signal_outputs.h"

#include "database/text_edge.h"
#include "support/history_rig.h"

#include <QCoreApplication>
#include <gtest/gtest.h>

namespace k4 {
namespace {

TEST(SignalOutputsTest, AttachedWhileTheyLiveAndDetachedAfter) {
    static int argc = 1;
    static char name[] = "kestrel4-tests";
    static char* argv[] = {name, nullptr};
    if (!QCoreApplication::instance()) new QCoreApplication(argc, argv);
    ::setenv("DBUS_SESSION_BUS_ADDRESS", "unix:path=/nonexistent/k4-bus", 1);
    test::HistoryRig rig;
    ASSERT_GE(rig.history.OpenHistory("logf"), 0);
    ConfigBlock config{};
    AlarmsList alarms(config, rig.history);
    {
        SignalOutputs outputs(config, rig.messages, alarms, DataDir(rig.dir.path()), SignalOutputs::SoundKind::None);
        EXPECT_FALSE(outputs.displayService().running());
        ASSERT_TRUE(outputs.soundFiles().setSlot(2, "gone.wav"));
        AlarmRecord alarm;
        alarm.codeWord = 0x2130;
        alarms.raiseAlarm(alarm, 2);
        // The silent back end never reports a file missing: the slot stays.
        EXPECT_EQ(outputs.soundFiles().slot(2), "gone.wav");
        EXPECT_TRUE(rig.ui.boxes.empty());
        rig.messages.ShowNotice(mz("Brak linii"), kNoticeAlarm);
        EXPECT_EQ(rig.ui.boxes.size(), 1u);
    }
    AlarmRecord later;
    later.codeWord = 0x3130;
    EXPECT_EQ(alarms.raiseAlarm(later, 3), 0) << "no dangling sound or broadcast after the outputs went";
    rig.messages.ShowNotice(mz("Brak linii"), kNoticeAlarm);
}

} // namespace
} // namespace k4
