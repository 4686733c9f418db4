#pragma once
// The subscriber record of "dane", 1575 bytes, little-endian and packed as
// the file holds it. Texts are NUL-terminated Mazovia whose width includes
// the NUL.
#include "platform/little_endian.h"

#include <cstddef>
#include <cstdint>

namespace k4 {

constexpr int kSubscriberRecordSize = 1575;
// Save rewrites bytes 0..1506; the blocks from 1507 on are written on their
// own (state, rate limiter, arming mask, pending order), so a save from a
// card that was open for an hour cannot undo what reports wrote meanwhile.
constexpr int kSubscriberSavedBytes = 1507;
constexpr uint32_t kOrdersMarker = 0x00FFFF00; // the orders field holds an "orders" offset

constexpr int kPersonSlots = 40;
constexpr int kLineSlots = 100;
constexpr int kArmPositions = 10;
constexpr int kArmerSlots = 64;
constexpr int kHydroUnitSlots = 16;

// Bits of tracks and chk_tracks.
enum : uint8_t {
    kTrackDialUp = 0x01,
    kTrackRadio = 0x02,
    kTrackFixedLine = 0x04,
    kTrackGsm = 0x08,
    kTrackAdemco = 0x10,
    kTrackContactId = 0x20,
    kTrackEthernet = 0x40,
};

// Test paths of test_track1/2.
enum : uint8_t {
    kTestPathGsmRing = 6,
    kTestPathEthernet = 7,
    kNoTestPath = 255,
};

// Bits of test_flags: activation in bits 0-3, test 2's delay in bits 4-15.
enum : uint16_t {
    kTest1Active = 0x0001,
    kTest2Active = 0x0002,
};

struct ArmersTab {
    Int16Le code;  // a person who arms; 0 ends the list
    Uint16Le mask; // the subsystem positions that code arms
};
static_assert(sizeof(ArmersTab) == 4);

// The report-rate limiter.
struct AlarmOpts {
    Uint16Le count;
    Uint16Le limit;
    Uint16Le hours;
    Uint32Le start; // start of the counting window
};
static_assert(sizeof(AlarmOpts) == 10);

struct SubscriberRecord {
    Int32Le free_link;         // 0 in a record in use
    Int16Le object;            // subscriber number 0..9999
    char name[30];
    char town[20];
    char code[6];              // postal code, five digits without the dash
    char address[30];
    char tel[14];
    char tel_gsm[10];
    Int32Le ip;
    char contact1[30];
    char contact2[30];
    char passwd[11];
    char central[12];          // alarm panel type
    Int16Le line_nbr;          // filled for display
    Int32Le sector_nbr;        // filled for display
    uint8_t tracks;            // paths in use
    uint8_t chk_tracks;        // supervised paths, a subset of tracks
    uint8_t tracks_nbr;        // high nibble radio base, low nibble fixed-line base
    char full[60];
    char contr_no[12];
    char KVF_date[9];
    char date_from[9];
    char date_to[9];
    char book_no[12];
    Uint16Le forw_flag1;
    Uint16Le forw_flag2;
    uint8_t test_type1;
    uint8_t test_type2;
    uint8_t test_repeat1;      // half-hours
    uint8_t test_repeat2;
    Int16Le test_delay1;       // minutes
    Uint16Le test_flags;
    uint8_t test_track1;
    uint8_t test_track2;
    uint8_t orders[100];       // marker and "orders" offset, or the legacy code list
    Int32Le persons[kPersonSlots];     // "osoby"; ends at 0, -1 a place-holder
    Int32Le lines[kLineSlots];         // "linie"; slot n is subsystem n
    Int32Le alarm_list;        // "alarmy" or a shared list; 0 the standard list
    Int32Le desc;              // first record of the "opis" chain
    Int32Le arm_plans[kArmPositions];  // "uzbroj", one per subsystem position
    ArmersTab armers[kArmerSlots];
    uint8_t msr[120];          // 12 hydro measurement channels of 10 bytes
    Uint16Le msr_mask;
    Uint16Le cnt_flags;
    uint8_t cnt1;
    uint8_t cnt2;
    uint8_t unused1427[4];
    Int32Le hunits[kHydroUnitSlots];   // "hunits"; at most 15, then 0
    uint8_t unused1495[11];
    uint8_t gsm_operator;      // 0 any, 1 Plus, 2 Orange, 3 Era
    uint8_t unused1507[40];
    AlarmOpts alarm_opts;
    Uint16Le arm_mask;         // positions whose arming schedule is supervised
    uint8_t arm_state[10];
    uint8_t test_state;
    uint8_t test_miss1;
    uint8_t test_miss2;
    uint8_t extra[3];          // the pending order
};

static_assert(sizeof(SubscriberRecord) == kSubscriberRecordSize);
static_assert(offsetof(SubscriberRecord, object) == 4);
static_assert(offsetof(SubscriberRecord, name) == 6);
static_assert(offsetof(SubscriberRecord, town) == 36);
static_assert(offsetof(SubscriberRecord, code) == 56);
static_assert(offsetof(SubscriberRecord, address) == 62);
static_assert(offsetof(SubscriberRecord, tel) == 92);
static_assert(offsetof(SubscriberRecord, tel_gsm) == 106);
static_assert(offsetof(SubscriberRecord, ip) == 116);
static_assert(offsetof(SubscriberRecord, contact1) == 120);
static_assert(offsetof(SubscriberRecord, contact2) == 150);
static_assert(offsetof(SubscriberRecord, passwd) == 180);
static_assert(offsetof(SubscriberRecord, central) == 191);
static_assert(offsetof(SubscriberRecord, line_nbr) == 203);
static_assert(offsetof(SubscriberRecord, sector_nbr) == 205);
static_assert(offsetof(SubscriberRecord, tracks) == 209);
static_assert(offsetof(SubscriberRecord, chk_tracks) == 210);
static_assert(offsetof(SubscriberRecord, tracks_nbr) == 211);
static_assert(offsetof(SubscriberRecord, full) == 212);
static_assert(offsetof(SubscriberRecord, contr_no) == 272);
static_assert(offsetof(SubscriberRecord, KVF_date) == 284);
static_assert(offsetof(SubscriberRecord, date_from) == 293);
static_assert(offsetof(SubscriberRecord, date_to) == 302);
static_assert(offsetof(SubscriberRecord, book_no) == 311);
static_assert(offsetof(SubscriberRecord, forw_flag1) == 323);
static_assert(offsetof(SubscriberRecord, forw_flag2) == 325);
static_assert(offsetof(SubscriberRecord, test_type1) == 327);
static_assert(offsetof(SubscriberRecord, test_type2) == 328);
static_assert(offsetof(SubscriberRecord, test_repeat1) == 329);
static_assert(offsetof(SubscriberRecord, test_repeat2) == 330);
static_assert(offsetof(SubscriberRecord, test_delay1) == 331);
static_assert(offsetof(SubscriberRecord, test_flags) == 333);
static_assert(offsetof(SubscriberRecord, test_track1) == 335);
static_assert(offsetof(SubscriberRecord, test_track2) == 336);
static_assert(offsetof(SubscriberRecord, orders) == 337);
static_assert(offsetof(SubscriberRecord, persons) == 437);
static_assert(offsetof(SubscriberRecord, lines) == 597);
static_assert(offsetof(SubscriberRecord, alarm_list) == 997);
static_assert(offsetof(SubscriberRecord, desc) == 1001);
static_assert(offsetof(SubscriberRecord, arm_plans) == 1005);
static_assert(offsetof(SubscriberRecord, armers) == 1045);
static_assert(offsetof(SubscriberRecord, msr) == 1301);
static_assert(offsetof(SubscriberRecord, msr_mask) == 1421);
static_assert(offsetof(SubscriberRecord, cnt_flags) == 1423);
static_assert(offsetof(SubscriberRecord, cnt1) == 1425);
static_assert(offsetof(SubscriberRecord, cnt2) == 1426);
static_assert(offsetof(SubscriberRecord, hunits) == 1431);
static_assert(offsetof(SubscriberRecord, gsm_operator) == 1506);
static_assert(offsetof(SubscriberRecord, unused1507) == kSubscriberSavedBytes);
static_assert(offsetof(SubscriberRecord, alarm_opts) == 1547);
static_assert(offsetof(SubscriberRecord, arm_mask) == 1557);
static_assert(offsetof(SubscriberRecord, arm_state) == 1559);
static_assert(offsetof(SubscriberRecord, test_state) == 1569);
static_assert(offsetof(SubscriberRecord, test_miss1) == 1570);
static_assert(offsetof(SubscriberRecord, test_miss2) == 1571);
static_assert(offsetof(SubscriberRecord, extra) == 1572);

// The blocks written on their own.
constexpr int kStateBlockOffset = 1559; // arm_state, test_state, test_miss1, test_miss2
constexpr int kStateBlockSize = 13;
constexpr int kExtraOffset = 1572;
constexpr int kExtraSize = 3;
constexpr int kArmMaskOffset = 1557;
constexpr int kAlarmOptsOffset = 1547;
constexpr int kTracksOffset = 209;

} // namespace k4
