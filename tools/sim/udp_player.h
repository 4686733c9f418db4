#pragma once
// The devices of the centre's network: Ethernet receiving bases (the text
// protocol: they answer the centre's "%NN#" probe with their kind and every
// other "%" command with "%NN #", and send "$"/"&" report messages) and
// transmitters of the two binary channels (short-form keep-alives and
// long-form reports). Each device has a socket of its own on its address at
// the channel's port, so the station's answers reach it. One step a line:
//
//   base N ADDRESS KIND        base of line N (0-based) of the IP base table;
//                              KIND the byte it answers the probe with (hex)
//   silent N                   base N stops answering commands
//   message N SEQ TEXT...      "$SEQ TEXT#" from base N; must get "$SEQ#"
//   confirm N SEQ TEXT...      the same, a report the base wants confirmed
//                              (a "g" token of type 08): after "$SEQ#" the
//                              confirmation must come, the text with "%"
//                              first, type 80 and flags 03
//   keepalive eth|gprs ADDRESS SUB         short form; must come back unchanged
//   report eth|gprs ADDRESS SUB CODE [SUBSYSTEM [SECTOR]]   0x01; must get 0x10
//   confirmed eth|gprs ADDRESS SUB CODE [SUBSYSTEM [SECTOR]] 0x08; must get 0x80
//   status eth|gprs ADDRESS SUB SUBSYSTEM  0x04; must get 0x40
//   wait SECONDS
//
// SUB decimal, CODE/SUBSYSTEM/SECTOR/KIND hexadecimal, SEQ two hex digits.
#include <atomic>
#include <cstdint>
#include <istream>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

namespace k4::sim {

struct UdpStep {
    enum class Kind { Base, Silent, Message, KeepAlive, Report, Confirmed, Status, Wait };
    Kind kind = Kind::Wait;
    int base = 0;
    std::string address;
    int kindByte = 0;
    bool ethernet = true;
    std::vector<uint8_t> bytes; // what goes out
    std::vector<uint8_t> expect; // what must come back (empty: nothing checked)
    std::vector<uint8_t> expectAfter; // what must come after it (empty: nothing)
    double seconds = 0;
    std::string text;
};

std::optional<std::vector<UdpStep>> parseUdpScenario(std::istream& in, std::string& error);

struct UdpPorts {
    uint16_t text = 7024;
    uint16_t vgprs = 1024;
    uint16_t ethernet = 8024;
};

struct UdpPlayOptions {
    std::string station = "127.0.0.1";
    UdpPorts ports;
    int answerTimeoutMs = 2000;
    double lingerSeconds = 5;
    bool quiet = false;
    const std::atomic<bool>* stop = nullptr;
};

struct UdpPlayResult {
    int passed = 0;
    int failed = 0;
    int probes = 0;   // "%NN#" queries answered
    int commands = 0; // other "%" commands answered
};

UdpPlayResult playUdpScenario(const std::vector<UdpStep>& steps, const UdpPlayOptions& options, std::ostream& log);

} // namespace k4::sim
