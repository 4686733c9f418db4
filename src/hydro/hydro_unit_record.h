#pragma once
// One element of a water-supply installation (a tank, a well, a pump, ...):
// a 100-byte record of the record file "hunits", little-endian and packed as
// the file holds it. A subscriber lists its units in its "hunits" field.
#include "platform/little_endian.h"

#include <bit>
#include <cstddef>
#include <cstdint>
#include <string>

namespace k4 {

constexpr int kHydroUnitRecordSize = 100;
constexpr int kHydroUnitsPerSubscriber = 15;
constexpr const char* kHydroUnitsFile = "hunits";

// A 32-bit IEEE float held as its four little-endian bytes.
class FloatLe {
public:
    FloatLe() = default;
    FloatLe(float value) { bits_ = std::bit_cast<uint32_t>(value); }
    operator float() const { return std::bit_cast<float>(static_cast<uint32_t>(bits_)); }
    FloatLe& operator=(float value) {
        bits_ = std::bit_cast<uint32_t>(value);
        return *this;
    }

private:
    Uint32Le bits_;
};
static_assert(sizeof(FloatLe) == 4 && alignof(FloatLe) == 1);

// The unit kinds, each shown by its own panel.
enum HydroUnitKind : int {
    kUnitTank = 0,
    kUnitWell = 1,
    kUnitTemperature = 2,
    kUnitPressure = 3,
    kUnitFlow = 4,
    kUnitPump = 5,
    kUnitHydrophore = 6,
    kUnitGateValve = 7,
    kUnitCounter = 8,
};
constexpr int kHydroUnitKinds = 9;
// "Zbiornik", "Studnia", ... (UTF-8); "?" for a kind the program does not know.
const char* hydroUnitKindName(int kind);
// Pumps, hydrophores and gate valves take switching orders.
bool isSwitchableUnit(int kind);

// The state byte of a switchable unit.
enum : uint8_t { kUnitOff = 0, kUnitOn = 1, kUnitFailure = 2, kUnitCommandPending = 3 };

struct HydroUnitRecord {
    Int16Le subscriber;     // who receives this unit's switching orders
    uint8_t unused2[6];
    Int32Le kind;
    uint8_t unused12[4];
    Int32Le left;           // the panel's place in the window
    Int32Le top;
    char title[30];         // Mazovia, NUL-terminated
    uint8_t show_what;      // pump: bit 0 the current line, bit 1 the time line
    uint8_t state;          // switchable units
    FloatLe value;          // measured value; pump current; counter reading
    uint8_t unused60[4];
    char units[12];         // Mazovia, NUL-terminated
    FloatLe range_min;      // the gauge
    FloatLe range_max;
    FloatLe alert_min;      // alarm levels
    FloatLe alert_max;
    Int32Le pump_time;      // running hours
    uint8_t unused96[4];
};
static_assert(sizeof(HydroUnitRecord) == kHydroUnitRecordSize);
static_assert(offsetof(HydroUnitRecord, kind) == 8);
static_assert(offsetof(HydroUnitRecord, left) == 16);
static_assert(offsetof(HydroUnitRecord, top) == 20);
static_assert(offsetof(HydroUnitRecord, title) == 24);
static_assert(offsetof(HydroUnitRecord, show_what) == 54);
static_assert(offsetof(HydroUnitRecord, state) == 55);
static_assert(offsetof(HydroUnitRecord, value) == 56);
static_assert(offsetof(HydroUnitRecord, units) == 64);
static_assert(offsetof(HydroUnitRecord, range_min) == 76);
static_assert(offsetof(HydroUnitRecord, range_max) == 80);
static_assert(offsetof(HydroUnitRecord, alert_min) == 84);
static_assert(offsetof(HydroUnitRecord, alert_max) == 88);
static_assert(offsetof(HydroUnitRecord, pump_time) == 92);

// Copies Mazovia text into a NUL-terminated field, cut to fit.
template <size_t N>
void setUnitText(char (&field)[N], const std::string& mazovia) {
    const size_t n = mazovia.size() < N - 1 ? mazovia.size() : N - 1;
    for (size_t i = 0; i < N; ++i) field[i] = i < n ? mazovia[i] : '\0';
}

} // namespace k4
