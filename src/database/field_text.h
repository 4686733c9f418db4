#pragma once
// A fixed text field of a record as a string: up to its NUL, and never past
// its width, so a damaged record cannot make a printout read beyond it.
#include <cstddef>
#include <cstring>
#include <string>

namespace k4 {

template <size_t N>
std::string fieldText(const char (&field)[N]) {
    return std::string(field, strnlen(field, N));
}

} // namespace k4
