#include "sim/dc09_scenario.h"

#include <sstream>

namespace k4::sim {

namespace {

bool allOf(const std::string& s, bool (*ok)(char)) {
    if (s.empty()) return false;
    for (char c : s)
        if (!ok(c)) return false;
    return true;
}
bool isDigit(char c) { return c >= '0' && c <= '9'; }
bool isHex(char c) { return isDigit(c) || (c >= 'A' && c <= 'F') || (c >= 'a' && c <= 'f'); }

} // namespace

const char* dc09ExpectName(Dc09Expect e) {
    switch (e) {
    case Dc09Expect::Ack: return "ACK";
    case Dc09Expect::Nak: return "NAK";
    case Dc09Expect::Duh: return "DUH";
    case Dc09Expect::None: return "nic";
    }
    return "?";
}

std::optional<std::vector<Dc09Step>> parseDc09Scenario(std::istream& in, std::string& error) {
    std::vector<Dc09Step> steps;
    std::string line;
    int number = 0;
    while (std::getline(in, line)) {
        ++number;
        if (!line.empty() && line.back() == '\r') line.pop_back();
        std::istringstream words(line);
        std::string word;
        if (!(words >> word) || word[0] == '#') continue;
        Dc09Step s;
        s.text = line.substr(line.find_first_not_of(" \t"));
        auto fail = [&](const std::string& why) {
            error = "wiersz " + std::to_string(number) + ": " + why;
            return std::nullopt;
        };
        auto account = [&](std::string& out) {
            return static_cast<bool>(words >> out) && out.size() >= 3 && out.size() <= 16 && allOf(out, isHex);
        };
        if (word == "tcp") {
            s.kind = Dc09Step::Kind::Tcp;
        } else if (word == "udp") {
            s.kind = Dc09Step::Kind::Udp;
        } else if (word == "reconnect") {
            s.kind = Dc09Step::Kind::Reconnect;
        } else if (word == "wait") {
            if (!(words >> s.seconds) || s.seconds < 0) return fail("wait SEKUNDY");
            s.kind = Dc09Step::Kind::Wait;
        } else if (word == "key") {
            if (!account(s.account) || !(words >> s.keyHex)) return fail("key KONTO KLUCZ|-");
            const size_t n = s.keyHex.size();
            if (s.keyHex != "-" && (!allOf(s.keyHex, isHex) || (n != 32 && n != 48 && n != 64)))
                return fail("klucz: 32, 48 albo 64 cyfry szesnastkowe albo -");
            s.kind = Dc09Step::Kind::Key;
        } else if (word == "prefix") {
            if (!(words >> s.receiver >> s.line)) return fail("prefix ODBIORNIK|- LINIA|-");
            for (std::string* p : {&s.receiver, &s.line}) {
                if (*p == "-") p->clear();
                else if (p->size() > 6 || !allOf(*p, isHex)) return fail("prefix: do 6 cyfr szesnastkowych albo -");
            }
            s.kind = Dc09Step::Kind::Prefix;
        } else if (word == "sia" || word == "cid" || word == "null" || word == "kind") {
            s.kind = Dc09Step::Kind::Frame;
            if (word == "kind") {
                if (!(words >> s.frameKind) || s.frameKind.size() > 15) return fail("kind NAZWA KONTO DANE");
                s.expect = Dc09Expect::Duh;
            } else {
                s.frameKind = word == "sia" ? "SIA-DCS" : word == "cid" ? "ADM-CID" : "NULL";
            }
            if (!account(s.account)) return fail(word + ": konto to 3 do 16 cyfr szesnastkowych");
            if (word == "sia" || word == "kind") {
                std::string data;
                if (!(words >> data)) return fail(word + " ... DANE");
                s.data = "#" + s.account + "|" + data;
            } else if (word == "cid") {
                std::string event, group, zone;
                if (!(words >> event >> group >> zone) || event.size() != 4 || group.size() != 2 || zone.size() != 3)
                    return fail("cid KONTO QEEE GG ZZZ");
                s.data = "#" + s.account + "|" + event + " " + group + " " + zone;
            }
            bool expectGiven = false;
            bool refused = false;
            for (std::string mod; words >> mod;) {
                if (mod == "crc") s.badCrc = refused = true;
                else if (mod == "length") s.badLength = refused = true;
                else if (mod == "late") s.stampOffset = -300, refused = true;
                else if (mod == "early") s.stampOffset = 120, refused = true;
                else if (mod == "nostamp") s.noStamp = true;
                else if (mod == "clear") s.clear = true;
                else if (mod == "wrongkey") s.wrongKey = refused = true;
                else if (mod == "seq") {
                    if (!(words >> s.sequence) || s.sequence.size() != 4 || !allOf(s.sequence, isDigit))
                        return fail("seq NNNN: cztery cyfry");
                } else if (mod == "expect") {
                    std::string e;
                    words >> e;
                    if (e == "ack") s.expect = Dc09Expect::Ack;
                    else if (e == "nak") s.expect = Dc09Expect::Nak;
                    else if (e == "duh") s.expect = Dc09Expect::Duh;
                    else if (e == "none") s.expect = Dc09Expect::None;
                    else return fail("expect ack|nak|duh|none");
                    expectGiven = true;
                } else {
                    return fail("nieznana zmiana ramki " + mod);
                }
            }
            // "clear" is refused only where the account has a key: the
            // player settles that with the keys of the moment.
            s.expectWritten = expectGiven;
            if (!expectGiven && refused) s.expect = Dc09Expect::Nak;
        } else {
            return fail("nieznany krok " + word);
        }
        steps.push_back(std::move(s));
    }
    return steps;
}

} // namespace k4::sim
