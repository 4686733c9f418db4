#include "shell/station.h"

#include "config/config_form.h"
#include "database/text_edge.h"
#include "messages/messages.h"

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

bool Station::searchModulePorts() {
    if (modules_.PortAutotest(config_) == 0) return true;
    // The search closed the interface and data lines and found no pair that
    // answers: the station goes on with the ports it was configured with
    // rather than with none.
    ports_.closeSerialPorts(config_.block());
    const bool reopened = ports_.openSerialPorts(config_.block()) == 0;
    messages_.ShowNotice(mz(reopened ? "Nie znaleziono modułów na żadnej parze portów - pozostają porty z konfiguracji"
                                     : "Nie znaleziono modułów na żadnej parze portów"),
                         kNoticeInfo);
    return false;
}

} // namespace k4
