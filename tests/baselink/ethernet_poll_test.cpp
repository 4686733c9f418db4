#include "baselink/ethernet_poll.h"

#include "baselink/module_poll.h"

#include <gtest/gtest.h>

#include <string>

namespace k4 {
namespace {

using Bytes = std::vector<uint8_t>;

struct SentDatagrams final : DatagramSocket {
    std::vector<std::tuple<std::string, uint16_t, Bytes>> sent;
    bool refuse = false;
    bool sendDatagram(const std::string& host, uint16_t port, std::span<const uint8_t> bytes) override {
        if (refuse) return false;
        sent.emplace_back(host, port, Bytes(bytes.begin(), bytes.end()));
        return true;
    }
    std::string text(size_t i) const {
        const Bytes& b = std::get<2>(sent[i]);
        return std::string(b.begin(), b.end());
    }
};

struct Addresses final : SubscriberAddresses {
    std::optional<std::array<uint8_t, 4>> registered, record;
    std::optional<std::array<uint8_t, 4>> registeredAddress(int) override { return registered; }
    std::optional<std::array<uint8_t, 4>> recordAddress(int) override { return record; }
};

void stage(FrameBuffer& f, int at, const Bytes& bytes) { std::copy(bytes.begin(), bytes.end(), f.bytes.begin() + at); }

TEST(EthernetPoll, TextCommandsOfTheStagedOrders) {
    FrameBuffer f;
    struct Case { const char* what; int kind; int mode; int at; Bytes staged; const char* command; };
    const Case cases[] = {
        {"radio probe", 0x10, 2, 160, {0x12, 0x34, 0x04}, "%07 p11 a001234 j04#"},
        {"radio forward", 0x40, 3, 160, {5, 1, 2, 3, 4, 1, 3, 0, 0, 2, 0, 0, 7, 0, 0},
         "%07 p10 k5 a1234 m02130007#"},
        {"GSM probe", 0x90, 2, 180, {0x60, 0x12, 0x34, 0x56, 0x7F, 0x04}, "%07 p90 t601234567 j04#"},
        {"GSM forward", 0x90, 2, 180, {0x60, 0x12, 0x34, 0x56, 0x72, 0x12, 0x34, 0x13, 0x00, 0x20, 0x07},
         "%07 p90 t601234567 a001234 m13002007 x02#"},
        {"GPRS order", 0xB0, 2, 180, {17, 10, 0, 0, 1, 2, 1, 0x12, 0x34, 4, 0, 0, 0, 0, 0, 3, 0},
         "%07 pB0 i0A000001 g0C02011234040000000000030058#"},
    };
    for (const Case& c : cases) {
        f.bytes.fill(0);
        stage(f, c.at, c.staged);
        const auto command = ethernetCommand(c.kind, c.mode, 7, f);
        ASSERT_TRUE(command) << c.what;
        EXPECT_EQ(*command, c.command) << c.what;
    }
    EXPECT_FALSE(ethernetCommand(0x10, 1, 0, f)) << "a normal poll sends nothing";
}

TEST(EthernetPoll, ABaseCountsItsCommands) {
    FrameBuffer f;
    stage(f, 160, {0x00, 0x42, 0x04});
    SentDatagrams socket;
    EthernetPoll poll(f, socket);
    EthernetPathState base{0x10, "10.0.0.5", 0xFF};
    EXPECT_EQ(poll.pollEthernet(base, kPollSendOrder), 2);
    EXPECT_EQ(poll.pollEthernet(base, kPollSendOrder), 2);
    EXPECT_EQ(poll.pollEthernet(base, kPollNormal), -1);
    ASSERT_EQ(socket.sent.size(), 2u);
    EXPECT_EQ(std::get<0>(socket.sent[0]), "10.0.0.5");
    EXPECT_EQ(std::get<1>(socket.sent[0]), kTextCommandPort);
    EXPECT_EQ(socket.text(0), "%ff p11 a000042 j04#");
    EXPECT_EQ(socket.text(1), "%00 p11 a000042 j04#") << "the sequence wraps in two hex digits";
    socket.refuse = true;
    EXPECT_EQ(poll.pollEthernet(base, kPollSendOrder), kPollFailed) << "a refused send is no success";
}

TEST(EthernetPoll, VirtualPathsSendOneDatagram) {
    FrameBuffer f;
    const Bytes block{17, 192, 168, 1, 9, 2, 1, 0x12, 0x34, 4, 0, 0, 0, 0, 0, 3, 0};
    stage(f, 180, block);
    SentDatagrams socket;
    Addresses addresses;
    EthernetPoll poll(f, socket);
    EXPECT_EQ(poll.pollVirtual(1, kPollNormal, addresses, socket), kPollFailed);
    EXPECT_EQ(poll.pollVirtual(1, kPollSendOrder, addresses, socket), kPollFailed) << "not registered";
    addresses.registered = std::array<uint8_t, 4>{10, 1, 2, 3};
    addresses.record = std::array<uint8_t, 4>{10, 9, 8, 7};
    EXPECT_EQ(poll.pollVirtual(1, kPollSendOrder, addresses, socket), 2);
    EXPECT_EQ(poll.pollVirtual(2, kPollSendOrder, addresses, socket), 2);
    ASSERT_EQ(socket.sent.size(), 2u);
    EXPECT_EQ(std::get<0>(socket.sent[0]), "10.1.2.3");
    EXPECT_EQ(std::get<1>(socket.sent[0]), kEthernetDatagramPort);
    EXPECT_EQ(std::get<2>(socket.sent[0]), (Bytes{12, 2, 1, 0x12, 0x34, 4, 0, 0, 0, 0, 0, 3, 0, 'Y'}));
    EXPECT_EQ(std::get<0>(socket.sent[1]), "10.9.8.7");
    EXPECT_EQ(std::get<1>(socket.sent[1]), kVgprsDatagramPort);
    EXPECT_EQ(std::get<2>(socket.sent[1]).back(), 'X');

    f[185] = 8; // an acknowledgement goes back to the block's own sender
    EXPECT_EQ(poll.pollVirtual(2, kPollSendOrder, addresses, socket), 2);
    EXPECT_EQ(std::get<0>(socket.sent[2]), "192.168.1.9");

    LocalDateTime now;
    now.year = 2026, now.month = 12, now.day = 10, now.hour = 22, now.minute = 5, now.second = 9;
    const Bytes time = timeSettingDatagram(2, f, now);
    EXPECT_EQ(time, (Bytes{12, 3, 1, 0x12, 0x34, 4, 0x20, 0x26, 0x12, 0x10, 0x22, 0x05, 0x09, 'X'}));
}

} // namespace
} // namespace k4
