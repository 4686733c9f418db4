#include "baselink/base_frame_receiver.h"

namespace k4 {

namespace {
constexpr uint8_t kLF = 0x0A;
constexpr uint8_t kCR = 0x0D;
// A length byte this big cannot be a frame of ours: the frame buffer holds
// 160 bytes of a received frame.
constexpr int kLengthLimit = 159;
// After a wrong terminator the rest of the burst is thrown away, but no more
// of it than this: a line that never stops is the hunt's to skip.
constexpr int kDrainLimit = 101;
} // namespace

void BaseFrameReceiver::start() {
    state_ = State::Length;
    bytes_.fill(0);
    count_ = 0;
    length_ = 0;
    drained_ = 0;
    sum_ = kLF;
    sumRight_ = false;
    failure_ = 0;
}

BaseFrameReceiver::Step BaseFrameReceiver::fail(int code) {
    failure_ = code;
    state_ = State::Idle;
    return Step::Failed;
}

BaseFrameReceiver::Step BaseFrameReceiver::feed(uint8_t byte) {
    switch (state_) {
    case State::Idle:
        return Step::Failed;
    case State::Length:
        bytes_[0] = byte;
        count_ = 1;
        length_ = byte;
        sum_ = static_cast<uint8_t>(sum_ + byte);
        // Nothing is answered; what follows is the next hunt's to skip.
        if (length_ >= kLengthLimit) return fail(-11);
        state_ = length_ == 0 ? State::Terminator : State::Records;
        return Step::NeedByte;
    case State::Records:
        bytes_[static_cast<size_t>(count_++)] = byte;
        sum_ = static_cast<uint8_t>(sum_ + byte);
        if (count_ == length_ + 1) state_ = State::Terminator;
        return Step::NeedByte;
    case State::Terminator:
        if (byte != kCR) {
            state_ = State::Drain;
            return Step::NeedByte;
        }
        sum_ = static_cast<uint8_t>(sum_ + kCR);
        state_ = State::Checksum;
        return Step::NeedByte;
    case State::Drain:
        if (++drained_ >= kDrainLimit) return fail(-4);
        return Step::NeedByte;
    case State::Checksum:
        sumRight_ = byte == sum_;
        state_ = State::Idle;
        return Step::Complete;
    }
    return Step::Failed;
}

BaseFrameReceiver::Step BaseFrameReceiver::missing() {
    switch (state_) {
    case State::Length: return fail(-1);
    case State::Records: return fail(-2);
    case State::Terminator: return fail(-3);
    case State::Drain: return fail(-4);
    case State::Checksum: return fail(-5);
    case State::Idle: break;
    }
    return Step::Failed;
}

} // namespace k4
