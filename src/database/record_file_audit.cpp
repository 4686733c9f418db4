#include "database/record_file_audit.h"

#include "database/record_file_header.h"
#include "platform/file.h"

#include <cstdio>
#include <cstring>

namespace k4 {

namespace {

std::string format(const char* pattern, long long a, long long b = 0) {
    char text[160];
    std::snprintf(text, sizeof text, pattern, a, b);
    return text;
}

} // namespace

namespace {

// The audit over any way of reading the file: an image in memory, or the
// file itself read a few bytes at a time (a file of 10 000 subscribers is
// 15 MB, of which the audit needs the header and the free links).
template <typename ReadAt>
RecordFileAudit audit(int64_t length, ReadAt readAt, std::string_view expectedName, int expectedRecordSize) {
    RecordFileAudit audit;
    audit.exists = true;
    if (length < kRecordFileHeaderSize) {
        audit.problems.push_back(format("nagłówek niepełny (%lld B z 32)", static_cast<long long>(length)));
        return audit;
    }
    RecordFileHeader header;
    if (!readAt(0, &header, sizeof header)) {
        audit.problems.push_back("nie można odczytać nagłówka");
        return audit;
    }
    const size_t nameLength = strnlen(header.name, sizeof header.name);
    const std::string storedName(header.name, nameLength);
    if (nameLength == sizeof header.name || storedName != expectedName)
        audit.problems.push_back("nagłówek z inną nazwą pliku: \"" + storedName + "\"");
    const int recSize = header.rec_size;
    if (recSize != expectedRecordSize) {
        audit.problems.push_back(format("nagłówek z innym rozmiarem rekordu: %lld (powinno być %lld)", recSize,
                                        expectedRecordSize));
        return audit; // nothing past the header can be read without the size
    }
    audit.records = (length - kRecordFileHeaderSize) / recSize;
    const int64_t tail = (length - kRecordFileHeaderSize) % recSize;
    if (tail != 0)
        audit.problems.push_back(format("niepełny ostatni rekord: %lld B ponad całe rekordy", tail));

    auto isRecord = [&](int64_t at) {
        return at >= kRecordFileHeaderSize && (at - kRecordFileHeaderSize) % recSize == 0 && at + recSize <= length;
    };
    std::vector<bool> seen(static_cast<size_t>(audit.records), false);
    int64_t at = header.first_free;
    int64_t from = -1; // the record whose link led here, -1 for the header
    while (at != kNoFreeRecord) {
        if (!isRecord(at)) {
            if (from < 0)
                audit.problems.push_back(format("początek łańcucha wolnych rekordów nie wskazuje rekordu pliku (%llX)", at));
            else
                audit.problems.push_back(
                    format("łącze wolnego rekordu %llX nie wskazuje rekordu pliku (%llX)", from, at));
            break;
        }
        const size_t index = static_cast<size_t>((at - kRecordFileHeaderSize) / recSize);
        if (seen[index]) {
            audit.problems.push_back(format("pętla w łańcuchu wolnych rekordów (rekord %llX)", at));
            break;
        }
        seen[index] = true;
        ++audit.freeRecords;
        from = at;
        Int32Le link;
        if (!readAt(at, &link, sizeof link)) {
            audit.problems.push_back(format("nie można odczytać rekordu %llX", at));
            break;
        }
        at = link;
    }
    return audit;
}

} // namespace

RecordFileAudit AuditRecordImage(std::string_view image, std::string_view expectedName, int expectedRecordSize) {
    return audit(
        static_cast<int64_t>(image.size()),
        [&](int64_t at, void* data, size_t size) {
            if (at < 0 || static_cast<size_t>(at) + size > image.size()) return false;
            std::memcpy(data, image.data() + at, size);
            return true;
        },
        expectedName, expectedRecordSize);
}

RecordFileAudit AuditRecordFile(const std::string& path, std::string_view expectedName, int expectedRecordSize) {
    if (!fileExists(path)) {
        RecordFileAudit missing;
        missing.problems.push_back("brak pliku");
        return missing;
    }
    File file;
    const int64_t length = file.open(path, File::Mode::ReadOnly) ? file.size() : -1;
    if (length < 0) {
        RecordFileAudit unreadable;
        unreadable.exists = true;
        unreadable.problems.push_back("nie można odczytać pliku: " + file.errorText());
        return unreadable;
    }
    return audit(
        length, [&](int64_t at, void* data, size_t size) { return file.readAt(at, data, size); }, expectedName,
        expectedRecordSize);
}

} // namespace k4
