#pragma once
// What most tests of a station part start from: a temporary data directory,
// time in the test's hand, a scripted operator, and the history log over
// them. Test fixtures take it as a base and add their own part.
#include "history/history_log.h"
#include "messages/messages.h"
#include "support/manual_clock.h"
#include "support/scripted_operator_ui.h"
#include "support/temp_dir.h"

namespace k4::test {

struct HistoryRig {
    TempDir dir;
    ManualClock clock;
    ScriptedOperatorUi ui;
    Messages messages{ui};
    bool suspended = false;
    HistoryLog history{DataDir(dir.path()), messages, clock, suspended};
};

} // namespace k4::test
