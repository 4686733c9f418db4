#pragma once
// "sbsip": the address each subscriber's Ethernet transmitter last sent
// from, so that orders find their way back. A fixed table of 1024 slots
// with linear probing from the subscriber's home slot (its number modulo
// 1024); the file is the whole table, 18 bytes a slot, rewritten only when
// a slot changes.
#include "messages/messages.h"
#include "platform/data_dir.h"

#include <array>
#include <cstdint>
#include <optional>
#include <string>

namespace k4 {

class SbsIpRegistry {
public:
    static constexpr int kSlots = 1024;
    static constexpr size_t kSlotSize = 18;
    static constexpr size_t kFileSize = kSlots * kSlotSize; // 18432
    static constexpr size_t kAddressChars = 15;
    static constexpr const char* kFileName = "sbsip";

    struct Slot {
        int16_t subscriber = 0;
        std::array<char, 16> ip{}; // NUL-terminated; empty: a free slot
        bool free() const { return ip[0] == 0; }
        std::string address() const;
    };

    SbsIpRegistry(const DataDir& dir, Messages& messages);

    // Loads the file when there is one; the operator hears of a file that
    // cannot be opened or is short. 0 or -1.
    int load();
    // Records the subscriber's address; the file is rewritten when a slot
    // changed. Numbers outside 0..32767 have no home slot and are ignored.
    void registerSubscriberIp(int subscriber, const std::string& ip);
    std::optional<std::string> lookupSubscriberIp(int subscriber) const;

    const Slot& slot(int index) const { return slots_[static_cast<size_t>(index)]; }
    // Rewrites of the file since start (each a whole table).
    int writes() const { return writes_; }

private:
    void save();

    DataDir dir_;
    Messages& messages_;
    std::array<Slot, kSlots> slots_{};
    int writes_ = 0;
    MessageGuard guard_;
};

} // namespace k4
