#include "properties/transport/transport.h"

#include "common/fortran_format.h"
#include "common/output.h"
#include "common/run_stop.h"
#include "properties/species/liquid_species.h"
#include "properties/species/species_density.h"
#include "properties/species/species_table.h"
#include "properties/reports/property_reports.h"
#include "properties/transport/table_interp.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <string>
#include <vector>

namespace usersub::properties {
namespace {

constexpr double kPresent = 0.001;      // weight or mass fraction from which a tabled species counts
constexpr double kRemainder = 0.0001;   // share left over from which the power law enters
constexpr double kFloor = 1e-18;        // least viscosity and conductivity of a tabled species
constexpr double kPrandtl = 0.7;

// Mixing modes of CIRCUIT_SET.
constexpr std::int32_t kMassWeights = 1;
constexpr std::int32_t kVolumeWeights = 2;
constexpr std::int32_t kRootMassWeights = 3;

// Per-species weights of the last call, sized to the largest species count
// met (so a call allocates nothing once the set is loaded).
Array1<double> weight_work(std::int64_t n)
{
    static std::vector<double> work;
    if (static_cast<std::int64_t>(work.size()) < n) work.resize(static_cast<std::size_t>(n));
    return {"VISCANDCOND_WEIGHTS", work.data(), n};
}

// mu = 3.3e-7 T^0.7, Pa s; 0 at T = 0. A negative temperature has no real
// power: the run stops naming the routine.
double power_law_viscosity(double t_K, const char* routine) noexcept
{
    if (!(t_K >= 0.0)) {
        std::string line = "F*** Negative temperature in ";
        line += routine;
        line += ": T =";
        fmt::append_e(line, t_K, 12, 4);
        FatalReport(line).stop();
    }
    return 3.3e-7 * std::pow(t_K, 0.7);
}

// Weights by the circuit's mixing mode (mass fractions below circuit 1).
void mixing_weights(const SpeciesTable& tab, std::int32_t circuit, double t_K, double p_Pa,
                    Array1<const double> y, Array1<double> w) noexcept
{
    const std::int32_t n = tab.nspecies;
    const std::int32_t mode = circuit < 1 ? kMassWeights : property_settings().circuit_set(circuit);
    switch (mode) {
    case kMassWeights:
        for (std::int32_t i = 1; i <= n; ++i) w(i) = y(i);
        return;
    case kVolumeWeights:
        volume_fractions(0, p_Pa, t_K, y.data(), w.data());
        return;
    case kRootMassWeights: {
        double sum = 0.0;
        for (std::int32_t i = 1; i <= n; ++i) {
            w(i) = y(i) == 0.0 ? 0.0 : y(i) / std::sqrt(tab.pmwt(i));  // Y / sqrt(M)
            sum += w(i);
        }
        const double inv = sum != 0.0 ? 1.0 / sum : 0.0;
        for (std::int32_t i = 1; i <= n; ++i) w(i) *= inv;
        return;
    }
    default: {
        // The host gives every circuit mode 1, 2 or 3; any other has no weights.
        out::ListLine line;
        line << "F*** Unknown mixing mode in VISCANDCOND_USER: circuit" << circuit << "has mode" << mode
             << "(the modes are 1, 2 and 3)";
        line.write();
        stop_run();
    }
    }
}

struct LevelValues {
    double mu_Pas;
    double k_W_mK;
    double p_Pa;  // pressure of the level (its first row)
};

// Viscosity and conductivity of tabled species i on pressure level `level`
// at t_K, clamped into the level's temperature rows; the conductivity reuses
// the bracket of the viscosity.
LevelValues level_values(const SpeciesTable& tab, std::int32_t i, std::int32_t level, double t_K) noexcept
{
    const std::int32_t limit = tab.transport_table_limit;
    const std::int32_t first = tab.tt_level_rows(1, level, i);
    const std::int32_t last = tab.tt_level_rows(2, level, i);
    double t = t_K;
    if (first >= 1 && first < last && last <= limit)
        t = std::min(std::max(t_K, tab.tt_t(first, i)), tab.tt_t(last, i));

    LevelValues v{0.0, 0.0, 0.0};
    double slope = 0.0;
    std::int32_t range_flag = 0;
    std::int32_t error = 0;
    table_interp_cached(1, limit, first, last, i, tab.tt_t, tab.tt_mu, t, v.mu_Pas, slope, range_flag, error);
    if (error != 0) FatalReport("Interpolation error in VISCANDCOND_USER. ").stop();
    table_interp_cached(0, limit, first, last, i, tab.tt_t, tab.tt_k, t, v.k_W_mK, slope, range_flag, error);
    v.p_Pa = tab.tt_p(first, i);
    return v;
}

// Tabled species i at (t_K, p_Pa): the level of p, or the two levels that
// enclose it interpolated linearly in pressure.
LevelValues tabled_species(const SpeciesTable& tab, std::int32_t i, double t_K, double p_Pa) noexcept
{
    const std::int32_t last = tab.tt_nlevels(i);
    const auto level_pressure = [&](std::int32_t l) { return tab.tt_p(tab.tt_level_rows(1, l, i), i); };
    // At or below the pressure of the species' first table row: level 1.
    if (last <= 1 || p_Pa <= tab.tt_p(1, i)) return level_values(tab, i, 1, t_K);
    if (p_Pa >= level_pressure(last)) return level_values(tab, i, last, t_K);

    std::int32_t lo = 1;
    std::int32_t hi = last;
    while (hi - lo > 1) {
        const std::int32_t middle = (lo + hi) / 2;
        const double p_mid = level_pressure(middle);
        if (p_mid == p_Pa) return level_values(tab, i, middle, t_K);
        if (p_mid > p_Pa)
            hi = middle;
        else
            lo = middle;
    }
    const LevelValues a = level_values(tab, i, lo, t_K);
    const LevelValues b = level_values(tab, i, hi, t_K);
    const double f = (p_Pa - a.p_Pa) / (b.p_Pa - a.p_Pa);
    return {a.mu_Pas + (b.mu_Pas - a.mu_Pas) * f, a.k_W_mK + (b.k_W_mK - a.k_W_mK) * f, p_Pa};
}

}  // namespace

void viscandcond_user(double t_K, double p_Pa, double cp_J_kgK, const double* y_mass, double& mu_Pas,
                      double& k_W_mK, std::int32_t circuit) noexcept
{
    const SpeciesTable& tab = species_table();
    const Array1<const double> y("Y", y_mass, tab.nspecies);
    const Array1<double> w = weight_work(tab.nspecies);
    mixing_weights(tab, circuit, t_K, p_Pa, y, w);

    double mu = 0.0;        // weighted viscosity of the tabled species
    double k = 0.0;         // mass-weighted conductivity of the tabled species
    double w_sum = 0.0;     // their weights
    double y_sum = 0.0;     // their mass fractions
    for (std::int32_t i = 1; i <= tab.props_scalar_3; ++i) {
        if (!(w(i) > kPresent || y(i) > kPresent) || tab.tt_count(i) <= 0) continue;
        const LevelValues v = tabled_species(tab, i, t_K, p_Pa);
        if (y(i) > kPresent) {
            y_sum += y(i);
            k += std::max(v.k_W_mK, kFloor) * y(i);
        }
        w_sum += w(i);
        mu += std::max(v.mu_Pas, kFloor) * w(i);
    }

    // The share without tables (products included) follows the power law.
    double mu_ref = 0.0;
    if (1.0 - y_sum > kRemainder) {
        mu_ref = power_law_viscosity(t_K, "VISCANDCOND_USER");
        k += (1.0 - y_sum) * cp_J_kgK * mu_ref / kPrandtl;
    }
    if (1.0 - w_sum > kRemainder) {
        if (mu_ref == 0.0) mu_ref = power_law_viscosity(t_K, "VISCANDCOND_USER");
        mu += (1.0 - w_sum) * mu_ref;
    }
    mu_Pas = mu;
    k_W_mK = k;
}

void volume_fractions(std::int32_t circuit, double p_Pa, double t_K, const double* y_mass,
                      double* w_vol) noexcept
{
    const SpeciesTable& tab = species_table();
    const Array1<const double> y("Y", y_mass, tab.nspecies);
    const Array1<double> w("W", w_vol, tab.nspecies);

    // The liquid-vapour pair that is present, searched from the last list entry.
    std::int32_t pair_a = 0;
    std::int32_t pair_b = 0;
    if (circuit >= 1 && (property_settings().user_property_parameters(circuit) & 1) != 0) {
        for (std::int32_t j = tab.props_scalar_3; j >= 1; --j) {
            const std::int32_t a = tab.cavit_list(j);
            const std::int32_t b = tab.species_partner(a);
            if (y(a) + y(b) >= 1e-10) {
                pair_a = a;
                pair_b = b;
                break;
            }
        }
    }

    const bool realgas_run = tab.realgas_switch == 1 || tab.realgas_switch == 3;
    double sum = 0.0;
    for (std::int32_t i = 1; i <= tab.nspecies; ++i) {
        double v = 0.0;  // specific volume share Y v, m3/kg
        if (i <= tab.props_scalar_3) {
            if (i == pair_a || i == pair_b || y(i) > 1e-8) {
                switch (tab.iproptyp(i)) {
                case kGas: {
                    const double r_J_kgK = kGasConstant * tab.pmwt_inv(i);
                    double z = 1.0;
                    if (y(i) > 1e-8 && realgas_run && (tab.realgas_flag(i) & 1) != 0) {
                        double h_dep, dhdep_dp, dz_dp, dz_dt, cp_dep;
                        realgas_cubic(0, t_K, p_Pa, tab.tcrit(i), tab.pcrit(i), r_J_kgK, z, h_dep,
                                      dhdep_dp, dz_dp, dz_dt, cp_dep);
                    }
                    v = y(i) * t_K * z * r_J_kgK / p_Pa;
                    break;
                }
                case kConstantDensityLiquid:
                    v = y(i) / tab.rho_const(i);
                    break;
                case kPolynomialLiquid: {
                    // A density form other than 1 and 2 leaves the outputs as they are:
                    // such a liquid (no density) takes no volume share.
                    double rho = 0.0, drho_dt = 0.0, d2rho_dt2 = 0.0, drho_dp = 0.0;
                    liquid_density(i, t_K, p_Pa, rho, drho_dt, d2rho_dt2, drho_dp);
                    v = rho > 0.0 ? y(i) / rho : 0.0;
                    break;
                }
                default:
                    break;
                }
            }
        } else if (y(i) >= 1e-8) {
            v = y(i) * t_K * kGasConstant * tab.pmwt_inv(i) / p_Pa;  // ideal gas
        }
        w(i) = v;
        sum += v;
    }

    if (sum > 0.0) {
        const double inv = 1.0 / sum;
        for (std::int32_t i = 1; i <= tab.nspecies; ++i) w(i) *= inv;
    } else {
        for (std::int32_t i = 1; i <= tab.nspecies; ++i) w(i) = 0.0;
        if (tab.nspecies >= 1) w(1) = 1.0;
    }
}

void viscandcond_user_b(double t_K, double p_Pa, double /*unread*/, double cp_J_kgK, const double* y,
                        double& mu_Pas, double& k_W_mK, std::int32_t circuit) noexcept
{
    viscandcond_user(t_K, p_Pa, cp_J_kgK, y, mu_Pas, k_W_mK, circuit);
}

void gas_viscosity_power(double t_K, double cp_J_kgK, double& mu_Pas, double& k_W_mK) noexcept
{
    mu_Pas = power_law_viscosity(t_K, "GAS_VISCOSITY_POWER");
    k_W_mK = mu_Pas * cp_J_kgK / kPrandtl;
}

std::int32_t trprops_warn() noexcept
{
    // WARN_ONCE_FLAGS: flags zero at load, a slot per warning taken from a counter.
    static std::array<std::int32_t, 8> flags{};
    static std::int32_t slot = 0;
    static std::int32_t slot_counter = 0;
    const auto slot_flag = [&]() -> std::int32_t& { return flags[static_cast<std::size_t>(slot)]; };
    if ((slot_flag() & 1) == 0) return 0;
    if (slot == 0 && slot_counter + 1 < static_cast<std::int32_t>(flags.size())) slot = ++slot_counter;
    out::write_line("W*** At location: TRPROPS-Cond");
    slot_flag() = 0;
    return -1;
}

}  // namespace usersub::properties
