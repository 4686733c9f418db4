#include "shell/station.h"

#include "database/text_edge.h"

namespace k4 {

Station::Station(const Environment& env)
    : dir_(env.dataDir),
      clock_(env.clock),
      exit_(env.exit),
      messages_(env.ui),
      config_(dir_),
      ports_(env.ports, env.makeLine),
      history_(dir_, messages_, clock_, receptionSuspended_),
      historySink_(history_),
      scheduler_(dir_, clock_, messages_, history_),
      linkStatus_(dir_, messages_, clock_),
      months_(clock_, history_, linkStatus_),
      indexFailure_(messages_, [this] { closeForFatalFault(); }, exit_),
      indexes_(dir_, pageCache_, indexFailure_, messages_),
      indexLink_(indexes_),
      sharedLists_(dir_, messages_),
      database_(dir_, messages_, historySink_, config_.block(), {indexLink_, sharedLists_, paths_}),
      operatorNames_(dir_), orderNames_(database_.orderNames()),
      eventLines_(events_, pathTypes_, &orderNames_, &operatorNames_),
      hydro_(dir_, messages_, historySink_, database_, indexes_),
      alarms_(config_.block(), history_),
      blockades_(dir_, messages_, history_, scheduler_),
      forwardingChannels_(config_.block(), baseLink_, ports_, paths_, modules_, frame_, clock_),
      forwarder_({config_.block(), alarms_, scheduler_, history_, messages_, events_, forwardingChannels_}),
      forwardingSupervision_({config_.block(), [this] { return config_.SaveConfig(1); }, alarms_, scheduler_, history_,
                              messages_, clock_, forwarder_, forwardingChannels_,
                              env.clockAdjuster ? *env.clockAdjuster : systemClockAdjuster_}),
      orders_({database_, paths_, modules_, frame_, scheduler_, history_, messages_}),
      trackedPaths_(paths_, modules_, forwardingSupervision_),
      tracks_(trackedPaths_, frame_, scheduler_),
      processing_({config_.block(), clock_, messages_, history_, database_, events_, alarms_, blockades_, scheduler_},
                  {paths_, tests_, arming_, forwarder_, orders_, tracks_}),
      preparedEntries_(history_),
      intake_(dir_, clock_, messages_, history_),
      phoneOwners_(indexes_),
      baseLink_({ports_, frame_, trace_, clock_, messages_, config_.block(), processing_, preparedEntries_,
                 phoneOwners_, intake_}),
      modules_({ports_, frame_, trace_, clock_, messages_}),
      moduleLinks_(forwardingSupervision_),
      subscriberAddresses_(database_),
      partners_(config_.block(),
                [this](int subscriber, int base, int bit) {
                    forwardingSupervision_.ConfirmForwarding(subscriber, base, bit);
                }),
      udp_({dir_, config_.block(), clock_, messages_, history_, processing_, intake_, paths_, trace_,
            receptionSuspended_, subscriberAddresses_},
           env.makeDatagramSocket, env.pump, env.udp),
      messageLinks_({paths_, processing_, forwardingSupervision_, history_, linkStatus_, indexes_, database_, tracks_,
                     messages_, clock_}),
      messageParser_(config_.block(), frame_, messageLinks_),
      pathPolling_({modules_, ports_, frame_, trace_, clock_, messages_, config_.block(), pathTypes_, history_,
                    processing_, intake_, scheduler_, phoneOwners_, blockades_, paths_, moduleLinks_},
                   {udp_.textCommands(), udp_.ethernetChannel(), udp_.vgprsChannel(), udp_}, intake_),
      paths_({dir_, config_.block(), pathTypes_, ports_, modules_, frame_, trace_, scheduler_, history_, messages_,
              database_, processing_, indexes_, pathPolling_, udp_}),
      tests_({config_.block(), pathTypes_, scheduler_, database_, indexes_, processing_, history_, messages_}),
      arming_({config_.block(), clock_, scheduler_, database_, indexes_, processing_, history_, messages_}),
      dc09_({dir_, clock_, messages_, intake_, processing_, database_, tests_, trace_}),
      inputs_(config_.block(), baseLink_, modules_, paths_, history_, messages_),
      // When bytes have come, their call is already queued behind the
      // window's events; the tick does not serve the bases ahead of it.
      timer_(clock_, scheduler_, months_, [this] { inputs_.PollInputs(!arrivals_.willRun()); }),
      arrivals_([this] { return serveArrivals(); }),
      backup_({dir_, messages_, volumes_, receptionSuspended_, historySink_, serviceSteps_, this}),
      autoDump_(config_.block(), clock_, messages_, scheduler_, history_, backup_),
      datagrams_([this] { return started_ && udp_.serve(); }),
      udpNotices_([this] {
          udp_.showNotices();
          return false;
      }) {
    if (!env.udpSettingsError.empty()) udp_.setSettingsError(env.udpSettingsError);
    udp_.setArrivalHandler([this] { datagrams_.request(); });
    udp_.setNoticeHandler([this] { udpNotices_.request(); });
    alarms_.setConfirmation(&udp_);
    // A long operation (a search, a print) still serves the lines between
    // its steps.
    messages_.setInputPoll([this] {
        if (!restoreHold_) inputs_.PollInputs();
    });
    // A backup made by a working station keeps receiving between its blocks.
    backup_.setServingInputs(true);
    autoDump_.install();
    intake_.setHandler(IntakeChannel::BaseFrame, [this](const JournalRecord& frame) {
        baseLink_.processStoredFrame(frame.bytes, frame.receivedAt);
    });
    scheduler_.setHandler(kSchedChecking, [this](uint16_t key, uint8_t) { paths_.ProbePath(key, false); });
    blockades_.setOtherEndHandler([this](uint16_t key, uint8_t arg) {
        if (arg == 2) paths_.EnableProbing(key);
    });
    // Type 14 carries the delayed alert of a GSM path's line fault and
    // the delayed forwards of fire alarms.
    forwardingSupervision_.registerHandlers([this](uint16_t key) {
        if (Packet* path = paths_.at(key)) pathPolling_.lineFaultAlert(*path);
    });
    orders_.registerHandler();
    // Orders and texts that wait for their answers: sent again, or dropped,
    // by scheduler type 7; a GPRS confirmation ends its order.
    tracks_.registerHandler();
    forwardingChannels_.setOrderQueue(
        [this](int slot, uint8_t alarmId, int entryType) { return tracks_.queueOrder(slot, alarmId, static_cast<uint8_t>(entryType)); });
    forwardingSupervision_.setQueuedOrders([this](int slot, int seq) { return tracks_.dropQueued(slot, seq); });
    udp_.setLinks({&messageParser_, &partners_, &tracks_});
    moduleLinks_.setQueues([this](int slot, int seq) { tracks_.dropQueued(slot, seq); },
                           [this](const Report& r) {
                               messageParser_.passToPartner(r.subscriber, (r.flags & Report::kUnknownSubscriber) != 0,
                                                            r.subsystem, r.code, r.sector, r.path);
                           });
}

int Station::detectPaths() {
    if (moduleCheckRunning_) return 0;
    // A socket that could not be bound is tried again, and the list of
    // allowed senders read again, at every check.
    udp_.bindSockets();
    udp_.loadAllowedSenders();
    // The receiving-only mode has no module bus.
    if (config_.block().mode == 2) return 0;
    moduleCheckRunning_ = true;
    const int result = paths_.DetectPaths();
    moduleCheckRunning_ = false;
    return result;
}

void Station::pathsRebuilt() {
    if (pathsRebuilt_) pathsRebuilt_();
    // The panel was rebuilt: every probed path starts its probing again.
    paths_.RestartProbeTimers();
}

int Station::moduleCheck() {
    if (moduleCheckRunning_) return 0;
    const int result = detectPaths();
    pathsRebuilt();
    return result;
}

std::vector<CheckedPath> Station::checkedPaths() const {
    std::vector<CheckedPath> checked;
    for (int slot = 0; slot < kPathSlots; ++slot) {
        const Packet* path = paths_.at(slot);
        if (path && isCheckedPathKind(path->kind))
            checked.push_back({Utf8FromMazovia(path->type().name), path->baseNumber(), slot});
    }
    return checked;
}

Station::~Station() {
    if (started_) stop();
}

DataLayerParts Station::dataLayerParts() {
    return {config_,  ports_, pathTypes_, history_, scheduler_,     database_.files(),
            indexes_, events_, database_.orderNames(), hydro_, serviceSteps_, messages_};
}

int Station::start() {
    DataLayerParts parts = dataLayerParts();
    const int dataLayer = StartDataLayer(parts);
    if (dataLayer != 0) return dataLayer == kDataLayerPortsFailed ? kStationPortsFailed : -1;
    started_ = true;
    sharedLists_.load();
    blockades_.load();
    // What the last run accepted and did not process comes first, with the
    // times it came, ahead of this run's start.
    // The receiver's handler must be there before the journal is replayed.
    dc09_.start();
    intake_.start();
    LogStartOfWork(history_);
    // The receiving-only mode keeps no timer queue of its own worth saving,
    // and supervises no tests and no arming schedules.
    if (config_.block().mode != 2) {
        scheduler_.saveEveryMinute();
        // Orders the last run left half-sent are not resumed.
        orders_.forgetInterruptedOrders();
        tests_.scheduleAll();
        arming_.scheduleAll();
    }
    if (config_.block().autosave_flags & 1) autoDump_.run(true, false);
    forwardingSupervision_.scheduleClockCorrection();
    receptionSuspended_ = false;
    udp_.loadRegistry();
    udp_.loadAllowedSenders();
    udp_.bindSockets();
    moduleCheck();
    if (config_.block().mode == 1) forwardingSupervision_.startTests();
    // What came while the station was starting.
    datagrams_.request();
    watchArrivals(true);
    return 0;
}

void Station::watchArrivals(bool on) {
    // A base that has more to send gets its answer when its frame is in,
    // not at the next tick: a base waits for the answer before it sends on.
    for (int port : baseLink_.receivingPorts()) {
        if (on) ports_.line(port).setArrivalHandler([this] { arrivals_.request(); });
        else ports_.line(port).setArrivalHandler(nullptr);
    }
}

bool Station::serveArrivals() {
    if (!started_ || restoreHold_) return false;
    return inputs_.serveBaseLinks();
}

void Station::setEventLineSink(EventLineSink* sink) {
    history_.setEventPrinting(sink ? &eventLines_ : nullptr, sink);
}

void Station::tick(bool windowMessagePending) {
    // The frames that come meanwhile are not answered; their bases send
    // them again.
    if (restoreHold_) return;
    intake_.watch();
    timer_.Timer1Timer(windowMessagePending);
    if (!receptionSuspended_) dc09_.tick();
    intake_.tellOperator();
}

void Station::stop() {
    if (!started_) return;
    watchArrivals(false);
    started_ = false;
    receptionSuspended_ = true;
    udp_.closeSockets();
    dc09_.stop();
    intake_.stop();
    DataLayerParts parts = dataLayerParts();
    StopDataLayer(parts);
}

void Station::closeForFatalFault() {
    // The indexes are what failed; only what was written durably elsewhere
    // is closed, so the next start finds whole files.
    started_ = false;
    scheduler_.save();
    for (int i = 0; i < kDbFileCount; ++i) {
        RecordFile& file = database_.file(static_cast<DbFile>(i));
        if (file.isOpen()) file.Close();
    }
    history_.CloseHistory();
}

} // namespace k4
