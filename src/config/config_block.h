#pragma once
// The image of the file "conf": every setting of the centre, 1107 bytes,
// little-endian and packed exactly as the file holds them. Offsets 0..418 are
// the general part, 419..1106 the table of sixteen receiving bases.
#include "platform/little_endian.h"

#include <cstddef>
#include <cstdint>

namespace k4 {

// One receiving base of another centre (alarms are forwarded to it).
struct BaseEntry {
    uint8_t flags;          // 0x02/0x04/0x08 a TR/TG/TE forward awaits confirmation; 0x10 event conversion
    char name[11];          // Mazovia, NUL-terminated, may hold "~" marks
    uint8_t rsLink;         // 2 serial base link 1, 3 link 2, other values none
    uint8_t radio;          // low nibble radio address, high nibble radio module
    Uint16Le trSubscriber;  // 0xAAAA for a path test
    uint8_t trAlarm;
    char gsmNumber[10];     // digits, NUL-terminated
    uint8_t gprsAddress[4]; // first octet 0 = no GPRS
    uint8_t gsmParam;       // confirmation setting 1..5
    Uint16Le tgSubscriber;
    uint8_t tgAlarm;
    uint8_t ethAddress[4];  // first octet 0 = no Ethernet
    uint8_t ethParam;
    Uint16Le teSubscriber;
    uint8_t teAlarm;
};
static_assert(sizeof(BaseEntry) == 43);

// Probe periods of the paths as the configuration keeps them: dial-up and
// GSM in minutes, radio and fixed line in seconds.
struct ConfigPeriods {
    Int16Le tk, tkr; // dial-up: period, repeat period
    Int16Le tr, trr; // radio
    Int16Le ts, tsr; // fixed line
    Int16Le tg, tgr; // GSM/GPRS
};
static_assert(sizeof(ConfigPeriods) == 16);

constexpr int kToneProfiles = 16;
constexpr int kToneProfileSize = 7;
constexpr int kBaseEntries = 16;
constexpr int kSpecialCodes = 10;

struct ConfigBlock {
    Int16Le mode;            // 0 Standard, 1 Nadawcza, 2 Odbiorcza, 3 Std/Odb
    Int16Le event_printer;   // 1-based in the printer list, 0 none
    Int16Le report_printer;
    Int16Le inter_port;
    Int16Le data_port;
    Int16Le base1_port;      // 0 = "BRAK"
    Int16Le base2_port;
    Int16Le base1_speed;
    Int16Le base2_speed;
    Int16Le send_speed;
    Int16Le event_cp;        // code page numbers
    Int16Le report_cp;
    uint8_t super_pass[11];  // scrambled
    ConfigPeriods periods;
    Int16Le periods_irregular;
    uint8_t unused53[2];
    char base_dir[60];       // the directory this configuration belongs to
    Int32Le recv_ip;
    uint8_t unused119[4];
    uint8_t recv_mark;       // 0 or 15
    uint8_t unused124[7];
    uint8_t repeat_delay;
    int8_t synopt_port;      // 0 none, -1 no port, 1..4 its port
    uint8_t send_delay;
    uint8_t recv_delay;
    Int16Le no_line_delay;
    uint8_t options;
    uint8_t options2;
    char town[42];
    Int32Le holiday_date;    // Stamp
    Int16Le holiday_flag;
    uint8_t tones[kToneProfiles][kToneProfileSize];
    uint8_t unused299[14];
    Int16Le packet_supervision; // read by packet supervision, written by no dialog
    Uint16Le autosave_flags;
    char autosave_dir[60];
    Int16Le time_adjust;     // tenths of a second per day
    Int16Le special_codes[kSpecialCodes];
    uint8_t unused399[20];
    BaseEntry bases[kBaseEntries];
};

constexpr size_t kConfigSize = 1107;
constexpr size_t kConfigGeneralSize = 419;
constexpr size_t kConfigPreviousSize = 979;
constexpr size_t kPreviousBaseEntrySize = 35;
static_assert(sizeof(ConfigBlock) == kConfigSize);
static_assert(offsetof(ConfigBlock, bases) == kConfigGeneralSize);
static_assert(kConfigGeneralSize + kBaseEntries * kPreviousBaseEntrySize == kConfigPreviousSize);

// Bits of options.
enum : uint8_t {
    kOptGsmNew = 0x01,
    kOptOtrNew = 0x02,
    kOptBlockRepeatedAlarms = 0x08,
    kOptLinkReduced = 0x10,
    kOptNoIncompleteCheck = 0x20,
    kOptTestTypeAA = 0x40,
    kOptInternalConverter = 0x80,
};
// Bits of options2.
enum : uint8_t {
    kOpt2BlockBase1Test = 0x01,
    kOpt2BlockBase2Test = 0x02,
};
// Bits of BaseEntry::flags.
enum : uint8_t {
    kBaseAwaitsTr = 0x02,
    kBaseAwaitsTg = 0x04,
    kBaseAwaitsTe = 0x08,
    kBaseRunTimeFlags = kBaseAwaitsTr | kBaseAwaitsTg | kBaseAwaitsTe,
    kBaseEventConversion = 0x10,
};

// The default tone profile of every alarm class.
constexpr uint8_t kDefaultToneProfile[kToneProfileSize] = {84, 26, 84, 26, 84, 26, 84};

} // namespace k4
