#include "operators/operator_list.h"

#include "platform/file.h"

#include <cstdio>
#include <cstring>

namespace k4 {

namespace {

constexpr const char* kFileName = "operator";
constexpr const char* kOlderName = "operator.old";
constexpr int kOlderRecordSize = 42;
constexpr int kOlderCount = 16;

struct FileHeader {
    Int32Le reserved; // -1
    Int16Le counter;
    Int16Le recSize;
    Int16Le count;
};
static_assert(sizeof(FileHeader) == 10);

FileHeader headerOf(const std::string& bytes) {
    FileHeader header;
    std::memcpy(&header, bytes.data(), sizeof header);
    return header;
}

// The code of a field is the text of its first 10 bytes, up to a NUL: an
// older-layout code of full length carries the surname's first byte in its
// 11th. The comparison never stops at the first difference.
bool sameText(const uint8_t* field, const uint8_t* typed) {
    uint8_t diff = 0;
    bool ended = false;
    for (int i = 0; i < kOperatorCodeLimit; ++i) {
        const uint8_t f = ended ? 0 : field[i];
        diff = static_cast<uint8_t>(diff | (f ^ typed[i]));
        ended = ended || field[i] == 0;
    }
    return diff == 0;
}

} // namespace

bool SOperatLst::Load() {
    loaded_ = false;
    count_ = 0;
    counter_ = -1;
    std::memset(records_, 0, sizeof records_);
    const std::string path = dir_.file(kFileName);
    if (!fileExists(path)) {
        std::string fresh(kOperatorFileSize, '\0');
        FileHeader header;
        header.reserved = -1;
        header.counter = -1;
        header.recSize = kOperatorRecordSize;
        header.count = kOperatorCapacity;
        std::memcpy(fresh.data(), &header, sizeof header);
        if (!replaceFileDurably(path, fresh, nullptr)) return false;
    }
    std::string bytes;
    if (!readWholeFile(path, bytes, nullptr) || bytes.size() < sizeof(FileHeader)) return false;
    const FileHeader header = headerOf(bytes);
    if (header.recSize != kOperatorRecordSize || header.count != kOperatorCapacity) {
        if (header.recSize == kOlderRecordSize && header.count == kOlderCount &&
            bytes.size() >= size_t(10 + kOlderRecordSize * kOlderCount))
            return convertOlderLayout(bytes);
        return false;
    }
    if (bytes.size() < size_t(kOperatorFileSize)) return false; // short: damaged, left as it is
    std::memcpy(records_, bytes.data() + 10, sizeof records_);
    counter_ = header.counter;
    recount();
    loaded_ = true;
    return true;
}

bool SOperatLst::convertOlderLayout(const std::string& older) {
    const std::string path = dir_.file(kFileName);
    const std::string oldPath = dir_.file(kOlderName);
    std::remove(oldPath.c_str());
    if (!renameDurably(path, oldPath, nullptr)) return false;
    for (int i = 0; i < kOlderCount; ++i) {
        const auto* rec = reinterpret_cast<const uint8_t*>(older.data()) + 10 + i * kOlderRecordSize;
        const int16_t number = static_cast<int16_t>(rec[40] | (rec[41] << 8));
        if (number == 0) break;
        OperatorRecord& to = records_[i];
        // The old code field was 10 bytes; the byte after it (the surname's
        // first) comes along into the 11-byte scrambled field, as it always did.
        std::memcpy(to.code, rec, kCodeFieldSize);
        scrambleCode(to.code);
        std::memcpy(to.surname, rec + 10, 30);
        to.surname[29] = '\0';
        to.number = number;
    }
    counter_ = headerOf(older).counter;
    loaded_ = true;
    if (Save() != 0) {
        // The old file goes back under its name: nothing is lost.
        renameDurably(oldPath, path, nullptr);
        loaded_ = false;
        std::memset(records_, 0, sizeof records_);
        return false;
    }
    std::remove(oldPath.c_str());
    recount();
    return true;
}

void SOperatLst::recount() {
    count_ = 0;
    while (count_ < kOperatorCapacity && records_[count_].number != 0) ++count_;
}

int SOperatLst::Append(const OperatorRecord& record) {
    if (count_ >= kOperatorCapacity) return -1;
    records_[count_++] = record;
    return 0;
}

int SOperatLst::Remove(int at) {
    if (at < 0 || at >= count_) return -1;
    std::memmove(&records_[at], &records_[at + 1], sizeof(OperatorRecord) * size_t(count_ - at - 1));
    std::memset(&records_[count_ - 1], 0, sizeof(OperatorRecord));
    --count_;
    return 0;
}

int SOperatLst::Save() {
    if (!loaded_) return -1;
    std::string bytes(kOperatorFileSize, '\0');
    FileHeader header;
    header.reserved = -1;
    header.counter = counter_;
    header.recSize = kOperatorRecordSize;
    header.count = kOperatorCapacity;
    std::memcpy(bytes.data(), &header, sizeof header);
    std::memcpy(bytes.data() + 10, records_, sizeof records_);
    return replaceFileDurably(dir_.file(kFileName), bytes, nullptr) ? 0 : -1;
}

int SOperatLst::lastIssued() const { return counter_ < 0 && counter_ >= -2 ? 0 : counter_; }

int SOperatLst::issueOperatorNumber(OperatorRecord* record, int value) {
    const std::string path = dir_.file(kFileName);
    std::string bytes;
    if (!readWholeFile(path, bytes, nullptr) || bytes.size() < size_t(kOperatorFileSize)) return -1;
    FileHeader header = headerOf(bytes);
    if (header.recSize != kOperatorRecordSize || header.count != kOperatorCapacity) return -1;
    int16_t stored = header.counter;
    if (stored == -1 || stored == -2) stored = 0;
    const int16_t next = record ? static_cast<int16_t>(stored + 1) : static_cast<int16_t>(value);
    header.counter = next;
    std::memcpy(bytes.data(), &header, sizeof header);
    if (!replaceFileDurably(path, bytes, nullptr)) return -1;
    counter_ = next;
    if (record) record->number = next;
    return 0;
}

std::optional<std::string> SOperatLst::surnameOf(int operatorNumber) {
    if (operatorNumber == 0) return std::nullopt;
    for (int i = 0; i < count_; ++i)
        if (records_[i].number == operatorNumber)
            return std::string(records_[i].surname, strnlen(records_[i].surname, sizeof records_[i].surname));
    return std::nullopt;
}

int findOperatorByCode(const SOperatLst& list, std::string_view typed) {
    const int at = operatorIndexByCode(list, typed);
    return at < 0 ? -1 : int(list.Item(at).number);
}

int operatorIndexByCode(const SOperatLst& list, std::string_view typed, int skip) {
    if (typed.empty()) return -1;
    // The typed text as a field; a text longer than a code can hold never
    // equals one.
    uint8_t field[kCodeFieldSize] = {};
    const size_t n = typed.size() < size_t(kOperatorCodeLimit) ? typed.size() : size_t(kOperatorCodeLimit);
    std::memcpy(field, typed.data(), n);
    const bool tooLong = typed.size() > size_t(kOperatorCodeLimit);
    int found = -1;
    for (int i = 0; i < kOperatorCapacity; ++i) {
        const OperatorRecord& r = list.Item(i);
        uint8_t plain[kCodeFieldSize];
        std::memcpy(plain, r.code, kCodeFieldSize);
        unscrambleCode(plain);
        const bool match = !tooLong && (sameText(r.code, field) | sameText(plain, field)) && r.number != 0 && i != skip;
        // The first match wins; the loop goes on either way.
        const bool take = match && found == -1;
        found = take ? i : found;
    }
    return found;
}

} // namespace k4
