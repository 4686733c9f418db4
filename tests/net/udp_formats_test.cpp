// The byte and text formats of the UDP channels, without sockets: addresses,
// the bases' answers and confirmations, the transmitters' datagrams, the
// sbsip registry, the kind-67 text entries, the reply limiter, the allowed
// senders and the port settings.
#include "config/config_form.h"
#include "history/history_entry.h"
#include "net/allowed_senders.h"
#include "net/base_text.h"
#include "net/base_text_log.h"
#include "net/binary_datagram.h"
#include "net/ip_text.h"
#include "net/reply_limiter.h"
#include "net/sbs_ip_registry.h"
#include "net/udp_command.h"
#include "net/udp_settings.h"
#include "support/history_rig.h"

#include <gtest/gtest.h>

#include <cstring>

namespace k4 {
namespace {

using Bytes = std::vector<uint8_t>;

TEST(IpText, FixedWidthFieldsAndDottedText) {
    EXPECT_EQ(ipToInt("192.168.001.010"), 0xC0A8010Au);
    EXPECT_EQ(ipToInt(" 10.  1.  2.  3"), 0x0A010203u);
    EXPECT_EQ(ipToInt("abc.001.002.003"), 0x00010203u); // a field that is no number counts 0
    EXPECT_EQ(intToIp(0xC0A8010Au), "192.168.1.10");
    EXPECT_EQ(parseDottedIp("010.002.000.255"), (Ipv4{10, 2, 0, 255}));
    for (const char* bad : {"", "1.2.3", "1.2.3.4.5", "256.1.1.1", "1.2.3.4 ", "a.b.c.d", "1..2.3"})
        EXPECT_FALSE(parseDottedIp(bad)) << bad;
}

TEST(BaseText, CommandRepliesByTypeLetter) {
    struct Case {
        const char* text;
        int sequence;
        int32_t value; // starting from -1
    } cases[] = {
        {"%05 #", 5, 0x50000},
        {"%05 p10X2A#", 5, 0x2A10},
        {"%1F p10#", 0x1F, 0x10},
        {"%03 y0A91#", 3, 0x0A91},
        {"%03 q12#", 3, -1},   // another letter leaves the value
        {"%", 0, -1},          // no hex digits at all
        {"%ZZ y#", 0, 0},      // "y" with no number: 0
        {"%07 pX#", 7, 0},     // "X" with no digits after it
    };
    for (const Case& c : cases) {
        int32_t value = -1;
        EXPECT_EQ(parseCommandReply(c.text, value), c.sequence) << c.text;
        EXPECT_EQ(value, c.value) << c.text;
    }
}

TEST(BaseText, AcknowledgementAndConfirmation) {
    EXPECT_EQ(baseAcknowledgement("$1F p10 a001234#"), "$1F#");
    EXPECT_EQ(baseAcknowledgement("x!"), "x! #");
    EXPECT_TRUE(carriesNoTokens("$1F    #"));
    EXPECT_FALSE(carriesNoTokens("$1F p10 a001234#"));

    std::string s = "$2A gAB0101234012000000000000058#";
    const size_t g = s.find('g');
    ASSERT_TRUE(makeConfirmation(s));
    EXPECT_EQ(s[0], '%');
    EXPECT_EQ(s.substr(g + 3, 2), "80");
    EXPECT_EQ(s.substr(g + 23, 2), "03");
    EXPECT_EQ(s.size(), 33u);

    std::string none = "$2A p10#";
    EXPECT_FALSE(makeConfirmation(none));
    // A "g" too near the end: nothing is written past the text.
    std::string tooShort = "$2A g01#";
    EXPECT_FALSE(makeConfirmation(tooShort));
    EXPECT_EQ(tooShort, "$2A g01#");
}

Bytes datagram(uint8_t command, uint8_t hi, uint8_t lo, uint8_t subsystem, uint8_t b6, uint8_t b7, uint8_t b8,
               uint8_t marker = 'Y') {
    return {12, command, 0, hi, lo, subsystem, b6, b7, b8, 0, 0, 0, 0, marker};
}

TEST(BinaryDatagram, ShortAndLongForms) {
    EXPECT_EQ(shortFormSubscriber(Bytes{7, 0, 0, 0, 0, 0, 0x12, 0x34, 'Y'}), 1234);
    EXPECT_EQ(shortFormSubscriber(Bytes{8, 0, 0, 0, 0, 0, 0, 0x00, 0x42, 'X'}), 42);
    EXPECT_FALSE(shortFormSubscriber(Bytes{7, 0, 0, 0, 0, 0, 0x12, 0x34, 'Z'}));
    EXPECT_FALSE(shortFormSubscriber(Bytes{7, 0, 0, 0, 0, 0, 0x12, 0x34})); // marker past the end
    EXPECT_FALSE(shortFormSubscriber(Bytes{}));

    const auto f = longForm(datagram(0x01, 0x12, 0x34, 0x01, 0x13, 0x00, 0x05));
    ASSERT_TRUE(f);
    EXPECT_EQ(f->subscriber, 1234);
    EXPECT_FALSE(f->hexNumber);
    EXPECT_EQ(f->subsystem, 1);
    EXPECT_EQ(f->code, 0x130);
    EXPECT_EQ(f->sector, 0x005);

    const auto hex = longForm(datagram(0x01, 0x1A, 0x34, 0, 0, 0, 0));
    ASSERT_TRUE(hex);
    EXPECT_EQ(hex->subscriber, 0x1A34);
    EXPECT_TRUE(hex->hexNumber);

    EXPECT_TRUE(isFiller(*longForm(datagram(0x08, 0xAA, 0xAA, 0xAA, 0xAA, 0xAA, 0xAA))));
    EXPECT_FALSE(longForm(Bytes(13, 0)));                         // too short for the marker
    EXPECT_FALSE(longForm(datagram(0x01, 0, 0, 0, 0, 0, 0, 'Q'))); // wrong marker
    EXPECT_EQ(replyCode(0x01), 0x10);
    EXPECT_EQ(replyCode(0x04), 0x40);
    EXPECT_EQ(replyCode(0x08), 0x80);
    EXPECT_EQ(replyCode(0x09), 0x90);
    EXPECT_EQ(replyCode(0x20), 0);
    EXPECT_EQ(replyCode(0x80), 0);
}

struct Registry : ::testing::Test, test::HistoryRig {
    SbsIpRegistry registry{DataDir(dir.path()), messages};
};

TEST_F(Registry, CollisionsProbeUpwardAndTheFileIsTheWholeTable) {
    registry.registerSubscriberIp(5, "10.0.0.5");
    registry.registerSubscriberIp(1029, "10.0.0.29");
    EXPECT_EQ(registry.slot(5).subscriber, 5);
    EXPECT_EQ(registry.slot(6).subscriber, 1029);
    EXPECT_EQ(registry.lookupSubscriberIp(1029), "10.0.0.29");
    EXPECT_FALSE(registry.lookupSubscriberIp(2053));

    const std::string bytes = dir.read("sbsip");
    ASSERT_EQ(bytes.size(), 18432u);
    EXPECT_EQ(static_cast<uint8_t>(bytes[6 * 18]), 1029 & 0xFF);
    EXPECT_EQ(static_cast<uint8_t>(bytes[6 * 18 + 1]), 1029 >> 8);
    EXPECT_STREQ(bytes.data() + 6 * 18 + 2, "10.0.0.29");

    SbsIpRegistry again{DataDir(dir.path()), messages};
    ASSERT_EQ(again.load(), 0);
    EXPECT_EQ(again.lookupSubscriberIp(5), "10.0.0.5");
    EXPECT_EQ(again.lookupSubscriberIp(1029), "10.0.0.29");
}

TEST_F(Registry, TheSameAddressTwiceWritesOnceAndStrangeNumbersStayOut) {
    registry.registerSubscriberIp(77, "192.168.100.200");
    registry.registerSubscriberIp(77, "192.168.100.200");
    EXPECT_EQ(registry.writes(), 1);
    registry.registerSubscriberIp(77, "192.168.100.201");
    EXPECT_EQ(registry.writes(), 2);
    registry.registerSubscriberIp(-1, "1.2.3.4");
    registry.registerSubscriberIp(0x8000, "1.2.3.4");
    EXPECT_EQ(registry.writes(), 2);
    // At most fifteen characters are kept.
    registry.registerSubscriberIp(78, "1234567890123456789");
    EXPECT_EQ(registry.lookupSubscriberIp(78), "123456789012345");
}

TEST_F(Registry, AShortFileIsToldAndWhatItHoldsKept) {
    registry.registerSubscriberIp(3, "10.1.1.3");
    std::string bytes = dir.read("sbsip");
    bytes.resize(100);
    dir.write("sbsip", bytes);
    SbsIpRegistry again{DataDir(dir.path()), messages};
    EXPECT_EQ(again.load(), -1);
    EXPECT_EQ(again.lookupSubscriberIp(3), "10.1.1.3");
    ASSERT_EQ(ui.boxes.size(), 1u);
    EXPECT_NE(ui.boxes[0].text.find("wczytania pliku sbsip"), std::string::npos);
}

struct TextLog : ::testing::Test, test::HistoryRig {
    TextLog() { EXPECT_GE(history.OpenHistory("logf"), 0); }
    std::vector<HistoryEntry> entries() const {
        const std::string bytes = dir.read("logf");
        std::vector<HistoryEntry> out;
        for (size_t at = kHistoryHeaderSize; at + kHistoryEntrySize <= bytes.size(); at += kHistoryEntrySize) {
            HistoryEntry e;
            std::memcpy(&e, bytes.data() + at, sizeof e);
            out.push_back(e);
        }
        return out;
    }
};

TEST_F(TextLog, TwelveCharactersAreTwoChunksAndAClosingOne) {
    logBaseText(history, 6, 2, "ABCDEFGHIJKL", 12);
    const auto e = entries();
    ASSERT_EQ(e.size(), 3u);
    for (const auto& x : e) {
        EXPECT_EQ(x.kindCode(), kHistoryBaseText);
        EXPECT_EQ(x.kind >> 12, 6);
        EXPECT_EQ(x.code2 >> 12, 2);
    }
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(&e[0]) + 5, 5), "ABCDE");
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(&e[1]) + 5, 5), "FGHIJ");
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(&e[2]) + 5, 2), "KL");
    EXPECT_EQ(e[0].flags, 5);
    EXPECT_EQ(e[0].code2 & 0x0FFF, 0);
    EXPECT_EQ(e[1].code2 & 0x0FFF, 1);
    EXPECT_EQ(e[2].code2 & 0x0FFF, 0x81);
    EXPECT_EQ(e[2].flags, 5 | (2 << 4));
}

