#include "processing/forwarding.h"

#include "baselink/module_poll.h"
#include "baselink/packet.h"
#include "baselink/probe_orders.h"
#include "database/sbscrbr.h"
#include "database/text_edge.h"
#include "processing/event_table.h"
#include "processing/process_report.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

namespace k4 {

namespace {

constexpr int kTrConfirmSeconds = 7;
constexpr int kTgConfirmSeconds = 45;
constexpr int kTeConfirmSeconds = 45;
constexpr int kSendTries = 5;
constexpr int kRadioTriesApartMs = 100;

std::string pathMarks(int paths, const BaseEntry& base) {
    std::string marks;
    if (paths & kForwardRs) marks += "RS ";
    if (paths & kForwardTr) {
        char tr[8];
        const int module = base.radio >> 4;
        if (module != 0) std::snprintf(tr, sizeof tr, "TR%1.1d ", module);
        else std::snprintf(tr, sizeof tr, "TR ");
        marks += tr;
    }
    if (paths & kForwardTg) marks += "TG ";
    if (paths & kForwardTe) marks += "TE ";
    return marks;
}

bool singlePath(int type) { return type == kSendRsOnly || type == kSendTrOnly || type == kSendTgOnly || type == kSendTeOnly; }

int subscriberOf(const AlarmRecord& a) { return static_cast<uint16_t>(a.subscriber); }

} // namespace

std::string baseNameShown(const BaseEntry& base) {
    std::string name(base.name, strnlen(base.name, sizeof base.name));
    for (int i = 0; i < 2; ++i) {
        const auto at = name.find('~');
        if (at == std::string::npos) break;
        name.erase(at, 1);
    }
    return name;
}

std::string baseButtonCaption(const BaseEntry& base) {
    std::string caption;
    bool marked = false;
    for (char c : std::string(base.name, strnlen(base.name, sizeof base.name))) {
        if (c == '&') caption += "&&";
        else if (c == '~' && !marked) {
            caption += '&';
            marked = true;
        } else if (c != '~') caption += c;
    }
    return caption;
}

void stageForwardBlock(FrameBuffer& frame, const uint8_t address[4], uint8_t parameter, const AlarmRecord& a,
                       int code, int sector, int baseIndex) {
    uint8_t* at = frame.bytes.data() + FrameBuffer::kStage180;
    std::fill_n(at, 20, 0);
    at[0] = 17;
    std::copy(address, address + 4, at + 1);
    at[5] = kForwardBlockType;
    at[6] = 0;
    const int s = subscriberOf(a);
    if (a.flags & AlarmRecord::kHexSubscriber) {
        at[7] = static_cast<uint8_t>(s >> 8);
        at[8] = static_cast<uint8_t>(s);
    } else {
        packSubscriberBcd(s, at + 7);
    }
    at[9] = static_cast<uint8_t>(a.subsystem);
    at[10] = static_cast<uint8_t>((code >> 4) & 0xFF);
    at[11] = static_cast<uint8_t>(((code & 0x0F) << 4) | ((sector >> 8) & 0x0F));
    at[12] = static_cast<uint8_t>(sector & 0xFF);
    at[15] = parameter;
    at[19] = static_cast<uint8_t>(baseIndex);
}

AlarmForwarder::AlarmForwarder(const AlarmForwarderParts& parts) : p_(parts) {}

void AlarmForwarder::tell(const std::string& utf8) { p_.messages.ShowNotice(mz(utf8), kNoticeInfo); }

int AlarmForwarder::codeFor(int b, const AlarmRecord& a) const {
    return (p_.config.bases[b].flags & kBaseEventConversion) ? a.code() : a.origCode();
}

int AlarmForwarder::sectorFor(int b, const AlarmRecord& a) const {
    return ((p_.config.bases[b].flags & kBaseEventConversion) ? a.sector : a.origSector) & 0x0FFF;
}

int AlarmForwarder::forwardNewAlarm(Sbscrbr& subscriber, AlarmRecord& alarm, bool added) {
    const uint16_t words[2] = {subscriber.record.forw_flag1, subscriber.record.forw_flag2};
    for (int w = 0; w < 2; ++w) {
        const uint16_t word = words[w];
        if ((word & 0xF0) == 0) continue;
        const int base = forwardingTarget(word, w + 1) - 1;
        if (base < 0 || base >= kBaseEntries) continue;
        AlarmRecord* listed = alarm.id != 0 ? p_.alarms.findById(alarm.id) : nullptr;
        switch (word & 0x0F) {
        case 1:
            if (added && listed) forward(base, *listed, kSendAutomatic);
            break;
        case 2:
            // A plain report, or a repeat the list dropped, goes as built.
            forward(base, listed ? *listed : alarm, kSendAutomatic);
            break;
        case 0:
            if (added && listed && p_.events.isFireEvent(listed->code())) {
                // A fire the operator does not take in hand within the delay
                // goes on to the other centre by itself.
                const int delay = std::max(0, static_cast<int>(static_cast<int8_t>(p_.config.repeat_delay)));
                if (p_.scheduler.schedule(delay, base * 256 + listed->id, kSchedTest, kDelayedForwardArg) == 0)
                    listed->origCodeWord |= static_cast<uint16_t>(AlarmRecord::kStateFireForwardPending << 12);
            }
            break;
        default: break;
        }
    }
    return 0;
}

void AlarmForwarder::delayedForward(uint16_t key) {
    const int base = key >> 8;
    AlarmRecord* alarm = p_.alarms.findById(static_cast<uint8_t>(key & 0xFF));
    if (!alarm || base >= kBaseEntries) return;
    alarm->origCodeWord &= static_cast<uint16_t>(~(AlarmRecord::kStateFireForwardPending << 12));
    if (!alarm->inService()) forward(base, *alarm, kSendAutomatic);
}

void AlarmForwarder::cancelDelayed(AlarmRecord& alarm) {
    for (int base = 0; base < kBaseEntries; ++base)
        p_.scheduler.cancel(base * 256 + alarm.id, kSchedTest, kDelayedForwardArg);
    alarm.origCodeWord &= static_cast<uint16_t>(~(AlarmRecord::kStateFireForwardPending << 12));
}

int AlarmForwarder::forwardNow(int index, int which) {
    if (index < 0 || index >= p_.alarms.count()) {
        tell("\x03" "Alarm został już usunięty z listy alarmów i nie może być wysłany!");
        return -1;
    }
    AlarmRecord& alarm = p_.alarms[index];
    int first = -1, second = -1;
    for (int b = 0; b < kBaseEntries; ++b) {
        if (alarm.forward[static_cast<size_t>(b)] == 0) continue;
        if (first < 0) first = b;
        else if (second < 0) second = b;
    }
    int base = -1;
    if (which == 2) base = first >= 0 ? first : 0;
    else if (which == 3) base = second;
    if (base < 0) return 0;
    return forward(base, alarm, kSendOnRequest);
}

int AlarmForwarder::forward(int b, AlarmRecord& a, int type) {
    if (type < kSendAutomatic || type > kSendTeOnly) {
        tell("\x03" "Nieprawidłowy typ przesłania alarmu");
        return -1;
    }
    if (b < 0 || b >= kBaseEntries) return 0;
    // A demonstration stays in this centre.
    if (a.state() & AlarmRecord::kStateDemonstration) return 0;
    int paths = 0;
    switch (type) {
    case kSendRsOnly: paths = kForwardRs; break;
    case kSendTrOnly: paths = kForwardTr; break;
    case kSendTgOnly: paths = kForwardTg; break;
    case kSendTeOnly: paths = kForwardTe; break;
    default: {
        const uint8_t state = a.forward[static_cast<size_t>(b)];
        if ((state & 0x0F) && !(state & 0xF0)) {
            tell("\x03" "Ten alarm został już wcześniej przesłany!");
            return 0;
        }
        if (!(state & 0xF0)) {
            if (p_.messages.AskYesNo(mz("\x03" "Abonent nie ma zaznaczonego toru przesłania! Przesłać w RS?")) !=
                kResultYes)
                return 0;
            paths = kForwardRs;
        } else {
            paths = state >> 4;
        }
    }
    }
    int result = 0;
    if (paths & kForwardRs) result |= forwardRs(b, a, type);
    if (paths & kForwardTr) result |= forwardRadio(b, a);
    if (paths & kForwardTg) result |= forwardGsm(b, a);
    if (paths & kForwardTe) result |= forwardEthernet(b, a);

    const BaseEntry& base = p_.config.bases[b];
    const int failed = (result >> 4) & 0x0F;
    const int sent = result & 0x0F;
    if (failed) {
        char text[160];
        std::snprintf(text, sizeof text, "\x03" "Alarm z %4.4d nie został wysłany %s!", subscriberOf(a),
                      ("przez " + pathMarks(failed, base)).c_str());
        tell(text);
        logOutcome(singlePath(type) ? kHistoryTestNotForwarded : kHistoryNotForwarded, b, a, failed);
    }
    if (sent) {
        logOutcome(singlePath(type) ? kHistoryTestForwarded : kHistoryForwarded, b, a, sent);
        if (type != kSendAutomatic) {
            char text[160];
            std::snprintf(text, sizeof text, "\x03" "Alarm został wysłany %s", ("w " + pathMarks(sent, base)).c_str());
            tell(text);
        }
    }
    return result;
}

int AlarmForwarder::forwardOn(int b, AlarmRecord& a, int path) {
    if (b < 0 || b >= kBaseEntries) return 0;
    switch (path) {
    case kForwardRs: return forwardRs(b, a, kSendRsOnly);
    case kForwardTr: return forwardRadio(b, a);
    case kForwardTg: return forwardGsm(b, a);
    case kForwardTe: return forwardEthernet(b, a);
    default: return 0;
    }
}

void AlarmForwarder::logOutcome(int kind, int b, const AlarmRecord& a, int paths) {
    HistoryEntry entry = systemEntry(kind, a.subscriber, b + 1, a.code(), 0, true);
    entry.kind = static_cast<uint16_t>((kind & 0x0FFF) | ((paths & 0x0F) << 12));
    entry.code2 = 2;
    if (a.flags & AlarmRecord::kHexSubscriber) entry.flags |= HistoryEntry::kEntryHexNumber;
    p_.history.LogEvent(kind, entry);
}

int AlarmForwarder::askModule(int slot, int mode, int tries, int pauseMs, int acceptA, int acceptB) {
    for (int i = 0; i < tries; ++i) {
        if (i > 0 && pauseMs > 0) p_.channels.pauseMs(pauseMs);
        const int status = p_.channels.pollPath(slot, mode);
        if (status == acceptA || status == acceptB) return 0;
    }
    return -1;
}

int AlarmForwarder::forwardRs(int b, AlarmRecord& a, int type) {
    const BaseEntry& base = p_.config.bases[b];
    if (base.rsLink != 2 && base.rsLink != 3) {
        char text[64];
        std::snprintf(text, sizeof text, "\x03" "Brak RS-a w bazie %d", b + 1);
        tell(text);
        return 0;
    }
    if (a.forward[static_cast<size_t>(b)] & kForwardRs) return 0;
    int subsystem = a.subsystem;
    int sector = sectorFor(b, a);
    // A panel behind a Contact Id receiver (or a centre told so) names
    // "none" with these values itself: they go on as they came.
    const int kind = a.path >= 0 ? p_.channels.pathKind(a.path) : -1;
    const bool asTheyCame = type != kSendRsOnly && kind >= 0 &&
                            (kind == kKindContactId || (p_.config.options & kOptTestTypeAA));
    if (!asTheyCame) {
        if (subsystem == 255) subsystem = 0;
        if (sector == 4095) sector = 0;
    }
    const bool hex = (a.flags & AlarmRecord::kHexSubscriber) != 0;
    if (p_.channels.sendRsFrame(base.rsLink, static_cast<uint16_t>(a.subscriber), hex, codeFor(b, a), subsystem,
                                sector) != 0)
        return kForwardRs << 4;
    if (a.id != 0) {
        uint8_t& state = a.forward[static_cast<size_t>(b)];
        state = static_cast<uint8_t>((state | kForwardRs) & ~(kForwardRs << 4));
    }
    return kForwardRs;
}

int AlarmForwarder::forwardRadio(int b, AlarmRecord& a) {
    BaseEntry& base = p_.config.bases[b];
    const int address = base.radio & 0x0F;
    if (address == 0) {
        char text[64];
        std::snprintf(text, sizeof text, "\x03" "Brak numeru radia w bazie %d", b + 1);
        tell(text);
        return 0;
    }
    uint8_t& state = a.forward[static_cast<size_t>(b)];
    if (state & kForwardTr) return 0;
    if (base.flags & kBaseAwaitsTr) return kForwardTr << 4;
    stageRadioForward(p_.channels.frame(), address, subscriberOf(a), (a.flags & AlarmRecord::kHexSubscriber) != 0,
                      codeFor(b, a), a.subsystem & 0xFF, sectorFor(b, a));
    const int module = base.radio >> 4;
    const int slot = p_.channels.findPath(kKindOtr, module == 0 ? -1 : module - 1);
    if (slot < 0 || !p_.channels.pathReady(slot)) return kForwardTr << 4;
    if (askModule(slot, kPollSendLongRadio, kSendTries, kRadioTriesApartMs, 2, 3) != 0) return kForwardTr << 4;
    state |= kForwardTr;
    base.trSubscriber = static_cast<uint16_t>(a.subscriber);
    base.trAlarm = a.id;
    base.flags |= kBaseAwaitsTr;
    p_.scheduler.schedule(kTrConfirmSeconds, subscriberOf(a), kSchedChkOrder, b + kAwaitTr);
    return kForwardTr;
}

int AlarmForwarder::forwardEthernet(int b, AlarmRecord& a) {
    BaseEntry& base = p_.config.bases[b];
    if (base.ethAddress[0] == 0) {
        // No address: nothing could be sent anywhere, and the operator
        // learns why instead of a failure of the network.
        char text[64];
        std::snprintf(text, sizeof text, "\x03" "Brak adresu ethernet w bazie %d", b + 1);
        tell(text);
        return 0;
    }
    uint8_t& state = a.forward[static_cast<size_t>(b)];
    if (base.flags & kBaseAwaitsTe) {
        tell("\x03" "Trwa czekiwanie na zakończenie poprzedniego przesłania");
        return 0;
    }
    if (state & kForwardTe) {
        tell("\x03" "Trwa czekiwanie na odpowiedź poprzedniego przesłania");
        return 0;
    }
    stageForwardBlock(p_.channels.frame(), base.ethAddress, base.ethParam, a, codeFor(b, a), sectorFor(b, a), b);
    const int slot = p_.channels.findPath(kKindEthernetChannel, -1);
    if (slot < 0 || !p_.channels.pathReady(slot)) return kForwardTe << 4;
    if (askModule(slot, kPollSendOrder, kSendTries, 0, 2, 2) != 0) return kForwardTe << 4;
    state |= kForwardTe;
    base.teSubscriber = static_cast<uint16_t>(a.subscriber);
    base.teAlarm = a.id;
    base.flags |= kBaseAwaitsTe;
    p_.scheduler.schedule(kTeConfirmSeconds, subscriberOf(a), kSchedChkOrder, b + kAwaitTe);
    return kForwardTe;
}

int AlarmForwarder::forwardGsm(int b, AlarmRecord& a) {
    BaseEntry& base = p_.config.bases[b];
    const bool gprs = base.gprsAddress[0] != 0;
    if (!gprs && base.gsmNumber[0] == '\0') {
        char text[64];
        std::snprintf(text, sizeof text, "\x03" "Brak numeru tel. GSM w bazie %d", b + 1);
        tell(text);
        return 0;
    }
    uint8_t& state = a.forward[static_cast<size_t>(b)];
    if (base.flags & kBaseAwaitsTg) {
        tell("\x03" "Trwa czekiwanie na zakończenie poprzedniego przesłania");
        return 0;
    }
    if (state & kForwardTg) {
        tell("\x03" "Trwa czekiwanie na odpowiedź poprzedniego przesłania");
        return 0;
    }
    if (gprs) {
        stageForwardBlock(p_.channels.frame(), base.gprsAddress, base.gsmParam, a, codeFor(b, a), sectorFor(b, a), b);
        const int slot = p_.channels.findPath(kKindGprs, -1);
        if (slot < 0 || !p_.channels.pathReady(slot)) return kForwardTg << 4;
        const int status = p_.channels.queueGprsBlock(slot, a.id, kForwardBlockType);
        if (status != 2 && status != 3) return kForwardTg << 4;
        // The queue sends again by itself until the base confirms; the base
        // entry still names the alarm, so the confirmation finds it.
        state |= kForwardTg;
        base.tgSubscriber = static_cast<uint16_t>(a.subscriber);
        base.tgAlarm = a.id;
        return kForwardTg;
    }
    const std::string number(base.gsmNumber, strnlen(base.gsmNumber, sizeof base.gsmNumber));
    stageGsmForward(p_.channels.frame(), number, base.gsmParam, subscriberOf(a), codeFor(b, a), a.subsystem & 0xFF,
                    sectorFor(b, a));
    const int slot = p_.channels.findPath(kKindOng, -1);
    if (slot < 0 || !p_.channels.pathReady(slot)) return kForwardTg << 4;
    // The wait is set up before the module is asked: the poll that hands
    // it the SMS asks it once more for what it has, and that may already
    // be the base's answer, which must find the forward waiting for it.
    const uint8_t stateBefore = state;
    state |= kForwardTg;
    base.tgSubscriber = static_cast<uint16_t>(a.subscriber);
    base.tgAlarm = a.id;
    base.flags |= kBaseAwaitsTg;
    p_.scheduler.schedule(kTgConfirmSeconds, subscriberOf(a), kSchedChkOrder, b + kAwaitTg);
    if (askModule(slot, kPollSendOrder, kSendTries, 0, 2, 2) != 0) {
        state = stateBefore;
        base.flags = static_cast<uint8_t>(base.flags & ~kBaseAwaitsTg);
        p_.scheduler.cancel(subscriberOf(a), kSchedChkOrder, b + kAwaitTg);
        return kForwardTg << 4;
    }
    return kForwardTg;
}

} // namespace k4
