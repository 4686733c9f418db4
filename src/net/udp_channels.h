#pragma once
// The station's three UDP channels: KVFE_NMUDP, the text protocol of the
// Ethernet receiving bases; VTERM_NMUDP, binary datagrams of transmitters
// on the Ethernet path ("TE"); PTARVIK_NMUDP, the same datagrams on the
// vGPRS path ("TG"). They are bound for the station's whole life, read as
// datagrams arrive (a bounded number per call, so a flood never holds the
// window), and every answer that tells a device "accepted" leaves only
// after its report is in the intake journal.
#include "baselink/ethernet_poll.h"
#include "baselink/path_polling.h"
#include "config/config_block.h"
#include "history/history_log.h"
#include "intake/report_intake.h"
#include "messages/messages.h"
#include "net/allowed_senders.h"
#include "net/binary_datagram.h"
#include "net/reply_limiter.h"
#include "net/sbs_ip_registry.h"
#include "net/udp_command.h"
#include "net/udp_links.h"
#include "net/udp_settings.h"
#include "platform/clock.h"
#include "platform/data_dir.h"
#include "platform/datagram_socket.h"
#include "processing/alarms_list.h"
#include "processing/report.h"

#include <array>
#include <functional>
#include <memory>

namespace k4 {

class PathTable;
class TraceRing;

// Channel kinds of the virtual paths, and the journal's port of each channel.
enum : int {
    kUdpTextChannel = 0,
    kUdpEthernetChannel = 1, // VTERM_NMUDP, kind 1
    kUdpVgprsChannel = 2,    // PTARVIK_NMUDP, kind 2
};

// Where a binary channel's path is missing, reports name this local source.
constexpr int kNoUdpPath = -7;

enum : int { kHistoryDatagramStatus = 56 };

class UdpChannels final : public EthernetKindQuery, public SubscriberAddresses, public ReportConfirmation {
public:
    using EndpointFactory = std::function<std::unique_ptr<DatagramEndpoint>()>;

    struct Parts {
        const DataDir& dir;
        const ConfigBlock& config;
        const Clock& clock;
        Messages& messages;
        HistoryLog& history;
        ReportProcessor& reports;
        ReportIntake& intake;
        PathTable& paths;
        TraceRing& trace;
        const bool& receptionSuspended;
        SubscriberAddresses& records; // the vGPRS channel's addresses
    };
    struct Links {
        TextMessageParser* parser = nullptr;          // none: the texts go to the history
        PartnerConfirmations* partners = nullptr;
        TrackedTexts* tracked = nullptr;
    };

    // No factory: the station runs without UDP (tools, tests of other
    // parts); every send is refused as by a network that is down.
    UdpChannels(const Parts& parts, EndpointFactory factory, EventPump* pump, const UdpSettings& settings);
    ~UdpChannels() override;
    UdpChannels(const UdpChannels&) = delete;
    UdpChannels& operator=(const UdpChannels&) = delete;

    void setLinks(const Links& links);
    // The settings could not be read: the channels stay closed and the
    // operator hears why at the first bind.
    void setSettingsError(std::string error) { settingsError_ = std::move(error); }

    // Binds the sockets not bound yet (at start and at every module check);
    // a socket that cannot be bound is told once, the station goes on.
    void bindSockets();
    void closeSockets();
    // Reads what has arrived, within a budget; true when datagrams are
    // still waiting. arrival: called when datagrams come between calls.
    bool serve();
    void setArrivalHandler(std::function<void()> arrival) { arrival_ = std::move(arrival); }
    // The channel-mismatch boxes are shown outside the receive, so that a
    // box on screen never holds up the datagrams behind it: noticesWaiting
    // is called when one waits, and showNotices shows them. Without a
    // handler they are shown at once.
    void setNoticeHandler(std::function<void()> noticesWaiting) { noticesWaiting_ = std::move(noticesWaiting); }
    void showNotices();
    // Reads the technician's list of allowed senders again.
    void loadAllowedSenders();
    // Loads "sbsip" (the Ethernet virtual path exists).
    void loadRegistry();

    // --- The receive notifications ------------------------------------
    void KVFE_NMUDPDataReceived(const ReceivedDatagram& d);
    void VTERM_NMUDPDataReceived(const ReceivedDatagram& d) { binaryReceived(d, kUdpEthernetChannel); }
    void PTARVIK_NMUDPDataReceived(const ReceivedDatagram& d) { binaryReceived(d, kUdpVgprsChannel); }