TEST_F(TextLog, AtMostTenWholeChunks) {
    const std::string s(64, 'x');
    logBaseText(history, 6, 1, s, s.size());
    EXPECT_EQ(entries().size(), 11u); // ten chunks and the closing four
}

TEST(ReplyLimiter, OneAddressIsLimitedAndARepeatedEchoHeldBack) {
    ReplyLimiter limiter;
    int allowed = 0;
    for (int i = 0; i < 100; ++i) allowed += limiter.allow("10.0.0.1", 1000) ? 1 : 0;
    EXPECT_EQ(allowed, ReplyLimiter::kPerSecond);
    EXPECT_TRUE(limiter.allow("10.0.0.2", 1000)); // another address is not held back
    EXPECT_TRUE(limiter.allow("10.0.0.1", 2000)); // the next second

    const Bytes keepAlive{7, 0, 0, 0, 0, 0, 0x12, 0x34, 'Y'};
    EXPECT_TRUE(limiter.allowEcho("10.0.0.3", keepAlive, 5000));
    EXPECT_FALSE(limiter.allowEcho("10.0.0.3", keepAlive, 5001)); // came straight back: a loop
    EXPECT_TRUE(limiter.allowEcho("10.0.0.3", keepAlive, 5000 + ReplyLimiter::kRepeatMs));
}

