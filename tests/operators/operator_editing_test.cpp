#include "operators/operator_editing.h"

#include "messages/messages.h"
#include "operators/operator_list.h"
#include "support/scripted_operator_ui.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>

namespace k4 {
namespace {

struct Editing : testing::Test {
    test::TempDir dir;
    test::ScriptedOperatorUi ui;
    Messages messages{ui};
    SOperatLst list{DataDir(dir.path())};

    void SetUp() override {
        ASSERT_TRUE(list.Load());
        ASSERT_TRUE(saveOperator(list, -1, "111", "Jeden", messages));
        ASSERT_TRUE(saveOperator(list, -1, "222", "Dwa", messages));
        ASSERT_TRUE(ui.boxes.empty());
    }
    std::string told() const { return ui.boxes.empty() ? std::string() : ui.boxes.back().text; }
};

TEST_F(Editing, NumbersFollowTheSurname) {
    EXPECT_EQ(list.Item(0).number, 1);
    EXPECT_EQ(list.Item(1).number, 2);
    ASSERT_TRUE(saveOperator(list, 1, "333", "Dwa", messages)); // only the code: the number stays
    EXPECT_EQ(list.Item(1).number, 2);
    EXPECT_EQ(findOperatorByCode(list, "333"), 2);
    EXPECT_EQ(findOperatorByCode(list, "222"), -1);
    ASSERT_TRUE(saveOperator(list, 1, "333", "Dwaj", messages)); // renamed: a new identity
    EXPECT_EQ(list.Item(1).number, 3);
    ASSERT_TRUE(saveOperator(list, 0, "111", "Jeden", messages)); // saved unchanged
    EXPECT_EQ(list.Item(0).number, 1);
    SOperatLst again{DataDir(dir.path())};
    ASSERT_TRUE(again.Load());
    EXPECT_EQ(again.Count(), 2);
    EXPECT_EQ(findOperatorByCode(again, "333"), 3);
    EXPECT_EQ(again.lastIssued(), 3);
}

TEST_F(Editing, RefusalsLeaveTheFileAsItWas) {
    const std::string before = dir.read("operator");
    const struct {
        int at;
        const char* code;
        const char* surname;
        const char* message;
    } cases[] = {
        {-1, "", "Trzy", "Wprowadzono niepełną informację"},
        {0, "111", "", "Wprowadzono niepełną informację"},
        {-1, "222", "Trzy", "Podany kod należy już do innego operatora."},
        {0, "222", "Jeden", "Podany kod należy już do innego operatora."},
    };
    for (const auto& c : cases) {
        ui.boxes.clear();
        EXPECT_FALSE(saveOperator(list, c.at, c.code, c.surname, messages));
        EXPECT_EQ(told(), c.message);
        EXPECT_EQ(dir.read("operator"), before);
    }
}

TEST_F(Editing, RemovingAsksFirst) {
    ui.answers = {BoxAnswer::No};
    EXPECT_FALSE(removeOperator(list, 0, messages));
    EXPECT_EQ(told(), "Usunąć operatora?");
    EXPECT_EQ(list.Count(), 2);
    ui.answers = {BoxAnswer::Yes};
    EXPECT_TRUE(removeOperator(list, 0, messages));
    SOperatLst again{DataDir(dir.path())};
    ASSERT_TRUE(again.Load());
    ASSERT_EQ(again.Count(), 1);
    EXPECT_EQ(again.Item(0).number, 2);
    ASSERT_TRUE(saveOperator(again, -1, "444", "Cztery", messages));
    EXPECT_EQ(again.Item(1).number, 3);
}

} // namespace
} // namespace k4
