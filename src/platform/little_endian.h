#pragma once
// Integer fields of the data files. The files are packed little-endian
// images, so a 16-bit field may sit at an odd offset; these types hold the
// bytes themselves (alignment 1, no packing pragma, no misaligned access)
// and convert to and from the integer on every use.
#include <cstdint>
#include <cstring>
#include <type_traits>

namespace k4 {

template <typename T>
class LittleEndian {
    static_assert(std::is_integral_v<T>);

public:
    LittleEndian() = default;
    constexpr LittleEndian(T value) { set(value); }

    constexpr operator T() const { return get(); }
    constexpr T value() const { return get(); }

    constexpr LittleEndian& operator=(T value) {
        set(value);
        return *this;
    }
    constexpr LittleEndian& operator|=(T bits) { return *this = static_cast<T>(get() | bits); }
    constexpr LittleEndian& operator&=(T bits) { return *this = static_cast<T>(get() & bits); }
    constexpr LittleEndian& operator+=(T n) { return *this = static_cast<T>(get() + n); }
    constexpr LittleEndian& operator-=(T n) { return *this = static_cast<T>(get() - n); }

private:
    using Unsigned = std::make_unsigned_t<T>;

    constexpr T get() const {
        Unsigned v = 0;
        for (size_t i = 0; i < sizeof(T); ++i) v = static_cast<Unsigned>(v | (Unsigned(bytes_[i]) << (8 * i)));
        return static_cast<T>(v);
    }
    constexpr void set(T value) {
        const auto v = static_cast<Unsigned>(value);
        for (size_t i = 0; i < sizeof(T); ++i) bytes_[i] = static_cast<uint8_t>(v >> (8 * i));
    }

    uint8_t bytes_[sizeof(T)];
};

using Int16Le = LittleEndian<int16_t>;
using Uint16Le = LittleEndian<uint16_t>;
using Int32Le = LittleEndian<int32_t>;
using Uint32Le = LittleEndian<uint32_t>;

static_assert(sizeof(Int32Le) == 4 && alignof(Int32Le) == 1);
static_assert(std::is_trivially_copyable_v<Int16Le> && std::is_standard_layout_v<Int16Le>);

} // namespace k4
