#pragma once
// The in-memory subscriber: the 1575 bytes of its "dane" record and what the
// station knows about it for one use. Nothing is cached between uses; two
// objects may hold the same record, and the last Save wins for bytes
// 0..1506 while the blocks written on their own keep their latest values.
#include "database/subscriber_record.h"

#include <cstdint>
#include <string>

namespace k4 {

class SubscriberDatabase;
class RecordFile;

struct AtOffset {
    int32_t offset;
};
struct ByNumber {
    int number;
};

class Sbscrbr {
public:
    // An empty, valid subscriber with the default test settings.
    explicit Sbscrbr(SubscriberDatabase& db);
    // The record stored at the offset; not valid when there is none there.
    Sbscrbr(SubscriberDatabase& db, AtOffset at);
    // The subscriber with this number in the number index, or a new one with
    // the defaults of a new subscriber when the number is not there.
    Sbscrbr(SubscriberDatabase& db, ByNumber number);

    SubscriberRecord record{};
    bool valid = false;
    bool tests_changed = false; // set by the test dialog while editing
    bool plans_changed = false; // set by the arming-schedule dialog
    bool unindexed = false;     // not in the number index: new, or without index entries

    // 0 for a subscriber not stored yet.
    int32_t offset() const { return offset_; }
    int number() const { return record.object; }
    SubscriberDatabase& database() { return db_; }

    // The whole record; a GSM number stored with a leading "0" or "0:" is
    // given without it. On failure the record and the offset are zeroed.
    int Load(int32_t offset);
    int Reload() { return Load(offset_); }
    // A new subscriber is appended, an existing one has bytes 0..1506
    // rewritten. The caller names the failed operation to the operator; the
    // record in memory stays as it was, so the operator's work is not lost.
    int Save();

    // The blocks written on their own, straight to the file. Each needs a
    // valid, stored subscriber.
    int ReadState(uint8_t block[kStateBlockSize]);
    // Gives the WritePart code (0, -1 .. -4).
    int WriteState(const uint8_t block[kStateBlockSize]);
    int ReadStateAt(int32_t offset, uint8_t block[kStateBlockSize]);
    int ReadExtra(uint8_t block[kExtraSize]);
    int WriteExtra(const uint8_t block[kExtraSize]);
    int WriteArmMask(uint16_t mask);
    int WriteAlarmOpts();
    // tracks, chk_tracks and tracks_nbr of the subscriber stored at offset.
    int ReadTracks(int32_t offset, uint8_t tracks[3]);

    // Makes the supervised paths and the active tests agree with the paths
    // in use, and tells the operator when a test was switched off. 1 when
    // that happened, else 0.
    int CheckTracks();

    // The description text; its length, or -1.
    int ReadDescription(std::string& text);

    // Deletes the subscriber with everything hanging from it.
    int Delete(bool removeIndex);

private:
    RecordFile& dane();
    bool stored() const { return valid && offset_ >= 32; }
    void zero();
    void setNewSubscriberDefaults();

    SubscriberDatabase& db_;
    int32_t offset_ = 0;
};

} // namespace k4
