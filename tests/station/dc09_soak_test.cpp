// A thousand IP panels at once over loopback, a tenth of them over UDP,
// each sending its messages and waiting for the ACK of each: every message
// is ACKed and every ACKed message is in the history. What is looked for
// is loss in the receiver, not the disk's speed (bench/ measures that): the
// data directory is on a memory file system where there is one, so that
// the run stays short on a busy machine.
#include "station/dc09_station_rig.h"

#include <cstdlib>
#include <filesystem>
#include <set>
#include <tuple>

namespace k4 {
namespace {

// The temporary directories of one scope under /dev/shm.
struct MemoryTemp {
    std::string before;
    bool had = false;
    MemoryTemp() {
        if (const char* t = std::getenv("TMPDIR")) had = true, before = t;
        std::error_code e;
        if (std::filesystem::is_directory("/dev/shm", e)) ::setenv("TMPDIR", "/dev/shm", 1);
    }
    ~MemoryTemp() {
        if (had) ::setenv("TMPDIR", before.c_str(), 1);
        else ::unsetenv("TMPDIR");
    }
};

TEST(Dc09Soak, AThousandPanelsLoseNothing) {
    MemoryTemp memory;
    dc09test::Dc09Station rig;
    sim::Dc09SoakOptions soak;
    soak.panels = 1000;
    soak.messages = 3;
    soak.udpEvery = 10;
    soak.port = rig.port;
    soak.firstAccount = 5000;
    soak.secondsLimit = 80;
    for (int i = 0; i < soak.panels; ++i) {
        std::string reason;
        ASSERT_TRUE(rig.accounts.add(std::to_string(soak.firstAccount + i), soak.firstAccount + i, "-", &reason)) << reason;
    }
    std::string reason;
    ASSERT_TRUE(rig.accounts.save(DataDir(rig.tmp.path()), &reason)) << reason;
    rig.start();

    std::string log;
    const int status = rig.runPanels(
        [&](std::ostream& out, int64_t offset) {
            soak.clockOffset = offset;
            const sim::Dc09SoakResult r = sim::playDc09Soak(soak, out);
            out << r.acked << " acked in " << r.seconds << " s, " << r.repeated << " repeated, " << r.naks << " NAK, "
                << r.wrong << " wrong, " << r.lost << " lost" << std::endl;
            return r.allAcked(soak) ? 0 : 1;
        },
        log, 100);
    std::string statistics;
    for (const std::string& line : rig.station->ipPanels().receiver()->statisticsLines()) statistics += line + "\n";
    ASSERT_EQ(status, 0) << log << statistics;

    // Panel i's message j is subscriber 5000 + i's burglary in zone j + 1.
    std::multiset<std::tuple<int, int, int>> found;
    for (const HistoryEntry& e : rig.reports()) found.emplace(e.subscriber, e.kindCode(), e.sector & 0x0FFF);
    int missing = 0, twice = 0;
    for (int i = 0; i < soak.panels; ++i) {
        for (int j = 0; j < soak.messages; ++j) {
            const size_t n = found.count({soak.firstAccount + i, 0x130, j + 1});
            missing += n == 0;
            twice += n > 1;
        }
    }
    EXPECT_EQ(missing, 0);
    // A UDP panel that sent again before its ACK came may be stored twice;
    // over TCP every frame is answered, so nothing is.
    EXPECT_LE(twice, soak.panels / soak.udpEvery);
    EXPECT_EQ(rig.station->intake().heldCount(), 0);
}

} // namespace
} // namespace k4
