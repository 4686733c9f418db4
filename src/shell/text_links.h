#pragma once
// How the text messages of the Ethernet bases and the track queues reach
// the rest of the station: the path table and the module bus, report
// processing, the forwarding confirmations, the history and "link.txt",
// the phone index and the subscribers.
#include "net/base_message_parser.h"
#include "net/path_tracks.h"
#include "net/udp_links.h"

#include <functional>

namespace k4 {

class ForwardingSupervision;
class HistoryLog;
class LinkStatusFile;
class ModuleBus;
class PathTable;
class SubscriberDatabase;
class SubscriberIndexes;
class Clock;
struct ConfigBlock;

class StationTrackedPaths final : public TrackedPaths {
public:
    StationTrackedPaths(PathTable& paths, ModuleBus& bus, ForwardingSupervision& forwarding)
        : paths_(paths), bus_(bus), forwarding_(forwarding) {}
    std::optional<int> pathType(int slot) const override;
    bool selectModule(int slot) override;
    int pollSendOrder(int slot) override;
    void testOrderLost(int base) override;

private:
    PathTable& paths_;
    ModuleBus& bus_;
    ForwardingSupervision& forwarding_;
};

struct StationMessageParts {
    PathTable& paths;
    ReportProcessor& reports;
    ForwardingSupervision& forwarding;
    HistoryLog& history;
    LinkStatusFile& linkStatus;
    SubscriberIndexes& indexes;
    SubscriberDatabase& database;
    PathTracks& tracks;
    Messages& messages;
    const Clock& clock;
};

class StationMessageLinks final : public BaseMessageLinks {
public:
    explicit StationMessageLinks(const StationMessageParts& parts) : p_(parts) {}
    // Who gives the screen back to the operator (the window); none headless.
    void setWakeScreen(std::function<void()> wake) { wake_ = std::move(wake); }

    std::optional<MessagePath> pathOf(int slot) override;
    int processReport(const Report& report) override;
    void markProbeAnswered(int slot, int subscriber) override;
    void confirmForwarding(int subscriber, int base, int pathBit) override;
    void confirmGprsForwarding(int slot, int subscriber, int base, int pathBit, int queueEntry) override;
    void logEntry(int kind, const HistoryEntry& entry) override;
    void linkStatus(int sourceKind, const LinkStatusRecord& record) override;
    std::optional<int> ownerOfPhone(const std::string& phone) override;
    bool phoneOfSubscriber(const std::string& phone, int subscriber) override;
    std::optional<uint16_t> forwardingWord(int subscriber) override;
    int queueOrder(int slot, uint8_t alarmId, uint8_t entryType) override;
    int pollSendOrder(int slot) override;
    void notice(MessageGuard& guard, std::string_view mazoviaText, unsigned style) override;
    void wakeScreen() override;
    Stamp now() override;

private:
    StationMessageParts p_;
    std::function<void()> wake_;
};

} // namespace k4
