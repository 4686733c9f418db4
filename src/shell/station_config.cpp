#include "shell/station.h"

#include "config/config_form.h"
#include "database/text_edge.h"
#include "messages/messages.h"

namespace k4 {

bool Station::applyConfiguration(const ConfigBlock& copy) {
    return applyWorkingCopy(config_, copy, ports_, pathTypes_, messages_);
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