    // --- What the station asks -----------------------------------------
    // The senders of the paths: the text commands of the Ethernet bases and
    // the datagrams of the two virtual paths.
    DatagramSocket& textCommands() { return senders_[kUdpTextChannel]; }
    DatagramSocket& ethernetChannel() { return senders_[kUdpEthernetChannel]; }
    DatagramSocket& vgprsChannel() { return senders_[kUdpVgprsChannel]; }
    udp_c& commands() { return *command_; }
    SbsIpRegistry& registry() { return registry_; }
    const AllowedSenders& allowedSenders() const { return allowed_; }

    // probeBase: the kind of the base at an entry of the IP base table.
    int probeBase(const std::string& entry, int position);
    int queryKind(const std::string& address, int position) override { return probeBase(address, position); }
    // SubscriberAddresses
    std::optional<std::array<uint8_t, 4>> registeredAddress(int subscriber) override;
    std::optional<std::array<uint8_t, 4>> recordAddress(int subscriber) override { return parts_.records.recordAddress(subscriber); }
    // The alarm-service confirmation to a base: 1 confirmed, 0 not (the
    // operator told why), -1 when the base did not acknowledge it.
    int confirmReport(const AlarmRecord& alarm) override;

    // findSenderBase: the path slot of the listed base a message came from,
    // or -1 (see the counting of unframed messages).
    int findSenderBase(std::string_view s, const std::string& from, size_t n);

    // The journal's datagrams of the last run, processed again.
    void processStored(const JournalRecord& record);

    struct Counters {
        uint64_t received = 0;
        uint64_t dropped = 0;      // too long, no marker, unlisted base
        uint64_t ownSockets = 0;   // came from one of the station's own sockets
        uint64_t notAllowed = 0;   // outside the allowed senders
        uint64_t notStored = 0;    // the journal could not take it: not answered
        uint64_t answers = 0;
    };
    const Counters& counters() const { return counters_; }
    uint64_t answersHeldBack() const { return limiter_.refused(); }
    bool bound(int channel) const;
    const UdpSettings& settings() const { return settings_; }

private:
    struct Channel {
        std::unique_ptr<DatagramEndpoint> endpoint;
        uint16_t port = 0;
        bool told = false; // the operator heard that it could not be bound
    };
    // One channel's sends to the far end's port (the paths name the
    // standard port; a moved channel sends to its own).
    class ChannelSender final : public DatagramSocket {
    public:
        ChannelSender() = default;
        void attach(UdpChannels* owner, int channel, uint16_t standardPort) {
            owner_ = owner;
            channel_ = channel;
            standardPort_ = standardPort;
        }
        bool sendDatagram(const std::string& host, uint16_t port, std::span<const uint8_t> bytes) override;

    private:
        UdpChannels* owner_ = nullptr;
        int channel_ = 0;
        uint16_t standardPort_ = 0;
    };

    void binaryReceived(const ReceivedDatagram& d, int channel);
    bool fromOwnSocket(const ReceivedDatagram& d) const;
    int channelPath(int kind) const;
    // Answers the sender at the channel's port, within the limiter.
    bool answer(int channel, const std::string& to, std::span<const uint8_t> bytes, bool echo);
    // Into the journal: the channel, sender and path with the datagram.
    std::optional<IntakeTicket> store(int channel, const std::string& from, int slot, std::span<const uint8_t> bytes);
    // The report of a binary datagram (live or from the journal).
    void processBinary(const LongForm& f, int slot);
    void submit(const Report& r);
    void markerCheck(uint8_t marker, int slot);
    void handText(std::string_view text, int slot);
    void tell(Channel& c, const std::string& why);

    Parts parts_;
    EndpointFactory factory_;
    EventPump* pump_;
    UdpSettings settings_;
    std::string settingsError_;
    std::array<Channel, 3> channels_;
    std::array<ChannelSender, 3> senders_;
    std::unique_ptr<udp_c> command_;
    SbsIpRegistry registry_;
    AllowedSenders allowed_;
    ReplyLimiter limiter_;
    Links links_;
    Counters counters_;
    std::function<void()> arrival_;
    std::function<void()> noticesWaiting_;
    bool ethernetInVgprsWaiting_ = false;
    bool vgprsInEthernetWaiting_ = false;
    int next_ = 0; // the channel served first at the next call
    MessageGuard bindGuard_, ethernetInVgprs_, vgprsInEthernet_, serviceGuard_;
    friend class ChannelSender;
};

} // namespace k4
