#include "properties/species_density.h"

#include "species_setup.h"
#include "support/child.h"

#include <gtest/gtest.h>

#include <cmath>
#include <tuple>
#include <utility>
#include <vector>

namespace usersub::properties {
namespace {

// Methane-like critical data; R per unit mass.
constexpr double kTc = 190.6;
constexpr double kPc = 4.599e6;
constexpr double kMw = 16.043;  // kg/kmol
constexpr double kR = 8314.3 / kMw;

// Redlich-Kwong constants per unit mass, straight from their definitions.
double rk_a() { return 0.4275 * kR * kR * std::pow(kTc, 2.5) / kPc; }
double rk_b() { return 0.08664 * kR * kTc / kPc; }

// The Redlich-Kwong pressure equation.
double rk_pressure(double v, double t)
{
    return kR * t / (v - rk_b()) - rk_a() / (std::sqrt(t) * v * (v + rk_b()));
}

// Largest specific volume with P(v) = p, by scanning down from the ideal-gas
// volume for the first sign change and bisecting it; returned as Z.
double z_by_bisection(double t, double p)
{
    const double b = rk_b();
    const double v_ideal = kR * t / p;
    double hi = 20.0 * v_ideal;
    const double dv = (hi - b) / 200000.0;
    double lo = hi - dv;
    while (lo > b && (rk_pressure(lo, t) - p) * (rk_pressure(hi, t) - p) > 0.0) {
        hi = lo;
        lo -= dv;
    }
    for (int k = 0; k < 200; ++k) {
        const double mid = 0.5 * (lo + hi);
        if ((rk_pressure(lo, t) - p) * (rk_pressure(mid, t) - p) <= 0.0)
            hi = mid;
        else
            lo = mid;
    }
    return 0.5 * (lo + hi) * p / (kR * t);
}

// h - h_ideal = P v - R T + integral from infinite volume to v of
// (T dP/dT - P) dv, with dP/dT by central differences and the integral by
// Simpson's rule in u = 1/v.
double h_departure_numeric(double t, double p)
{
    const double v = z_by_bisection(t, p) * kR * t / p;
    const double dt = 1.0e-4 * t;
    const auto g = [&](double vv) {
        const double dp_dt = (rk_pressure(vv, t + dt) - rk_pressure(vv, t - dt)) / (2.0 * dt);
        return t * dp_dt - rk_pressure(vv, t);
    };
    const int n = 20000;
    const double u_end = 1.0 / v;
    const double du = u_end / n;
    double sum = 0.0;
    for (int k = 0; k <= n; ++k) {
        const double u = k * du;
        // g(1/u) / u^2 tends to a finite limit as u -> 0; start just above 0.
        const double uu = k == 0 ? 1.0e-9 * u_end : u;
        const double w = (k == 0 || k == n) ? 1.0 : (k % 2 == 1 ? 4.0 : 2.0);
        sum += w * g(1.0 / uu) / (uu * uu);
    }
    const double integral = -sum * du / 3.0;  // dv = -du / u^2, limits swapped
    return p * v - kR * t + integral;
}

struct RealGasOut {
    double z, h_dep, dhdep_dp, dz_dp, dz_dt, cp_dep;
};

RealGasOut cubic(double t, double p, int form = 1)
{
    RealGasOut o{};
    realgas_cubic(form, t, p, kTc, kPc, kR, o.z, o.h_dep, o.dhdep_dp, o.dz_dp, o.dz_dt, o.cp_dep);
    return o;
}

RealGasOut bracketed(double t, double p, int form = 1)
{
    RealGasOut o{};
    realgas_z(t, p, kTc, kPc, kR, o.z, o.h_dep, o.dhdep_dp, form, o.dz_dp, o.dz_dt, o.cp_dep);
    return o;
}

// Reduced states (Tr, Pr) with one vapour-like root in [0.2, 2.5].
const std::vector<std::pair<double, double>> kStates{
    {1.5, 1.0}, {2.0, 5.0}, {1.2, 0.5}, {0.9, 0.2}, {3.0, 10.0}, {1.1, 2.0}, {1.05, 0.9}};

TEST(RealGasZ, BothSolversFindTheRedlichKwongRoot)
{
    for (auto [tr, pr] : kStates) {
        const double t = tr * kTc, p = pr * kPc;
        const double z_ref = z_by_bisection(t, p);
        EXPECT_NEAR(cubic(t, p, 0).z, z_ref, 1e-9) << tr << " " << pr;
        EXPECT_NEAR(bracketed(t, p, 0).z, z_ref, 0.002) << tr << " " << pr;
    }
    // Tr = 1.5, Pr = 1: A = 0.155125, B = 0.05776; root 0.907233 (bisection
    // of the reduced cubic in Python).
    EXPECT_NEAR(cubic(1.5 * kTc, kPc, 0).z, 0.907233, 1e-6);
}

TEST(RealGasZ, BracketReturnsTheEstimateBeforeTheLast)
{
    // At Tr = 3, Pr = 10 and Tr = 1.1, Pr = 2 Ridders' iteration stops when two
    // estimates agree within 0.002; the newest is within 1e-8 of the root, the
    // one returned (the one before) 1.5e-4 and 2.0e-4 away (independent
    // evaluation of the same iteration).
    for (auto [tr, pr, gap] : {std::tuple{3.0, 10.0, 1.517e-4}, std::tuple{1.1, 2.0, 2.023e-4}}) {
        const double a = 0.4275 * pr / std::pow(tr, 2.5), b = 0.08664 * pr / tr;
        const double z = cubic_root_bracket(0.2, 2.5, 0.002, 1.0, a, b);
        EXPECT_NEAR(z - z_by_bisection(tr * kTc, pr * kPc), gap, 2e-6);
    }

    // Without a sign change: a zero bound, else the bound nearer zero.
    EXPECT_EQ(cubic_root_bracket(0.5, 1.0, 0.002, 1.0, 0.0, 0.0), 1.0);  // f = Z^2 (Z - 1)
    EXPECT_EQ(cubic_root_bracket(1.0, 2.5, 0.002, 7.0, 0.0, 0.0), 1.0);
    // A = 10, B = 0.1: f(0.2) = 0.946, f(2.5) = 33.1, both positive.
    EXPECT_EQ(cubic_root_bracket(0.2, 2.5, 0.002, 7.0, 10.0, 0.1), 0.2);
    // A = 10, B = 2: f(0.2) = -19.232, f(2.5) = -0.625, both negative.
    EXPECT_EQ(cubic_root_bracket(0.2, 2.5, 0.002, 7.0, 10.0, 2.0), 2.5);
    EXPECT_EQ(cubic_root_bracket(0.6, 0.6, 0.002, 7.0, 0.0, 0.0), 0.0);
}

TEST(RealGasZ, DeparturesAndDerivativesMatchTheEquationOfState)
{
    setup::set_user_evolution({});  // difference step 1/s = 1e-6
    for (auto [tr, pr] : kStates) {
        const double t = tr * kTc, p = pr * kPc;
        const RealGasOut o = cubic(t, p);

        EXPECT_NEAR(o.h_dep, h_departure_numeric(t, p), 1e-6 * std::abs(o.h_dep) + 1e-3)
            << tr << " " << pr;

        // cp departure = d(h - h_ideal)/dT at constant P.
        const double dt = 1.0e-3 * t;
        const double cp_num = (h_departure_numeric(t + dt, p) - h_departure_numeric(t - dt, p)) / (2 * dt);
        EXPECT_NEAR(o.cp_dep, cp_num, 1e-4 * std::abs(cp_num) + 1e-3) << tr << " " << pr;

        const double dp = 1.0e-5 * p;
        const double dz_dp = (z_by_bisection(t, p + dp) - z_by_bisection(t, p - dp)) / (2 * dp);
        const double dz_dt = (z_by_bisection(t + dt, p) - z_by_bisection(t - dt, p)) / (2 * dt);
        EXPECT_NEAR(o.dz_dp * p, dz_dp * p, 1e-6) << tr << " " << pr;
        EXPECT_NEAR(o.dz_dt * t, dz_dt * t, 1e-4 * std::abs(dz_dt * t)) << tr << " " << pr;

        const double dph = 1.0e-3 * p;  // wider: h is summed numerically
        const double dh_dp = (h_departure_numeric(t, p + dph) - h_departure_numeric(t, p - dph)) / (2 * dph);
        EXPECT_NEAR(o.dhdep_dp * p, dh_dp * p, 1e-4 * std::abs(dh_dp * p) + 1.0) << tr << " " << pr;

        // The bracketed solver, by forward differences of step 1e-6 on roots
        // good to 0.002, agrees on the same quantities more loosely.
        const RealGasOut f = bracketed(t, p);
        EXPECT_NEAR(f.h_dep, o.h_dep, 0.01 * std::abs(o.h_dep)) << tr << " " << pr;
        EXPECT_NEAR(f.cp_dep, o.cp_dep, 0.05 * std::abs(o.cp_dep) + 1.0) << tr << " " << pr;
        if (tr < 2.5) {
            EXPECT_NEAR(f.dz_dp * p, o.dz_dp * p, 0.005) << tr << " " << pr;
            EXPECT_NEAR(f.dz_dt * t, o.dz_dt * t, 0.02) << tr << " " << pr;
        }
    }
}

TEST(RealGasZ, FallBacksOutsideTheRanges)
{
    // Far above Tc (Tr 2.5, above 2.3 and 10000 Pr): ideal; at Pr 1e-3 evaluated.
    RealGasOut o = cubic(2.5 * kTc, 1.0e-5 * kPc);
    EXPECT_EQ(o.z, 1.0);
    EXPECT_EQ(o.h_dep, 0.0);
    EXPECT_EQ(o.dz_dt, 0.0);
    EXPECT_NE(cubic(2.5 * kTc, 1.0e-3 * kPc).z, 1.0);
    // Tr below 0.02 Pr: 5.
    o = cubic(0.1 * kTc, 6.0 * kPc);
    EXPECT_EQ(o.z, 5.0);
    EXPECT_EQ(o.cp_dep, 0.0);
    // Tr below 0.5 (and at least 0.02 Pr): the state of Tr = 0.5, dZ/dT 0.
    const RealGasOut held = cubic(0.3 * kTc, 0.5 * kPc), half = cubic(0.5 * kTc, 0.5 * kPc);
    EXPECT_EQ(held.z, half.z);
    EXPECT_EQ(held.h_dep, half.h_dep);
    EXPECT_EQ(held.dz_dt, 0.0);
    EXPECT_NE(half.dz_dt, 0.0);
    // Form 0: Z alone.
    EXPECT_EQ(cubic(1.5 * kTc, kPc, 0).dz_dp, 0.0);

    // The bracketed solver without critical data: Z = 1.
    RealGasOut n{};
    realgas_z(300.0, 5.0e6, 1.0e9, kPc, kR, n.z, n.h_dep, n.dhdep_dp, 1, n.dz_dp, n.dz_dt, n.cp_dep);
    EXPECT_EQ(n.z, 1.0);
    EXPECT_EQ(n.h_dep, 0.0);
    realgas_z(300.0, 5.0e6, kTc, 6.0e8, kR, n.z, n.h_dep, n.dhdep_dp, 1, n.dz_dp, n.dz_dt, n.cp_dep);
    EXPECT_EQ(n.z, 1.0);
}

// 1 gas with critical data, 2 gas without, 3 constant-density liquid,
// 4 correlated liquid (form 1, constant 800 kg/m3), 5 of unknown type.
SpeciesTable& species()
{
    SpeciesTable& s = setup::load_species_set(5);
    const std::int32_t types[] = {1, 1, 2, 3, -999};
    for (int i = 1; i <= 5; ++i) {
        s.iproptyp(i) = types[i - 1];
        s.pmwt_inv(i) = 1.0 / kMw;
        s.tcrit(i) = kTc;
        s.pcrit(i) = kPc;
        s.realgas_flag(i) = 1;
    }
    s.tcrit(2) = 1.0e9;
    s.rho_const(3) = 850.0;
    s.liq_form(4) = 1;
    s.species_tmin(4) = 200.0;
    s.species_tmax(4) = 400.0;
    s.liq_par_a(4) = 0.0;
    s.liq_par_b(4) = 0.0;
    for (int k = 1; k <= 7; ++k) s.liq_coef_a(k, 4) = k == 1 ? 800.0 : 0.0;
    return s;
}

double rho_of(int i, double t, double p)
{
    double rho = -1.0;
    getrho1(i, t, p, rho);
    return rho;
}

TEST(SpeciesDensity, GasIsIdealUnlessTheRunAndTheSpeciesAskForRealGas)
{
    SpeciesTable& s = species();
    setup::set_user_evolution({});  // threshold 0.1, step 1e6, bracketed solver
    const double t = 300.0, p = 5.0e6;
    const double rho_ideal = p * kMw / (8314.3 * t);  // 32.1596... kg/m3
    EXPECT_NEAR(rho_of(1, t, p), rho_ideal, 1e-12 * rho_ideal);  // switch off

    load_realgas(1);
    const double z = z_by_bisection(t, p);  // Tr 1.574, Pr 1.087: about 0.90
    EXPECT_LT(z, 0.95);
    EXPECT_NEAR(rho_of(1, t, p), rho_ideal / z, 0.003 * rho_ideal);  // root within 0.002
    EXPECT_NEAR(rho_of(2, t, p), rho_ideal, 1e-12 * rho_ideal);      // no critical data
    s.realgas_flag(1) = 2;                                            // bit 0 clear
    EXPECT_NEAR(rho_of(1, t, p), rho_ideal, 1e-12 * rho_ideal);
    s.realgas_flag(1) = 1;

    setup::set_user_evolution({{113, 5}});  // closed-form solver
    load_realgas(3);
    EXPECT_NEAR(rho_of(1, t, p), rho_ideal / z, 1e-9 * rho_ideal);
    load_realgas(2);
    EXPECT_NEAR(rho_of(1, t, p), rho_ideal, 1e-12 * rho_ideal);

    EXPECT_EQ(rho_of(3, t, p), 850.0);
    EXPECT_EQ(rho_of(4, t, p), 800.0);
    EXPECT_EQ(rho_of(5, t, p), -1.0);  // unknown type: unchanged

    auto r = usersub::test::run_in_child([] { (void)rho_of(6, 300.0, 1.0e5); });
    EXPECT_EQ(r.exit_status, 1);
    EXPECT_EQ(r.output, "F*** Bad species index in GETRHO1:     6\n");
}

TEST(SpeciesDensity, BracketedZFollowsTheReducedPressureThreshold)
{
    species();
    const auto z_at = [](double tr, double pr) {
        double z, h, dh, dzp, dzt, cp;
        realgas_z(tr * kTc, pr * kPc, kTc, kPc, kR, z, h, dh, 0, dzp, dzt, cp);
        return z;
    };
    setup::set_user_evolution({});  // threshold 0.1
    EXPECT_EQ(z_at(1.2, 0.05), 1.0);
    EXPECT_NEAR(z_at(1.2, 0.2), z_by_bisection(1.2 * kTc, 0.2 * kPc), 0.002);
    EXPECT_NEAR(z_at(0.9, 0.05), z_by_bisection(0.9 * kTc, 0.05 * kPc), 0.002);  // at or below Tc always
    EXPECT_NE(z_at(0.9, 0.05), 1.0);

    setup::set_user_evolution({{185, 5}, {176, 5}});  // threshold 0.01
    EXPECT_NEAR(z_at(1.2, 0.05), z_by_bisection(1.2 * kTc, 0.05 * kPc), 0.002);
    EXPECT_NE(z_at(1.2, 0.05), 1.0);
    EXPECT_EQ(z_at(1.2, 0.005), 1.0);
}

}  // namespace
}  // namespace usersub::properties
