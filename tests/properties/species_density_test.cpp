#include "properties/species_density.h"

#include "species_setup.h"
#include "support/child.h"
#include "support/species_fixture.h"

#include <gtest/gtest.h>

#include <cmath>
#include <tuple>

namespace usersub::properties {
namespace {

// Methane (as in the species set); R per unit mass.
constexpr double kTc = 190.56;
constexpr double kPc = 4.599e6;
constexpr double kMw = 16.04246;  // kg/kmol
constexpr double kR = 8314.3 / kMw;

// Largest root of the Redlich-Kwong cubic Z^3 - Z^2 + (A - B - B^2) Z - A B at
// (T, P): scanned down from Z = 3 to the first sign change, then bisected.
double z_ref(double t, double p)
{
    const double a = 0.4275 * (p / kPc) / std::pow(t / kTc, 2.5), b = 0.08664 * (p / kPc) / (t / kTc);
    const auto f = [&](double z) { return z * z * z - z * z + (a - b - b * b) * z - a * b; };
    double hi = 3.0, lo = 2.99;
    while (f(lo) > 0.0) hi = lo, lo -= 0.01;
    for (int k = 0; k < 100; ++k) (f(0.5 * (lo + hi)) > 0.0 ? hi : lo) = 0.5 * (lo + hi);
    return 0.5 * (lo + hi);
}

// Residual enthalpy of Redlich-Kwong in its textbook form (Smith, Van Ness and
// Abbott): (h - h_ideal) / RT = Z - 1 - 1.5 (A / B) ln(1 + B / Z), A / B =
// 0.4275 / (0.08664 Tr^1.5).
double h_dep_ref(double t, double p)
{
    const double z = z_ref(t, p), b = 0.08664 * (p / kPc) / (t / kTc);
    return kR * t * (z - 1.0 - 1.5 * 0.4275 / (0.08664 * std::pow(t / kTc, 1.5)) * std::log(1.0 + b / z));
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

RealGasOut bracketed(double t, double p, int form = 1, double tc = kTc, double pc = kPc)
{
    RealGasOut o{};
    realgas_z(t, p, tc, pc, kR, o.z, o.h_dep, o.dhdep_dp, form, o.dz_dp, o.dz_dt, o.cp_dep);
    return o;
}

// Against the root and central differences of the reference forms, at reduced
// states (Tr, Pr) with one vapour-like root in [0.2, 2.5]: the closed form to
// round-off, the bracketed root (good to 0.002, differenced forward with step
// 1e-6) loosely.
TEST(RealGas, BothSolversAgreeWithTheRedlichKwongEquation)
{
    setup::set_user_evolution({});  // threshold 0.1, difference step 1/s = 1e-6
    for (auto [tr, pr] : {std::pair{1.5, 1.0}, {2.0, 5.0}, {1.2, 0.5}, {0.9, 0.2}, {3.0, 10.0},
                          {1.1, 2.0}, {1.05, 0.9}}) {
        const double t = tr * kTc, p = pr * kPc, dt = 1e-5 * t, dp = 1e-5 * p;
        const RealGasOut o = cubic(t, p);
        EXPECT_NEAR(o.z, z_ref(t, p), 1e-10) << tr << ' ' << pr;
        EXPECT_NEAR(o.h_dep, h_dep_ref(t, p), 1e-9 * std::abs(o.h_dep)) << tr << ' ' << pr;
        const double cp = (h_dep_ref(t + dt, p) - h_dep_ref(t - dt, p)) / (2 * dt);
        const double dhdp = (h_dep_ref(t, p + dp) - h_dep_ref(t, p - dp)) / (2 * dp);
        const double dzdt = (z_ref(t + dt, p) - z_ref(t - dt, p)) / (2 * dt);
        const double dzdp = (z_ref(t, p + dp) - z_ref(t, p - dp)) / (2 * dp);
        EXPECT_NEAR(o.cp_dep, cp, 1e-6 * std::abs(cp) + 1e-6) << tr << ' ' << pr;
        EXPECT_NEAR(o.dhdep_dp, dhdp, 1e-6 * std::abs(dhdp)) << tr << ' ' << pr;
        EXPECT_NEAR(o.dz_dt, dzdt, 1e-6 * std::abs(dzdt)) << tr << ' ' << pr;
        EXPECT_NEAR(o.dz_dp, dzdp, 1e-6 * std::abs(dzdp)) << tr << ' ' << pr;

        const RealGasOut f = bracketed(t, p);
        EXPECT_NEAR(f.z, o.z, 0.002) << tr << ' ' << pr;
        EXPECT_NEAR(f.h_dep, o.h_dep, 0.01 * std::abs(o.h_dep)) << tr << ' ' << pr;
        EXPECT_NEAR(f.cp_dep, o.cp_dep, 0.05 * std::abs(o.cp_dep) + 1.0) << tr << ' ' << pr;
        if (tr < 2.5) {  // above, the roots' error swamps the forward difference
            EXPECT_NEAR(f.dz_dp * p, o.dz_dp * p, 0.005) << tr << ' ' << pr;
            EXPECT_NEAR(f.dz_dt * t, o.dz_dt * t, 0.02) << tr << ' ' << pr;
            EXPECT_NEAR(f.dhdep_dp * p, o.dhdep_dp * p, 0.01 * std::abs(o.h_dep)) << tr << ' ' << pr;
        }
    }
    // Tr = 1.5, Pr = 1: A = 0.155125, B = 0.05776; root 0.907233 (bisection
    // of the reduced cubic in Python).
    EXPECT_NEAR(cubic(1.5 * kTc, kPc, 0).z, 0.907233, 1e-6);
}

TEST(RealGas, BracketReturnsTheEstimateBeforeTheLastOrABound)
{
    // At Tr = 3, Pr = 10 and Tr = 1.1, Pr = 2 Ridders' iteration stops when two
    // estimates agree within 0.002; the newest is within 1e-8 of the root, the
    // one returned (the one before) 1.5e-4 and 2.0e-4 away (independent
    // evaluation of the same iteration).
    for (auto [tr, pr, gap] : {std::tuple{3.0, 10.0, 1.517e-4}, {1.1, 2.0, 2.023e-4}}) {
        const double z = cubic_root_bracket(0.2, 2.5, 0.002, 1.0, 0.4275 * pr / std::pow(tr, 2.5), 0.08664 * pr / tr);
        EXPECT_NEAR(z - z_ref(tr * kTc, pr * kPc), gap, 2e-6);
    }
    // Without a sign change: a zero bound, else the bound with f nearer zero,
    // 0 for equal values. (lo, hi, A, B, expected; f at the bounds by hand.)
    for (auto [lo, hi, a, b, want] : {std::tuple{0.5, 1.0, 0.0, 0.0, 1.0},  // f = Z^2 (Z - 1)
                                      {1.0, 2.5, 0.0, 0.0, 1.0},
                                      {0.2, 2.5, 10.0, 0.1, 0.2},   // f: 0.946, 33.1
                                      {0.2, 2.5, 10.0, 2.0, 2.5},   // f: -19.232, -0.625
                                      {0.6, 0.6, 0.0, 0.0, 0.0}})
        EXPECT_EQ(cubic_root_bracket(lo, hi, 0.002, 7.0, a, b), want) << lo << ' ' << hi << ' ' << b;
}

TEST(RealGas, FallBacksOutsideTheRanges)
{
    setup::set_user_evolution({});  // threshold 0.1
    // Closed form: far above Tc (Tr 2.5 above 2.3 and 10000 Pr) ideal, but
    // evaluated at Pr 1e-3; Tr below 0.02 Pr gives 5; below Tr 0.5, down to
    // 0.02 Pr, the state of Tr = 0.5 with dZ/dT 0; form 0 gives Z alone.
    const RealGasOut ideal = cubic(2.5 * kTc, 1.0e-5 * kPc), low = cubic(0.1 * kTc, 6.0 * kPc);
    EXPECT_EQ(std::tie(ideal.z, ideal.h_dep, ideal.dz_dt), std::make_tuple(1.0, 0.0, 0.0));
    EXPECT_NE(cubic(2.5 * kTc, 1.0e-3 * kPc).z, 1.0);
    EXPECT_EQ(std::tie(low.z, low.cp_dep), std::make_tuple(5.0, 0.0));
    const RealGasOut held = cubic(0.3 * kTc, 0.5 * kPc), half = cubic(0.5 * kTc, 0.5 * kPc);
    EXPECT_EQ(std::tie(held.z, held.h_dep, held.dz_dt), std::make_tuple(half.z, half.h_dep, 0.0));
    EXPECT_NE(half.dz_dt, 0.0);
    EXPECT_EQ(cubic(0.1 * kTc, 4.0 * kPc).z, cubic(0.5 * kTc, 4.0 * kPc).z);  // 0.1 above 0.08
    EXPECT_EQ(cubic(1.5 * kTc, kPc, 0).dz_dp, 0.0);

    // Bracketed: Z = 1 without critical data (Tc above 1e4 K or Pc above
    // 5e8 Pa), and above Tc below the reduced-pressure threshold; at or below
    // Tc always evaluated.
    const RealGasOut no_data = bracketed(150.0, 5.0e6, 1, 1.0e9);
    EXPECT_EQ(std::tie(no_data.z, no_data.h_dep), std::make_tuple(1.0, 0.0));
    EXPECT_EQ(bracketed(150.0, 5.0e6, 1, kTc, 6.0e8).z, 1.0);
    EXPECT_NE(bracketed(150.0, 5.0e6, 1, kTc, 5.0e8).z, 1.0);
    EXPECT_NE(bracketed(kTc, 0.05 * kPc, 0).z, 1.0);
    EXPECT_EQ(bracketed(1.2 * kTc, 0.05 * kPc, 0).z, 1.0);
    for (auto [tr, pr] : {std::pair{1.2, 0.2}, {0.9, 0.05}})  // Z of about 0.96 and 0.98
        EXPECT_NEAR(bracketed(tr * kTc, pr * kPc, 0).z, z_ref(tr * kTc, pr * kPc), 0.002) << tr;
    setup::set_user_evolution({{185, 5}, {176, 5}});  // threshold 0.01
    EXPECT_NE(bracketed(1.2 * kTc, 0.05 * kPc, 0).z, 1.0);
    EXPECT_EQ(bracketed(1.2 * kTc, 0.005 * kPc, 0).z, 1.0);
}

// Gases: methane of the species set (critical data, real-gas flag 1) and H
// (no critical data); liquid n-heptane (form 1) and water (constant density).
TEST(SpeciesDensity, ByPropertyTypeWithRealGasOnlyWhereAskedFor)
{
    using namespace test::fx;
    test::load_species_fixture({.realgas_switch = 1});
    const SpeciesTable& s = species_table();
    const auto rho = [](int i) {
        double r = -1.0;
        getrho1(i, 300.0, 5.0e6, r);
        return r;
    };
    setup::set_user_evolution({});                          // bracketed solver
    const double ideal = 5.0e6 * kMw / (8314.3 * 300.0);    // 32.1596... kg/m3
    const double z = z_ref(300.0, 5.0e6);                   // Tr 1.574, Pr 1.087: about 0.90
    EXPECT_NEAR(rho(kCH4), ideal / z, 0.003 * ideal);       // root within 0.002
    const double ideal_h = 5.0e6 * test::nasa9("H").mw / (8314.3 * 300.0);
    EXPECT_NEAR(rho(product(7)), ideal_h, 1e-12 * ideal_h);
    s.realgas_flag(kCH4) = 2;                               // bit 0 clear
    EXPECT_NEAR(rho(kCH4), ideal, 1e-12 * ideal);
    s.realgas_flag(kCH4) = 1;
    setup::set_user_evolution({{113, 5}});                  // closed-form solver
    load_realgas(3);
    EXPECT_NEAR(rho(kCH4), ideal / z, 1e-9 * ideal);
    load_realgas(2);                                        // real-gas switch off
    EXPECT_NEAR(rho(kCH4), ideal, 1e-12 * ideal);
    EXPECT_EQ(rho(kH2OLiquid), 997.05);
    // t = 1.85 K, pp = 49 bar: 679.5 - 0.85 t - 9e-4 t^2 + 0.098 pp - 2e-5 pp^2.
    EXPECT_NEAR(rho(kC7H16Liquid), 682.67839975, 1e-9);
    s.iproptyp(kN2) = -999;
    EXPECT_EQ(rho(kN2), -1.0);  // unknown type: unchanged

    auto r = test::run_in_child([&] { (void)rho(kNSpecies + 1); });
    EXPECT_EQ(r.exit_status, 1);
    EXPECT_EQ(r.output, "F*** Bad species index in GETRHO1:    19\n");
}

}  // namespace
}  // namespace usersub::properties
