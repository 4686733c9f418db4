// The probe step of the three probing classes: choose the next supervised
// subscriber, send it the probe order up to three times, one retry period
// apart, and report it when it stays silent.
#include "baselink/module_bus.h"
#include "baselink/packet.h"
#include "baselink/path_table.h"
#include "baselink/probe_orders.h"
#include "config/config_block.h"
#include "database/sbscrbr.h"
#include "database/subscriber_database.h"
#include "database/text_edge.h"
#include "processing/report.h"
#include "processing/subscriber_state.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

namespace k4 {

namespace {

enum class Prober { Radio, DialUp, Gsm };

uint8_t probeOrderCode(const ConfigBlock& config) {
    return (config.options & kOptOtrNew) ? kProbeOrderNew : kProbeOrder;
}

std::string fieldText(const char* field, size_t width) { return std::string(field, strnlen(field, width)); }

// The GPRS module counts its periods in seconds where the others count
// minutes: both periods are taken in its units.
int periodOf(const Packet& p, int seconds) { return p.kind == kKindGprs ? std::max(10, seconds / 60) : seconds; }

void stageProbe(Packet& p, Prober prober) {
    PathTable& table = p.table();
    FrameBuffer& frame = table.frame();
    const ConfigBlock& config = table.config();
    switch (prober) {
    case Prober::Radio: stageRadioProbe(frame, p.probed, probeOrderCode(config)); break;
    case Prober::DialUp: stageDialUpProbe(frame, p.contactPhone, kProbeOrder); break;
    case Prober::Gsm:
        if (p.kind == kKindGprs) stageGprsProbe(frame, p.contactIp, p.probed, probeOrderCode(config));
        else stageGsmProbe(frame, p.contactPhone, kProbeOrder);
        break;
    }
}

// Reads the contact of the subscriber being probed; false when it has none.
bool readContact(Packet& p, Prober prober) {
    Sbscrbr subscriber(p.table().parts().database, ByNumber{p.probed});
    if (!subscriber.valid || subscriber.unindexed) return false;
    if (p.kind == kKindGprs) {
        const int32_t ip = subscriber.record.ip;
        std::memcpy(p.contactIp.data(), &subscriber.record.ip, 4);
        return ip != 0;
    }
    p.contactPhone = prober == Prober::DialUp ? fieldText(subscriber.record.tel, sizeof subscriber.record.tel)
                                              : fieldText(subscriber.record.tel_gsm, sizeof subscriber.record.tel_gsm);
    return p.contactPhone.find_first_of("0123456789") != std::string::npos;
}

void tellNoContact(Packet& p, Prober prober) {
    char text[160];
    if (prober == Prober::DialUp)
        std::snprintf(text, sizeof text, "\x03Nie znaleziono numeru telefonu do badania abonenta %4.4d w torze komutowanym",
                      p.probed);
    else
        std::snprintf(text, sizeof text, "\x03Nie znaleziono numeru %s do badania abonenta %4.4d w torze GSM/GPRS",
                      p.kind == kKindGprs ? "IP" : "telefonu", p.probed);
    PathTable& table = p.table();
    table.messages().ShowNotice(table.noPhoneGuard, mz(text), kNoticeInfo);
}

int probeStepOf(Packet& p, Prober prober) {
    PathTable& table = p.table();
    const PathType& type = p.type();
    // 1.
    if (!(p.status & kPathProbing) && !p.onDemand) return -1;
    // 2. A probe is running.
    if (p.attempts >= 1) {
        if (p.attempts == 1 && p.entryToShow) {
            table.showCheckEntry(p.checkEntry);
            p.entryToShow = 0;
        }
        if (p.attempts > 3) {
            Report silent;
            silent.subscriber = p.probed;
            silent.subsystem = Report::kNoSubsystem;
            silent.code = specialCode(table.config(), kSpecialNoProbeAnswer);
            silent.sector = Report::kNoSector;
            silent.path = p.slot;
            table.parts().processor.processReport(silent);
            table.MarkProbeAnswered(p.slot, p.probed, kCheckSilent);
            return 1;
        }
        ++p.attempts;
        stageProbe(p, prober);
        if (table.parts().bus.CheckModule(p.slot, -1) != 0) return 1;
        int mode = 2;
        if (prober == Prober::Radio && p.probed == static_cast<uint16_t>(static_cast<int16_t>(table.config().packet_supervision)))
            mode = 3;
        const int result = p.poll(mode, 0);
        const int retry = periodOf(p, type.probeRetry);
        auto back = [&p] { p.attempts = static_cast<uint8_t>(std::max(1, p.attempts - 1)); };
        switch (prober) {
        case Prober::Radio:
            if (result == 0) { back(); return std::max(1, retry / 2); }
            if (result == 2 || result == 3) return table.spread(type, retry);
            back();
            return 1;
        case Prober::DialUp:
            if (result == 0) { back(); return 5; }
            if (result == 2) return table.spread(type, retry);
            back();
            return 1;
        case Prober::Gsm:
            if (result == 2 || result == 15) return table.spread(type, retry);
            back();
            return 5;
        }
    }
    // 3. The next subscriber, unless the operator named one.
    if (!p.onDemand) {
        const int minimum = prober == Prober::Radio ? 1 : p.number + 1;
        const int delay = p.nextSubscriber(minimum);
        if (delay != 0) return delay;
    }
    const int period = periodOf(p, type.probePeriod);
    const int retry = periodOf(p, type.probeRetry);
    // 4. Switched paths call the subscriber's number.
    if (prober != Prober::Radio && !readContact(p, prober)) {
        p.attempts = 0;
        p.onDemand = 0;
        const int wait = table.spread(type, period);
        // Told last: the box lets the timer run, and nothing of the path is
        // touched after it.
        tellNoContact(p, prober);
        return prober == Prober::Gsm && wait == 0 ? 60 : wait;
    }
    // 5.
    p.checkEntry = CheckEntry{p.slot, p.probed, kCheckRunning, 0};
    p.attempts = 1;
    if (p.onDemand) {
        p.entryToShow = 1;
        return 1;
    }
    return table.spread(type, period > retry ? period - retry : 1);
}

int buildListOf(Packet& p) {
    if (!p.list) return 0;
    PathTable& table = p.table();
    int added = 0;
    bool full = false;
    table.forEachSubscriber([&](Sbscrbr& s) {
        if (full || !p.supervises(s)) return;
        if (p.list->contains(static_cast<uint16_t>(s.number()))) return;
        if (p.list->add(static_cast<uint16_t>(s.number())) != 0) {
            full = true;
            table.messages().ShowNotice(table.listGuard, mz("\x03" "do dodania abonenta"), kNoticeMemory);
            return;
        }
        ++added;
    });
    return added;
}

} // namespace

int OTR_Packet::probeStep() { return probeStepOf(*this, Prober::Radio); }
int NTT_Packet::probeStep() { return probeStepOf(*this, Prober::DialUp); }
int GSM_Packet::probeStep() { return probeStepOf(*this, Prober::Gsm); }

int OTR_Packet::buildSubscriberList() { return buildListOf(*this); }
int NTT_Packet::buildSubscriberList() { return buildListOf(*this); }
int GSM_Packet::buildSubscriberList() { return buildListOf(*this); }

} // namespace k4
