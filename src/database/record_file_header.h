#pragma once
// The 32-byte header at the start of every record file.
#include "platform/little_endian.h"

#include <cstddef>
#include <cstdint>

namespace k4 {

constexpr int kRecordFileHeaderSize = 32;
constexpr int kRecordFileNameSize = 13; // 12 characters and the NUL
constexpr int32_t kNoFreeRecord = -1;
constexpr uint8_t kHeaderFillerByte = 0x77; // "w", written at creation, never checked

struct RecordFileHeader {
    uint8_t reserved[4];          // not interpreted
    char name[kRecordFileNameSize]; // the name the file was created under
    Int32Le first_free;           // head of the free chain, -1 none
    Int16Le rec_size;
    uint8_t filler[9];
};
static_assert(sizeof(RecordFileHeader) == kRecordFileHeaderSize);
static_assert(offsetof(RecordFileHeader, name) == 4);
static_assert(offsetof(RecordFileHeader, first_free) == 17);
static_assert(offsetof(RecordFileHeader, rec_size) == 21);
static_assert(offsetof(RecordFileHeader, filler) == 23);

} // namespace k4
