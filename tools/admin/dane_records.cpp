#include "admin/dane_records.h"

#include "database/record_file_header.h"
#include "database/subscriber_record.h"
#include "platform/file.h"

#include <set>

namespace k4::admin {

namespace {
int32_t int32At(const std::string& bytes, size_t at) {
    uint32_t v = 0;
    for (int i = 3; i >= 0; --i) v = (v << 8) | static_cast<uint8_t>(bytes[at + static_cast<size_t>(i)]);
    return static_cast<int32_t>(v);
}
} // namespace

bool inUseSubscriberRecords(const std::string& path, std::vector<DaneRecord>& records, std::string& error) {
    std::string bytes;
    if (!readWholeFile(path, bytes, &error)) return false;
    if (bytes.size() < static_cast<size_t>(kRecordFileHeaderSize)) {
        error = "brak nagłówka pliku dane";
        return false;
    }
    const int64_t count = (static_cast<int64_t>(bytes.size()) - kRecordFileHeaderSize) / kSubscriberRecordSize;
    auto isRecord = [&](int64_t offset) {
        return offset >= kRecordFileHeaderSize && (offset - kRecordFileHeaderSize) % kSubscriberRecordSize == 0 &&
               (offset - kRecordFileHeaderSize) / kSubscriberRecordSize < count;
    };
    std::set<int32_t> freeRecords;
    for (int32_t link = int32At(bytes, 17); link != kNoFreeRecord && isRecord(link) && !freeRecords.count(link);
         link = int32At(bytes, static_cast<size_t>(link)))
        freeRecords.insert(link);
    records.clear();
    for (int64_t i = 0; i < count; ++i) {
        const auto offset = static_cast<int32_t>(kRecordFileHeaderSize + i * kSubscriberRecordSize);
        if (freeRecords.count(offset)) continue;
        const auto at = static_cast<size_t>(offset) + 4;
        const auto number = static_cast<int16_t>(static_cast<uint8_t>(bytes[at]) | static_cast<uint8_t>(bytes[at + 1]) << 8);
        records.push_back({offset, number});
    }
    return true;
}

} // namespace k4::admin
