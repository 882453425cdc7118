#include "properties/species/liquid_species.h"

#include "common/fortran_format.h"
#include "common/output.h"
#include "exchange/run_info.h"
#include "properties/reports/property_reports.h"
#include "properties/species/species_table.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <string>
#include <string_view>

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

struct Density {
    double rho;        // kg/m3
    double drho_dt;    // kg/(m3 K)
    double d2rho_dt2;  // kg/(m3 K^2)
    double drho_dp;    // kg/(m3 Pa)
};

void write_out(const Density& d, double& rho_kg_m3, double& drho_dt, double& d2rho_dt2, double& drho_dp) noexcept
{
    rho_kg_m3 = d.rho;
    drho_dt = d.drho_dt;
    d2rho_dt2 = d.d2rho_dt2;
    drho_dp = d.drho_dp;
}

bool is_correlated(const SpeciesTable& tab, std::int32_t i) noexcept
{
    return tab.iproptyp(i) == kPolynomialLiquid;
}

// Density form 1 of species i at T clamped to its range: a polynomial in
// t = T - T_ref and pp = (p - p_ref) in bar.
Density density_form1(const SpeciesTable& tab, std::int32_t i, double t_K, double p_Pa) noexcept
{
    const auto coef = [&](int k) { return tab.liq_coef_a(k, i); };
    const double t = clamp_to(t_K, tab.species_tmin(i), tab.species_tmax(i)) - tab.liq_par_a(i);
    const double pp = (liquid_pressure(tab, i, p_Pa) - tab.liq_par_b(i)) * 1.0e-5;  // bar
    const double r1 = coef(1), r2 = coef(2), r3 = coef(3), r4 = coef(4), r5 = coef(5), r6 = coef(6),
                 r7 = coef(7);
    return {r1 + r2 * t + r3 * t * t + r4 * t * pp + r5 * pp + r6 * pp * pp + r7 * pp * pp * pp,
            r2 + 2.0 * r3 * t + r4 * pp,
            2.0 * r3,
            (r4 * t + r5 + 2.0 * r6 * pp + 3.0 * r7 * pp * pp) * 1.0e-5};
}

// The values of form 2 where it has none: a species that is not a type-3
// liquid, or a negative base.
constexpr Density kNoForm2{1.0e-6, 1.0, 1.0, 1.0};

// Density form 2 of species i at T clamped to its range and the pressure pb
// in bar; false (and kNoForm2) when the base x = d2 T + pb + d3 is negative.
bool density_form2(const SpeciesTable& tab, std::int32_t i, double t_K, double p_Pa, Density& d) noexcept
{
    const auto coef = [&](int k) { return tab.liq_coef_a(k, i); };
    const double t = clamp_to(t_K, tab.species_tmin(i), tab.species_tmax(i));
    const double pb = liquid_pressure(tab, i, p_Pa) * 1.0e-5;  // bar
    const double d1 = coef(1), d2 = coef(2), d3 = coef(3), d4 = coef(4), d5 = coef(5), d6 = coef(6),
                 d7 = coef(7), d8 = coef(8);
    const double x = d2 * t + pb + d3;
    if (x < 0.0) {
        d = kNoForm2;
        return false;
    }
    const double sqrt_t = std::sqrt(t);
    const double x_d4 = std::pow(x, d4);
    const double t_d6 = std::pow(t, d6);
    d.rho = d1 + d8 * sqrt_t + std::pow(x, d4 + 1.0) / (d4 + 1.0) + pb * (d7 + d5 * t_d6);
    d.drho_dt = d8 / (2.0 * sqrt_t) + d2 * x_d4 + d5 * d6 * pb * std::pow(t, d6 - 1.0);
    d.d2rho_dt2 = d2 * d2 * d4 * std::pow(x, d4 - 1.0) - d8 / (4.0 * t * sqrt_t) +
                  d5 * d6 * (d6 - 1.0) * pb * std::pow(t, d6 - 2.0);
    d.drho_dp = (x_d4 + d7 + d5 * t_d6) * 1.0e-5;
    return true;
}

