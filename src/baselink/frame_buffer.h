#pragma once
// The one buffer of the serial links: the base frame being received or sent
// and the blocks of the module bus. Offsets 160 and 180 stage outgoing
// module blocks, so a block being built never overwrites the one received.
#include <array>
#include <cstddef>
#include <cstdint>

namespace k4 {

struct FrameBuffer {
    static constexpr int kSize = 200;
    static constexpr int kStage160 = 160;
    static constexpr int kStage180 = 180;
    std::array<uint8_t, kSize> bytes{};

    uint8_t& operator[](int i) { return bytes[static_cast<std::size_t>(i)]; }
    uint8_t operator[](int i) const { return bytes[static_cast<std::size_t>(i)]; }
};

} // namespace k4
