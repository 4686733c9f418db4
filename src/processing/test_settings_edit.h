#pragma once
// The editing behind the "Testy" dialog: the ten setting bytes of a
// subscriber's two tests, which test the dialog shows, and the rules for
// ticking test paths (two at most, one per test, only paths the subscriber
// is connected to).
#include "database/subscriber_record.h"

#include <array>
#include <cstdint>
#include <string>

namespace k4 {

constexpr int kTestPathCount = 8;
// "Tor komutowany" ... "Tor Ethernet" (UTF-8), the list of " Tory testów ".
const char* testPathCaption(int path);
// "Załącz/Wyłącz.  T1" ... "Od meldunku     T7" (UTF-8).
const char* testTypeCaption(int type);
// Whether the subscriber's paths in use carry the test path.
bool connectedToTestPath(uint8_t tracks, int path);

class TestSettingsEdit {
public:
    enum TickResult { kAssigned, kFreed, kNotConnected };

    explicit TestSettingsEdit(const SubscriberRecord& record);

    // The test whose settings are shown (1 or 2).
    int shown() const { return shown_; }
    // The test a path is assigned to, 0 for none.
    int testOfPath(int path) const;
    bool ticked(int path) const { return testOfPath(path) != 0; }
    // A path ticked or unticked by the operator. A free path goes to the
    // shown test when that has none, else to the other test when it has
    // none, else it replaces the shown test's path; the test it went to is
    // then shown.
    TickResult tick(int path);
    // A path clicked: its test's settings are shown.
    void select(int path);

    int type() const;
    bool active() const;
    int repeat() const;
    int delay() const;
    int path() const;
    void setType(int type);
    void setActive(bool active);
    void setRepeat(int halfHours);
    void setDelay(int minutes);

    // "Typ testu " and the shown test's path name, or "Typ testu Tor ???" (UTF-8).
    std::string typeCaption() const;
    // "&Zapisz": the ten bytes into the record; true when they changed.
    bool store(SubscriberRecord& record) const;

private:
    uint8_t tracks_;
    uint8_t type_[2], repeat_[2], track_[2];
    int delay_[2];
    bool active_[2];
    int shown_ = 1;
};

} // namespace k4
