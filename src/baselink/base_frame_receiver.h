#pragma once
// The bytes of one base frame after its 0x0A, taken one at a time as they
// come: the length, the records, the terminator and the checksum. Nothing of
// it waits for a byte itself, so a frame can be read within one call or
// across several, and the caller decides how long a missing byte is waited
// for.
#include "baselink/frame_buffer.h"

#include <array>
#include <cstdint>

namespace k4 {

class BaseFrameReceiver {
public:
    enum class Step {
        NeedByte, // the frame goes on
        Complete, // the checksum is in: answer it (sumRight says how)
        Failed,   // the frame is dropped: failure() says why
    };

    // Right after the 0x0A of a frame.
    void start();
    bool active() const { return state_ != State::Idle; }
    Step feed(uint8_t byte);
    // The byte that was waited for did not come in time.
    Step missing();
    // Back to no frame (after Complete or Failed).
    void reset() { state_ = State::Idle; }

    bool sumRight() const { return sumRight_; }
    // The code of ReadBaseFrame for a failed frame (-1 to -5, -11).
    int failure() const { return failure_; }
    // L at offset 0 and the records after it, the rest zero, as the frame
    // buffer holds a received frame; count() of them were received.
    const std::array<uint8_t, FrameBuffer::kSize>& bytes() const { return bytes_; }
    int count() const { return count_; }

private:
    enum class State { Idle, Length, Records, Terminator, Drain, Checksum };
    Step fail(int code);

    State state_ = State::Idle;
    std::array<uint8_t, FrameBuffer::kSize> bytes_{};
    int count_ = 0;
    int length_ = 0;
    int drained_ = 0;
    uint8_t sum_ = 0;
    bool sumRight_ = false;
    int failure_ = 0;
};

} // namespace k4
