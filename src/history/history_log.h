#pragma once
// The history of the centre: the file "logf", which only ever grows by whole
// 14-byte entries after a 10-byte header, and the monthly archives copied out
// of it. One object of this class owns the open history for the whole run.
#include "history/event_line_sink.h"
#include "history/history_entry.h"
#include "platform/clock.h"
#include "platform/data_dir.h"
#include "platform/file.h"
#include "messages/messages.h"

#include <cstdint>
#include <functional>
#include <optional>
#include <string>

namespace k4 {

// Options of ExtractMonth.
enum : int {
    kExtractOperatorCopy = 0x1, // "_a".."_z" suffix: the operator's own save
    kExtractConfirmName = 0x2,  // tell the operator the name of the file
    kExtractFixedLogf = 0x4,    // the file is "logf" in the given directory
};

// Results of OpenHistory.
enum : int {
    kHistoryCurrent = 0,
    kHistoryUpgraded = 1,
    kHistoryFailed = -1,
};

// The two-digit year of file names: from 2000 on the year minus 2000.
int twoDigitYear(int year);
// "%02d_%02d" of an archive month.
std::string monthName(int year, int month);

class HistoryLog {
public:
    // receptionSuspended belongs to the station; the extraction raises it
    // while it copies, so that datagrams are not taken meanwhile.
    HistoryLog(const DataDir& dir, Messages& messages, const Clock& clock, bool& receptionSuspended);

    // The printing step of LogEvent; both stay unset until the printer is wired.
    void setEventPrinting(EventLineFormatter* formatter, EventLineSink* sink) {
        formatter_ = formatter;
        sink_ = sink;
    }

    // "logf": opens (or creates) the history of the run and keeps it open.
    // Any other name (a path, or a name in the data directory): checks the
    // file, upgrades it when it is of the previous generation, and closes it.
    // kHistoryCurrent, kHistoryUpgraded or kHistoryFailed.
    int OpenHistory(const std::string& name);
    void CloseHistory() { history_.close(); }
    bool isOpen() const { return history_.isOpen(); }

    // Appends one entry durably and prints its line. With an entry given only
    // its kind (bits 0-11) and its time are set, in the caller's entry too;
    // otherwise a system entry is built from the other arguments. 0 or -1.
    int LogEvent(int kind, HistoryEntry* entry, int value, int detail, int code, int extra, int system);
    int LogEvent(int kind, HistoryEntry& entry) { return LogEvent(kind, &entry, 0, 0, 0, 0, 0); }
    int LogEvent(int kind, int value = 0, int detail = 0, int code = 0, int extra = 0) {
        return LogEvent(kind, nullptr, value, detail, code, extra, 1);
    }

    // Every LogEvent that did not reach the disk counts here: a caller that
    // must know whether its entries were stored compares it before and after.
    uint64_t failedWrites() const { return failedWrites_; }
    // While set, entries carry this time instead of now: a report taken in
    // before a crash and processed at the next start keeps the time it came.
    void setEntryTime(std::optional<Stamp> time) { entryTime_ = time; }
    // Rewrites the header in place and syncs it: whether the open history
    // can still be written, without adding an entry. 0 or -1.
    int probeWritable();

    // Copies the entries of one month into an archive file. 0 or -1.
    int ExtractMonth(int year, int month, int options, const std::string& directory = {});

    // Removes every entry older than the stamp from "logf": the rest is
    // copied into "newlogf", the old history stays once as "ostatni.log",
    // and the copy takes the name "logf" in one rename, so a crash at any
    // point leaves "logf" either old or new. 0 or -1 ("logf" unchanged).
    int DeleteBefore(Stamp stamp);
    // Called after each durable step of DeleteBefore (1 copy synced,
    // 2 old "ostatni.log" gone, 3 old history linked as "ostatni.log",
    // 4 the copy renamed): where a crash is tried.
    void setDeleteStepHook(std::function<void(int step)> hook) { deleteStep_ = std::move(hook); }

    // The open history, for the readers of the history window.
    File& historyFile() { return history_; }
    std::string historyPath() const { return dir_.file("logf"); }
    const DataDir& dataDir() const { return dir_; }
    // The name ExtractMonth wrote last (empty before the first archive).
    const std::string& lastArchivePath() const { return lastArchive_; }

private:
    int openCurrent();
    int checkFile(File& file, const std::string& path, bool isCurrent);
    int upgrade(File& file, const std::string& path, const std::string& backupPath, bool isCurrent);
    void dropTornTail(File& file, int64_t size);
    // "Niepełny ostatni wpis historii zdarzeń (N B) został pominięty".
    void tellTornTail(int64_t bytes);
    std::string archivePath(int year, int month, int options, const std::string& directory, bool& tooMany) const;
    int copyMonth(File& archive, Stamp from, Stamp to);

    DataDir dir_;
    Messages& messages_;
    const Clock& clock_;
    bool& receptionSuspended_;
    File history_;
    EventLineFormatter* formatter_ = nullptr;
    EventLineSink* sink_ = nullptr;
    MessageGuard writeGuard_;
    std::string lastArchive_;
    uint64_t failedWrites_ = 0;
    std::optional<Stamp> entryTime_;
    std::function<void(int)> deleteStep_;
};

} // namespace k4
