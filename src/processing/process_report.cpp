#include "processing/process_report.h"

#include "database/related_records.h"
#include "database/sbscrbr.h"
#include "database/stamp.h"
#include "database/subscriber_database.h"
#include "database/text_edge.h"
#include "processing/event_list.h"
#include "processing/event_table.h"
#include "processing/rate_limiter.h"

#include <cstddef>
#include <cstdio>
#include <memory>

namespace k4 {

namespace {

constexpr int kDemonstrationKind = 0x45;
constexpr int kPathKindRadioLink = 0xA0;
constexpr int kUserTestAnswer = 3; // the order that answers a user test
constexpr int kLastReportMark = 90;

bool isSwitchedPath(int kind) { return kind == 0x60 || kind == 0x20 || kind == 0x50 || kind == 0x70; }

bool isSpecial(const ConfigBlock& config, int code, int index) {
    const int special = specialCode(config, index);
    return special != 0 && special == code;
}

} // namespace

int forwardingTarget(uint16_t word, int wordNumber) {
    if (word < 0x100 || word > 0x10FF) return wordNumber;
    return word >> 8;
}

// What one report has come to while it is processed.
struct ReportProcessing::Outcome {
    const Report& report;
    int code;
    int subsystem;
    int sector;
    int colour = -1;
    int blk = 0;
    uint16_t unknownMask = 0;
    uint8_t entryFlags = 0;
    const EventDef* def = nullptr;
    bool listUnreadable = false;
};

ReportProcessing::ReportProcessing(const ReportProcessingParts& parts, const ReportLinks& links)
    : parts_(parts), links_(links),
      state_(parts.config, parts.events, parts.messages, links.tests, links.arming) {}

int ReportProcessing::processReport(const Report& r) {
    const bool demonstration = (r.flags & Report::kDemonstration) != 0;
    // 1. The demonstration command with nothing to show.
    if (demonstration && r.code == 0) return kNoFollowUp;

    const ConfigBlock& config = parts_.config;
    const int mode = static_cast<int16_t>(config.mode);
    const bool linkReduced = (config.options & kOptLinkReduced) != 0;

    // 2. The path descriptor; a local source names its path type itself.
    std::optional<PathDescriptor> path;
    if (r.path >= 0) path = links_.paths.describe(r.path);
    const bool pathExists = path.has_value();
    int pathKind = 0, transmissionType = 0, baseNumber = 0, testPath = 7;
    if (pathExists) {
        pathKind = path->pathKind;
        transmissionType = path->transmissionType & 0x0F;
        baseNumber = path->baseNumber & 0x0F;
        testPath = path->testPath;
    } else if (r.path < 0) {
        pathKind = -(r.path + 1);
        transmissionType = pathKind & 0x0F;
        // IP panels are tested on the Ethernet test path, as the Ethernet
        // bases' subscribers are.
        if (r.path == Report::kPathIpReceiver) testPath = 6;
    }

    Outcome o{r, r.code, r.subsystem, r.sector};
    o.blk = parts_.blockades.kindOf(r.subscriber) & ~kBlockTimed;

    HistoryEntry entry{};
    entry.kind = static_cast<uint16_t>((r.code & 0x0FFF) | (transmissionType << 12));
    entry.code2 = static_cast<uint16_t>((r.code & 0x0FFF) | (baseNumber << 12));
    entry.subscriber = static_cast<int16_t>(r.subscriber);

    // 3, 4. Who sent it. The alarm-counter event does no subscriber work
    // and is not looked up; neither is a sender the channel marked unknown.
    bool unknownSubscriber = false;
    std::unique_ptr<Sbscrbr> subscriber;
    if (isSpecial(config, r.code, kSpecialAlarmCounter)) {
        const EventDef* def = parts_.events.findEvent(r.code);
        if (def) o.colour = def->colourClass();
    } else if (r.flags & Report::kUnknownSubscriber) {
        unknownSubscriber = true;
    } else {
        int32_t offset = 0;
        const bool found = r.subscriber >= 0 && r.subscriber <= 9999 &&
                           parts_.database.index().FindNumber(r.subscriber, offset) == 1;
        if (found) {
            subscriber = std::make_unique<Sbscrbr>(parts_.database, AtOffset{offset});
            // A damaged index may point at another subscriber's record, or
            // at a deleted one's (a freed record links the free chain, never
            // 0): the report must not count against, or be shown as, that one.
            if (!subscriber->valid || subscriber->number() != r.subscriber ||
                static_cast<int32_t>(subscriber->record.free_link) != 0)
                subscriber.reset();
        }
        unknownSubscriber = !subscriber;
    }
    if (unknownSubscriber) o.unknownMask |= kUnknownSubscriberMask >> 12;

    int result = kNoFollowUp;
    // 5. A known subscriber.
    if (subscriber) {
        // a. Link tests of a radio link restart the periodic test; with
        //    reduced link handling that is all they do.
        if (pathKind == kPathKindRadioLink && (r.code == 0x1E0 || r.code == 0x9E0)) {
            links_.tests.checkTest(5, *subscriber, 1);
            if (linkReduced) return kNoFollowUp;
        }
        // b. The rate limiter counts even for a blocked subscriber.
        if (!demonstration) {
            if (countReport(subscriber->record.alarm_opts, static_cast<uint32_t>(nowStamp(parts_.clock))))
                result = r.subscriber;
            if (subscriber->WriteAlarmOpts() != 0) {
                char text[64];
                std::snprintf(text, sizeof text, "\x03zapisu licznika meldunków - %4.4d", r.subscriber);
                parts_.messages.ShowNotice(limiterGuard_, mz(text), kNoticeError);
            }
            if (o.blk == kBlockSubscriber) return result;
        }
        translateAndCheck(*subscriber, o);
    }
    const bool subscriberWork = subscriber != nullptr;

    // 6. The history entry.
    entry.subsystem = static_cast<uint8_t>(o.subsystem);
    const int loggedSector = o.sector == Report::kNoSector && r.sector != Report::kNoSector ? r.sector : o.sector;
    entry.sector = static_cast<uint16_t>((loggedSector & 0x0FFF) | (o.unknownMask << 12));
    uint8_t flags = o.entryFlags;
    if (r.flags & Report::kUnknownSubscriber) flags |= HistoryEntry::kEntryHexNumber;
    if (o.colour != -1) flags = static_cast<uint8_t>(flags | (o.colour << 4));
    if (demonstration) {
        entry.code2 = static_cast<uint16_t>((o.code & 0x0FFF) | (baseNumber << 12));
        entry.flags = static_cast<uint8_t>(flags | HistoryEntry::kEntrySystem);
        parts_.history.LogEvent(kDemonstrationKind, entry);
    } else {
        entry.flags = flags;
        parts_.history.LogEvent(o.code & 0x0FFF, entry);
    }
    // Told once the report is in the history: the box lets the timer run.
    if (o.listUnreadable) {
        char text[64];
        std::snprintf(text, sizeof text, "\x03odczytu listy zdarzeń abonenta %4.4d", r.subscriber);
        parts_.messages.ShowNotice(listGuard_, mz(text), kNoticeError);
    }

    // 7. A probe answer.
    if (pathExists && isSpecial(config, o.code, kSpecialProbeAnswer))
        links_.paths.markProbeAnswered(r.path, r.subscriber);

    // 8. The alarm record.
    AlarmRecord alarm;
    alarm.subscriber = static_cast<int16_t>(r.subscriber);
    alarm.subsystem = static_cast<int16_t>(o.subsystem);
    alarm.codeWord = codeWordOf(o.code, o.colour < 0 ? 0 : o.colour);
    alarm.sector = static_cast<int16_t>(o.sector);
    alarm.path = static_cast<int16_t>(r.path);
    alarm.origCodeWord = static_cast<uint16_t>(r.code & 0x0FFF);
    if (demonstration) alarm.origCodeWord |= AlarmRecord::kStateDemonstration << 12;
    alarm.origSector = static_cast<int16_t>(r.sector);
    if (r.flags & Report::kUnknownSubscriber) alarm.flags |= AlarmRecord::kHexSubscriber;
    alarm.time = entry.time != 0 ? static_cast<uint32_t>(static_cast<int32_t>(entry.time))
                                 : static_cast<uint32_t>(nowStamp(parts_.clock));
    alarm.sentTime = static_cast<uint32_t>(r.sentTime);

    // 9. A user test over a switched path is answered at once.
    if (subscriberWork && pathExists && isSpecial(config, o.code, kSpecialUserTest) && isSwitchedPath(pathKind))
        links_.orders.sendOrder(r.subscriber, r.path, kUserTestAnswer);

    // 10. Codes outside the twelve bits are only logged; a negative one from
    //     a bad decoder is no more of a code than one above 0xFFF.
    if (o.code < 0 || o.code > 0x0FFF) return result;

    // 11. The subscriber's state and the forwarding state of the alarm.
    if (!demonstration && subscriberWork) {
        if (pathExists) {
            state_.updateGsmPathFlag(*subscriber, pathKind, o.code);
            state_.updateSubscriberState(*subscriber, o.code, testPath, o.subsystem, o.sector);
        }
        if (r.path >= 0 && mode == 1) {
            const uint16_t words[2] = {subscriber->record.forw_flag1, subscriber->record.forw_flag2};
            for (int w = 0; w < 2; ++w) {
                const int base = forwardingTarget(words[w], w + 1);
                if (base >= 1 && base <= kBaseEntries)
                    alarm.forward[static_cast<size_t>(base - 1)] |= static_cast<uint8_t>(words[w] & 0xF0);
            }
        }
    }

    // 12. A text the base wants confirmed when the alarm is opened.
    const bool queueText = r.text.has_value() && pathExists;
    if (queueText) alarm.flags |= AlarmRecord::kTextToConfirm;

    // 13. The alarm. Colour class 0 is a plain report and raises nothing.
    bool added = false;
    bool raised = false;
    auto raise = [&](int colour) {
        alarm.codeWord = codeWordOf(o.code, colour);
        raised = parts_.alarms.raiseAlarm(alarm, colour) == 0;
        return raised;
    };
    const bool lastReport = o.subsystem != Report::kNoSubsystem && o.subsystem >= kLastReportMark;
    const bool unknownEvent = (o.unknownMask & (kUnknownEventMask >> 12)) != 0;
    if (unknownSubscriber || lastReport) {
        if (unknownSubscriber) alarm.flags |= AlarmRecord::kUnknownSubscriber;
        if (pathKind != kPathKindRadioLink || (linkReduced && unknownSubscriber)) raise(15);
    } else if (o.blk != kBlockAlarms) {
        if (unknownEvent) {
            alarm.flags |= AlarmRecord::kUnknownEvent;
            raise(15);
        } else if (o.colour > 0) {
            added = raise(o.colour);
        }
    }
    if (raised) alarm.id = parts_.alarms[0].id;

    // 14. The text waits in the path's queue for the operator's confirmation;
    // the type-7 entry drops it when the path's delay has passed.
    if (queueText) {
        const int sequence = links_.texts.queueText(r.path, *r.text, raised ? alarm.id : 0);
        if (sequence >= 0) parts_.scheduler.schedule(path->textDelaySeconds, r.path, kSchedTestAck, sequence);
    }

    // 15. Forwarding to the receiving bases.
    if (subscriberWork && r.path >= 0 && !demonstration && mode == 1)
        links_.forwarding.forwardNewAlarm(*subscriber, alarm, added);

    // 16. The subscriber object goes with this scope.
    return result;
}

int ReportProcessing::translateAndCheck(Sbscrbr& subscriber, Outcome& o) {
    const ConfigBlock& config = parts_.config;
    // c. The subscriber's own list, unless this receiving centre is sent
    //    codes that another centre has translated already.
    const bool codesAsReceived = static_cast<int16_t>(config.mode) == 2 &&
                                 (config.bases[0].flags & kBaseEventConversion) == 0;
    if (!codesAsReceived && static_cast<int32_t>(subscriber.record.alarm_list) != 0) {
        AlarmsTableList list(parts_.database.file(DbFile::Alarmy), parts_.events, parts_.messages,
                             subscriber.record.alarm_list, 0, &parts_.database.sharedLists());
        // An unreadable list translates nothing: every code is then an
        // unknown event, which at least raises a class-15 alarm.
        o.listUnreadable = !list.loaded();
        const std::optional<Translation> t = list.loaded() ? list.translate(o.code) : std::nullopt;
        if (!t) {
            o.unknownMask |= kUnknownEventMask >> 12;
        } else {
            o.code = t->stdCode;
            if (t->sector) {
                o.sector = *t->sector;
                if (o.subsystem == Report::kNoSubsystem) o.subsystem = 0;
            }
            if (t->colour) o.colour = *t->colour;
        }
    }
    // d. The event definition of the translated code.
    o.def = parts_.events.findEvent(o.code);
    if (o.colour == -1 && o.def) o.colour = o.def->colourClass();
    const bool unknownEvent = (o.unknownMask & (kUnknownEventMask >> 12)) != 0;
    if (o.colour != 0 && !unknownEvent && o.blk == kBlockAlarms) o.entryFlags |= HistoryEntry::kEntryBlocked;
    checkSubsystem(subscriber, o);
    return 0;
}

void ReportProcessing::checkSubsystem(Sbscrbr& subscriber, Outcome& o) {
    // e. A last report carries 90 on top of its subsystem.
    int lineNo = o.subsystem;
    if (o.subsystem != Report::kNoSubsystem && o.subsystem >= kLastReportMark) {
        o.entryFlags |= HistoryEntry::kEntryLastReport;
        lineNo = o.subsystem - kLastReportMark;
    }
    // f. An undefined code, then the subsystem and the sector; arming and
    //    disarming name a subsystem position, not a subsystem.
    if (!o.def || o.def->isEmpty()) {
        o.unknownMask |= kUnknownEventMask >> 12;
        return;
    }
    if (lineNo == Report::kNoSubsystem || (o.def->kindBits() & (kEventArming | kEventDisarming)) != 0) return;
    int32_t line = 0;
    if (lineNo >= 0 && lineNo < kLineSlots) line = subscriber.record.lines[lineNo];
    if (line == 0) {
        o.unknownMask |= kUnknownSubsystemMask >> 12;
        return;
    }
    OnDemandFile linie(parts_.database.files(), DbFile::Linie, mz("\x03otwarcia pliku"));
    if (!linie.ok()) {
        o.unknownMask |= kUnknownSubsystemMask >> 12;
        return;
    }
    if (o.sector == Report::kNoSector) {
        uint8_t no = 0;
        if (linie.file().ReadPart(line, &no, offsetof(SubsystemRecord, no), 1) != 0)
            o.unknownMask |= kUnknownSubsystemMask >> 12;
        return;
    }
    if (o.sector < 0 || o.sector >= kSectorSlots) {
        o.unknownMask |= kUnknownSectorMask >> 12;
        return;
    }
    Int32Le sectorSlot = 0;
    const int at = static_cast<int>(offsetof(SubsystemRecord, sectors)) + o.sector * 4;
    if (linie.file().ReadPart(line, &sectorSlot, at, 4) != 0)
        o.unknownMask |= kUnknownSubsystemMask >> 12;
    else if (static_cast<int32_t>(sectorSlot) == 0)
        o.unknownMask |= kUnknownSectorMask >> 12;
}

} // namespace k4
