#pragma once
// The last twenty diagnostic lines of the serial links, shown by the
// technical window. Tracing costs nothing while it is switched off.
#include <array>
#include <string>

namespace k4 {

class TraceRing {
public:
    static constexpr int kLines = 20;

    void setEnabled(bool on) { enabled_ = on; }
    bool enabled() const { return enabled_; }

    // printf rules, at most 1023 characters, into the next slot.
    void Trace(const char* format, ...) __attribute__((format(printf, 2, 3)));
    void add(std::string line);
    // Empties every line and starts again at slot 0.
    void clear();

    const std::string& line(int slot) const { return lines_[static_cast<size_t>(slot)]; }
    int nextSlot() const { return next_; }

private:
    std::array<std::string, kLines> lines_;
    int next_ = 0;
    bool enabled_ = false;
};

} // namespace k4
