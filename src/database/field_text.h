#pragma once
// A fixed text field of a record as a string: up to its NUL, and never past
// its width, so a damaged record cannot make a printout read beyond it; and
// a text put into such a field, cut to leave room for its NUL.
#include <algorithm>
#include <cstddef>
#include <cstring>
#include <string>
#include <string_view>

namespace k4 {

template <size_t N>
std::string fieldText(const char (&field)[N]) {
    return std::string(field, strnlen(field, N));
}

template <size_t N>
void putFieldText(char (&field)[N], std::string_view text) {
    std::memset(field, 0, N);
    text = text.substr(0, std::min(text.find('\0'), text.size()));
    std::memcpy(field, text.data(), std::min(text.size(), N - 1));
}

} // namespace k4
