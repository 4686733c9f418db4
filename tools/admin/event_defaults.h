#pragma once
// The standard event table of a fresh installation and the special codes
// that point into it.
#include "config/config_block.h"
#include "processing/event_def.h"

#include <vector>

namespace k4::admin {

// The definitions "zdarzen" starts with, in ascending code order.
std::vector<EventDef> freshEventDefinitions();
// The ten special codes of the configuration, matching definitions above.
extern const int kFreshSpecialCodes[kSpecialCodes];

} // namespace k4::admin
