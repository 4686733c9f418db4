#include "baselink/forwarding_supervision.h"

#include "database/stamp.h"
#include "database/text_edge.h"

#include <cstdio>
#include <cstring>
#include <ctime>

namespace k4 {

namespace {

int pathTypeOfBit(int pathBit) {
    switch (pathBit) {
    case kAwaitTr: return kTestPathTr;
    case kAwaitTg: return kTestPathTg;
    case kAwaitTe: return kTestPathTe;
    default: return 0;
    }
}

bool knownPathBit(int pathBit) { return pathTypeOfBit(pathBit) != 0; }

uint16_t waitingSubscriber(const BaseEntry& e, int pathBit) {
    return pathBit == kAwaitTr ? e.trSubscriber : pathBit == kAwaitTg ? e.tgSubscriber : e.teSubscriber;
}

uint8_t waitingAlarm(const BaseEntry& e, int pathBit) {
    return pathBit == kAwaitTr ? e.trAlarm : pathBit == kAwaitTg ? e.tgAlarm : e.teAlarm;
}

// The test alarm of a forwarding path: every field the filler value.
AlarmRecord testAlarm() {
    AlarmRecord a;
    a.subscriber = static_cast<int16_t>(kTestSubscriber);
    a.subsystem = 0xAA;
    a.codeWord = 0x0AAA;
    a.origCodeWord = 0x0AAA;
    a.sector = 0x0AAA;
    a.origSector = 0x0AAA;
    a.path = 0;
    a.flags = AlarmRecord::kHexSubscriber;
    return a;
}

} // namespace

std::string receptionTestLine(int i, const ConfigBlock& config) {
    const BaseEntry& e = config.bases[i];
    char radio[4] = "";
    if (e.radio != 0) std::snprintf(radio, sizeof radio, "%2.2x", e.radio);
    const std::string gsm(e.gsmNumber, strnlen(e.gsmNumber, sizeof e.gsmNumber));
    char port[24] = "";
    const int base1 = static_cast<int16_t>(config.base1_port), base2 = static_cast<int16_t>(config.base2_port);
    if (e.rsLink == 2 && base1 != 0) std::snprintf(port, sizeof port, "COM%d-%4.4d", base1, static_cast<int16_t>(config.base1_speed));
    else if (e.rsLink == 3 && base2 != 0) std::snprintf(port, sizeof port, "COM%d-%4.4d", base2, static_cast<int16_t>(config.base2_speed));
    char line[96];
    std::snprintf(line, sizeof line, "%02d %-8.8s %2.2s %10.10s %s ", i + 1, baseNameShown(e).c_str(), radio, gsm.c_str(),
                  port);
    return line;
}

ForwardingSupervision::ForwardingSupervision(const ForwardingSupervisionParts& parts) : p_(parts) {}

void ForwardingSupervision::registerHandlers(const std::function<void(uint16_t key)>& lineFaultAlert) {
    p_.scheduler.setHandler(kSchedTestForw, [this](uint16_t key, uint8_t arg) { pathTest(key, arg); });
    p_.scheduler.setHandler(kSchedChkOrder, [this](uint16_t key, uint8_t arg) { missingConfirmation(key, arg); });
    p_.scheduler.setHandler(kSchedAdjustTime, [this](uint16_t, uint8_t) { clockCorrection(); });
    p_.scheduler.setHandler(kSchedTest, [this, lineFaultAlert](uint16_t key, uint8_t arg) {
        if (arg == 1 && lineFaultAlert) lineFaultAlert(key);
        else if (arg == kDelayedForwardArg) p_.forwarder.delayedForward(key);
    });
}

int ForwardingSupervision::rsBaseOfLink(int link) const {
    const int port = link == 1 ? static_cast<int16_t>(p_.config.base1_port) : static_cast<int16_t>(p_.config.base2_port);
    if (port == 0) return -1;
    const int rsLink = link == 1 ? 2 : 3;
    int found = -1;
    for (int b = 0; b < kBaseEntries; ++b)
        if (p_.config.bases[b].rsLink == rsLink) found = b;
    return found;
}

void ForwardingSupervision::reschedule(int base, int pathType, int delay) {
    p_.scheduler.cancel(base, kSchedTestForw, pathType);
    p_.scheduler.schedule(delay, base, kSchedTestForw, pathType);
}

void ForwardingSupervision::startTests() {
    const uint8_t before = p_.config.options2;
    for (int link = 1; link <= 2; ++link) {
        const uint8_t blockBit = link == 1 ? kOpt2BlockBase1Test : kOpt2BlockBase2Test;
        if (p_.config.options2 & blockBit) continue;
        const int port = link == 1 ? static_cast<int16_t>(p_.config.base1_port) : static_cast<int16_t>(p_.config.base2_port);
        if (port == 0) continue;
        const int base = rsBaseOfLink(link);
        if (base < 0) p_.config.options2 |= blockBit;
        else reschedule(base, kTestPathRs, 1);
    }
    for (int b = 0; b < kBaseEntries; ++b) {
        const BaseEntry& e = p_.config.bases[b];
        if (e.radio != 0) reschedule(b, kTestPathTr, 1);
        if (e.gprsAddress[0] != 0) reschedule(b, kTestPathTg, 1);
        if (e.ethAddress[0] != 0) reschedule(b, kTestPathTe, 1);
    }
    if (p_.config.options2 != before && p_.saveConfig && p_.saveConfig() != 0)
        p_.messages.ShowNotice(mz("\x03zapisu konfiguracji"), kNoticeError);
}

void ForwardingSupervision::pathTest(int b, int t) {
    if (b < 0 || b >= kBaseEntries || t < kTestPathRs || t > kTestPathTe) return;
    BaseEntry& e = p_.config.bases[b];
    if (t == kTestPathRs) {
        const int result = p_.channels.sendRsTest(e.rsLink, (p_.config.options & kOptTestTypeAA) != 0);
        if (result == -2) {
            p_.messages.ShowNotice(mz("\x03" "Brak portu szeregowego!"), kNoticeInfo);
            return;
        }
        // A base that does not answer its test frame is noticed by the
        // next forward; the test itself counts nothing.
        reschedule(b, t, kRetestSeconds);
        return;
    }
    // A path the entry no longer has (the radio address, or the address
    // of GPRS or Ethernet, was cleared) is not tested any more.
    const bool hasPath = t == kTestPathTr ? e.radio != 0 : t == kTestPathTg ? e.gprsAddress[0] != 0 : e.ethAddress[0] != 0;
    if (!hasPath) {
        char text[64];
        std::snprintf(text, sizeof text, "\x03" "Zaniechanie testowania bazy %d", b + 1);
        p_.messages.ShowNotice(mz(text), kNoticeInfo);
        return;
    }
    if (!p_.channels.anyPath()) {
        reschedule(b, t, kRetestSeconds);
        return;
    }
    AlarmRecord alarm = testAlarm();
    const int path = t == kTestPathTr ? kForwardTr : t == kTestPathTg ? kForwardTg : kForwardTe;
    const int result = p_.forwarder.forwardOn(b, alarm, path);
    if (result & (path << 4)) ReportPathTestFailure(b, t);
    else reschedule(b, t, kTestPeriodSeconds);
}

void ForwardingSupervision::ReportPathTestFailure(int b, int t) {
    if (b < 0 || b >= kBaseEntries || t < kTestPathRs || t > kTestPathTe) return;
    p_.history.LogEvent(kHistoryPathTestFailed, b + 1, t - 1);
    int& count = failures_[static_cast<size_t>(b)][static_cast<size_t>(t)];
    int delay = kRetestSeconds;
    if (++count >= kFailuresInARow) {
        count = 0;
        delay = kAfterFourFailuresSeconds;
    }
    reschedule(b, t, delay);
    static const char* const suffix[5] = {"", " w TS", " w TR", " w TG", " w TE"};
    const std::string text =
        mz("\x03" "Brak komunikacji z bazą odbiorczą ") + baseNameShown(p_.config.bases[b]) + suffix[t];
    p_.messages.ShowNotice(failureGuards_[static_cast<size_t>(b)][static_cast<size_t>(t)], text, kNoticeAlarm);
}

std::string ForwardingSupervision::pathName(int b, int pathBit) const {
    if (pathBit == kAwaitTr) {
        const int module = p_.config.bases[b].radio >> 4;
        char text[8];
        if (module != 0) std::snprintf(text, sizeof text, "TR%d", module);
        else std::snprintf(text, sizeof text, "TR");
        return text;
    }
    return pathBit == kAwaitTg ? "TG" : "TE";
}

void ForwardingSupervision::logConfirmation(int kind, int subscriber, int b, int pathBit, const AlarmRecord* alarm) {
    HistoryEntry entry = systemEntry(kind, subscriber, b + 1, alarm ? alarm->code() : 0, 0, true);
    entry.kind = static_cast<uint16_t>((kind & 0x0FFF) | ((pathBit >> 4) << 12));
    entry.code2 = 2;
    if (alarm && (alarm->flags & AlarmRecord::kHexSubscriber)) entry.flags |= HistoryEntry::kEntryHexNumber;
    p_.history.LogEvent(kind, entry);
}

void ForwardingSupervision::confirmAlarm(int a, int b, int c, int kind) {
    BaseEntry& e = p_.config.bases[b];
    // Only the alarm the base entry names for this path, and only while it
    // is still the subscriber's: an answer to a forward nobody waits for
    // must not mark another alarm.
    AlarmRecord* alarm = p_.alarms.findById(waitingAlarm(e, c));
    if (alarm && static_cast<uint16_t>(alarm->subscriber) != static_cast<uint16_t>(a)) alarm = nullptr;
    uint8_t* state = alarm ? &alarm->forward[static_cast<size_t>(b)] : nullptr;
    if (kind == kHistoryConfirmed) {
        if (state) *state = static_cast<uint8_t>((*state | (c >> 4)) & ~c);
    } else if (state && (*state & (c >> 4))) {
        // Not confirmed: the path is to be sent on again.
        *state = static_cast<uint8_t>((*state & ~(c >> 4)) | c);
    }
    logConfirmation(kind, a, b, c, alarm);
    char number[16];
    std::snprintf(number, sizeof number, "%4.4d", a);
    const std::string text = mz(kind == kHistoryConfirmed ? "\x03Potwierdzenie przesłania alarmu z "
                                                          : "\x03" "BRAK potwierdzenia przesłania alarmu z ") +
                             number + mz(" do bazy ") + baseNameShown(e) + " w " + pathName(b, c);
    p_.messages.ShowNotice(text, kNoticeInfo);
}

void ForwardingSupervision::ConfirmForwarding(int a, int b, int c) {
    if (b < 0 || b >= kBaseEntries || !knownPathBit(c)) return;
    BaseEntry& e = p_.config.bases[b];
    e.flags = static_cast<uint8_t>(e.flags & ~(c >> 4));
    p_.scheduler.cancel(a & 0xFFFF, kSchedChkOrder, c + b);
    if ((a & 0xFFFF) == kTestSubscriber) {
        failures_[static_cast<size_t>(b)][static_cast<size_t>(pathTypeOfBit(c))] = 0;
        return;
    }
    confirmAlarm(a & 0xFFFF, b, c, kHistoryConfirmed);
}

void ForwardingSupervision::ConfirmGprsForwarding(int path, int a, int b, int c, int queueEntry) {
    // The queued block is answered: it and its re-send go.
    if (dropQueued_) dropQueued_(path, queueEntry);
    else p_.scheduler.cancel(path, kSchedTestAck, queueEntry);
    if (b < 0 || b >= kBaseEntries || !knownPathBit(c)) return;
    if ((a & 0xFFFF) == kTestSubscriber) {
        failures_[static_cast<size_t>(b)][static_cast<size_t>(pathTypeOfBit(c))] = 0;
        return;
    }
    confirmAlarm(a & 0xFFFF, b, c, kHistoryConfirmed);
}

void ForwardingSupervision::missingConfirmation(uint16_t a, uint8_t arg) {
    const int c = arg & 0xE0;
    const int b = arg & 0x0F;
    if (!knownPathBit(c)) return;
    BaseEntry& e = p_.config.bases[b];
    if (waitingSubscriber(e, c) != a) {
        const char* text = c == kAwaitTr ? "BLAD FORWARD RADIO" : c == kAwaitTg ? "BLAD FORWARD GSM" : "BLAD FORWARD ETH";
        p_.messages.ShowNotice(mz(std::string("\x03") + text), kNoticeInfo);
        return;
    }
    e.flags = static_cast<uint8_t>(e.flags & ~(c >> 4));
    if (a == kTestSubscriber) {
        ReportPathTestFailure(b, pathTypeOfBit(c));
        return;
    }
    confirmAlarm(a, b, c, kHistoryNoConfirmation);
}

void ForwardingSupervision::scheduleClockCorrection() {
    const std::time_t now = static_cast<std::time_t>(p_.clock.unixTime());
    std::tm utc{};
    gmtime_r(&now, &utc);
    // Half past the hour, every hour.
    p_.scheduler.schedule(5400 - 60 * utc.tm_min, 0, kSchedAdjustTime, 0);
}

void ForwardingSupervision::clockCorrection() {
    const int correction = static_cast<int16_t>(p_.config.time_adjust);
    if (correction != 0) {
        // Tenths of a second a day, spread over the day's 24 runs.
        const int64_t ms = static_cast<int64_t>(correction) * 100 / 24;
        if (const auto refusal = p_.clockAdjuster.moveBy(ms)) {
            std::fprintf(stderr, "kestrel4: poprawka zegara %+lld ms nie wykonana: %s\n", static_cast<long long>(ms),
                         refusal->c_str());
            if (!clockRefusalTold_) {
                clockRefusalTold_ = true;
                p_.messages.ShowNotice(mz("\x03Zegar systemowy nie może być poprawiony: ") + mz(*refusal) +
                                           mz(".\nStacja pracuje dalej na zegarze systemu."),
                                       kNoticeInfo);
            }
        }
    }
    scheduleClockCorrection();
}

void ForwardingSupervision::sendReceptionTest(int b, int subscriber, int code, int path) {
    if (b < 0 || b >= kBaseEntries || path < 0 || path > 3) return;
    const BaseEntry& e = p_.config.bases[b];
    if (path == 0 && e.rsLink != 2 && e.rsLink != 3) return;
    AlarmRecord a;
    a.subscriber = static_cast<int16_t>(subscriber);
    a.subsystem = 1;
    a.codeWord = static_cast<uint16_t>(code & 0x0FFF);
    a.origCodeWord = static_cast<uint16_t>(code & 0x0FFF);
    a.sector = 1;
    a.origSector = 0;
    a.path = 0;
    a.time = static_cast<uint32_t>(nowStamp(p_.clock));
    static const int types[4] = {kSendRsOnly, kSendTrOnly, kSendTgOnly, kSendTeOnly};
    p_.forwarder.forward(b, a, types[path]);
}

int ForwardingSupervision::endReceptionTests(bool block1, bool block2, bool secondShown) {
    const uint8_t old = p_.config.options2;
    uint8_t now = old;
    if (static_cast<int16_t>(p_.config.mode) == 2) {
        now = block1 ? 1 : 0;
        if ((old != 0) == block1) return 0;
    } else {
        struct Link {
            bool box;
            uint8_t bit;
            int key;
            int value;
            int base;
        };
        const Link links[2] = {{block1, kOpt2BlockBase1Test, 0, 1, rsBaseOfLink(1)},
                               {block2, kOpt2BlockBase2Test, 1, 2, rsBaseOfLink(2)}};
        for (int i = 0; i < (secondShown ? 2 : 1); ++i) {
            const Link& l = links[i];
            const bool wasBlocked = (old & l.bit) != 0;
            if ((l.box && !wasBlocked) || l.base < 0) {
                p_.scheduler.cancel(l.key, kSchedTestForw, kTestPathRs);
                p_.history.LogEvent(kHistoryRsTestOff, l.value);
                now |= l.bit;
            } else if (!l.box && wasBlocked) {
                now &= static_cast<uint8_t>(~l.bit);
                p_.config.options2 = now;
                pathTest(l.base, kTestPathRs);
                p_.history.LogEvent(kHistoryRsTestOn, l.value);
            }
        }
    }
    p_.config.options2 = now;
    if (now == old) return 0;
    if (p_.saveConfig && p_.saveConfig() != 0) {
        p_.messages.ShowNotice(mz("\x03zapisu konfiguracji"), kNoticeError);
        return -1;
    }
    return 0;
}

} // namespace k4
