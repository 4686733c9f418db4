// The module check: which module answers in which slot, the Ethernet bases
// of "pakiety" and the virtual channels; the path list text; and a
// subscriber's supervised paths changed by the operator.
#include "baselink/module_bus.h"
#include "baselink/path_files.h"
#include "baselink/path_table.h"
#include "baselink/serial_ports.h"
#include "baselink/trace_ring.h"
#include "database/sbscrbr.h"
#include "database/text_edge.h"
#include "history/history_log.h"

#include <cstdio>

namespace k4 {

namespace {

// The numbering groups of the module kinds.
int groupOf(int kind) {
    switch (kind) {
    case kKindOtr: case kKindLtr: return 0;
    case kKindOtt: return 1;
    case kKindNtt: case kKindOnt: return 2;
    case kKindOts: return 3;
    case kKindAdemco: case kKindContactId: return 4;
    case kKindOtg: return 5;
    case kKindOng: case kKindGprs: return 6;
    default: return -1;
    }
}
constexpr int kGsmGroup = 6;

enum : int { kHistoryPathAdded = 36, kHistoryPathRemoved = 37 };

} // namespace

void PathTable::detectModules() {
    SerialLine& data = parts_.ports.line(kComPort2);
    std::array<int, 7> counters{};
    for (int s = 0; s < kModuleSlots; ++s) {
        data.clearInput();
        bool selected = false;
        int found = -1;
        for (int attempt = 0; attempt < 3 && found < 0; ++attempt) {
            if (!selected) {
                const int answer = parts_.bus.SelectModule(s);
                if (answer == 0xFFFF || !(answer & 1)) continue;
                selected = true;
                parts_.trace.Trace("Ustawiony pakiet %x %x", s, answer);
            }
            data.clearInput();
            if (!data.writeByte(0x00)) continue;
            const auto type = data.readByte();
            if (!type) continue;
            if (isModuleType(*type) && groupOf(*type) >= 0) {
                parts_.trace.Trace("Znaleziony pakiet %x ", *type);
                found = *type;
            } else {
                parts_.trace.Trace("Nieznany pakiet %x ", *type);
            }
        }
        if (found < 0) {
            parts_.trace.Trace("Brak pakietu %x ", s);
            continue;
        }
        const int group = groupOf(found);
        Packet& path = create(s, static_cast<uint8_t>(found), static_cast<uint8_t>(counters[static_cast<size_t>(group)]++));
        path.buildSubscriberList();
    }
    gsmCounter_ = counters[kGsmGroup];
}

void PathTable::detectEthernet(const std::vector<std::string>& addresses) {
    int k = 0;
    for (; kFirstEthernetSlot + k < kPathSlots && k < addressesInUse_ && k < static_cast<int>(addresses.size()); ++k) {
        const int answer = parts_.ethernet.queryKind(addresses[static_cast<size_t>(k)], k);
        if (answer < 0) continue;
        const int first = answer & 0xFF;
        const int delay = (answer >> 8) & 0xFF;
        int kind = first & 0xF0;
        switch (kind) {
        case 0x10: case 0x20: case 0x40: case 0x50: case 0x70: case 0xA0: case 0x90: case 0xB0: break;
        case 0xC0: kind = 0x10; break;
        case 0xD0: kind = 0x20; break;
        case 0xE0: kind = 0xB0; break;
        default: kind = 0; break;
        }
        if (!kind) continue;
        const int low = first & 0x0F;
        Packet& path = create(kFirstEthernetSlot + k, static_cast<uint8_t>(kind), static_cast<uint8_t>(low ? low - 1 : 0),
                              addresses[static_cast<size_t>(k)]);
        if (delay != 0) path.sendDelay = delay;
        if ((first & 0xF0) == 0x90 || (first & 0xF0) == 0xB0 || (first & 0xF0) == 0xE0) ++gsmCounter_;
        path.buildSubscriberList();
    }
}

void PathTable::renumberGroups() {
    int dialUps = 0;
    for (auto& p : slots_)
        if (p && (p->kind == kKindNtt || p->kind == kKindOnt)) ++dialUps;
    for (auto& p : slots_) {
        if (!p) continue;
        if (p->kind == kKindOtt) p->number = static_cast<uint8_t>(p->number + dialUps);
        else if (p->kind == kKindOtg) p->number = static_cast<uint8_t>(p->number + gsmCounter_);
    }
}

int PathTable::DetectPaths() {
    clear();
    detectModules();
    PathFiles files(parts_.dir, parts_.messages);
    PathSetup setup;
    if (files.read(setup) != 0) {
        addressesInUse_ = 0;
        ethernetAddresses_.clear();
        renumberGroups();
        return -1;
    }
    // What the check found is what the next start and the IP base table
    // dialog read.
    for (int s = 0; s < kModuleSlots; ++s) setup.kinds[static_cast<size_t>(s)] = pathKind(s);
    files.write(setup);
    addressesInUse_ = std::min(setup.inUse, kPathSlots - kFirstEthernetSlot);
    ethernetAddresses_.assign(setup.addresses.begin(), setup.addresses.begin() + std::min<size_t>(setup.addresses.size(), static_cast<size_t>(addressesInUse_)));
    detectEthernet(setup.addresses);
    auto nextFree = [this](int from) {
        for (int slot = from; slot < kPathSlots; ++slot)
            if (!at(slot)) return slot;
        return -1;
    };
    int slot = kFirstEthernetSlot + addressesInUse_;
    if (setup.vgprs && (slot = nextFree(slot)) >= 0) {
        create(slot, kKindVgprsChannel, static_cast<uint8_t>(gsmCounter_++));
        ++slot;
    }
    if (setup.ethernet && slot >= 0 && (slot = nextFree(slot)) >= 0) create(slot, kKindEthernetChannel, 0);
    renumberGroups();
    return 0;
}

std::string PathTable::PathListText() const {
    std::string text = "\x03" "Pakiet   Typ pakietu\n\x03 \n";
    char line[64];
    for (int i = 0; i < kPathSlots; ++i) {
        const Packet* p = at(i);
        if (p) {
            std::snprintf(line, sizeof line, "\x03%2.2d%7c%3.3s (%-2.2s%d)\n", i + 1, ' ', pathListName(p->kind),
                          p->type().name, p->number + 1);
            text += line;
        } else if (i < kFirstEthernetSlot + addressesInUse_) {
            std::snprintf(line, sizeof line, "\x03%2.2d %8c %4.4s  \n", i + 1, ' ', "Brak");
            text += line;
        }
    }
    text += "\x03 \n";
    return text;
}

int PathTable::SetSubscriberPaths(Sbscrbr& subscriber, uint8_t flags) {
    const uint8_t stored = subscriber.record.chk_tracks;
    uint8_t result = flags;
    const int radioNumber = (subscriber.record.tracks_nbr >> 4) & 0x0F;
    const int fixedNumber = subscriber.record.tracks_nbr & 0x0F;
    const bool hasIp = static_cast<int32_t>(subscriber.record.ip) != 0;
    static constexpr uint8_t kOrder[] = {0x01, 0x08, 0x02, 0x04};
    for (uint8_t bit : kOrder) {
        if (!((stored ^ flags) & bit)) continue;
        Packet* path = nullptr;
        switch (bit) {
        case 0x01: path = firstOfKinds(kKindNtt, kKindOnt); break;
        case 0x08: path = hasIp ? firstOfKinds(kKindGprs, kKindGprs) : firstOfKinds(kKindOng, kKindOng); break;
        default:
            for (auto& p : slots_) {
                if (!p) continue;
                if (bit == 0x02 && p->kind == kKindOtr && p->number == radioNumber) { path = p.get(); break; }
                if (bit == 0x04 && p->kind == kKindOts && p->number == fixedNumber) { path = p.get(); break; }
            }
            break;
        }
        const bool set = (flags & bit) != 0;
        if (path) {
            const auto who = static_cast<uint16_t>(subscriber.number());
            if (path->list) {
                if (set) {
                    if (path->list->add(who) != 0)
                        parts_.messages.ShowNotice(listGuard, mz("\x03" "do dodania abonenta"), kNoticeMemory);
                } else {
                    path->list->remove(who);
                }
            }
            parts_.history.LogEvent(set ? kHistoryPathAdded : kHistoryPathRemoved, subscriber.number(), 0, 0,
                                    path->transmissionType() << 4);
            continue;
        }
        if (!set) continue;
        result = static_cast<uint8_t>(result & ~bit);
        char text[96];
        switch (bit) {
        case 0x01: std::snprintf(text, sizeof text, "\x03" "Brak pakietu nadajnika w torze komutowanym"); break;
        case 0x08: std::snprintf(text, sizeof text, "\x03" "Brak pakietu nadajnika w torze %s", hasIp ? "GPRS" : "GSM"); break;
        case 0x02: std::snprintf(text, sizeof text, "\x03" "Brak pakietu %d w torze radiowym!", radioNumber + 1); break;
        default: std::snprintf(text, sizeof text, "\x03" "Brak pakietu %d w torze sztywnym!", fixedNumber + 1); break;
        }
        parts_.messages.ShowNotice(pathMissingGuard, mz(text), kNoticeInfo);
    }
    subscriber.record.chk_tracks = result;
    return result;
}

} // namespace k4
