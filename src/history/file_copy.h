#pragma once
// A file copied for the operator to take away or to bring back: finished on
// the disk before it is reported, so pulling the medium at the message
// loses nothing.
#include <string>

namespace k4 {

// false with the reason in error; a half-written target is removed.
bool copyFileDurably(const std::string& from, const std::string& to, std::string& error);

} // namespace k4
