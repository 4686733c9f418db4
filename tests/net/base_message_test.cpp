// The report messages of Ethernet bases, read and acted on: a table of
// messages as bases send them and the calls and history entries each
// produces, then messages no base should send.
#include "net/base_message_parser.h"

#include "../history/history_fixture.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <map>
#include <set>
#include <string>
#include <vector>

namespace k4 {
namespace {

std::string f(const char* format, auto... args) {
    char text[256];
    std::snprintf(text, sizeof text, format, args...);
    return text;
}

std::string staged(const FrameBuffer& frame) {
    std::string hex;
    for (int i = 0; i < 20; ++i) hex += f("%02X", frame[FrameBuffer::kStage180 + i]);
    return hex;
}

// Every call the parser makes, as one line.
struct RecordingLinks final : BaseMessageLinks {
    explicit RecordingLinks(const FrameBuffer& frame) : frame_(frame) {}
    std::vector<std::string> calls;
    std::map<std::string, int> phones;          // "telefon": phone -> first owner
    std::set<std::pair<std::string, int>> pairs; // every (phone, owner)
    std::map<int, uint16_t> forwardingWords;
    int follow = -2;
    Stamp stamp = test::localStamp(2026, 12, 11, 12, 0, 0);

    std::optional<MessagePath> pathOf(int slot) override {
        if (slot != 7) return std::nullopt;
        return MessagePath{6, 0, "TE"};
    }
    int processReport(const Report& r) override {
        calls.push_back(f("report %d/%d/%X/%d path %d flags %d", r.subscriber, r.subsystem, r.code, r.sector, r.path,
                          r.flags) +
                        (r.text ? " text " + *r.text : ""));
        const int result = follow;
        follow = -2;
        return result;
    }
    void markProbeAnswered(int slot, int subscriber) override { calls.push_back(f("probe %d on %d", subscriber, slot)); }
    void confirmForwarding(int subscriber, int base, int bit) override {
        calls.push_back(f("confirm %d base %d bit %02X", subscriber, base, bit));
    }
    void confirmGprsForwarding(int slot, int subscriber, int base, int bit, int entry) override {
        calls.push_back(f("gprs confirm %d base %d bit %02X on %d entry %d", subscriber, base, bit, slot, entry));
    }
    void logEntry(int kind, const HistoryEntry& e) override {
        calls.push_back(f("log %d flags %02X value %d detail %d sector %04X kind %04X code2 %04X", kind, e.flags,
                          static_cast<int>(e.subscriber), e.subsystem, static_cast<int>(e.sector),
                          static_cast<int>(e.kind), static_cast<int>(e.code2)));
    }
    void linkStatus(int kind, const LinkStatusRecord& r) override {
        calls.push_back(f("link p%02X %d %d %d %d of %d", kind, r.quality1, r.quality2, r.quality3, r.quality4, r.subscriber));
    }
    std::optional<int> ownerOfPhone(const std::string& phone) override {
        auto it = phones.find(phone);
        if (it == phones.end()) return std::nullopt;
        return it->second;
    }
    bool phoneOfSubscriber(const std::string& phone, int subscriber) override {
        return pairs.count({phone, subscriber}) != 0;
    }
    std::optional<uint16_t> forwardingWord(int subscriber) override {
        auto it = forwardingWords.find(subscriber);
        if (it == forwardingWords.end()) return std::nullopt;
        return it->second;
    }
    int queueOrder(int slot, uint8_t alarmId, uint8_t type) override {
        calls.push_back(f("queue on %d alarm %d type %d ", slot, alarmId, type) + staged(frame_));
        return 2;
    }
    int pollSendOrder(int slot) override {
        calls.push_back(f("send on %d ", slot) + staged(frame_));
        return 2;
    }
    void notice(MessageGuard&, std::string_view text, unsigned style) override {
        calls.push_back(f("notice %X ", style) + Messages::shownText(text, false));
    }
    void wakeScreen() override { calls.push_back("wake"); }
    Stamp now() override { return stamp; }

private:
    const FrameBuffer& frame_;
};

struct ParserRig {
    ConfigBlock config{};
    FrameBuffer frame;
    RecordingLinks links{frame};
    BaseMessageParser parser{config, frame, links};

