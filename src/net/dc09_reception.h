#pragma once
// The centre's judgement of one frame from an IP panel: whether it is
// taken (and then what it reports), refused with a NAK, or not understood
// (DUH), and the answer that goes back. No socket here: the receiver hands
// in the bytes and sends the answer, and sends an ACK only once the report
// is stored.
#include "net/dc09_crypto.h"
#include "net/dc09_events.h"
#include "net/dc09_frame.h"

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace k4 {

// An account of the panels' table.
struct Dc09Account {
    std::string account;          // the digits after '#', upper case
    int32_t subscriber = 0;       // the subscriber number in the database
    std::vector<uint8_t> key;     // empty: no encryption
    bool encryptionRequired = false; // set whenever a key is: plain text is refused
};

struct Dc09Policy {
    // How far a frame's time stamp may stand from the centre's clock.
    int64_t aheadSeconds = 20;
    int64_t behindSeconds = 40;
    // An account missing from the table: refused, or received as an
    // unknown subscriber with its number as the other paths do.
    bool refuseUnknownAccounts = true;
};

enum class Dc09Answer : uint8_t { Ack, Nak, Duh };

// Why a frame was not taken; counted in the link statistics and named in
// the (rate-limited) technical entry.
enum class Dc09Refusal : uint8_t {
    None,
    Format,
    Length,
    Crc,
    Stamp,          // outside the window, or missing where it is required
    Decryption,     // did not decrypt to a valid block
    PlainRefused,   // an account with a key sent clear text
    UnknownAccount, // not in the table and such accounts are refused
    Kind,           // a kind or data the centre cannot handle (DUH)
};

struct Dc09Verdict {
    Dc09Answer answer = Dc09Answer::Nak;
    Dc09Refusal refusal = Dc09Refusal::Format;
    // The frame to send; for an ACK it goes only after the report is stored.
    std::string reply;
    std::string kind;   // "SIA-DCS", "ADM-CID", "NULL"
    std::string account;
    int32_t subscriber = 0;
    bool unknownSubscriber = false;
    bool supervision = false; // a NULL frame or a test event: restart the test
    std::vector<Dc09Event> events;
};

using Dc09AccountLookup = std::function<const Dc09Account*(std::string_view account)>;

Dc09Verdict judgeDc09Frame(std::string_view bytes, int64_t nowUtc, const Dc09Policy& policy,
                           const Dc09AccountLookup& accounts, const SiaCodeMap& codes,
                           const Dc09Filler& fill = dc09RandomFill);

// The text of a refusal for the technical window (plain ASCII).
const char* dc09RefusalName(Dc09Refusal refusal);

} // namespace k4
