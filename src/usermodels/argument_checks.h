// Host arguments that leave a user model without a defined result (a zero
// diameter, a density of zero, a table used before it is loaded) end the run
// with a message naming the entry point and the argument, instead of handing
// back a NaN or an infinity the host would carry into its solution.
#pragma once

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <initializer_list>
#include <string_view>

namespace usersub::usermodels {

// Writes " F*** <entry>: argument <position> (<what>) <condition>: <value>"
// (list-directed) and stops the run.
[[noreturn]] void argument_error(std::string_view entry, std::int32_t position, std::string_view what,
                                 std::string_view condition, double value) noexcept;

// Same, for a parameter of the user-model record: "real parameter <n> (<what>)".
[[noreturn]] void parameter_error(std::string_view entry, std::int32_t number, std::string_view what,
                                  std::string_view condition, double value) noexcept;

inline void require_positive(std::string_view entry, std::int32_t position, std::string_view what,
                             double value) noexcept
{
    if (!(value > 0.0)) argument_error(entry, position, what, "must be positive", value);
}

inline void require_nonzero(std::string_view entry, std::int32_t position, std::string_view what,
                            double value) noexcept
{
    if (value == 0.0) argument_error(entry, position, what, "must not be zero", value);
}

// The condition of an input that carries a result out of the real range.
inline constexpr std::string_view kBeyondRealRange = "gives a value beyond the real range";

// An input that may carry a result out of the real range, with its reach: how far it
// drives the result, |value| for a factor, |1/value| for a divisor, the larger of the
// two where it enters both ways or through a power.
struct RangeSource {
    std::int32_t number;  // argument position, or parameter number
    std::string_view what;
    double value;
    double reach;
    bool parameter = false;
};

inline double factor_reach(double v) noexcept { return std::abs(v); }
inline double divisor_reach(double v) noexcept { return 1.0 / std::abs(v); }
inline double extreme_reach(double v) noexcept { return std::max(std::abs(v), 1.0 / std::abs(v)); }

// A result left the real range although every input is finite: stops the run naming the
// input of the largest reach (the first of equals) with "gives a value beyond the real range".
[[noreturn]] void beyond_real_range(std::string_view entry, std::initializer_list<RangeSource> sources) noexcept;

}  // namespace usersub::usermodels
