#pragma once
// Stamps: the one stored time of the station. A stamp is the Unix time of a
// local moment plus 21600, so a later moment always has a larger stamp and
// history filters compare them as numbers.
#include "platform/clock.h"

#include <cstdint>

namespace k4 {

constexpr int32_t kStampOffset = 21600;

Stamp StampFromLocal(const LocalDateTime& local);
LocalDateTime LocalFromStamp(Stamp stamp);

inline Stamp StampFromUnix(int64_t unixTime) { return static_cast<Stamp>(unixTime + kStampOffset); }
inline int64_t UnixFromStamp(Stamp stamp) { return static_cast<int64_t>(stamp) - kStampOffset; }

inline Stamp nowStamp(const Clock& clock) { return StampFromUnix(clock.unixTime()); }
inline LocalDateTime localNow(const Clock& clock) { return LocalFromStamp(nowStamp(clock)); }

} // namespace k4
