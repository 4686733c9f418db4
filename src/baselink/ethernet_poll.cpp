#include "baselink/ethernet_poll.h"

#include "baselink/module_blocks.h"
#include "baselink/module_poll.h"

#include <cstdio>
#include <span>

namespace k4 {

namespace {

constexpr int kStagedGprsBlock = 17;

std::span<const uint8_t> staged(const FrameBuffer& f, int at, int count) {
    return std::span<const uint8_t>(f.bytes.data() + at, static_cast<size_t>(count));
}

char hexDigit(int v) { return static_cast<char>(v < 10 ? '0' + v : 'A' + v - 10); }

// Raw digits one a byte (0..15) as text.
std::string digitText(const FrameBuffer& f, int at, int count) {
    std::string text;
    for (int i = 0; i < count; ++i) text += hexDigit(f[at + i] & 0x0F);
    return text;
}

// A telephone number packed two digits a byte, ':' as 0xE, ended by 0xF;
// the last nibble of byte 4 is never a digit of the number.
std::string packedPhone(const FrameBuffer& f, int at) {
    std::string text;
    for (int k = 0; k < 9; ++k) {
        const int b = f[at + k / 2];
        const int digit = k % 2 == 0 ? b >> 4 : b & 0x0F;
        if (digit == 0xF) break;
        text += digit == 0xE ? ':' : hexDigit(digit);
    }
    return text;
}

int packedDecimal(const FrameBuffer& f, int at) {
    const auto b = staged(f, at, 2);
    return static_cast<int>(packedField(b, 0, 4, 10));
}

std::string cf(const char* format, auto... args) {
    char text[160];
    std::snprintf(text, sizeof text, format, args...);
    return text;
}

std::string dotted(const uint8_t* a) { return cf("%d.%d.%d.%d", a[0], a[1], a[2], a[3]); }

uint8_t packed2(int value) { return static_cast<uint8_t>(((value / 10 % 10) << 4) | (value % 10)); }

} // namespace

std::optional<std::string> ethernetCommand(int kind, int mode, uint8_t seq, const FrameBuffer& f) {
    if (mode != kPollSendOrder && mode != kPollSendLongRadio) return std::nullopt;
    const int at = FrameBuffer::kStage180;
    if (isRadioKind(kind)) {
        const int r = FrameBuffer::kStage160;
        if (mode == kPollSendOrder)
            return cf("%%%2.2x p11 a%6.6d j%2.2X#", seq, packedDecimal(f, r), f[r + 2]);
        // The forwarding block, one digit a byte: subsystem, code, sector.
        const std::string fields = digitText(f, r + 8, 2) + digitText(f, r + 5, 3) + digitText(f, r + 10, 3);
        return cf("%%%2.2x p10 k%d a%s m%s#", seq, f[r], digitText(f, r + 1, 4).c_str(), fields.c_str());
    }
    if (kind == 0x90) {
        if ((f[at + 4] & 0x0F) == 0x0F)
            return cf("%%%2.2x p90 t%s j%2.2X#", seq, packedPhone(f, at).c_str(), f[at + 5]);
        const std::string fields = cf("%2.2X%2.2X%2.2X%2.2X", f[at + 7], f[at + 8], f[at + 9], f[at + 10]);
        return cf("%%%2.2x p90 t%s a00%4.4d m%s x%2.2X#", seq, packedPhone(f, at).c_str(), packedDecimal(f, at + 5),
                  fields.c_str(), f[at + 4] & 0x0F);
    }
    const std::string subscriber = cf("%2.2X%2.2X", f[at + 7], f[at + 8]);
    return cf("%%%2.2x pB0 i%2.2X%2.2X%2.2X%2.2X g0C%2.2X%2.2X%4.4s%2.2X%2.2X%2.2X%2.2X0000%2.2X0058#", seq,
              f[at + 1], f[at + 2], f[at + 3], f[at + 4], f[at + 5], f[at + 6], subscriber.c_str(), f[at + 9],
              f[at + 10], f[at + 11], f[at + 12], f[at + 15]);
}

std::vector<uint8_t> virtualPathDatagram(int kind, const FrameBuffer& f) {
    std::vector<uint8_t> d(14, 0);
    d[0] = 12;
    for (int i = 0; i < 11; ++i) d[static_cast<size_t>(1 + i)] = f[FrameBuffer::kStage180 + 5 + i];
    d[12] = 0;
    d[13] = kind == 1 ? 'Y' : 'X';
    return d;
}

std::vector<uint8_t> timeSettingDatagram(int kind, const FrameBuffer& f, const LocalDateTime& now) {
    std::vector<uint8_t> d = virtualPathDatagram(kind, f);
    d[1] = 3;
    d[6] = packed2(now.year / 100);
    d[7] = packed2(now.year % 100);
    d[8] = packed2(now.month);
    d[9] = packed2(now.day);
    d[10] = packed2(now.hour);
    d[11] = packed2(now.minute);
    d[12] = packed2(now.second);
    return d;
}

EthernetPoll::EthernetPoll(const FrameBuffer& frame, DatagramSocket& textChannel)
    : frame_(frame), textChannel_(textChannel) {}

int EthernetPoll::pollEthernet(EthernetPathState& path, int mode) {
    const auto command = ethernetCommand(path.kind, mode, path.sequence, frame_);
    if (!command) return -1;
    ++path.sequence;
    const auto* bytes = reinterpret_cast<const uint8_t*>(command->data());
    if (!textChannel_.sendDatagram(path.address, kTextCommandPort, std::span<const uint8_t>(bytes, command->size())))
        return kPollFailed;
    return 2;
}

int EthernetPoll::pollVirtual(int kind, int mode, SubscriberAddresses& addresses, DatagramSocket& channel) {
    if (mode != kPollSendOrder) return kPollFailed;
    const auto block = staged(frame_, FrameBuffer::kStage180, kStagedGprsBlock);
    const DecodedBlock d = decodeGprsBlock(block, {});
    std::string host;
    if (block[5] == 8) {
        // An acknowledgement goes back to where the block came from.
        host = dotted(block.data() + 1);
    } else {
        const auto address = kind == 1 ? addresses.registeredAddress(d.subscriber) : addresses.recordAddress(d.subscriber);
        if (!address) return kPollFailed;
        host = dotted(address->data());
    }
    const std::vector<uint8_t> datagram = virtualPathDatagram(kind, frame_);
    if (!channel.sendDatagram(host, kind == 1 ? kEthernetDatagramPort : kVgprsDatagramPort, datagram))
        return kPollFailed;
    return 2;
}

} // namespace k4
