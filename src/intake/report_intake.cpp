#include "intake/report_intake.h"

#include "database/stamp.h"
#include "database/text_edge.h"

#include <algorithm>

namespace k4 {

ReportIntake::ReportIntake(const DataDir& dir, const Clock& clock, Messages& messages, HistoryLog& history)
    : dir_(dir), clock_(clock), messages_(messages), history_(history), journal_(dir.path()) {}

const char* ReportIntake::faultText(StorageFault fault) {
    switch (fault) {
    case StorageFault::None: return "";
    case StorageFault::NoSpace: return "Brak miejsca na dysku - meldunki nie są przyjmowane";
    case StorageFault::ReadOnly: return "Dysk tylko do odczytu - meldunki nie są przyjmowane";
    case StorageFault::DirectoryGone:
        return "Katalog danych został usunięty - meldunki nie są przyjmowane "
               "(konieczne ponowne uruchomienie programu)";
    case StorageFault::WriteError: return "Błąd zapisu na dysku - meldunki nie są przyjmowane";
    }
    return "";
}

void ReportIntake::setHandler(IntakeChannel channel, Handler handler) {
    const auto index = static_cast<size_t>(channel);
    if (index < handlers_.size()) handlers_[index] = std::move(handler);
}

void ReportIntake::start() {
    started_ = true;
    lastProbeMs_ = clock_.tickMs();
    std::vector<JournalRecord> waiting;
    const StorageFault fault = journal_.open(waiting);
    if (fault != StorageFault::None) {
        // Nothing is accepted until the journal can be opened; the records
        // it holds wait for that moment.
        journal_.close();
        enterFault(fault);
        return;
    }
    for (JournalRecord& record : waiting) processStored(record, false);
    compactWhenIdle(true);
}

void ReportIntake::stop() {
    if (!started_) return;
    compactWhenIdle(true);
    journal_.close();
    started_ = false;
}

bool ReportIntake::lowOnSpace() const {
    const auto free = dir_.freeBytes();
    return free && *free < kReserveBytes;
}

void ReportIntake::enterFault(StorageFault fault) {
    if (fault_ != StorageFault::None) return; // the episode goes on
    fault_ = fault;
    told_ = false;
    lastProbeMs_ = clock_.tickMs();
}

std::optional<IntakeTicket> ReportIntake::take(IntakeChannel channel, int port, std::span<const uint8_t> bytes) {
    // While the disk fails nothing is tried here: the watch of the tick
    // finds out when it works again, and the sender repeats meanwhile.
    if (!started_ || fault_ != StorageFault::None) return std::nullopt;
    if (lowOnSpace()) {
        enterFault(StorageFault::NoSpace);
        return std::nullopt;
    }
    int64_t offset = 0;
    const StorageFault fault = journal_.append(channel, port, nowStamp(clock_), bytes, offset);
    if (fault != StorageFault::None) {
        enterFault(lowOnSpace() ? StorageFault::NoSpace : fault);
        return std::nullopt;
    }
    // Synced into a file nobody can find any more is not stored: the data
    // directory removed since the last tick leaves no window for a report.
    if (filesGone()) {
        journal_.markDone(offset);
        enterFault(StorageFault::DirectoryGone);
        return std::nullopt;
    }
    ++inFlight_;
    return IntakeTicket{offset, history_.failedWrites()};
}

void ReportIntake::processed(const IntakeTicket& ticket) {
    if (inFlight_ > 0) --inFlight_;
    if (history_.failedWrites() == ticket.historyFailures) {
        journal_.markDone(ticket.record);
        compactWhenIdle(false);
        return;
    }
    // Accepted, but its history entry did not reach the disk: the record
    // stays waiting in the journal, and acceptance stops until the disk works.
    Held held;
    if (!journal_.read(ticket.record, held.record)) {
        // Unreadable now, so it must not be left out of a rewritten journal.
        keepJournal_ = true;
        held.record.offset = ticket.record;
        held.retried = true;
    }
    held_.push_back(std::move(held));
    enterFault(lowOnSpace() ? StorageFault::NoSpace : StorageFault::WriteError);
}

void ReportIntake::processStored(JournalRecord& record, bool retried) {
    const auto index = static_cast<size_t>(record.channel);
    const Handler* handler = index < handlers_.size() && handlers_[index] ? &handlers_[index] : nullptr;
    if (!handler) {
        // A receiver this version does not have: the frame waits in the
        // journal for one that does.
        held_.push_back({record, true});
        return;
    }
    const uint64_t failures = history_.failedWrites();
    history_.setEntryTime(record.receivedAt);
    (*handler)(record);
    history_.setEntryTime(std::nullopt);
    if (history_.failedWrites() == failures) {
        journal_.markDone(record.offset);
        return;
    }
    held_.push_back({record, retried});
    enterFault(lowOnSpace() ? StorageFault::NoSpace : StorageFault::WriteError);
}

void ReportIntake::compactWhenIdle(bool always) {
    if (inFlight_ > 0 || keepJournal_ || !journal_.isOpen() || fault_ != StorageFault::None) return;
    if (!always && journal_.size() <= kCompactBytes) return;
    if (journal_.size() <= static_cast<int64_t>(IntakeJournal::kHeaderSize) && held_.empty()) return;
    std::vector<JournalRecord> keep;
    for (const Held& h : held_) keep.push_back(h.record);
    if (journal_.compact(keep) != StorageFault::None) return; // the old journal is still whole
    for (size_t i = 0; i < keep.size(); ++i) held_[i].record.offset = keep[i].offset;
}

bool ReportIntake::filesGone() {
    const bool journalGone = journal_.isOpen() && !journal_.stillAtItsPath();
    const bool historyGone = history_.isOpen() && !history_.historyFile().stillAtItsPath();
    return journalGone || historyGone;
}

void ReportIntake::watch() {
    if (!started_) return;
    if (fault_ == StorageFault::None) {
        // rm -r of the data directory: the open files keep taking writes
        // that no start will ever read.
        if (filesGone()) enterFault(StorageFault::DirectoryGone);
        return;
    }
    const uint64_t now = clock_.tickMs();
    if (now - lastProbeMs_ < kProbeEveryMs) return;
    lastProbeMs_ = now;
    recover();
}

bool ReportIntake::recover() {
    if (!journal_.isOpen()) {
        std::vector<JournalRecord> waiting;
        if (journal_.open(waiting) != StorageFault::None) {
            journal_.close();
            return false;
        }
        // Nothing could be accepted while it was closed; what it holds came
        // before (a start on a failing disk).
        held_.clear();
        for (JournalRecord& record : waiting) held_.push_back({std::move(record), false});
    }
    if (lowOnSpace()) return false;
    if (journal_.probe() != StorageFault::None) return false;
    if (history_.isOpen() && history_.probeWritable() != 0) return false;

    fault_ = StorageFault::None;
    // Each report held back is tried once more in this run; one that fails
    // again waits for the next start, so a disk that keeps failing cannot
    // raise its alarm over and over.
    std::vector<Held> again;
    for (auto it = held_.begin(); it != held_.end();) {
        if (!it->retried) {
            again.push_back(std::move(*it));
            it = held_.erase(it);
        } else {
            ++it;
        }
    }
    for (Held& h : again) processStored(h.record, true);
    compactWhenIdle(false);
    return fault_ == StorageFault::None;
}

void ReportIntake::tellOperator() {
    if (fault_ == StorageFault::None || told_) return;
    told_ = true;
    messages_.ShowNotice(guard_, mz(faultText(fault_)), kNoticeAlarm);
}

} // namespace k4
