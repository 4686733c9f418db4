#include "baselink/probe_orders.h"

#include <algorithm>

namespace k4 {

namespace {

void putNibble(uint8_t* bytes, int k, uint8_t digit) {
    uint8_t& b = bytes[k / 2];
    if (k % 2 == 0) b = static_cast<uint8_t>((b & 0x0F) | (digit << 4));
    else b = static_cast<uint8_t>((b & 0xF0) | (digit & 0x0F));
}

} // namespace

void packPhoneDigits(std::string_view phone, uint8_t* five) {
    std::fill_n(five, 5, 0xFF);
    int k = 0;
    for (char c : phone) {
        if (k >= 9) break; // the tenth nibble carries the end mark
        if (c >= '0' && c <= '9') putNibble(five, k++, static_cast<uint8_t>(c - '0'));
        else if (c == ':') putNibble(five, k++, 0x0E);
        else if (c == '\0') break;
    }
    putNibble(five, k, 0x0F);
}

void packSubscriberBcd(int subscriber, uint8_t* two) {
    const int n = subscriber < 0 ? 0 : subscriber % 10000;
    two[0] = static_cast<uint8_t>(((n / 1000) << 4) | ((n / 100) % 10));
    two[1] = static_cast<uint8_t>((((n / 10) % 10) << 4) | (n % 10));
}

void stageRadioProbe(FrameBuffer& frame, int subscriber, uint8_t order) {
    uint8_t* at = frame.bytes.data() + FrameBuffer::kStage160;
    packSubscriberBcd(subscriber, at);
    at[2] = order;
}

void stageDialUpProbe(FrameBuffer& frame, std::string_view phone, uint8_t order) {
    uint8_t* at = frame.bytes.data() + FrameBuffer::kStage180;
    packPhoneDigits(phone, at);
    at[5] = order;
}

void stageGsmProbe(FrameBuffer& frame, std::string_view phone, uint8_t order) {
    uint8_t* at = frame.bytes.data() + FrameBuffer::kStage180;
    packPhoneDigits(phone, at);
    at[4] = static_cast<uint8_t>(at[4] | 0x0F);
    at[5] = order;
}

void stageGprsProbe(FrameBuffer& frame, const std::array<uint8_t, 4>& ip, int subscriber, uint8_t order) {
    uint8_t* at = frame.bytes.data() + FrameBuffer::kStage180;
    std::fill_n(at, 17, 0);
    at[0] = 17;
    std::copy(ip.begin(), ip.end(), at + 1);
    at[5] = 2;
    at[6] = 1;
    packSubscriberBcd(subscriber, at + 7);
    at[9] = order;
}

void stageRadioForward(FrameBuffer& frame, int radioAddress, int subscriber, bool hexSubscriber, int code,
                       int subsystem, int sector) {
    uint8_t* at = frame.bytes.data() + FrameBuffer::kStage160;
    std::fill_n(at, 15, 0);
    at[0] = static_cast<uint8_t>(radioAddress & 0x0F);
    const int base = hexSubscriber ? 16 : 10;
    int s = subscriber & 0xFFFF;
    for (int i = 4; i >= 1; --i) {
        at[i] = static_cast<uint8_t>(s % base);
        s /= base;
    }
    for (int i = 0; i < 3; ++i) at[5 + i] = static_cast<uint8_t>((code >> (8 - 4 * i)) & 0x0F);
    at[8] = static_cast<uint8_t>((subsystem >> 4) & 0x0F);
    at[9] = static_cast<uint8_t>(subsystem & 0x0F);
    for (int i = 0; i < 3; ++i) at[10 + i] = static_cast<uint8_t>((sector >> (8 - 4 * i)) & 0x0F);
}

void stageGsmForward(FrameBuffer& frame, std::string_view gsmNumber, int gsmParam, int subscriber, int code,
                     int subsystem, int sector) {
    uint8_t* at = frame.bytes.data() + FrameBuffer::kStage180;
    std::fill_n(at, 11, 0);
    packPhoneDigits(gsmNumber, at);
    at[4] = static_cast<uint8_t>((at[4] & 0xF0) | (gsmParam & 0x0F));
    packSubscriberBcd(subscriber, at + 5);
    const uint32_t packed = (static_cast<uint32_t>(code & 0x0FFF) << 20) |
                            (static_cast<uint32_t>(subsystem & 0xFF) << 12) | static_cast<uint32_t>(sector & 0x0FFF);
    at[7] = static_cast<uint8_t>(packed >> 24);
    at[8] = static_cast<uint8_t>(packed >> 16);
    at[9] = static_cast<uint8_t>(packed >> 8);
    at[10] = static_cast<uint8_t>(packed);
}

} // namespace k4
