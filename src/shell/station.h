#pragma once
// The station without its window: the composition root that owns every part
// of the core for the whole run, in the order they are built, and joins them.
// The main window (or the headless runner) creates one, starts it, calls
// tick() every 100 ms and stops it at "&Wyjście".
#include "baselink/base_link.h"
#include "baselink/forwarding_channels.h"
#include "baselink/forwarding_supervision.h"
#include "baselink/frame_buffer.h"
#include "baselink/module_bus.h"
#include "baselink/module_path_polling.h"
#include "baselink/subscriber_addresses.h"
#include "baselink/path_table.h"
#include "baselink/path_types.h"
#include "baselink/serial_ports.h"
#include "baselink/trace_ring.h"
#include "config/config.h"
#include "operators/operator_file_names.h"
#include "database/index_page_cache.h"
#include "database/service_steps.h"
#include "database/subscriber_database.h"
#include "database/subscriber_index_link.h"
#include "database/subscriber_indexes.h"
#include "history/history_log.h"
#include "history/history_log_sink.h"
#include "history/link_status.h"
#include "history/month_rollover.h"
#include "hydro/hydro_units.h"
#include "maintenance/auto_dump.h"
#include "maintenance/database_backup.h"
#include "maintenance/target_volume.h"
#include "intake/report_intake.h"
#include "processing/alarms_list.h"
#include "processing/arming_supervision.h"
#include "processing/block_lst.h"
#include "processing/event_table.h"
#include "processing/event_text.h"
#include "processing/forwarding.h"
#include "processing/order_sending.h"
#include "processing/process_report.h"
#include "processing/report_links.h"
#include "processing/scheduler.h"
#include "processing/share_lst.h"
#include "processing/test_supervision.h"
#include "shell/checking_panel.h"
#include "shell/data_layer.h"
#include "shell/dc09_link.h"
#include "shell/input_poll.h"
#include "messages/messages.h"
#include "net/forwarding_partners.h"
#include "net/udp_channels.h"
#include "shell/text_links.h"
#include "shell/station_links.h"
#include "shell/station_timer.h"
#include "platform/soon_call.h"

#include <functional>
#include <string>
#include <vector>

namespace k4 {

class SerialPortList;

class Station : private LiveDatabase {
public:
    struct Environment {
        DataDir dataDir;
        OperatorUi& ui;
        Clock& clock;
        SerialPortList& ports;
        SerialPorts::LineFactory makeLine;
        // How a fatal fault ends the process; tests catch it.
        std::function<void(int status)> exit;
        // The UDP channels' sockets; none: the station runs without UDP.
        UdpChannels::EndpointFactory makeDatagramSocket = {};
        // What runs the event loop while a command waits for a base.
        EventPump* pump = nullptr;
        UdpSettings udp = {};
        // KESTREL4_UDP_PORTS could not be read: the channels stay closed.
        std::string udpSettingsError = {};
        // Who moves the PC clock for the hourly correction; the system's
        // own when none is given.
        ClockAdjuster* clockAdjuster = nullptr;
    };

    explicit Station(const Environment& environment);
    ~Station();
    Station(const Station&) = delete;
    Station& operator=(const Station&) = delete;

    // Brings the data layer up and opens the run in the history. 0, or -1
    // after the operator was told what failed (the station must then end);
    // kStationPortsFailed when it was the serial ports, so that the window
    // can offer the configuration before it ends.
    static constexpr int kStationPortsFailed = -2;
    int start();
    // One tick of the station timer. windowMessagePending: the window has
    // input waiting; that tick leaves the serial lines alone.
    void tick(bool windowMessagePending = false);
    // Puts the data layer away in its order (the end entry in the history
    // included). Safe to call once after a successful start.
    void stop();
    bool started() const { return started_; }
    // Where every history entry's line goes as it is written (the event
    // printer, or standard output without a display); null for none.
    void setEventLineSink(EventLineSink* sink);

    Messages& messages() { return messages_; }
    const Clock& clock() const { return clock_; }
    const ConfigBlock& config() const { return config_.block(); }
    Config& configFile() { return config_; }
    HistoryLog& history() { return history_; }
    ReportIntake& intake() { return intake_; }
    Scheduler& scheduler() { return scheduler_; }
    AlarmsList& alarms() { return alarms_; }
    TraceRing& trace() { return trace_; }
    SubscriberDatabase& database() { return database_; }
    SubscriberIndexes& indexes() { return indexes_; }
    EventTable& events() { return events_; }
    // The text line of a history entry, as printed and listed.
    const EventFormatter& eventLines() const { return eventLines_; }
    const ServiceSteps& serviceSteps() const { return serviceSteps_; }
    StationTimer& timer() { return timer_; }
    BaseLink& baseLink() { return baseLink_; }
    SerialPorts& serialPorts() { return ports_; }
    ReportProcessing& processing() { return processing_; }
    BlockLst& blockades() { return blockades_; }
    const ShareLst& sharedLists() const { return sharedLists_; }
    ShareLst& sharedLists() { return sharedLists_; }
    const PathTypeTable& pathTypes() const { return pathTypes_; }
    PathTypeTable& pathTypes() { return pathTypes_; }
    PathTable& paths() { return paths_; }
    TestSupervisor& tests() { return tests_; }
    ArmingSupervisor& arming() { return arming_; }
    Dc09Link& ipPanels() { return dc09_; }
    ModulePoll& modulePoll() { return pathPolling_.modulePoll(); }
    AlarmForwarder& forwarder() { return forwarder_; }
    ForwardingSupervision& forwarding() { return forwardingSupervision_; }
    OrderSending& orders() { return orders_; }
    InputPoller& inputs() { return inputs_; }
    // "&Zrzut", "&Odzysk" and the nightly dump over this station's files.
    DatabaseBackup& backup() { return backup_; }
    AutoDump& autoDump() { return autoDump_; }
    // While a restore replaces the files, the station takes no input and
    // runs no timer work: nothing may reach a database that is not open.
    bool heldForRestore() const { return restoreHold_; }
    UdpChannels& udp() { return udp_; }
    // The hydro table of "hunits", from start to stop.
    HydroUnits& hydroUnits() { return hydro_; }

