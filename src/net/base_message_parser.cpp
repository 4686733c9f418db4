#include "net/base_message_parser.h"

#include "baselink/clock_check.h"
#include "baselink/module_poll.h"
#include "net/base_text_log.h"
#include "processing/forwarding.h"
#include "baselink/probe_orders.h"
#include "database/text_edge.h"
#include "processing/process_report.h"
#include "processing/subscriber_state.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace k4 {

namespace {

constexpr int kStationStdOdb = 3;
constexpr int kPathBitTr = 0x20;
constexpr int kPathBitTg = 0x40;
constexpr uint16_t kForwardTgBit = 0x40;
constexpr int kGprsSourceKind = 0xB0;

bool gsmSourceKind(int kind) { return kind == 0x80 || kind == 0x90; }
bool dialUpSourceKind(int kind) { return kind == 0x20 || kind == 0x70; }

// 0x12 read as 12: each hexadecimal digit taken as a decimal one.
int bcdAsDecimal(int v) {
    int result = 0;
    int scale = 1;
    for (; v > 0; v >>= 4, scale *= 10) result += (v & 0x0F) * scale;
    return result;
}

// The telephone read as a decimal number in bytes 5 to 8.
HistoryEntry phoneFindingEntry(const std::string& phone, int code2) {
    HistoryEntry entry{};
    entry.flags = HistoryEntry::kEntrySystem;
    const auto number = static_cast<uint32_t>(std::strtoul(phone.c_str(), nullptr, 10));
    auto* bytes = reinterpret_cast<uint8_t*>(&entry);
    for (int i = 0; i < 4; ++i) bytes[5 + i] = static_cast<uint8_t>(number >> (8 * i));
    entry.code2 = static_cast<uint16_t>(code2 & 0x0FFF);
    return entry;
}

} // namespace

void stageGprsOrder(FrameBuffer& frame, const uint8_t address[4], uint8_t type, int subscriber, bool hexNumber,
                    int subsystem, int code, int sector, uint8_t parameter) {
    uint8_t* at = frame.bytes.data() + FrameBuffer::kStage180;
    std::memset(at, 0, 20);
    at[0] = 17;
    std::memcpy(at + 1, address, 4);
    at[5] = type;
    at[6] = 0;
    if (hexNumber) {
        at[7] = static_cast<uint8_t>(subscriber >> 8);
        at[8] = static_cast<uint8_t>(subscriber);
    } else {
        packSubscriberBcd(subscriber, at + 7);
    }
    at[9] = static_cast<uint8_t>(subsystem);
    at[10] = static_cast<uint8_t>((code >> 4) & 0xFF);
    at[11] = static_cast<uint8_t>(((code & 0x0F) << 4) | ((sector >> 8) & 0x0F));
    at[12] = static_cast<uint8_t>(sector & 0xFF);
    at[15] = parameter;
}

BaseMessageParser::BaseMessageParser(const ConfigBlock& config, FrameBuffer& frame, BaseMessageLinks& links)
    : config_(config), frame_(frame), links_(links) {}

int BaseMessageParser::parseBaseMessage(std::string_view text, int slot) {
    const bool stdOdb = static_cast<int16_t>(config_.mode) == kStationStdOdb;
    auto reading = readBaseMessage(text, stdOdb, *this);
    if (!reading) return -1;
    MessageReading& r = *reading;
    if (r.resultCode != -1 || r.forwardCode != -1) results(r, slot);
    if (r.phoneOwner != -1) telephone(r, slot);
    switch (r.state) {
    case MessageState::Report: report(r, slot); break;
    case MessageState::OrderAnswer: orderAnswer(r, slot); break;
    case MessageState::PartnerConfirmation: partnerConfirmation(r, slot); break;
    case MessageState::PartnerMessage: partnerMessage(r, slot); break;
    case MessageState::LineState: lineState(r, slot); break;
    case MessageState::None:
    case MessageState::Ignored:
    case MessageState::Handled: break;
    }
    return r.record.confirmMode;
}

