#pragma once
// The binary datagrams of the transmitters on the Ethernet ("Y") and vGPRS
// ("X") channels. Byte 0 is the payload length L, byte L+1 the channel's
// marker. A short form (L 7 or 8) is a keep-alive naming its subscriber in
// bytes L-1 and L; the long form (marker at 13) carries a command code at
// byte 1 and a report in bytes 3..8.
#include <cstdint>
#include <optional>
#include <span>

namespace k4 {

enum : uint8_t {
    kMarkerVgprs = 'X',
    kMarkerEthernet = 'Y',
};

// Command codes of the long form, and the code each is answered with.
enum : uint8_t {
    kDatagramReport = 0x01,
    kDatagramStatusConfirmed = 0x04,
    kDatagramStatus = 0x20,
    kDatagramReportConfirmed = 0x08,
    kDatagramKeepAlive = 0x09,
    kDatagramPartnerConfirmation = 0x80,
};

constexpr int kLongFormMarker = 13;
constexpr int kLongFormSize = 14;

inline bool isMarker(uint8_t b) { return b == kMarkerVgprs || b == kMarkerEthernet; }

// The subscriber of a short form, when the datagram is one.
std::optional<int> shortFormSubscriber(std::span<const uint8_t> d);

struct LongForm {
    uint8_t command = 0;
    uint8_t marker = 0;
    int subscriber = 0;  // four packed decimal digits, or the raw 16 bits
    bool hexNumber = false; // a nibble was not decimal: unknown subscriber
    int subsystem = 0;
    int code = 0;
    int sector = 0;
    uint8_t partner = 0; // byte 11, of a partner's confirmation
};

// The long form, when byte 13 is a marker (the datagram must reach it).
std::optional<LongForm> longForm(std::span<const uint8_t> d);

// The answer code of a command, 0 for one not answered.
uint8_t replyCode(uint8_t command);

// The filler a partner sends to keep its channel open: nothing to report.
inline bool isFiller(const LongForm& f) {
    return f.subscriber == 0xAAAA && f.subsystem == 0xAA && f.code == 0xAAA && f.sector == 0xAAA;
}

} // namespace k4
