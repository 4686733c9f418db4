#include "net/reply_limiter.h"

#include "net/ip_text.h"

namespace k4 {

namespace {

uint32_t keyOf(const std::string& address) {
    if (const auto ip = parseDottedIp(address))
        return (uint32_t{(*ip)[0]} << 24) | (uint32_t{(*ip)[1]} << 16) | (uint32_t{(*ip)[2]} << 8) | (*ip)[3];
    uint32_t h = 2166136261u;
    for (char c : address) h = (h ^ static_cast<uint8_t>(c)) * 16777619u;
    return h;
}

uint32_t hashOf(std::span<const uint8_t> bytes) {
    uint32_t h = 2166136261u;
    for (uint8_t b : bytes) h = (h ^ b) * 16777619u;
    return h;
}

} // namespace

ReplyLimiter::Entry& ReplyLimiter::entryOf(const std::string& address, uint64_t nowMs) {
    const uint32_t key = keyOf(address);
    Entry& e = entries_[(key * 2654435761u) >> 24];
    if (!e.used || e.address != key) {
        // Another address in the slot: it starts afresh. A flood over many
        // addresses can only make answers more likely, never unbounded.
        e = Entry{};
        e.used = true;
        e.address = key;
        e.secondStartMs = nowMs;
    }
    if (nowMs - e.secondStartMs >= 1000) {
        e.secondStartMs = nowMs;
        e.count = 0;
    }
    return e;
}

bool ReplyLimiter::allow(const std::string& address, uint64_t nowMs) {
    Entry& e = entryOf(address, nowMs);
    if (e.count >= kPerSecond) {
        ++refused_;
        return false;
    }
    ++e.count;
    return true;
}

bool ReplyLimiter::allowEcho(const std::string& address, std::span<const uint8_t> datagram, uint64_t nowMs) {
    Entry& e = entryOf(address, nowMs);
    const uint32_t h = hashOf(datagram);
    if (e.echoAtMs != 0 && e.echoHash == h && nowMs - e.echoAtMs < kRepeatMs) {
        ++refused_;
        return false;
    }
    if (e.count >= kPerSecond) {
        ++refused_;
        return false;
    }
    ++e.count;
    e.echoHash = h;
    e.echoAtMs = nowMs == 0 ? 1 : nowMs;
    return true;
}

} // namespace k4
