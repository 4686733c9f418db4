// The IP panels' simulator judges answers as a panel must: a table of the
// station's possible answers to one frame, right and wrong, each with what
// the simulator must say about it; and the scenario's defaults for damaged
// frames.
#include "net/dc09_crypto.h"
#include "net/dc09_frame.h"
#include "sim/dc09_player.h"
#include "sim/dc09_scenario.h"

#include <gtest/gtest.h>

#include <sstream>

namespace k4::sim {
namespace {

const std::vector<uint8_t> kKey = *dc09KeyFromHex("000102030405060708090A0B0C0D0E0F");
constexpr int64_t kNow = 1796962500;

uint8_t fill() { return 'x'; }

TEST(Dc09Simulator, EveryWrongAnswerIsNamed) {
    Dc09Sent plain{"0042", "1", "2", "1234"};
    Dc09Sent secret{"0042", "1", "2", "5678", true, kKey};
    Dc09Sent refused = plain;
    refused.expect = Dc09Expect::Nak;
    const std::string ack = dc09Wrap("\"ACK\"0042R1L2#1234[]");
    std::string badCrc = ack;
    badCrc[1] = badCrc[1] == '0' ? '1' : '0';
    const std::string encryptedAck =
        dc09Wrap("\"*ACK\"0042R1L2#5678[" + dc09Encrypt(kKey, "]" + dc09TimeText(kNow), fill));
    const std::vector<uint8_t> otherKey(16, 0x33);
    const std::string foreignAck =
        dc09Wrap("\"*ACK\"0042R1L2#5678[" + dc09Encrypt(otherKey, "]" + dc09TimeText(kNow), fill));
    const std::string nak = dc09Wrap("\"NAK\"0000R1L2[]" + dc09TimeText(kNow));

    struct Case {
        const Dc09Sent& sent;
        std::string answer;
        std::string fault; // empty: as expected
    };
    for (const Case& c : std::initializer_list<Case>{
             {plain, ack, ""},
             {plain, "", "brak odpowiedzi"},
             {plain, badCrc, "zła suma kontrolna odpowiedzi"},
             {plain, dc09Wrap("\"ACK\"0043R1L2#1234[]"), "sekwencja 0043 zamiast 0042"},
             {plain, dc09Wrap("\"ACK\"0042R3L2#1234[]"), "odbiornik 3 zamiast 1"},
             {plain, dc09Wrap("\"ACK\"0042R1L9#1234[]"), "linia 9 zamiast 2"},
             {plain, dc09Wrap("\"ACK\"0042R1L2#1235[]"), "konto 1235 zamiast 1234"},
             {plain, dc09Wrap("\"DUH\"0042R1L2#1234[]"), "oczekiwano ACK, jest DUH"},
             {plain, nak, "oczekiwano ACK, jest NAK"},
             {secret, encryptedAck, ""},
             {secret, dc09Wrap("\"ACK\"0042R1L2#5678[]"), "odpowiedź jawna na ramkę zaszyfrowaną"},
             {secret, foreignAck, "odpowiedź nie odszyfrowuje się kluczem konta"},
             {refused, nak, ""},
             {refused, dc09Wrap("\"NAK\"0000R1L2[]"), "NAK bez czasu centrum"},
             {refused, dc09Wrap("\"NAK\"0042R1L2[]" + dc09TimeText(kNow)), "NAK z sekwencją 0042"},
             {refused, ack, "oczekiwano NAK, jest ACK"},
         })
        EXPECT_EQ(checkDc09Answer(c.sent, c.answer), c.fault) << dc09Shown(c.answer);
}

TEST(Dc09Simulator, DamagedFramesExpectANakAndOtherKindsADuh) {
    std::istringstream text("# panels\n"
                            "sia 1234 Nri1/BA01\n"
                            "sia 1234 Nri1/BA01 crc\n"
                            "cid 1234 1130 01 002 late\n"
                            "null 1234 wrongkey\n"
                            "kind XYZ 1234 abc\n"
                            "sia 1234 Nri1/BA01 crc expect none\n"
                            "sia 1234 Nri1/BA01 clear\n");
    std::string error;
    const auto steps = parseDc09Scenario(text, error);
    ASSERT_TRUE(steps) << error;
    ASSERT_EQ(steps->size(), 7u);
    const Dc09Expect expected[] = {Dc09Expect::Ack, Dc09Expect::Nak, Dc09Expect::Nak, Dc09Expect::Nak,
                                   Dc09Expect::Duh, Dc09Expect::None, Dc09Expect::Ack};
    for (size_t i = 0; i < steps->size(); ++i) EXPECT_EQ((*steps)[i].expect, expected[i]) << (*steps)[i].text;
    EXPECT_EQ((*steps)[2].data, "#1234|1130 01 002");

    for (const char* bad : {"sia 12 Nri1/BA01\n", "cid 1234 113 01 002\n", "key 1234 0011\n", "sia 1234 X seq 12\n",
                            "fly 1234\n"}) {
        std::istringstream one(bad);
        EXPECT_FALSE(parseDc09Scenario(one, error)) << bad;
    }
}

} // namespace
} // namespace k4::sim
