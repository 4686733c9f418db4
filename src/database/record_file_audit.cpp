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

int32_t linkAt(std::string_view image, int64_t at) {
    Int32Le link;
    std::memcpy(&link, image.data() + at, sizeof link);
    return link;
}

} // namespace

RecordFileAudit AuditRecordImage(std::string_view image, std::string_view expectedName, int expectedRecordSize) {
    RecordFileAudit audit;
    audit.exists = true;
    if (image.size() < static_cast<size_t>(kRecordFileHeaderSize)) {
        audit.problems.push_back(format("nagłówek niepełny (%lld B z 32)", static_cast<long long>(image.size())));
        return audit;
    }
    RecordFileHeader header;
    std::memcpy(&header, image.data(), sizeof header);
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
    const int64_t length = static_cast<int64_t>(image.size());
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
        at = linkAt(image, at);
    }
    return audit;
}

RecordFileAudit AuditRecordFile(const std::string& path, std::string_view expectedName, int expectedRecordSize) {
    if (!fileExists(path)) {
        RecordFileAudit missing;
        missing.problems.push_back("brak pliku");
        return missing;
    }
    std::string image;
    std::string error;
    if (!readWholeFile(path, image, &error)) {
        RecordFileAudit unreadable;
        unreadable.exists = true;
        unreadable.problems.push_back("nie można odczytać pliku: " + error);
        return unreadable;
    }
    return AuditRecordImage(image, expectedName, expectedRecordSize);
}

} // namespace k4
