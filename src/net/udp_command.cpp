#include "net/udp_command.h"

#include "database/text_edge.h"
#include "net/ip_text.h"

#include <algorithm>
#include <cstdio>

namespace k4 {

namespace {

int hexDigit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

} // namespace

udp_c::udp_c(DatagramSocket& socket, uint16_t port, const Clock& clock, EventPump* pump, Messages& messages,
             const bool& receptionSuspended)
    : socket_(socket), port_(port), clock_(clock), pump_(pump), messages_(messages),
      receptionSuspended_(receptionSuspended) {
    (void)buffer_;
}

void udp_c::answered(uint8_t sequence) {
    acked = sequence;
    if (busy_ && acked == sequence_ && pump_) pump_->wake();
}

int udp_c::sendCommand(const std::string& ip, std::string c) {
    if (receptionSuspended_ || ip == "0.0.0.0" || busy_) return -1;
    busy_ = true;
    acked = 0;
    struct Release {
        bool& busy;
        ~Release() { busy = false; }
    } release{busy_};

    if (!c.empty() && c.back() == '\r') c.pop_back();
    if (c.empty()) {
        messages_.ShowNotice(emptyGuard_, mz("Brak danych w buforze UDP"), kNoticeInfo);
        return -1;
    }
    // A command too short to carry its sequence cannot be answered.
    if (c.size() < 3) return -1;
    int sequence = 0;
    if (hexDigit(c[1]) >= 0 && hexDigit(c[2]) >= 0) sequence = hexDigit(c[1]) * 16 + hexDigit(c[2]);
    if (sequence == 0) {
        // 00 is never a sequence a base answers: the counter skips it.
        if (++rolling_ == 0) ++rolling_;
        char digits[3];
        std::snprintf(digits, sizeof digits, "%2.2X", rolling_);
        c[1] = digits[0];
        c[2] = digits[1];
        sequence = rolling_;
    }
    sequence_ = static_cast<uint8_t>(sequence);
    // The address of a table entry that is no address at all: the operator
    // may put it right, or give up the command.
    std::string host = ip;
    while (!parseDottedIp(host)) {
        const auto typed = messages_.ui().askText("Nieprawidłowy adres", "Podaj poprawny adres: ", host);
        if (!typed) return -1;
        host = *typed;
    }
    lastSent_ = c;
    if (!socket_.sendDatagram(host, port_, std::span<const uint8_t>(reinterpret_cast<const uint8_t*>(c.data()), c.size())))
        return -1;
    const uint64_t sentAt = clock_.tickMs();
    while (acked != sequence_) {
        const uint64_t waited = clock_.tickMs() - sentAt;
        if (waited >= static_cast<uint64_t>(kWaitMs) || !pump_) break;
        pump_->runFor(static_cast<int>(std::min<uint64_t>(kWaitMs - waited, 50)));
    }
    return acked == sequence_ ? 0 : -1;
}

} // namespace k4