int BaseMessageParser::phoneOwner(const std::string& phone, int sourceKind) {
    if (const auto owner = links_.ownerOfPhone(phone)) return *owner;
    const bool gsm = sourceKind == 0x80 || sourceKind == 0x90 || sourceKind == kGprsSourceKind;
    links_.logEntry(kHistoryPhoneUnknown, phoneFindingEntry(phone, gsm ? 0 : 1));
    return -2;
}

void BaseMessageParser::clockCheck(const std::array<uint8_t, 12>& digits) {
    const auto sent = stampOfTimeDigits(digits);
    if (!sent) return;
    if (const auto skew = clockSkewEntry(*sent, links_.now())) {
        HistoryEntry entry;
        std::memcpy(&entry, skew->data(), sizeof entry);
        links_.logEntry(kHistoryClockSkew, entry);
    }
}

HistoryEntry BaseMessageParser::pathEntry(int slot) {
    HistoryEntry entry{};
    entry.flags = HistoryEntry::kEntrySystem;
    if (const auto path = links_.pathOf(slot)) {
        entry.kind = static_cast<uint16_t>((path->transmissionType & 0x0F) << 12);
        entry.code2 = static_cast<uint16_t>(((path->number + 1) & 0x0F) << 12);
    }
    return entry;
}

void BaseMessageParser::results(MessageReading& r, int slot) {
    r.state = MessageState::Handled;
    const BaseMessage& m = r.record;
    if (m.subscriber == kNoSubscriberField) return;
    if (r.resultCode == 5 || r.resultCode == 15) {
        HistoryEntry entry = pathEntry(slot);
        entry.subscriber = static_cast<int16_t>(m.subscriber);
        entry.subsystem = static_cast<uint8_t>(m.subsystem);
        entry.sector = static_cast<uint16_t>(m.sector & 0x0FFF);
        entry.code2 = static_cast<uint16_t>((entry.code2 & 0xF000) | (m.code & 0x0FFF));
        links_.logEntry(r.resultCode == 5 ? kHistoryPartnerServiced : kHistoryPartnerServiceEnded, entry);
        return;
    }
    if (r.resultCode != 2 && r.forwardCode == -1) return;
    // A radio base heard our forward: the base whose radio address the
    // message names, reached through any radio path or this one.
    for (int b = 0; b < kBaseEntries; ++b) {
        const uint8_t radio = config_.bases[b].radio;
        // An entry without a radio address was never forwarded to by radio.
        if (radio == 0) continue;
        if ((radio & 0x0F) != m.radioDigit) continue;
        if ((radio >> 4) != 0 && (radio >> 4) != r.sourceNumber + 1) continue;
        links_.confirmForwarding(m.subscriber, b, kPathBitTr);
        return;
    }
}

void BaseMessageParser::telephone(MessageReading& r, int slot) {
    BaseMessage& m = r.record;
    if (r.namedSubscriber == 0) {
        char text[64];
        std::snprintf(text, sizeof text, "%s %d %x %x %x", r.phone.c_str(), static_cast<int16_t>(m.subscriber),
                      m.subsystem, m.code, m.sector);
        incompleteReport(text, slot);
        return;
    }
    if (r.phoneOwner == -2) return;
    if (r.namedSubscriber == -1) {
        // A call with nothing else from a known transmitter: its periodic test.
        m.subscriber = r.phoneOwner;
        m.subsystem = 1;
        m.code = specialCode(config_, kSpecialPeriodicTest);
        m.sector = 127;
        r.state = MessageState::Report;
        return;
    }
    if (r.phone == "0" || r.phoneOwner == r.namedSubscriber) return;
    if (links_.phoneOfSubscriber(r.phone, r.namedSubscriber)) return;
    links_.logEntry(kHistoryPhoneOfOther, phoneFindingEntry(r.phone, dialUpSourceKind(r.sourceKind) ? 1 : 0));
}

