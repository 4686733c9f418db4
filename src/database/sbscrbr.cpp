#include "database/sbscrbr.h"

#include "config/config_block.h"
#include "database/database_files.h"
#include "database/subscriber_database.h"
#include "database/text_edge.h"
#include "messages/messages.h"

#include <cstring>
#include <new>

namespace k4 {

Sbscrbr::Sbscrbr(SubscriberDatabase& db) : db_(db) {
    setNewSubscriberDefaults();
    valid = true;
    unindexed = true;
}

Sbscrbr::Sbscrbr(SubscriberDatabase& db, AtOffset at) : db_(db) {
    if (at.offset != 0 && Load(at.offset) == 0) {
        valid = true;
        return;
    }
    zero();
    unindexed = true;
}

Sbscrbr::Sbscrbr(SubscriberDatabase& db, ByNumber number) : db_(db) {
    int32_t found = 0;
    const int inIndex = db_.index().FindNumber(number.number, found);
    if (inIndex == 1) {
        valid = Load(found) == 0;
        return;
    }
    if (inIndex < 0) {
        zero();
        return;
    }
    // A new subscriber: it gets its number, the centre's town and the orders
    // field in the current form, pointing at no orders set yet.
    setNewSubscriberDefaults();
    record.object = static_cast<int16_t>(number.number);
    const Uint32Le marker = kOrdersMarker;
    std::memcpy(record.orders, &marker, sizeof marker);
    const ConfigBlock& config = db_.config();
    std::memcpy(record.town, config.town, strnlen(config.town, sizeof record.town - 1));
    valid = true;
    unindexed = true;
}

RecordFile& Sbscrbr::dane() { return db_.file(DbFile::Dane); }

void Sbscrbr::zero() {
    record = SubscriberRecord{};
    offset_ = 0;
}

void Sbscrbr::setNewSubscriberDefaults() {
    zero();
    record.test_repeat1 = 1;
    record.test_repeat2 = 1;
    record.test_delay1 = 15;
    record.test_flags = 0x00F0; // both tests off, test 2 allowed 15 minutes
}

int Sbscrbr::Load(int32_t offset) {
    if (offset == 0 || dane().ReadRecord(offset, &record) != 0) {
        zero();
        return -1;
    }
    // GSM numbers were once stored with the trunk prefix "0" (or "0:"); the
    // station dials and compares them without it.
    char* gsm = record.tel_gsm;
    if (gsm[0] == '0') {
        const size_t cut = gsm[1] == ':' ? 2 : 1;
        std::memmove(gsm, gsm + cut, sizeof record.tel_gsm - cut);
        std::memset(gsm + sizeof record.tel_gsm - cut, 0, cut);
    }
    offset_ = offset;
    return 0;
}

int Sbscrbr::Save() {
    if (!valid) return -1;
    RecordFile& file = dane();
    if (offset_ == 0) {
        int32_t at = 0;
        if (file.CheckFreeHead() != 0 || file.AppendRecord(at, &record) != 0) return -1;
        offset_ = at;
        return 0;
    }
    return file.WritePart(offset_, &record, 0, kSubscriberSavedBytes) == 0 ? 0 : -1;
}

int Sbscrbr::ReadState(uint8_t block[kStateBlockSize]) {
    if (!stored()) return -1;
    return dane().ReadPart(offset_, block, kStateBlockOffset, kStateBlockSize);
}

int Sbscrbr::WriteState(const uint8_t block[kStateBlockSize]) {
    if (!stored()) return -1;
    const int result = dane().WritePart(offset_, block, kStateBlockOffset, kStateBlockSize);
    if (result == 0) std::memcpy(record.arm_state, block, kStateBlockSize);
    return result;
}

int Sbscrbr::ReadStateAt(int32_t offset, uint8_t block[kStateBlockSize]) {
    return dane().ReadPart(offset, block, kStateBlockOffset, kStateBlockSize);
}

int Sbscrbr::ReadExtra(uint8_t block[kExtraSize]) {
    if (!stored()) return -1;
    return dane().ReadPart(offset_, block, kExtraOffset, kExtraSize);
}

int Sbscrbr::WriteExtra(const uint8_t block[kExtraSize]) {
    if (!stored()) return -1;
    if (dane().WritePart(offset_, block, kExtraOffset, kExtraSize) != 0) return -1;
    std::memcpy(record.extra, block, kExtraSize);
    return 0;
}

int Sbscrbr::WriteArmMask(uint16_t mask) {
    if (!stored()) return -1;
    const Uint16Le stored = mask;
    if (dane().WritePart(offset_, &stored, kArmMaskOffset, sizeof stored) != 0) return -1;
    record.arm_mask = mask;
    return 0;
}

int Sbscrbr::WriteAlarmOpts() {
    if (!stored()) return -1;
    return dane().WritePart(offset_, &record.alarm_opts, kAlarmOptsOffset, sizeof record.alarm_opts) == 0 ? 0 : -1;
}

int Sbscrbr::ReadTracks(int32_t offset, uint8_t tracks[3]) {
    return dane().ReadPart(offset, tracks, kTracksOffset, 3);
}

int Sbscrbr::CheckTracks() {
    record.chk_tracks &= record.tracks;
    auto pathBit = [](unsigned path) -> unsigned {
        if (path == kTestPathGsmRing) return kTrackGsm;
        if (path == kTestPathEthernet) return kTrackEthernet;
        return path < 8 ? 1u << path : 0u;
    };
    bool switchedOff = false;
    const struct {
        uint8_t path;
        uint16_t active;
    } slots[] = {{record.test_track1, kTest1Active}, {record.test_track2, kTest2Active}};
    for (const auto& slot : slots) {
        if (slot.path == kNoTestPath) continue;
        if ((record.test_flags & slot.active) && !(record.tracks & pathBit(slot.path))) {
            record.test_flags &= static_cast<uint16_t>(~slot.active);
            switchedOff = true;
        }
    }
    if (switchedOff)
        db_.messages().ShowNotice(mz("\x03" "Aktywacja testów wyłączona - abonent nie podłączony do toru"),
                                  kNoticeInfo);
    return switchedOff ? 1 : 0;
}

int Sbscrbr::ReadDescription(std::string& text) {
    text.clear();
    const int32_t first = record.desc;
    if (first == 0) return 0;
    Messages& messages = db_.messages();
    OnDemandFile opis(db_.files(), DbFile::Opis, mz("\x03otwarcia pliku opisu"));
    if (!opis.ok()) return -1;
    RecordFile& file = opis.file();
    std::string last(static_cast<size_t>(file.recordSize()), '\0');
    int32_t end = first;
    const int length = file.ChainEnd(end, last.data());
    if (length < 0) {
        messages.ShowNotice(mz("\x03odczytu opisu abonenta"), kNoticeError);
        return -1;
    }
    try {
        text.resize(static_cast<size_t>(length));
    } catch (const std::bad_alloc&) {
        messages.ShowNotice(mz("\x03" "do wczytania opisu abonenta"), kNoticeMemory);
        return -1;
    }
    if (length > 0 && file.ReadChain(first, text.data(), length) != 0) {
        text.clear();
        messages.ShowNotice(mz("\x03odczytu opisu abonenta"), kNoticeError);
        return -1;
    }
    return length;
}

} // namespace k4
