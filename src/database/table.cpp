#include "database/table.h"

#include "platform/file.h"
#include "platform/little_endian.h"

#include <algorithm>
#include <cstring>

namespace k4 {

namespace {

struct TableHeader {
    Int32Le reserved1; // -1
    Int16Le reserved2; // -1
    Int16Le rec_size;
    Int16Le count;
};
static_assert(sizeof(TableHeader) == kTableHeaderSize);

TableHeader headerFor(int recSize, int count) {
    TableHeader header;
    header.reserved1 = -1;
    header.reserved2 = -1;
    header.rec_size = static_cast<int16_t>(recSize);
    header.count = static_cast<int16_t>(count);
    return header;
}

bool sane(int recSize, int count) { return recSize > 0 && recSize <= 0x7FFF && count > 0 && count <= 0x7FFF; }

} // namespace

bool Table::headerOf(const std::string& name, int& recSize, int& count) {
    File file;
    TableHeader header;
    if (!file.open(dir_.file(name), File::Mode::ReadOnly) || !file.readAt(0, &header, sizeof header))
        return false;
    recSize = header.rec_size;
    count = header.count;
    return true;
}

int Table::Load(const std::string& name, int recSize, int count) {
    if (!array_ || !sane(recSize, count)) return -1;
    const std::string path = dir_.file(name);
    const size_t body = static_cast<size_t>(recSize) * static_cast<size_t>(count);
    if (!fileExists(path)) {
        std::string fresh(kTableHeaderSize + body, '\0');
        const TableHeader header = headerFor(recSize, count);
        std::memcpy(fresh.data(), &header, sizeof header);
        if (!replaceFileDurably(path, fresh, nullptr)) return -1;
    }
    std::string bytes;
    if (!readWholeFile(path, bytes, nullptr) || bytes.size() < kTableHeaderSize + body) return -1;
    TableHeader header;
    std::memcpy(&header, bytes.data(), sizeof header);
    if (header.rec_size != recSize || header.count != count) return -1;
    std::memcpy(array_, bytes.data() + kTableHeaderSize, body);
    return 0;
}

int Table::Save(const std::string& name, int recSize, int count) {
    if (!array_ || !sane(recSize, count)) return -1;
    int storedSize = 0, storedCount = 0;
    if (!headerOf(name, storedSize, storedCount) || storedSize != recSize || storedCount != count) return -1;
    const size_t body = static_cast<size_t>(recSize) * static_cast<size_t>(count);
    std::string bytes(kTableHeaderSize + body, '\0');
    const TableHeader header = headerFor(recSize, count);
    std::memcpy(bytes.data(), &header, sizeof header);
    std::memcpy(bytes.data() + kTableHeaderSize, array_, body);
    // The whole table is replaced in one step: a crash leaves the old table
    // or the new one.
    return replaceFileDurably(dir_.file(name), bytes, nullptr) ? 0 : -1;
}

int Table::WriteOne(const std::string& name, int index, const void* record) {
    if (!array_) return -1;
    File file;
    TableHeader header;
    if (!file.open(dir_.file(name), File::Mode::ReadWrite) || !file.readAt(0, &header, sizeof header))
        return -1;
    const int recSize = header.rec_size;
    if (!sane(recSize, header.count) || index < 0 || index >= header.count) return -1;
    const int64_t at = kTableHeaderSize + int64_t(index) * recSize;
    if (file.size() < at + recSize) return -1;
    uint8_t* slot = array_ + static_cast<size_t>(index) * static_cast<size_t>(recSize);
    if (slot != record) std::memmove(slot, record, static_cast<size_t>(recSize));
    return file.writeAt(at, slot, static_cast<size_t>(recSize)) ? 0 : -1;
}

int Table::ClearOne(const std::string& name, int index) {
    int recSize = 0, count = 0;
    if (!headerOf(name, recSize, count) || !sane(recSize, count) || index < 0 || index >= count) return -1;
    std::string zeros(static_cast<size_t>(recSize), '\0');
    return WriteOne(name, index, zeros.data());
}

TableList::TableList(DataDir dir, Messages& messages, void* array, int recSize, int count, UsedRule used)
    : table_(std::move(dir), array), used_(messages, 256), recSize_(recSize), count_(count),
      isUsed_(std::move(used)) {
    if (!isUsed_) {
        const int size = recSize_;
        isUsed_ = [size](const uint8_t* r) { return std::any_of(r, r + size, [](uint8_t b) { return b != 0; }); };
    }
}

int TableList::Rebuild() {
    used_.Clear();
    for (int i = 0; i < count_; ++i)
        if (isUsed_(record(i)) && used_.Add(static_cast<int16_t>(i)) != 0) return -1;
    return 0;
}

} // namespace k4
