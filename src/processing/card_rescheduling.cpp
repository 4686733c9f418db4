#include "processing/card_rescheduling.h"

#include "database/sbscrbr.h"
#include "processing/arming_supervision.h"
#include "processing/test_supervision.h"

namespace k4 {

void rescheduleAfterCardSave(Sbscrbr& subscriber, TestSupervisor& tests, ArmingSupervisor& arming) {
    if (subscriber.tests_changed) tests.testsChanged(subscriber);
    if (subscriber.plans_changed) arming.armingChanged(subscriber);
    subscriber.tests_changed = subscriber.plans_changed = false;
}

} // namespace k4
