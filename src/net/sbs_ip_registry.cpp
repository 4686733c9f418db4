#include "net/sbs_ip_registry.h"

#include "database/text_edge.h"
#include "platform/file.h"

#include <cstring>

namespace k4 {

std::string SbsIpRegistry::Slot::address() const {
    return std::string(ip.data(), strnlen(ip.data(), ip.size()));
}

SbsIpRegistry::SbsIpRegistry(const DataDir& dir, Messages& messages) : dir_(dir), messages_(messages) {}

int SbsIpRegistry::load() {
    const std::string path = dir_.file(kFileName);
    if (!fileExists(path)) return 0;
    std::string data;
    if (!readWholeFile(path, data, nullptr)) {
        messages_.ShowNotice(guard_, mz("\x03otwarcia pliku sbsip"), kNoticeError);
        return -1;
    }
    const size_t whole = std::min(data.size(), kFileSize) / kSlotSize;
    for (size_t i = 0; i < whole; ++i) {
        const auto* p = reinterpret_cast<const uint8_t*>(data.data()) + i * kSlotSize;
        Slot& s = slots_[i];
        s.subscriber = static_cast<int16_t>(p[0] | (p[1] << 8));
        std::memcpy(s.ip.data(), p + 2, 16);
        // A damaged slot must not read past its text.
        s.ip[15] = 0;
    }
    if (data.size() < kFileSize) {
        messages_.ShowNotice(guard_, mz("\x03wczytania pliku sbsip"), kNoticeError);
        return -1;
    }
    return 0;
}

void SbsIpRegistry::registerSubscriberIp(int subscriber, const std::string& ip) {
    if (subscriber < 0 || subscriber > 0x7FFF) return;
    const int home = subscriber % kSlots;
    int chosen = -1;
    for (int k = 0; k < kSlots; ++k) {
        const int i = (home + k) % kSlots;
        const Slot& s = slots_[static_cast<size_t>(i)];
        if (s.free() || s.subscriber == subscriber) {
            chosen = i;
            break;
        }
    }
    if (chosen < 0) return; // the table is full
    Slot& s = slots_[static_cast<size_t>(chosen)];
    bool changed = false;
    if (s.subscriber != subscriber) {
        s.subscriber = static_cast<int16_t>(subscriber);
        changed = true;
    }
    const std::string text = ip.substr(0, kAddressChars);
    if (s.address() != text) {
        s.ip.fill(0);
        std::memcpy(s.ip.data(), text.data(), text.size());
        changed = true;
    }
    if (changed) save();
}

std::optional<std::string> SbsIpRegistry::lookupSubscriberIp(int subscriber) const {
    if (subscriber < 0 || subscriber > 0x7FFF) return std::nullopt;
    const int home = subscriber % kSlots;
    for (int k = 0; k < kSlots; ++k) {
        const Slot& s = slots_[static_cast<size_t>((home + k) % kSlots)];
        if (!s.free() && s.subscriber == subscriber) return s.address();
    }
    return std::nullopt;
}

void SbsIpRegistry::save() {
    std::string data(kFileSize, '\0');
    for (size_t i = 0; i < slots_.size(); ++i) {
        char* p = data.data() + i * kSlotSize;
        const auto n = static_cast<uint16_t>(slots_[i].subscriber);
        p[0] = static_cast<char>(n & 0xFF);
        p[1] = static_cast<char>(n >> 8);
        std::memcpy(p + 2, slots_[i].ip.data(), 16);
    }
    // Written beside and put in place whole: a crash leaves the old table
    // or the new one, never half of each. The table in memory keeps the new
    // value either way.
    std::string error;
    ++writes_;
    if (!replaceFileDurably(dir_.file(kFileName), data, &error))
        messages_.ShowNotice(guard_, mz("\x03zapisu pliku sbsip"), kNoticeError);
}

} // namespace k4
