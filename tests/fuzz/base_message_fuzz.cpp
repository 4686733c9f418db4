// Any bytes as the text of a base's report message: the parser reads what
// it can and acts on it through links that check what they are handed.
// Nothing may be read outside the message, no value may leave its field.
#include "net/base_message_parser.h"

#include <cstdint>
#include <cstdlib>
#include <string>

namespace {

struct CheckingLinks final : k4::BaseMessageLinks {
    std::optional<k4::MessagePath> pathOf(int slot) override {
        if (slot != 7) return std::nullopt;
        return k4::MessagePath{6, 0, "TE"};
    }
    int processReport(const k4::Report& r) override {
        if (r.subscriber < 0 || r.subscriber > 0xFFFF) std::abort();
        if (r.code < 0 || r.code > 0xFFFF) std::abort();
        if (r.sector < 0 || r.sector > 0xFFF) std::abort();
        if (r.subsystem < 0 || r.subsystem > 255 + 90) std::abort();
        if (r.text && r.text->size() > 70) std::abort();
        return -2;
    }
    void markProbeAnswered(int, int subscriber) override {
        if (subscriber < 0 || subscriber > 0xFFFF) std::abort();
    }
    void confirmForwarding(int, int base, int) override {
        if (base < 0 || base >= k4::kBaseEntries) std::abort();
    }
    void confirmGprsForwarding(int, int, int base, int, int entry) override {
        if (base < 0 || base >= k4::kBaseEntries || entry < 0 || entry > 255) std::abort();
    }
    void logEntry(int kind, const k4::HistoryEntry&) override {
        if (kind < 0 || kind > 0xFFF) std::abort();
    }
    void linkStatus(int, const k4::LinkStatusRecord&) override {}
    std::optional<int> ownerOfPhone(const std::string& phone) override {
        if (phone.size() > 9) std::abort();
        if (phone == "601234567") return 1234;
        return std::nullopt;
    }
    bool phoneOfSubscriber(const std::string&, int) override { return false; }
    std::optional<uint16_t> forwardingWord(int) override { return 0x0140; }
    int queueOrder(int, uint8_t, uint8_t) override { return 2; }
    int pollSendOrder(int) override { return 2; }
    void notice(k4::MessageGuard&, std::string_view, unsigned) override {}
    void wakeScreen() override {}
    k4::Stamp now() override { return 0; }
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size > 64) return 0; // the channel takes no longer message
    // A copy of exactly the message's size, so a read past its end is caught.
    const std::string text(reinterpret_cast<const char*>(data), size);
    static k4::ConfigBlock config = [] {
        k4::ConfigBlock c{};
        c.bases[0].gprsAddress[0] = 10;
        c.bases[0].radio = 0x13;
        return c;
    }();
    static k4::FrameBuffer frame;
    static CheckingLinks links;
    for (int mode : {0, 3}) {
        config.mode = static_cast<int16_t>(mode);
        config.options = static_cast<uint8_t>(size & 0xFF);
        k4::BaseMessageParser parser(config, frame, links);
        const int result = parser.parseBaseMessage(text, 7);
        if (result < -1 || result > 2) std::abort();
    }
    return 0;
}
