// One owner per data directory: while another process holds the station's
// lock, every command that writes refuses and leaves every file as it was;
// the commands that only read run and say they read a live directory.
#include "admin/admin_commands.h"

#include "platform/single_instance.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <map>
#include <sstream>

#include <sys/mount.h>
#include <sys/wait.h>
#include <unistd.h>

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

// Every file of a directory with its bytes.
std::map<std::string, std::string> snapshot(const test::TempDir& tmp, const std::string& sub) {
    std::map<std::string, std::string> files;
    for (const auto& entry : std::filesystem::directory_iterator(tmp.file(sub)))
        files[entry.path().filename().string()] = tmp.read(sub + "/" + entry.path().filename().string());
    return files;
}

// Another process holding the lock, as a running station does: it takes the
// same lock object the station takes and keeps it until the pipe closes.
class LockHolder {
public:
    explicit LockHolder(const std::string& lockPath) {
        int ready[2], release[2];
        if (::pipe(ready) != 0 || ::pipe(release) != 0) return;
        pid_ = ::fork();
        if (pid_ == 0) {
            ::close(ready[0]);
            ::close(release[1]);
            SingleInstance lock(lockPath);
            const char held = lock.acquire() ? 'y' : 'n';
            (void)!::write(ready[1], &held, 1);
            char byte;
            (void)!::read(release[0], &byte, 1);
            ::_exit(0);
        }
        ::close(ready[1]);
        ::close(release[0]);
        release_ = release[1];
        char held = 0;
        held_ = ::read(ready[0], &held, 1) == 1 && held == 'y';
        ::close(ready[0]);
    }
    ~LockHolder() {
        if (pid_ <= 0) return;
        ::close(release_);
        ::waitpid(pid_, nullptr, 0);
    }
    bool held() const { return held_; }

private:
    pid_t pid_ = -1;
    int release_ = -1;
    bool held_ = false;
};

TEST(AdminLock, WritesAreRefusedWhileAStationHoldsTheDirectoryAndReadsSaySo) {
    test::TempDir tmp;
    const std::string data = tmp.file("data");
    ASSERT_EQ(run({"init", data}).status, 0);
    tmp.write("in.csv", "number,name,town,tel\n1,Kowalski,Radom,481112233\n");
    ASSERT_EQ(run({"subscribers", "import", tmp.file("in.csv"), data}).status, 0);
    tmp.write("more.csv", "number,name\n2,Nowak\n");
    std::filesystem::create_directory(tmp.file("empty"));
    tmp.write("data/logf", std::string(10, '\xFB')); // a history without entries yet

    {
        LockHolder station(data + "/Kestrel4.lock");
        ASSERT_TRUE(station.held());
        LockHolder second(tmp.file("empty") + "/Kestrel4.lock");
        ASSERT_TRUE(second.held());
        const auto before = snapshot(tmp, "data");

        const std::vector<Args> writes = {
            {"init", data, "--force"},
            {"conf", "set", "mode=3", data},
            {"subscribers", "import", tmp.file("more.csv"), data},
            {"index", "rebuild", data},
            {"dc09", "accounts", "add", "1234", "12", "-", data},
            {"dc09", "accounts", "remove", "1234", data},
            {"demo", tmp.file("empty"), tmp.file("in.csv")},
            {"backup", tmp.file("kopia"), data},
            {"restore", tmp.file("kopia"), data, "--tak"},
        };
        for (const Args& w : writes) {
            const CommandRun r = run(w);
            EXPECT_EQ(r.status, 1) << w[0] << ' ' << w[1];
            EXPECT_NE(r.err.find("Stacja pracuje na tym katalogu - zatrzymaj ją najpierw"), std::string::npos)
                << w[0] << ": " << r.err;
            EXPECT_TRUE(r.out.empty()) << w[0] << ": " << r.out;
        }
        EXPECT_EQ(snapshot(tmp, "data"), before) << "nothing written while the station runs";
        EXPECT_EQ(snapshot(tmp, "empty").size(), 1u) << "only the station's lock file";

        const std::vector<Args> reads = {
            {"conf", "show", data},
            {"find", "--number", "1", data},
            {"subscribers", "export", data},
            {"db", "check", data},
            {"history", data + "/logf"},
        };
        for (const Args& r : reads) {
            const CommandRun result = run(r);
            EXPECT_EQ(result.status, 0) << r[0] << ": " << result.err;
            EXPECT_NE(result.err.find("Uwaga: stacja pracuje na tym katalogu"), std::string::npos) << r[0];
        }
        EXPECT_EQ(snapshot(tmp, "data"), before) << "a reader writes nothing";
    }

    // The station gone, the same import goes in and the readers are quiet.
    const CommandRun imported = run({"subscribers", "import", tmp.file("more.csv"), data});
    EXPECT_EQ(imported.status, 0) << imported.err;
    EXPECT_EQ(run({"find", "--number", "2", data}).err, "");
    EXPECT_FALSE(std::filesystem::exists(data + "/Kestrel4.lock")) << "the tool's own lock goes with it";
}

