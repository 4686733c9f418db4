#include "processing/test_settings_edit.h"

#include <algorithm>
#include <cstring>

namespace k4 {

namespace {

constexpr size_t kSettingsAt = offsetof(SubscriberRecord, test_type1);
constexpr size_t kSettingsSize = offsetof(SubscriberRecord, orders) - kSettingsAt;
static_assert(kSettingsSize == 10);

} // namespace

const char* testPathCaption(int path) {
    static const char* const captions[kTestPathCount] = {"Tor komutowany", "Tor radiowy",    "Tor sztywny",
                                                         "Tor GSM",        "Tor ADEMCO",     "Tor Contact ID",
                                                         "Tor GSM - dzw.", "Tor Ethernet"};
    return path >= 0 && path < kTestPathCount ? captions[path] : "Tor ???";
}

const char* testTypeCaption(int type) {
    static const char* const captions[7] = {"Załącz/Wyłącz.  T1", "Raz na 29 godz. T2", "Raz na dobę     T3",
                                            "2 razy na dobę  T4", "Wielokrotnie    T5", "Od załączenia   T6",
                                            "Od meldunku     T7"};
    return type >= 0 && type < 7 ? captions[type] : "";
}

bool connectedToTestPath(uint8_t tracks, int path) {
    static const uint8_t bits[kTestPathCount] = {kTrackDialUp,   kTrackRadio,     kTrackFixedLine, kTrackGsm,
                                                 kTrackAdemco,   kTrackContactId, kTrackGsm,       kTrackEthernet};
    return path >= 0 && path < kTestPathCount && (tracks & bits[path]) != 0;
}

TestSettingsEdit::TestSettingsEdit(const SubscriberRecord& r) : tracks_(r.tracks) {
    type_[0] = r.test_type1;
    type_[1] = r.test_type2;
    repeat_[0] = r.test_repeat1;
    repeat_[1] = r.test_repeat2;
    track_[0] = r.test_track1;
    track_[1] = r.test_track2;
    const uint16_t flags = r.test_flags;
    delay_[0] = static_cast<int16_t>(r.test_delay1);
    delay_[1] = (flags >> 4) & 0x0FFF;
    active_[0] = (flags & kTest1Active) != 0;
    active_[1] = (flags & kTest2Active) != 0;
}

int TestSettingsEdit::testOfPath(int path) const {
    if (path < 0 || path >= kTestPathCount) return 0;
    if (track_[0] == path) return 1;
    if (track_[1] == path) return 2;
    return 0;
}

TestSettingsEdit::TickResult TestSettingsEdit::tick(int path) {
    if (const int test = testOfPath(path)) {
        track_[test - 1] = kNoTestPath;
        return kFreed;
    }
    if (!connectedToTestPath(tracks_, path)) return kNotConnected;
    const int other = shown_ == 1 ? 2 : 1;
    auto hasPath = [this](int test) { return track_[test - 1] < kTestPathCount; };
    int to = shown_;
    if (hasPath(shown_) && !hasPath(other)) to = other;
    track_[to - 1] = static_cast<uint8_t>(path);
    shown_ = to;
    return kAssigned;
}

void TestSettingsEdit::select(int path) {
    if (const int test = testOfPath(path)) shown_ = test;
}

int TestSettingsEdit::type() const { return type_[shown_ - 1]; }
bool TestSettingsEdit::active() const { return active_[shown_ - 1]; }
int TestSettingsEdit::repeat() const { return repeat_[shown_ - 1]; }
int TestSettingsEdit::delay() const { return delay_[shown_ - 1]; }
int TestSettingsEdit::path() const { return track_[shown_ - 1]; }
void TestSettingsEdit::setType(int type) { type_[shown_ - 1] = static_cast<uint8_t>(std::clamp(type, 0, 6)); }
void TestSettingsEdit::setActive(bool active) { active_[shown_ - 1] = active; }
void TestSettingsEdit::setRepeat(int halfHours) { repeat_[shown_ - 1] = static_cast<uint8_t>(std::clamp(halfHours, 0, 255)); }
void TestSettingsEdit::setDelay(int minutes) {
    // Test 2's delay has twelve bits in the flags word.
    delay_[shown_ - 1] = std::clamp(minutes, 0, shown_ == 2 ? 0x0FFF : 0x7FFF);
}

std::string TestSettingsEdit::typeCaption() const {
    const int p = path();
    return std::string("Typ testu ") + (p < kTestPathCount ? testPathCaption(p) : "Tor ???");
}

bool TestSettingsEdit::store(SubscriberRecord& r) const {
    uint8_t before[kSettingsSize];
    std::memcpy(before, reinterpret_cast<const uint8_t*>(&r) + kSettingsAt, kSettingsSize);
    r.test_type1 = type_[0];
    r.test_type2 = type_[1];
    r.test_repeat1 = repeat_[0];
    r.test_repeat2 = repeat_[1];
    r.test_track1 = track_[0];
    r.test_track2 = track_[1];
    r.test_delay1 = static_cast<int16_t>(delay_[0]);
    // Bits 2 and 3 of the flags are not the dialog's; they stay.
    const uint16_t kept = static_cast<uint16_t>(r.test_flags & 0x000C);
    r.test_flags = static_cast<uint16_t>(kept | (active_[0] ? kTest1Active : 0) | (active_[1] ? kTest2Active : 0) |
                                         ((delay_[1] & 0x0FFF) << 4));
    return std::memcmp(before, reinterpret_cast<const uint8_t*>(&r) + kSettingsAt, kSettingsSize) != 0;
}

} // namespace k4
