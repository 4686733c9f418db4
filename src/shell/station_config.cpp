#include "shell/station.h"

#include "config/config_form.h"

namespace k4 {

bool Station::applyConfiguration(const ConfigBlock& copy) {
    return applyWorkingCopy(config_, copy, ports_, pathTypes_, messages_);
}

} // namespace k4