// A lock that cannot be written is no second station: the reason is told.
TEST(AdminLock, TheSoundGeneratorLeavesARunningStationsDirectoryAlone) {
    test::TempDir tmp;
    ASSERT_EQ(run({"init", tmp.file("c")}).status, 0);
    const auto before = snapshot(tmp, "c");
    const std::string command = std::string(KESTREL4_WAVGEN_PROGRAM) + " " + tmp.file("c") + " 2>" + tmp.file("err");
    {
        LockHolder station(tmp.file("c/Kestrel4.lock"));
        ASSERT_TRUE(station.held());
        const int status = std::system(command.c_str());
        EXPECT_EQ(WEXITSTATUS(status), 1);
        EXPECT_NE(tmp.read("err").find("Stacja pracuje na tym katalogu - zatrzymaj ją najpierw"), std::string::npos);
        auto during = snapshot(tmp, "c");
        during.erase("Kestrel4.lock");
        auto expected = before;
        expected.erase("Kestrel4.lock");
        EXPECT_EQ(during, expected) << "nothing written while the station holds the directory";
    }
    EXPECT_EQ(WEXITSTATUS(std::system(command.c_str())), 0);
    EXPECT_FALSE(std::filesystem::exists(tmp.file("c/Kestrel4.lock"))) << "the tool's own lock goes with it";
}

TEST(AdminLock, ALockThatCannotBeWrittenSaysWhy) {
    if (::geteuid() != 0) GTEST_SKIP() << "mounting a small file system needs root";
    struct Case {
        bool readOnly;
        const char* reason;
    };
    for (const Case& c : {Case{false, "brak miejsca na dysku"}, Case{true, "system plików tylko do odczytu"}}) {
        test::TempDir tmp;
        const std::string mount = tmp.file("mnt");
        std::filesystem::create_directory(mount);
        if (::mount("tmpfs", mount.c_str(), "tmpfs", 0, "size=256k") != 0) GTEST_SKIP() << "no tmpfs here";
        struct Unmount {
            std::string path;
            ~Unmount() { ::umount2(path.c_str(), MNT_DETACH); }
        } unmount{mount};
        // The installation first, then the file system full or read-only.
        ASSERT_EQ(run({"init", mount}).status, 0);
        if (c.readOnly)
            ASSERT_EQ(::mount("tmpfs", mount.c_str(), "tmpfs", MS_REMOUNT | MS_RDONLY, "size=256k"), 0);
        else
            tmp.write("mnt/filler", std::string(1024 * 1024, 'x')); // stops where the file system ends
        SingleInstance lock(mount + "/Kestrel4.lock");
        EXPECT_FALSE(lock.acquire());
        EXPECT_EQ(lock.refusal(), SingleInstance::Refusal::CannotWrite) << c.reason;
        EXPECT_EQ(lock.reason(), c.reason);
        const CommandRun r = run({"conf", "set", "mode=3", mount});
        EXPECT_EQ(r.status, 1);
        EXPECT_NE(r.err.find(c.reason), std::string::npos) << r.err;
        EXPECT_EQ(r.err.find("Stacja pracuje"), std::string::npos) << r.err;
    }
}

} // namespace
} // namespace k4::admin
