#pragma once
// The receiver of IP panels' frames over TCP and UDP. The sockets (Qt
// Network in the station, a fake in tests) hand their bytes in; the
// receiver cuts frames, judges them and, within a bounded number of frames
// per tick, stores the taken ones through the intake before the ACK goes:
// a panel that got its ACK has its events on the disk. Connections are
// limited per address and in total, idle ones are closed, and a flood from
// one address is served a few frames a tick like every other sender.
#include "intake/frame_intake.h"
#include "net/dc09_accounts.h"
#include "net/dc09_reception.h"

#include <cstdint>
#include <deque>
#include <functional>
#include <map>
#include <string>
#include <string_view>
#include <vector>

namespace k4 {

struct Report;

// What the receiver asks of its sockets.
class Dc09Wire {
public:
    virtual ~Dc09Wire() = default;
    virtual void send(int connection, std::string_view bytes) = 0;
    virtual void close(int connection) = 0;
    virtual void sendDatagram(const std::string& address, uint16_t port, std::string_view bytes) = 0;
};

struct Dc09Limits {
    size_t connectionsTotal = 2048;
    size_t connectionsPerAddress = 64;
    size_t bufferBytes = 4096;           // unprocessed bytes of one connection
    size_t framesPerTick = 256;          // all senders together
    size_t framesPerSenderPerTick = 4;   // one connection or one address's datagrams
    size_t datagramsQueued = 1024;       // waiting datagrams, all addresses
    size_t datagramsPerAddress = 32;     // waiting datagrams of one address
    int64_t idleMs = 5 * 60 * 1000;      // a connection silent this long is closed
    int64_t technicalNoteMs = 60 * 1000; // one note of refusals per period at most
};

struct Dc09Statistics {
    uint64_t connections = 0, refusedConnections = 0, idleClosed = 0, overflowClosed = 0;
    uint64_t frames = 0, acked = 0, naked = 0, duhed = 0, notStored = 0, datagramsDropped = 0;
    std::map<Dc09Refusal, uint64_t> refusals;
};

class Dc09Receiver {
public:
    struct Services {
        Dc09Wire& wire;
        FrameIntake& intake;
        const Dc09AccountTable& accounts;
        const SiaCodeMap& codes;
        Dc09Policy policy;
        Dc09Limits limits;
        // The station's processing of one report of the receiver's path.
        std::function<void(const Report&)> process;
        // A NULL frame or a test event of a known subscriber.
        std::function<void(int32_t subscriber)> restartTest;
        // A counted note of refused frames for the technical window.
        std::function<void(const std::string&)> technicalNote;
    };
    // The path slot the receiver's reports carry.
    static constexpr int kIntakePort = 0;

    explicit Dc09Receiver(Services services);

    // --- From the sockets ----------------------------------------------
    // False: the connection is over a limit and is to be closed at once.
    bool opened(int connection, const std::string& address, int64_t nowMs);
    void arrived(int connection, std::string_view bytes, int64_t nowMs);
    void closed(int connection);
    void datagram(const std::string& address, uint16_t port, std::string_view bytes);

    // --- Every tick ----------------------------------------------------
    // Serves waiting frames within the tick's bounds; nowUtc is the
    // centre's clock in seconds UTC for the time stamps' window.
    void serve(int64_t nowMs, int64_t nowUtc);

    // The report of a stored frame: live, and again after a crash.
    void processStored(std::span<const uint8_t> record);

    const Dc09Statistics& statistics() const { return stats_; }
    // Lines of the statistics for the technical window (ASCII).
    std::vector<std::string> statisticsLines() const;
    size_t connectionCount() const { return connections_.size(); }

    // The journal record of a taken frame: what it reports, so that after a
    // crash it is processed without judging its time stamp again.
    static std::vector<uint8_t> encodeTaken(const Dc09Verdict& verdict);

private:
    struct Connection {
        std::string address;
        std::string buffer;
        int64_t lastMs = 0;
    };
    struct Datagram {
        std::string address;
        uint16_t port = 0;
        std::string bytes;
    };
    // One frame; the answer, empty when none may go.
    std::string handle(std::string_view frame, int64_t nowUtc);
    // The next whole frame of a buffer, or empty; drops bytes before an LF.
    static std::string nextFrame(std::string& buffer, size_t limit, bool& overflow);
    void refused(Dc09Refusal refusal, int64_t nowMs);
    void closeConnection(int connection);

    Services s_;
    std::map<int, Connection> connections_;
    std::map<std::string, size_t> perAddress_;
    std::deque<Datagram> datagrams_;
    std::map<std::string, size_t> datagramsPerAddress_;
    int resumeAfter_ = -1; // round robin: the connection served last
    Dc09Statistics stats_;
    uint64_t refusedSinceNote_ = 0;
    int64_t lastNoteMs_ = -1;
    int64_t nowMs_ = 0;
};

} // namespace k4
