#pragma once
// A read-only look at one record file for the technician: is its header the
// one it should be, do its records fill it, and is its free chain sound all
// the way (every link a record of the file, no loop). Nothing is written.
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace k4 {

struct RecordFileAudit {
    bool exists = false;
    int64_t records = 0;     // whole records in the file
    int64_t freeRecords = 0; // records on the free chain (as far as it is sound)
    std::vector<std::string> problems; // UTF-8, one per problem found

    int64_t inUse() const { return records - freeRecords; }
    bool sound() const { return exists && problems.empty(); }
};

RecordFileAudit AuditRecordFile(const std::string& path, std::string_view expectedName, int expectedRecordSize);
// The same over an image of the file in memory.
RecordFileAudit AuditRecordImage(std::string_view image, std::string_view expectedName, int expectedRecordSize);

} // namespace k4
