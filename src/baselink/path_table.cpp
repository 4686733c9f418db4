#include "baselink/path_table.h"

#include "baselink/module_bus.h"
#include "baselink/path_files.h"
#include "baselink/serial_ports.h"
#include "baselink/trace_ring.h"
#include "config/config_block.h"
#include "database/index_file.h"
#include "database/sbscrbr.h"
#include "database/subscriber_database.h"
#include "database/subscriber_indexes.h"
#include "database/text_edge.h"
#include "history/history_log.h"
#include "processing/scheduler.h"

#include <cstdio>
#include <random>

namespace k4 {

namespace {

enum : int {
    kHistoryPathAdded = 36,
    kHistoryPathRemoved = 37,
    kHistoryOnDemandStarted = 51,
    kHistoryOnDemandResult = 68,
    kHistoryProbingOn = 21,
    kHistoryProbingOff = 22,
};

bool isDialUpGroup(int kind) { return kind == kKindNtt || kind == kKindOnt; }

} // namespace

PathTable::PathTable(const PathTableParts& parts) : parts_(parts) {
    auto engine = std::make_shared<std::mt19937>(std::random_device{}());
    random_ = [engine](int n) { return static_cast<int>((*engine)() % static_cast<unsigned>(n)); };
}

PathTable::~PathTable() = default;

Packet* PathTable::at(int slot) {
    return slot >= 0 && slot < kPathSlots ? slots_[static_cast<size_t>(slot)].get() : nullptr;
}

const Packet* PathTable::at(int slot) const {
    return slot >= 0 && slot < kPathSlots ? slots_[static_cast<size_t>(slot)].get() : nullptr;
}

Packet& PathTable::place(std::unique_ptr<Packet> path) {
    const int slot = path->slot;
    slots_[static_cast<size_t>(slot)] = std::move(path);
    return *slots_[static_cast<size_t>(slot)];
}

void PathTable::clear() {
    for (auto& slot : slots_) slot.reset();
    dialUpList_.reset();
    gsmList_.reset();
    gprsList_.reset();
}

Packet& PathTable::create(int slot, uint8_t kind, uint8_t number, const std::string& address) {
    std::unique_ptr<Packet> path;
    if (!address.empty()) {
        if (kind == kKindOtr || kind == kKindOts || kind == kKindLtr)
            path = std::make_unique<Eth_OTR_Packet>(*this, kind, number, slot, address);
        else
            path = std::make_unique<Eth_GSM_Packet>(*this, kind, number, slot, address);
    } else {
        switch (kind) {
        case kKindEthernetChannel: case kKindVgprsChannel:
            path = std::make_unique<Virt_Packet>(*this, kind, number, slot);
            break;
        case kKindOtr: case kKindOts: case kKindLtr:
            path = std::make_unique<OTR_Packet>(*this, kind, number, slot);
            break;
        case kKindOtt: case kKindNtt: case kKindOnt:
            path = std::make_unique<NTT_Packet>(*this, kind, number, slot);
            break;
        case kKindOtg: case kKindOng: case kKindGprs:
            path = std::make_unique<GSM_Packet>(*this, kind, number, slot);
            break;
        default:
            path = std::make_unique<Packet>(*this, kind, number, slot);
            break;
        }
    }
    return place(std::move(path));
}

std::shared_ptr<SupervisedList> PathTable::sharedList(uint8_t kind) {
    std::shared_ptr<SupervisedList>* list = nullptr;
    if (isDialUpGroup(kind)) list = &dialUpList_;
    else if (kind == kKindOng) list = &gsmList_;
    else if (kind == kKindGprs) list = &gprsList_;
    if (!list) return std::make_shared<SupervisedList>();
    if (!*list) *list = std::make_shared<SupervisedList>();
    return *list;
}

bool PathTable::forEachSubscriber(const std::function<void(Sbscrbr&)>& visit) {
    IndexHandle& numer = parts_.indexes.handle(kIndexNumber);
    if (!numer.isOpen()) return false;
    IndexKey key;
    int r = numer.First(key);
    for (; r == kIndexFound; r = numer.Next(key)) {
        Sbscrbr subscriber(parts_.database, AtOffset{key.value});
        if (!subscriber.valid) {
            parts_.messages.ShowNotice(listGuard, mz("\x03wcztania abonenta"), kNoticeError);
            continue;
        }
        visit(subscriber);
    }
    return true;
}

// --- Lookups ------------------------------------------------------------

bool PathTable::exists(int slot) const { return at(slot) != nullptr; }

int PathTable::pathKind(int slot) const {
    const Packet* p = at(slot);
    return p ? p->kind : 0;
}

int PathTable::poll(int slot, int mode, int argument) {
    Packet* p = at(slot);
    return p ? p->poll(mode, argument) : PathPolling::kPollError;
}

std::optional<PathDescriptor> PathTable::describe(int path) const {
    const Packet* p = at(path);
    if (!p) return std::nullopt;
    PathDescriptor d;
    d.pathKind = p->kind;
    d.transmissionType = p->transmissionType();
    d.baseNumber = p->baseNumber();
    d.testPath = p->type().testIndex;
    d.textDelaySeconds = p->sendDelay;
    return d;
}

Packet* PathTable::firstOfKinds(int kindA, int kindB) {
    for (auto& p : slots_)
        if (p && (p->kind == kindA || p->kind == kindB)) return p.get();
    return nullptr;
}

void PathTable::ForgetSubscriber(int number, uint8_t tracks, uint8_t tracksNbr) {
    const auto who = static_cast<uint16_t>(number);
    for (auto& p : slots_) {
        if (!p || !p->list) continue;
        bool uses = false;
        switch (p->pathClass()) {
        case PathClass::Ntt: uses = (tracks & 0x01) != 0; break;
        case PathClass::Gsm: case PathClass::EthGsm: uses = (tracks & 0x08) != 0; break;
        case PathClass::Otr: case PathClass::EthOtr:
            uses = p->kind == kKindOts ? (tracks & 0x04) && (tracksNbr & 0x0F) == p->number
                                       : (tracks & 0x02) && ((tracksNbr >> 4) & 0x0F) == p->number;
            break;
        default: break;
        }
        if (uses) p->list->remove(who);
    }
}

// --- Checking panel --------------------------------------------------------

void PathTable::showCheckEntry(const CheckEntry& entry) {
    if (checking_) checking_->addEntry(entry);
}

void PathTable::updateCheckEntry(const CheckEntry& entry) {
    if (checking_) checking_->updateEntry(entry);
}

int PathTable::spread(const PathType& type, int delay) {
    if (type.irregular && delay / 5 != 0) return delay + random(delay / 5);
    return delay;
}

void PathTable::RestartProbeTimers() {
    for (auto& p : slots_) {
        if (!p) continue;
        switch (p->kind) {
        case kKindOtr: case kKindNtt: case kKindOts: case kKindOnt: case kKindOng: case kKindGprs:
            ProbePath(p->slot, true);
            break;
        default: break;
        }
    }
}

// --- Probing ---------------------------------------------------------------

void PathTable::ProbePath(int slot, bool restart) {
    Packet* p = at(slot);
    if (!p) return;
    if (restart) parts_.scheduler.cancel(slot, kSchedChecking, 0);
    const int delay = p->busy == 1 ? 5 : p->probeStep();
    if (delay == -1) return;
    parts_.scheduler.schedule(delay, slot, kSchedChecking, 0);
}

void PathTable::EnableProbing(int slot) {
    Packet* p = at(slot);
    if (!p) return;
    p->status = static_cast<uint8_t>(p->status | kPathProbing);
    ProbePath(slot, true);
}

bool PathTable::probesSubscribers(int kind) {
    if (kind <= 15) return false;
    switch (kind) {
    case kKindOtt: case kKindAdemco: case kKindContactId: case kKindOtg: case kKindLtr: return false;
    default: return true;
    }
}

void PathTable::SwitchProbing(int slot, bool on) {
    Packet* p = at(slot);
    if (!p || ((p->status & kPathProbing) != 0) == on) return;
    parts_.history.LogEvent(on ? kHistoryProbingOn : kHistoryProbingOff, 0, 0, 0, p->historyExtra());
    if (on) {
        EnableProbing(slot);
    } else {
        p->status = static_cast<uint8_t>(p->status & ~kPathProbing);
    }
}

void PathTable::SwitchTestControl(int slot, bool on) {
    Packet* p = at(slot);
    if (!p || p->testControl == on) return;
    // The value 1 makes the history read "kontrolę testów" instead of "badanie".
    parts_.history.LogEvent(on ? kHistoryProbingOn : kHistoryProbingOff, 1, 0, 0, p->historyExtra());
    p->testControl = on;
}

int PathTable::RequestProbe(int slot, int subscriber) {
    Packet* p = at(slot);
    if (!p) return -1;
    char text[96];
    if (p->onDemand && p->probed == subscriber) {
        std::snprintf(text, sizeof text, "\x03" "Abonent %4.4d jest aktualnie badany ", subscriber);
        parts_.messages.ShowNotice(probingGuard, mz(text) + mz("na żądanie."), kNoticeInfo);
        return -1;
    }
    const bool dialUp = isDialUpGroup(p->kind);
    const bool gsmKind = p->kind == kKindOng || p->kind == kKindGprs;
    if ((dialUp || gsmKind) && p->attempts >= 1) {
        for (auto& other : slots_) {
            if (!other || other->attempts < 1 || other->probed != subscriber) continue;
            const bool sameGroup = dialUp ? isDialUpGroup(other->kind) : other->kind == p->kind;
            if (!sameGroup) continue;
            std::snprintf(text, sizeof text, "\x03" "Abonent %4.4d jest aktualnie badany ", subscriber);
            parts_.messages.ShowNotice(probingGuard, mz(text) + mz("systematycznie"), kNoticeInfo);
            return -1;
        }
    }
    p->onDemand = 1;
    p->attempts = 0;
    p->probed = static_cast<uint16_t>(subscriber);
    ProbePath(slot, true);
    if (parts_.scheduler.exists(slot, kSchedChecking, 0))
        parts_.history.LogEvent(kHistoryOnDemandStarted, subscriber, 0, 0, p->historyExtra());
    return 0;
}

void PathTable::MarkProbeAnswered(int slot, int subscriber, int state) {
    Packet* p = at(slot);
    if (!p) return;
    if (subscriber != -1 && subscriber != p->probed) {
        if (state != 0) return;
        // An answer that came over the receiving module of a group belongs
        // to the module of the group that sent the probe.
        Packet* owner = nullptr;
        if (p->kind == kKindOtt || p->kind == kKindOnt) {
            for (auto& o : slots_)
                if (o && isDialUpGroup(o->kind) && o->probed == subscriber && o.get() != p) { owner = o.get(); break; }
        } else if (p->kind == kKindOtg || p->kind == kKindOng) {
            for (auto& o : slots_)
                if (o && o->kind == kKindOng && o->probed == subscriber && o.get() != p) { owner = o.get(); break; }
        }
        if (owner) MarkProbeAnswered(owner->slot, subscriber, 0);
        return;
    }
    if (p->onDemand) {
        p->onDemand = 0;
        parts_.history.LogEvent(kHistoryOnDemandResult, p->probed, state, 0, p->historyExtra());
    }
    p->attempts = 0;
    p->checkEntry = CheckEntry{p->slot, p->probed, static_cast<uint8_t>(state), 0};
    p->entryToShow = 1;
    updateCheckEntry(p->checkEntry);
}

} // namespace k4
