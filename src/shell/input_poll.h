#pragma once
// One poll of the inputs per timer tick: the serial base links in the modes
// that have them, within the tick's budget, then the next interface module
// of the path table.
#include "baselink/base_link.h"
#include "baselink/module_bus.h"
#include "baselink/module_paths.h"
#include "config/config_block.h"
#include "history/history_log.h"
#include "messages/messages.h"

namespace k4 {

enum : int { kHistoryNoCommunication = 3 };

class InputPoller {
public:
    static constexpr int kTickMs = 100;
    static constexpr int kSilenceLimitMs = 60000;
    // The poll's answers that mean a report was just taken from the module
    // (an extended one only from radio modules; from the others 4 is an error).
    static constexpr int kStatusReport = 1;
    static constexpr int kStatusExtendedReport = 4;
    // Polls of one path within one tick, at most.
    static constexpr int kMaxPollsPerTick = 16;

    InputPoller(const ConfigBlock& config, BaseLink& baseLink, ModuleBus& modules, ModulePaths& paths,
                HistoryLog& history, Messages& messages);

    // The base links within a fresh budget, the modules in the modes that
    // have them.
    // baseLinks false: the base links are served by a call already queued.
    void PollInputs(bool baseLinks = true);
    // Only the base links, when bytes have come between ticks: true when
    // the budget ran out with bytes still waiting.
    bool serveBaseLinks();

    int position() const { return position_; }
    int silenceMs() const { return silenceMs_; }

private:
    // The next slot from the current position holding a path, wrapping
    // from 6 to 0; -1 when none does.
    int nextExisting(int from) const;
    // Polls the path in mode 1, again while it delivers reports and the
    // tick's budget lasts; the last state.
    int pollWhileReporting(int slot);

    const ConfigBlock& config_;
    BaseLink& baseLink_;
    ModuleBus& modules_;
    ModulePaths& paths_;
    HistoryLog& history_;
    Messages& messages_;
    int position_ = 0;
    int silenceMs_ = 0;
    MessageGuard silenceGuard_;
};

} // namespace k4
