#pragma once
// Many IP panels at once, each on its own connection (or its own UDP
// socket), each sending its messages one after another and waiting for the
// ACK of each before the next, as real panels do; a message without an
// answer is sent again after a while. Panel i reports for account
// firstAccount + i (its digits are also the subscriber number), message j
// as "Nri1/BA" with zone j + 1, so whoever reads the history afterwards
// knows which entries must be there. Every answer is checked as the
// scenario player checks it.
#include <atomic>
#include <cstdint>
#include <ostream>
#include <string>
#include <vector>

namespace k4::sim {

struct Dc09SoakOptions {
    std::string station = "127.0.0.1";
    uint16_t port = 7300;
    int panels = 1000;
    int messages = 3;      // per panel
    int firstAccount = 5000;
    int udpEvery = 0;      // every Nth panel sends over UDP (0: all TCP)
    int intervalMs = 0;    // a panel's pause between an ACK and its next message
    // The panels come from 127.0.1.1, 127.0.1.2, ... this many a source
    // address, as panels of many sites would (the centre limits
    // connections per address).
    int panelsPerAddress = 50;
    // Then the message goes again. Panels wait tens of seconds; a short wait
    // under load only adds repeats to what the centre must store.
    int answerTimeoutMs = 30000;
    int attempts = 3; // sent at most this many times
    int secondsLimit = 120;      // the whole run, at most
    int64_t clockOffset = 0;     // added to the system's time for the time stamps
    const std::atomic<bool>* stop = nullptr;
};

struct Dc09SoakResult {
    int64_t sent = 0;       // frames sent, repeats included
    int64_t acked = 0;      // messages with their ACK
    int64_t repeated = 0;   // frames sent again after no answer
    int64_t wrong = 0;      // answers that were not the ACK expected
    int64_t lateAnswers = 0; // a repeated message's second ACK, after the next went
    int64_t naks = 0;        // NAKs (a busy centre past the time window): sent again
    int64_t lost = 0;       // messages given up after every attempt
    int connectFailures = 0;
    double seconds = 0;
    std::vector<double> ackMs; // message to ACK, one per acked message
    bool allAcked(const Dc09SoakOptions& o) const {
        return acked == static_cast<int64_t>(o.panels) * o.messages && wrong == 0 && lost == 0;
    }
};

Dc09SoakResult playDc09Soak(const Dc09SoakOptions& options, std::ostream& log);

// The p-th percentile (0..100) of the values, 0 when there are none.
double dc09Percentile(std::vector<double> values, double p);

// The source address of panel i.
std::string dc09SoakSource(const Dc09SoakOptions& options, int panel);

} // namespace k4::sim
