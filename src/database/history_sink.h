#pragma once
// Where the database writes its system entries in the history: the
// consistency errors of the record files (kind 55) and the deletion of a
// subscriber (kinds 25 and 70). The station wires the history writer in; the
// database knows nothing more of the history than this one call.
namespace k4 {

// History kinds written by the database.
enum : int {
    kHistorySubscriberDeleted = 25,      // deleted with its index entries
    kHistoryRecordFileFault = 55,        // a record file found inconsistent
    kHistorySubscriberDeletedKeptIndex = 70,
};

class HistorySink {
public:
    virtual ~HistorySink() = default;
    // A system entry built from its fields, as the history log builds it;
    // 0 or -1. The history shows its own message when it cannot write.
    virtual int LogSystemEvent(int kind, int value, int detail, int code, int extra) = 0;
};

} // namespace k4
