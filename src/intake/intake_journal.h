#pragma once
// "odbior": the journal of the frames taken in. Each record is appended and
// synced before the sender hears "accepted", marked done once its report is
// processed, and the journal is emptied whenever nothing in it waits. A
// record still waiting at the next start is processed then.
#include "intake/frame_intake.h"
#include "platform/clock.h"
#include "platform/file.h"

#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace k4 {

// Why a frame could not be stored; what the operator is told.
enum class StorageFault : uint8_t {
    None,
    NoSpace,
    ReadOnly,
    DirectoryGone,
    WriteError,
};

StorageFault storageFaultOf(int errorNumber);

struct JournalRecord {
    int64_t offset = 0;
    IntakeChannel channel = IntakeChannel::BaseFrame;
    int port = 0;
    Stamp receivedAt = 0;
    std::vector<uint8_t> bytes;
};

class IntakeJournal {
public:
    static constexpr const char* kFileName = "odbior";
    // The bytes of a damaged journal that could not be read as records.
    static constexpr const char* kDamagedFileName = "odbior.bad";
    static constexpr size_t kHeaderSize = 16;
    static constexpr size_t kRecordOverhead = 12;
    static constexpr size_t kMaxFrameBytes = 0xFFFF;

    explicit IntakeJournal(std::string directory);

    // Opens (or creates) the journal and gives the records not marked done,
    // in the order they came.
    StorageFault open(std::vector<JournalRecord>& waiting);
    void close() { file_.close(); }
    bool isOpen() const { return file_.isOpen(); }
    const std::string& path() const { return path_; }

    // Appends one record and syncs it: the only sync a frame costs.
    StorageFault append(IntakeChannel channel, int port, Stamp receivedAt, std::span<const uint8_t> bytes,
                        int64_t& offset);
    // Not synced: a mark lost with the power brings the report once more at
    // the next start, which is a duplicate, never a loss.
    void markDone(int64_t offset);
    bool read(int64_t offset, JournalRecord& record);
    // Rewrites the journal holding only the records given (none: it is just
    // emptied); their offsets are updated.
    StorageFault compact(std::vector<JournalRecord>& keep);

    // Still under its name, and the disk takes a synced write.
    StorageFault probe();
    bool stillAtItsPath() { return file_.stillAtItsPath(); }
    int64_t size() const { return end_; }

private:
    StorageFault failure() const;
    StorageFault writeFresh();

    std::string directory_;
    std::string path_;
    File file_;
    int64_t end_ = 0;
};

} // namespace k4
