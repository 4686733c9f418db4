#include "intake/intake_journal.h"

#include "platform/little_endian.h"

#include <cerrno>
#include <cstring>

namespace k4 {

namespace {

// "K4ODBIOR", the layout version, then reserved bytes.
constexpr uint8_t kHeader[IntakeJournal::kHeaderSize] = {'K', '4', 'O', 'D', 'B', 'I', 'O', 'R',
                                                         1,   0,   0,   0,   0,   0,   0,   0};
// The first byte of a record: written 'P' with the record, turned to 'D' in
// place once the report is processed.
constexpr uint8_t kWaiting = 'P';
constexpr uint8_t kDone = 'D';

// CRC-16/CCITT: a record torn by a crash in the middle of its append (never
// acknowledged, as the answer follows the sync) is told from a whole one.
uint16_t crc16(const uint8_t* data, size_t size) {
    uint16_t crc = 0xFFFF;
    for (size_t i = 0; i < size; ++i) {
        crc = static_cast<uint16_t>(crc ^ (data[i] << 8));
        for (int bit = 0; bit < 8; ++bit)
            crc = static_cast<uint16_t>(crc & 0x8000 ? (crc << 1) ^ 0x1021 : crc << 1);
    }
    return crc;
}

void put16(uint8_t* at, uint16_t v) {
    at[0] = static_cast<uint8_t>(v);
    at[1] = static_cast<uint8_t>(v >> 8);
}
uint16_t get16(const uint8_t* at) { return static_cast<uint16_t>(at[0] | at[1] << 8); }

std::vector<uint8_t> encode(IntakeChannel channel, int port, Stamp receivedAt, std::span<const uint8_t> bytes) {
    std::vector<uint8_t> record(IntakeJournal::kRecordOverhead + bytes.size());
    record[0] = kWaiting;
    record[1] = static_cast<uint8_t>(channel);
    record[2] = static_cast<uint8_t>(port);
    record[3] = 0;
    const uint32_t time = static_cast<uint32_t>(receivedAt);
    for (int i = 0; i < 4; ++i) record[4 + static_cast<size_t>(i)] = static_cast<uint8_t>(time >> (8 * i));
    put16(&record[8], static_cast<uint16_t>(bytes.size()));
    if (!bytes.empty()) std::memcpy(&record[10], bytes.data(), bytes.size());
    put16(&record[10 + bytes.size()], crc16(&record[1], 9 + bytes.size()));
    return record;
}

// The record at the start of data, or nothing when it is not whole.
std::optional<JournalRecord> decode(const uint8_t* data, size_t available, bool& done, size_t& length) {
    if (available < IntakeJournal::kRecordOverhead) return std::nullopt;
    if (data[0] != kWaiting && data[0] != kDone) return std::nullopt;
    const size_t n = get16(&data[8]);
    length = IntakeJournal::kRecordOverhead + n;
    if (available < length) return std::nullopt;
    if (get16(&data[10 + n]) != crc16(&data[1], 9 + n)) return std::nullopt;
    JournalRecord r;
    r.channel = static_cast<IntakeChannel>(data[1]);
    r.port = data[2];
    r.receivedAt = static_cast<Stamp>(static_cast<uint32_t>(data[4]) | static_cast<uint32_t>(data[5]) << 8 |
                                      static_cast<uint32_t>(data[6]) << 16 | static_cast<uint32_t>(data[7]) << 24);
    r.bytes.assign(data + 10, data + 10 + n);
    done = data[0] == kDone;
    return r;
}

} // namespace

StorageFault storageFaultOf(int errorNumber) {
    switch (errorNumber) {
    case ENOSPC:
    case EDQUOT:
    case EFBIG:
        return StorageFault::NoSpace;
    case EROFS:
    case EACCES:
    case EPERM:
        return StorageFault::ReadOnly;
    case ENOENT:
    case ENOTDIR:
    case ESTALE:
        return StorageFault::DirectoryGone;
    default:
        return StorageFault::WriteError;
    }
}

IntakeJournal::IntakeJournal(std::string directory)
    : directory_(std::move(directory)), path_(directory_ + "/" + kFileName) {}

StorageFault IntakeJournal::failure() const { return storageFaultOf(file_.errorNumber()); }

StorageFault IntakeJournal::writeFresh() {
    if (!file_.truncate(0) || !file_.writeAt(0, kHeader, sizeof kHeader)) return failure();
    end_ = kHeaderSize;
    return StorageFault::None;
}

StorageFault IntakeJournal::open(std::vector<JournalRecord>& waiting) {
    waiting.clear();
    end_ = 0;
    if (!file_.open(path_, File::Mode::ReadWriteCreate)) return failure();
    const int64_t size = file_.size();
    if (size < 0) return failure();
    std::vector<uint8_t> image(static_cast<size_t>(size));
    if (size > 0 && !file_.readAt(0, image.data(), image.size())) return failure();
    // An empty or foreign file holds no record this station wrote: what a
    // crash between creating the file and writing its header leaves.
    if (image.size() < kHeaderSize || std::memcmp(image.data(), kHeader, 8) != 0) {
        if (!image.empty()) replaceFileDurably(directory_ + "/" + kDamagedFileName,
                                               std::string_view(reinterpret_cast<const char*>(image.data()),
                                                                image.size()), nullptr);
        return writeFresh();
    }
    size_t at = kHeaderSize;
    while (at < image.size()) {
        bool done = false;
        size_t length = 0;
        auto record = decode(image.data() + at, image.size() - at, done, length);
        if (!record) break;
        record->offset = static_cast<int64_t>(at);
        if (!done) waiting.push_back(std::move(*record));
        at += length;
    }
    if (at < image.size()) {
        // A record torn by a crash during its append was never answered; a
        // damaged one in the middle may have been. Both are kept aside for
        // the technician rather than thrown away.
        replaceFileDurably(directory_ + "/" + kDamagedFileName,
                           std::string_view(reinterpret_cast<const char*>(image.data() + at), image.size() - at),
                           nullptr);
        if (!file_.truncate(static_cast<int64_t>(at))) return failure();
    }
    end_ = static_cast<int64_t>(at);
    return StorageFault::None;
}

StorageFault IntakeJournal::append(IntakeChannel channel, int port, Stamp receivedAt,
                                   std::span<const uint8_t> bytes, int64_t& offset) {
    if (!file_.isOpen()) return StorageFault::WriteError;
    if (bytes.size() > kMaxFrameBytes) return StorageFault::WriteError;
    const std::vector<uint8_t> record = encode(channel, port, receivedAt, bytes);
    if (!file_.writeAtNoSync(end_, record.data(), record.size()) || !file_.sync()) {
        // What did get written stays beyond end_: the next record goes over
        // it, and a start finds it torn and cuts it.
        return failure();
    }
    offset = end_;
    end_ += static_cast<int64_t>(record.size());
    return StorageFault::None;
}

void IntakeJournal::markDone(int64_t offset) {
    const uint8_t done = kDone;
    file_.writeAtNoSync(offset, &done, 1);
}

bool IntakeJournal::read(int64_t offset, JournalRecord& record) {
    uint8_t head[10];
    if (offset < static_cast<int64_t>(kHeaderSize) || !file_.readAt(offset, head, sizeof head)) return false;
    std::vector<uint8_t> data(kRecordOverhead + get16(&head[8]));
    if (!file_.readAt(offset, data.data(), data.size())) return false;
    bool done = false;
    size_t length = 0;
    auto decoded = decode(data.data(), data.size(), done, length);
    if (!decoded) return false;
    record = std::move(*decoded);
    record.offset = offset;
    return true;
}

StorageFault IntakeJournal::compact(std::vector<JournalRecord>& keep) {
    if (keep.empty()) return writeFresh();
    std::string image(reinterpret_cast<const char*>(kHeader), sizeof kHeader);
    std::vector<int64_t> offsets;
    for (const JournalRecord& r : keep) {
        offsets.push_back(static_cast<int64_t>(image.size()));
        const auto record = encode(r.channel, r.port, r.receivedAt, r.bytes);
        image.append(reinterpret_cast<const char*>(record.data()), record.size());
    }
    // A whole new file renamed over the old: a crash leaves one or the other.
    std::string error;
    if (!replaceFileDurably(path_, image, &error)) return storageFaultOf(errno);
    File reopened;
    if (!reopened.open(path_, File::Mode::ReadWrite)) return storageFaultOf(reopened.errorNumber());
    file_ = std::move(reopened);
    for (size_t i = 0; i < keep.size(); ++i) keep[i].offset = offsets[i];
    end_ = static_cast<int64_t>(image.size());
    return StorageFault::None;
}

StorageFault IntakeJournal::probe() {
    if (!file_.isOpen()) return StorageFault::WriteError;
    if (!file_.stillAtItsPath()) return StorageFault::DirectoryGone;
    if (!file_.writeAt(0, kHeader, sizeof kHeader)) return failure();
    return StorageFault::None;
}

} // namespace k4
