#pragma once
// The report messages of the Ethernet receiving bases: a header ("$" or
// "&" and the sequence) up to the first blank, then blank-separated tokens
// up to the closing "#". A token's first character is its letter, the rest
// fields of fixed width at fixed positions; the vocabulary is the one the
// centre uses in its own commands to the bases. Reading a message fills the
// message record and the parser's state; what the message then means is
// acted on by BaseMessageParser.
#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace k4 {

constexpr int kNoSubscriberField = 0xFFFF;

// The message record.
struct BaseMessage {
    int subscriber = kNoSubscriberField;
    bool hexNumber = false;
    int radioDigit = -1;
    int subsystem = 0;
    int code = 0;
    int sector = 0;
    int reportFlags = 0;   // bit 0: a last report
    int orderKey = 0;      // the track-queue sequence a partner echoes
    int partnerParam = 0;
    int quality1 = 0xFF;   // 0xFF: no "s" token came
    int quality2 = 0;
    int quality3 = 0;
    int quality4 = 0;
    int confirmMode = 0;   // 1 confirmation asked, 2 passed on to the partner centre
};

enum class MessageState { None, Report, OrderAnswer, Ignored, PartnerConfirmation, PartnerMessage, Handled, LineState };

// What the parser keeps beside the record while it reads one message.
struct MessageReading {
    BaseMessage record;
    int sourceKind = 0;
    int sourceNumber = -1;
    int status = -1;
    int resultCode = -1;
    int forwardCode = -1;
    int namedSubscriber = -1; // -1 no "a"/"A"; 0 an "A"; else the "a" subscriber
    std::string phone;
    int phoneOwner = -1;      // -1 no "t"; -2 unknown; else the owner
    std::array<uint8_t, 4> partnerIp{};
    std::optional<std::string> text;
    MessageState state = MessageState::None;
};

// What two tokens do outside the message: the "t" token looks its telephone
// up (writing the unknown one down), the "c" token checks the base's clock.
class TokenLookups {
public:
    virtual ~TokenLookups() = default;
    // The owner of the telephone, or -2 when it is unknown.
    virtual int phoneOwner(const std::string& phone, int sourceKind) = 0;
    // YYMMDDhhmmss, one digit value a byte.
    virtual void clockCheck(const std::array<uint8_t, 12>& digits) = 0;
};

// Message types of a "g" token.
enum : int {
    kGReport = 1,
    kGIgnored = 4,
    kGReportConfirmed = 8,
    kGPartnerMessage = 9,
    kGReportOther = 10,
    kGOrderAnswer = 32,
    kGOrderAnswerOther = 48,
    kGPartnerConfirmation = 128,
};

// Reads the tokens of a message. Nothing when there is no header token
// (no blank). stdOdb: the station works in mode "Std/Odb".
std::optional<MessageReading> readBaseMessage(std::string_view text, bool stdOdb, TokenLookups& lookups);

// A hexadecimal digit as the bases write it, unchecked: a character that
// is not one gives a wrong value, never one outside 0..15.
int hexDigit(char c);

} // namespace k4
