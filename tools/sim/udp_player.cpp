#include "sim/udp_player.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstring>
#include <map>
#include <sstream>

namespace k4::sim {

namespace {

uint8_t bcd(int v) { return static_cast<uint8_t>(((v / 10 % 10) << 4) | (v % 10)); }

std::vector<uint8_t> longForm(uint8_t command, int sub, int subsystem, int code, int sector, bool ethernet) {
    return {12, command, 0, bcd(sub / 100), bcd(sub % 100), static_cast<uint8_t>(subsystem),
            static_cast<uint8_t>(code >> 4), static_cast<uint8_t>(((code & 0xF) << 4) | ((sector >> 8) & 0xF)),
            static_cast<uint8_t>(sector & 0xFF), 0, 0, 0, 0, static_cast<uint8_t>(ethernet ? 'Y' : 'X')};
}

std::string hexText(const std::vector<uint8_t>& b) {
    std::string out;
    char x[4];
    for (uint8_t v : b) {
        std::snprintf(x, sizeof x, "%02X ", v);
        out += x;
    }
    if (!out.empty()) out.pop_back();
    return out;
}

bool printable(const std::vector<uint8_t>& b) {
    for (uint8_t v : b)
        if (v < 0x20 || v > 0x7E) return false;
    return true;
}

std::string shown(const std::vector<uint8_t>& b) {
    return printable(b) ? "\"" + std::string(b.begin(), b.end()) + "\"" : hexText(b);
}

} // namespace

std::optional<std::vector<UdpStep>> parseUdpScenario(std::istream& in, std::string& error) {
    std::vector<UdpStep> steps;
    std::string line;
    int number = 0;
    while (std::getline(in, line)) {
        ++number;
        if (const auto hash = line.find('#');
            hash != std::string::npos && line.rfind("message", 0) != 0 && line.rfind("confirm ", 0) != 0)
            line.resize(hash);
        std::istringstream words(line);
        std::string word;
        if (!(words >> word)) continue;
        UdpStep s;
        s.text = line;
        auto fail = [&](const std::string& why) {
            error = "wiersz " + std::to_string(number) + ": " + why;
            return std::nullopt;
        };
        auto channel = [&]() -> bool {
            std::string c;
            words >> c;
            if (c != "eth" && c != "gprs") return false;
            s.ethernet = c == "eth";
            return true;
        };
        try {
            if (word == "base") {
                std::string kind;
                if (!(words >> s.base >> s.address >> kind)) return fail("base N ADRES RODZAJ");
                s.kind = UdpStep::Kind::Base;
                s.kindByte = std::stoi(kind, nullptr, 16);
            } else if (word == "silent") {
                if (!(words >> s.base)) return fail("silent N");
                s.kind = UdpStep::Kind::Silent;
            } else if (word == "message" || word == "confirm") {
                std::string seq, rest;
                if (!(words >> s.base >> seq) || seq.size() != 2) return fail(word + " N SEQ TEKST");
                std::getline(words, rest);
                const std::string text = "$" + seq + rest + "#";
                s.kind = UdpStep::Kind::Message;
                s.bytes.assign(text.begin(), text.end());
                const std::string ack = "$" + seq + "#";
                s.expect.assign(ack.begin(), ack.end());
                if (word == "confirm") {
                    // The centre's confirmation: the same text, "%" first, the
                    // "g" token's type 80 and its flags 03.
                    std::string confirmation = text;
                    const auto g = confirmation.find('g');
                    if (g == std::string::npos || g + 25 > confirmation.size())
                        return fail("confirm: brak pola g o 28 cyfrach");
                    confirmation[0] = '%';
                    confirmation.replace(g + 3, 2, "80");
                    confirmation.replace(g + 23, 2, "03");
                    s.expectAfter.assign(confirmation.begin(), confirmation.end());
                }
            } else if (word == "keepalive") {
                int sub = 0;
                if (!channel() || !(words >> s.address >> sub)) return fail("keepalive eth|gprs ADRES ABONENT");
                s.kind = UdpStep::Kind::KeepAlive;
                s.bytes = {7, 0, 0, 0, 0, 0, bcd(sub / 100), bcd(sub % 100), static_cast<uint8_t>(s.ethernet ? 'Y' : 'X')};
                s.expect = s.bytes;
            } else if (word == "report" || word == "confirmed" || word == "status") {
                int sub = 0;
                std::string code = "0", subsystem = "0", sector = "FFF";
                if (!channel() || !(words >> s.address >> sub)) return fail(word + " eth|gprs ADRES ABONENT ...");
                if (word == "status") {
                    if (!(words >> subsystem)) return fail("status eth|gprs ADRES ABONENT PODSYSTEM");
                } else {
                    if (!(words >> code)) return fail(word + " eth|gprs ADRES ABONENT KOD [PODSYSTEM [SEKTOR]]");
                    words >> subsystem >> sector;
                }
                const uint8_t command = word == "report" ? 0x01 : word == "confirmed" ? 0x08 : 0x04;
                s.kind = word == "report" ? UdpStep::Kind::Report
                         : word == "confirmed" ? UdpStep::Kind::Confirmed : UdpStep::Kind::Status;
                s.bytes = longForm(command, sub, std::stoi(subsystem, nullptr, 16), std::stoi(code, nullptr, 16),
                                   std::stoi(sector, nullptr, 16), s.ethernet);
                s.expect = s.bytes;
                s.expect[1] = command == 0x01 ? 0x10 : command == 0x08 ? 0x80 : 0x40;
            } else if (word == "wait") {
                if (!(words >> s.seconds)) return fail("wait SEKUNDY");
                s.kind = UdpStep::Kind::Wait;
            } else {
                return fail("nieznany krok " + word);
            }
        } catch (const std::exception&) {
            return fail("zła liczba");
        }
        steps.push_back(std::move(s));
    }
    return steps;
}

namespace {

struct Socket {
    int fd = -1;
    std::string address;
    uint16_t port = 0;
    bool base = false;
    bool silent = false;
    int kindByte = 0;
    // The centre's confirmation of the report just sent begins with "%"
    // like a command; it is taken as the answer, not answered.
    std::vector<uint8_t> awaited;
    std::vector<std::vector<uint8_t>> inbox;
};

class Network {
public:
    Network(const UdpPlayOptions& options, std::ostream& log, UdpPlayResult& result)
        : options_(options), log_(log), result_(result) {}
    ~Network() {
        for (auto& [key, s] : sockets_) ::close(s.fd);
    }

