#pragma once
// What the history filter needs from the event table and the configuration:
// whether a code arms or disarms, and the special codes.
#include "config/config_block.h"
#include "history/hist_filter.h"
#include "processing/event_table.h"

namespace k4 {

// The table must outlive the result.
inline FilterKnowledge filterKnowledgeOf(const EventTable& events, const ConfigBlock* config) {
    FilterKnowledge k;
    k.eventKind = [&events](int code) { return events.eventKind(code); };
    if (config)
        for (size_t i = 0; i < k.specialCodes.size(); ++i) k.specialCodes[i] = config->special_codes[i];
    return k;
}

} // namespace k4
