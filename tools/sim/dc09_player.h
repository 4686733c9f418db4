#pragma once
// Plays IP alarm panels at a centre: the frames of a scenario go out over
// TCP or UDP, and every answer is checked the way a panel reads it: its
// CRC and length, the kind expected (ACK, NAK, DUH), the sequence,
// receiver, line and account echoed, a NAK with the centre's time, and an
// encrypted answer, readable with the account's key, to an encrypted frame.
#include "sim/dc09_scenario.h"

#include <atomic>
#include <cstdint>
#include <functional>
#include <ostream>
#include <string>
#include <string_view>
#include <vector>

namespace k4::sim {

// What a panel sent, as much as it needs to judge the answer.
struct Dc09Sent {
    std::string sequence;
    std::string receiver;
    std::string line;
    std::string account;
    bool encrypted = false;
    std::vector<uint8_t> key; // the key the centre knows for the account
    Dc09Expect expect = Dc09Expect::Ack;
};

// Empty when the answer is what the panel expects; otherwise what is wrong
// with it (Polish, for the log).
std::string checkDc09Answer(const Dc09Sent& sent, std::string_view answer);

// The frame a panel sends: the kind, the sequence, the prefixes, the
// account, the data and the time stamp at stampAt (UTC), encrypted with key
// when it is not empty.
std::string dc09PanelFrame(std::string_view kind, const Dc09Sent& sent, std::string_view data, int64_t stampAt,
                           bool withStamp);

// The answer's bytes as they are, CR and LF shown.
std::string dc09Shown(std::string_view bytes);

struct Dc09PlayOptions {
    std::string station = "127.0.0.1";
    uint16_t port = 7300;
    std::string source;         // the panels' own address; empty: any
    int answerTimeoutMs = 3000; // how long an answer may take
    int silenceMs = 500;        // how long "expect none" listens
    bool quiet = false;         // log only the frames whose answer was wrong
    const std::atomic<bool>* stop = nullptr;
    // The panels' clock in seconds UTC; the system's by default.
    std::function<int64_t()> now;
};

struct Dc09PlayResult {
    int passed = 0;
    int failed = 0;
    int acks = 0, naks = 0, duhs = 0;
};

Dc09PlayResult playDc09Scenario(const std::vector<Dc09Step>& steps, const Dc09PlayOptions& options, std::ostream& log);

} // namespace k4::sim
