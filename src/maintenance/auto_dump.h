#pragma once
// The nightly dump: every night at 00:30 the database goes into the
// directory of the weekday ("Nie", "Pon", "Wto", "Sro", "Czw", "Pia",
// "Sob") inside the dump directory, with the month's history so far as
// "logf"; on the first day of a month the finished month also gets its own
// directory "YYYY_MM" with the database and that month's history archive.
// The weekday directories are overwritten week after week, so the dump
// always holds the last seven nights.
#include "config/config_block.h"
#include "history/history_log.h"
#include "maintenance/database_backup.h"
#include "messages/messages.h"
#include "platform/clock.h"
#include "processing/scheduler.h"

#include <string>

namespace k4 {

// The plain-ASCII day names, Sunday first.
const char* dumpDayName(int weekday);
// "%04d_%02d".
std::string dumpMonthName(int year, int month);

// The moment of the next dump after now: tomorrow at 00:30:00 local time.
int64_t nextDumpTime(int64_t unixNow);

class AutoDump {
public:
    AutoDump(const ConfigBlock& config, const Clock& clock, Messages& messages, Scheduler& scheduler,
             HistoryLog& history, DatabaseBackup& backup);

    // Registers the handler of the dump's scheduler entries.
    void install();
    // scheduleOnly: (re)schedules the next dump (disabling: only cancels
    // it). Otherwise the scheduled run: the next night scheduled, then the
    // dump made now. 0 or -1.
    int run(bool scheduleOnly, bool disabling);
    // The dump directory of the configuration, as a path (relative ones in
    // the data directory); empty when none is set.
    std::string dumpDirectory() const;

private:
    int dumpNow();
    int dumpInto(const std::string& directory, int year, int month, int options);

    const ConfigBlock& config_;
    const Clock& clock_;
    Messages& messages_;
    Scheduler& scheduler_;
    HistoryLog& history_;
    DatabaseBackup& backup_;
};

} // namespace k4
