#pragma once
// After the subscriber card saved a subscriber: the tests and the arming
// windows it changed are planned again, each noted in the history (kinds 40
// and 44); a receiving station plans neither.
namespace k4 {

class ArmingSupervisor;
class Sbscrbr;
class TestSupervisor;

void rescheduleAfterCardSave(Sbscrbr& subscriber, TestSupervisor& tests, ArmingSupervisor& arming);

} // namespace k4
