// Two small routines of the property library that no entry point calls.
#pragma once

#include <cstdint>

namespace usersub::properties {

// Stands in for a query that has no result here: always 0.
std::int32_t null_result_stub() noexcept;

// Refrigerant fluids are not available to user models: writes
// "F*** FluidRefrigerant not allowed with user model" on a line of its own
// and ends the run.
[[noreturn]] void refrigerant_stub() noexcept;

}  // namespace usersub::properties
