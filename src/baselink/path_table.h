#pragma once
// The path table: 21 slots, 0..6 the modules of the module bus, then the
// Ethernet bases of the IP base table and the two virtual channels. It is
// rebuilt by every module check and owns the paths, their supervised lists
// and their probing.
#include "baselink/check_entry.h"
#include "baselink/frame_buffer.h"
#include "baselink/module_paths.h"
#include "baselink/packet.h"
#include "baselink/path_polling.h"
#include "baselink/path_types.h"
#include "database/subscriber_links.h"
#include "messages/messages.h"
#include "processing/report_links.h"

#include <array>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace k4 {

class HistoryLog;
class ModuleBus;
class Scheduler;
class SerialPorts;
class SubscriberDatabase;
class SubscriberIndexes;
class TraceRing;
class ReportProcessor;
struct ConfigBlock;
class DataDir;

struct PathTableParts {
    const DataDir& dir;
    const ConfigBlock& config;
    PathTypeTable& types;
    SerialPorts& ports;
    ModuleBus& bus;
    FrameBuffer& frame;
    TraceRing& trace;
    Scheduler& scheduler;
    HistoryLog& history;
    Messages& messages;
    SubscriberDatabase& database;
    ReportProcessor& processor;
    SubscriberIndexes& indexes;
    PathPolling& polling;
    EthernetKindQuery& ethernet;
};

constexpr int kPathSlots = 21;
constexpr int kFirstEthernetSlot = 7;

class PathTable final : public ModulePaths, public ReportPaths, public SupervisedSubscriberLists {
public:
    // A value 0 .. n-1 for the probe delays' spread.
    using Random = std::function<int(int n)>;

    explicit PathTable(const PathTableParts& parts);
    ~PathTable() override;

    // --- The table ---------------------------------------------------
    Packet* at(int slot);
    const Packet* at(int slot) const;
    // Puts a path in a slot (the module check, and tests).
    Packet& place(std::unique_ptr<Packet> path);
    void clear();
    // Creates the path of a kind in a slot with its class; a module path
    // when address is empty, an Ethernet one otherwise.
    Packet& create(int slot, uint8_t kind, uint8_t number, const std::string& address = {});
    // The list of a path that shares it with its group, made once.
    std::shared_ptr<SupervisedList> sharedList(uint8_t kind);

    // --- Module check and set-up files --------------------------------
    // Rebuilds the table from the bus, "pakiety" and the Ethernet bases.
    // 0, or -1 when "pakiety" cannot be read.
    int DetectPaths();
    std::string PathListText() const;
    // Addresses of "pakiety" in use (up to the first "0.0.0.0").
    int addressesInUse() const { return addressesInUse_; }
    // Those addresses, normalised, in their order (the IP base table).
    const std::vector<std::string>& ethernetAddresses() const { return ethernetAddresses_; }

    // --- Subscribers and probing --------------------------------------
    // The paths follow a subscriber's new supervised paths; the flags that
    // could be set are stored in the subscriber and returned.
    int SetSubscriberPaths(Sbscrbr& subscriber, uint8_t flags);
    // Scheduler type 1 for a slot.
    void ProbePath(int slot, bool restart);
    // Scheduler type 5 with argument 2: probing of the slot back on.
    void EnableProbing(int slot);
    int RequestProbe(int slot, int subscriber);
    // "Wyłączenie badań": probing of the path on (history 21, then a probe
    // at once) or off (history 22).
    void SwitchProbing(int slot, bool on);
    // The hidden list of the same dialog: test control of the path on or
    // off, history 21/22 with 1 as the value; nothing else is started.
    void SwitchTestControl(int slot, bool on);
    // Whether the path's module probes its subscribers at all.
    static bool probesSubscribers(int kind);
    void MarkProbeAnswered(int slot, int subscriber, int state);
    // Every probed path starts its probe timer again (the checking panel
    // was rebuilt).
    void RestartProbeTimers();

    // The main window's panel; none without a window.
    void setCheckingObserver(CheckingObserver* observer) { checking_ = observer; }
    void showCheckEntry(const CheckEntry& entry);
    void updateCheckEntry(const CheckEntry& entry);
    void setRandom(Random random) { random_ = std::move(random); }
    int random(int n) { return n > 0 ? random_(n) : 0; }
    // delay plus, when the type's spread is on, 0 .. delay/5 - 1.
    int spread(const PathType& type, int delay);

    // --- What the paths reach through the table ------------------------
    const PathTableParts& parts() const { return parts_; }
    const ConfigBlock& config() const { return parts_.config; }
    FrameBuffer& frame() { return parts_.frame; }
    PathPolling& polling() { return parts_.polling; }
    Messages& messages() { return parts_.messages; }

    // --- ModulePaths ---------------------------------------------------
    bool exists(int slot) const override;
    int pathKind(int slot) const override;
    int poll(int slot, int mode, int argument) override;
    // --- ReportPaths ---------------------------------------------------
    std::optional<PathDescriptor> describe(int path) const override;
    void markProbeAnswered(int path, int subscriber) override { MarkProbeAnswered(path, subscriber, 0); }
    // --- SupervisedSubscriberLists -------------------------------------
    void ForgetSubscriber(int number, uint8_t tracks, uint8_t tracksNbr) override;

    // Message guards of the probe steps, one per text.
    MessageGuard noPhoneGuard;
    MessageGuard listGuard;
    MessageGuard pathMissingGuard;
    MessageGuard probingGuard;

    // Every stored subscriber in number order; false when the index could
    // not be walked to its end.
    bool forEachSubscriber(const std::function<void(Sbscrbr&)>& visit);

private:
    void detectModules();
    void detectEthernet(const std::vector<std::string>& addresses);
    void renumberGroups();
    Packet* firstOfKinds(int kindA, int kindB);

    PathTableParts parts_;
    std::array<std::unique_ptr<Packet>, kPathSlots> slots_;
    std::shared_ptr<SupervisedList> dialUpList_, gsmList_, gprsList_;
    int addressesInUse_ = 0;
    std::vector<std::string> ethernetAddresses_;
    int gsmCounter_ = 0; // the GSM group's numbers given out so far
    bool wantsVgprs_ = false;
    bool wantsEthernet_ = false;
    CheckingObserver* checking_ = nullptr;
    Random random_;
};

} // namespace k4