TEST(AllowedSenders, NetworksInCidrForm) {
    AllowedSenders a;
    EXPECT_TRUE(a.allows("1.2.3.4")); // no list: everyone
    const auto bad = a.parse("# transmitters\n10.1.0.0/16\n192.168.5.7\n\nnot-an-address\n172.16.0.0/40\n");
    EXPECT_EQ(bad, (std::vector<std::string>{"not-an-address", "172.16.0.0/40"}));
    EXPECT_TRUE(a.allows("10.1.200.3"));
    EXPECT_FALSE(a.allows("10.2.0.1"));
    EXPECT_TRUE(a.allows("192.168.5.7"));
    EXPECT_FALSE(a.allows("192.168.5.8"));
    EXPECT_FALSE(a.allows("garbage"));
    a.parse("0.0.0.0/0\n");
    EXPECT_TRUE(a.allows("8.8.8.8"));
}

TEST(UdpSettings, ThreePortsAndAnAddress) {
    const auto s = UdpSettings::parse("27024,21024,28024@127.0.0.2", nullptr);
    ASSERT_TRUE(s);
    EXPECT_EQ(s->textPort, 27024);
    EXPECT_EQ(s->vgprsPort, 21024);
    EXPECT_EQ(s->ethernetPort, 28024);
    EXPECT_EQ(s->bindAddress, "127.0.0.2");
    std::string error;
    for (const char* bad : {"7024", "1,2,3,4", "1,2,x", "1,2,70000", "1,2,3@host", ",,"}) {
        EXPECT_FALSE(UdpSettings::parse(bad, &error)) << bad;
        EXPECT_FALSE(error.empty());
    }
    const UdpSettings standard;
    EXPECT_EQ(standard.textPort, 7024);
    EXPECT_EQ(standard.vgprsPort, 1024);
    EXPECT_EQ(standard.ethernetPort, 8024);
}

