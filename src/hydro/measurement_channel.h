#pragma once
// The analogue inputs of a water-supply subscriber's telemetry device: six
// channels, each with its 10-byte setting in the subscriber record (type and
// converter, measuring resistor, two calibration points), the measurement
// types with their units and decimals, the converters with the signal span
// they give, and the conversion between the raw signal in millivolts and the
// engineering value. All of it is integer arithmetic on the stored values:
// an engineering value is an integer in units of 10^-decimals of its type.
#include "database/subscriber_record.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace k4 {

constexpr int kMsrChannels = 6;
constexpr int kMsrSettingSize = 10;
constexpr int kMsrTypes = 7;
constexpr int kMsrConverters = 4;
// The voltage converter needs no resistor.
constexpr int kConverterVoltage = 3;

// The measurement types, by the low nibble of the setting's first byte.
struct MeasurementType {
    const char* name; // UTF-8, as the lists show it
    const char* unit;
    int decimals;
};
const MeasurementType& measurementType(int type);
// The converters, by the high nibble.
const char* converterName(int converter);

// The signal span of a converter with the resistor byte (units of 10 ohms):
// the raw signal at the low and at the high end of the measured range.
struct SignalSpan {
    int low;
    int high;
};
SignalSpan converterSpan(int converter, int resistor);

// "L12/A0" .. "L07/A5": the device's label of channel c.
std::string inputLabel(int channel);

struct MsrSetting {
    int type = 0;      // 0..15 as stored; 0..6 are known
    int converter = 0; // 0..15 as stored; 0..3 are known
    int resistor = 0;  // units of 10 ohms
    int p0 = 0, p1 = 0; // engineering values of the two calibration points
    int v0 = 0, v1 = 0; // raw signal at those points, millivolts

    // A channel with both engineering points 0 has never been calibrated.
    bool configured() const { return p0 != 0 || p1 != 0; }
    int decimals() const;
};

MsrSetting readMsrSetting(const SubscriberRecord& record, int channel);
void writeMsrSetting(SubscriberRecord& record, int channel, const MsrSetting& setting);

// A conversion either gives its value or says in Polish (UTF-8) why it
// cannot: two calibration points with the same raw signal have no line
// through them, and a value beyond what the record can hold is not stored.
struct Converted {
    bool ok = false;
    int64_t value = 0;
    std::string error;
};

// The engineering value (units of 10^-decimals) of raw signal x, rounded to
// the nearest unit of the last decimal.
Converted rawToValue(const MsrSetting& s, int64_t x);
// The raw signal (millivolts, rounded) that gives the engineering value.
Converted valueToRaw(const MsrSetting& s, int64_t value);

// "%6.*lf": a scaled integer written with its decimals, right-aligned in six.
std::string formatScaled(int64_t value, int decimals);
// The range a configured channel measures: the conversion of its converter's
// two signal ends, each as formatScaled gives it, or the reason there is none.
struct RangeText {
    bool ok = false;
    std::string low, high;
    std::string error;
};
RangeText rangeText(const MsrSetting& s);

// A decimal text typed by the operator ("12.5") as an engineering value of a
// type with the given decimals (1250 for 2 decimals). Digits beyond what 16
// bits hold are dropped from the right, as the device's own entry does; a
// result the calibration field cannot hold is refused with its reason.
Converted parseScaled(std::string_view text, int decimals);

// The line of the channel in "Pomiary", in UTF-8.
std::string channelLine(const MsrSetting& s, int channel);

} // namespace k4
