#include "shell/station.h"

#include "config/config_form.h"

namespace k4 {

bool Station::applyConfiguration(const ConfigBlock& copy) {
    return applyWorkingCopy(config_, copy, ports_, pathTypes_, messages_);
}

} // namespace k4

namespace k4 {

ProbePeriodValues Station::openProbePeriods() { return k4::openProbePeriods(config_, pathTypes_, messages_); }

void Station::saveProbePeriods(const ProbePeriodValues& values) {
    k4::saveProbePeriods(values, config_, pathTypes_, history_, messages_);
}

} // namespace k4
