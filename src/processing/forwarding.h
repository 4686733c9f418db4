#pragma once
// Alarms passed on to the receiving bases of other centres (station mode
// "Nadawcza"): which alarm goes where, the frame or block of each path, the
// per-alarm and per-base record of the paths that took it, the operator's
// messages and history entries, and the confirmation deadlines that the
// forwarding supervision watches.
#include "baselink/frame_buffer.h"
#include "config/config_block.h"
#include "history/history_log.h"
#include "messages/messages.h"
#include "processing/alarms_list.h"
#include "processing/report_links.h"
#include "processing/scheduler.h"

#include <cstdint>
#include <string>

namespace k4 {

class EventTable;

// Send types of forward().
enum : int {
    kSendAutomatic = 0,
    kSendRsOnly = 1,
    kSendOnRequest = 2,
    kSendTrOnly = 3,
    kSendTgOnly = 4,
    kSendTeOnly = 5,
};

// Path bits: low nibble of an alarm's forwarding byte (sent on), and of
// forward()'s result; the same bits times 16 are "to send on" and "failed".
enum : uint8_t {
    kForwardRs = 0x1,
    kForwardTr = 0x2,
    kForwardTg = 0x4,
    kForwardTe = 0x8,
};

// History kinds of forwarding.
enum : int {
    kHistoryForwarded = 20,
    kHistoryNotForwarded = 23,
    kHistoryPathTestFailed = 35,
    kHistoryTestForwarded = 38,
    kHistoryTestNotForwarded = 39,
    kHistoryRsTestOn = 41,
    kHistoryRsTestOff = 42,
    kHistoryNoConfirmation = 46,
    kHistoryConfirmed = 47,
};

// Scheduler arguments of the confirmation deadlines: path bit + base index.
enum : int {
    kAwaitTr = 0x20,
    kAwaitTg = 0x40,
    kAwaitTe = 0x80,
};
constexpr int kDelayedForwardArg = 16; // type 14: the fire alarm's delayed forward

// The order type of a forwarded report in a GPRS or Ethernet block: a
// report the partner confirms.
constexpr uint8_t kForwardBlockType = 8;

// How forwards leave the centre: the serial base links, and the paths of
// the path table (radio, GSM and GPRS modules, the Ethernet channel).
class ForwardingChannels {
public:
    virtual ~ForwardingChannels() = default;
    // The forward frame out on serial base link rsLink (2 or 3), up to three
    // tries: 0, or -1.
    virtual int sendRsFrame(int rsLink, uint16_t subscriber, bool hexSubscriber, int code, int subsystem,
                            int sector) = 0;
    // The test frame of a serial base link: the filler frame or the empty
    // frame. 0, -1 after three tries, -2 when the link has no port.
    virtual int sendRsTest(int rsLink, bool filler) = 0;
    // Lowest slot holding a path of the kind (and number, unless -1); -1.
    virtual int findPath(int kind, int number) const = 0;
    virtual int pathKind(int slot) const = 0; // -1 for an empty slot
    virtual bool anyPath() const = 0;
    // The module of the slot answers its selection.
    virtual bool pathReady(int slot) = 0;
    // One poll of the path: its status, or 0xFFFF.
    virtual int pollPath(int slot, int mode) = 0;
    // The GPRS block staged at 180 into the path's send queue and out.
    // The poll status, or -1.
    virtual int queueGprsBlock(int slot, uint8_t alarmId, int entryType) = 0;
    virtual FrameBuffer& frame() = 0;
    virtual void pauseMs(int ms) = 0;
};

// The base's name as text is shown: its first two "~" marks removed.
std::string baseNameShown(const BaseEntry& base);
// The base's name as a button's caption: its "~" marks the accelerator.
std::string baseButtonCaption(const BaseEntry& base);
// The 17-byte block of a GPRS or Ethernet forward at 180 of the frame buffer.
void stageForwardBlock(FrameBuffer& frame, const uint8_t address[4], uint8_t parameter, const AlarmRecord& alarm,
                       int code, int sector, int baseIndex);

struct AlarmForwarderParts {
    ConfigBlock& config; // the bases' waiting marks are run-time fields of it
    AlarmsList& alarms;
    Scheduler& scheduler;
    HistoryLog& history;
    Messages& messages;
    const EventTable& events;
    ForwardingChannels& channels;
};

class AlarmForwarder final : public AlarmForwarding {
public:
    explicit AlarmForwarder(const AlarmForwarderParts& parts);

    // Report processing, mode "Nadawcza": the subscriber's two forwarding
    // words decide. 0.
    int forwardNewAlarm(Sbscrbr& subscriber, AlarmRecord& alarm, bool added) override;
    // The alarm to base index 0..15 by send type: the result bits (sent
    // low nibble, failed high nibble), or -1 for an unknown type.
    int forward(int base, AlarmRecord& alarm, int type);
    // The description dialog's buttons: which 2 the first base the alarm
    // has a forwarding state for, 3 the second. -1 when the alarm is gone.
    int forwardNow(int index, int which);
    // One path's send alone (the periodic path tests): its result bits,
    // with no message or history entry of the whole forward.
    int forwardOn(int base, AlarmRecord& alarm, int path);
    // Scheduler type 14 with argument 16.
    void delayedForward(uint16_t key);
    // "Fałszywy alarm": the delayed forwards of the alarm are called off
    // and its pending mark cleared.
    void cancelDelayed(AlarmRecord& alarm);

private:
    int forwardRs(int b, AlarmRecord& a, int type);
    int forwardRadio(int b, AlarmRecord& a);
    int forwardEthernet(int b, AlarmRecord& a);
    int forwardGsm(int b, AlarmRecord& a);
    int askModule(int slot, int mode, int tries, int pauseMs, int acceptA, int acceptB);
    void logOutcome(int kind, int b, const AlarmRecord& a, int paths);
    int codeFor(int b, const AlarmRecord& a) const;
    int sectorFor(int b, const AlarmRecord& a) const;
    void tell(const std::string& utf8);

    AlarmForwarderParts p_;
};

} // namespace k4
