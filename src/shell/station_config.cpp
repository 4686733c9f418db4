#include "shell/station.h"

#include "config/config_form.h"

namespace k4 {

bool Station::applyConfiguration(const ConfigBlock& copy) {
    const ConfigBlock& block = config_.block();
    const bool dumpWasOn = block.autosave_flags & 1;
    const std::string dumpDirWas(block.autosave_dir, sizeof block.autosave_dir);
    const bool restarted = applyWorkingCopy(config_, copy, ports_, pathTypes_, messages_);
    // The dump switched or moved in "Konfiguracja" is booked anew, as from
    // its own dialog.
    const bool dumpOn = block.autosave_flags & 1;
    if (started_ && (dumpOn != dumpWasOn ||
                     (dumpOn && dumpDirWas != std::string(block.autosave_dir, sizeof block.autosave_dir))))
        autoDump_.run(true, !dumpOn);
    return restarted;
}

} // namespace k4
