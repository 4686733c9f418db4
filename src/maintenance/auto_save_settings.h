#pragma once
// What the dialog of the automatic dump stores: the switch (bit 0 of
// autosave_flags) and the dump directory, in the general part of "conf";
// the nightly dump is booked or cancelled when the switch changed.
#include "config/config.h"
#include "maintenance/auto_dump.h"
#include "messages/messages.h"

namespace k4 {

// enabled: the check box. changeDirectory: "&Zmień katalog" (the directory
// is asked also when the dump is switched on with no usable directory).
// 0 stored, 1 cancelled (nothing stored), -1 after the box that says why.
int applyAutoSaveSettings(Config& config, AutoDump& dump, Messages& messages, bool enabled, bool changeDirectory);

} // namespace k4
