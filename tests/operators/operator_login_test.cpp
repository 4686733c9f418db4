#include "operators/operator_login.h"

#include "database/stamp.h"
#include "database/text_edge.h"
#include "operators/operator_file_names.h"
#include "operators/operator_list.h"
#include "operators/supervisor_password.h"
#include "processing/event_text.h"
#include "support/history_rig.h"

#include <gtest/gtest.h>

#include <cstring>

namespace k4 {
namespace {

struct TypedCode final : PasswordPrompt {
    std::optional<std::string> typed;
    std::string label;
    int help = 0;
    std::optional<std::string> askPassword(const std::string& l, int h) override {
        label = l;
        help = h;
        return typed;
    }
};

struct Login : test::HistoryRig, testing::Test {
    TypedCode prompt;
    void SetUp() override {
        ASSERT_GE(history.OpenHistory("logf"), 0);
        SOperatLst list{DataDir(dir.path())};
        ASSERT_TRUE(list.Load());
        const std::pair<const char*, const char*> operators[] = {{"Nowak", "Now123"}, {"Wiśniewski", "Wiś123"}};
        for (const auto& [name, code] : operators) {
            OperatorRecord r{};
            scrambledField(mz(code), r.code);
            std::strcpy(r.surname, mz(name).c_str());
            ASSERT_EQ(list.issueOperatorNumber(&r, 0), 0);
            ASSERT_EQ(list.Append(r), 0);
        }
        ASSERT_EQ(list.Save(), 0);
    }
    HistoryEntry lastEntry() const {
        const std::string logf = dir.read("logf");
        HistoryEntry e{};
        if (logf.size() >= kHistoryHeaderSize + kHistoryEntrySize)
            std::memcpy(&e, logf.data() + logf.size() - kHistoryEntrySize, kHistoryEntrySize);
        return e;
    }
    size_t entries() const { return (dir.read("logf").size() - kHistoryHeaderSize) / kHistoryEntrySize; }
};

TEST_F(Login, RightCodeWritesTheEntryWithTheOperatorsName) {
    prompt.typed = "Wiś123";
    prompt.typed = mz(*prompt.typed);
    const size_t before = entries();
    EXPECT_EQ(operatorLogin(prompt, DataDir(dir.path()), messages, history), 2);
    EXPECT_EQ(prompt.label, "Kod osobisty operatora");
    EXPECT_EQ(prompt.help, 1051);
    EXPECT_TRUE(ui.boxes.empty());
    ASSERT_EQ(entries(), before + 1);
    const HistoryEntry e = lastEntry();
    EXPECT_TRUE(e.isSystem());
    EXPECT_EQ(e.kindCode(), kHistoryOperatorLogin);
    EXPECT_EQ(e.subscriber, 2);

    EventTable events;
    events.setRecords({});
    PathTypeTable pathTypes;
    SOperatLst names{DataDir(dir.path())};
    ASSERT_TRUE(names.Load());
    EventFormatter formatter{events, pathTypes, nullptr, &names};
    const std::string line = Utf8FromMazovia(formatter.formatEvent(e));
    EXPECT_NE(line.find("Wiśniewski"), std::string::npos) << line;
}

TEST_F(Login, WrongEmptyOrAbandonedCodeWritesNothing) {
    const std::pair<std::optional<std::string>, bool> cases[] = {
        {std::string("Now124"), true}, {std::string("now123"), true}, {std::string(), true}, {std::nullopt, false}};
    for (const auto& [typed, told] : cases) {
        ui.boxes.clear();
        const size_t before = entries();
        prompt.typed = typed;
        EXPECT_EQ(operatorLogin(prompt, DataDir(dir.path()), messages, history), -1);
        EXPECT_EQ(entries(), before);
        ASSERT_EQ(ui.boxes.size(), told ? 1u : 0u);
        if (told) {
            EXPECT_EQ(ui.boxes[0].text, "Niepoprawny kod operatora");
        }
    }
}

} // namespace
} // namespace k4

namespace k4 {
namespace {

// The station's names for event lines read "operator" afresh: an operator
// added after the start is named at once.
TEST_F(Login, StationNamesReadTheFileAfresh) {
    OperatorFileNames names{DataDir(dir.path())};
    EXPECT_EQ(Utf8FromMazovia(*names.surnameOf(2)), "Wiśniewski");
    EXPECT_FALSE(names.surnameOf(3));
    SOperatLst list{DataDir(dir.path())};
    ASSERT_TRUE(list.Load());
    OperatorRecord r{};
    scrambledField("777", r.code);
    std::strcpy(r.surname, "Trzeci");
    ASSERT_EQ(list.issueOperatorNumber(&r, 0), 0);
    ASSERT_EQ(list.Append(r), 0);
    ASSERT_EQ(list.Save(), 0);
    EXPECT_EQ(*names.surnameOf(3), "Trzeci");
}

} // namespace
} // namespace k4
