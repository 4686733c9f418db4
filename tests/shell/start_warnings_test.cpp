#include "shell/start_warnings.h"

#include "config/config.h"
#include "messages/messages.h"
#include "support/scripted_operator_ui.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>

namespace k4 {
namespace {

TEST(StartWarnings, BlockedBaseTestsAndUncheckedIncompleteReports) {
    struct Case {
        int mode;
        uint8_t options, options2;
        BoxAnswer answer;
        int boxes;
        bool checkingAfter; // incomplete reports checked after the start
    };
    const Case cases[] = {
        {0, 0, kOpt2BlockBase1Test, BoxAnswer::No, 0, true},  // mode 0 has no base tests
        {1, 0, kOpt2BlockBase2Test, BoxAnswer::No, 1, true},
        {2, kOptNoIncompleteCheck, kOpt2BlockBase1Test, BoxAnswer::Yes, 2, true},
        {3, kOptNoIncompleteCheck, 0, BoxAnswer::No, 1, false},
        {3, kOptNoIncompleteCheck, 0, BoxAnswer::Yes, 1, true},
    };
    for (const Case& c : cases) {
        test::TempDir dir;
        test::ScriptedOperatorUi ui;
        Messages messages(ui);
        Config config{DataDir(dir.path())};
        dir.write("conf", "");
        config.block().mode = static_cast<int16_t>(c.mode);
        config.block().options = c.options;
        config.block().options2 = c.options2;
        ASSERT_EQ(config.SaveConfig(1), 0);
        ui.answers.push_back(BoxAnswer::Ok);
        ui.answers.push_back(c.answer);
        if (c.boxes == 1 && (c.options & kOptNoIncompleteCheck)) ui.answers.pop_front();
        runStartWarnings(config, messages);
        EXPECT_EQ(static_cast<int>(ui.boxes.size()), c.boxes) << "mode " << c.mode;
        EXPECT_EQ(!(config.block().options & kOptNoIncompleteCheck), c.checkingAfter) << "mode " << c.mode;
        Config reread{DataDir(dir.path())};
        ASSERT_EQ(reread.LoadConfig(1), 0);
        EXPECT_EQ(reread.block().options, config.block().options) << "what was switched on is saved";
    }
}

} // namespace
} // namespace k4
