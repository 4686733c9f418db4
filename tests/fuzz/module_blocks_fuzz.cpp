// Any bytes as the block of every module kind: each decoder must read what
// it can, refuse the rest, and never read outside the block it was given.
// The first byte picks the poll mode and the options, the rest is the block.
#include "baselink/module_blocks.h"

#include <cstdint>
#include <cstdlib>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size == 0) return 0;
    k4::BlockOptions options;
    options.mode = 1 + (data[0] & 0x03) % 3;
    options.testTypeAA = (data[0] & 0x04) != 0;
    options.internalConverter = (data[0] & 0x08) != 0;
    options.otrNew = (data[0] & 0x10) != 0;
    // A copy of exactly the block's size, so that a read past its end is
    // caught by the address sanitizer.
    const std::vector<uint8_t> block(data + 1, data + size);
    static const int kinds[] = {0x10, 0x20, 0x30, 0x40, 0x50, 0x60, 0x70, 0x80, 0x90, 0xA0, 0xB0};
    for (int kind : kinds) {
        for (int status : {1, 4}) {
            const k4::DecodedBlock d = k4::decodeReportBlock(kind, status, block, options);
            if (d.outcome == k4::BlockOutcome::Report || d.outcome == k4::BlockOutcome::ProbeAnswer) {
                // Twelve-bit codes and sectors, a subscriber of four digits.
                if (d.code < 0 || d.code > 0xFFF) std::abort();
                if (d.sector < 0 || d.sector > 0xFFF) std::abort();
                if (d.subscriber < 0 || d.subscriber > 0xFFFF) std::abort();
                if (!d.unknownSubscriber && d.subscriber > 9999) std::abort();
            }
            if (d.probeAccepted && d.outcome != k4::BlockOutcome::ProbeAnswer) std::abort();
        }
    }
    return 0;
}
