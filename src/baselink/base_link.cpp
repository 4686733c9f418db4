#include "baselink/base_link.h"

#include "baselink/clock_check.h"
#include "baselink/digit_fields.h"
#include "database/stamp.h"
#include "database/text_edge.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>

namespace k4 {

namespace {

constexpr uint8_t kLF = 0x0A;
constexpr uint8_t kCR = 0x0D;
constexpr uint8_t kSO = 0x0E;
constexpr int kMaxRecordBytes = 158;
constexpr int kRecordArea = 1; // records start after L in a received frame
// ReadBaseFrame: a right frame that could not be stored, left unanswered.
constexpr int kNotStored = -12;

const char* const kBlockedText = "Blokada RS bazy odbiorczej - nieprawidłowy wpis w konfiguracji";
const char* const kLockedText =
    "Blokada RS bazy odbiorczej - nieprawidłowy wpis w konfiguracji "
    "(po poprawie konieczne ponowne uruchomienie programu)";

char digitChar(int value) { return static_cast<char>(value < 10 ? '0' + value : 'A' + value - 10); }

void putDigits(FrameBuffer& frame, int& at, uint32_t value, int count, int base) {
    for (int i = count - 1; i >= 0; --i) {
        frame[at + i] = static_cast<uint8_t>(digitChar(static_cast<int>(value % base)));
        value /= base;
    }
    at += count;
}

// Twelve decimal digits YYMMDDhhmmss, raw or as characters.
void readTimeDigits(const uint8_t* field, std::array<uint8_t, 12>& digits) {
    if (readDecimalDigits(field, 6) < 0 || readDecimalDigits(field + 6, 6) < 0) return;
    const bool raw = (field[0] & 0xF0) == 0;
    if (raw != ((field[6] & 0xF0) == 0)) return;
    for (size_t i = 0; i < 12; ++i) digits[i] = static_cast<uint8_t>(raw ? field[i] : field[i] - '0');
}

void putLong(PreparedEntry& entry, int32_t value) {
    for (int i = 0; i < 4; ++i) entry[5 + i] = static_cast<uint8_t>(static_cast<uint32_t>(value) >> (8 * i));
}

} // namespace

int baseRecordLength(uint8_t type) {
    switch (type) {
    case 0x10: return 10;
    case 0x11: return 6;
    case 0x12: return 5;
    case 0x13: return 13;
    case 0x14: return 9;
    case 0x15: return 4;
    case 0x17: return 3;
    default: return 0;
    }
}

BaseLink::BaseLink(const Services& services) : s_(services) {}

void BaseLink::drain(SerialLine& line, int limit) {
    for (int i = 0; i < limit && line.readByte(); ++i) {
    }
}

bool BaseLink::usable(int port) {
    SerialLine& line = s_.ports.line(port);
    if (!line.isConnected()) {
        bool& shown = notConnectedShown_[static_cast<size_t>(port)];
        if (!shown) {
            shown = true;
            s_.messages.ShowNotice(Cp1250FromUtf8(kBlockedText), kNoticeWindowsText);
        }
        return false;
    }
    notConnectedShown_[static_cast<size_t>(port)] = false;
    return !locked_;
}

bool BaseLink::huntErrorLocks(SerialLine& line) {
    if (!line.takeError()) return false;
    locked_ = true;
    s_.messages.ShowNotice(Cp1250FromUtf8(kLockedText), kNoticeWindowsText);
    return true;
}

int BaseLink::PollBaseLink() {
    const ConfigBlock& config = s_.config;
    int port;
    if (config.mode == 3) {
        if (!config.base1_port) return 255;
        port = kComPort3;
    } else if (config.mode == 2) {
        port = (config.base2_port && lastPort_ == kComPort2) ? kComPort1 : kComPort2;
        lastPort_ = port;
    } else {
        return 255;
    }
    if (!usable(port)) return 255;
    SerialLine& line = s_.ports.line(port);

    // Only an error of the hunt's own reads locks the link; whatever an
    // earlier exchange left behind is not the hunt's.
    line.takeError();
    // Hunt for the start of a frame; what comes before it is noise. A line
    // that chatters on is left after a poll's worth of it.
    const uint64_t began = s_.clock.tickMs();
    int hunted = 0;
    auto byte = line.readByte();
    while (byte && *byte != kLF) {
        s_.trace.Trace("odbx %2.2X", *byte);
        if (++hunted >= kHuntBytes || s_.clock.tickMs() - began >= static_cast<uint64_t>(kHuntMs)) {
            byte.reset();
            break;
        }
        byte = line.readByte();
    }
    if (huntErrorLocks(line)) return 255;
    if (!byte) return 255;

    std::fill_n(s_.frame.bytes.begin(), 20, 0);
    const int result = ReadBaseFrame(port);
    if (result != 0) traceFailure(result);
    const int handled = processTaken();
    return result != 0 ? 255 : handled;
}

int BaseLink::processTaken() {
    // A frame on the disk is processed even when its answer could not be
    // written whole: the base may have heard enough to delete the report.
    if (!taken_) return 255;
    const IntakeTicket ticket = *taken_;
    taken_.reset();
    const int handled = handleFrame(nowStamp(s_.clock));
    s_.intake.processed(ticket);
    return handled;
}

int BaseLink::processStoredFrame(std::span<const uint8_t> stored, Stamp receivedAt) {
    // Only what this link could have taken: L and exactly L record bytes.
    if (stored.empty() || stored.size() != static_cast<size_t>(stored[0]) + 1 || stored[0] > kMaxRecordBytes)
        return 255;
    std::copy(stored.begin(), stored.end(), s_.frame.bytes.begin());
    return handleFrame(receivedAt);
}

std::vector<int> BaseLink::receivingPorts() const {
    const ConfigBlock& config = s_.config;
    if (config.mode == 3) return config.base1_port ? std::vector<int>{kComPort3} : std::vector<int>{};
    if (config.mode == 2)
        return config.base2_port ? std::vector<int>{kComPort1, kComPort2} : std::vector<int>{kComPort2};
    return {};
}

int BaseLink::frameCostMs() const {
    // The answer's own waits on the wire, and what the last frame took with
    // its processing, within reason: one slow disk write must not stop
    // reception for good.
    const int wire = s_.ports.pacingMs() + 10;
    return std::clamp(lastFrameCostMs_, wire, std::max(wire, TickBudget::kTickBudgetMs / 2));
}

int BaseLink::sinceLastByte(const Reception& r) const {
    const int sinceTaken = static_cast<int>(std::min<uint64_t>(s_.clock.tickMs() - r.lastByteAt, 1u << 30));
    return std::max(r.waitedMs, sinceTaken);
}

BaseLink::Taken BaseLink::takeWaiting(int port, TickBudget& budget, int& hunted) {
    SerialLine& line = s_.ports.line(port);
    Reception& r = reception_[static_cast<size_t>(port)];
    bool progress = false;
    if (!r.frame.active()) {
        // A frame is begun only when its answer still fits the budget.
        if (!budget.allows(frameCostMs())) return Taken::NoBudget;
        line.takeError();
        auto byte = line.readByteWithin(0);
        while (byte && *byte != kLF) {
            s_.trace.Trace("odbx %2.2X", *byte);
            progress = true;
            if (++hunted >= kHuntBytes || budget.spent()) {
                huntErrorLocks(line);
                return Taken::HuntCapped;
            }
            byte = line.readByteWithin(0);
        }
        if (huntErrorLocks(line)) return Taken::Nothing;
        if (!byte) return progress ? Taken::Progress : Taken::Nothing;
        r.frame.start();
        r.lastByteAt = s_.clock.tickMs();
        r.waitedMs = 0;
        progress = true;
    }
    // The frame takes what has come; a byte that comes after its time is
    // late even when it is there by the time we look.
    while (sinceLastByte(r) <= SerialLine::kReadTimeoutMs) {
        const auto byte = line.readByteWithin(0);
        if (!byte) break;
        r.lastByteAt = s_.clock.tickMs();
        r.waitedMs = 0;
        progress = true;
        const auto step = r.frame.feed(*byte);
        if (step != BaseFrameReceiver::Step::NeedByte) {
            finishFrame(port, step);
            return Taken::Progress;
        }
    }
    if (sinceLastByte(r) >= SerialLine::kReadTimeoutMs) {
        finishFrame(port, r.frame.missing());
        return Taken::Progress;
    }
    return progress ? Taken::Progress : Taken::Nothing;
}

bool BaseLink::ServeBaseLinks(TickBudget& budget) {
    std::vector<int> ports;
    for (int port : receivingPorts())
        if (usable(port)) ports.push_back(port);
    if (ports.empty()) return false;
    // With two bases the one served second last time goes first now.
    if (ports.size() == 2 && lastPort_ == ports[0]) std::swap(ports[0], ports[1]);
    lastPort_ = ports[0];

    std::array<int, kComPort4 + 1> hunted{};
    std::array<bool, kComPort4 + 1> done{};
    for (;;) {
        if (locked_) return false;
        bool progress = false;
        bool bytesWaiting = false;
        for (int port : ports) {
            if (done[static_cast<size_t>(port)]) continue;
            switch (takeWaiting(port, budget, hunted[static_cast<size_t>(port)])) {
            case Taken::Nothing: break;
            case Taken::Progress: progress = true; break;
            case Taken::HuntCapped:
                done[static_cast<size_t>(port)] = true;
                bytesWaiting = true;
                break;
            case Taken::NoBudget: return true;
            }
            if (locked_) return false;
        }
        if (bytesWaiting && !progress) return true;
        if (progress) continue;

        // Nothing more has come. Wait only for a frame that is still
        // coming, and only while its answer would still fit the budget; a
        // frame left waiting goes on when its next byte comes.
        int waitOn = -1;
        int framesComing = 0;
        for (int port : ports) {
            const Reception& r = reception_[static_cast<size_t>(port)];
            if (!r.frame.active() || done[static_cast<size_t>(port)]) continue;
            ++framesComing;
            if (waitOn < 0 || sinceLastByte(r) > sinceLastByte(reception_[static_cast<size_t>(waitOn)])) waitOn = port;
        }
        if (waitOn < 0) return bytesWaiting;
        Reception& r = reception_[static_cast<size_t>(waitOn)];
        const int forBudget = budget.remainingMs() - frameCostMs();
        if (forBudget <= 0) return bytesWaiting;
        int wait = std::min(SerialLine::kReadTimeoutMs - sinceLastByte(r), forBudget);
        // With two frames coming, neither waits long behind the other.
        if (framesComing > 1) wait = std::min(wait, kShareWaitMs);
        if (wait <= 0) continue; // its time is up: the next look says so
        const auto byte = s_.ports.line(waitOn).readByteWithin(wait);
        if (!byte) {
            r.waitedMs += wait;
            continue;
        }
        r.lastByteAt = s_.clock.tickMs();
        r.waitedMs = 0;
        const auto step = r.frame.feed(*byte);
        if (step != BaseFrameReceiver::Step::NeedByte) finishFrame(waitOn, step);
    }
}

int BaseLink::finishFrame(int port, BaseFrameReceiver::Step step) {
    Reception& r = reception_[static_cast<size_t>(port)];
    // The frame leaves its receiver before anything is handed on: a box
    // shown from processing lets the timer poll again meanwhile.
    const BaseFrameReceiver frame = r.frame;
    r.frame.reset();
    const int count = std::max(20, frame.count());
    std::copy_n(frame.bytes().begin(), count, s_.frame.bytes.begin());
    if (step == BaseFrameReceiver::Step::Failed) {
        traceFailure(frame.failure());
        return 255;
    }
    // What the frame costs is counted from before it is stored: the sync
    // and the answer's waits both come before the next frame.
    const uint64_t began = s_.clock.tickMs();
    const int answered = answerFrame(port, frame.sumRight());
    if (answered != 0) traceFailure(answered);
    const int handled = processTaken();
    const int result = answered != 0 ? 255 : handled;
    lastFrameCostMs_ = static_cast<int>(std::min<uint64_t>(s_.clock.tickMs() - began, 1000));
    return result;
}

int BaseLink::answerFrame(int port, bool accepted) {
    SerialLine& line = s_.ports.line(port);
    taken_.reset();
    if (accepted) {
        // Told "accepted", a base deletes the report from its buffer, so the
        // frame is on the disk first. One that cannot be stored gets no
        // answer at all: to a base that is a centre out of reach, and it
        // keeps the report and repeats it. A refusal would say the frame came
        // damaged, which a base may give up on after a few tries.
        taken_ = s_.intake.take(IntakeChannel::BaseFrame, port,
                                std::span<const uint8_t>(s_.frame.bytes.data(), static_cast<size_t>(s_.frame[0]) + 1));
        if (!taken_) return kNotStored;
    }
    // The waits before and inside the answer are the base's: it listens
    // for them.
    s_.clock.sleepMs(s_.ports.pacingMs());
    if (!line.writeByte(accepted ? kLF : kSO)) return accepted ? -6 : -8;
    s_.clock.sleepMs(10);
    if (!line.writeByte(kCR)) return accepted ? -7 : -9;
    return accepted ? 0 : -10;
}

int BaseLink::handleFrame(Stamp receivedAt) {
    const int length = s_.frame[0];
    if (length == 0) return 0; // link test

    Decoded decoded;
    decoded.receivedAt = receivedAt;
    if (!decodeRecords(length, decoded)) return 255;

    const Report& r = decoded.report;
    if (r.subscriber == 0xAAAA && r.subsystem == 0xAA && r.code == 0xAAA && r.sector == 0xAAA) return 0;

    if (!decoded.phone.empty()) {
        checkClock(decoded);
        checkPhone(decoded);
    }
    s_.reports.processReport(decoded.report);
    return 0;
}

void BaseLink::traceFailure(int result) {
    if (!s_.trace.enabled()) return;
    std::string line = "odb " + std::to_string(result) + " ";
    const int shown = std::min<int>(s_.frame[0], 20) + 1;
    char hex[4];
    for (int i = 0; i < shown; ++i) {
        std::snprintf(hex, sizeof hex, "%2.2X ", s_.frame[i]);
        line += hex;
    }
    s_.trace.add(line);
}

bool BaseLink::decodeRecords(int length, Decoded& d) const {
    d.report.subscriber = 0;
    d.report.path = Report::kPathSerialBase;
    d.report.flags = 0;
    d.report.sentTime = 0;
    const uint8_t* frame = s_.frame.bytes.data();
    int at = kRecordArea;
    const int end = kRecordArea + length;
    while (at < end) {
        const uint8_t type = frame[at];
        const int size = baseRecordLength(type);
        // An unknown type, or a record cut by the end of the frame, leaves
        // nothing of the frame fit to be reported.
        if (size == 0 || at + size > end) return false;
        const uint8_t* field = frame + at + 1;
        switch (type) {
        case 0x10: {
            char phone[10] = {};
            std::memcpy(phone, field, 9);
            d.phone = phone;
            break;
        }
        case 0x11:
            (void)readHexDigits(field, 1); // the qualifier means nothing to the centre
            d.report.subscriber = readSubscriberDigits(field + 1);
            break;
        case 0x12:
            d.report.subscriber = readSubscriberDigits(field);
            break;
        case 0x13:
            // A stamp that is no number is checked as if none had come.
            readTimeDigits(field, d.timeDigits);
            break;
        case 0x14:
            d.report.code = static_cast<int32_t>(readHexDigits(field, 3));
            d.report.subsystem = static_cast<int32_t>(readHexDigits(field + 3, 2));
            d.report.sector = static_cast<int32_t>(readHexDigits(field + 5, 3));
            break;
        case 0x15:
            d.report.code = static_cast<int32_t>(readHexDigits(field, 3));
            break;
        case 0x17:
            (void)readHexDigits(field, 1);
            (void)readHexDigits(field + 1, 1);
            break;
        }
        at += size;
    }
    return true;
}

void BaseLink::checkClock(const Decoded& d) {
    // The base's digits are taken as they come (no date check here, as
    // before): a stamp far from the receive time is simply a skew.
    if (auto entry = clockSkewEntry(StampFromLocal(localTimeOfDigits(d.timeDigits)), d.receivedAt))
        s_.history.logPreparedEntry(kHistoryClockSkew, *entry);
}

void BaseLink::checkPhone(const Decoded& d) {
    const auto owner = s_.phones.ownerOfPhone(d.phone);
    if (owner && *owner == d.report.subscriber) return;
    PreparedEntry entry{};
    entry[4] = 0x01;
    putLong(entry, static_cast<int32_t>(std::strtol(d.phone.c_str(), nullptr, 10)));
    s_.history.logPreparedEntry(owner ? kHistoryPhoneOfOther : kHistoryPhoneUnknown, entry);
}

int BaseLink::ReadBaseFrame(int port) {
    SerialLine& line = s_.ports.line(port);
    taken_.reset();
    // Each byte is taken as soon as it is there; a read gives up after
    // 100 ms without one.
    syncFrame_.start();
    auto step = BaseFrameReceiver::Step::NeedByte;
    while (step == BaseFrameReceiver::Step::NeedByte) {
        const auto byte = line.readByte();
        step = byte ? syncFrame_.feed(*byte) : syncFrame_.missing();
    }
    std::copy_n(syncFrame_.bytes().begin(), std::max(1, syncFrame_.count()), s_.frame.bytes.begin());
    if (step == BaseFrameReceiver::Step::Failed) return syncFrame_.failure();
    return answerFrame(port, syncFrame_.sumRight());
}

int BaseLink::SendBaseFrame(int port) {
    SerialLine& line = s_.ports.line(port);
    FrameBuffer& f = s_.frame;
    Clock& clock = s_.clock;
    const int pacing = s_.ports.pacingMs();

    const int length = f[1];
    // LF, L, the records and CR must lie inside the buffer.
    if (length > kMaxRecordBytes) return -3;

    drain(line, 101);
    uint8_t sum = 0;
    for (int i = 0; i < length + 3; ++i) {
        if (!line.writeByte(f[i])) return -1;
        sum = static_cast<uint8_t>(sum + f[i]);
        clock.sleepMs(pacing);
    }
    if (pacing < 10) clock.sleepMs(10 - pacing);
    if (!line.writeByte(sum)) return -2;
    clock.sleepMs(pacing);
    const auto answer = line.readByte();
    if (answer && (*answer == kLF || *answer == kSO)) {
        clock.sleepMs(pacing);
        const auto end = line.readByte();
        if (!end || *end != kCR) return -4;
        return *answer == kLF ? 0 : -5;
    }
    drain(line, 100);
    return (answer ? *answer : 0xFFFF) + 100;
}

int BaseLink::ForwardFrame(int port) {
    for (int attempt = 0; attempt < 3; ++attempt) {
        const int result = SendBaseFrame(port);
        if (result == 0) return 0;
        s_.trace.Trace("forw. err. %X ", static_cast<unsigned>(result));
    }
    return -1;
}

int BaseLink::putForwardFrame(FrameBuffer& f, uint16_t subscriber, bool hexSubscriber, int code,
                              int subsystem, int sector) {
    int at = 0;
    f[at++] = kLF;
    f[at++] = 15;
    f[at++] = 0x11;
    f[at++] = '2';
    putDigits(f, at, subscriber, 4, hexSubscriber ? 16 : 10);
    f[at++] = 0x14;
    putDigits(f, at, static_cast<uint32_t>(code) & 0xFFF, 3, 16);
    putDigits(f, at, static_cast<uint32_t>(subsystem) & 0xFF, 2, 16);
    putDigits(f, at, static_cast<uint32_t>(sector) & 0xFFF, 3, 16);
    f[at++] = kCR;
    return at;
}

void BaseLink::putEmptyFrame(FrameBuffer& f) {
    f[0] = kLF;
    f[1] = 0;
    f[2] = kCR;
}

void BaseLink::putFillerFrame(FrameBuffer& f) {
    int at = 0;
    f[at++] = kLF;
    f[at++] = 15;
    f[at++] = 0x11;
    for (int i = 0; i < 5; ++i) f[at++] = 'A';
    f[at++] = 0x14;
    for (int i = 0; i < 8; ++i) f[at++] = 'A';
    f[at++] = kCR;
}

} // namespace k4