void BaseMessageParser::incompleteReport(const std::string& text, int slot) {
    HistoryEntry entry = pathEntry(slot);
    const size_t count = std::min<size_t>(text.size(), 10);
    entry.flags = static_cast<uint8_t>(0x05 | (count << 4));
    auto* bytes = reinterpret_cast<uint8_t*>(&entry);
    for (size_t i = 0; i < count; ++i) {
        const int digit = text[i] - '0';
        uint8_t& b = bytes[5 + i / 2];
        if (i % 2 == 0) b = static_cast<uint8_t>(digit << 4);
        else b = static_cast<uint8_t>(b | (digit & 0x0F));
    }
    entry.code2 = static_cast<uint16_t>((entry.code2 & 0xF000) | 3);
    links_.logEntry(kHistoryBaseText, entry);
    if (config_.options & kOptNoIncompleteCheck) return;
    links_.notice(incompleteGuard_, mz("\x03Niepełny meldunek: ") + text, kNoticeInfo);
}

void BaseMessageParser::report(MessageReading& r, int slot) {
    BaseMessage& m = r.record;
    if (m.subscriber == 0xAAAA && m.subsystem == 0xAA && m.code == 0xAAA && m.sector == 0xAAA) return;
    // GSM modules with the newer radio decoders send a short code whose
    // sector digit belongs to the code.
    if (gsmSourceKind(r.sourceKind) && (config_.options & 0xFE) != 0 && (m.code == 5 || (m.code >= 7 && m.code <= 15))) {
        m.code = m.code * 16 + m.sector;
        m.sector = Report::kNoSector;
    }
    // Dial-up receivers write subsystem and sector in decimal digits.
    if (dialUpSourceKind(r.sourceKind) && m.subsystem != 255 && m.sector != Report::kNoSector) {
        m.subsystem = bcdAsDecimal(m.subsystem);
        m.sector = bcdAsDecimal(m.sector);
    }
    if (m.reportFlags & 1) m.subsystem += 90;
    Report report;
    report.subscriber = m.subscriber;
    report.subsystem = m.subsystem;
    report.code = m.code;
    report.sector = m.sector;
    // A message kept from the last run whose path this run does not have
    // (yet: the journal is read before the module check) still names the
    // Ethernet path type.
    report.path = links_.pathOf(slot) ? slot : Report::kPathIpReceiver;
    report.flags = m.hexNumber ? Report::kUnknownSubscriber : 0;
    report.text = r.text;
    const int follow = links_.processReport(report);
    if (m.quality1 != 0xFF) {
        LinkStatusRecord status;
        status.subscriber = m.subscriber;
        status.hexNumber = m.hexNumber;
        status.subsystem = m.subsystem;
        status.code = m.code;
        status.sector = m.sector;
        status.quality1 = m.quality1;
        status.quality2 = m.quality2;
        status.quality3 = m.quality3;
        status.quality4 = m.quality4;
        links_.linkStatus(r.sourceKind, status);
    }
    if (follow != -2) {
        Report counter;
        counter.subscriber = follow;
        counter.subsystem = Report::kNoSubsystem;
        counter.code = specialCode(config_, kSpecialAlarmCounter);
        counter.sector = Report::kNoSector;
        counter.path = report.path;
        counter.flags = (follow == -1 || m.hexNumber) ? Report::kUnknownSubscriber : 0;
        links_.processReport(counter);
    }
    if (m.confirmMode == 2) passToPartner(m.subscriber, m.hexNumber, m.subsystem, m.code, m.sector, slot);
}

void BaseMessageParser::passToPartner(int subscriber, bool hexNumber, int subsystem, int code, int sector, int slot) {
    if (slot < 0) return;
    const auto word = links_.forwardingWord(subscriber);
    if (!word || !(*word & kForwardTgBit)) return;
    const int target = forwardingTarget(*word, 1) - 1;
    if (target < 0 || target >= kBaseEntries) return;
    const BaseEntry& base = config_.bases[target];
    if (base.gprsAddress[0] == 0) return;
    stageGprsOrder(frame_, base.gprsAddress, kTrackForwardOrder, subscriber, hexNumber, subsystem, code, sector,
                   kPartnerParameter);
    links_.queueOrder(slot, kNoAlarmId, kTrackForwardOrder);
}

