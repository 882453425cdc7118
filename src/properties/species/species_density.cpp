#include "properties/species/species_density.h"

#include "common/fortran_format.h"
#include "properties/species/liquid_species.h"
#include "properties/reports/property_reports.h"
#include "properties/species/species_table.h"

#include <algorithm>
#include <cmath>
#include <string>

namespace usersub::properties {
namespace {

constexpr double kRkA = 0.4275;   // Redlich-Kwong a = kRkA R^2 Tc^2.5 / Pc
constexpr double kRkB = 0.08664;  // Redlich-Kwong b = kRkB R Tc / Pc

// Redlich-Kwong constants of a species, per unit mass.
struct RkConstants {
    double a;
    double b;
};

RkConstants rk_constants(double tc_K, double pc_Pa, double r_J_kgK) noexcept
{
    return {kRkA * r_J_kgK * r_J_kgK * std::pow(tc_K, 2.5) / pc_Pa, kRkB * r_J_kgK * tc_K / pc_Pa};
}

// h - h_ideal at specific volume v and temperature T.
double enthalpy_departure(const RkConstants& k, double r, double t, double v) noexcept
{
    const double sqrt_t = std::sqrt(t);
    return k.b * r * t / (v - k.b)                                   // P v - R T, repulsive part
           - k.a / (sqrt_t * (v + k.b))                              // P v - R T, attractive part
           - 1.5 * k.a / (k.b * sqrt_t) * std::log((v + k.b) / v);  // integral of T dP/dT - P
}

// d(h - h_ideal)/dv at constant T.
double enthalpy_departure_dv(const RkConstants& k, double r, double t, double v) noexcept
{
    const double sqrt_t = std::sqrt(t);
    return -k.b * r * t / ((v - k.b) * (v - k.b)) + k.a / (sqrt_t * (v + k.b) * (v + k.b)) +
           1.5 * k.a / (sqrt_t * v * (v + k.b));
}

// cp - cp_ideal at v and T: cv departure, then cp - cv against R.
double cp_departure(const RkConstants& k, double r, double t, double v) noexcept
{
    const double sqrt_t = std::sqrt(t);
    const double t15 = t * sqrt_t;
    const double dp_dt = r / (v - k.b) + 0.5 * k.a / (t15 * v * (v + k.b));
    const double dp_dv = -r * t / ((v - k.b) * (v - k.b)) +
                         k.a * (2.0 * v + k.b) / (sqrt_t * v * v * (v + k.b) * (v + k.b));
    return 0.75 * k.a * std::log((v + k.b) / v) / (k.b * t15) - r - t * dp_dt * dp_dt / dp_dv;
}

// Presets the five outputs besides Z that a state without a correction keeps.
void clear_departures(double& h_dep, double& dhdep_dp, double& dz_dp, double& dz_dt,
                      double& cp_dep) noexcept
{
    h_dep = dhdep_dp = dz_dp = dz_dt = cp_dep = 0.0;
}

bool opposite_signs(double x, double y) noexcept { return (x < 0.0 && y > 0.0) || (x > 0.0 && y < 0.0); }

}  // namespace

double cubic_root_bracket(double lo, double hi, double tol, double fallback, double a,
                          double b) noexcept
{
    const double c = a - b - b * b;
    const double d = -a * b;
    const auto f = [c, d](double z) { return ((z - 1.0) * z + c) * z + d; };

    double x_lo = lo;
    double x_hi = hi;
    double f_lo = f(x_lo);
    double f_hi = f(x_hi);
    if (!opposite_signs(f_lo, f_hi)) {
        if (f_lo == 0.0) return lo;
        if (f_hi == 0.0) return hi;
        if (f_lo == f_hi) return 0.0;
        if (f_lo < 0.0) return f_lo > f_hi ? lo : hi;  // both negative: the larger value
        return f_lo < f_hi ? lo : hi;                   // both positive: the smaller value
    }

    double estimate = -1.11e30;
    for (int iter = 0; iter < 60; ++iter) {
        const double x_m = 0.5 * (x_lo + x_hi);
        const double f_m = f(x_m);
        const double s = std::sqrt(f_m * f_m - f_lo * f_hi);  // > 0 while f_lo f_hi < 0
        const double x_new = x_m + (x_m - x_lo) * (f_lo > f_hi ? f_m : -f_m) / s;
        if (std::abs(x_new - estimate) <= tol) return estimate;
        estimate = x_new;
        const double f_new = f(x_new);
        if (f_new == 0.0) return x_new;
        if (opposite_signs(f_m, f_new)) {
            x_lo = x_m;
            f_lo = f_m;
            x_hi = x_new;
            f_hi = f_new;
        } else if (opposite_signs(f_lo, f_new)) {
            x_hi = x_new;
            f_hi = f_new;
        } else if (opposite_signs(f_hi, f_new)) {
            x_lo = x_new;
            f_lo = f_new;
        } else {
            return fallback;
        }
        if (std::abs(x_hi - x_lo) <= tol) return x_new;
    }
    return fallback;
}

void realgas_z(double t_K, double p_Pa, double tc_K, double pc_Pa, double r_J_kgK, double& z,
               double& h_dep_J_kg, double& dhdep_dp, std::int32_t form, double& dz_dp,
               double& dz_dt, double& cp_dep_J_kgK) noexcept
{
    z = 1.0;
    clear_departures(h_dep_J_kg, dhdep_dp, dz_dp, dz_dt, cp_dep_J_kgK);
    if (tc_K > 10000.0 || pc_Pa > 5.0e8) return;  // no critical data

    const EvolutionSwitches& sw = property_settings().evolution_switches;
    const double pr = p_Pa / pc_Pa;
    const double tr = t_K / tc_K;
    if (!(pr >= sw.pr_threshold || tr <= 1.0)) return;

    // Root at the reduced state (pr, tr): A = kRkA Pr / Tr^2.5, B = kRkB Pr / Tr.
    const auto root = [](double pr_at, double tr_at) {
        return cubic_root_bracket(0.2, 2.5, 0.002, 1.0, kRkA * pr_at / std::pow(tr_at, 2.5),
                                  kRkB * pr_at / tr_at);
    };
    z = root(pr, tr);
    if (form == 0) return;

    // Relative difference step 1/s. The settings give s = 1e6, 100 or -1
    // (and 0 before they are first set); a step that is not positive would
    // difference at zero or infinite pressure, so the usual 1e-6 stands in.
    const double s = sw.step_divisor > 0.0 ? sw.step_divisor : 1.0e6;
    const double rel = 1.0 / s;

    const RkConstants k = rk_constants(tc_K, pc_Pa, r_J_kgK);
    const double v = z * r_J_kgK * t_K / p_Pa;
    h_dep_J_kg = enthalpy_departure(k, r_J_kgK, t_K, v);
    cp_dep_J_kgK = cp_departure(k, r_J_kgK, t_K, v);

    // Forward differences: roots at P (1 + 1/s) and at T (1 + 1/s).
    const double p_step = p_Pa * (1.0 + rel);
    const double z_p = root(pr * (1.0 + rel), tr);
    const double z_t = root(pr, tr * (1.0 + rel));
    dz_dp = (z_p - z) * s / p_Pa;
    dz_dt = (z_t - z) * s / t_K;
    const double v_p = z_p * r_J_kgK * t_K / p_step;
    dhdep_dp = (enthalpy_departure(k, r_J_kgK, t_K, v_p) - h_dep_J_kg) * s / p_Pa;
}

void realgas_cubic(std::int32_t form, double t_K, double p_Pa, double tc_K, double pc_Pa,
                   double r_J_kgK, double& z, double& h_dep_J_kg, double& dhdep_dp,
                   double& dz_dp, double& dz_dt, double& cp_dep_J_kgK) noexcept
{
    clear_departures(h_dep_J_kg, dhdep_dp, dz_dp, dz_dt, cp_dep_J_kgK);

    double tr = t_K / tc_K;
    const double pr = p_Pa / pc_Pa;
    if (tr > 2.3 && tr > 10000.0 * pr) {  // far above Tc: ideal
        z = 1.0;
        return;
    }
    if (tr < 0.02 * pr) {  // far below Tc
        z = 5.0;
        return;
    }
    double t = t_K;
    const bool held = tr < 0.5;
    if (held) {
        tr = 0.5;
        t = 0.5 * tc_K;
    }

    const double b_red = kRkB * pr / tr;
    const double a_red = kRkA * pr / std::pow(tr, 2.5);
    // Z^3 - Z^2 + c Z + d = 0; with Z = y + 1/3: y^3 + p y + q = 0.
    const double c = a_red - b_red - b_red * b_red;
    const double d = -a_red * b_red;  // constant term, -A B
    const double p = c - 1.0 / 3.0;
    const double q = (9.0 * c - 2.0 + 27.0 * d) / 27.0;
    const double disc = q * q / 4.0 + p * p * p / 27.0;
    if (disc < 0.0) {  // three real roots: the largest
        const double m = -p / 3.0;
        const double arg = (-q / 2.0) / std::sqrt(m * m * m);
        const double phi = arg > 1.0 ? 0.0 : arg < -1.0 ? 3.14159265358979 : std::acos(arg);
        z = 2.0 * std::sqrt(m) * std::cos(phi / 3.0) + 1.0 / 3.0;
    } else {
        const double root = std::sqrt(disc);
        z = std::cbrt(-q / 2.0 - root) + std::cbrt(-q / 2.0 + root) + 1.0 / 3.0;
    }
    if (form == 0) return;

    const RkConstants k = rk_constants(tc_K, pc_Pa, r_J_kgK);
    const double v = z * r_J_kgK * t / p_Pa;
    h_dep_J_kg = enthalpy_departure(k, r_J_kgK, t, v);
    cp_dep_J_kgK = cp_departure(k, r_J_kgK, t, v);
    if (disc == 0.0) {  // double root: the derivatives are unbounded
        dz_dp = 1.0e18;
        dz_dt = 1.0e18;
        dhdep_dp = 1.0e18;
        return;
    }

    const double slope = 3.0 * z * z - 2.0 * z + c;  // d/dZ of the cubic
    const double dz_dc = -z / slope;
    const double dz_dd = -1.0 / slope;
    const double ab = a_red * b_red;
    const double dc_dt = (b_red + 2.0 * b_red * b_red - 2.5 * a_red) / t;
    const double dd_dt = 3.5 * ab / t;
    const double dc_dp = (a_red - b_red - 2.0 * b_red * b_red) / p_Pa;
    const double dd_dp = -2.0 * ab / p_Pa;
    dz_dp = dz_dc * dc_dp + dz_dd * dd_dp;
    dz_dt = held ? 0.0 : dz_dc * dc_dt + dz_dd * dd_dt;
    // v = Z R T / P: dv/dP = R T (dZ/dP - Z / P) / P.
    const double dv_dp = r_J_kgK * t * (dz_dp - z / p_Pa) / p_Pa;
    dhdep_dp = enthalpy_departure_dv(k, r_J_kgK, t, v) * dv_dp;
}

void getrho1(std::int32_t i, double t_K, double p_Pa, double& rho_kg_m3)
{
    const SpeciesTable& tab = species_table();
    if (i > tab.nspecies) {
        std::string line = "F*** Bad species index in GETRHO1:  ";
        fmt::append_i(line, i, 4);
        FatalReport(line).stop();
    }
    switch (tab.iproptyp(i)) {
    case kGas: {
        double z = 1.0;
        const double r_J_kgK = kGasConstant * tab.pmwt_inv(i);
        if ((tab.realgas_switch == 1 || tab.realgas_switch == 3) && (tab.realgas_flag(i) & 1) != 0) {
            double h_dep, dhdep_dp, dz_dp, dz_dt, cp_dep;
            if ((property_settings().evolution_switches.cubic_select & 1) != 0)
                realgas_cubic(0, t_K, p_Pa, tab.tcrit(i), tab.pcrit(i), r_J_kgK, z, h_dep, dhdep_dp,
                              dz_dp, dz_dt, cp_dep);
            else
                realgas_z(t_K, p_Pa, tab.tcrit(i), tab.pcrit(i), r_J_kgK, z, h_dep, dhdep_dp, 0,
                          dz_dp, dz_dt, cp_dep);
        }
        rho_kg_m3 = p_Pa / (z * r_J_kgK * t_K);
        break;
    }
    case kConstantDensityLiquid:
        rho_kg_m3 = tab.rho_const(i);
        break;
    case kPolynomialLiquid: {
        double drho_dt, d2rho_dt2, drho_dp;
        liquid_density(i, t_K, p_Pa, rho_kg_m3, drho_dt, d2rho_dt2, drho_dp);
        break;
    }
    default:
        break;
    }
}

}  // namespace usersub::properties
