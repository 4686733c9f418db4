// The module poll, second half: what a received block becomes — a report,
// a probe answer, an incomplete report in the history, a GSM call checked
// against the numbers the centre knows.
#include "baselink/clock_check.h"
#include "baselink/module_poll.h"

#include "database/stamp.h"
#include "database/text_edge.h"
#include "processing/process_report.h"
#include "processing/subscriber_state.h"

#include <cstdlib>
#include <cstring>
#include <string>

namespace k4 {

namespace {

HistoryEntry preparedToEntry(const PreparedEntry& prepared) {
    HistoryEntry entry;
    std::memcpy(&entry, prepared.data(), sizeof entry);
    return entry;
}

PreparedEntry phoneEntry(const std::string& phone) {
    PreparedEntry entry{};
    entry[4] = 0x01;
    const uint32_t number = static_cast<uint32_t>(std::strtol(phone.c_str(), nullptr, 10));
    for (int i = 0; i < 4; ++i) entry[static_cast<size_t>(5 + i)] = static_cast<uint8_t>(number >> (8 * i));
    return entry;
}

} // namespace

bool ModulePoll::handleBlock(const BlockOrigin& origin, std::span<const uint8_t> block, bool live, PolledPath* path) {
    const BlockOptions o = options(origin.mode);
    const DecodedBlock d = decodeReportBlock(origin.kind, origin.status, block, o);
    switch (d.outcome) {
    case BlockOutcome::Rejected: return false;
    case BlockOutcome::Nothing: return true;
    case BlockOutcome::Incomplete: handleIncomplete(origin, d); return true;
    case BlockOutcome::BareCall: handleBareCall(origin, d); return true;
    case BlockOutcome::GprsConfirmation: handleGprsConfirmation(origin, d); return true;
    case BlockOutcome::QueuedTextEnd: s_.links.endQueuedText(origin.slot, d.gprsQueueEntry); return true;
    case BlockOutcome::ProbeAnswer:
        if (d.probeAccepted) {
            s_.paths.markProbeAnswered(origin.slot, d.subscriber);
        } else {
            // Someone answered, but not the order this path sent.
            s_.history.LogEvent(kHistoryProbeRefused, d.subscriber, d.code & 0xFF, 0,
                                extraOf(origin.pathType, origin.number));
        }
        return true;
    case BlockOutcome::GprsAcknowledge:
        if (live && path && depth_ == 0 && s_.links.stageGprsAcknowledgement(origin.slot, block)) {
            ++depth_;
            pollModule(*path, kPollSendOrder);
            --depth_;
        }
        // The base's own link test asks only for the acknowledgement.
        if (d.subscriber == 0xAAAA) return true;
        break;
    case BlockOutcome::Report: break;
    }

    // A hexadecimal sender answering a probe order: some installations
    // want such strays left out of the history.
    if (d.unknownSubscriber && origin.mode == kPollSendOrder && s_.config.packet_supervision != 0) return true;
    if (isGsmKind(origin.kind) && origin.kind != 0xB0) checkGsmPhone(origin, d);
    if (d.unknownSubscriber) countUnknownSender(origin);
    deliver(origin, d, 0);
    if (d.forwardOverGprs) {
        Report r;
        r.subscriber = d.subscriber;
        r.subsystem = d.subsystem;
        r.code = d.code;
        r.sector = d.sector;
        r.path = origin.slot;
        r.flags = d.unknownSubscriber ? Report::kUnknownSubscriber : 0;
        s_.links.forwardOverGprs(r);
    }
    return true;
}

void ModulePoll::deliver(const BlockOrigin& origin, const DecodedBlock& d, int extraFlags) {
    Report r;
    r.subscriber = d.subscriber;
    r.subsystem = d.subsystem;
    r.code = d.code;
    r.sector = d.sector;
    r.path = origin.slot;
    r.flags = (d.unknownSubscriber ? Report::kUnknownSubscriber : 0) | extraFlags;
    if (d.hasTime) {
        if (const auto sent = stampOfTimeDigits(d.timeDigits)) r.sentTime = *sent;
    }
    const int follow = s_.reports.processReport(r);
    if (follow == ReportProcessing::kNoFollowUp) return;
    // The subscriber's rate limiter tripped: its alarm counter follows at
    // once. The extended radio blocks pass no flags of their own.
    Report counter;
    counter.subscriber = follow;
    counter.subsystem = Report::kNoSubsystem;
    counter.code = specialCode(s_.config, kSpecialAlarmCounter);
    counter.sector = Report::kNoSector;
    counter.path = origin.slot;
    const bool extended = origin.kind == 0xA0 || (isRadioKind(origin.kind) && origin.status == 4);
    counter.flags = follow == -1 ? Report::kUnknownSubscriber : (extended ? 0 : r.flags);
    s_.reports.processReport(counter);
}

void ModulePoll::countUnknownSender(const BlockOrigin& origin) {
    if (!unknownSenders_.count(static_cast<uint32_t>(nowStamp(s_.clock)))) return;
    Report counter;
    counter.subscriber = -1;
    counter.subsystem = Report::kNoSubsystem;
    counter.code = specialCode(s_.config, kSpecialAlarmCounter);
    counter.sector = Report::kNoSector;
    counter.path = origin.slot;
    counter.flags = Report::kUnknownSubscriber;
    s_.reports.processReport(counter);
}

void ModulePoll::handleIncomplete(const BlockOrigin& origin, const DecodedBlock& d) {
    // The receiver heard part of a report: its bytes go to the history, four
    // at a time, the second entry marked as the continuation.
    const uint8_t extra = extraOf(origin.pathType, origin.number);
    for (int part = 0; part < 2; ++part) {
        const uint8_t* bytes = d.raw.data() + 4 * part;
        if (part == 1 && bytes[0] == 0 && bytes[1] == 0 && bytes[2] == 0 && bytes[3] == 0) break;
        HistoryEntry entry = systemEntry(kHistoryIncomplete, 0, 0, 0, extra, true);
        std::memcpy(reinterpret_cast<uint8_t*>(&entry) + 5, bytes, 4);
        entry.code2 = static_cast<uint16_t>((entry.code2 & 0xF000) | part);
        s_.history.LogEvent(kHistoryIncomplete, entry);
    }
    if (s_.config.options & kOptNoIncompleteCheck) return;
    if ((s_.blockades.kindOf(d.subscriber) & ~kBlockTimed) == kBlockIncomplete) return;
    std::string text = mz("\x03Niepełny meldunek: ");
    char hex[3];
    for (uint8_t b : d.raw) {
        std::snprintf(hex, sizeof hex, "%2.2X", b);
        text += hex;
    }
    s_.messages.ShowNotice(incompleteGuard_, text, kNoticeInfo);
}

void ModulePoll::handleBareCall(const BlockOrigin& origin, const DecodedBlock& d) {
    if (origin.mode == kPollNormal) {
        // A receiving base calls back to say it holds our forwarded alarm.
        for (int base = 0; base < kBaseEntries; ++base) {
            const BaseEntry& e = s_.config.bases[base];
            if (std::string(e.gsmNumber, strnlen(e.gsmNumber, sizeof e.gsmNumber)) != d.phone) continue;
            if (e.gsmParam == 2) s_.links.confirmForwarding(e.tgSubscriber, base, 0x40);
            return;
        }
    }
    const auto owner = s_.phones.ownerOfPhone(d.phone);
    if (!owner) {
        HistoryEntry entry = preparedToEntry(phoneEntry(d.phone));
        s_.history.LogEvent(kHistoryPhoneUnknown, entry);
        countUnknownSender(origin);
        return;
    }
    // A call alone from a known transmitter is its periodic test.
    DecodedBlock test;
    test.subscriber = *owner;
    test.subsystem = 1;
    test.code = specialCode(s_.config, kSpecialPeriodicTest);
    test.sector = 127;
    deliver(origin, test, 0);
}

void ModulePoll::checkGsmPhone(const BlockOrigin& origin, const DecodedBlock& d) {
    (void)origin;
    if (d.hasTime) {
        if (const auto sent = stampOfTimeDigits(d.timeDigits)) {
            if (const auto skew = clockSkewEntry(*sent, nowStamp(s_.clock))) {
                HistoryEntry entry = preparedToEntry(*skew);
                s_.history.LogEvent(kHistoryClockSkew, entry);
            }
        }
    }
    const auto owner = s_.phones.ownerOfPhone(d.phone);
    if (owner && *owner == d.subscriber) return;
    HistoryEntry entry = preparedToEntry(phoneEntry(d.phone));
    s_.history.LogEvent(owner ? kHistoryPhoneOfOther : kHistoryPhoneUnknown, entry);
    if (!owner) return;
    char text[64];
    std::snprintf(text, sizeof text, "\x03" "Błędny telefon GSM - %ld", std::strtol(d.phone.c_str(), nullptr, 10));
    s_.messages.ShowNotice(wrongPhoneGuard_, mz(text), kNoticeInfo);
}

void ModulePoll::handleGprsConfirmation(const BlockOrigin& origin, const DecodedBlock& d) {
    for (int base = 0; base < kBaseEntries; ++base) {
        const BaseEntry& e = s_.config.bases[base];
        if (std::memcmp(e.gprsAddress, d.address.data(), 4) == 0 && e.gsmParam == d.gprsParam) {
            s_.links.confirmGprsForwarding(origin.slot, d.subscriber, base, 0x40, d.gprsQueueEntry);
            return;
        }
    }
}

} // namespace k4