void BaseMessageParser::orderAnswerEntry(const MessageReading& r, int slot, int detail) {
    const auto path = links_.pathOf(slot);
    const int extra = path ? ((path->transmissionType << 4) | ((path->number + 1) & 0x0F)) : 0xFF;
    links_.logEntry(kHistoryProbeRefused, systemEntry(kHistoryProbeRefused, r.record.subscriber, detail & 0xFF, 0, extra,
                                                     true));
}

void BaseMessageParser::orderAnswer(const MessageReading& r, int slot) {
    if (!links_.pathOf(slot)) return;
    const BaseMessage& m = r.record;
    const auto answered = [&] { links_.markProbeAnswered(slot, m.subscriber); };
    if (r.status != -1) {
        if (r.status == 5) answered();
        else if (r.status != 13) orderAnswerEntry(r, slot, r.status);
        return;
    }
    if (r.sourceKind == kGprsSourceKind) {
        if (m.subsystem == 5) answered();
        else if (m.subsystem != 13) orderAnswerEntry(r, slot, m.subsystem);
    } else if (gsmSourceKind(r.sourceKind) && m.subsystem == 9 && m.code == 4) {
        answered();
    } else {
        orderAnswerEntry(r, slot, m.code & 0xFF);
    }
}

int BaseMessageParser::baseOfPartner(const std::array<uint8_t, 4>& ip) const {
    for (int b = 0; b < kBaseEntries; ++b)
        if (std::memcmp(config_.bases[b].gprsAddress, ip.data(), 4) == 0) return b;
    return -1;
}

void BaseMessageParser::partnerConfirmation(const MessageReading& r, int slot) {
    const int b = baseOfPartner(r.partnerIp);
    if (b < 0) return;
    if (config_.bases[b].gsmParam != r.record.partnerParam) return;
    if (r.sourceKind == kGprsSourceKind) {
        if (links_.pathOf(slot))
            links_.confirmGprsForwarding(slot, r.record.subscriber, b, kPathBitTg, r.record.orderKey);
        return;
    }
    links_.confirmForwarding(r.record.subscriber, b, kPathBitTg);
}

void BaseMessageParser::partnerMessage(const MessageReading& r, int slot) {
    const BaseMessage& m = r.record;
    const int b = baseOfPartner(r.partnerIp);
    if (b >= 0) {
        // The partner hears at once that its report came; the answer is not
        // queued, a lost one the partner sends again.
        stageGprsOrder(frame_, config_.bases[b].gprsAddress, kPartnerAnswerType, m.subscriber, m.hexNumber,
                       m.subsystem, m.code, m.sector, kPartnerParameter);
        if (links_.pathOf(slot)) links_.pollSendOrder(slot);
    }
    HistoryEntry entry{};
    entry.flags = static_cast<uint8_t>(HistoryEntry::kEntrySystem | (m.hexNumber ? HistoryEntry::kEntryHexNumber : 0));
    entry.subscriber = static_cast<int16_t>(m.subscriber);
    entry.subsystem = static_cast<uint8_t>(b + 1);
    entry.sector = static_cast<uint16_t>(m.code & 0x0FFF);
    entry.kind = static_cast<uint16_t>(4 << 12);
    entry.code2 = 2;
    links_.logEntry(kHistoryConfirmed, entry);
}

void BaseMessageParser::lineState(const MessageReading& r, int slot) {
    const int low = r.status & 0xFF;
    if (low != 8 && low != 9) return;
    const auto path = links_.pathOf(slot);
    if (!path) return;
    const HistoryEntry entry = pathEntry(slot);
    if (r.status >= 256) {
        links_.logEntry(kHistoryLineBack, entry);
        return;
    }
    links_.logEntry(kHistoryLineFault, entry);
    links_.wakeScreen();
    char text[96];
    std::snprintf(text, sizeof text, "\x03" "Brak linii telef. w pakiecie %s%d", path->typeName.c_str(),
                  path->number + 1);
    // The alarm style plays the class-0 sound while the box is up.
    links_.notice(lineFaultGuard_, text, kNoticeAlarm);
}

} // namespace k4
