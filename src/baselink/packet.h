#pragma once
// The paths of the path table: one object per interface module, Ethernet
// base or virtual channel. Every class has the same five operations; the
// classes differ in how they probe their subscribers, which subscribers they
// supervise and how they talk to their device.
#include "baselink/check_entry.h"
#include "baselink/path_types.h"

#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace k4 {

class PathTable;
class Sbscrbr;

// Bits of Packet::status.
enum : uint8_t {
    kPathFaultCounter = 0x0F, // status-15 answers counted, up to 15
    kPathFaultReported = 0x10,
    kPathProbing = 0x20,      // probing enabled
    kPathStatusCreated = 0x40,
    kPathInitialStatus = kPathProbing | kPathStatusCreated,
};

// Kind bytes of the paths (the type byte a module answers).
enum : uint8_t {
    kKindEthernetChannel = 1, // virtual Ethernet channel
    kKindVgprsChannel = 2,    // virtual GPRS channel
    kKindOtr = 0x10,
    kKindOtt = 0x20,
    kKindNtt = 0x30,
    kKindOts = 0x40,
    kKindAdemco = 0x50,
    kKindOnt = 0x60,
    kKindContactId = 0x70,
    kKindOtg = 0x80,
    kKindOng = 0x90,
    kKindLtr = 0xA0,
    kKindGprs = 0xB0,
};

// The subscribers a path probes in turn. Paths of the same group (0x30 and
// 0x60; 0x90; 0xB0) hold one list and one position between them.
struct SupervisedList {
    static constexpr int kCapacity = 500;
    std::vector<uint16_t> subscribers;
    int position = -1; // before the first step

    // 0, or -1 when the list is full; a subscriber already there is kept once.
    int add(uint16_t subscriber);
    void remove(uint16_t subscriber);
    bool contains(uint16_t subscriber) const;
    int size() const { return static_cast<int>(subscribers.size()); }
};

enum class PathClass { Base, Otr, Ntt, Gsm, EthOtr, EthGsm, Virtual };

class Packet {
public:
    Packet(PathTable& table, uint8_t kind, uint8_t number, int slot);
    virtual ~Packet();
    Packet(const Packet&) = delete;
    Packet& operator=(const Packet&) = delete;

    // --- The five operations, in their order ---------------------------
    // 0. One step of probing: seconds to the next step, or -1 to stop.
    virtual int probeStep();
    // 1. Fills the supervised-subscriber list: the number added.
    virtual int buildSubscriberList();
    // 2. Decodes the extended block in the frame buffer (radio paths).
    virtual int decodeExtended(int mode);
    // 3. One poll of the device: its status, or 0xFFFF after an error.
    virtual int poll(int mode, int argument);
    // 4. Moves to the next supervised subscriber: 0, a delay when the list
    //    has fewer than minimum subscribers, -1 when there is no list.
    virtual int nextSubscriber(int minimum);

    virtual PathClass pathClass() const { return PathClass::Base; }
    // Whether this subscriber belongs on this path's list.
    virtual bool supervises(const Sbscrbr& subscriber) const;

    // --- Fields -------------------------------------------------------
    uint8_t kind;
    uint8_t number;                 // within its group, shown plus 1
    uint8_t status = kPathInitialStatus;
    int typeIndex = kPathLocal;     // into the path type table
    uint16_t slot;
    CheckEntry checkEntry{};        // the entry this path last showed
    uint32_t busy = 0;              // 1 defers the probe step by 5 s
    std::string address;            // Ethernet: the base's IP address
    int sendDelay = 20;
    std::shared_ptr<SupervisedList> list;
    uint8_t attempts = 0;           // 0: no probe running
    uint16_t probed = 0;            // the subscriber being probed
    uint32_t onDemand = 0;          // an on-demand probe is pending
    uint8_t entryToShow = 1;        // the checking entry is still to be shown
    bool testControl = true;        // "Wyłączenie badań"'s hidden list: tests of this path controlled
    uint8_t gsm = 0;                // kinds 2, 0x90 and 0xB0
    std::string contactPhone;       // digits of the running probe's contact
    std::array<uint8_t, 4> contactIp{}; // kind 0xB0: the subscriber's GPRS address
    uint8_t sequence = 0;           // Ethernet text commands count it
    uint8_t unterminated = 0;       // Ethernet bases: unframed messages since the last framed one

    PathTable& table() { return table_; }
    const PathType& type() const;
    PathType& type();
    // The 4-bit transmission type of history entries, and the base number
    // they show (number + 1).
    int transmissionType() const { return typeIndex; }
    int baseNumber() const { return number + 1; }
    // The extra byte of a system entry naming this path (type and number).
    int historyExtra() const { return (typeIndex << 4) | ((number + 1) & 0x0F); }

protected:
    PathTable& table_;
};

// Radio and fixed line: kinds 0x10, 0x40, 0xA0.
class OTR_Packet : public Packet {
public:
    OTR_Packet(PathTable& table, uint8_t kind, uint8_t number, int slot);
    int probeStep() override;
    int buildSubscriberList() override;
    int decodeExtended(int mode) override;
    int poll(int mode, int argument) override;
    PathClass pathClass() const override { return PathClass::Otr; }
    bool supervises(const Sbscrbr& subscriber) const override;
};

// Dial-up: kinds 0x20, 0x30, 0x60.
class NTT_Packet : public Packet {
public:
    NTT_Packet(PathTable& table, uint8_t kind, uint8_t number, int slot);
    int probeStep() override;
    int buildSubscriberList() override;
    PathClass pathClass() const override { return PathClass::Ntt; }
    bool supervises(const Sbscrbr& subscriber) const override;
};

// GSM and GPRS: kinds 0x80, 0x90, 0xB0.
class GSM_Packet : public Packet {
public:
    GSM_Packet(PathTable& table, uint8_t kind, uint8_t number, int slot);
    int probeStep() override;
    int buildSubscriberList() override;
    PathClass pathClass() const override { return PathClass::Gsm; }
    bool supervises(const Sbscrbr& subscriber) const override;
};

// Ethernet bases that stand for a radio module.
class Eth_OTR_Packet final : public OTR_Packet {
public:
    Eth_OTR_Packet(PathTable& table, uint8_t kind, uint8_t number, int slot, std::string address);
    int poll(int mode, int argument) override;
    PathClass pathClass() const override { return PathClass::EthOtr; }
};

// Every other Ethernet base.
class Eth_GSM_Packet final : public GSM_Packet {
public:
    Eth_GSM_Packet(PathTable& table, uint8_t kind, uint8_t number, int slot, std::string address);
    int poll(int mode, int argument) override;
    PathClass pathClass() const override { return PathClass::EthGsm; }
};

// The two datagram channels: kind 1 Ethernet, kind 2 vGPRS.
class Virt_Packet final : public Packet {
public:
    Virt_Packet(PathTable& table, uint8_t kind, uint8_t number, int slot);
    int poll(int mode, int argument) override;
    PathClass pathClass() const override { return PathClass::Virtual; }
};

// The kind's path type, for a module path or (ethernet) an Ethernet path.
int pathTypeOfKind(int kind, bool ethernet);
// "OTR", "NTT", ...: the name of the kind in the path list; null for none.
const char* pathListName(int kind);
// Whether a module answered a known kind.
bool isPathKind(int kind);

} // namespace k4
