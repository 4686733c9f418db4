#pragma once
// "De&mo": four demonstration reports through the ordinary processing, so a
// new operator sees alarms arrive without disturbing any subscriber. Every
// one carries the demonstration flag, which keeps it from being forwarded.
#include "config/config_block.h"
#include "processing/report.h"

namespace k4 {

void runDemonstrationReports(ReportProcessor& processor, const ConfigBlock& config);

} // namespace k4