    Socket* open(const std::string& address, uint16_t port) {
        const std::string key = address + ":" + std::to_string(port);
        if (auto it = sockets_.find(key); it != sockets_.end()) return &it->second;
        Socket s;
        s.address = address;
        s.port = port;
        s.fd = ::socket(AF_INET, SOCK_DGRAM, 0);
        sockaddr_in a{};
        a.sin_family = AF_INET;
        a.sin_port = htons(port);
        if (s.fd < 0 || ::inet_pton(AF_INET, address.c_str(), &a.sin_addr) != 1 ||
            ::bind(s.fd, reinterpret_cast<sockaddr*>(&a), sizeof a) != 0) {
            log_ << "nie można otworzyć " << key << ": " << std::strerror(errno) << std::endl;
            if (s.fd >= 0) ::close(s.fd);
            return nullptr;
        }
        return &sockets_.emplace(key, s).first->second;
    }

    void send(Socket& s, const std::vector<uint8_t>& bytes, uint16_t port) {
        sockaddr_in a{};
        a.sin_family = AF_INET;
        a.sin_port = htons(port);
        ::inet_pton(AF_INET, options_.station.c_str(), &a.sin_addr);
        ::sendto(s.fd, bytes.data(), bytes.size(), 0, reinterpret_cast<sockaddr*>(&a), sizeof a);
    }

