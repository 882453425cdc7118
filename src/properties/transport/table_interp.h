// Linear interpolation in ascending table columns, with the bracket of the
// last search kept so that a second column of the same rows is interpolated
// without searching again.
#pragma once

#include "common/array.h"

#include <cstdint>

namespace usersub::properties {

// The bracket and fraction of the last search (mode 1), and the two y values
// of the last interpolation.
struct InterpCache {
    std::int32_t hi = 0;       // upper row
    std::int32_t lo = 0;       // lower row
    double inv_width = 0.0;    // 1 / (x(hi) - x(lo))
    double fraction = 0.0;     // (x - x(lo)) / (x(hi) - x(lo))
    double y_lo = 0.0;
    double y_hi = 0.0;
};
const InterpCache& interp_cache() noexcept;

// Range flags and errors of table_interp_cached.
inline constexpr std::int32_t kInterpInRange = 0;
inline constexpr std::int32_t kInterpBelow = 1;   // x more than 1e-5 relative below x(low)
inline constexpr std::int32_t kInterpAbove = 2;   // x more than 1e-5 relative above x(high)
inline constexpr std::int32_t kInterpBadRows = 4; // rows outside 1..n_rows, or a zero-width bracket

// Tables are (row, column) with n_rows rows per column; rows low..high of
// `column` ascend in x. Mode 1 clamps x into [x(low), x(high)], searches the
// bracket and interpolates y; any other mode interpolates y_table with the
// bracket and fraction of the last mode-1 call (meaningful only right after
// one on the same rows). On error 4, y and dy_dx are left unchanged.
void table_interp_cached(std::int32_t mode, std::int32_t n_rows, std::int32_t low,
                         std::int32_t high, std::int32_t column, ArrayN<const double, 2> x_table,
                         ArrayN<const double, 2> y_table, double x, double& y, double& dy_dx,
                         std::int32_t& range_flag, std::int32_t& error) noexcept;

// Bisection for x in rows low..high of an ascending column: upper and lower
// are adjacent rows (or low and high themselves when they are adjacent).
void table_bracket(double x, ArrayN<const double, 2> table, std::int32_t column, std::int32_t low,
                   std::int32_t high, std::int32_t& upper, std::int32_t& lower) noexcept;

}  // namespace usersub::properties
