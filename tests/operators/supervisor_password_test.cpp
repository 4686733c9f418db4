#include "operators/supervisor_password.h"

#include "operators/scramble.h"
#include "messages/messages.h"
#include "support/scripted_operator_ui.h"

#include <gtest/gtest.h>

namespace k4 {
namespace {

struct TypedPassword final : PasswordPrompt {
    std::optional<std::string> typed;
    std::string label;
    int help = 0;
    std::optional<std::string> askPassword(const std::string& l, int h) override {
        label = l;
        help = h;
        return typed;
    }
};

TEST(SupervisorPassword, RightWrongAndAbandoned) {
    ConfigBlock config{};
    scrambledField("kestrel", config.super_pass);
    test::ScriptedOperatorUi ui;
    Messages messages(ui);
    TypedPassword prompt;

    struct Case {
        std::optional<std::string> typed;
        bool before;
        int result;
        bool after;
        bool told;
    };
    const Case cases[] = {
        {"kestrel", false, 1, true, false},
        {"Kestrel", true, 0, false, true},   // case counts; a wrong one clears the flag
        {"kestrel1", false, 0, false, true}, // the stored text is not a prefix test
        {std::nullopt, true, 0, true, false}, // Escape leaves the flag alone
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.typed.value_or("<Escape>"));
        ui.boxes.clear();
        prompt.typed = c.typed;
        bool supervisor = c.before;
        EXPECT_EQ(askSupervisorPassword(prompt, config, messages, supervisor), c.result);
        EXPECT_EQ(supervisor, c.after);
        EXPECT_EQ(prompt.label, "Podaj hasło nadzoru");
        EXPECT_EQ(prompt.help, 1068);
        ASSERT_EQ(ui.boxes.size(), c.told ? 1u : 0u);
        if (c.told) EXPECT_EQ(ui.boxes[0].text, "NIEPOPRAWNE HASŁO!!!");
    }
}

} // namespace
} // namespace k4
