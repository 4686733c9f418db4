#include "processing/blockade_setting.h"

#include "database/text_edge.h"
#include "processing/block_lst.h"
#include "processing/scheduler.h"
#include "processing/scheduler_entry.h"
#include "messages/messages.h"

namespace k4 {

int setBlockade(const BlockadeRequest& request, BlockLst& blockades, Scheduler& scheduler, Messages& messages) {
    if (request.kind == kBlockSubscriber &&
        messages.AskYesNo(mz("Zablokowanie abonenta spowoduje, że przychodzące od niego alarmy nie będą nigdzie "
                             "odnotowane!\n \nKontynuować założenie blokady?")) != kResultYes)
        return -1;
    // Refused before anything is scheduled: a second end entry would lift
    // the blockade already there.
    if (blockades.kindOf(request.subscriber) != 0) {
        messages.ShowNotice(mz("\x03" "Abonent jest już zablokowany"), kNoticeInfo);
        return -1;
    }
    int kind = request.kind;
    const bool timed = request.minutes && *request.minutes > 0;
    if (timed) {
        if (scheduler.schedule(*request.minutes * 60, request.subscriber, kSchedRemoveBlk, kTimedBlockadeEnd) != 0)
            return -1;
        kind |= kBlockTimed;
    }
    if (blockades.add(request.subscriber, kind) == 0) return 0;
    // Not in the table after all (full, or not written): its end entry must
    // not outlive it and end a blockade set later.
    if (timed && blockades.kindOf(request.subscriber) == 0)
        scheduler.cancel(request.subscriber, kSchedRemoveBlk, kTimedBlockadeEnd);
    return -1;
}

} // namespace k4
