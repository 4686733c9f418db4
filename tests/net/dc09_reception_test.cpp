// The centre's answer to each kind of frame, and what a taken frame reports.
#include "net/dc09_reception.h"

#include <gtest/gtest.h>

#include <map>

namespace k4 {
namespace {

constexpr int64_t kNow = 1796962500; // 2026-12-11 04:15:00 UTC

struct Table {
    std::map<std::string, Dc09Account, std::less<>> accounts;
    Dc09AccountLookup lookup() const {
        return [this](std::string_view a) -> const Dc09Account* {
            const auto it = accounts.find(a);
            return it == accounts.end() ? nullptr : &it->second;
        };
    }
};

Table table() {
    Table t;
    t.accounts["1234"] = Dc09Account{"1234", 1234, {}, false};
    Dc09Account secret{"5678", 42, *dc09KeyFromHex("000102030405060708090A0B0C0D0E0F1011121314151617"), true};
    t.accounts["5678"] = secret;
    return t;
}

uint8_t fixedFill() { return 7; }

std::string plain(const std::string& kind, const std::string& data, int64_t stampAt = kNow, const char* account = "1234") {
    return dc09Wrap("\"" + kind + "\"0042R1L2#" + account + "[" + data + "]" + dc09TimeText(stampAt));
}

std::string encrypted(const std::string& kind, const std::string& data, const std::vector<uint8_t>& key,
                      int64_t stampAt = kNow) {
    return dc09Wrap("\"*" + kind + "\"0042R1L2#5678[" + dc09Encrypt(key, data + "]" + dc09TimeText(stampAt), fixedFill));
}

Dc09Verdict judge(const std::string& frame, Dc09Policy policy = {}) {
    static const SiaCodeMap codes;
    static const Table t = table();
    return judgeDc09Frame(frame, kNow, policy, t.lookup(), codes, fixedFill);
}

TEST(Dc09Reception, AckEchoesTheFrame) {
    const Dc09Verdict v = judge(plain("SIA-DCS", "#1234|Nri1/BA01"));
    EXPECT_EQ(v.answer, Dc09Answer::Ack);
    EXPECT_EQ(v.reply, dc09Wrap("\"ACK\"0042R1L2#1234[]"));
    EXPECT_EQ(v.subscriber, 1234);
    ASSERT_EQ(v.events.size(), 1u);
    EXPECT_EQ(v.events[0].code, 0x130);
    EXPECT_FALSE(v.supervision);
}

TEST(Dc09Reception, EveryAnswerAndRefusal) {
    const auto key = table().accounts["5678"].key;
    std::string badCrc = plain("SIA-DCS", "NBA01");
    badCrc[2] = badCrc[2] == 'F' ? 'E' : 'F';
    std::string badLength = plain("SIA-DCS", "NBA01");
    badLength[8] = badLength[8] == '1' ? '2' : '1';
    struct Case {
        const char* what;
        std::string frame;
        Dc09Answer answer;
        Dc09Refusal refusal;
    };
    const Case cases[] = {
        {"contact id", plain("ADM-CID", "1130 01 015"), Dc09Answer::Ack, Dc09Refusal::None},
        {"null", plain("NULL", ""), Dc09Answer::Ack, Dc09Refusal::None},
        {"no stamp in clear", dc09Wrap("\"NULL\"0001L0#1234[]"), Dc09Answer::Ack, Dc09Refusal::None},
        {"20 s ahead", plain("NULL", "", kNow + 20), Dc09Answer::Ack, Dc09Refusal::None},
        {"21 s ahead", plain("NULL", "", kNow + 21), Dc09Answer::Nak, Dc09Refusal::Stamp},
        {"40 s behind", plain("NULL", "", kNow - 40), Dc09Answer::Ack, Dc09Refusal::None},
        {"41 s behind", plain("NULL", "", kNow - 41), Dc09Answer::Nak, Dc09Refusal::Stamp},
        {"crc", badCrc, Dc09Answer::Nak, Dc09Refusal::Crc},
        {"length", badLength, Dc09Answer::Nak, Dc09Refusal::Length},
        {"format", "\nxxxx\r", Dc09Answer::Nak, Dc09Refusal::Format},
        {"bad content", dc09Wrap("\"SIA-DCS\"0001L0#1234[NBA01"), Dc09Answer::Nak, Dc09Refusal::Format},
        {"unknown account", plain("NULL", "", kNow, "9999"), Dc09Answer::Nak, Dc09Refusal::UnknownAccount},
        {"unknown kind", plain("SIA-XYZ", "NBA01"), Dc09Answer::Duh, Dc09Refusal::Kind},
        {"unknown code", plain("SIA-DCS", "NQQ01"), Dc09Answer::Duh, Dc09Refusal::Kind},
        {"bad contact id", plain("ADM-CID", "9999"), Dc09Answer::Duh, Dc09Refusal::Kind},
        {"encrypted", encrypted("SIA-DCS", "#5678|NFA2", key), Dc09Answer::Ack, Dc09Refusal::None},
        {"plain to a keyed account", plain("SIA-DCS", "NFA2", kNow, "5678"), Dc09Answer::Nak, Dc09Refusal::PlainRefused},
        {"encrypted stale", encrypted("NULL", "", key, kNow - 100), Dc09Answer::Nak, Dc09Refusal::Stamp},
        {"encrypted no stamp", dc09Wrap("\"*NULL\"0001L0#5678[" + dc09Encrypt(key, "]", fixedFill)), Dc09Answer::Nak,
         Dc09Refusal::Stamp},
        {"wrong key", encrypted("NULL", "", *dc09KeyFromHex("FF0102030405060708090A0B0C0D0E0F1011121314151617")),
         Dc09Answer::Nak, Dc09Refusal::Decryption},
        {"encrypted to a clear account", dc09Wrap("\"*NULL\"0001L0#1234[" + dc09Encrypt(key, "]", fixedFill)),
         Dc09Answer::Nak, Dc09Refusal::Decryption},
        {"garbage as cipher", dc09Wrap("\"*NULL\"0001L0#5678[0011223344"), Dc09Answer::Nak, Dc09Refusal::Decryption},
    };
    for (const Case& c : cases) {
        const Dc09Verdict v = judge(c.frame);
        EXPECT_EQ(v.answer, c.answer) << c.what;
        EXPECT_EQ(v.refusal, c.refusal) << c.what << ": " << dc09RefusalName(v.refusal);
        // Every answer is a frame of its own that reads back.
        const Dc09FrameParse back = parseDc09Frame(v.reply);
        ASSERT_EQ(back.error, Dc09FrameError::None) << c.what << ": " << v.reply;
        const char* kind = c.answer == Dc09Answer::Ack ? "ACK" : c.answer == Dc09Answer::Nak ? "NAK" : "DUH";
        EXPECT_EQ(back.frame.kind, kind) << c.what;
        if (c.answer != Dc09Answer::Ack) {
            EXPECT_TRUE(v.events.empty()) << c.what;
        }
    }
}

TEST(Dc09Reception, NakCarriesTheCentresTime) {
    const Dc09Verdict v = judge(plain("NULL", "", kNow - 3600));
    EXPECT_EQ(v.reply, dc09Wrap("\"NAK\"0000R1L2[]_04:15:00,12-11-2026"));
}

TEST(Dc09Reception, EncryptedAnswerWithTheAccountsKey) {
    const auto key = table().accounts["5678"].key;
    const Dc09Verdict v = judge(encrypted("ADM-CID", "#5678|3110 04 002", key));
    ASSERT_EQ(v.answer, Dc09Answer::Ack);
    EXPECT_EQ(v.subscriber, 42);
    ASSERT_EQ(v.events.size(), 1u);
    EXPECT_EQ(v.events[0].code, 0x910);
    EXPECT_EQ(v.events[0].subsystem, 4);
    EXPECT_EQ(v.events[0].sector, 2);
    const Dc09FrameParse back = parseDc09Frame(v.reply);
    ASSERT_EQ(back.error, Dc09FrameError::None);
    EXPECT_TRUE(back.frame.encrypted);
    EXPECT_EQ(back.frame.kind, "ACK");
    EXPECT_EQ(back.frame.sequence, "0042");
    EXPECT_EQ(back.frame.account, "5678");
    EXPECT_EQ(dc09Decrypt(key, back.frame.tail), "]_04:15:00,12-11-2026");
}

TEST(Dc09Reception, SupervisionAndUnknownAccounts) {
    EXPECT_TRUE(judge(plain("NULL", "")).supervision);
    EXPECT_TRUE(judge(plain("SIA-DCS", "NRP")).supervision);
    EXPECT_TRUE(judge(plain("ADM-CID", "1602 00 000")).supervision);
    EXPECT_FALSE(judge(plain("ADM-CID", "1130 00 000")).supervision);

    Dc09Policy open;
    open.refuseUnknownAccounts = false;
    const Dc09Verdict v = judge(plain("SIA-DCS", "NBA1", kNow, "AB12"), open);
    EXPECT_EQ(v.answer, Dc09Answer::Ack);
    EXPECT_TRUE(v.unknownSubscriber);
    EXPECT_EQ(v.subscriber, 0xAB12);
}

} // namespace
} // namespace k4