    // Serves every socket until the deadline (the bases answer the
    // station's commands meanwhile), or until wanted has something.
    void serve(int ms, Socket* wanted, size_t count = 1) {
        const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
        while (!(options_.stop && *options_.stop)) {
            if (wanted && wanted->inbox.size() >= count) return;
            const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(end - std::chrono::steady_clock::now()).count();
            if (left <= 0) return;
            std::vector<pollfd> fds;
            std::vector<Socket*> order;
            for (auto& [key, s] : sockets_) {
                fds.push_back({s.fd, POLLIN, 0});
                order.push_back(&s);
            }
            if (::poll(fds.data(), fds.size(), static_cast<int>(std::min<long long>(left, 100))) <= 0) continue;
            for (size_t i = 0; i < fds.size(); ++i)
                if (fds[i].revents & POLLIN) take(*order[i]);
        }
    }

private:
    void take(Socket& s) {
        uint8_t buffer[2048];
        sockaddr_in from{};
        socklen_t length = sizeof from;
        const ssize_t n = ::recvfrom(s.fd, buffer, sizeof buffer, 0, reinterpret_cast<sockaddr*>(&from), &length);
        if (n < 0) return;
        std::vector<uint8_t> got(buffer, buffer + n);
        if (s.base && !got.empty() && got[0] == '%' && got != s.awaited) {
            if (s.silent || got.size() < 3) return;
            // The probe "%NN#" is answered with the base's kind; any other
            // command is acknowledged with its sequence.
            char reply[32];
            const bool probe = got.size() == 4 && got[3] == '#';
            if (probe) std::snprintf(reply, sizeof reply, "%%%c%c y%02X#", got[1], got[2], s.kindByte);
            else std::snprintf(reply, sizeof reply, "%%%c%c #", got[1], got[2]);
            ++(probe ? result_.probes : result_.commands);
            if (!options_.quiet)
                log_ << "baza " << s.address << ": " << shown(got) << " -> " << reply << std::endl;
            ::sendto(s.fd, reply, std::strlen(reply), 0, reinterpret_cast<sockaddr*>(&from), length);
            return;
        }
        s.inbox.push_back(std::move(got));
    }

    const UdpPlayOptions& options_;
    std::ostream& log_;
    UdpPlayResult& result_;
    std::map<std::string, Socket> sockets_;
};

} // namespace

UdpPlayResult playUdpScenario(const std::vector<UdpStep>& steps, const UdpPlayOptions& options, std::ostream& log) {
    UdpPlayResult result;
    Network net(options, log, result);
    std::map<int, Socket*> bases;
    for (const UdpStep& step : steps) {
        if (options.stop && *options.stop) break;
        switch (step.kind) {
        case UdpStep::Kind::Base: {
            Socket* s = net.open(step.address, options.ports.text);
            if (!s) {
                ++result.failed;
                break;
            }
            s->base = true;
            s->kindByte = step.kindByte;
            bases[step.base] = s;
            break;
        }
        case UdpStep::Kind::Silent:
            if (bases.count(step.base)) bases[step.base]->silent = true;
            break;
        case UdpStep::Kind::Wait: net.serve(static_cast<int>(step.seconds * 1000), nullptr); break;
        default: {
            Socket* s = nullptr;
            uint16_t port = options.ports.text;
            if (step.kind == UdpStep::Kind::Message) {
                s = bases.count(step.base) ? bases[step.base] : nullptr;
            } else {
                port = step.ethernet ? options.ports.ethernet : options.ports.vgprs;
                s = net.open(step.address, port);
            }
            if (!s) {
                log << step.text << ": brak urządzenia" << std::endl;
                ++result.failed;
                break;
            }
            s->inbox.clear();
            s->awaited = step.expectAfter;
            net.send(*s, step.bytes, port);
            net.serve(options.answerTimeoutMs, s);
            bool ok = !s->inbox.empty() && s->inbox.front() == step.expect;
            if (ok && !step.expectAfter.empty()) {
                net.serve(options.answerTimeoutMs, s, 2);
                ok = s->inbox.size() >= 2 && s->inbox[1] == step.expectAfter;
            }
            if (ok) ++result.passed;
            else ++result.failed;
            if (!ok || !options.quiet) {
                log << (ok ? "ok  " : "ZLE ") << step.text << " -> "
                    << (s->inbox.empty() ? std::string("brak odpowiedzi") : shown(s->inbox.front()));
                if (!step.expectAfter.empty())
                    log << ", " << (s->inbox.size() < 2 ? std::string("brak potwierdzenia") : shown(s->inbox[1]));
                log << std::endl;
            }
            break;
        }
        }
    }
    net.serve(static_cast<int>(options.lingerSeconds * 1000), nullptr);
    return result;
}

} // namespace k4::sim
