#pragma once
// The warnings the main window gives once at start-up about settings that
// leave the centre half-blind: blocked base tests, and incomplete reports
// that are not checked (an alarm panel stuck dialling costs the subscriber).
namespace k4 {

class Config;
class Messages;

void runStartWarnings(Config& config, Messages& messages);

} // namespace k4
