#include "properties/species/liquid_species.h"

#include "common/fortran_format.h"
#include "common/output.h"
#include "exchange/run_info.h"
#include "properties/state/property_reports.h"
#include "properties/species/species_table.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <string>

namespace usersub::properties {
namespace {

constexpr std::int32_t kRangeWarnSteps = 10;  // time steps on which the range warning is written

double clamp_to(double x, double lo, double hi) noexcept { return std::min(std::max(x, lo), hi); }

// Counts one more, holding at the largest count: a long run may exceed it.
void count_up(std::int32_t& n) noexcept
{
    if (n < std::numeric_limits<std::int32_t>::max()) ++n;
}

// The pressure of the correlations: clamped to the species' limits unless its
// clamp switch is set.
double liquid_pressure(const SpeciesTable& tab, std::int32_t i, double p_Pa) noexcept
{
    return tab.liq_flag(i) != 0 ? p_Pa : clamp_to(p_Pa, tab.species_pmin(i), tab.species_pmax(i));
}

// Records T outside the range of species i and writes the range warning on
// the first such call of a time step, on at most kRangeWarnSteps steps.
void watch_range(const SpeciesTable& tab, std::int32_t i, double t_K, double t_min, double t_max)
{
    if (t_K >= t_min && t_K <= t_max) return;
    tab.tseen_flag(i) = -1;
    if (t_K < tab.tseen_tmin(i)) tab.tseen_tmin(i) = t_K;
    if (t_K > tab.tseen_tmax(i)) tab.tseen_tmax(i) = t_K;

    PropWarnState& warn = prop_warn_state();
    const std::int32_t step = exchange::global_info().time_step_number;
    if (step != warn.trange_warn_step) {
        warn.trange_warn_step = step;
        count_up(warn.trange_warn_printed);
        if (warn.trange_warn_printed <= kRangeWarnSteps) {
            std::string line = "W*** Temperature out of range for species: ";
            line += tab.namfl(i);
            out::write_line(line);
            line = "   T,Tmin,Tmax = ";
            fmt::append_f(line, t_K, 8, 2);
            fmt::append_f(line, t_min, 8, 2);
            fmt::append_f(line, t_max, 8, 2);
            out::write_line(line);
            out::write_line(location_line(WarningLocation::liquid_range, step));
            out::write_line(warn.trange_warn_printed == kRangeWarnSteps
                                ? "   Warn limit exceeded: Suppressing future warnings of this type for this case."
                                : "   Suppressing additional warnings of this type for this timestep.");
        }
    }
    count_up(warn.trange_warn_calls);
}

}  // namespace

void liquid_density(std::int32_t i, double t_K, double p_Pa, double& rho_kg_m3, double& drho_dt,
                    double& d2rho_dt2, double& drho_dp)
{
    const SpeciesTable& tab = species_table();
    const double t_min = tab.species_tmin(i);
    const double t_max = tab.species_tmax(i);
    watch_range(tab, i, t_K, t_min, t_max);

    const auto coef = [&](int k) { return tab.liq_coef_a(k, i); };
    const bool correlated = tab.iproptyp(i) == kPolynomialLiquid;
    switch (tab.liq_form(i)) {
    case 1: {
        if (!correlated) {
            rho_kg_m3 = drho_dt = d2rho_dt2 = drho_dp = 0.0;
            return;
        }
        const double t = clamp_to(t_K, t_min, t_max) - tab.liq_par_a(i);
        const double pp = (liquid_pressure(tab, i, p_Pa) - tab.liq_par_b(i)) * 1.0e-5;  // bar
        const double r1 = coef(1), r2 = coef(2), r3 = coef(3), r4 = coef(4), r5 = coef(5),
                     r6 = coef(6), r7 = coef(7);
        rho_kg_m3 = r1 + r2 * t + r3 * t * t + r4 * t * pp + r5 * pp + r6 * pp * pp + r7 * pp * pp * pp;
        drho_dt = r2 + 2.0 * r3 * t + r4 * pp;
        d2rho_dt2 = 2.0 * r3;
        drho_dp = (r4 * t + r5 + 2.0 * r6 * pp + 3.0 * r7 * pp * pp) * 1.0e-5;
        return;
    }
    case 2: {
        rho_kg_m3 = 1.0e-6;
        drho_dt = d2rho_dt2 = drho_dp = 1.0;
        if (!correlated) return;
        const double t = clamp_to(t_K, t_min, t_max);
        const double pb = liquid_pressure(tab, i, p_Pa) * 1.0e-5;  // bar
        const double d1 = coef(1), d2 = coef(2), d3 = coef(3), d4 = coef(4), d5 = coef(5),
                     d6 = coef(6), d7 = coef(7), d8 = coef(8);
        const double x = d2 * t + pb + d3;
        if (x < 0.0) {
            std::string name_line = "F*** Cannot calculate density for species: ";
            name_line += tab.namfl(i);
            std::string t_line = "     T     =";
            fmt::append_f(t_line, t_K, 8, 2);
            std::string p_line = "     P     =";
            fmt::append_f(p_line, p_Pa * 1.0e-5, 8, 2);
            FatalReport(name_line).line(t_line).line(p_line).stop();
        }
        const double sqrt_t = std::sqrt(t);
        const double x_d4 = std::pow(x, d4);
        const double t_d6 = std::pow(t, d6);
        rho_kg_m3 = d1 + d8 * sqrt_t + std::pow(x, d4 + 1.0) / (d4 + 1.0) + pb * (d7 + d5 * t_d6);
        drho_dt = d8 / (2.0 * sqrt_t) + d2 * x_d4 + d5 * d6 * pb * std::pow(t, d6 - 1.0);
        d2rho_dt2 = d2 * d2 * d4 * std::pow(x, d4 - 1.0) - d8 / (4.0 * t * sqrt_t) +
                    d5 * d6 * (d6 - 1.0) * pb * std::pow(t, d6 - 2.0);
        drho_dp = (x_d4 + d7 + d5 * t_d6) * 1.0e-5;
        return;
    }
    default:
        return;
    }
}

void liquid_species_h(std::int32_t i, double t_K, double p_Pa, double& h_J_kg,
                      double& cp_J_kgK) noexcept
{
    const SpeciesTable& tab = species_table();
    const double t_min = tab.species_tmin(i);
    const double t_max = tab.species_tmax(i);
    const double t = clamp_to(t_K, t_min, t_max) - tab.tref_liq;
    const double pb = liquid_pressure(tab, i, p_Pa) * 1.0e-5 - tab.pref_liq;  // bar
    const double dt_out = t_K > t_max ? t_K - t_max : std::min(t_K - t_min, 0.0);  // signed distance outside

    const double c1 = tab.thermo_coef(1, 1, i), c2 = tab.thermo_coef(1, 2, i),
                 c3 = tab.thermo_coef(1, 3, i), c4 = tab.thermo_coef(1, 4, i);
    const double c_t = c1 + t * (c2 + t * (c3 + t * c4));    // C(t)
    const double dc_dt = c2 + t * (2.0 * c3 + 3.0 * c4 * t);  // C'(t)
    const auto poly = [&](const ArrayN<double, 2>& k) {      // k1 + k2 t + k3 t^2 + k4 t pb + k5 pb + k6 pb^2
        return k(1, i) + k(2, i) * t + k(3, i) * t * t + k(4, i) * t * pb + k(5, i) * pb +
               k(6, i) * pb * pb;
    };
    const double g = poly(tab.liq_coef_c);
    const double f = poly(tab.liq_coef_b);
    if (user_evolution(60) < 4) {
        cp_J_kgK = g + dc_dt;
        h_J_kg = f + c_t + cp_J_kgK * dt_out;
    } else {
        cp_J_kgK = g * pb + dc_dt;
        h_J_kg = f * pb + c_t + cp_J_kgK * dt_out;
    }
}

void liquid_species_props(std::int32_t i, double t_K, double p_Pa, double& h_J_kg,
                          double& cp_J_kgK, double& dh_dp, double rho_kg_m3,
                          double drho_dt) noexcept
{
    if (species_table().iproptyp(i) != kPolynomialLiquid) {
        h_J_kg = cp_J_kgK = dh_dp = 0.0;
        return;
    }
    liquid_species_h(i, t_K, p_Pa, h_J_kg, cp_J_kgK);
    dh_dp = 1.0 / rho_kg_m3 + t_K / (rho_kg_m3 * rho_kg_m3) * drho_dt;  // v - T dv/dT
}

}  // namespace usersub::properties
