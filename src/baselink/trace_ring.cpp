#include "baselink/trace_ring.h"

#include <cstdarg>
#include <cstdio>

namespace k4 {

void TraceRing::Trace(const char* format, ...) {
    if (!enabled_) return;
    char buffer[1024];
    va_list args;
    va_start(args, format);
    std::vsnprintf(buffer, sizeof buffer, format, args);
    va_end(args);
    add(buffer);
}

void TraceRing::add(std::string line) {
    if (!enabled_) return;
    lines_[static_cast<size_t>(next_)] = std::move(line);
    next_ = (next_ + 1) % kLines;
}

void TraceRing::clear() {
    for (auto& line : lines_) line.clear();
    next_ = 0;
}

} // namespace k4
