#pragma once
// One report of a subscriber's panel, whatever channel brought it: a module
// block, a base frame, a datagram or a text message all become this record.
#include <cstdint>
#include <optional>
#include <string>

namespace k4 {

struct Report {
    static constexpr int32_t kNoSubsystem = 255;
    static constexpr int32_t kNoSector = 4095;
    // Local sources in the path slot.
    static constexpr int32_t kPathSerialBase = -8;
    static constexpr int32_t kPathDemonstration = -1;
    // The receiver of IP panels: the Ethernet path type ("TE") and its test path.
    static constexpr int32_t kPathIpReceiver = -7;

    enum Flags : int32_t {
        kUnknownSubscriber = 0x01, // no look-up: the subscriber is not known
        kDemonstration = 0x02,
    };

    int32_t subscriber = 0;
    int32_t subsystem = kNoSubsystem; // 90 and above marks a last report
    int32_t code = 0;                 // 12 bits
    int32_t sector = kNoSector;
    int32_t path = 0;                 // slot of the path table, or a local source
    int32_t flags = 0;
    int32_t sentTime = 0;             // 0 unknown
    std::optional<std::string> text;
};

// The central processing of reports; every channel hands its reports here.
class ReportProcessor {
public:
    virtual ~ReportProcessor() = default;
    virtual int processReport(const Report& report) = 0;
};

} // namespace k4
