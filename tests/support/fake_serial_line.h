#pragma once
// A serial line of the tests: bytes to be read are queued (a gap makes one
// read time out, as a sender slower than 100 ms does) or come at times of the
// clock, every written byte is kept, and faults can be switched on.
#include "platform/clock.h"
#include "platform/serial_line.h"

#include <deque>
#include <functional>
#include <utility>
#include <memory>
#include <vector>

namespace k4::test {

class FakeSerialLine final : public SerialLine {
public:
    explicit FakeSerialLine(Clock* clock = nullptr) : clock_(clock) {}

    // What the far end sends; kGap stands for a pause longer than a read waits.
    static constexpr int kGap = -1;
    void send(std::initializer_list<int> bytes) { input.insert(input.end(), bytes); }
    void send(const std::vector<uint8_t>& bytes) { input.insert(input.end(), bytes.begin(), bytes.end()); }

    // Bytes that come later, one every intervalMs of the clock from now
    // (the first after intervalMs); afterMs delays the first further.
    void sendSpaced(const std::vector<uint8_t>& bytes, int intervalMs, int afterMs = 0) {
        uint64_t at = (timed_.empty() ? clock_->tickMs() : timed_.back().first) + static_cast<uint64_t>(afterMs);
        for (uint8_t b : bytes) {
            at += static_cast<uint64_t>(intervalMs);
            timed_.emplace_back(at, b);
        }
    }
    // Bytes still on their way, and when the next of them comes.
    size_t bytesToCome() const { return timed_.size(); }
    std::optional<uint64_t> nextArrival() const {
        if (timed_.empty()) return std::nullopt;
        return timed_.front().first;
    }

    // The far end answers once this many bytes have been written in all.
    void replyAfterWrites(size_t count, std::vector<int> bytes) { replies_.emplace_back(count, std::move(bytes)); }

    // Called after every byte written, to play a device that answers.
    std::function<void(FakeSerialLine&, uint8_t)> respond;

    std::deque<int> input;
    std::vector<uint8_t> written;
    bool opened = false;
    bool connected = true;
    int failWritesAfter = -1; // writes that succeed before every write fails
    bool errorOnNextRead = false;
    std::string openedDevice;
    int openedBaud = 0;
    bool refuseOpen = false;
    int reads = 0;
    std::optional<uint8_t> chatter; // a line that never stops sending this byte

    bool open(const std::string& device, int baudRate) override {
        if (refuseOpen) return false;
        opened = true;
        openedDevice = device;
        openedBaud = baudRate;
        return true;
    }
    void close() override { opened = false; }
    bool isOpen() const override { return opened; }
    bool isConnected() override { return opened && connected; }
    std::optional<uint8_t> readByteWithin(int ms) override {
        ++reads;
        if (errorOnNextRead) {
            errorOnNextRead = false;
            error_ = true;
            return std::nullopt;
        }
        if (chatter) return *chatter;
        takeArrived();
        if (input.empty() && !timed_.empty() && clock_) {
            // Nothing there yet: wait for the next byte as long as allowed.
            const uint64_t due = timed_.front().first;
            const uint64_t now = clock_->tickMs();
            if (due <= now + static_cast<uint64_t>(ms)) {
                clock_->sleepMs(static_cast<int>(due - now));
                takeArrived();
            }
        }
        if (input.empty() || input.front() == kGap) {
            if (!input.empty()) input.pop_front();
            if (clock_) clock_->sleepMs(ms);
            return std::nullopt;
        }
        const int b = input.front();
        input.pop_front();
        return static_cast<uint8_t>(b);
    }
    bool writeByte(uint8_t byte) override {
        if (failWritesAfter == 0) return false;
        if (failWritesAfter > 0) --failWritesAfter;
        written.push_back(byte);
        if (respond) respond(*this, byte);
        for (auto it = replies_.begin(); it != replies_.end(); ++it) {
            if (it->first == written.size()) {
                input.insert(input.end(), it->second.begin(), it->second.end());
                replies_.erase(it);
                break;
            }
        }
        return true;
    }
    void clearInput() override { input.clear(); }
    bool takeError() override {
        const bool e = error_;
        error_ = false;
        return e;
    }
    std::string errorText() const override { return "fake"; }
    std::string device() const override { return openedDevice; }

private:
    void takeArrived() {
        while (clock_ && !timed_.empty() && timed_.front().first <= clock_->tickMs()) {
            input.push_back(timed_.front().second);
            timed_.pop_front();
        }
    }

    Clock* clock_;
    std::deque<std::pair<uint64_t, uint8_t>> timed_;
    bool error_ = false;
    std::vector<std::pair<size_t, std::vector<int>>> replies_;
};

// A frame as a base sends it: LF, L, the records, CR and the checksum.
std::vector<uint8_t> baseFrame(const std::vector<uint8_t>& records, int checksumError = 0);

} // namespace k4::test
