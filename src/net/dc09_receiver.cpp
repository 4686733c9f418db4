#include "net/dc09_receiver.h"

#include "processing/report.h"

#include <cstdio>

namespace k4 {

namespace {

constexpr uint8_t kTakenVersion = 1;
constexpr uint8_t kTakenUnknown = 0x01;
constexpr uint8_t kTakenSupervision = 0x02;
constexpr size_t kTakenHeader = 7;
constexpr size_t kTakenEvent = 13;

void put32(std::vector<uint8_t>& out, int32_t v) {
    const auto u = static_cast<uint32_t>(v);
    for (int i = 0; i < 4; ++i) out.push_back(static_cast<uint8_t>(u >> (8 * i)));
}

int32_t get32(std::span<const uint8_t> in, size_t at) {
    uint32_t u = 0;
    for (int i = 0; i < 4; ++i) u |= static_cast<uint32_t>(in[at + static_cast<size_t>(i)]) << (8 * i);
    return static_cast<int32_t>(u);
}

} // namespace

Dc09Receiver::Dc09Receiver(Services services) : s_(std::move(services)) {}

bool Dc09Receiver::opened(int connection, const std::string& address, int64_t nowMs) {
    size_t& mine = perAddress_[address];
    if (connections_.size() >= s_.limits.connectionsTotal || mine >= s_.limits.connectionsPerAddress) {
        if (mine == 0) perAddress_.erase(address);
        ++stats_.refusedConnections;
        return false;
    }
    ++mine;
    ++stats_.connections;
    connections_[connection] = Connection{address, {}, nowMs};
    return true;
}

void Dc09Receiver::arrived(int connection, std::string_view bytes, int64_t nowMs) {
    const auto it = connections_.find(connection);
    if (it == connections_.end()) return;
    Connection& c = it->second;
    c.lastMs = nowMs;
    if (c.buffer.size() + bytes.size() > s_.limits.bufferBytes) {
        // More waiting than any panel sends between two answers: a sender
        // that does not wait for its ACKs, or not a panel at all.
        ++stats_.overflowClosed;
        closeConnection(connection);
        return;
    }
    c.buffer.append(bytes);
}

void Dc09Receiver::closed(int connection) {
    const auto it = connections_.find(connection);
    if (it == connections_.end()) return;
    auto count = perAddress_.find(it->second.address);
    if (count != perAddress_.end() && --count->second == 0) perAddress_.erase(count);
    connections_.erase(it);
}

void Dc09Receiver::closeConnection(int connection) {
    closed(connection);
    s_.wire.close(connection);
}

void Dc09Receiver::datagram(const std::string& address, uint16_t port, std::string_view bytes) {
    size_t& waiting = datagramsPerAddress_[address];
    if (datagrams_.size() >= s_.limits.datagramsQueued || waiting >= s_.limits.datagramsPerAddress ||
        bytes.size() > kDc09MaxFrame) {
        // Dropped unanswered: the panel sends again when no ACK comes.
        if (waiting == 0) datagramsPerAddress_.erase(address);
        ++stats_.datagramsDropped;
        return;
    }
    ++waiting;
    datagrams_.push_back(Datagram{address, port, std::string(bytes)});
}

std::string Dc09Receiver::nextFrame(std::string& buffer, size_t limit, bool& overflow) {
    overflow = false;
    const size_t lf = buffer.find('\n');
    if (lf == std::string::npos) {
        // Nothing that starts a frame: what came is noise.
        buffer.clear();
        return {};
    }
    if (lf > 0) buffer.erase(0, lf);
    const size_t cr = buffer.find('\r');
    if (cr == std::string::npos) {
        overflow = buffer.size() > limit;
        return {};
    }
    std::string frame = buffer.substr(0, cr + 1);
    buffer.erase(0, cr + 1);
    return frame;
}

void Dc09Receiver::serve(int64_t nowMs, int64_t nowUtc) {
    nowMs_ = nowMs;
    size_t budget = s_.limits.framesPerTick;

    // Connections in turn from the one after the last served, each a few
    // frames: a flood on one connection waits, the others go on.
    std::vector<int> order;
    order.reserve(connections_.size());
    for (auto it = connections_.upper_bound(resumeAfter_); it != connections_.end(); ++it) order.push_back(it->first);
    for (auto it = connections_.begin(); it != connections_.end() && it->first <= resumeAfter_; ++it)
        order.push_back(it->first);
    for (int id : order) {
        if (budget == 0) break;
        auto it = connections_.find(id);
        if (it == connections_.end()) continue;
        if (nowMs - it->second.lastMs > s_.limits.idleMs) {
            ++stats_.idleClosed;
            closeConnection(id);
            continue;
        }
        for (size_t n = 0; n < s_.limits.framesPerSenderPerTick && budget > 0; ++n) {
            it = connections_.find(id);
            if (it == connections_.end()) break;
            bool overflow = false;
            const std::string frame = nextFrame(it->second.buffer, kDc09MaxFrame, overflow);
            if (overflow) {
                ++stats_.overflowClosed;
                refused(Dc09Refusal::Format, nowMs);
                closeConnection(id);
                break;
            }
            if (frame.empty()) break;
            --budget;
            resumeAfter_ = id;
            const std::string reply = handle(frame, nowUtc);
            if (!reply.empty()) s_.wire.send(id, reply);
        }
    }

    // Datagrams in arrival order, a few per address per tick.
    std::map<std::string, size_t> servedOf;
    for (auto it = datagrams_.begin(); it != datagrams_.end() && budget > 0;) {
        size_t& served = servedOf[it->address];
        if (served >= s_.limits.framesPerSenderPerTick) {
            ++it;
            continue;
        }
        ++served;
        --budget;
        Datagram d = std::move(*it);
        it = datagrams_.erase(it);
        auto waiting = datagramsPerAddress_.find(d.address);
        if (waiting != datagramsPerAddress_.end() && --waiting->second == 0) datagramsPerAddress_.erase(waiting);
        const std::string reply = handle(d.bytes, nowUtc);
        if (!reply.empty()) s_.wire.sendDatagram(d.address, d.port, reply);
    }
}

std::string Dc09Receiver::handle(std::string_view frame, int64_t nowUtc) {
    ++stats_.frames;
    const Dc09Verdict v = judgeDc09Frame(
        frame, nowUtc, s_.policy, [this](std::string_view a) { return s_.accounts.find(a); }, s_.codes);
    if (v.answer != Dc09Answer::Ack) {
        if (v.answer == Dc09Answer::Nak) ++stats_.naked;
        else ++stats_.duhed;
        refused(v.refusal, nowMs_);
        return v.reply;
    }
    // On the disk before the ACK. A frame that cannot be stored is not
    // answered at all: the panel sends it again, and the intake has told
    // the operator why the centre cannot take reports.
    const std::vector<uint8_t> record = encodeTaken(v);
    const auto ticket = s_.intake.take(IntakeChannel::IpPanel, kIntakePort, record);
    if (!ticket) {
        ++stats_.notStored;
        return {};
    }
    processStored(record);
    s_.intake.processed(*ticket);
    ++stats_.acked;
    return v.reply;
}

void Dc09Receiver::refused(Dc09Refusal refusal, int64_t nowMs) {
    ++stats_.refusals[refusal];
    ++refusedSinceNote_;
    if (!s_.technicalNote) return;
    if (lastNoteMs_ >= 0 && nowMs - lastNoteMs_ < s_.limits.technicalNoteMs) return;
    char text[96];
    std::snprintf(text, sizeof text, "DC09: odrzucone %llu (ostatnio: %s)",
                  static_cast<unsigned long long>(refusedSinceNote_), dc09RefusalName(refusal));
    s_.technicalNote(text);
    refusedSinceNote_ = 0;
    lastNoteMs_ = nowMs;
}

std::vector<uint8_t> Dc09Receiver::encodeTaken(const Dc09Verdict& v) {
    std::vector<uint8_t> out;
    out.reserve(kTakenHeader + v.events.size() * kTakenEvent);
    out.push_back(kTakenVersion);
    out.push_back(static_cast<uint8_t>((v.unknownSubscriber ? kTakenUnknown : 0) | (v.supervision ? kTakenSupervision : 0)));
    put32(out, v.subscriber);
    // A frame carries a handful of events; the data block's size bounds them.
    const size_t count = std::min<size_t>(v.events.size(), 255);
    out.push_back(static_cast<uint8_t>(count));
    for (size_t i = 0; i < count; ++i) {
        const Dc09Event& e = v.events[i];
        put32(out, e.code);
        put32(out, e.subsystem);
        put32(out, e.sector);
        out.push_back(e.periodicTest ? 1 : 0);
    }
    return out;
}

void Dc09Receiver::processStored(std::span<const uint8_t> record) {
    if (record.size() < kTakenHeader || record[0] != kTakenVersion) return;
    const size_t count = record[6];
    if (record.size() != kTakenHeader + count * kTakenEvent) return;
    const bool unknown = (record[1] & kTakenUnknown) != 0;
    const int32_t subscriber = get32(record, 2);
    for (size_t i = 0; i < count; ++i) {
        const size_t at = kTakenHeader + i * kTakenEvent;
        Report r;
        r.subscriber = subscriber;
        r.code = get32(record, at) & 0x0FFF;
        r.subsystem = get32(record, at + 4);
        r.sector = get32(record, at + 8) & 0x0FFF;
        r.path = Report::kPathIpReceiver;
        r.flags = unknown ? Report::kUnknownSubscriber : 0;
        if (s_.process) s_.process(r);
    }
    if ((record[1] & kTakenSupervision) && !unknown && s_.restartTest) s_.restartTest(subscriber);
}

std::vector<std::string> Dc09Receiver::statisticsLines() const {
    char line[160];
    std::vector<std::string> out;
    std::snprintf(line, sizeof line, "DC09 polaczenia: %zu otwarte, %llu razem, %llu odrzucone, %llu bezczynne, %llu przepelnione",
                  connections_.size(), static_cast<unsigned long long>(stats_.connections),
                  static_cast<unsigned long long>(stats_.refusedConnections), static_cast<unsigned long long>(stats_.idleClosed),
                  static_cast<unsigned long long>(stats_.overflowClosed));
    out.emplace_back(line);
    std::snprintf(line, sizeof line, "DC09 ramki: %llu, ACK %llu, NAK %llu, DUH %llu, niezapisane %llu, UDP pominiete %llu",
                  static_cast<unsigned long long>(stats_.frames), static_cast<unsigned long long>(stats_.acked),
                  static_cast<unsigned long long>(stats_.naked), static_cast<unsigned long long>(stats_.duhed),
                  static_cast<unsigned long long>(stats_.notStored), static_cast<unsigned long long>(stats_.datagramsDropped));
    out.emplace_back(line);
    for (const auto& [why, count] : stats_.refusals) {
        std::snprintf(line, sizeof line, "DC09 odrzucone (%s): %llu", dc09RefusalName(why), static_cast<unsigned long long>(count));
        out.emplace_back(line);
    }
    return out;
}

} // namespace k4
