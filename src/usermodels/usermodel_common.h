// What every user-model routine shares: the value of pi of the geometry
// formulas and the input-error stop.
#pragma once

#include <initializer_list>
#include <string_view>

namespace usersub::usermodels {

// Pi to the 15 significant digits the geometry formulas were written with,
// and a quarter of it (the area of a circle per squared diameter).
inline constexpr double kPi = 3.14159265358979;
inline constexpr double kPi4 = kPi / 4.0;

// A routine whose parameters do not fit: writes each line list-directed
// (one leading blank, the text as it stands) and stops the run.
[[noreturn]] void input_error(std::initializer_list<std::string_view> lines) noexcept;

}  // namespace usersub::usermodels