// "F*** <what> for species: <name>", then T and P (bar), F8.2 each; ends the run.
[[noreturn]] void cannot_calculate(std::string_view what, const SpeciesTable& tab, std::int32_t i,
                                   double t_K, double p_Pa)
{
    std::string name_line = "F*** Cannot calculate ";
    name_line += what;
    name_line += " for species: ";
    name_line += tab.namfl(i);
    std::string t_line = "     T     =";
    fmt::append_f(t_line, t_K, 8, 2);
    std::string p_line = "     P     =";
    fmt::append_f(p_line, p_Pa * 1.0e-5, 8, 2);
    FatalReport(name_line).line(t_line).line(p_line).stop();
}

}  // namespace

void liquid_density(std::int32_t i, double t_K, double p_Pa, double& rho_kg_m3, double& drho_dt,
                    double& d2rho_dt2, double& drho_dp)
{
    const SpeciesTable& tab = species_table();
    watch_range(tab, i, t_K, tab.species_tmin(i), tab.species_tmax(i));

    switch (tab.liq_form(i)) {
    case 1: {
        const Density d = is_correlated(tab, i) ? density_form1(tab, i, t_K, p_Pa) : Density{};
        write_out(d, rho_kg_m3, drho_dt, d2rho_dt2, drho_dp);
        return;
    }
    case 2: {
        Density d = kNoForm2;
        if (is_correlated(tab, i) && !density_form2(tab, i, t_K, p_Pa, d))
            cannot_calculate("density", tab, i, t_K, p_Pa);
        write_out(d, rho_kg_m3, drho_dt, d2rho_dt2, drho_dp);
        return;
    }
    default:
        return;
    }
}

void species_props_b(std::int32_t i, double t_K, double p_Pa, double& rho_kg_m3, double& drho_dt,
                     double& d2rho_dt2, double& drho_dp) noexcept
{
    const SpeciesTable& tab = species_table();
    const bool form1 = is_correlated(tab, i) && tab.liq_form(i) == 1;
    const Density d = form1 ? density_form1(tab, i, t_K, p_Pa) : Density{};
    write_out(d, rho_kg_m3, drho_dt, d2rho_dt2, drho_dp);
}

void species_props_c(std::int32_t i, double t_K, double p_Pa, double& rho_kg_m3, double& drho_dt,
                     double& d2rho_dt2, double& drho_dp, std::int32_t& flag) noexcept
{
    const SpeciesTable& tab = species_table();
    Density d = kNoForm2;
    flag = 0;
    if (is_correlated(tab, i) && tab.liq_form(i) == 2 && !density_form2(tab, i, t_K, p_Pa, d)) flag = 1;
    write_out(d, rho_kg_m3, drho_dt, d2rho_dt2, drho_dp);
}

void liquid_props_wrap(std::int32_t i, double t_K, double p_Pa, double& c_m_s)
{
    // A species of another form leaves the density untouched: 0 stops below.
    double rho = 0.0, drho_dt = 0.0, d2rho_dt2 = 0.0, drho_dp = 0.0;
    liquid_density(i, t_K, p_Pa, rho, drho_dt, d2rho_dt2, drho_dp);
    double h = 0.0, cp = 0.0, dh_dp = 0.0;
    liquid_species_props(i, t_K, p_Pa, h, cp, dh_dp, rho, drho_dt);
    // Without a positive drho/dP there is no sound speed.
    if (!(drho_dp > 0.0)) cannot_calculate("sound speed", species_table(), i, t_K, p_Pa);
    // cp / cv = 1 / (1 - T (drho/dT)^2 / (rho^2 cp drho/dP)), held to 1.0 .. 1.6:
    // x above 1 gives a negative ratio, held at 1.0; x = 1 an infinite one, 1.6.
    // A density or cp that is not positive still gives a ratio (x infinite or
    // negative: 1.0); only 0/0 (no slope over a zero density or cp) has none.
    const double x = t_K * drho_dt * drho_dt / (rho * rho * cp * drho_dp);
    if (std::isnan(x)) cannot_calculate("sound speed", species_table(), i, t_K, p_Pa);
    const double gamma = x == 1.0 ? 1.6 : std::min(std::max(1.0 / (1.0 - x), 1.0), 1.6);
    c_m_s = std::sqrt(gamma / drho_dp);
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
