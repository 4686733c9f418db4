#include "sim/dc09_player.h"

#include "net/dc09_crypto.h"
#include "net/dc09_frame.h"
#include "sim/dc09_socket.h"

#include <cctype>
#include <cstdio>
#include <ctime>
#include <map>

namespace k4::sim {

namespace {

std::string upper(std::string s) {
    for (char& c : s) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return s;
}

// No prefix sent: the centre may leave it out or answer "0".
bool sameNumber(const std::string& sent, const std::string& got) {
    if (sent.empty()) return got.empty() || got == "0";
    return upper(sent) == upper(got);
}

// A key the centre cannot know for the account: the right one turned over,
// or a fixed one where there is none.
std::vector<uint8_t> otherKey(const std::vector<uint8_t>& key) {
    if (key.empty()) return std::vector<uint8_t>(16, 0x5A);
    std::vector<uint8_t> out = key;
    for (uint8_t& b : out) b = static_cast<uint8_t>(~b);
    return out;
}

std::string nextSequence(int& counter) {
    counter = counter % 9999 + 1;
    char text[8];
    std::snprintf(text, sizeof text, "%04d", counter);
    return text;
}

} // namespace

std::string dc09Shown(std::string_view bytes) {
    std::string out;
    for (char c : bytes) {
        if (c == '\n') out += "<LF>";
        else if (c == '\r') out += "<CR>";
        else if (static_cast<unsigned char>(c) < 0x20 || static_cast<unsigned char>(c) > 0x7E) {
            char x[8];
            std::snprintf(x, sizeof x, "<%02X>", static_cast<unsigned char>(c));
            out += x;
        } else out.push_back(c);
    }
    return out;
}

std::string dc09PanelFrame(std::string_view kind, const Dc09Sent& sent, std::string_view data, int64_t stampAt,
                           bool withStamp) {
    Dc09Echo echo;
    echo.sequence = sent.sequence;
    echo.receiver = sent.receiver;
    echo.line = sent.line;
    echo.account = sent.account;
    const bool encrypt = !sent.key.empty();
    std::string text(data);
    text.push_back(']');
    if (withStamp) text += dc09TimeText(stampAt);
    std::string body = dc09Head(kind, encrypt, echo);
    body += encrypt ? dc09Encrypt(sent.key, text, dc09RandomFill) : text;
    return dc09Wrap(body);
}

std::string checkDc09Answer(const Dc09Sent& sent, std::string_view answer) {
    if (sent.expect == Dc09Expect::None) return answer.empty() ? "" : "odpowiedź, gdzie nie powinno być żadnej";
    if (answer.empty()) return "brak odpowiedzi";
    const Dc09FrameParse parsed = parseDc09Frame(answer);
    switch (parsed.error) {
    case Dc09FrameError::None: break;
    case Dc09FrameError::Crc: return "zła suma kontrolna odpowiedzi";
    case Dc09FrameError::Length: return "zła długość odpowiedzi";
    case Dc09FrameError::Format: return "odpowiedź nieczytelna";
    }
    const Dc09Frame& f = parsed.frame;
    const std::string wanted = dc09ExpectName(sent.expect);
    if (f.kind != wanted) return "oczekiwano " + wanted + ", jest " + f.kind;

    if (sent.expect == Dc09Expect::Nak) {
        // A NAK answers a frame the centre may not have read: in clear, no
        // sequence, with the centre's time for the panel's clock.
        if (f.encrypted) return "NAK zaszyfrowany";
        if (f.sequence != "0000") return "NAK z sekwencją " + f.sequence;
        if (!sameNumber(sent.receiver, f.receiver)) return "NAK: odbiornik " + f.receiver;
        if (!sameNumber(sent.line, f.line)) return "NAK: linia " + f.line;
        const auto content = parseDc09Content(f.tail);
        if (!content || !content->stamp) return "NAK bez czasu centrum";
        return "";
    }
    if (f.sequence != sent.sequence) return "sekwencja " + f.sequence + " zamiast " + sent.sequence;
    if (!sameNumber(sent.receiver, f.receiver)) return "odbiornik " + f.receiver + " zamiast " + sent.receiver;
    if (!sameNumber(sent.line, f.line)) return "linia " + f.line + " zamiast " + sent.line;
    if (upper(f.account) != upper(sent.account)) return "konto " + f.account + " zamiast " + sent.account;
    if (sent.encrypted != f.encrypted)
        return sent.encrypted ? "odpowiedź jawna na ramkę zaszyfrowaną" : "odpowiedź zaszyfrowana na ramkę jawną";
    std::string clear = f.tail;
    if (f.encrypted) {
        const auto text = dc09Decrypt(sent.key, f.tail);
        if (!text) return "odpowiedź nie odszyfrowuje się kluczem konta";
        clear = *text;
    }
    const auto content = parseDc09Content(clear);
    if (!content) return "treść odpowiedzi nieczytelna";
    if (f.encrypted && !content->stamp) return "zaszyfrowana odpowiedź bez czasu";
    return "";
}

Dc09PlayResult playDc09Scenario(const std::vector<Dc09Step>& steps, const Dc09PlayOptions& options, std::ostream& log) {
    Dc09PlayResult result;
    std::function<int64_t()> now = options.now;
    if (!now) now = [] { return static_cast<int64_t>(std::time(nullptr)); };
    std::map<std::string, std::vector<uint8_t>> keys;
    std::map<std::string, int> sequences;
    std::string receiver, line = "0";
    bool udp = false;
    Dc09Socket tcp, datagrams;
    for (const Dc09Step& step : steps) {
        if (options.stop && *options.stop) break;
        switch (step.kind) {
        case Dc09Step::Kind::Tcp: udp = false; continue;
        case Dc09Step::Kind::Udp: udp = true; continue;
        case Dc09Step::Kind::Reconnect: tcp.close(); continue;
        case Dc09Step::Kind::Prefix:
            receiver = step.receiver;
            line = step.line;
            continue;
        case Dc09Step::Kind::Key:
            if (step.keyHex == "-") keys.erase(upper(step.account));
            else keys[upper(step.account)] = *dc09KeyFromHex(step.keyHex);
            continue;
        case Dc09Step::Kind::Wait: sleepDc09Ms(static_cast<int>(step.seconds * 1000), options.stop); continue;
        case Dc09Step::Kind::Frame: break;
        }

        const auto key = keys.find(upper(step.account));
        const std::vector<uint8_t> known = key == keys.end() ? std::vector<uint8_t>{} : key->second;
        Dc09Sent sent;
        sent.sequence = step.sequence.empty() ? nextSequence(sequences[upper(step.account)]) : step.sequence;
        sent.receiver = receiver;
        sent.line = line;
        sent.account = step.account;
        sent.expect = step.expect;
        // Clear text from an account with a key is what the centre refuses.
        if (!step.expectWritten && step.clear && !known.empty()) sent.expect = Dc09Expect::Nak;
        // An encrypted frame must carry its time: a recorded one could be replayed.
        if (!step.expectWritten && step.noStamp && !known.empty() && !step.clear) sent.expect = Dc09Expect::Nak;
        Dc09Sent framed = sent;
        framed.key = step.clear ? std::vector<uint8_t>{} : step.wrongKey ? otherKey(known) : known;
        sent.encrypted = !framed.key.empty();
        sent.key = known;
        std::string frame = dc09PanelFrame(step.frameKind, framed, step.data, now() + step.stampOffset, !step.noStamp);
        if (step.badCrc) frame[1] = frame[1] == '0' ? '1' : '0';
        if (step.badLength) frame[8] = frame[8] == '0' ? '1' : '0';

        std::string error;
        Dc09Socket& socket = udp ? datagrams : tcp;
        if (!socket.isOpen() && !socket.open(udp, options.station, options.port, options.source, error)) {
            log << "ZLE " << step.text << " -> " << error << std::endl;
            ++result.failed;
            continue;
        }
        std::string answer;
        const int waitMs = sent.expect == Dc09Expect::None ? options.silenceMs : options.answerTimeoutMs;
        if (!socket.send(frame, error)) {
            tcp.close();
        } else {
            answer = socket.receiveFrame(waitMs, options.stop, error);
            // A closed connection is opened again for the next frame.
            if (!udp && !error.empty()) tcp.close();
        }
        std::string fault = checkDc09Answer(sent, answer);
        if (!fault.empty() && answer.empty() && !error.empty()) fault += " (" + error + ")";
        const Dc09FrameParse parsed = parseDc09Frame(answer);
        if (parsed.frame.kind == "ACK") ++result.acks;
        else if (parsed.frame.kind == "NAK") ++result.naks;
        else if (parsed.frame.kind == "DUH") ++result.duhs;
        if (fault.empty()) ++result.passed;
        else ++result.failed;
        if (!fault.empty() || !options.quiet) {
            log << (fault.empty() ? "ok  " : "ZLE ") << (udp ? "udp " : "tcp ") << step.text << " [" << sent.sequence
                << "] -> " << (answer.empty() ? std::string("brak odpowiedzi") : dc09Shown(answer));
            if (!fault.empty()) log << ": " << fault;
            log << std::endl;
        }
    }
    return result;
}

} // namespace k4::sim