    // "&Pakiety" without its dialog: the path table rebuilt from the bus
    // (mode 2: only the panel), the panel told and every probe restarted.
    // 0, or -1 when "pakiety" could not be read; a check already running
    // is not started again.
    int moduleCheck();
    // Its two halves, for the window's dialog between them: the detection
    // (guarded against a second one while it runs), and the panel rebuilt
    // with every probe restarted.
    int detectPaths();
    void pathsRebuilt();
    // The paths that get a cell of the checking panel, in slot order.
    std::vector<CheckedPath> checkedPaths() const;
    // Who rebuilds the checking panel after a module check.
    void setPathsRebuilt(std::function<void()> rebuilt) { pathsRebuilt_ = std::move(rebuilt); }
    // "&Ustaw" of the configuration dialog: the working copy into the
    // block, saved, the serial ports restarted when their settings changed.
    // true when they were.
    bool applyConfiguration(const ConfigBlock& copy);
    // "Autotest portów": the search for the pair of ports the modules answer
    // on, stored in the configuration. true when a pair was found; otherwise
    // the configured ports are open again and the operator was told.
    bool searchModulePorts();

private:
    DataLayerParts dataLayerParts();
    // Bytes have come on a base's line between ticks.
    bool serveArrivals();
    void watchArrivals(bool on);
    void closeForFatalFault();
    void releaseForRestore() override;
    int reopenAfterRestore() override;

    DataDir dir_;
    Clock& clock_;
    std::function<void(int)> exit_;
    Messages messages_;
    // Raised while reception must not take datagrams (history extraction);
    // the run starts with it raised until the start has finished.
    bool receptionSuspended_ = true;
    bool started_ = false;

    Config config_;
    PathTypeTable pathTypes_;
    SerialPorts ports_;
    HistoryLog history_;
    HistoryLogSink historySink_;
    Scheduler scheduler_;
    LinkStatusFile linkStatus_;
    MonthRollover months_;

    FatalIndexFailure indexFailure_;
    IndexPageCache pageCache_;
    SubscriberIndexes indexes_;
    SubscriberIndexLink indexLink_;
    ShareLst sharedLists_;
    SubscriberDatabase database_;
    EventTable events_;
    OperatorFileNames operatorNames_;
    OrderTableNames orderNames_;
    EventFormatter eventLines_;
    ServiceSteps serviceSteps_;
    HydroUnits hydro_;

    AlarmsList alarms_;
    BlockLst blockades_;
    FrameBuffer frame_;
    TraceRing trace_;
    // The subsystems report processing reaches that this station does not
    // run yet; each says in its own header which part takes its place.
    SystemClockAdjuster systemClockAdjuster_;
    StationForwardingChannels forwardingChannels_;
    AlarmForwarder forwarder_;
    ForwardingSupervision forwardingSupervision_;
    OrderSending orders_;
    // What went out over each path type and waits for its answer.
    StationTrackedPaths trackedPaths_;
    PathTracks tracks_;
    ReportProcessing processing_;
    HistoryPreparedEntries preparedEntries_;
    // Every frame is on the disk before its sender hears "accepted".
    ReportIntake intake_;
    IndexPhoneOwners phoneOwners_;
    BaseLink baseLink_;
    ModuleBus modules_;
    ForwardingModuleLinks moduleLinks_;
    RecordSubscriberAddresses subscriberAddresses_;
    // The centres that took an alarm forwarded over Ethernet confirm it.
    ForwardingPartners partners_;
    // The three UDP channels: the Ethernet bases' text commands and the
    // transmitters' datagrams, in and out.
    UdpChannels udp_;
    // What the bases' text messages mean.
    StationMessageLinks messageLinks_;
    BaseMessageParser messageParser_;
    ModulePathPolling pathPolling_;
    PathTable paths_;
    TestSupervisor tests_;
    ArmingSupervisor arming_;
    // IP panels over TCP and UDP, when the technician switched them on.
    Dc09Link dc09_;
    bool moduleCheckRunning_ = false;
    std::function<void()> pathsRebuilt_;
    InputPoller inputs_;
    StationTimer timer_;
    // The base links served between ticks when bytes have come.
    SoonCall arrivals_;
    SystemVolumes volumes_;
    DatabaseBackup backup_;
    AutoDump autoDump_;
    bool restoreHold_ = false;
    // The datagrams read as they come, a bounded number a call.
    SoonCall datagrams_;
    SoonCall udpNotices_;
};

} // namespace k4
