#pragma once
// The demo's water-supply subscriber: a waterworks whose telemetry device
// reports over the radio module, with its measurement inputs set up and
// five units in "hunits" (a tank, a well, a pump, a pressure and a water
// counter) for the window "Wizualizacja pomiarów".
#include <iosfwd>

namespace k4 {
class SubscriberDatabase;
class SubscriberIndexes;
} // namespace k4

namespace k4::admin {

constexpr int kDemoWaterworks = 1000;

// false after the reason went to err.
bool addDemoWaterworks(SubscriberDatabase& database, SubscriberIndexes& indexes, std::ostream& err);

} // namespace k4::admin
