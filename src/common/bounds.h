// The array-bounds diagnostic: a subscript outside its array writes one line
// naming the array, which subscript, its value and the violated bound, and
// stops the run.
#pragma once

#include <cstdint>

namespace usersub {

[[noreturn]] void bounds_error(const char* array, int subscript, std::int64_t value,
                               std::int64_t bound, bool above) noexcept;

// Checks lo <= value <= hi for subscript `subscript` of `array`.
inline void check_index(const char* array, int subscript, std::int64_t value,
                        std::int64_t lo, std::int64_t hi) noexcept
{
    if (value < lo) [[unlikely]] bounds_error(array, subscript, value, lo, false);
    if (value > hi) [[unlikely]] bounds_error(array, subscript, value, hi, true);
}

}  // namespace usersub
