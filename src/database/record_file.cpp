#include "database/record_file.h"

#include "messages/messages.h"

#include <climits>
#include <cstring>

namespace k4 {

namespace {

bool validName(const std::string& name) {
    return !name.empty() && name.size() < static_cast<size_t>(kRecordFileNameSize) &&
           name.find('\0') == std::string::npos;
}

// A record needs room for the free-chain link, and a chain record for at
// least one byte of text besides its link.
bool validRecordSize(int recSize) { return recSize > 4 && recSize <= SHRT_MAX; }

} // namespace

RecordFile::RecordFile(DataDir dir, Messages& messages, HistorySink& history)
    : dir_(std::move(dir)), messages_(messages), history_(history) {}

RecordFile::~RecordFile() {
    if (isOpen()) Close();
}

std::string RecordFile::name() const {
    return std::string(header_.name, strnlen(header_.name, sizeof header_.name));
}

void RecordFile::forget() {
    file_.close();
    header_ = RecordFileHeader{};
    onDisk_ = header_;
}

int RecordFile::Create(const std::string& name, int recSize) {
    if (isOpen()) Close();
    if (!validName(name) || !validRecordSize(recSize)) return -1;
    RecordFileHeader fresh{};
    std::memcpy(fresh.name, name.data(), name.size());
    fresh.first_free = kNoFreeRecord;
    fresh.rec_size = static_cast<int16_t>(recSize);
    std::memset(fresh.filler, kHeaderFillerByte, sizeof fresh.filler);
    // The header goes in through a temporary file and a rename, so a crash
    // never leaves a file without its header under the name.
    const std::string path = dir_.file(name);
    if (!replaceFileDurably(path, std::string_view(reinterpret_cast<const char*>(&fresh), sizeof fresh),
                            nullptr))
        return -1;
    if (!file_.open(path, File::Mode::ReadWrite)) return -1;
    header_ = fresh;
    onDisk_ = fresh;
    return 0;
}

int RecordFile::Open(const std::string& name, int recSize) {
    if (isOpen()) Close();
    if (!validName(name)) return -1;
    if (!file_.open(dir_.file(name), File::Mode::ReadWrite)) return -1;
    RecordFileHeader stored{};
    if (!file_.readAt(0, &stored, sizeof stored) || stored.rec_size != recSize ||
        !validRecordSize(stored.rec_size) ||
        strnlen(stored.name, sizeof stored.name) == sizeof stored.name || name != stored.name) {
        forget();
        return -1;
    }
    header_ = stored;
    onDisk_ = stored;
    return 0;
}

int RecordFile::Close() {
    if (!isOpen()) return -1;
    // Every change of the free chain has written the header already; it is
    // written again here only when that write had failed.
    int result = 0;
    if (std::memcmp(&header_, &onDisk_, sizeof header_) != 0 && !writeHeader()) result = -1;
    forget();
    return result;
}

int RecordFile::OpenOrCreate(const std::string& name, int recSize) {
    if (!validName(name)) return -1;
    if (fileExists(dir_.file(name))) return Open(name, recSize) == 0 ? 0 : -1;
    return Create(name, recSize) == 0 ? 1 : -1;
}

int64_t RecordFile::length() { return isOpen() ? file_.size() : -1; }

bool RecordFile::isRecordOffset(int64_t offset) {
    const int64_t recSize = header_.rec_size;
    if (!isOpen() || recSize <= 0 || offset < kRecordFileHeaderSize) return false;
    if ((offset - kRecordFileHeaderSize) % recSize != 0) return false;
    const int64_t size = length();
    return size >= 0 && offset + recSize <= size;
}

int64_t RecordFile::recordCount() {
    const int64_t size = length();
    if (size < kRecordFileHeaderSize || header_.rec_size <= 0) return 0;
    return (size - kRecordFileHeaderSize) / header_.rec_size;
}

bool RecordFile::writeHeader() {
    if (!file_.writeAt(0, &header_, sizeof header_)) return false;
    onDisk_ = header_;
    return true;
}

bool RecordFile::readLink(int64_t at, int32_t& link) {
    Int32Le stored;
    if (!file_.readAt(at, &stored, sizeof stored)) return false;
    link = stored;
    return true;
}

void RecordFile::reportFault(int detail, const std::string& text, unsigned style) {
    const std::string stored = name();
    const int fileTag = stored.size() > 1 ? static_cast<unsigned char>(stored[1]) : 0;
    history_.LogSystemEvent(kHistoryRecordFileFault, 2, detail, fileTag, 0);
    messages_.ShowNotice(text, style);
}

int RecordFile::ReadRecord(int32_t offset, void* buffer) {
    if (offset < kRecordFileHeaderSize || !isRecordOffset(offset)) return -1;
    return file_.readAt(offset, buffer, static_cast<size_t>(header_.rec_size)) ? 0 : -1;
}

int RecordFile::ReadPart(int32_t offset, void* buffer, int fieldOffset, int length) {
    if (offset < kRecordFileHeaderSize || fieldOffset < 0 || length < 0 ||
        fieldOffset + length > header_.rec_size || !isRecordOffset(offset))
        return -1;
    return file_.readAt(int64_t(offset) + fieldOffset, buffer, static_cast<size_t>(length)) ? 0 : -1;
}

int RecordFile::ReadAt(int32_t offset, void* buffer, int length, int fieldOffset) {
    const int64_t at = int64_t(offset) + fieldOffset;
    if (!isOpen() || at < 0 || length < 0) return -1;
    return file_.readAt(at, buffer, static_cast<size_t>(length)) ? 0 : -1;
}

int RecordFile::AppendRecord(int32_t& offset, const void* data) {
    if (!isOpen()) return -1;
    const int recSize = header_.rec_size;
    if (header_.first_free != kNoFreeRecord) {
        const int32_t reused = header_.first_free;
        int32_t next = 0;
        // A head that is no record of the file, or that links to itself,
        // would make this append overwrite the header or a record in use.
        if (!isRecordOffset(reused) || !readLink(reused, next) || next == reused) return -1;
        // The header lets go of the record before the record is filled: a
        // crash in between loses one record, but the chain stays sound.
        header_.first_free = next;
        if (!writeHeader()) {
            header_.first_free = reused;
            return -1;
        }
        if (!file_.writeAt(reused, data, static_cast<size_t>(recSize))) return -1;
        offset = reused;
        return 0;
    }
    const int64_t size = length();
    if (size < kRecordFileHeaderSize) return -1;
    // A tail shorter than a record (an append cut short by a power loss) is
    // kept and padded out: the new record starts on the next whole record.
    const int64_t records = (size - kRecordFileHeaderSize + recSize - 1) / recSize;
    const int64_t at = kRecordFileHeaderSize + records * recSize;
    if (at + recSize > INT32_MAX) return -1;
    // The file takes its new length, a whole record, before the record is
    // written into it. A write that grew the file itself could be cut short
    // by a kill: the kernel ends a write between two pages when the process
    // is killed, and a record across a page boundary would leave the file
    // ending inside a record. This way a cut write leaves a whole record
    // that nothing names yet.
    if (!file_.resizeNoSync(at + recSize)) return -1;
    if (!file_.writeAt(at, data, static_cast<size_t>(recSize))) {
        file_.truncate(size); // give the space back; what stays is only unnamed
        return -1;
    }
    offset = static_cast<int32_t>(at);
    return 0;
}

int RecordFile::WriteRecord(int32_t offset, const void* data) {
    if (offset < kRecordFileHeaderSize || !isRecordOffset(offset)) return -1;
    return file_.writeAt(offset, data, static_cast<size_t>(header_.rec_size)) ? 0 : -1;
}

int RecordFile::WritePart(int32_t offset, const void* data, int fieldOffset, int length) {
    if (offset < kRecordFileHeaderSize) return -1;
    if (fieldOffset < 0 || length < 0 || fieldOffset + length > header_.rec_size ||
        !isRecordOffset(offset))
        return -2;
    if (!file_.writeAtNoSync(int64_t(offset) + fieldOffset, data, static_cast<size_t>(length))) return -3;
    if (!file_.sync()) return -4;
    return 0;
}

int RecordFile::FreeRecord(int32_t offset) {
    if (offset < kRecordFileHeaderSize || !isRecordOffset(offset)) return -1;
    // The record takes the old head first and the header names it after
    // that: a crash in between leaves the record out of the chain, never a
    // header that points at a record without its link.
    const int32_t oldHead = header_.first_free;
    const Int32Le link = oldHead;
    if (!file_.writeAt(offset, &link, sizeof link)) return -1;
    header_.first_free = offset;
    if (!writeHeader()) {
        header_.first_free = oldHead;
        return -1;
    }
    return 0;
}

} // namespace k4
