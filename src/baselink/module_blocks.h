#pragma once
// The report blocks of the interface modules, decoded. Every module kind
// packs its report its own way: digits two to a byte, one digit a byte, or
// base-frame records; what they all become is one decoded block that the
// poll turns into a report, a probe answer or a note in the history.
// Nothing here touches the bus, so a block taken from the journal after a
// crash decodes exactly as it did when it came.
#include <array>
#include <cstdint>
#include <span>
#include <string>

namespace k4 {

// The settings of the centre that change how a block reads.
struct BlockOptions {
    int mode = 1;                   // the poll mode the block answered
    bool testTypeAA = false;        // "Typ testu (AA)"
    bool internalConverter = false; // "Konw. wewn."
    bool otrNew = false;            // the "OTR" option set to "Nowy"
};

enum class BlockOutcome : uint8_t {
    Report,           // a report for processing
    ProbeAnswer,      // the answer to a probe order (accepted or not)
    Incomplete,       // a Contact Id receiver heard only part of a report
    BareCall,         // a GSM call without data: the caller's number alone
    GprsAcknowledge,  // a GPRS base wants an acknowledgement order
    GprsConfirmation, // a GPRS base confirms a forwarded alarm
    QueuedTextEnd,    // a GPRS partner ends a queued text of the path
    Nothing,          // a block the centre has no use for
    Rejected,         // a block that does not hold together
};

struct DecodedBlock {
    BlockOutcome outcome = BlockOutcome::Nothing;
    int32_t subscriber = 0;
    int32_t subsystem = 255;
    int32_t code = 0;
    int32_t sector = 4095;
    bool unknownSubscriber = false; // the number came in hexadecimal
    bool probeAccepted = false;     // with ProbeAnswer
    // GSM: the caller's nine digits, as text.
    std::string phone;
    bool hasTime = false;
    std::array<uint8_t, 12> timeDigits{}; // YYMMDDhhmmss
    // Contact Id incomplete report: bytes 1..9 of the block.
    std::array<uint8_t, 9> raw{};
    // GPRS: the sender's address, the block type and byte 15.
    std::array<uint8_t, 4> address{};
    uint8_t gprsType = 0;
    uint8_t gprsParam = 0;
    uint8_t gprsQueueEntry = 0;
    // The report is to be passed on to the subscriber's forwarding base
    // over GPRS (a GPRS block of type 1 answering a mode-3 poll).
    bool forwardOverGprs = false;
};

// Digit k of a packed field: the high half of byte k/2 for even k.
inline int nibbleAt(std::span<const uint8_t> block, int k) {
    const size_t at = static_cast<size_t>(k / 2);
    if (at >= block.size()) return 0;
    return (k % 2 == 0) ? (block[at] >> 4) : (block[at] & 0x0F);
}
// count nibbles from k read in the given base (nibbles above 9 still count
// with their own value when read as decimal).
uint32_t packedField(std::span<const uint8_t> block, int k, int count, int base);

// The block lengths a poll receives by path kind and status.
int reportBlockLength(int pathKind, int status);

// Each kind's block; the spans are the bytes received (shorter ones read as
// if the missing bytes were 0, which a decoder must survive).
DecodedBlock decodeStandardBlock(std::span<const uint8_t> block, const BlockOptions& options);
DecodedBlock decodeAdemcoBlock(std::span<const uint8_t> block);
DecodedBlock decodeContactIdBlock(std::span<const uint8_t> block, const BlockOptions& options);
DecodedBlock decodeGprsBlock(std::span<const uint8_t> block, const BlockOptions& options);
DecodedBlock decodeGsmBlock(std::span<const uint8_t> block, const BlockOptions& options);
// pathKind 0xA0: the length-and-records layout; other radio kinds: four
// subscriber digits and a code record.
DecodedBlock decodeExtendedRadioBlock(std::span<const uint8_t> block, int pathKind);

// The decoder of a path kind for a report block answering status (1 or 4),
// and the probe-answer rule applied to what it gives.
DecodedBlock decodeReportBlock(int pathKind, int status, std::span<const uint8_t> block,
                               const BlockOptions& options);
// Whether a decoded report is in truth a probe answer, and whether it
// answers the order the path sent. Sets outcome and probeAccepted.
void classifyProbeAnswer(int pathKind, std::span<const uint8_t> block, const BlockOptions& options,
                         DecodedBlock& decoded);

} // namespace k4
