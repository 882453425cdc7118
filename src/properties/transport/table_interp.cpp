#include "properties/transport/table_interp.h"

namespace usersub::properties {
namespace {

InterpCache g_cache;

// y(lo) + (y(hi) - y(lo)) g with the cached bracket, and its slope.
void interpolate_cached(std::int32_t column, ArrayN<const double, 2> y_table, double& y,
                        double& dy_dx) noexcept
{
    g_cache.y_lo = y_table(g_cache.lo, column);
    g_cache.y_hi = y_table(g_cache.hi, column);
    const double dy = g_cache.y_hi - g_cache.y_lo;
    y = g_cache.y_lo + dy * g_cache.fraction;
    dy_dx = dy * g_cache.inv_width;
}

}  // namespace

const InterpCache& interp_cache() noexcept { return g_cache; }

void table_bracket(double x, ArrayN<const double, 2> table, std::int32_t column, std::int32_t low,
                   std::int32_t high, std::int32_t& upper, std::int32_t& lower) noexcept
{
    for (;;) {
        const std::int32_t middle = (low + high) / 2;
        if (table(middle, column) > x) {
            high = middle;
            if (high <= low + 1) break;
        } else {
            low = middle;
            if (high <= middle + 1) break;
        }
    }
    upper = high;
    lower = low;
}

void table_interp_cached(std::int32_t mode, std::int32_t n_rows, std::int32_t low,
                         std::int32_t high, std::int32_t column, ArrayN<const double, 2> x_table,
                         ArrayN<const double, 2> y_table, double x, double& y, double& dy_dx,
                         std::int32_t& range_flag, std::int32_t& error) noexcept
{
    range_flag = kInterpInRange;
    if (mode != 1) {
        error = 0;
        interpolate_cached(column, y_table, y, dy_dx);
        return;
    }
    if (low < 1 || high <= low || high > n_rows) {
        error = kInterpBadRows;
        return;
    }
    error = 0;

    double xc = x;
    const double x_low = x_table(low, column);
    const double x_high = x_table(high, column);
    if (x < x_low) {
        xc = x_low;
        const double s = x_low >= 0.0 ? 1e-5 : -1e-5;  // relative tolerance by the sign of the end
        if (x < (1.0 - s) * x_low) range_flag = kInterpBelow;
    }
    if (xc > x_high) {
        xc = x_high;
        const double s = x_high >= 0.0 ? 1e-5 : -1e-5;
        if (x > (1.0 + s) * x_high) range_flag = kInterpAbove;
    }

    // The bracket is kept even when it has no width; the fraction is not.
    table_bracket(xc, x_table, column, low, high, g_cache.hi, g_cache.lo);
    const double width = x_table(g_cache.hi, column) - x_table(g_cache.lo, column);
    if (width == 0.0) {
        error = kInterpBadRows;
        return;
    }
    g_cache.inv_width = 1.0 / width;
    g_cache.fraction = (xc - x_table(g_cache.lo, column)) * g_cache.inv_width;
    interpolate_cached(column, y_table, y, dy_dx);
}

}  // namespace usersub::properties
