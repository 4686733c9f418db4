#pragma once
// The intake of the station: every receiver's frames go through it before
// they are accepted. It keeps the journal, stops acceptance while the disk
// cannot store a report (full, read-only, removed, failing) and tells the
// operator once per such episode, resumes by itself when the disk works
// again, and at start-up processes what a crash left unprocessed.
#include "history/history_log.h"
#include "intake/frame_intake.h"
#include "intake/intake_journal.h"
#include "messages/messages.h"
#include "platform/clock.h"
#include "platform/data_dir.h"

#include <array>
#include <functional>
#include <vector>

namespace k4 {

class ReportIntake final : public FrameIntake {
public:
    // Processes the report of a stored frame; its history entries carry the
    // time the frame came.
    using Handler = std::function<void(const JournalRecord& frame)>;

    // Free space kept for what the station writes besides reports (the
    // queue file, the configuration, the history of the frames taken).
    static constexpr uint64_t kReserveBytes = 256 * 1024;
    // The journal is emptied when nothing in it waits and it has grown past this.
    static constexpr int64_t kCompactBytes = 64 * 1024;
    static constexpr uint64_t kProbeEveryMs = 1000;

    ReportIntake(const DataDir& dir, const Clock& clock, Messages& messages, HistoryLog& history);

    void setHandler(IntakeChannel channel, Handler handler);

    // Opens the journal and processes the frames the last run took in and
    // did not process. After the history and the database are open.
    void start();
    void stop();

    std::optional<IntakeTicket> take(IntakeChannel channel, int port, std::span<const uint8_t> bytes) override;
    void processed(const IntakeTicket& ticket) override;

    // Every tick, before the inputs: a data directory removed under the
    // station stops acceptance at once; while stopped, the disk is tried
    // once a second and acceptance resumes when it works.
    void watch();
    // Every tick, after the inputs: the operator hears of a new episode.
    void tellOperator();

    bool accepting() const { return fault_ == StorageFault::None; }
    StorageFault fault() const { return fault_; }
    // Frames accepted whose report did not reach the history yet.
    int heldCount() const { return static_cast<int>(held_.size()); }
    const IntakeJournal& journal() const { return journal_; }

    // The text of the operator's box for a fault (UTF-8).
    static const char* faultText(StorageFault fault);

private:
    void enterFault(StorageFault fault);
    bool recover();
    void processStored(JournalRecord& record, bool retried);
    void compactWhenIdle(bool always);
    bool lowOnSpace() const;
    // The journal or the history no longer under its name.
    bool filesGone();

    DataDir dir_;
    const Clock& clock_;
    Messages& messages_;
    HistoryLog& history_;
    IntakeJournal journal_;
    std::array<Handler, 5> handlers_{};
    bool started_ = false;
    bool keepJournal_ = false; // a held record could not be read back
    int inFlight_ = 0;
    // Accepted, processed, but their history entry failed: tried again once
    // when the disk works, else processed at the next start.
    struct Held {
        JournalRecord record;
        bool retried = false;
    };
    std::vector<Held> held_;
    StorageFault fault_ = StorageFault::None;
    bool told_ = true;
    uint64_t lastProbeMs_ = 0;
    MessageGuard guard_;
};

} // namespace k4
