#pragma once
// Setting a blockade from the subscriber's blockade window: the warning for a
// subscriber blockade, the refusal of a second blockade, and the end entry of
// a timed one in the scheduler.
#include <optional>

namespace k4 {

class BlockLst;
class Messages;
class Scheduler;

struct BlockadeRequest {
    int subscriber = 0;
    int kind = 0;                 // 10, 11 or 12
    std::optional<int> minutes;   // a timed blockade
};

// 0 when the blockade is set; -1 when the operator withdrew it, the
// subscriber is blocked already ("Abonent jest już zablokowany"), the
// timer queue or the table is full, or the file could not be written.
int setBlockade(const BlockadeRequest& request, BlockLst& blockades, Scheduler& scheduler, Messages& messages);

} // namespace k4
