#pragma once
// An audio output that is missing or fails is told once, for the life of
// the back end: a station without sound goes on, and its log is not filled
// with the same complaint at every alarm.
#include <functional>
#include <string>
#include <utility>

namespace k4 {

class AudioFailure {
public:
    using Teller = std::function<void(const std::string&)>;
    void setTeller(Teller tell) { tell_ = std::move(tell); }
    void tell(const std::string& what) {
        if (told_) return;
        told_ = true;
        if (tell_) tell_(what);
    }
    bool told() const { return told_; }

private:
    Teller tell_;
    bool told_ = false;
};

// Whether the system offers an audio output at all.
bool audioOutputPresent();

} // namespace k4
