// Any bytes as a frame from an IP panel: the parser and the judgement must
// answer every one with a frame that reads back, take nothing that fails
// its checks, and never read outside the bytes given.
#include "net/dc09_reception.h"

#include <cstdint>
#include <cstdlib>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string bytes(reinterpret_cast<const char*>(data), size);
    static const k4::SiaCodeMap codes;
    static const k4::Dc09Account clear{"1234", 1234, {}, false};
    static const k4::Dc09Account keyed{"5678", 42, *k4::dc09KeyFromHex("000102030405060708090A0B0C0D0E0F"), true};
    const k4::Dc09AccountLookup lookup = [](std::string_view a) -> const k4::Dc09Account* {
        if (a == "1234") return &clear;
        if (a == "5678") return &keyed;
        return nullptr;
    };
    auto fill = [] { return uint8_t{3}; };
    for (bool refuse : {true, false}) {
        k4::Dc09Policy policy;
        policy.refuseUnknownAccounts = refuse;
        // The frame as it came, and the same frame with its CRC and length
        // made right, so that the fuzzer reaches past the checks.
        for (int pass = 0; pass < 2; ++pass) {
            std::string frame = bytes;
            if (pass == 1) {
                if (bytes.size() < 10) break;
                frame = k4::dc09Wrap(std::string_view(bytes).substr(9, bytes.size() - 10));
            }
            const k4::Dc09Verdict v = k4::judgeDc09Frame(frame, 1796962500, policy, lookup, codes, fill);
            if (k4::parseDc09Frame(v.reply).error != k4::Dc09FrameError::None) std::abort();
            if (v.answer != k4::Dc09Answer::Ack && !v.events.empty()) std::abort();
            if (v.answer == k4::Dc09Answer::Ack && v.kind != "NULL" && v.events.empty()) std::abort();
            for (const k4::Dc09Event& e : v.events) {
                if (e.code < 0 || e.code > 0xFFF || e.sector < 0 || e.sector > 0xFFF) std::abort();
            }
        }
    }
    return 0;
}
