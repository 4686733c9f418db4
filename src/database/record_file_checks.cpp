// The two checks that guard the free chain: before a record is freed it must
// not be free already (freeing it twice would tie the chain into a loop and
// hand the record out twice), and before an append the head of the chain
// must name a real free record. Neither repairs anything: the operator is
// told to have the database checked.
#include "database/record_file.h"

#include "database/text_edge.h"
#include "messages/messages.h"

#include <cstdio>

namespace k4 {

namespace {

const char* const kMustCheck = "KONIECZNE JEST SPRAWDZENIE BAZY!";

// Offsets are shown as the 32-bit values they are in the file.
unsigned hex32(int64_t value) { return static_cast<uint32_t>(value); }

} // namespace

int RecordFile::CheckNotFree(int32_t offset) {
    if (!isRecordOffset(offset)) {
        reportFault(1, mz("\x03" "BŁĄD USUWANIA DANYCH!"), kNoticeAlarm);
        return -1;
    }
    // The chain cannot be longer than the file has records; a walk that
    // needs more steps has run into a loop.
    int64_t steps = recordCount();
    int32_t link = header_.first_free;
    bool readFailed = false;
    while (steps > 0 && link != kNoFreeRecord) {
        if (link == offset) {
            reportFault(2, mz("\x03" "BŁĄD USUWANIA DANYCH! Zalecane sprawdzenie bazy!"), kNoticeAlarm);
            return -1;
        }
        int32_t next = 0;
        if (!isRecordOffset(link) || !readLink(link, next)) {
            readFailed = true;
            break;
        }
        link = next;
        --steps;
    }
    if (!readFailed && link == kNoFreeRecord) return 0;
    char text[160];
    std::snprintf(text, sizeof text, "\x03w odczycie pustych rekordow (%d %X id=%X). %s",
                  static_cast<int>(steps), hex32(link), hex32(offset), kMustCheck);
    reportFault(3, text, kNoticeError | kNoticeAlarm);
    return -1;
}

int RecordFile::CheckFreeHead() {
    const int32_t head = header_.first_free;
    if (head == kNoFreeRecord) return 0;
    char text[160];
    // A head below the records or off their grid is as unusable as one past
    // the end: an append there would overwrite the header or a record in use.
    if (!isRecordOffset(head)) {
        std::snprintf(text, sizeof text, "\x03w odczycie pustych rekordow (%X). %s", hex32(head), kMustCheck);
        reportFault(4, text, kNoticeError | kNoticeAlarm);
        return -1;
    }
    int32_t link = 0;
    if (!readLink(head, link)) {
        std::snprintf(text, sizeof text, "\x03odczytu danych - %X! %s", hex32(head), kMustCheck);
        reportFault(5, text, kNoticeError | kNoticeAlarm);
        return -1;
    }
    if (link == head) {
        reportFault(6, std::string("\x03Zapetlenie pustych rekordow. ") + kMustCheck, kNoticeAlarm);
        return -1;
    }
    return 0;
}

} // namespace k4
