// The IP panels' accounts from the command line: added, listed without
// their keys, removed; the file readable by its owner alone.
#include "admin/admin_commands.h"

#include "support/temp_dir.h"

#include <gtest/gtest.h>

#include <sstream>
#include <sys/stat.h>

namespace k4::admin {
namespace {

struct CommandRun {
    int status;
    std::string out, err;
};

CommandRun run(const Args& args) {
    std::istringstream in;
    std::ostringstream out, err;
    const int status = runAdmin(args, in, out, err);
    return {status, out.str(), err.str()};
}

TEST(Dc09Accounts, AddListRemove) {
    test::TempDir tmp;
    const std::string dir = tmp.path();
    const std::string key = "00112233445566778899AABBCCDDEEFF";
    EXPECT_EQ(run({"dc09", "accounts", "add", "12ab", "77", key, dir}).status, 0);
    EXPECT_EQ(run({"dc09", "accounts", "add", "5555", "9", "-", dir}).status, 0);

    struct stat st{};
    ASSERT_EQ(::stat(tmp.file("dc09_accounts").c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0600u);

    const CommandRun listed = run({"dc09", "accounts", "list", dir});
    EXPECT_EQ(listed.status, 0);
    EXPECT_EQ(listed.out, "12AB 77 AES-128 ....EEFF\n5555 9 bez klucza\n");
    EXPECT_EQ(listed.out.find("00112233"), std::string::npos);

    EXPECT_EQ(run({"dc09", "accounts", "remove", "12AB", dir}).status, 0);
    EXPECT_EQ(run({"dc09", "accounts", "list", dir}).out, "5555 9 bez klucza\n");
    EXPECT_EQ(run({"dc09", "accounts", "remove", "12AB", dir}).status, 1);
}

TEST(Dc09Accounts, RefusesBadEntriesAndKeepsTheFile) {
    test::TempDir tmp;
    const std::string dir = tmp.path();
    struct Case {
        Args args;
        const char* message;
    };
    const Case cases[] = {
        {{"dc09", "accounts", "add", "12", "1", "-", dir}, "Numer konta"},
        {{"dc09", "accounts", "add", "12G4", "1", "-", dir}, "Numer konta"},
        {{"dc09", "accounts", "add", "1234", "10000", "-", dir}, "Numer abonenta"},
        {{"dc09", "accounts", "add", "1234", "x", "-", dir}, "Numer abonenta"},
        {{"dc09", "accounts", "add", "1234", "1", "0011", dir}, "Klucz"},
    };
    for (const Case& c : cases) {
        const CommandRun r = run(c.args);
        EXPECT_EQ(r.status, 2) << c.args[3];
        EXPECT_NE(r.err.find(c.message), std::string::npos) << r.err;
    }
    EXPECT_EQ(run({"dc09", "accounts", "list", dir}).out, "");
    // A line a hand broke is named, and no change writes over it.
    tmp.write("dc09_accounts", "1234 1 -\nbroken\n");
    EXPECT_EQ(run({"dc09", "accounts", "list", dir}).status, 1);
    EXPECT_EQ(run({"dc09", "accounts", "add", "5678", "2", "-", dir}).status, 1);
    EXPECT_EQ(tmp.read("dc09_accounts"), "1234 1 -\nbroken\n");
    EXPECT_EQ(run({"dc09", "--help"}).status, 0);
}

} // namespace
} // namespace k4::admin
