#include "properties/transport/property_helpers.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstddef>
#include <span>

namespace usersub::properties {
namespace {

// One pressure band of the steam table: grid from p_first in steps of dp.
struct LatentBand {
    double p_first;  // bar
    double dp;       // bar
    std::span<const double> h;  // J/kg at the grid points
};

constexpr std::array<double, 4> kBand1 = {2432900, 2415900, 2403100, 2392800};  // 0.04 .. 0.1
constexpr std::array<double, 10> kBand2 = {2392800, 2358300, 2336100, 2319200, 2305400,
                                           2293600, 2283300, 2274100, 2265700, 2258000};  // 0.1 .. 1
constexpr std::array<double, 9> kBand3 = {2258000, 2226500, 2201900, 2181500, 2163800,
                                          2148100, 2133800, 2120700, 2108500};  // 1 .. 5
constexpr std::array<double, 6> kBand4 = {2108500, 2086300, 2066300, 2048000, 2031100, 2015300};  // 5 .. 10
constexpr std::array<double, 9> kBand5 = {2015300, 1947300, 1890700, 1841000, 1795700,
                                          1753700, 1714100, 1676400, 1640100};  // 10 .. 50
constexpr std::array<double, 16> kBand6 = {1640100, 1571000, 1505100, 1441300, 1378900, 1317100,
                                           1255500, 1193600, 1130700, 1066500, 1000000, 930600,
                                           856900,  777100,  688000,  583400};  // 50 .. 200

const std::array<LatentBand, 6> kBands = {{{0.04, 0.02, kBand1},
                                           {0.1, 0.1, kBand2},
                                           {1.0, 0.5, kBand3},
                                           {5.0, 1.0, kBand4},
                                           {10.0, 5.0, kBand5},
                                           {50.0, 10.0, kBand6}}};

double band_value(const LatentBand& band, double p_bar) noexcept
{
    const double u = (p_bar - band.p_first) / band.dp;  // grid position
    const std::size_t last = band.h.size() - 1;
    const double nearest = std::round(u);
    if (std::fabs(u - nearest) < 1e-9) return band.h[std::min(static_cast<std::size_t>(nearest), last)];
    const std::size_t k = std::min(static_cast<std::size_t>(std::max(u, 0.0)), last - 1);
    const double f = u - static_cast<double>(k);
    return band.h[k] + (band.h[k + 1] - band.h[k]) * f;
}

}  // namespace

double water_latent_heat(double p_bar) noexcept
{
    if (p_bar <= 0.04) return 2432900.0;
    for (const LatentBand& band : kBands) {
        const double p_end = band.p_first + band.dp * static_cast<double>(band.h.size() - 1);
        if (p_bar < p_end) return band_value(band, p_bar);
    }
    if (p_bar < 220.9) return 6166175.0 - 27913.87 * p_bar;  // up to the critical point
    return 0.0;
}

double total_pressure_series(double p, double rho, double v, double c, double gamma) noexcept
{
    const double mach = v / std::max(c, 1e-18);
    const double m2 = std::min(mach * mach, 1.0);
    return p + 0.5 * rho * v * v * (1.0 + m2 / 4.0 + (2.0 - gamma) * m2 * m2 / 24.0);
}

}  // namespace usersub::properties
