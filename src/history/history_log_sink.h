#pragma once
// The database writes its system entries (consistency errors of the record
// files, deleted subscribers) through this into the station's history.
#include "database/history_sink.h"
#include "history/history_log.h"

namespace k4 {

class HistoryLogSink final : public HistorySink {
public:
    explicit HistoryLogSink(HistoryLog& history) : history_(history) {}
    int LogSystemEvent(int kind, int value, int detail, int code, int extra) override {
        return history_.LogEvent(kind, nullptr, value, detail, code, extra, 1);
    }

private:
    HistoryLog& history_;
};

} // namespace k4
