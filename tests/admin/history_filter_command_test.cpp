#include "admin/admin_commands.h"

#include "database/stamp.h"
#include "history/history_entry.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>

#include <dirent.h>
#include <sstream>

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

HistoryEntry report(Stamp time, int subscriber, int code, int pathType) {
    HistoryEntry e{};
    e.time = time;
    e.subscriber = static_cast<int16_t>(subscriber);
    e.subsystem = 1;
    e.sector = 3;
    e.kind = static_cast<uint16_t>(code | (pathType << 12));
    e.code2 = static_cast<uint16_t>(code);
    return e;
}

Stamp noon(int day) {
    LocalDateTime t;
    t.year = 2026;
    t.month = 11;
    t.day = day;
    t.hour = 12;
    return StampFromLocal(t);
}

std::string historyOf(const std::vector<HistoryEntry>& entries) {
    std::string file(kHistoryHeaderSize, '\xFB');
    file.append(reinterpret_cast<const char*>(entries.data()), entries.size() * sizeof(HistoryEntry));
    return file;
}

size_t lines(const std::string& text) { return static_cast<size_t>(std::count(text.begin(), text.end(), '\n')); }

struct AdminHistory {
    test::TempDir tmp;
    AdminHistory() {
        HistoryEntry start = systemEntry(1, 0, 0, 0, 0, true);
        start.time = noon(1);
        tmp.write("logf", historyOf({start, report(noon(2), 1234, 0x130, 0), report(noon(3), 5678, 0x130, 1),
                                     report(noon(4), 1234, 0x131, 1), report(noon(5), 1234, 0x130, 6)}));
    }
};

TEST(AdminHistoryFilter, OptionsNarrowTheListLikeTheWindow) {
    AdminHistory h;
    const std::string logf = h.tmp.file("logf");
    struct Case {
        Args options;
        size_t expected;
    };
    const Case cases[] = {
        {{}, 5},
        {{"--with-work-start"}, 5},
        {{"--subscriber", "1234", "--with-work-start"}, 4},
        {{"--subscriber", "1234"}, 3},
        {{"--subscriber", "1234", "--code", "130"}, 2},
        {{"--track", "radiowy"}, 2},
        {{"--track", "radiowy", "--track", "Ethernet", "--subscriber", "1234"}, 2},
        {{"--from", "2026-11-03", "--to", "2026-11-04"}, 2},
        {{"--from-time", "2026.11.03 12:00", "--to-time", "2026.11.04 12:00"}, 1},
    };
    for (const Case& c : cases) {
        Args args = {"history", logf};
        args.insert(args.end(), c.options.begin(), c.options.end());
        const CommandRun r = run(args);
        EXPECT_EQ(r.status, 0) << r.err;
        EXPECT_EQ(lines(r.out), c.expected) << args.size() << " " << r.out;
    }
    EXPECT_EQ(run({"history", logf, "--code", "FFF"}).status, 2);
    EXPECT_EQ(run({"history", logf, "--track", "gołębie"}).status, 2);
}

TEST(AdminHistoryExport, WritesTheWindowsTextFileUnderItsName) {
    AdminHistory h;
    const std::string target = h.tmp.file("eksport");
    ASSERT_EQ(::mkdir(target.c_str(), 0755), 0);
    const CommandRun first = run({"history", "export", h.tmp.file("logf"), "--subscriber", "1234", "--dir", target});
    ASSERT_EQ(first.status, 0) << first.err;
    const CommandRun second = run({"history", "export", h.tmp.file("logf"), "--subscriber", "1234", "--dir", target});
    ASSERT_EQ(second.status, 0) << second.err;
    std::vector<std::string> names;
    DIR* d = ::opendir(target.c_str());
    ASSERT_NE(d, nullptr);
    while (dirent* e = ::readdir(d))
        if (e->d_name[0] != '.') names.push_back(e->d_name);
    ::closedir(d);
    std::sort(names.begin(), names.end());
    ASSERT_EQ(names.size(), 2u); // no temporary file left
    EXPECT_EQ(names[0].front(), 'h');
    EXPECT_EQ(names[0].size(), std::string("hb141205.txt").size());
    const std::string text = h.tmp.read("eksport/" + names[0]);
    EXPECT_EQ(lines(text), 3u);
    EXPECT_NE(text.find("\r\n"), std::string::npos);
    EXPECT_EQ(first.out, target + "/" + names[0] + "\n");
    // Without a target directory nothing is written.
    EXPECT_EQ(run({"history", "export", h.tmp.file("logf")}).status, 2);
}

} // namespace
} // namespace k4::admin