    ParserRig() {
        config.special_codes[5] = 0x602; // "TEST OKRESOWY"
        config.special_codes[9] = 0x609; // "LICZNIK ALARMÓW"
        // Base 3 (index 2) is a GPRS partner at 10.0.0.9 with parameter 2
        // and a radio base at address 3 of any radio path.
        const uint8_t ip[4] = {10, 0, 0, 9};
        std::memcpy(config.bases[2].gprsAddress, ip, 4);
        config.bases[2].gsmParam = 2;
        config.bases[2].radio = 0x03;
        // Base 5 is heard only through radio path 2.
        config.bases[4].radio = 0x24;
        links.phones = {{"601234567", 1234}, {"500100200", 2001}};
        links.pairs = {{"601234567", 1234}, {"500100200", 2001}, {"500100200", 1234}};
        links.forwardingWords = {{1234, 0x0340}};
    }
};

struct Case {
    const char* what;
    int mode;
    int options;
    const char* message;
    int result;
    std::vector<std::string> calls;
};

// A base 120 minutes behind: the time it sent in bytes 5 to 8, the
// minutes in code2.
std::string clockEntry() {
    const auto sent = static_cast<uint32_t>(test::localStamp(2026, 12, 11, 10, 0, 0));
    return f("log 57 flags 01 value %d detail %d sector %04X kind 0000 code2 0078", static_cast<int16_t>(sent & 0xFFFF),
             static_cast<int>((sent >> 16) & 0xFF), static_cast<int>(sent >> 24));
}

// The path nibbles of slot 7 (type TE = 6, number 0): kind 0x6000, code2 0x1000.
// Built when the tests run, after the time zone is set.
std::vector<Case> cases() {
    return {
    {"a report", 0, 0, "$1F p80 a011234 m01130001#", 0, {"report 1234/1/130/1 path 7 flags 0"}},
    {"a hexadecimal subscriber", 0, 0, "$20 a01AB12 m01130001#", 0, {"report 43794/1/130/1 path 7 flags 1"}},
    {"a short report", 0, 0, "$21 l123413005#", 0, {"report 1234/0/130/5 path 7 flags 0"}},
    {"a message with no tokens", 0, 0, "$22 #", 0, {}},
    {"no header token", 0, 0, "$22#", -1, {}},
    {"the fields alone", 0, 0, "$23 a011234 M01130001#", 0, {}},
    {"all three values 0", 0, 0, "$24 a011234 m00000000#", 0, {}},
    {"the filler", 0, 0, "$25 aAAAAAA mAAAAAAAA#", 0, {}},
    {"a last report", 0, 0, "$26 g0C01051234011300010000000159#", 0, {"report 1234/91/130/1 path 7 flags 0"}},
    {"a report to confirm", 0, 0, "$27 g0C08051234011300010000000059#", 1, {"report 1234/1/130/1 path 7 flags 0"}},
    {"a report passed on to the partner", 3, 0, "$28 g0C01051234011300010000000059#", 2,
     {"report 1234/1/130/1 path 7 flags 0",
      "queue on 7 alarm 255 type 9 110A000009090012340113000100000300000000"}},
    {"an ignored g", 0, 0, "$29 g0C04051234011300010000000059#", 0, {}},
    {"a partner's confirmation over GPRS", 0, 0, "$2A pB0 i0A000009 g0C80051234011300010000020059#", 0,
     {"gprs confirm 1234 base 2 bit 40 on 7 entry 5"}},
    {"a partner's confirmation otherwise", 0, 0, "$2B p90 i0A000009 g0C80051234011300010000020059#", 0,
     {"confirm 1234 base 2 bit 40"}},
    {"a confirmation with another parameter", 0, 0, "$2C p90 i0A000009 g0C80051234011300010000030059#", 0, {}},
    {"a partner's report", 0, 0, "$2D i0A000009 g0C09051234011300010000030059#", 0,
     {"send on 7 110A000009900012340113000100000300000000",
      "log 47 flags 01 value 1234 detail 3 sector 0130 kind 4000 code2 0002"}},
    {"a GPRS order answer", 0, 0, "$2E pB0 g0C20051234050000000000000059#", 0, {"probe 1234 on 7"}},
    {"a GPRS order refused", 0, 0, "$2F pB0 g0C20051234070000000000000059#", 0,
     {"log 56 flags 01 value 1234 detail 7 sector 0000 kind 6038 code2 1000"}},
    {"a GSM probe answer", 0, 0, "$30 p80 a011234 m09005000#", 0, {"probe 1234 on 7"}},
    {"a GSM order refused", 0, 0, "$31 p80 a011234 m09007000#", 0,
     {"log 56 flags 01 value 1234 detail 7 sector 0000 kind 6038 code2 1000"}},
    {"an order answer", 0, 0, "$32 a011234 j05#", 0, {"probe 1234 on 7"}},
    {"an order answer 13", 0, 0, "$33 a011234 j0D#", 0, {}},
    {"a short code of a newer decoder", 0, 2, "$34 p80 a011234 m01007003#", 0, {"report 1234/1/73/4095 path 7 flags 0"}},
    {"decimal digits of a dial-up receiver", 0, 0, "$35 p20 a011234 m12130034#", 0,
     {"report 1234/12/130/34 path 7 flags 0"}},
    {"link quality", 0, 0, "$36 p80 a011234 m01130001 s12034567#", 0,
     {"report 1234/1/130/1 path 7 flags 0", "link p80 1 2 345 103 of 1234"}},
    {"a radio confirmation", 0, 0, "$37 a011234 k3 y02#", 0, {"confirm 1234 base 2 bit 20"}},
    {"a radio confirmation through radio path 2", 0, 0, "$38 p02 a041234 x01#", 0, {"confirm 1234 base 4 bit 20"}},
    {"a partner took the alarm into service", 0, 0, "$39 a011234 m01130001 y05#", 0,
     {"log 72 flags 01 value 1234 detail 1 sector 0001 kind 6000 code2 1130"}},
    {"a partner ended the service", 0, 0, "$3A a011234 m01130001 y0F#", 0,
     {"log 73 flags 01 value 1234 detail 1 sector 0001 kind 6000 code2 1130"}},
    {"a result without a subscriber", 0, 0, "$3B y05#", 0, {}},
    {"a known telephone alone", 0, 0, "$3C p90 t601234567#", 0, {"report 1234/1/602/127 path 7 flags 0"}},
    {"an eleven-digit telephone", 0, 0, "$3D p90 t48601234567#", 0, {"report 1234/1/602/127 path 7 flags 0"}},
    {"an unknown telephone", 0, 0, "$3E p90 t700800900#", 0,
     {"log 43 flags 01 value 24452 detail 197 sector 0029 kind 0000 code2 0000"}},
    {"a telephone of another subscriber", 0, 0, "$3F p20 a011111 t500100200 m01130001#", 0,
     {"log 45 flags 01 value -5016 detail 206 sector 001D kind 0000 code2 0001",
      "report 1111/1/130/1 path 7 flags 0"}},
    {"a telephone its subscriber shares", 0, 0, "$40 p80 a011234 t500100200 m01130001#", 0,
     {"report 1234/1/130/1 path 7 flags 0"}},
    {"an incomplete report", 0, 0, "$41 A011234 t601234567#", 0,
     {"log 67 flags A5 value 4704 detail 52 sector 7056 kind 6000 code2 1003",
      "notice 2  Niepełny meldunek: 601234567 1234 0 0 0"}},
    {"the telephone line lost", 0, 0, "$42 u80008#", 0,
     {"log 11 flags 01 value 0 detail 0 sector 0000 kind 6000 code2 1000", "wake",
      "notice 1  Brak linii telef. w pakiecie TE1"}},
    {"the telephone line back", 0, 0, "$43 u80108#", 0,
     {"log 10 flags 01 value 0 detail 0 sector 0000 kind 6000 code2 1000"}},
    {"a line state of another kind", 0, 0, "$44 u80007#", 0, {}},
    {"a text for the alarm service", 3, 0, "$45 a011234 m01130001 x12AB34#", 0,
     {"report 1234/1/130/1 path 7 flags 0 text %07 y12AB34#"}},
    {"a long x outside Std/Odb", 0, 0, "$46 a011234 m01130001 x12AB34#", 0, {"report 1234/1/130/1 path 7 flags 0"}},
    {"the base's clock right", 0, 0, "$47 a011234 c261211120030#", 0, {}},
    {"the base's clock off", 0, 0, "$48 a011234 c20261211100000#", 0,
     {clockEntry()}},
    {"no clock check of the filler", 0, 0, "$49 aAAAAAA c261211100000#", 0, {}},
};
}

TEST(BaseMessage, EachMessageProducesItsCallsAndEntries) {
    for (const Case& c : cases()) {
        ParserRig rig;
        rig.config.mode = static_cast<int16_t>(c.mode);
        rig.config.options = static_cast<uint8_t>(c.options);
        EXPECT_EQ(rig.parser.parseBaseMessage(c.message, 7), c.result) << c.what;
        EXPECT_EQ(rig.links.calls, c.calls) << c.what << ": " << c.message;
    }
}

TEST(BaseMessage, AReportThatTripsTheLimiterIsFollowedByTheAlarmCounter) {
    ParserRig rig;
    rig.links.follow = 1234;
    rig.parser.parseBaseMessage("$1F a011234 m01130001#", 7);
    EXPECT_EQ(rig.links.calls, (std::vector<std::string>{"report 1234/1/130/1 path 7 flags 0",
                                                         "report 1234/255/609/4095 path 7 flags 0"}));
}

TEST(BaseMessage, AMessageKeptFromTheLastRunWithoutItsPathNamesTheEthernetType) {
    ParserRig rig;
    rig.parser.parseBaseMessage("$1F a011234 m01130001 j07#", -1);
    // The report goes on, the order answer needs the path and is not logged.
    EXPECT_EQ(rig.links.calls, (std::vector<std::string>{}));
    rig.parser.parseBaseMessage("$1F a011234 m01130001#", -1);
    rig.parser.parseBaseMessage("$20 a011234 m01130001#", 9);
    EXPECT_EQ(rig.links.calls, (std::vector<std::string>{"report 1234/1/130/1 path -7 flags 0",
                                                         "report 1234/1/130/1 path -7 flags 0"}));
}

// Messages no base should send: read as far as they go, nothing read past
// the text (the sanitizer watches every one in a buffer of its own size).
TEST(BaseMessage, BadInputIsReadAsFarAsItGoesOrDropped) {
    const Case bad[] = {
        {"unknown letters", 0, 0, "$1F z123 Q99 #", 0, {}},
        {"fields cut short", 0, 0, "$1F a01 m011 l12 g0C08 c2612 i0A s1 u80 y#", 0, {}},
        {"a cut token after a whole one", 0, 0, "$1F a011234 m01130001 s12#", 0, {"report 1234/1/130/1 path 7 flags 0"}},
        {"no closing #", 0, 0, "$1F a011234 m01130001", 0, {"report 1234/1/130/1 path 7 flags 0"}},
        {"what follows the #", 0, 0, "$1F a011234# m01130001", 0, {}},
        {"non-hex in hex fields", 0, 0, "$1F a011234 m0G13000Z#", 0, {"report 1234/0/130/3 path 7 flags 0"}},
        {"lower case is read as upper case", 0, 0, "$1F a011234 m01c3000a#", 0, {"report 1234/1/C30/10 path 7 flags 0"}},
        {"a subscriber of signs", 0, 0, "$1F a01!!!! m01130001#", 0, {"report 1111/1/130/1 path 7 flags 0"}},
    };
    for (const Case& c : bad) {
        ParserRig rig;
        EXPECT_EQ(rig.parser.parseBaseMessage(std::string(c.message), 7), c.result) << c.what;
        EXPECT_EQ(rig.links.calls, c.calls) << c.what;
    }
    for (char letter : std::string("aAmMlgcijkpstuxyz")) {
        ParserRig rig;
        rig.config.mode = 3;
        std::string message = std::string("$1F ") + letter + std::string(58, 'F') + "#";
        ASSERT_EQ(message.size(), 64u);
        const int result = rig.parser.parseBaseMessage(message, 7);
        EXPECT_TRUE(result >= 0 && result <= 2) << letter;
    }
}

} // namespace
} // namespace k4
