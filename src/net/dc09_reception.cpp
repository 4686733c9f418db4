#include "net/dc09_reception.h"

#include <cctype>

namespace k4 {

namespace {

Dc09Echo echoOf(const Dc09Frame& f) {
    Dc09Echo e;
    e.sequence = f.sequence.empty() ? "0000" : f.sequence;
    e.receiver = f.receiver;
    e.line = f.line;
    e.account = f.account;
    return e;
}

// A NAK carries the centre's time, so that a panel with a wrong clock can
// set it; it names no sequence and no account (an "A0" there would run
// into a hex line number), and it always travels in clear: the frame it
// answers may not have been readable with any key.
Dc09Verdict nak(const Dc09Frame& f, Dc09Refusal why, int64_t now) {
    Dc09Verdict v;
    v.answer = Dc09Answer::Nak;
    v.refusal = why;
    v.kind = f.kind;
    v.account = f.account;
    Dc09Echo e;
    e.receiver = f.receiver.empty() ? "0" : f.receiver;
    e.line = f.line.empty() ? "0" : f.line;
    v.reply = dc09Wrap(dc09Head("NAK", false, e) + "]" + dc09TimeText(now));
    return v;
}

// ACK and DUH echo the frame's fields, encrypted with the account's key when
// the frame was.
std::string answer(std::string_view kind, const Dc09Frame& f, const Dc09Account* account, int64_t now,
                   const Dc09Filler& fill) {
    const bool encrypt = f.encrypted && account && !account->key.empty();
    const std::string head = dc09Head(kind, encrypt, echoOf(f));
    if (!encrypt) return dc09Wrap(head + "]");
    return dc09Wrap(head + dc09Encrypt(account->key, "]" + dc09TimeText(now), fill));
}

std::string upper(std::string s) {
    for (char& c : s) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return s;
}

} // namespace

Dc09Verdict judgeDc09Frame(std::string_view bytes, int64_t nowUtc, const Dc09Policy& policy,
                           const Dc09AccountLookup& accounts, const SiaCodeMap& codes, const Dc09Filler& fill) {
    const Dc09FrameParse parsed = parseDc09Frame(bytes);
    Dc09Frame f = parsed.frame;
    f.account = upper(f.account);
    switch (parsed.error) {
    case Dc09FrameError::None: break;
    case Dc09FrameError::Format: return nak(f, Dc09Refusal::Format, nowUtc);
    case Dc09FrameError::Length: return nak(f, Dc09Refusal::Length, nowUtc);
    case Dc09FrameError::Crc: return nak(f, Dc09Refusal::Crc, nowUtc);
    }

    const bool known = f.kind == "SIA-DCS" || f.kind == "ADM-CID" || f.kind == "NULL";
    const Dc09Account* account = f.account.empty() ? nullptr : accounts(f.account);
    if (!account && (policy.refuseUnknownAccounts || f.account.empty())) {
        return nak(f, Dc09Refusal::UnknownAccount, nowUtc);
    }
    if (f.encrypted && (!account || account->key.empty())) return nak(f, Dc09Refusal::Decryption, nowUtc);
    if (!f.encrypted && account && (account->encryptionRequired || !account->key.empty()))
        return nak(f, Dc09Refusal::PlainRefused, nowUtc);

    std::string clear = f.tail;
    if (f.encrypted) {
        // The cipher text ends where the frame does; nothing may follow it.
        auto text = dc09Decrypt(account->key, f.tail);
        if (!text) return nak(f, Dc09Refusal::Decryption, nowUtc);
        clear = std::move(*text);
    }
    const auto content = parseDc09Content(clear);
    if (!content) return nak(f, f.encrypted ? Dc09Refusal::Decryption : Dc09Refusal::Format, nowUtc);
    // The time stamp is what makes a recorded encrypted frame useless to
    // replay: there it is required, in clear frames it may be left out.
    if (!content->stamp) {
        if (f.encrypted) return nak(f, Dc09Refusal::Stamp, nowUtc);
    } else if (*content->stamp > nowUtc + policy.aheadSeconds || *content->stamp < nowUtc - policy.behindSeconds) {
        return nak(f, Dc09Refusal::Stamp, nowUtc);
    }

    Dc09Verdict v;
    v.kind = f.kind;
    v.account = f.account;
    if (account) {
        v.subscriber = account->subscriber;
    } else {
        // Not in the table: the account's digits as the other paths give an
        // unknown subscriber, its number read in hexadecimal.
        v.unknownSubscriber = true;
        v.subscriber = static_cast<int32_t>(std::stoul(f.account.substr(0, 7), nullptr, 16));
    }
    auto duh = [&] {
        v.answer = Dc09Answer::Duh;
        v.refusal = Dc09Refusal::Kind;
        v.events.clear();
        v.supervision = false;
        v.reply = answer("DUH", f, account, nowUtc, fill);
        return v;
    };
    if (!known) return duh();
    if (f.kind == "NULL") {
        v.supervision = true;
    } else if (f.kind == "ADM-CID") {
        const auto event = dc09ContactIdEvent(content->data);
        if (!event) return duh();
        v.events.push_back(*event);
    } else {
        int unknown = 0;
        v.events = dc09SiaEvents(content->data, codes, &unknown);
        if (v.events.empty()) return duh();
    }
    for (const Dc09Event& e : v.events) v.supervision = v.supervision || e.periodicTest;
    v.answer = Dc09Answer::Ack;
    v.refusal = Dc09Refusal::None;
    v.reply = answer("ACK", f, account, nowUtc, fill);
    return v;
}

const char* dc09RefusalName(Dc09Refusal refusal) {
    switch (refusal) {
    case Dc09Refusal::None: return "ok";
    case Dc09Refusal::Format: return "format";
    case Dc09Refusal::Length: return "length";
    case Dc09Refusal::Crc: return "crc";
    case Dc09Refusal::Stamp: return "timestamp";
    case Dc09Refusal::Decryption: return "decryption";
    case Dc09Refusal::PlainRefused: return "plain text refused";
    case Dc09Refusal::UnknownAccount: return "unknown account";
    case Dc09Refusal::Kind: return "not handled";
    }
    return "?";
}

} // namespace k4
