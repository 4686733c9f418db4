#pragma once
// The records that hang from a subscriber: notification persons, subsystems
// with their sectors, arming schedules and orders sets.
#include "platform/little_endian.h"

#include <cstddef>
#include <cstdint>

namespace k4 {

struct PersonRecord { // "osoby", 88 bytes
    char name[30];
    char address[30];
    char tel[14];
    char passwd[11];
    Int16Le alarm; // the event code this person is told of, 0 none
    uint8_t color; // index in the 16-colour grid
};
static_assert(sizeof(PersonRecord) == 88);
static_assert(offsetof(PersonRecord, alarm) == 85 && offsetof(PersonRecord, color) == 87);

constexpr int kSectorSlots = 512;

struct SubsystemRecord { // "linie", 2143 bytes
    uint8_t no; // subsystem number 0..99
    char line_desc[94];
    Int32Le sectors[kSectorSlots]; // "sektory"; slot n is sector n
};
static_assert(sizeof(SubsystemRecord) == 2143);
static_assert(offsetof(SubsystemRecord, sectors) == 95);

struct SectorRecord { // "sektory", 100 bytes
    Int16Le no; // sector number 0..511
    char type[4];
    char sector_desc[94];
};
static_assert(sizeof(SectorRecord) == 100);
static_assert(offsetof(SectorRecord, sector_desc) == 6);

struct ScheduleDay {
    Int16Le disarm_time;  // minutes after midnight
    Int16Le disarm_delay; // minutes
    Int16Le arm_time;
    Int16Le arm_delay;
    Int16Le skip;         // 1 for a day without a schedule
};
static_assert(sizeof(ScheduleDay) == 10);

constexpr int kScheduleDays = 8; // Monday to Sunday, then the holiday
constexpr uint8_t kPanelSubsystemBit = 0x80;

struct ArmingSchedule { // "uzbroj", 91 bytes
    // Bit 7 set: bits 0-6 are the panel's subsystem number; clear: the
    // compatible mode, the byte is the subsystem position.
    uint8_t identification;
    char name[10]; // compatible mode only
    ScheduleDay days[kScheduleDays];
};
static_assert(sizeof(ArmingSchedule) == 91);
static_assert(offsetof(ArmingSchedule, days) == 11);

constexpr int kOrderCodes = 256; // an "orders" record: one byte per order code

struct OrderNameRecord { // a "rozkazy" entry, 61 bytes
    uint8_t code;   // the entry's own code, 0 = not defined
    char name[60];  // description, Mazovia
};
static_assert(sizeof(OrderNameRecord) == 61);

} // namespace k4
