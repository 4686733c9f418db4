#include "baselink/module_blocks.h"

#include "baselink/digit_fields.h"

#include <algorithm>
#include <vector>

namespace k4 {

namespace {

constexpr int kChunk = 16;
constexpr int kMaxFurtherChunks = 9;

// Four subscriber nibbles from k: decimal, or when any of them is no decimal
// digit the same nibbles as a hexadecimal number of an unknown sender.
void readSubscriberNibbles(std::span<const uint8_t> block, int k, DecodedBlock& d) {
    bool decimal = true;
    for (int i = 0; i < 4; ++i) decimal = decimal && nibbleAt(block, k + i) <= 9;
    d.subscriber = static_cast<int32_t>(packedField(block, k, 4, decimal ? 10 : 16));
    d.unknownSubscriber = !decimal;
}

// A copy of the block (fixed length) with the nibbles from..to of value 0xA
// read as 0: receivers that send a digit 0 as 0xA.
std::vector<uint8_t> withTenAsZero(std::span<const uint8_t> block, size_t length, int from, int to) {
    std::vector<uint8_t> copy(length, 0);
    std::copy_n(block.begin(), std::min(block.size(), length), copy.begin());
    for (int k = from; k <= to; ++k) {
        uint8_t& b = copy[static_cast<size_t>(k / 2)];
        if (k % 2 == 0 && (b >> 4) == 0xA) b &= 0x0F;
        if (k % 2 == 1 && (b & 0x0F) == 0xA) b &= 0xF0;
    }
    return copy;
}

// The panels' own short codes (5 and 7 to 15) carry their detail in the
// sector nibbles; they become one code with no sector. "Konw. wewn." asks
// for this with every code.
void foldShortCode(DecodedBlock& d, bool internalConverter) {
    if (internalConverter || (d.subsystem != 9 && (d.code == 5 || (d.code >= 7 && d.code <= 15)))) {
        d.code = (d.code * 16 + d.sector) & 0x0FFF;
        d.sector = 4095;
    }
}

bool hexadecimalFields(const BlockOptions& o) { return o.mode != 2 || o.testTypeAA; }

// Digits one a byte (raw values); a byte above 9 counts with its low half.
uint32_t byteDigits(std::span<const uint8_t> block, size_t at, int count, int base) {
    uint32_t value = 0;
    for (int i = 0; i < count; ++i) {
        const size_t k = at + static_cast<size_t>(i);
        value = value * static_cast<uint32_t>(base) + (k < block.size() ? (block[k] & 0x0F) : 0u);
    }
    return value;
}

std::span<const uint8_t> rest(std::span<const uint8_t> block, size_t at, size_t count) {
    if (at >= block.size()) return {};
    return block.subspan(at, std::min(count, block.size() - at));
}

// Record 0x14 of a base frame: code 3, subsystem 2 and sector 3 digits.
void readCodeRecord(std::span<const uint8_t> field, DecodedBlock& d) {
    uint8_t digits[8] = {};
    std::copy_n(field.begin(), std::min<size_t>(field.size(), 8), digits);
    // Bytes that are no digits at all still give a field of its own width.
    d.code = static_cast<int32_t>(readHexDigits(digits, 3) & 0x0FFF);
    d.subsystem = static_cast<int32_t>(readHexDigits(digits + 3, 2) & 0xFF);
    d.sector = static_cast<int32_t>(readHexDigits(digits + 5, 3) & 0x0FFF);
}

} // namespace

uint32_t packedField(std::span<const uint8_t> block, int k, int count, int base) {
    uint32_t value = 0;
    for (int i = 0; i < count; ++i) value = value * static_cast<uint32_t>(base) + static_cast<uint32_t>(nibbleAt(block, k + i));
    return value;
}

int reportBlockLength(int pathKind, int status) {
    switch (pathKind) {
    case 0x10:
    case 0x40: return status == 4 ? 15 : 6;
    case 0xA0: return status == 4 ? 15 : 16;
    case 0x70: return 10;
    case 0xB0: return 17;
    case 0x80:
    case 0x90: return 0; // chunked
    default: return 6;
    }
}

DecodedBlock decodeStandardBlock(std::span<const uint8_t> block, const BlockOptions& options) {
    DecodedBlock d;
    d.outcome = BlockOutcome::Report;
    readSubscriberNibbles(block, 1, d);
    d.subsystem = static_cast<int32_t>(packedField(block, 5, 2, 10));
    const int base = hexadecimalFields(options) ? 16 : 10;
    d.code = static_cast<int32_t>(packedField(block, 7, 2, base));
    d.sector = static_cast<int32_t>(packedField(block, 9, 3, base)) & 0x0FFF;
    if (nibbleAt(block, 0) == 0) foldShortCode(d, options.internalConverter);
    return d;
}

DecodedBlock decodeAdemcoBlock(std::span<const uint8_t> block) {
    const std::vector<uint8_t> b = withTenAsZero(block, 6, 1, 4);
    DecodedBlock d;
    d.outcome = BlockOutcome::Report;
    readSubscriberNibbles(b, 1, d);
    d.code = static_cast<int32_t>(packedField(b, 5, 2, 16));
    d.subsystem = 255;
    d.sector = 4095;
    return d;
}

DecodedBlock decodeContactIdBlock(std::span<const uint8_t> block, const BlockOptions& options) {
    const uint8_t type = block.empty() ? 0 : block[0];
    DecodedBlock d;
    if (type == 255) {
        const std::vector<uint8_t> b = withTenAsZero(block, 10, 2, 5);
        const std::vector<uint8_t> received = withTenAsZero(block, 10, 0, -1);
        d.outcome = BlockOutcome::Incomplete;
        readSubscriberNibbles(b, 2, d);
        std::copy_n(received.begin() + 1, 9, d.raw.begin());
        return d;
    }
    const std::vector<uint8_t> b =
        type == 2 ? withTenAsZero(block, 10, 2, 17) : type == 3 ? withTenAsZero(block, 10, 0, -1)
                                                                : withTenAsZero(block, 10, 2, 5);
    d.outcome = BlockOutcome::Report;
    readSubscriberNibbles(b, 2, d);
    switch (type) {
    case 0:
        d.code = b[3];
        break;
    case 1:
        d.code = static_cast<int32_t>(packedField(b, 7, 2, 16));
        break;
    case 2:
    case 3: {
        // Account, message type, qualifier, event, group, zone, check digit.
        const int e = b[4] & 0x0F;
        const bool restore = b[4] >= 0x30 && b[4] <= 0x3F;
        d.code = (((e + (restore ? 8 : 0)) << 8) + b[5]) & 0x0FFF;
        const int base = (options.mode == 2 && options.testTypeAA) ? 16 : 10;
        d.subsystem = static_cast<int32_t>(packedField(b, 12, 2, base));
        d.sector = static_cast<int32_t>(packedField(b, 14, 3, base)) & 0x0FFF;
        return d;
    }
    default:
        d.code = 0;
        d.subsystem = 0;
        d.sector = 0;
        return d;
    }
    d.subsystem = 255;
    d.sector = 4095;
    return d;
}

DecodedBlock decodeGprsBlock(std::span<const uint8_t> block, const BlockOptions& options) {
    std::array<uint8_t, 17> b{};
    std::copy_n(block.begin(), std::min(block.size(), b.size()), b.begin());
    DecodedBlock d;
    std::copy_n(b.begin() + 1, 4, d.address.begin());
    d.gprsType = b[5];
    d.gprsQueueEntry = b[6];
    d.gprsParam = b[15];
    readSubscriberNibbles(b, 14, d);
    d.subsystem = b[9];
    d.code = static_cast<int32_t>(packedField(b, 20, 3, 16));
    d.sector = static_cast<int32_t>(packedField(b, 23, 3, 16));

    switch (d.gprsType) {
    case 10:
        d.outcome = BlockOutcome::Report;
        d.subsystem = 0;
        if (d.code == 0x1E0 || d.code == 0x9E0) d.sector = static_cast<int32_t>(byteDigits(b, 13, 3, 10));
        break;
    case 8:
        d.outcome = BlockOutcome::Report;
        if (b[15] == 3) {
            d.outcome = BlockOutcome::GprsAcknowledge;
            // Only a real subscriber's report follows its acknowledgement.
        }
        break;
    case 9: d.outcome = BlockOutcome::GprsConfirmation; break;
    case 32: d.outcome = BlockOutcome::ProbeAnswer; break;
    case 0x90: d.outcome = options.mode == 3 ? BlockOutcome::QueuedTextEnd : BlockOutcome::Nothing; break;
    case 1:
        d.outcome = BlockOutcome::Report;
        d.forwardOverGprs = options.mode == 3;
        break;
    default: d.outcome = BlockOutcome::Nothing; break;
    }
    return d;
}

DecodedBlock decodeGsmBlock(std::span<const uint8_t> block, const BlockOptions& options) {
    DecodedBlock d;
    const int further = block.empty() ? 0 : block[0];
    for (size_t i = 1; i <= 9; ++i) {
        const uint8_t digit = i < block.size() ? block[i] : 0;
        d.phone += static_cast<char>(digit <= 9 ? '0' + digit : digit);
    }
    if (further == 0) {
        d.outcome = (block.size() > 15 && block[15] != 0) ? BlockOutcome::Nothing : BlockOutcome::BareCall;
        return d;
    }
    if (further > kMaxFurtherChunks || block.size() < static_cast<size_t>(kChunk * (further + 1))) {
        d.outcome = BlockOutcome::Rejected;
        return d;
    }
    d.outcome = BlockOutcome::Report;
    {
        uint8_t digits[4];
        for (size_t i = 0; i < 4; ++i) digits[i] = block[10 + i];
        d.subscriber = readSubscriberDigits(digits);
        d.unknownSubscriber = readDecimalDigits(digits, 4) < 0;
    }
    bool hasCode = false;
    for (int k = 1; k <= further; ++k) {
        const size_t at = static_cast<size_t>(kChunk * k);
        const std::span<const uint8_t> record = rest(block, at + 1, kChunk - 1);
        switch (block[at]) {
        case 1:
            d.subsystem = static_cast<int32_t>(byteDigits(record, 0, 2, 10));
            d.code = static_cast<int32_t>(byteDigits(record, 2, 2, 16));
            d.sector = static_cast<int32_t>(byteDigits(record, 4, 3, 16));
            hasCode = true;
            break;
        case 3:
            readCodeRecord(record, d);
            hasCode = true;
            break;
        default:
            for (size_t i = 0; i < 12; ++i) d.timeDigits[i] = static_cast<uint8_t>(record[i] & 0x0F);
            d.hasTime = true;
            break;
        }
    }
    if (hasCode) foldShortCode(d, options.internalConverter);
    return d;
}

DecodedBlock decodeExtendedRadioBlock(std::span<const uint8_t> block, int pathKind) {
    DecodedBlock d;
    d.outcome = BlockOutcome::Report;
    if (pathKind != 0xA0) {
        uint8_t digits[4] = {};
        for (size_t i = 0; i < 4; ++i) digits[i] = (1 + i) < block.size() ? block[1 + i] : 0;
        d.subscriber = readSubscriberDigits(digits);
        d.unknownSubscriber = readDecimalDigits(digits, 4) < 0;
        readCodeRecord(rest(block, 5, 8), d);
        return d;
    }
    // A length and base-frame records; a byte that starts no known record
    // is skipped, as the receiver pads with it.
    const size_t end = std::min<size_t>(block.empty() ? 0 : static_cast<size_t>(block[0]) + 1, block.size());
    bool haveSubscriber = false;
    int32_t linkSector = -1;
    int records = 0;
    size_t at = 1;
    while (at < end && records < 10) {
        const uint8_t type = block[at];
        int size = 0;
        switch (type) {
        case 0x11: size = 6; break;
        case 0x14: size = 9; break;
        case 0x15: size = 4; break;
        case 0x16: size = 5; break;
        default: ++at; continue;
        }
        if (at + static_cast<size_t>(size) > end) break;
        const std::span<const uint8_t> field = block.subspan(at + 1, static_cast<size_t>(size - 1));
        if (type == 0x11) {
            uint8_t digits[4];
            for (size_t i = 0; i < 4; ++i) digits[i] = field[1 + i];
            d.subscriber = readSubscriberDigits(digits);
            d.unknownSubscriber = readDecimalDigits(digits, 4) < 0;
            haveSubscriber = true;
        } else if (type == 0x14) {
            readCodeRecord(field, d);
        } else if (type == 0x15) {
            uint8_t digits[3] = {field[0], field[1], field[2]};
            d.code = static_cast<int32_t>(readHexDigits(digits, 3) & 0x0FFF);
        } else {
            linkSector = static_cast<int32_t>(byteDigits(field, 0, 3, 10));
        }
        at += static_cast<size_t>(size);
        ++records;
    }
    if (!haveSubscriber) {
        d.outcome = BlockOutcome::Rejected;
        return d;
    }
    d.subsystem = 0;
    if ((d.code == 0x1E0 || d.code == 0x9E0) && linkSector >= 0) d.sector = linkSector;
    return d;
}

void classifyProbeAnswer(int pathKind, std::span<const uint8_t> block, const BlockOptions& options,
                         DecodedBlock& d) {
    const bool gprs = pathKind == 0xB0;
    const bool gsm = pathKind == 0x80 || pathKind == 0x90;
    const int order = (options.otrNew && !gsm) ? 5 : 4;
    if (gprs) {
        if (d.outcome != BlockOutcome::ProbeAnswer) return;
        // A GPRS transmitter answers in subsystem 5 where the others use 0
        // or 9; the order it answers is checked as theirs is.
        d.probeAccepted = d.subsystem == 5 && (d.code == order || (d.code == 0 && d.sector == order));
        return;
    }
    if (d.outcome != BlockOutcome::Report) return;
    const bool answeringKind = pathKind == 0x10 || pathKind == 0x40 || gsm;
    const bool probe = (!block.empty() && (block[0] >> 4) == 1) || (answeringKind && d.subsystem == 9);
    if (!probe) return;
    d.outcome = BlockOutcome::ProbeAnswer;
    d.probeAccepted = ((d.subsystem == 0 || d.subsystem == 9) && d.code == 0 && d.sector == order) ||
                      (d.subsystem == 9 && d.code == order);
}

DecodedBlock decodeReportBlock(int pathKind, int status, std::span<const uint8_t> block,
                               const BlockOptions& options) {
    DecodedBlock d;
    switch (pathKind) {
    case 0x10:
    case 0x40: d = status == 4 ? decodeExtendedRadioBlock(block, pathKind) : decodeStandardBlock(block, options); break;
    case 0xA0: d = decodeExtendedRadioBlock(block, pathKind); break;
    case 0x50: d = decodeAdemcoBlock(block); break;
    case 0x70: d = decodeContactIdBlock(block, options); break;
    case 0x80:
    case 0x90: d = decodeGsmBlock(block, options); break;
    case 0xB0: d = decodeGprsBlock(block, options); break;
    default: d = decodeStandardBlock(block, options); break;
    }
    classifyProbeAnswer(pathKind, block, options, d);
    return d;
}

} // namespace k4
