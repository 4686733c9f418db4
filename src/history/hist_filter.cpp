#include "history/hist_filter.h"

#include <algorithm>

namespace k4 {

namespace {

// Kinds after which the next entry belongs to the same program event (its
// second half carries the details) and is listed with it.
bool opensFollower(int kind) { return kind == 43 || kind == 45 || kind == 57; }

constexpr int kOperatorLoginKind = 6;
constexpr int kAlarmServiceKind = 8;

// The "Tory" bit of a report's transmission type; -1 for none.
int trackOfPathType(int t) {
    switch (t) {
    case 1: return kFilterTrackRadio;
    case 2: return kFilterTrackFixed;
    case 3: return kFilterTrackAdemco;
    case 4: return kFilterTrackContactId;
    case 5: return kFilterTrackGsm;
    case 6: return kFilterTrackEthernet;
    default: return t < 7 ? kFilterTrackDialUp : -1;
    }
}

bool withinTime(const HistFilter& f, Stamp time) {
    if (f.from != 0 && time < f.from) return false;
    if (f.to != 0 && time >= f.to) return false;
    return true;
}

} // namespace

bool isNoSubscriberKind(int kind) {
    return std::find(NoSubscriberKinds.begin(), NoSubscriberKinds.end(), kind) != NoSubscriberKinds.end();
}

bool HistFilter::isDefault() const {
    HistFilter d;
    return from == d.from && to == d.to && subscriber == d.subscriber && code == d.code &&
           subsystem == d.subsystem && sector == d.sector && operatorNumber == d.operatorNumber &&
           categories == d.categories && tracks == d.tracks && bases == d.bases && unknown == d.unknown &&
           service == d.service && serviceMask == d.serviceMask && emptyOnly == d.emptyOnly;
}

bool matchesFilter(HistFilter& f, const HistoryEntry& e, const FilterKnowledge& knowledge) {
    const Stamp time = e.time;
    if (f.emptyOnly) return time == 0;
    // An entry without a time is a hole left by a damaged write.
    if (time == 0) return false;

    const bool system = e.isSystem();
    const int kind = e.kindCode();
    if (f.follow) {
        if (system && (f.categories & kCategoryProgram) && opensFollower(kind)) return true;
        f.follow = 0;
        return true;
    }

    if (f.operatorNumber != 0) {
        // Only a login entry opens or ends a shift: a report that happens to
        // carry code 6 is not an operator changing.
        if (system && kind == kOperatorLoginKind) {
            if (e.subscriber == f.operatorNumber) {
                f.inShift = 1;
                return withinTime(f, time);
            }
            f.inShift = 0;
            return false;
        }
        if (!f.inShift) return false;
    }

    if (!withinTime(f, time)) return false;

    if (system && (kind == 1 || kind == 2)) return !(f.categories & kCategoryNoWorkStart);

    if (f.tracks != 0) {
        if (system) {
            if (!(f.categories & kCategoryProgram)) return false;
        } else {
            const int track = trackOfPathType(e.kind >> 12);
            if (track < 0 || !(f.tracks & (1u << track))) return false;
            const int base = f.bases[static_cast<size_t>(track)];
            if (base != 0 && (e.code2 >> 12) != base) return false;
        }
    }

    if ((e.flags & HistoryEntry::kEntryBlocked) && (f.categories & kCategoryNoBlocked)) return false;

    if (f.subscriber != -1) {
        if (e.subscriber != f.subscriber) return false;
        if (system && isNoSubscriberKind(kind)) return false;
    }
    if (f.subsystem != 255 && e.subsystem != f.subsystem) return false;
    if (f.sector != 4095 && (e.sector & 0x0FFF) != f.sector) return false;

    if (f.service != 0) {
        if (!system || kind != kAlarmServiceKind) return false;
        if (f.service == 1) {
            const int steps = ((e.kind >> 12) << 4) | (e.code2 >> 12);
            if (steps != f.serviceMask && !(steps & f.serviceMask)) return false;
        }
    }

    const uint8_t wide = kCategoryArming | kCategoryDisarming | kCategoryProgram;
    if (f.code == -1 && !(f.categories & wide) && !f.unknown) return true;

    if (!system && (kind == f.code || (e.code2 & 0x0FFF) == f.code) && !(f.categories & kCategoryProgram))
        return true;

    if (system) {
        if (!(f.categories & kCategoryProgram)) return false;
        if (f.code != -1 && kind != f.code) return false;
        if (opensFollower(kind)) f.follow = 1;
        return true;
    }

    if (f.categories & (kCategoryArming | kCategoryDisarming)) {
        const int arm = knowledge.eventKind ? knowledge.eventKind(kind) : 0;
        auto special = [&](size_t i) { return knowledge.specialCodes[i] != 0 && knowledge.specialCodes[i] == kind; };
        if ((f.categories & kCategoryArming) && (arm == -1 || special(2) || special(1))) return true;
        if ((f.categories & kCategoryDisarming) && (arm == -2 || special(8))) return true;
    }

    return f.unknown && (e.sector >> 12) != 0;
}

} // namespace k4
