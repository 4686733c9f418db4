#include "sim/dc09_soak.h"

#include "sim/dc09_player.h"
#include "sim/dc09_socket.h"

#include <poll.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <ctime>

namespace k4::sim {

namespace {

using SteadyClock = std::chrono::steady_clock;

double msBetween(SteadyClock::time_point a, SteadyClock::time_point b) {
    return std::chrono::duration<double, std::milli>(b - a).count();
}

struct Panel {
    Dc09Socket socket;
    bool udp = false;
    bool connected = false;
    int next = 0;         // the message now under way (or the next one)
    int attempts = 0;     // times the current message went
    bool waiting = false; // for the current message's answer
    Dc09Sent sent;
    SteadyClock::time_point firstSent, lastSent, resumeAt;
};

std::string sequenceOf(int message) {
    char text[8];
    std::snprintf(text, sizeof text, "%04d", message % 9999 + 1);
    return text;
}

} // namespace

std::string dc09SoakSource(const Dc09SoakOptions& options, int panel) {
    const int group = panel / std::max(1, options.panelsPerAddress);
    return "127.0.1." + std::to_string(1 + group % 254);
}

double dc09Percentile(std::vector<double> values, double p) {
    if (values.empty()) return 0;
    std::sort(values.begin(), values.end());
    const double rank = p / 100.0 * static_cast<double>(values.size() - 1);
    const auto low = static_cast<size_t>(std::floor(rank));
    const size_t high = std::min(values.size() - 1, low + 1);
    return values[low] + (values[high] - values[low]) * (rank - static_cast<double>(low));
}

Dc09SoakResult playDc09Soak(const Dc09SoakOptions& o, std::ostream& log) {
    Dc09SoakResult result;
    const auto began = SteadyClock::now();
    std::vector<Panel> panels(static_cast<size_t>(std::max(0, o.panels)));
    for (size_t i = 0; i < panels.size(); ++i) {
        Panel& p = panels[i];
        p.udp = o.udpEvery > 0 && static_cast<int>(i) % o.udpEvery == o.udpEvery - 1;
        p.sent.account = std::to_string(o.firstAccount + static_cast<int>(i));
        p.sent.line = "0";
        p.sent.expect = Dc09Expect::Ack;
        std::string error;
        // TCP connections are opened all at once and finish in the loop.
        if (!p.socket.open(p.udp, o.station, o.port, dc09SoakSource(o, static_cast<int>(i)), error, false)) {
            ++result.connectFailures;
            log << "panel " << p.sent.account << ": " << error << std::endl;
            p.next = o.messages;
            result.lost += o.messages;
            continue;
        }
        p.connected = p.udp;
    }

    auto sendCurrent = [&](Panel& p, SteadyClock::time_point now) {
        if (p.attempts == 0) p.firstSent = now;
        p.sent.sequence = sequenceOf(p.next);
        const std::string data = "#" + p.sent.account + "|Nri1/BA" + std::to_string(p.next + 1);
        const std::string frame = dc09PanelFrame("SIA-DCS", p.sent, data, static_cast<int64_t>(std::time(nullptr)) + o.clockOffset, true);
        std::string error;
        if (!p.socket.send(frame, error)) {
            log << "panel " << p.sent.account << ": " << error << std::endl;
            result.lost += o.messages - p.next;
            p.next = o.messages;
            p.socket.close();
            return;
        }
        if (p.attempts > 0) ++result.repeated;
        ++p.attempts;
        ++result.sent;
        p.waiting = true;
        p.lastSent = now;
    };
    auto finished = [&](const Panel& p) { return p.next >= o.messages || !p.socket.isOpen(); };

    std::vector<pollfd> fds;
    std::vector<Panel*> owners;
    for (;;) {
        const auto now = SteadyClock::now();
        if ((o.stop && *o.stop) || msBetween(began, now) > o.secondsLimit * 1000.0) break;
        fds.clear();
        owners.clear();
        bool any = false;
        for (Panel& p : panels) {
            if (finished(p)) continue;
            any = true;
            if (p.connected && !p.waiting && now >= p.resumeAt) sendCurrent(p, now);
            if (p.waiting && msBetween(p.lastSent, now) > o.answerTimeoutMs) {
                p.waiting = false;
                if (p.attempts >= o.attempts) {
                    log << "panel " << p.sent.account << ": wiadomość " << p.next + 1 << " bez ACK po "
                        << p.attempts << " próbach" << std::endl;
                    ++result.lost;
                    ++p.next;
                    p.attempts = 0;
                    continue;
                }
                log << "panel " << p.sent.account << (p.udp ? " (UDP)" : " (TCP)") << ": wiadomość " << p.next + 1
                    << " bez odpowiedzi, wysłana ponownie" << std::endl;
                sendCurrent(p, now);
            }
            if (finished(p)) continue;
            fds.push_back({p.socket.fd(), static_cast<short>(p.connected ? POLLIN : POLLOUT), 0});
            owners.push_back(&p);
        }
        if (!any) break;
        if (::poll(fds.data(), fds.size(), 20) <= 0) continue;
        const auto at = SteadyClock::now();
        for (size_t k = 0; k < fds.size(); ++k) {
            Panel& p = *owners[k];
            if (!fds[k].revents) continue;
            if (!p.connected) {
                p.connected = true; // an error shows at the first send or read
                continue;
            }
            std::string error;
            const bool open = p.socket.readAvailable(error);
            for (std::string answer = p.socket.takeFrame(); !answer.empty(); answer = p.socket.takeFrame()) {
                if (!p.waiting) continue; // a late answer to a repeat
                const std::string fault = checkDc09Answer(p.sent, answer);
                if (!fault.empty() && answer.find("\"NAK\"") != std::string::npos && fault.find("jest NAK") != std::string::npos) {
                    // A centre too busy to read the frame within its time
                    // window says NAK: the panel sends it again, freshly
                    // stamped, as any panel does after a NAK.
                    ++result.naks;
                    p.waiting = false;
                    if (p.attempts >= o.attempts) {
                        log << "panel " << p.sent.account << ": wiadomość " << p.next + 1 << " NAK po " << p.attempts
                            << " próbach" << std::endl;
                        ++result.lost;
                        ++p.next;
                        p.attempts = 0;
                    }
                    continue;
                }
                if (!fault.empty()) {
                    // A message sent again may have both its answers come,
                    // the second after the next message went: an ACK of an
                    // earlier sequence is that one, and is let go.
                    if (p.next > 0 && answer.find("\"ACK\"" + sequenceOf(p.next - 1)) != std::string::npos) {
                        ++result.lateAnswers;
                        continue;
                    }
                    ++result.wrong;
                    log << "panel " << p.sent.account << ": " << dc09Shown(answer) << ": " << fault << std::endl;
                    continue;
                }
                result.ackMs.push_back(msBetween(p.firstSent, at));
                ++result.acked;
                p.waiting = false;
                p.attempts = 0;
                ++p.next;
                p.resumeAt = at + std::chrono::milliseconds(o.intervalMs);
            }
            if (!open) {
                log << "panel " << p.sent.account << ": " << error << std::endl;
                result.lost += o.messages - p.next;
                p.next = o.messages;
                p.socket.close();
            }
        }
    }
    for (const Panel& p : panels)
        if (p.next < o.messages && p.socket.isOpen()) result.lost += o.messages - p.next;
    result.seconds = msBetween(began, SteadyClock::now()) / 1000.0;
    return result;
}

} // namespace k4::sim
