// Dense linear solves A x = b by Gauss-Jordan elimination with full pivoting,
// one right-hand side, for the small Newton systems of the equilibrium
// routines.
//
// A is an mmx1 by n matrix of doubles stored column by column (element (i, j)
// at a[(i - 1) + (j - 1) * mmx1]); b holds n doubles. On return b holds the
// solution and A is overwritten. The pivot is the element of largest absolute
// value among the rows and columns not yet used (rows scanned in the outer
// loop, the first maximum met wins a tie). The solution needs no column
// unscrambling, so none is made and A is left as the elimination leaves it.
//
// When no non-zero pivot is left (a singular matrix) the solve returns at once
// with false and b partly reduced; nothing is written. A leading dimension
// above matrix_max_leading ends the run with a message.
//
// The two solvers are the same elimination with pivot bookkeeping of their
// own (static, reset on every call; nothing is allocated): matrix_solve_a
// writes its message as a formatted line, matrix_solve_b as a list-directed
// one. Orders 4 and 5 stored without padding (the equilibrium Newton
// systems) run an unrolled copy of the same elimination, with the same
// result to the last bit.
#pragma once

#include <cstdint>

namespace usersub::properties {

inline constexpr std::int32_t matrix_max_leading = 1000;

// Serves the equilibrium-constant solvers.
bool matrix_solve_a(std::int32_t n, std::int32_t mmx1, double* a, double* b) noexcept;

// Serves the Gibbs minimisation.
bool matrix_solve_b(std::int32_t n, std::int32_t mmx1, double* a, double* b) noexcept;

}  // namespace usersub::properties
