// Host arguments that leave a user model without a defined result (a zero
// diameter, a density of zero, a table used before it is loaded) end the run
// with a message naming the entry point and the argument, instead of handing
// back a NaN or an infinity the host would carry into its solution.
#pragma once

#include <cstdint>
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

}  // namespace usersub::usermodels
