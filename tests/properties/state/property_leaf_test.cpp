#include "exchange/run_info.h"
#include "properties/species/liquid_species.h"
#include "properties/reports/property_reports.h"
#include "properties/species/property_loaders.h"
#include "properties/state/secant_step.h"
#include "properties/species/species_density.h"
#include "properties/species/species_table_rw.h"
#include "properties/reports/location.h"
#include "support/child.h"
#include "support/species_fixture.h"

#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <cstring>
#include <limits>
#include <string>
#include <utility>
#include <tuple>

namespace usersub::properties {
namespace {

using namespace usersub::test;

// Sets USER_EVOLUTION words (1-based) over the block of -1 and derives the
// switches from it.
void set_user_evolution(std::initializer_list<std::pair<int, std::int32_t>> words)
{
    std::array<std::int32_t, kUserEvolutionWords> block;
    block.fill(-1);
    for (auto [w, v] : words) block[static_cast<std::size_t>(w - 1)] = v;
    copy_user_evolution(block.data());
    set_evolution_scalar_flags();
}

// A set of 6 species with every array at its fill value, then
// 1: form 1; 2: form 2 (pressure unclamped); 3: form 2 with a base that turns
// negative; 4 and 5: gases asking for forms 1 and 2; 6: liquid without a form.
SpeciesTable& liquids()
{
    const std::int32_t counts[10] = {6, 7, 6, 0, 0, 0, 0, 20, 0, 0};
    loadprop0(counts);
    SpeciesTable& s = species_table_rw();
    s.namfl.assign(1, "LIQUID-ONE");
    s.namfl.assign(3, "LIQUID-THREE");
    const std::int32_t types[] = {3, 3, 3, 1, 1, 3}, forms[] = {1, 2, 2, 1, 2, -999};
    for (int i = 1; i <= 6; ++i) {
        s.iproptyp(i) = types[i - 1];
        s.liq_form(i) = forms[i - 1];
        s.species_tmin(i) = 250.0, s.species_tmax(i) = 400.0;
        s.species_pmin(i) = 1.0e5, s.species_pmax(i) = 1.0e8;
        s.liq_flag(i) = i == 2 ? 1 : 0;
    }
    s.species_tmin(2) = 200.0, s.species_tmax(2) = 500.0;
    const auto column = [](const ArrayN<double, 2>& a, int i, std::initializer_list<double> values) {
        int k = 1;
        for (double v : values) a(k++, i) = v;
    };
    column(s.liq_coef_a, 1, {1000.0, -0.5, -0.002, 0.01, 0.4, -0.001, 1.0e-6});  // r1..r7
    column(s.liq_coef_a, 2, {500.0, 2.0, 100.0, 0.5, 0.01, 1.5, 0.2, 3.0});       // d1..d8
    column(s.liq_coef_a, 3, {500.0, 2.0, -2000.0, 0.5, 0.01, 1.5, 0.2, 3.0});
    column(s.liq_coef_b, 1, {500.0, 10.0, 0.1, 0.02, 3.0, 0.01});                 // f1..f6
    column(s.liq_coef_c, 1, {100.0, 0.5, 0.003, 0.001, 0.2, 0.0004});             // g1..g6
    for (int k = 1; k <= 4; ++k) s.thermo_coef(1, k, 1) = std::array{1000.0, 2000.0, 1.0, 0.001}[k - 1];  // C
    s.liq_par_a(1) = 300.0, s.liq_par_b(1) = 1.0e5;  // K, Pa
    s.tref_liq = 300.0, s.pref_liq = 1.0;            // K, bar
    return s;
}

// rho, drho/dT, d2rho/dT2, drho/dP; -7 where not written.
std::array<double, 4> density(int i, double t_K, double p_Pa)
{
    std::array<double, 4> o{-7.0, -7.0, -7.0, -7.0};
    liquid_density(i, t_K, p_Pa, o[0], o[1], o[2], o[3]);
    return o;
}

void expect_near(const std::array<double, 4>& got, const std::array<double, 4>& want)
{
    for (std::size_t k = 0; k < 4; ++k) EXPECT_NEAR(got[k], want[k], 1e-12 * std::abs(want[k])) << k;
}

void at_step(std::int32_t step) { exchange::send_user_state(0, 0, 0, 0, step, 0, 0.0, 0.0, 0.0, false); }

TEST(LiquidSpecies, DensityAndEnthalpyAgainstTheirPolynomials)
{
    liquids();
    // Form 1 at 350 K, 51 bar: t = 50 K, pp = 50 bar.
    // rho = 1000 - 25 - 5 + 25 + 20 - 2.5 + 0.125, drho/dT = -0.5 - 0.2 + 0.5,
    // drho/dP = (0.5 + 0.4 - 0.1 + 0.0075) 1e-5.
    expect_near(density(1, 350.0, 51.0e5), {1012.625, -0.2, -0.004, 8.075e-6});
    // Clamped: above Tmax the state of Tmax, above Pmax that of Pmax.
    EXPECT_EQ(density(1, 450.0, 51.0e5), density(1, 400.0, 51.0e5));
    EXPECT_EQ(density(1, 350.0, 2.0e8), density(1, 350.0, 1.0e8));
    // Form 2 at 400 K, 100 bar: x = 800 + 100 + 100 = 1000.
    // rho = 500 + 60 + 1000^1.5 / 1.5 + 100 (0.2 + 80), drho/dT = 3/40 + 2 sqrt(1000) +
    // 0.015 * 100 * 20, d2rho/dT2 = 2 / sqrt(1000) - 3/32000 + 0.0375, drho/dP =
    // (sqrt(1000) + 0.2 + 80) 1e-5.
    expect_near(density(2, 400.0, 1.0e7),
                {29661.851067789195, 93.32055320336759, 0.10065180320336759, 1.1182277660168379e-3});
    EXPECT_NE(density(2, 400.0, 2.0e8)[0], density(2, 400.0, 1.0e8)[0]);  // clamp switch set
    // Gases: zeros from form 1, the no-density values from form 2; no form: outputs untouched.
    EXPECT_EQ(density(4, 300.0, 1.0e5), (std::array{0.0, 0.0, 0.0, 0.0}));
    const std::array<double, 4> none{1.0e-6, 1.0, 1.0, 1.0};
    EXPECT_EQ(density(5, 300.0, 1.0e5), none);
    EXPECT_EQ(density(6, 300.0, 1.0e5)[0], -7.0);
    expect_child_stop([] { (void)density(3, 400.0, 1.0e7); },  // x = 900 - 2000
                      "F*** Cannot calculate density for species: LIQUID-THREE" + std::string(105, ' ') +
                          "\n     T     =  400.00\n     P     =  100.00\n");

    // 350 K, 11 bar: t = 50 K, pb = 10 bar; C = 103625, C' = 2107.5, G = 135.04,
    // F = 1291. First form: cp = G + C', h = F + C; outside the range h continues
    // linearly with the cp at the bound.
    double h = 0.0, cp = 0.0, dh_dp = 0.0;
    const auto expect_h = [&](double t_K, double p_Pa, double want_cp, double want_h) {
        liquid_species_h(1, t_K, p_Pa, h, cp);
        EXPECT_NEAR(cp, want_cp, 1e-9) << t_K;
        EXPECT_NEAR(h, want_h, 1e-8) << t_K;
    };
    expect_h(350.0, 11.0e5, 2242.54, 104916.0);
    // 10 K above Tmax: t = 100; C = 212000, C' = 2230, G = 183.04, F = 2551.
    expect_h(410.0, 11.0e5, 2413.04, 214551.0 + 24130.4);
    // 10 K below Tmin: t = -50; C = -96625, C' = 1907.5, G = 84.04, F = 271.
    expect_h(240.0, 11.0e5, 1991.54, 271.0 - 96625.0 - 19915.4);
    // dh/dP = 1/rho + T drho/dT / rho^2 = 0.001 - 350 * 0.5 / 1e6.
    liquid_species_props(1, 350.0, 11.0e5, h, cp, dh_dp, 1000.0, -0.5);
    EXPECT_NEAR(h, 104916.0, 1e-8);
    EXPECT_NEAR(dh_dp, 0.000825, 1e-15);
    liquid_species_props(4, 350.0, 11.0e5, h, cp, dh_dp, 1000.0, -0.5);  // a gas: zeros
    EXPECT_EQ(std::tie(h, cp, dh_dp), std::make_tuple(0.0, 0.0, 0.0));
    // Second form (word 60 at 4): cp = G pb + C', h = F pb + C.
    set_user_evolution({{60, 4}});
    expect_h(350.0, 11.0e5, 1350.4 + 2107.5, 12910.0 + 103625.0);
}

// The forms alone: the correlations of liquid_density without the range
// record, the warning or the fatal path.
TEST(LiquidSpecies, DensityFormsAlone)
{
    const SpeciesTable& s = liquids();
    std::array<double, 4> alone{};
    std::int32_t flag = -1;
    const std::string written = capture_stdout([&] {  // above Tmax: the state of Tmax
        species_props_b(1, 450.0, 51.0e5, alone[0], alone[1], alone[2], alone[3]);
    });
    EXPECT_EQ(std::pair(written, s.tseen_flag(1)), std::pair(std::string(), 0));  // no warning, no range record
    EXPECT_EQ(alone, density(1, 400.0, 51.0e5));
    species_props_b(4, 300.0, 1.0e5, alone[0], alone[1], alone[2], alone[3]);  // a gas
    EXPECT_EQ(alone, (std::array{0.0, 0.0, 0.0, 0.0}));

    // Form 2, a gas, a negative base (no density, flagged).
    const std::array<double, 4> none{1.0e-6, 1.0, 1.0, 1.0};
    for (auto [i, t_K, p_Pa, want, want_flag] : {std::tuple{2, 400.0, 1.0e7, density(2, 400.0, 1.0e7), 0},
                                                 {4, 300.0, 1.0e5, none, 0}, {3, 400.0, 1.0e7, none, 1}}) {
        species_props_c(i, t_K, p_Pa, alone[0], alone[1], alone[2], alone[3], flag);
        EXPECT_EQ(std::pair(alone, flag), std::pair(want, want_flag)) << i;
    }
}

TEST(LiquidSpecies, SoundSpeedOfLiquidHeptane)
{
    test::load_species_fixture();
    // 298.15 K, 1 bar: rho 679.5, drho/dT -0.85, drho/dP 0.098e-5, cp 2242.5.
    const double x = 298.15 * 0.85 * 0.85 / (679.5 * 679.5 * 2242.5 * 0.098e-5);
    double c = 0.0;
    liquid_props_wrap(test::fx::kC7H16Liquid, 298.15, 1e5, c);
    EXPECT_NEAR(c, std::sqrt(1.0 / (1.0 - x) / 0.098e-5), 1e-9);
    // A steeper slope raises x with its square: drho/dT -1.5 gives x = 0.66 and
    // 1 / (1 - x) held at 1.6; -3.0 gives x = 2.64 and 1 / (1 - x) < 0, held at 1.0.
    // cp = -10 (C'(t) = c2 with c3 = 0) gives x < 0, 1 / (1 - x) < 1, held at 1.0;
    // at 300 K and 10 bar drho/dP = (0.098 + 2 (-2e-5) 9) 1e-5 = 0.09764e-5.
    // A density r1 = 0 at 298.15 K and 1 bar is 0: x = +inf, 1 / (1 - x) = -0, held at 1.0.
    struct Case { double t_K, p_Pa, r1, slope, c2, c3, c_m_s; };
    const Case cases[] = {
        {298.15, 1e5, 679.5, -1.5, 2242.5, 1.75, std::sqrt(1.6 / 0.098e-5)},
        {298.15, 1e5, 679.5, -3.0, 2242.5, 1.75, std::sqrt(1.0 / 0.098e-5)},
        {300.0, 10e5, 679.5, -0.85, -10.0, 0.0, std::sqrt(1.0 / 0.09764e-5)},  // 1012.013 m/s
        {298.15, 1e5, 0.0, -0.85, 2242.5, 1.75, std::sqrt(1.0 / 0.098e-5)},
    };
    SpeciesTable& s = species_table_rw();
    const int i = test::fx::kC7H16Liquid;
    for (const Case& k : cases) {
        s.liq_coef_a(1, i) = k.r1;
        s.liq_coef_a(2, i) = k.slope;
        s.thermo_coef(1, 2, i) = k.c2;
        s.thermo_coef(1, 3, i) = k.c3;
        liquid_props_wrap(i, k.t_K, k.p_Pa, c);
        EXPECT_NEAR(c, k.c_m_s, 1e-9) << k.r1 << ' ' << k.slope << ' ' << k.c2;
    }
    // No sound speed: water of constant density has no drho/dP; heptane of density 0
    // without a slope gives x = 0 / 0.
    s.liq_coef_a(2, i) = 0.0;
    for (const auto& [species, name] : {std::pair{test::fx::kH2OLiquid, "H2O_L"}, std::pair{i, "C7H16_L"}}) {
        std::string padded = name;
        padded.resize(117, ' ');
        expect_child_stop([species, c]() mutable { liquid_props_wrap(species, 298.15, 1e5, c); },
                          "F*** Cannot calculate sound speed for species: " + padded +
                              "\n     T     =  298.15\n     P     =    1.00\n");
    }
}

TEST(LiquidDensity, RangeWarningIsWrittenOncePerStepOnTenSteps)
{
    SpeciesTable& s = liquids();
    PropWarnState& warn = prop_warn_state();
    set_location_code(kLocationStateTP);
    const auto lines = [](const char* values, int step, const char* last) {
        const std::string six = std::string(step < 10 ? 5 : 4, ' ') + std::to_string(step);
        return "W*** Temperature out of range for species: LIQUID-ONE" + std::string(107, ' ') +
               "\n   T,Tmin,Tmax = " + values + "  250.00  400.00\n   At location: Pipe Subvolume, istep=" +
               six + " Part = unknown\n   " + last + "\n";
    };
    const char* per_step = "Suppressing additional warnings of this type for this timestep.";

    at_step(1);
    const std::string out = capture_stdout([] {
        for (double t_K : {400.0, 410.0, 420.0, 240.0}) (void)density(1, t_K, 1.0e5);  // Tmax is inside
    });
    EXPECT_EQ(out, lines("  410.00", 1, per_step));
    EXPECT_EQ(std::tie(warn.trange_warn_calls, warn.trange_warn_printed), std::make_tuple(3, 1));
    EXPECT_EQ(std::tie(s.tseen_flag(1), s.tseen_flag(2)), std::make_tuple(-1, 0));
    EXPECT_EQ(std::tie(s.tseen_tmax(1), s.tseen_tmin(1)), std::make_tuple(420.0, -999.0));  // below any T at first
    s.tseen_tmin(1) = 500.0;  // as a host resets it: lowered by the calls below

    const char* limit = "Warn limit exceeded: Suppressing future warnings of this type for this case.";
    for (int step = 2; step <= 11; ++step) {
        at_step(step);
        EXPECT_EQ(capture_stdout([] { (void)density(1, 245.5, 1.0e5); }),
                  step <= 10 ? lines("  245.50", step, step < 10 ? per_step : limit) : "") << step;
    }
    EXPECT_EQ(std::tie(warn.trange_warn_step, warn.trange_warn_printed, warn.trange_warn_calls),
              std::make_tuple(11, 11, 13));
    EXPECT_EQ(s.tseen_tmin(1), 245.5);
    // The counts hold at their largest value instead of overflowing.
    constexpr std::int32_t kMax = std::numeric_limits<std::int32_t>::max();
    warn.trange_warn_calls = warn.trange_warn_printed = kMax;
    at_step(12);
    EXPECT_EQ(capture_stdout([] { (void)density(1, 245.5, 1.0e5); }), "");
    EXPECT_EQ(std::tie(warn.trange_warn_calls, warn.trange_warn_printed), std::make_tuple(kMax, kMax));
}

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

struct RealGasOut { double z, h_dep, dhdep_dp, dz_dp, dz_dt, cp_dep; };

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
    set_user_evolution({});  // threshold 0.1, difference step 1/s = 1e-6
    for (auto [tr, pr] : {std::pair{1.5, 1.0}, {2.0, 5.0}, {1.2, 0.5}, {0.9, 0.2}, {3.0, 10.0},
                          {1.1, 2.0}, {1.05, 0.9}}) {
        const double t = tr * kTc, p = pr * kPc, dt = 1e-5 * t, dp = 1e-5 * p;
        const RealGasOut o = cubic(t, p);
        EXPECT_NEAR(o.z, z_ref(t, p), 1e-10) << tr << ' ' << pr;
        EXPECT_NEAR(o.h_dep, h_dep_ref(t, p), 1e-9 * std::abs(o.h_dep)) << tr << ' ' << pr;
        // cp, dh/dP, dZ/dT, dZ/dP
        const std::array<double, 4> got{o.cp_dep, o.dhdep_dp, o.dz_dt, o.dz_dp},
            want{(h_dep_ref(t + dt, p) - h_dep_ref(t - dt, p)) / (2 * dt), (h_dep_ref(t, p + dp) - h_dep_ref(t, p - dp)) / (2 * dp),
                 (z_ref(t + dt, p) - z_ref(t - dt, p)) / (2 * dt), (z_ref(t, p + dp) - z_ref(t, p - dp)) / (2 * dp)};
        for (std::size_t k = 0; k < 4; ++k)
            EXPECT_NEAR(got[k], want[k], 1e-6 * std::abs(want[k]) + (k == 0 ? 1e-6 : 0.0)) << k << ' ' << tr << ' ' << pr;

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
}

TEST(RealGas, FallBacksOutsideTheRanges)
{
    set_user_evolution({});  // threshold 0.1
    // Closed form: far above Tc (Tr 2.5 above 2.3 and 10000 Pr) ideal, but
    // evaluated at Pr 1e-3; Tr below 0.02 Pr gives 5; below Tr 0.5, down to
    // 0.02 Pr, the state of Tr = 0.5 with dZ/dT 0; form 0 gives Z alone.
    const RealGasOut ideal = cubic(2.5 * kTc, 1.0e-5 * kPc), low = cubic(0.1 * kTc, 6.0 * kPc);
    EXPECT_EQ(std::tie(ideal.z, ideal.h_dep, ideal.dz_dt), std::make_tuple(1.0, 0.0, 0.0));
    EXPECT_NE(cubic(2.5 * kTc, 1.0e-3 * kPc).z, 1.0);
    EXPECT_EQ(std::tie(low.z, low.cp_dep), std::make_tuple(5.0, 0.0));
    const RealGasOut held = cubic(0.45 * kTc, 0.5 * kPc), half = cubic(0.5 * kTc, 0.5 * kPc);
    EXPECT_EQ(std::tie(held.z, held.h_dep, held.dz_dt), std::make_tuple(half.z, half.h_dep, 0.0));
    EXPECT_NE(half.dz_dt, 0.0);
    EXPECT_EQ(cubic(0.1 * kTc, 4.0 * kPc).z, cubic(0.5 * kTc, 4.0 * kPc).z);  // 0.1 above 0.08
    EXPECT_EQ(cubic(1.5 * kTc, kPc, 0).dz_dp, 0.0);
    // Bracketed: Z = 1 without critical data (Tc above 1e4 K or Pc above
    // 5e8 Pa), and above Tc below the reduced-pressure threshold; at or below
    // Tc always evaluated.
    const RealGasOut no_data = bracketed(150.0, 5.0e6, 1, 1.0e9);
    EXPECT_EQ(std::tie(no_data.z, no_data.h_dep), std::make_tuple(1.0, 0.0));
    EXPECT_EQ(bracketed(150.0, 5.0e6, 1, kTc, 5.01e8).z, 1.0);
    EXPECT_NE(bracketed(150.0, 5.0e6, 1, kTc, 5.0e8).z, 1.0);
    EXPECT_NE(bracketed(kTc, 0.05 * kPc, 0).z, 1.0);
    EXPECT_EQ(bracketed(1.2 * kTc, 0.05 * kPc, 0).z, 1.0);
    for (auto [tr, pr] : {std::pair{1.2, 0.2}, {0.9, 0.05}})  // Z of about 0.96 and 0.98
        EXPECT_NEAR(bracketed(tr * kTc, pr * kPc, 0).z, z_ref(tr * kTc, pr * kPc), 0.002) << tr;
    set_user_evolution({{185, 5}, {176, 5}});  // threshold 0.01
    EXPECT_NE(bracketed(1.2 * kTc, 0.05 * kPc, 0).z, 1.0);
    EXPECT_EQ(bracketed(1.2 * kTc, 0.005 * kPc, 0).z, 1.0);
    // Bracket without a sign change: a zero bound, else the bound with f nearer
    // zero, 0 for equal values. (lo, hi, A, B, expected; f at the bounds by hand.)
    for (auto [lo, hi, a, b, want] : {std::tuple{0.5, 1.0, 0.0, 0.0, 1.0},  // f = Z^2 (Z - 1)
                                      {1.0, 2.5, 0.0, 0.0, 1.0},
                                      {0.2, 2.5, 10.0, 0.1, 0.2},   // f: 0.946, 33.1
                                      {0.2, 2.5, 10.0, 2.0, 2.5},   // f: -19.232, -0.625
                                      {0.6, 0.6, 0.0, 0.0, 0.0}})
        EXPECT_EQ(cubic_root_bracket(lo, hi, 0.002, 7.0, a, b), want) << lo << ' ' << hi << ' ' << b;
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
    set_user_evolution({});                               // bracketed solver
    const double ideal = 5.0e6 * kMw / (8314.3 * 300.0);  // 32.1596... kg/m3
    const double z = z_ref(300.0, 5.0e6);                 // Tr 1.574, Pr 1.087: about 0.90
    EXPECT_NEAR(rho(kCH4), ideal / z, 0.003 * ideal);     // root within 0.002
    const double ideal_h = 5.0e6 * test::nasa9("H").mw / (8314.3 * 300.0);
    EXPECT_NEAR(rho(product(7)), ideal_h, 1e-12 * ideal_h);
    s.realgas_flag(kCH4) = 2;  // bit 0 clear
    EXPECT_NEAR(rho(kCH4), ideal, 1e-12 * ideal);
    s.realgas_flag(kCH4) = 1;
    set_user_evolution({{113, 5}});  // closed-form solver
    load_realgas(3);
    EXPECT_NEAR(rho(kCH4), ideal / z, 1e-9 * ideal);
    load_realgas(2);  // real-gas switch off
    EXPECT_NEAR(rho(kCH4), ideal, 1e-12 * ideal);
    EXPECT_EQ(rho(kH2OLiquid), 997.05);
    // t = 1.85 K, pp = 49 bar: 679.5 - 0.85 t - 9e-4 t^2 + 0.098 pp - 2e-5 pp^2.
    EXPECT_NEAR(rho(kC7H16Liquid), 682.67839975, 1e-9);
    s.iproptyp(kN2) = -999;
    EXPECT_EQ(rho(kN2), -1.0);  // unknown type: unchanged

    expect_child_stop([&] { (void)rho(kNSpecies + 1); }, "F*** Bad species index in GETRHO1:    19\n");
}

// The caller's variables of one iteration; minimum 2 steps, maximum 20,
// damping 2 and every tolerance switched off unless a test sets it.
struct Iteration {
    std::int32_t count = 0, status = 0;
    double prev_residual = 0.0, x = 0.0, prev_x = 0.0, step = 0.0;
    std::array<double, 4> tol{1e18, 1e18, 1e18, 1e18};  // abs step, rel step, abs residual, rel residual
    double x_scale = 0.0, r_scale = 0.0;

