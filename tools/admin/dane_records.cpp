#include "admin/dane_records.h"

#include "database/record_file_header.h"
#include "database/subscriber_record.h"
#include "platform/file.h"

#include <cstring>
#include <set>

namespace k4::admin {

namespace {

template <size_t N>
std::string text(const char (&field)[N]) {
    return std::string(field, strnlen(field, N));
}

constexpr int kRecordsPerRead = 16; // 25 KB at a time

} // namespace

bool inUseSubscriberRecords(const std::string& path, std::vector<DaneRecord>& records, std::string& error) {
    File file;
    if (!file.open(path, File::Mode::ReadOnly)) {
        error = file.errorText();
        return false;
    }
    const int64_t length = file.size();
    RecordFileHeader header;
    if (length < kRecordFileHeaderSize || !file.readAt(0, &header, sizeof header)) {
        error = "brak nagłówka pliku dane";
        return false;
    }
    const int64_t count = (length - kRecordFileHeaderSize) / kSubscriberRecordSize;
    auto isRecord = [&](int64_t offset) {
        return offset >= kRecordFileHeaderSize && (offset - kRecordFileHeaderSize) % kSubscriberRecordSize == 0 &&
               (offset - kRecordFileHeaderSize) / kSubscriberRecordSize < count;
    };
    std::set<int32_t> freeRecords;
    for (int32_t link = header.first_free; link != kNoFreeRecord && isRecord(link) && !freeRecords.count(link);) {
        freeRecords.insert(link);
        Int32Le next;
        if (!file.readAt(link, &next, sizeof next)) break;
        link = next;
    }
    records.clear();
    std::vector<SubscriberRecord> buffer(kRecordsPerRead);
    for (int64_t first = 0; first < count; first += kRecordsPerRead) {
        const int64_t n = std::min<int64_t>(kRecordsPerRead, count - first);
        const int64_t at = kRecordFileHeaderSize + first * kSubscriberRecordSize;
        if (!file.readAt(at, buffer.data(), static_cast<size_t>(n) * kSubscriberRecordSize)) {
            error = file.errorText();
            return false;
        }
        for (int64_t i = 0; i < n; ++i) {
            const auto offset = static_cast<int32_t>(at + i * kSubscriberRecordSize);
            if (freeRecords.count(offset)) continue;
            const SubscriberRecord& r = buffer[static_cast<size_t>(i)];
            DaneRecord d{offset, r.object, {}};
            d.keys.number = r.object;
            d.keys.record = offset;
            d.keys.name = text(r.name);
            d.keys.town = text(r.town);
            d.keys.address = text(r.address);
            d.keys.passwd = text(r.passwd);
            d.keys.tel = text(r.tel);
            d.keys.telGsm = text(r.tel_gsm);
            records.push_back(std::move(d));
        }
    }
    return true;
}

} // namespace k4::admin
