#include "net/binary_datagram.h"

namespace k4 {

namespace {

// Four packed digits, thousands first; the raw value when one is not decimal.
int packedNumber(uint8_t hi, uint8_t lo, bool& hex) {
    const int n[4] = {hi >> 4, hi & 0x0F, lo >> 4, lo & 0x0F};
    hex = n[0] > 9 || n[1] > 9 || n[2] > 9 || n[3] > 9;
    if (hex) return (hi << 8) | lo;
    return n[0] * 1000 + n[1] * 100 + n[2] * 10 + n[3];
}

} // namespace

std::optional<int> shortFormSubscriber(std::span<const uint8_t> d) {
    if (d.empty()) return std::nullopt;
    const size_t l = d[0];
    if ((l != 7 && l != 8) || l + 1 >= d.size() || !isMarker(d[l + 1])) return std::nullopt;
    bool hex = false;
    return packedNumber(d[l - 1], d[l], hex);
}

std::optional<LongForm> longForm(std::span<const uint8_t> d) {
    if (d.size() < kLongFormSize || !isMarker(d[kLongFormMarker])) return std::nullopt;
    LongForm f;
    f.command = d[1];
    f.marker = d[kLongFormMarker];
    f.subscriber = packedNumber(d[3], d[4], f.hexNumber);
    f.subsystem = d[5];
    f.code = (d[6] << 4) | (d[7] >> 4);
    f.sector = ((d[7] & 0x0F) << 8) | d[8];
    f.partner = d[11];
    return f;
}

uint8_t replyCode(uint8_t command) {
    switch (command) {
    case kDatagramReport: return 0x10;
    case kDatagramStatusConfirmed: return 0x40;
    case kDatagramReportConfirmed: return 0x80;
    case kDatagramKeepAlive: return 0x90;
    default: return 0;
    }
}

} // namespace k4