// A base that answers each command as the test says, through the pump.
struct ScriptedBase final : DatagramSocket, EventPump {
    test::ManualClock& clock;
    udp_c* command = nullptr;
    std::vector<std::string> sent;
    bool answers = true;
    explicit ScriptedBase(test::ManualClock& c) : clock(c) {}
    bool sendDatagram(const std::string&, uint16_t, std::span<const uint8_t> bytes) override {
        sent.emplace_back(bytes.begin(), bytes.end());
        return true;
    }
    void runFor(int ms) override {
        clock.advanceMs(ms);
        if (answers && command && !sent.empty()) {
            int32_t value = command->lastReply;
            const std::string reply = "%" + sent.back().substr(1, 2) + " #";
            command->answered(static_cast<uint8_t>(parseCommandReply(reply, value)));
            command->lastReply = value;
        }
    }
    void wake() override {}
};

struct Command : ::testing::Test, test::HistoryRig {
    ScriptedBase base{clock};
    udp_c command{base, 7024, clock, &base, messages, suspended};
    Command() { base.command = &command; }
};

TEST_F(Command, RollingSequenceSkipsZero) {
    EXPECT_EQ(command.sendCommand("10.0.0.1", "%00#"), 0);
    EXPECT_EQ(base.sent.back(), "%01#");
    for (int i = 2; i <= 0xFF; ++i) ASSERT_EQ(command.sendCommand("10.0.0.1", "%00#"), 0);
    EXPECT_EQ(base.sent.back(), "%FF#");
    EXPECT_EQ(command.sendCommand("10.0.0.1", "%00#\r"), 0);
    EXPECT_EQ(base.sent.back(), "%01#"); // never 00, and no carriage return
    EXPECT_EQ(command.lastReply, 0x50000);
}

TEST_F(Command, NoAnswerWithin500msAndWhatIsRefused) {
    base.answers = false;
    const uint64_t before = clock.tickMs();
    EXPECT_EQ(command.sendCommand("10.0.0.1", "%03#"), -1);
    EXPECT_GE(clock.tickMs() - before, 500u);
    EXPECT_LT(clock.tickMs() - before, 600u);
    EXPECT_EQ(base.sent.back(), "%03#");
    EXPECT_FALSE(command.busy());

    const size_t sent = base.sent.size();
    EXPECT_EQ(command.sendCommand("0.0.0.0", "%03#"), -1);
    suspended = true;
    EXPECT_EQ(command.sendCommand("10.0.0.1", "%03#"), -1);
    suspended = false;
    EXPECT_EQ(base.sent.size(), sent);
    EXPECT_EQ(command.sendCommand("10.0.0.1", ""), -1);
    ASSERT_EQ(ui.boxes.size(), 1u);
    EXPECT_EQ(ui.boxes[0].text, "Brak danych w buforze UDP");
}

TEST_F(Command, AnInvalidAddressIsAskedForAgain) {
    ui.textAnswers = {std::string("10.0.0.9")};
    EXPECT_EQ(command.sendCommand("baza.", "%03#"), 0);
    ui.textAnswers = {std::nullopt};
    const size_t sent = base.sent.size();
    EXPECT_EQ(command.sendCommand("zly adres", "%03#"), -1);
    EXPECT_EQ(base.sent.size(), sent);
}

TEST_F(Command, ASecondCommandDuringTheWaitIsRefused) {
    int inner = 99;
    struct Reentering final : EventPump {
        std::function<void()> during;
        test::ManualClock* clock;
        void runFor(int ms) override {
            clock->advanceMs(ms);
            if (during) during();
        }
        void wake() override {}
    } pump;
    pump.clock = &clock;
    udp_c c{base, 7024, clock, &pump, messages, suspended};
    pump.during = [&] { inner = c.sendCommand("10.0.0.1", "%04#"); };
    EXPECT_EQ(c.sendCommand("10.0.0.1", "%03#"), -1);
    EXPECT_EQ(inner, -1);
}

} // namespace
} // namespace k4
