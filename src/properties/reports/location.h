// The location code and its labels, which say in a report or a warning from
// where in the host solver the state call came.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>

namespace usersub::properties {

inline constexpr int kLocationCount = 74;      // codes 0..73
inline constexpr std::size_t kLocationLen = 40;

// Location codes set by the fluid-state entry points before they solve.
inline constexpr std::int32_t kLocationNone = 0;
inline constexpr std::int32_t kLocationStateTP = 1;
inline constexpr std::int32_t kLocationStateTPEq = 2;
inline constexpr std::int32_t kLocationStateRE = 3;
inline constexpr std::int32_t kLocationStateREEq = 4;

// The process-wide location code (0 when the library is loaded).
std::int32_t location_code() noexcept;
void set_location_code(std::int32_t code) noexcept;

// Label `code` of the table, 40 characters, blank-padded. A code outside 0..73
// gives the array-bounds diagnostic.
std::string_view location_text(std::int32_t code) noexcept;

}  // namespace usersub::properties
