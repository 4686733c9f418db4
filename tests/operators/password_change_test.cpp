#include "operators/password_change.h"

#include "config/config.h"
#include "messages/messages.h"
#include "operators/scramble.h"
#include "operators/supervisor_password.h"
#include "support/scripted_operator_ui.h"
#include "support/small_tmpfs.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>

#include <cstddef>
#include <cstdio>
#include <cstring>
#include <deque>

namespace k4 {
namespace {

struct TwoEntries final : PasswordPrompt {
    std::deque<std::optional<std::string>> typed;
    std::vector<std::pair<std::string, int>> asked;
    std::optional<std::string> askPassword(const std::string& label, int help) override {
        asked.emplace_back(label, help);
        if (typed.empty()) return std::nullopt;
        auto t = typed.front();
        typed.pop_front();
        return t;
    }
};

constexpr size_t kSuperPassAt = offsetof(ConfigBlock, super_pass);

std::string confWith(const std::string& password) {
    ConfigBlock block{};
    scrambledField(password, block.super_pass);
    return std::string(reinterpret_cast<const char*>(&block), sizeof block);
}

TEST(PasswordChange, OutcomesAgainstTheFile) {
    static_assert(kSuperPassAt == 24);
    struct Case {
        std::deque<std::optional<std::string>> typed;
        std::string stored;  // the password in "conf" afterwards
        const char* told;    // the message, or none
    };
    const Case cases[] = {
        {{"nowe", "nowe"}, "nowe", "Hasło uległo zmianie."},
        {{"0123456789", "0123456789"}, "0123456789", "Hasło uległo zmianie."},
        {{"nowe1", "nowe2"}, "stare", "Podano różne hasła - stare hasło nie zostało zmienione!!!"},
        {{"Nowe", "nowe"}, "stare", "Podano różne hasła - stare hasło nie zostało zmienione!!!"},
        {{"01234567890", "01234567890"}, "stare",
         "Hasło może mieć najwyżej 10 znaków - stare hasło nie zostało zmienione!!!"},
        {{"nowe", std::nullopt}, "stare", nullptr},
        {{std::nullopt}, "stare", nullptr},
    };
    for (const Case& c : cases) {
        test::TempDir dir;
        dir.write("conf", confWith("stare"));
        test::ScriptedOperatorUi ui;
        Messages messages(ui);
        Config config{DataDir(dir.path())};
        ASSERT_EQ(config.LoadConfig(1), 0);
        TwoEntries prompt;
        prompt.typed = c.typed;
        SCOPED_TRACE(c.typed.front().value_or("<Escape>"));
        EXPECT_EQ(changeSupervisorPassword(prompt, config, messages), c.stored != "stare");
        EXPECT_EQ(prompt.asked.front(), std::make_pair(std::string("Wprowadź nowe hasło"), 1066));
        if (prompt.asked.size() > 1) {
            EXPECT_EQ(prompt.asked[1].first, "Powtórz hasło");
        }
        const std::string bytes = dir.read("conf");
        ASSERT_EQ(bytes.size(), kConfigSize);
        uint8_t field[kCodeFieldSize];
        std::memcpy(field, bytes.data() + kSuperPassAt, kCodeFieldSize);
        EXPECT_EQ(unscrambledText(field), c.stored);
        EXPECT_EQ(bytes.find(c.stored), std::string::npos) << "never in the clear";
        EXPECT_EQ(unscrambledText(config.block().super_pass), c.stored);
        ASSERT_EQ(ui.boxes.size(), c.told ? 1u : 0u);
        if (c.told) {
            EXPECT_EQ(ui.boxes[0].text, c.told);
        }
    }
}

TEST(PasswordChange, ConfThatCannotBeWrittenKeepsTheOldPassword) {
    test::SmallTmpfs disk(1 << 20);
    if (!disk.mounted()) GTEST_SKIP() << disk.error();
    const DataDir dir(disk.path());
    {
        FILE* f = std::fopen(dir.file("conf").c_str(), "wb");
        const std::string image = confWith("stare");
        std::fwrite(image.data(), 1, image.size(), f);
        std::fclose(f);
    }
    Config config{dir};
    ASSERT_EQ(config.LoadConfig(1), 0);
    ASSERT_TRUE(disk.setReadOnly(true));
    test::ScriptedOperatorUi ui;
    Messages messages(ui);
    TwoEntries prompt;
    prompt.typed = {"nowe", "nowe"};
    EXPECT_FALSE(changeSupervisorPassword(prompt, config, messages));
    ASSERT_EQ(ui.boxes.size(), 1u);
    EXPECT_EQ(ui.boxes[0].text, " Błąd  zapisu konfiguracji"); // centred, as every error box
    EXPECT_EQ(unscrambledText(config.block().super_pass), "stare");
    disk.setReadOnly(false);
    Config reread{dir};
    ASSERT_EQ(reread.LoadConfig(1), 0);
    EXPECT_EQ(unscrambledText(reread.block().super_pass), "stare");
}

} // namespace
} // namespace k4
