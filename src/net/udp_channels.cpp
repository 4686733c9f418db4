#include "net/udp_channels.h"

#include "baselink/packet.h"
#include "baselink/path_files.h"
#include "baselink/path_table.h"
#include "baselink/tick_budget.h"
#include "baselink/trace_ring.h"
#include "database/text_edge.h"
#include "net/base_text.h"
#include "net/base_text_log.h"
#include "processing/process_report.h"
#include "processing/subscriber_state.h"

#include <cstring>

namespace k4 {

namespace {

constexpr uint16_t kStandardPorts[3] = {kTextCommandPort, kEthernetDatagramPort, kVgprsDatagramPort};
const char* const kChannelNames[3] = {"KVFE_NMUDP", "VTERM_NMUDP", "PTARVIK_NMUDP"};
// Datagrams read in one call at most, whatever the budget says.
constexpr int kMaxDatagramsPerCall = 64;
// The journal's record: the sender's four octets and the path slot ahead of
// the datagram.
constexpr size_t kStoredHeader = 5;
constexpr uint8_t kStoredNoPath = 0xFF;

std::span<const uint8_t> bytesOf(std::string_view s) {
    return std::span<const uint8_t>(reinterpret_cast<const uint8_t*>(s.data()), s.size());
}

} // namespace

bool UdpChannels::ChannelSender::sendDatagram(const std::string& host, uint16_t port, std::span<const uint8_t> bytes) {
    if (!owner_) return false;
    if (bytes.empty()) {
        owner_->parts_.messages.ShowNotice(mz("Brak danych w buforze UDP"), kNoticeInfo);
        return false;
    }
    Channel& c = owner_->channels_[static_cast<size_t>(channel_)];
    if (!c.endpoint || !c.endpoint->isBound()) return false;
    return c.endpoint->sendDatagram(host, port == standardPort_ ? c.port : port, bytes);
}

UdpChannels::UdpChannels(const Parts& parts, EndpointFactory factory, EventPump* pump, const UdpSettings& settings)
    : parts_(parts), factory_(std::move(factory)), pump_(pump), settings_(settings),
      registry_(parts.dir, parts.messages) {
    const uint16_t ports[3] = {settings.textPort, settings.ethernetPort, settings.vgprsPort};
    for (int i = 0; i < 3; ++i) {
        channels_[static_cast<size_t>(i)].port = ports[i];
        senders_[static_cast<size_t>(i)].attach(this, i, kStandardPorts[i]);
        if (factory_) channels_[static_cast<size_t>(i)].endpoint = factory_();
    }
    command_ = std::make_unique<udp_c>(senders_[kUdpTextChannel], kTextCommandPort, parts.clock, pump, parts.messages,
                                       parts.receptionSuspended);
    parts_.intake.setHandler(IntakeChannel::Datagram, [this](const JournalRecord& r) { processStored(r); });
}

UdpChannels::~UdpChannels() {
    parts_.intake.setHandler(IntakeChannel::Datagram, {});
    closeSockets();
}

void UdpChannels::setLinks(const Links& links) { links_ = links; }

bool UdpChannels::bound(int channel) const {
    const Channel& c = channels_[static_cast<size_t>(channel)];
    return c.endpoint && c.endpoint->isBound();
}

void UdpChannels::tell(Channel& c, const std::string& why) {
    if (c.told) return;
    c.told = true;
    const std::string text = "\x03Nie można otworzyć portu UDP " + std::to_string(c.port) + " (" + why +
                             ") - odbiór przez sieć wstrzymany, próba przy następnym sprawdzeniu pakietów";
    parts_.messages.ShowNotice(bindGuard_, MazoviaFromUtf8(text), kNoticeInfo);
}

void UdpChannels::bindSockets() {
    if (!factory_) return;
    for (size_t i = 0; i < channels_.size(); ++i) {
        Channel& c = channels_[i];
        if (!c.endpoint || c.endpoint->isBound()) continue;
        if (!settingsError_.empty()) {
            tell(c, std::string(UdpSettings::kEnvironmentVariable) + ": " + settingsError_);
            continue;
        }
        if (!c.endpoint->bind(settings_.bindAddress, c.port)) {
            tell(c, c.endpoint->errorText());
            continue;
        }
        c.told = false;
        c.endpoint->setArrivalHandler([this] {
            if (arrival_) arrival_();
        });
    }
}

void UdpChannels::closeSockets() {
    for (Channel& c : channels_)
        if (c.endpoint) {
            c.endpoint->setArrivalHandler(nullptr);
            c.endpoint->close();
        }
}

void UdpChannels::loadAllowedSenders() {
    for (const std::string& bad : allowed_.load(parts_.dir))
        parts_.trace.Trace("nadawcy.txt: zly wpis %s", bad.c_str());
}

void UdpChannels::loadRegistry() { registry_.load(); }

bool UdpChannels::serve() {
    TickBudget budget(parts_.clock);
    int taken = 0;
    int idle = 0;
    // Round the three sockets, one datagram each in turn, so a flood on
    // one channel never starves the others.
    while (idle < 3) {
        if (taken >= kMaxDatagramsPerCall || (taken > 0 && budget.spent())) return true;
        const int channel = next_;
        next_ = (next_ + 1) % 3;
        Channel& c = channels_[static_cast<size_t>(channel)];
        std::optional<ReceivedDatagram> d;
        if (c.endpoint && c.endpoint->isBound()) d = c.endpoint->receive();
        if (!d) {
            ++idle;
            continue;
        }
        idle = 0;
        ++taken;
        ++counters_.received;
        switch (channel) {
        case kUdpTextChannel: KVFE_NMUDPDataReceived(*d); break;
        case kUdpEthernetChannel: VTERM_NMUDPDataReceived(*d); break;
        default: PTARVIK_NMUDPDataReceived(*d); break;
        }
    }
    return false;
}

bool UdpChannels::fromOwnSocket(const ReceivedDatagram& d) const {
    bool ownPort = false;
    for (const Channel& c : channels_) ownPort = ownPort || c.port == d.senderPort;
    if (!ownPort) return false;
    for (const Channel& c : channels_)
        if (c.endpoint && c.endpoint->isOwnAddress(d.sender)) return true;
    return false;
}

bool UdpChannels::answer(int channel, const std::string& to, std::span<const uint8_t> bytes, bool echo) {
    const uint64_t now = parts_.clock.tickMs();
    if (!(echo ? limiter_.allowEcho(to, bytes, now) : limiter_.allow(to, now))) {
        parts_.trace.Trace("udp %s: odpowiedz do %s wstrzymana", kChannelNames[channel], to.c_str());
        return false;
    }
    ++counters_.answers;
    Channel& c = channels_[static_cast<size_t>(channel)];
    return c.endpoint && c.endpoint->sendDatagram(to, c.port, bytes);
}

std::optional<IntakeTicket> UdpChannels::store(int channel, const std::string& from, int slot,
                                               std::span<const uint8_t> bytes) {
    std::vector<uint8_t> record(kStoredHeader + bytes.size());
    const auto ip = parseDottedIp(from).value_or(Ipv4{});
    std::memcpy(record.data(), ip.data(), 4);
    record[4] = slot < 0 ? kStoredNoPath : static_cast<uint8_t>(slot);
    std::memcpy(record.data() + kStoredHeader, bytes.data(), bytes.size());
    auto ticket = parts_.intake.take(IntakeChannel::Datagram, channel, record);
    if (!ticket) ++counters_.notStored;
    return ticket;
}

int UdpChannels::channelPath(int kind) const {
    for (int slot = parts_.paths.addressesInUse(); slot < kPathSlots; ++slot) {
        const Packet* p = parts_.paths.at(slot);
        if (p && p->kind == kind) return slot;
    }
    return -1;
}

// --- The text channel -----------------------------------------------------

int UdpChannels::findSenderBase(std::string_view s, const std::string& from, size_t n) {
    if (parts_.receptionSuspended) return -1;
    const auto& entries = parts_.paths.ethernetAddresses();
    const int count = std::min<int>(parts_.paths.addressesInUse(), static_cast<int>(entries.size()));
    int i = 0;
    while (i < count && entries[static_cast<size_t>(i)] != from) ++i;
    if (i >= count) return -1;
    Packet* path = parts_.paths.at(kFirstEthernetSlot + i);
    if (!path) return -1;
    if (n > 0 && n <= s.size() && s[n - 1] == '#') {
        path->unterminated = 0;
        return kFirstEthernetSlot + i;
    }
    logBaseText(parts_.history, path->transmissionType(), path->baseNumber(), s, n);
    // Only every third unframed text of a base is answered: a base that
    // keeps sending noise is not answered for each piece of it.
    if (++path->unterminated < 3) return -1;
    path->unterminated = 0;
    return kFirstEthernetSlot + i;
}

void UdpChannels::handText(std::string_view text, int slot) {
    if (links_.parser) {
        links_.parser->parseTextMessage(text, slot);
        return;
    }
    // Until the parser exists, what a base reported is kept in the history
    // as its text, never dropped.
    const Packet* path = slot >= 0 ? parts_.paths.at(slot) : nullptr;
    logBaseText(parts_.history, path ? path->transmissionType() : kPathLocal, path ? path->baseNumber() : 0, text,
                text.size());
    parts_.trace.Trace("tekst bazy %d: %.40s", slot, std::string(text).c_str());
}

void UdpChannels::KVFE_NMUDPDataReceived(const ReceivedDatagram& d) {
    if (d.size >= kMaxBaseMessage + 1 || d.bytes.size() != d.size) {
        ++counters_.dropped;
        return;
    }
    if (!command_) return;
    if (fromOwnSocket(d)) {
        ++counters_.ownSockets;
        return;
    }
    // The work copy ends at its first NUL, as the text it is.
    std::string s(d.bytes.begin(), d.bytes.end());
    s = s.substr(0, s.find('\0'));
    if (s.empty()) {
        ++counters_.dropped;
        return;
    }
    if (s[0] == '%') {
        const int sequence = parseCommandReply(s, command_->lastReply);
        command_->answered(static_cast<uint8_t>(sequence));
        return;
    }
    if (s[0] == '$' || s[0] == '&') {
        const int slot = findSenderBase(s, d.sender, s.size());
        if (slot < 0) {
            ++counters_.dropped;
            return;
        }
        const bool tokens = !carriesNoTokens(s);
        std::optional<IntakeTicket> ticket;
        if (tokens) {
            ticket = store(kUdpTextChannel, d.sender, slot, bytesOf(s));
            // Not on the disk: not acknowledged, so the base sends it again.
            if (!ticket) return;
        }
        const std::string ack = baseAcknowledgement(s);
        answer(kUdpTextChannel, d.sender, bytesOf(ack), false);
        if (!tokens) return;
        int result = 0;
        if (links_.parser) result = links_.parser->parseTextMessage(s, slot);
        else handText(s, slot);
        // (Without the parser nothing asks for a confirmation.)
        parts_.intake.processed(*ticket);
        std::string confirmation = s;
        if (result == 1 && makeConfirmation(confirmation))
            answer(kUdpTextChannel, d.sender, bytesOf(confirmation), false);
        return;
    }
    std::string marked = s + "!";
    const int slot = findSenderBase(marked, d.sender, marked.size());
    if (slot < 0) return;
    const std::string ack = baseAcknowledgement(marked);
    answer(kUdpTextChannel, d.sender, bytesOf(ack), false);
}

// --- The binary channels --------------------------------------------------

void UdpChannels::binaryReceived(const ReceivedDatagram& d, int channel) {
    if (d.size >= kMaxBaseMessage + 1 || d.bytes.size() != d.size || d.bytes.empty()) {
        ++counters_.dropped;
        return;
    }
    if (parts_.receptionSuspended) return;
    if (fromOwnSocket(d)) {
        ++counters_.ownSockets;
        return;
    }
    if (!allowed_.allows(d.sender)) {
        ++counters_.notAllowed;
        parts_.trace.Trace("udp %s: nadawca %s spoza listy (%llu)", kChannelNames[channel], d.sender.c_str(),
                           static_cast<unsigned long long>(counters_.notAllowed));
        return;
    }
    const std::span<const uint8_t> b(d.bytes);
    const int kind = channel; // the channel's path kind: 1 Ethernet, 2 vGPRS
    const int slot = channelPath(kind);
    const bool ethernet = channel == kUdpEthernetChannel;

    if (const auto subscriber = shortFormSubscriber(b)) {
        answer(channel, d.sender, b, true);
        if (ethernet) registry_.registerSubscriberIp(*subscriber, d.sender);
        return;
    }
    const auto f = longForm(b);
    if (!f) {
        ++counters_.dropped;
        return;
    }
    std::vector<uint8_t> reply(b.begin(), b.end());
    reply[1] = replyCode(f->command);
    switch (f->command) {
    case kDatagramReport:
    case kDatagramStatusConfirmed:
    case kDatagramStatus:
    case kDatagramReportConfirmed: {
        const bool filler = f->command == kDatagramReportConfirmed && isFiller(*f);
        std::optional<IntakeTicket> ticket;
        if (!filler) {
            // Echoed only once it is on the disk: the echo is what tells the
            // transmitter to forget the report.
            ticket = store(channel, d.sender, slot, b);
            if (!ticket) return;
        }
        if (reply[1] != 0) answer(channel, d.sender, reply, false);
        if (ethernet && f->command != kDatagramReportConfirmed) registry_.registerSubscriberIp(f->subscriber, d.sender);
        if (filler) return;
        processBinary(*f, slot);
        parts_.intake.processed(*ticket);
        if (f->command != kDatagramStatus) markerCheck(f->marker, slot);
        return;
    }
    case kDatagramKeepAlive: answer(channel, d.sender, reply, false); return;
    case kDatagramPartnerConfirmation:
        if (links_.partners)
            if (const auto ip = parseDottedIp(d.sender)) links_.partners->partnerConfirmed(*ip, f->partner, f->subscriber);
        return;
    default: ++counters_.dropped; return;
    }
}

void UdpChannels::submit(const Report& r) {
    const int follow = parts_.reports.processReport(r);
    if (follow == ReportProcessing::kNoFollowUp) return;
    Report counter;
    counter.subscriber = follow;
    counter.subsystem = Report::kNoSubsystem;
    counter.code = specialCode(parts_.config, kSpecialAlarmCounter);
    counter.sector = Report::kNoSector;
    counter.path = r.path;
    counter.flags = (follow == -1 || (r.flags & Report::kUnknownSubscriber)) ? Report::kUnknownSubscriber : 0;
    parts_.reports.processReport(counter);
}

void UdpChannels::processBinary(const LongForm& f, int slot) {
    if (f.command == kDatagramStatus || f.command == kDatagramStatusConfirmed) {
        const Packet* path = slot >= 0 ? parts_.paths.at(slot) : nullptr;
        const int extra = path ? path->historyExtra() : 0xFF;
        parts_.history.LogEvent(kHistoryDatagramStatus, f.subscriber, f.subsystem, 0, extra);
        return;
    }
    Report r;
    r.subscriber = f.subscriber;
    r.subsystem = f.subsystem;
    r.code = f.code;
    r.sector = f.sector;
    r.path = slot >= 0 ? slot : kNoUdpPath;
    r.flags = f.hexNumber ? Report::kUnknownSubscriber : 0;
    submit(r);
}

void UdpChannels::markerCheck(uint8_t marker, int slot) {
    const Packet* path = slot >= 0 ? parts_.paths.at(slot) : nullptr;
    if (!path) return;
    if (marker == kMarkerEthernet && path->kind == kKindVgprsChannel) ethernetInVgprsWaiting_ = true;
    else if (marker == kMarkerVgprs && path->kind == kKindEthernetChannel) vgprsInEthernetWaiting_ = true;
    else return;
    if (noticesWaiting_) noticesWaiting_();
    else showNotices();
}

void UdpChannels::showNotices() {
    if (ethernetInVgprsWaiting_) {
        ethernetInVgprsWaiting_ = false;
        parts_.messages.ShowNotice(ethernetInVgprs_, mz("\x03" "Ethernet w vGPRS"), kNoticeInfo);
    }
    if (vgprsInEthernetWaiting_) {
        vgprsInEthernetWaiting_ = false;
        parts_.messages.ShowNotice(vgprsInEthernet_, mz("\x03" "vGPRS w Ethernet"), kNoticeInfo);
    }
}

void UdpChannels::processStored(const JournalRecord& record) {
    if (record.bytes.size() <= kStoredHeader) return;
    const int slot = record.bytes[4] == kStoredNoPath ? -1 : record.bytes[4];
    const std::span<const uint8_t> b = std::span<const uint8_t>(record.bytes).subspan(kStoredHeader);
    if (record.port == kUdpTextChannel) {
        const std::string text(b.begin(), b.end());
        if (links_.parser) links_.parser->parseTextMessage(text, slot);
        else handText(text, slot);
        return;
    }
    if (record.port != kUdpEthernetChannel && record.port != kUdpVgprsChannel) return;
    const auto f = longForm(b);
    if (!f) return;
    // The path table of this run may not have the slot the report came
    // over; the report is still processed, without it.
    const Packet* path = slot >= 0 ? parts_.paths.at(slot) : nullptr;
    processBinary(*f, path && path->kind == record.port ? slot : -1);
}

// --- Commands to the bases ------------------------------------------------

int UdpChannels::probeBase(const std::string& entry, int position) {
    char command[16];
    std::snprintf(command, sizeof command, "%%%2.2d#", position);
    const std::string ip = normaliseAddress(entry);
    command_->lastReply = -1;
    if (command_->sendCommand(ip, command) == 0) return command_->lastReply;
    if (command_->sendCommand(ip, command) != 0) return -1;
    return command_->lastReply;
}

std::optional<std::array<uint8_t, 4>> UdpChannels::registeredAddress(int subscriber) {
    const auto text = registry_.lookupSubscriberIp(subscriber);
    if (!text) return std::nullopt;
    return parseDottedIp(*text);
}

int UdpChannels::confirmReport(const AlarmRecord& alarm) {
    const Packet* path = alarm.path >= 0 ? parts_.paths.at(alarm.path) : nullptr;
    if (!path || path->address.empty()) {
        parts_.messages.ShowNotice(serviceGuard_, mz("\x03" "Brak pakietu dla raportu"), kNoticeInfo);
        return 0;
    }
    const auto text = links_.tracked ? links_.tracked->trackFindAlarm(path->transmissionType(), alarm.id)
                                     : std::optional<std::string>{};
    if (!text) {
        parts_.messages.ShowNotice(serviceGuard_, mz("\x03" "Upłynął czas obsługi alarmu"), kNoticeInfo);
        return 0;
    }
    command_->lastReply = -1;
    // No acknowledgement: the alarm keeps its mark, the base was not told.
    if (command_->sendCommand(path->address, *text) != 0) return -1;
    const int32_t v = command_->lastReply;
    if (v == -1) return 0;
    if ((v & 0xF50000) == 0xF50000)
        parts_.messages.ShowNotice(serviceGuard_, mz("\x03" "Upłynął czas obsługi alarmu"), kNoticeInfo);
    else if ((v & 0x50000) == 0x50000)
        return 1;
    else
        parts_.messages.ShowNotice(serviceGuard_, mz("\x03" "Błędne potwierdzenie raportu"), kNoticeInfo);
    return 0;
}

} // namespace k4