    Iteration& call(double value, double x_second = 0.0)
    {
        secant_step(count, 2, 20, status, value, 0.0, prev_residual, x, prev_x, step, x_second, 2.0, tol[0], tol[1],
                    tol[2], tol[3], x_scale, r_scale);
        return *this;
    }
};

TEST(SecantStep, FirstCallDampingConvergenceAndLimit)
{
    Iteration it{.x = 300.0};
    it.call(4.0, 303.0);  // count 0 with status 0 starts an iteration
    EXPECT_EQ(std::tie(it.count, it.status, it.x, it.prev_x, it.step, it.prev_residual),
              std::make_tuple(1, 0, 303.0, 300.0, 3.0, 4.0));
    it = Iteration{.count = 7, .status = -1, .x = 50.0}.call(2.0, 60.0);  // a negative status restarts
    EXPECT_EQ(std::tie(it.count, it.x, it.step), std::make_tuple(1, 60.0, 10.0));
    // Raw step -dx r / dr = -10 * 1 / (1 - 2) = 10; max(|x|, |prev x|) = 100:
    // 10 / (10 * 2 / 100 + 1) = 8.3333...
    it = Iteration{.count = 1, .prev_residual = 2.0, .x = 100.0, .prev_x = 90.0}.call(1.0);
    EXPECT_EQ(std::tie(it.count, it.prev_x), std::make_tuple(2, 100.0));
    EXPECT_NEAR(it.step, 8.333333333333334, 1e-12);
    EXPECT_NEAR(it.x, 108.33333333333333, 1e-12);
    EXPECT_NEAR(it.call(1.0).step, 0.8333333333333334, 1e-12);  // the same residual again: a tenth of the last change
    EXPECT_EQ((Iteration{.count = 1, .prev_residual = 2.0}.call(1.0).step), 0.0);  // x = prev x = 0: 0, not 0 / 0
    // A zero residual after a non-zero one gives a zero step: converged at
    // count 19 with zero absolute tolerances, but at 20 the limit is reported,
    // and at or below the minimum count neither is tested.
    for (auto [count_before, want] : {std::pair{18, 1}, {19, 2}, {1, 0}}) {
        Iteration c{.count = count_before, .prev_residual = 1.0, .x = 4.0, .prev_x = 3.0, .tol = {0, 1e18, 0, 1e18}};
        EXPECT_EQ(c.call(0.0).status, want) << count_before;
    }
    // Raw step -1 * 0.5 / (0.5 - 1) = 1, damped by 1 * 2 / 2 + 1 to 0.5.
    // Relative step 0.5 / max(2.5, 2) = 0.2 and relative residual
    // 0.5 / max(0.5, 0) = 1 pass a tolerance equal to them, fail 0.1, and pass
    // it with a scale of 10 (0.05 each).
    for (auto [k, equal_tol] : {std::pair{1, 0.2}, {3, 1.0}})
        for (auto [tol, scale, want] : {std::tuple{equal_tol, 0.0, 1}, {0.1, 0.0, 0}, {0.1, 10.0, 1}}) {
            Iteration rel{.count = 5, .prev_residual = 1.0, .x = 2.0, .prev_x = 1.0};
            rel.tol[static_cast<std::size_t>(k)] = tol;
            (k == 1 ? rel.x_scale : rel.r_scale) = scale;
            EXPECT_DOUBLE_EQ(rel.call(0.5).step, 0.5);
            EXPECT_EQ(rel.status, want) << k << ' ' << tol << ' ' << scale;
        }
}

// Labels are fixed 40-character fields, with their irregular spacing kept;
// the location lines name the label of the current code, without its blanks.
TEST(PropertyReports, LocationLinesAndFatalReportsReadAsWritten)
{
    EXPECT_EQ(location_text(location_code()), std::string(40, ' '));  // 0 at load
    for (auto [code, label] : {std::pair{16, "Update first 2 timesteps, istep="}, {21, "DROPLETEVAP,  istep="}, {72, "BURNRATE(HTRL),istep="}})
        EXPECT_EQ(location_text(code), std::string(label).append(40 - std::strlen(label), ' ')) << code;
    for (int code = 1; code < kLocationCount; ++code)
        EXPECT_NE(location_text(code).find("istep= "), std::string_view::npos) << code;
    test::expect_child_stop_mentioning([] { (void)location_text(74); }, "LOCATION_TEXTS");

    // The location lines of the state entry, the solver and the mixture under
    // a label are those of the fluid-state and mixture reports; after a
    // completed solve blanks stand for the label.
    set_location_code(kLocationNone);
    EXPECT_EQ(location_line(ReportLocation::state_entry), "At location:    Part = unknown");
    // Fatal reports; reference lines from gfortran: (1pe12.4), (a,2i4,a,f10.3,1x,f10.1),
    // (6g12.4), (6g11.4), (a,g12.4,a).
    expect_child_stop([] {
        set_location_code(kLocationStateREEq);
        const double y[] = {0.5, 0.25, 1.0e-3, 0.0, 0.2, 0.025, 1.0e-5, 0.125, 12345.0};
        FatalReport("F*** Density negative or zero during iteration in fluid properties routine")
            .state_values(10000.5, -2.5e6)
            .location(ReportLocation::state_solver)
            .iteration_state(3, 12, 1.23456789e6, 1234.56)
            .composition(Array1<const double>("Y", y, 9), 7)
            .labelled_value("     rho          = ", -850.25, " kg/m^3")
            .stop();
    }, "F*** Density negative or zero during iteration in fluid properties routine\n"
       "T (K) =   1.0000E+04, P (bar) =  -2.5000E+01\n"
       "At location:  Fmass(cone), istep=  CMP = unknown\n"
       " it,itt =    3  12  p(bar),T(K) =     12.346     1234.6\n"
       "  0.5000      0.2500      0.1000E-02   0.000      0.2000      0.2500E-01\n"
       "  0.1000E-04\n"
       " 0.1250     0.1234E+05\n"
       "     rho          =   -850.2     kg/m^3\n");
    expect_child_stop([] { FatalReport("F***").state_values(1.0, 1.0e5).stop(); },
                      "F***\nT (K) =   1.0000E+00, P (bar) =   1.0000E+00\n");
    expect_child_stop([] { FatalReport::list_directed("F*** Conflict with local species storage").stop(); },
                      " F*** Conflict with local species storage\n");
}

}  // namespace
}  // namespace usersub::properties
