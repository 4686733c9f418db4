#include "baselink/module_poll.h"

#include "baselink/digit_fields.h"
#include "database/text_edge.h"

#include <cstring>
#include <string>
#include <vector>

namespace k4 {

namespace {

constexpr int kDiscardLimit = 100;
// The longest counted block the staging area at 180 can hold.
constexpr int kMaxCountedBlock = FrameBuffer::kSize - FrameBuffer::kStage180;
// The header the journal keeps in front of a module block.
constexpr size_t kStoredHeader = 5;

bool receiveFailed(int result) { return (result & 0xFFF0) != 0; }

} // namespace

bool isRadioKind(int kind) { return kind == 0x10 || kind == 0x40 || kind == 0xA0; }
bool isGsmKind(int kind) { return kind == 0x80 || kind == 0x90 || kind == 0xB0; }

ModulePoll::ModulePoll(const Services& services) : s_(services) {}

BlockOptions ModulePoll::options(int mode) const {
    BlockOptions o;
    o.mode = mode;
    o.testTypeAA = (s_.config.options & kOptTestTypeAA) != 0;
    o.internalConverter = (s_.config.options & kOptInternalConverter) != 0;
    o.otrNew = (s_.config.options & kOptOtrNew) != 0;
    return o;
}

uint8_t ModulePoll::extraOf(int pathType, int number) const {
    return static_cast<uint8_t>(((pathType & 0x0F) << 4) | ((number + 1) & 0x0F));
}

int ModulePoll::poll(PolledPath& path, int mode) {
    return isRadioKind(path.kind) ? pollRadio(path, mode) : pollModule(path, mode);
}

void ModulePoll::discardInput() {
    // A module that keeps talking after an error is read out, but never
    // for longer than a hundred bytes: then a technician must look at it.
    int count = 0;
    while (count < kDiscardLimit) {
        const auto byte = data().readByte();
        if (!byte) return;
        ++count;
        s_.trace.Trace("-- %X s%x ", *byte, 0u);
    }
    s_.messages.ShowNotice(checkPacketsGuard_, mz("\x03Konieczne sprawdzenie pakietów"), kNoticeInfo);
}

void ModulePoll::failure(const PolledPath& path, bool radio, int error, int status, int mode) {
    s_.trace.Trace(radio ? "ra%d:%x-%x(%x) s%x " : "pa%d:%x-%x(%x) s%x ", path.slot, static_cast<unsigned>(error),
                   static_cast<unsigned>(status), static_cast<unsigned>(mode), 0u);
    discardInput();
}

BlockGate ModulePoll::journalGate(const BlockOrigin& origin, std::optional<IntakeTicket>& ticket) {
    return [this, origin, &ticket](std::span<const uint8_t> block) {
        std::vector<uint8_t> stored;
        stored.reserve(kStoredHeader + block.size());
        stored.push_back(static_cast<uint8_t>(origin.kind));
        stored.push_back(static_cast<uint8_t>(origin.mode));
        stored.push_back(static_cast<uint8_t>(origin.status));
        stored.push_back(static_cast<uint8_t>(origin.number));
        stored.push_back(static_cast<uint8_t>(origin.pathType));
        stored.insert(stored.end(), block.begin(), block.end());
        ticket = s_.intake.take(IntakeChannel::ModuleBlock, origin.slot, stored);
        return ticket.has_value();
    };
}

void ModulePoll::processStoredBlock(const JournalRecord& record) {
    if (record.bytes.size() < kStoredHeader) return;
    const BlockOrigin origin{record.port, record.bytes[0], record.bytes[3], record.bytes[4] & 0x07,
                             record.bytes[1], record.bytes[2]};
    if (origin.slot < 0 || origin.slot >= kModuleSlots) return;
    handleBlock(origin, std::span<const uint8_t>(record.bytes).subspan(kStoredHeader), false, nullptr);
}

int ModulePoll::decodeExtended(PolledPath& path, int mode) {
    const int status = path.kind == 0xA0 ? 1 : 4;
    const BlockOrigin origin{path.slot, path.kind, path.number, path.pathType, mode, status};
    const std::vector<uint8_t> block(s_.frame.bytes.begin(),
                                     s_.frame.bytes.begin() + reportBlockLength(path.kind, status));
    return handleBlock(origin, block, false, nullptr) ? 0 : -1;
}

int ModulePoll::receiveReport(PolledPath& path, int mode, int status, int& error) {
    const BlockOrigin origin{path.slot, path.kind, path.number, path.pathType, mode, status};
    std::optional<IntakeTicket> ticket;
    const BlockGate gate = journalGate(origin, ticket);
    const int length = reportBlockLength(path.kind, status);
    const int result = length == 0 ? s_.bus.ReceiveChunkedBlock(gate) : s_.bus.ReceiveBlock(length, gate);
    bool decoded = true;
    if (ticket) {
        // On the disk and answered: whatever the rest of the exchange did,
        // the module may have forgotten it, so it is processed.
        const int received = length == 0 ? s_.bus.chunkedLength() : length;
        const std::vector<uint8_t> block(s_.frame.bytes.begin(), s_.frame.bytes.begin() + received);
        decoded = handleBlock(origin, block, true, &path);
        s_.intake.processed(*ticket);
    }
    if (result == 0x40 && s_.trace.enabled()) {
        // The block the checksum refused, kept for the technician.
        for (int part = 0; part < 5; ++part) {
            HistoryEntry entry = systemEntry(kHistoryIncomplete, 0, 0, 0, extraOf(path.pathType, path.number), true);
            std::memcpy(reinterpret_cast<uint8_t*>(&entry) + 5, s_.frame.bytes.data() + 4 * part, 4);
            entry.code2 = static_cast<uint16_t>((entry.code2 & 0xF000) | (part == 0 ? 0 : 1));
            s_.history.LogEvent(kHistoryIncomplete, entry);
        }
    }
    if (receiveFailed(result)) {
        error = result;
        return -1;
    }
    if (!decoded) {
        error = 5;
        return -1;
    }
    return 0;
}

int ModulePoll::pollRadio(PolledPath& path, int mode) {
    data().clearInput();
    if (!data().writeByte(static_cast<uint8_t>(mode))) return kPollFailed;
    const auto answer = data().readByte();
    if (!answer) {
        failure(path, true, 1, 0, mode);
        return kPollFailed;
    }
    const int status = *answer;
    int error = 0;
    switch (status) {
    case 0:
    case 6:
    case 255: break;
    case 1:
    case 4: receiveReport(path, mode, status, error); break;
    case 3:
        // The module has passed the probe order on; with the new radio
        // modules only the subscriber's own answer counts.
        if (!(s_.config.options & kOptOtrNew)) s_.paths.markProbeAnswered(path.slot, -1);
        [[fallthrough]];
    case 2:
        if (mode == kPollSendOrder && s_.bus.SendBlockFrom160(3) != 0) error = 6;
        if (mode == kPollSendLongRadio && s_.bus.SendBlockFrom160(15) != 0) error = 7;
        break;
    case 5: radioConfirmation(path, error); break;
    default: error = 9; break;
    }
    if (error != 0) {
        failure(path, true, error, status, mode);
        return kPollFailed;
    }
    return status;
}

void ModulePoll::radioConfirmation(PolledPath& path, int& error) {
    const int result = s_.bus.ReceiveBlock(5);
    if (receiveFailed(result)) {
        error = result;
        return;
    }
    uint8_t digits[4];
    std::memcpy(digits, s_.frame.bytes.data() + 1, 4);
    const int qualifier = static_cast<int>(readHexDigits(s_.frame.bytes.data(), 1));
    const int subscriber = readSubscriberDigits(digits);
    for (int base = 0; base < kBaseEntries; ++base) {
        const uint8_t radio = s_.config.bases[base].radio;
        const int module = radio >> 4;
        if ((radio & 0x0F) == qualifier && (module == 0 || module == path.number + 1)) {
            s_.links.confirmForwarding(subscriber, base, 0x20);
            return;
        }
    }
}

int ModulePoll::gsmConfirmation(PolledPath& path) {
    const uint8_t* b = s_.frame.bytes.data();
    if (path.kind == 0xB0) {
        const int result = s_.bus.ReceiveBlock(17);
        if (receiveFailed(result)) return result;
        const DecodedBlock d = decodeGprsBlock(std::span<const uint8_t>(b, 17), options(1));
        for (int base = 0; base < kBaseEntries; ++base) {
            const BaseEntry& e = s_.config.bases[base];
            if (std::memcmp(e.gprsAddress, b + 1, 4) == 0 && e.gsmParam == b[15]) {
                s_.links.confirmGprsForwarding(path.slot, d.subscriber, base, 0x40, b[6]);
                break;
            }
        }
        return 0;
    }
    const int result = s_.bus.ReceiveChunkedBlock();
    if (receiveFailed(result)) return result;
    uint8_t digits[4];
    std::memcpy(digits, b + 10, 4);
    const int subscriber = readSubscriberDigits(digits);
    std::string caller;
    for (int i = 1; i <= 9; ++i) caller += static_cast<char>(b[i] <= 9 ? '0' + b[i] : b[i]);
    for (int base = 0; base < kBaseEntries; ++base) {
        const BaseEntry& e = s_.config.bases[base];
        if (std::string(e.gsmNumber, strnlen(e.gsmNumber, sizeof e.gsmNumber)) == caller && e.gsmParam == b[15]) {
            s_.links.confirmForwarding(subscriber, base, 0x40);
            break;
        }
    }
    return 0;
}

int ModulePoll::sendStagedOrder(PolledPath& path, int& error) {
    FrameBuffer& f = s_.frame;
    switch (path.kind) {
    case 0x30:
    case 0x60:
        if (s_.bus.SendBlockFrom180(6) != 0) error = 7;
        return 0;
    case 0x90: {
        // A short order (the probe) ends its number in byte 4; a forwarded
        // alarm carries its subscriber and code in five more bytes.
        const bool shortOrder = (f[184] & 0x0F) == 0x0F;
        if (s_.bus.SendBlockFrom180(shortOrder ? 6 : 11) != 0) {
            error = shortOrder ? 8 : 9;
            return 0;
        }
        return 1;
    }
    case 0xB0:
        if (f[180] > kMaxCountedBlock || s_.bus.SendCountedBlock(f.bytes.data() + FrameBuffer::kStage180) != 0) {
            error = 10;
            return 0;
        }
        return 1;
    default: error = 1; return 0;
    }
}

void ModulePoll::lineBack(PolledPath& path) {
    const int counter = path.status & kPathFaultCounter;
    if (counter > 0) {
        path.status = static_cast<uint8_t>((path.status & ~kPathFaultCounter) | (counter - 1));
        return;
    }
    if (!(path.status & kPathFaultReported)) return;
    path.status = static_cast<uint8_t>(path.status & ~kPathFaultReported);
    s_.history.LogEvent(kHistoryLineBack, 0, 0, 0, extraOf(path.pathType, path.number));
}

void ModulePoll::lineFault(PolledPath& path, uint8_t status) {
    const int counter = path.status & kPathFaultCounter;
    if (counter < 15) {
        path.status = static_cast<uint8_t>((path.status & ~kPathFaultCounter) | (counter + 1));
        return;
    }
    if (path.status & kPathFaultReported) return;
    path.status |= kPathFaultReported;
    HistoryEntry entry = systemEntry(kHistoryLineFault, 0, 0, 0, extraOf(path.pathType, path.number), true);
    entry.code2 = static_cast<uint16_t>((entry.code2 & 0xF000) | status);
    s_.history.LogEvent(kHistoryLineFault, entry);
    if (isGsmKind(path.kind)) {
        // A GSM module loses its network for a moment now and then; the
        // operator hears of it only if it is still gone after the delay.
        s_.scheduler.schedule(s_.config.no_line_delay, path.slot, kSchedTest, 1);
        return;
    }
    showLineFault(path);
}

void ModulePoll::showLineFault(const PolledPath& path) {
    s_.links.wakeScreen();
    char text[96];
    std::snprintf(text, sizeof text, "\x03" "Brak linii telef. w pakiecie %s%d", s_.pathTypes[path.pathType].name,
                  path.number + 1);
    s_.messages.ShowNotice(lineFaultGuard_, mz(text), kNoticeAlarm);
}

void ModulePoll::lineFaultAlert(const PolledPath& path) {
    if ((path.kind == 0x80 || path.kind == 0x90) && (path.status & kPathFaultReported)) showLineFault(path);
}

int ModulePoll::pollModule(PolledPath& path, int mode) {
    data().clearInput();
    if (!data().writeByte(static_cast<uint8_t>(mode))) return kPollFailed;
    const auto answer = data().readByte();
    if (!answer) {
        s_.trace.Trace("ga%d: (%x) s%x ", path.slot, static_cast<unsigned>(mode), 0u);
        discardInput();
        return kPollFailed;
    }
    const int status = *answer & 0x0F;
    int error = 0;
    bool again = false;
    switch (status) {
    case 0:
        if (mode == kPollNormal) lineBack(path);
        break;
    case 1: receiveReport(path, mode, status, error); break;
    case 2:
        if (mode != kPollSendOrder) error = 2;
        else again = sendStagedOrder(path, error) != 0;
        break;
    case 3:
        if (mode == kPollSendOrder) again = sendStagedOrder(path, error) != 0;
        break;
    case 5:
    case 9:
        if (isGsmKind(path.kind)) error = gsmConfirmation(path);
        else error = 3; // no confirmation comes over this kind of module
        break;
    case 6: again = mode != kPollNormal; break;
    case 7:
    case 8: break;
    case 15: lineFault(path, *answer); break;
    default: error = 3; break;
    }
    if (error != 0) {
        failure(path, false, error, status, mode);
        return kPollFailed;
    }
    // Once more with a normal poll, for what the module has after the order;
    // never deeper, whatever the module answers then.
    if (again && depth_ == 0) {
        ++depth_;
        pollModule(path, kPollNormal);
        --depth_;
    }
    return status;
}

} // namespace k4
