#include "baselink/packet.h"

#include "baselink/path_table.h"
#include "database/sbscrbr.h"

#include <algorithm>

namespace k4 {

int SupervisedList::add(uint16_t subscriber) {
    if (contains(subscriber)) return 0;
    if (size() >= kCapacity) return -1;
    subscribers.push_back(subscriber);
    return 0;
}

void SupervisedList::remove(uint16_t subscriber) {
    const auto at = std::find(subscribers.begin(), subscribers.end(), subscriber);
    if (at == subscribers.end()) return;
    const int index = static_cast<int>(at - subscribers.begin());
    subscribers.erase(at);
    // The subscriber after the one removed is still the next one probed.
    if (index <= position) --position;
}

bool SupervisedList::contains(uint16_t subscriber) const {
    return std::find(subscribers.begin(), subscribers.end(), subscriber) != subscribers.end();
}

bool isPathKind(int kind) { return pathListName(kind) != nullptr; }

const char* pathListName(int kind) {
    switch (kind) {
    case kKindEthernetChannel: return "ETH";
    case kKindVgprsChannel: return "GPR";
    case kKindOtr: return "OTR";
    case kKindOtt: return "OTT";
    case kKindNtt: return "NTT";
    case kKindOts: return "OTS";
    case kKindAdemco: return "ADE";
    case kKindOnt: return "ONT";
    case kKindContactId: return "CID";
    case kKindOtg: return "OTG";
    case kKindOng: return "ONG";
    case kKindLtr: return "LTR";
    case kKindGprs: return "GPR";
    default: return nullptr;
    }
}

int pathTypeOfKind(int kind, bool ethernet) {
    if (ethernet) {
        switch (kind) {
        case kKindOtt: return kPathDialUp;
        case kKindContactId: return kPathContactId;
        case kKindOtg: case kKindOng: case kKindGprs: return kPathGsm;
        default: return kPathEthernet;
        }
    }
    switch (kind) {
    case kKindEthernetChannel: return kPathEthernet;
    case kKindVgprsChannel: return kPathGsm;
    case kKindOtr: case kKindLtr: return kPathRadio;
    case kKindOtt: case kKindNtt: case kKindOnt: return kPathDialUp;
    case kKindOts: return kPathFixed;
    case kKindAdemco: return kPathAdemco;
    case kKindContactId: return kPathContactId;
    case kKindOtg: case kKindOng: case kKindGprs: return kPathGsm;
    default: return kPathLocal;
    }
}

// --- Packet -----------------------------------------------------------

Packet::Packet(PathTable& table, uint8_t kind_, uint8_t number_, int slot_)
    : kind(kind_), number(number_), typeIndex(pathTypeOfKind(kind_, false)), slot(static_cast<uint16_t>(slot_)),
      gsm(kind_ == kKindVgprsChannel || kind_ == kKindOng || kind_ == kKindGprs ? 1 : 0), table_(table) {
    checkEntry.slot = slot;
}

Packet::~Packet() = default;

const PathType& Packet::type() const { return table_.parts().types[typeIndex]; }
PathType& Packet::type() { return table_.parts().types[typeIndex]; }

int Packet::probeStep() { return -1; }
int Packet::buildSubscriberList() { return 0; }
int Packet::decodeExtended(int) { return 0; }
int Packet::poll(int mode, int argument) { return table_.polling().modulePoll(*this, mode, argument); }
bool Packet::supervises(const Sbscrbr&) const { return false; }

int Packet::nextSubscriber(int minimum) {
    if (!list) {
        status = static_cast<uint8_t>(status & ~kPathProbing);
        return -1;
    }
    const PathType& t = type();
    if (list->size() < minimum) {
        const int jitter = t.irregular ? table_.random(2) : 0;
        if (kind == kKindGprs) return std::max(10, t.probePeriod / 60 + jitter);
        return t.probePeriod + jitter;
    }
    list->position = list->position + 1 >= list->size() ? 0 : list->position + 1;
    probed = list->subscribers[static_cast<size_t>(list->position)];
    return 0;
}

// --- OTR_Packet ---------------------------------------------------------

OTR_Packet::OTR_Packet(PathTable& table, uint8_t kind, uint8_t number, int slot) : Packet(table, kind, number, slot) {
    // The long-range radio sends its reports only; nobody is probed over it.
    if (kind != kKindLtr) list = std::make_shared<SupervisedList>();
}

int OTR_Packet::decodeExtended(int mode) { return table_.polling().decodeExtendedRadio(*this, mode); }
int OTR_Packet::poll(int mode, int argument) { return table_.polling().radioPoll(*this, mode, argument); }

bool OTR_Packet::supervises(const Sbscrbr& s) const {
    const uint8_t flags = s.record.chk_tracks;
    if (kind == kKindOts) return (flags & 0x04) && (s.record.tracks_nbr & 0x0F) == number;
    if (kind == kKindLtr) return false;
    return (flags & 0x02) && ((s.record.tracks_nbr >> 4) & 0x0F) == number;
}

// --- NTT_Packet ---------------------------------------------------------

NTT_Packet::NTT_Packet(PathTable& table, uint8_t kind, uint8_t number, int slot) : Packet(table, kind, number, slot) {
    // The calling-out module (0x20) sends orders only.
    if (kind == kKindNtt || kind == kKindOnt) list = table.sharedList(kind);
}

bool NTT_Packet::supervises(const Sbscrbr& s) const { return (s.record.chk_tracks & 0x01) != 0; }

// --- GSM_Packet ---------------------------------------------------------

GSM_Packet::GSM_Packet(PathTable& table, uint8_t kind, uint8_t number, int slot) : Packet(table, kind, number, slot) {
    if (kind == kKindOng || kind == kKindGprs) list = table.sharedList(kind);
}

bool GSM_Packet::supervises(const Sbscrbr& s) const {
    if (!(s.record.chk_tracks & 0x08)) return false;
    const bool hasIp = static_cast<int32_t>(s.record.ip) != 0;
    return kind == kKindGprs ? hasIp : !hasIp;
}

// --- Ethernet and virtual paths -------------------------------------------

Eth_OTR_Packet::Eth_OTR_Packet(PathTable& table, uint8_t kind, uint8_t number, int slot, std::string address_)
    : OTR_Packet(table, kind, number, slot) {
    address = std::move(address_);
    typeIndex = pathTypeOfKind(kind, true);
}

int Eth_OTR_Packet::poll(int mode, int argument) { return table_.polling().ethernetPoll(*this, mode, argument); }

Eth_GSM_Packet::Eth_GSM_Packet(PathTable& table, uint8_t kind, uint8_t number, int slot, std::string address_)
    : GSM_Packet(table, kind, number, slot) {
    address = std::move(address_);
    typeIndex = pathTypeOfKind(kind, true);
}

int Eth_GSM_Packet::poll(int mode, int argument) { return table_.polling().ethernetPoll(*this, mode, argument); }

Virt_Packet::Virt_Packet(PathTable& table, uint8_t kind, uint8_t number, int slot) : Packet(table, kind, number, slot) {}

int Virt_Packet::poll(int mode, int argument) { return table_.polling().virtualPoll(*this, mode, argument); }

} // namespace k4
