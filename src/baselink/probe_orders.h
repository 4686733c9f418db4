#pragma once
// The blocks a path sends to its module, staged in the outgoing areas of
// the frame buffer: the probe orders of each class and the forwarding
// blocks of the alarm forwarding.
#include "baselink/frame_buffer.h"

#include <array>
#include <cstdint>
#include <string_view>

namespace k4 {

constexpr uint8_t kProbeOrder = 4;
constexpr uint8_t kProbeOrderNew = 5; // "OTR" option "Nowy"

// Telephone digits two to a byte, high four bits first, ':' as 0xE, ended
// by a 0xF digit, into five bytes (the digits that do not fit are dropped,
// the nibbles after the end are 0xF).
void packPhoneDigits(std::string_view phone, uint8_t* five);
// Four decimal digits of a subscriber in two bytes, thousands highest.
void packSubscriberBcd(int subscriber, uint8_t* two);

// Radio: offset 160, three bytes.
void stageRadioProbe(FrameBuffer& frame, int subscriber, uint8_t order);
// Dial-up: offset 180, six bytes.
void stageDialUpProbe(FrameBuffer& frame, std::string_view phone, uint8_t order);
// GSM (0x90): offset 180; the low four bits of the fifth byte forced to 0xF.
void stageGsmProbe(FrameBuffer& frame, std::string_view phone, uint8_t order);
// GPRS (0xB0): offset 180, the counted block of 17 bytes.
void stageGprsProbe(FrameBuffer& frame, const std::array<uint8_t, 4>& ip, int subscriber, uint8_t order);

// Radio forwarding block: offset 160, 15 bytes, one raw digit a byte.
// hexSubscriber: the alarm shows its subscriber in hexadecimal.
void stageRadioForward(FrameBuffer& frame, int radioAddress, int subscriber, bool hexSubscriber, int code,
                       int subsystem, int sector);
// GSM forwarding block: offset 180, 11 bytes.
void stageGsmForward(FrameBuffer& frame, std::string_view gsmNumber, int gsmParam, int subscriber, int code,
                     int subsystem, int sector);

} // namespace k4
