#include "properties/species/property_loaders.h"
#include "properties/species/species_table_rw.h"
#include "properties/transport/property_helpers.h"
#include "properties/transport/table_interp.h"
#include "properties/transport/transport.h"
#include "support/child.h"
#include "support/species_fixture.h"

#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <string>

namespace usersub::properties {
namespace {

using usersub::test::run_in_child;

// Four species, ten table rows each:
//   1 "A", 28 kg/kmol: three pressure levels (1, 10, 100 bar) of rows 300, 600, 900 K
//   2 "B", 28 kg/kmol: one level at 1 bar, rows 400 and 800 K
//   3, 44 kg/kmol, and 4 (a product), 18 kg/kmol: no tables
// Circuits: 1 mass fractions, 2 root-mass weights, 3 volume fractions, 4 a mode 4.
void load_tabled_set()
{
    const std::int32_t counts[10] = {4, 4, 3, 0, 1, 0, 0, 10, 0, 0};
    loadprop0(counts);
    SpeciesTable& s = species_table_rw();
    const double mw[4] = {28.0, 28.0, 44.0, 18.0};
    for (int i = 1; i <= 4; ++i) {
        s.iproptyp(i) = kGas;
        s.pmwt(i) = mw[i - 1];
        s.pmwt_inv(i) = 1.0 / mw[i - 1];
        s.tt_count(i) = 0;
    }
    struct Row { int species; int row; double t_K, p_Pa, mu, k; };
    const Row rows[] = {
        {1, 1, 300.0, 1e5, 1.8e-5, 0.026}, {1, 2, 600.0, 1e5, 3.0e-5, 0.045}, {1, 3, 900.0, 1e5, 4.0e-5, 0.060},
        {1, 4, 300.0, 1e6, 2.0e-5, 0.030}, {1, 5, 600.0, 1e6, 3.2e-5, 0.050}, {1, 6, 900.0, 1e6, 4.3e-5, 0.066},
        {1, 7, 300.0, 1e7, 3.0e-5, 0.040}, {1, 8, 600.0, 1e7, 4.0e-5, 0.060}, {1, 9, 900.0, 1e7, 5.0e-5, 0.080},
        {2, 1, 400.0, 1e5, 2.5e-5, 0.030}, {2, 2, 800.0, 1e5, 4.5e-5, 0.050},
    };
    for (const Row& r : rows) {
        s.tt_t(r.row, r.species) = r.t_K;
        s.tt_p(r.row, r.species) = r.p_Pa;
        s.tt_mu(r.row, r.species) = r.mu;
        s.tt_k(r.row, r.species) = r.k;
    }
    s.tt_count(1) = 9;
    s.tt_nlevels(1) = 3;
    for (int l = 1; l <= 3; ++l) {
        s.tt_level_rows(1, l, 1) = 3 * l - 2;
        s.tt_level_rows(2, l, 1) = 3 * l;
    }
    s.tt_count(2) = 2;
    s.tt_nlevels(2) = 1;
    s.tt_level_rows(1, 1, 2) = 1;
    s.tt_level_rows(2, 1, 2) = 2;
    const std::int32_t modes[4] = {1, 3, 2, 4};
    loadcircset(4, modes);
}

struct MuK {
    double mu;
    double k;
};
MuK transport(double t_K, double p_Pa, std::array<double, 4> y, std::int32_t circuit = 1, double cp = 1100.0)
{
    MuK r{-1.0, -1.0};
    viscandcond_user(t_K, p_Pa, cp, y.data(), r.mu, r.k, circuit);
    return r;
}

double mu_power_law(double t_K) { return 3.3e-7 * std::pow(t_K, 0.7); }

TEST(Viscandcond, TabledSpeciesInterpolatedInTemperatureAndPressure)
{
    load_tabled_set();
    // Values read off the tables above by hand.
    struct Case { const char* what; int species; double t_K, p_Pa, mu, k; };
    const Case cases[] = {
        // level 1 at 450 K: halfway 300..600 -> 2.4e-5, 0.0355; level 2: 2.6e-5, 0.040.
        {"between levels 1 and 2 (f = 4/9)", 1, 450.0, 5e5, 2.4e-5 + 0.2e-5 * 4.0 / 9.0, 0.0355 + 0.0045 * 4.0 / 9.0},
        {"exactly on level 2", 1, 450.0, 1e6, 2.6e-5, 0.040},
        // level 3 at 450 K: 3.5e-5, 0.050; f = (5.5e6 - 1e6) / 9e6 = 0.5.
        {"between levels 2 and 3", 1, 450.0, 5.5e6, 3.05e-5, 0.045},
        {"above the last level", 1, 750.0, 2e7, 4.5e-5, 0.070},
        {"at the first level, T below the first row", 1, 200.0, 1e5, 1.8e-5, 0.026},
        {"below the first level, T above the last row", 1, 1200.0, 1e3, 4.0e-5, 0.060},
        {"one level: pressure ignored", 2, 600.0, 1e7, 3.5e-5, 0.040},
        {"one level, T above the last row", 2, 1000.0, 1e5, 4.5e-5, 0.050},
    };
    for (const Case& c : cases) {
        std::array<double, 4> y{};
        y[static_cast<std::size_t>(c.species - 1)] = 1.0;
        const MuK r = transport(c.t_K, c.p_Pa, y);
        EXPECT_NEAR(r.mu, c.mu, 1e-18) << c.what;
        EXPECT_NEAR(r.k, c.k, 1e-13) << c.what;
    }
}

TEST(Viscandcond, RemainderFollowsThePowerLaw)
{
    load_tabled_set();
    const double cp = 1100.0;
    // No tabled species: mu = 3.3e-7 T^0.7, k = cp mu / 0.7.
    MuK r = transport(500.0, 1e5, {0.0, 0.0, 0.5, 0.5}, 1, cp);
    EXPECT_NEAR(r.mu, mu_power_law(500.0), 1e-18);
    EXPECT_NEAR(r.k, cp * mu_power_law(500.0) / 0.7, 1e-15);

    // 60 % of A at 450 K, 1 bar (2.4e-5, 0.0355), the rest by the power law.
    r = transport(450.0, 1e5, {0.6, 0.0, 0.4, 0.0}, 1, cp);
    EXPECT_NEAR(r.mu, 0.6 * 2.4e-5 + 0.4 * mu_power_law(450.0), 1e-18);
    EXPECT_NEAR(r.k, 0.6 * 0.0355 + 0.4 * cp * mu_power_law(450.0) / 0.7, 1e-15);

    // A remainder of 5e-5 is below the threshold of 1e-4: no power-law term.
    r = transport(450.0, 1e5, {0.99995, 0.0, 0.00005, 0.0}, 1, cp);
    EXPECT_NEAR(r.mu, 0.99995 * 2.4e-5, 1e-18);
    EXPECT_NEAR(r.k, 0.99995 * 0.0355, 1e-15);

    double mu = 0.0, k = 0.0;
    gas_viscosity_power(500.0, cp, mu, k);
    EXPECT_NEAR(mu, mu_power_law(500.0), 1e-18);
    EXPECT_NEAR(k, cp * mu_power_law(500.0) / 0.7, 1e-15);
}

TEST(Viscandcond, MixingModesWeighTheViscosity)
{
    load_tabled_set();
    const double cp = 1000.0;
    // Mode 3, equal molar masses: weights are the mass fractions. At 600 K, 1 bar
    // A has 3.0e-5 and 0.045, B 3.5e-5 and 0.040.
    MuK r = transport(600.0, 1e5, {0.3, 0.7, 0.0, 0.0}, 2, cp);
    EXPECT_NEAR(r.mu, 0.3 * 3.0e-5 + 0.7 * 3.5e-5, 1e-18);
    EXPECT_NEAR(r.k, 0.3 * 0.045 + 0.7 * 0.040, 1e-15);

    // Mode 3, 28 and 44 kg/kmol: viscosity weights Y / sqrt(M), normalised; the
    // conductivity stays mass-weighted.
    const double w_a = (0.5 / std::sqrt(28.0)) / (0.5 / std::sqrt(28.0) + 0.5 / std::sqrt(44.0));
    r = transport(600.0, 1e5, {0.5, 0.0, 0.5, 0.0}, 2, cp);
    EXPECT_NEAR(r.mu, w_a * 3.0e-5 + (1.0 - w_a) * mu_power_law(600.0), 1e-18);
    EXPECT_NEAR(r.k, 0.5 * 0.045 + 0.5 * cp * mu_power_law(600.0) / 0.7, 1e-15);

    // Mode 2, ideal gases: volume fractions are mole fractions, 44/72 for A.
    r = transport(600.0, 1e5, {0.5, 0.0, 0.5, 0.0}, 3, cp);
    EXPECT_NEAR(r.mu, 44.0 / 72.0 * 3.0e-5 + 28.0 / 72.0 * mu_power_law(600.0), 1e-18);

    std::array<double, 4> w{};
    const std::array<double, 4> zeros{};
    volume_fractions(0, 1e5, 600.0, zeros.data(), w.data());
    EXPECT_EQ(w, (std::array<double, 4>{1.0, 0.0, 0.0, 0.0}));
}

TEST(Viscandcond, UnknownModeAndBadTableStopTheRun)
{
    load_tabled_set();
    auto r = run_in_child([] { (void)transport(600.0, 1e5, {1.0, 0.0, 0.0, 0.0}, 4); });
    EXPECT_EQ(r.exit_status, 1);
    EXPECT_EQ(r.output, " F*** Unknown mixing mode in VISCANDCOND_USER: circuit 4 has mode 4 "
                        "(the modes are 1, 2 and 3)\n");

    // A level of one row has no bracket.
    r = run_in_child([] {
        species_table_rw().tt_level_rows(2, 1, 2) = 1;
        (void)transport(600.0, 1e5, {0.0, 1.0, 0.0, 0.0});
    });
    EXPECT_EQ(r.exit_status, 1);
    EXPECT_EQ(r.output, "Interpolation error in VISCANDCOND_USER. \n");

    r = run_in_child([] { (void)transport(-10.0, 1e5, {0.0, 0.0, 1.0, 0.0}); });
    EXPECT_EQ(r.exit_status, 1);
    EXPECT_EQ(r.output, "F*** Non-positive temperature in VISCANDCOND_USER: T = -0.1000E+02\n");
}

TEST(TableInterp, RangeFlagsBracketAndCachedReuse)
{
    // One column of five rows: x, y, and a second y table on the same rows.
    std::array<double, 5> x = {100.0, 200.0, 300.0, 400.0, 500.0};
    std::array<double, 5> y1 = {1.0, 3.0, 7.0, 8.0, 20.0};
    std::array<double, 5> y2 = {10.0, 20.0, 30.0, 40.0, 50.0};
    const ArrayN<const double, 2> xt("X", x.data(), {5, 1});
    const ArrayN<const double, 2> yt1("Y1", y1.data(), {5, 1});
    const ArrayN<const double, 2> yt2("Y2", y2.data(), {5, 1});
    double y = -1.0, dy = -1.0;
    std::int32_t flag = -1, error = -1;

    table_interp_cached(1, 5, 3, 3, 1, xt, yt1, 250.0, y, dy, flag, error);
    EXPECT_EQ(error, kInterpBadRows);
    EXPECT_EQ(flag, 0);

    struct Case { double x; std::int32_t flag; double y, dy; };
    const Case cases[] = {
        {100.0 * (1.0 - 2e-5), kInterpBelow, 1.0, 0.02},    // 2e-5 relative below: flagged, clamped
        {100.0 * (1.0 - 5e-6), kInterpInRange, 1.0, 0.02},  // 5e-6 below: within the tolerance
        {500.0 * (1.0 + 2e-5), kInterpAbove, 20.0, 0.12},
        {350.0, kInterpInRange, 7.5, 0.01},                 // halfway between rows 3 and 4
        {200.0, kInterpInRange, 3.0, 0.04},                 // on a row: bracket 2..3
    };
    for (const Case& c : cases) {
        table_interp_cached(1, 5, 1, 5, 1, xt, yt1, c.x, y, dy, flag, error);
        EXPECT_EQ(error, 0) << c.x;
        EXPECT_EQ(flag, c.flag) << c.x;
        EXPECT_DOUBLE_EQ(y, c.y) << c.x;
        EXPECT_DOUBLE_EQ(dy, c.dy) << c.x;
    }
    EXPECT_EQ(interp_cache().lo, 2);
    EXPECT_EQ(interp_cache().hi, 3);

    // Mode 0 takes the last bracket and fraction (row 2, g = 0) to the second table.
    table_interp_cached(0, 5, 1, 5, 1, xt, yt2, 999.0, y, dy, flag, error);
    EXPECT_DOUBLE_EQ(y, 20.0);
    EXPECT_DOUBLE_EQ(dy, 0.1);
}

// Fuller, Schettler and Giddings: D = 1.00e-3 T^1.75 sqrt(1/MA + 1/MB) /
// (p_atm (VA^(1/3) + VB^(1/3))^2) cm2/s, here in m2/s with p in Pa.
double fuller_m2_s(double t_K, double p_Pa, double ma, double mb, double va, double vb)
{
    const double roots = std::cbrt(va) + std::cbrt(vb);
    return 1.00e-3 * std::pow(t_K, 1.75) * std::sqrt(1.0 / ma + 1.0 / mb) / (p_Pa / 101325.0 * roots * roots) * 1e-4;
}

TEST(Diffusion, BinaryFactorsFollowFuller)
{
    using namespace usersub::test;
    load_species_fixture();
    diffusion_volumes_setup();
    ASSERT_TRUE(diffusion_ready());

    struct Pair { const char* what; int i, j; double va, vb; };
    const Pair pairs[] = {
        {"H2-N2", fx::product(6), fx::kN2, 7.07, 17.9},
        {"O2-CO2", fx::kO2, fx::product(1), 16.6, 26.9},
        {"CH4-N2 (atom sum 16.5 + 4 x 1.98)", fx::kCH4, fx::kN2, 24.42, 17.9},
        {"C7H16-H2O", fx::kC7H16Liquid, fx::kH2OLiquid, 7 * 16.5 + 16 * 1.98, 12.7},
        {"CO-OH (atom sum 5.48 + 1.98)", fx::product(5), fx::product(9), 18.9, 7.46},
    };
    const double t_K = 700.0, p_Pa = 2e5;
    const auto& tab = species_table();
    for (const Pair& c : pairs) {
        const double ma = tab.pmwt(c.i), mb = tab.pmwt(c.j);
        // The library's constants: 0.01013 and the exponent 0.333333.
        const double roots = std::pow(c.va, 0.333333) + std::pow(c.vb, 0.333333);
        const double expected = 0.01013 * std::sqrt(1.0 / ma + 1.0 / mb) / (roots * roots);
        EXPECT_NEAR(binarydif(c.i, c.j), expected, 1e-12 * expected) << c.what;
        EXPECT_EQ(binarydif(c.i, c.j), binarydif(c.j, c.i)) << c.what;
        const double d = binarydif(c.i, c.j) * std::pow(t_K, 1.75) / p_Pa;
        EXPECT_NEAR(d, fuller_m2_s(t_K, p_Pa, ma, mb, c.va, c.vb), 1e-3 * d) << c.what;
    }
    for (int i = 1; i <= fx::kNSpecies; ++i) EXPECT_EQ(binarydif(i, i), -999.0);

    // Built once: a second call keeps the first factors.
    species_table_rw().species_formula(4, fx::kN2) = 0.0;
    diffusion_volumes_setup();
    EXPECT_NEAR(diffusion_arrays().diff_volume_root(fx::kN2), std::pow(17.9, 0.333333), 1e-15);
}

}  // namespace
}  // namespace usersub::properties

namespace usersub::properties {
namespace {

TEST(SpareTransport, SecondFormAndWarningMatchTheLiveRoutine)
{
    load_tabled_set();
    const std::array<double, 4> y = {0.6, 0.0, 0.4, 0.0};
    const MuK live = transport(450.0, 5e5, y, 2);
    MuK b{-1.0, -1.0};
    viscandcond_user_b(450.0, 5e5, -123.0, 1100.0, y.data(), b.mu, b.k, 2);
    EXPECT_EQ(b.mu, live.mu);
    EXPECT_EQ(b.k, live.k);

    const std::string out = usersub::test::capture_stdout([] { EXPECT_EQ(trprops_warn(), 0); });
    EXPECT_EQ(out, "");
}

TEST(WaterLatentHeat, TableBandsAndTheLinearLaw)
{
    struct Case { double p_bar, h; };
    const Case cases[] = {
        {0.01, 2432900.0}, {0.04, 2432900.0},
        {0.07, (2415900.0 + 2403100.0) / 2},  // halfway 0.06 .. 0.08
        {0.1, 2392800.0},  {0.3, 2336100.0},   {1.0, 2258000.0},
        {4.75, (2120700.0 + 2108500.0) / 2},  // halfway 4.5 .. 5.0
        {45.0, 1676400.0}, {47.5, (1676400.0 + 1640100.0) / 2},
        {195.0, (688000.0 + 583400.0) / 2},
        {200.0, 6166175.0 - 27913.87 * 200.0},  // 583401
        {210.0, 6166175.0 - 27913.87 * 210.0},
        {220.9, 0.0},      {300.0, 0.0},
    };
    for (const Case& c : cases) EXPECT_NEAR(water_latent_heat(c.p_bar), c.h, 1e-6) << c.p_bar;
}

TEST(TotalPressureSeries, MachSeriesWithItsCap)
{
    // Air at 1 bar, 1.2 kg/m3, 100 m/s, c = 340 m/s, gamma 1.4:
    // M^2 = 0.086505; series 1 + 0.021626 + 0.6 x 0.0074831 / 24.
    const double m2 = (100.0 / 340.0) * (100.0 / 340.0);
    EXPECT_NEAR(total_pressure_series(1e5, 1.2, 100.0, 340.0, 1.4),
                1e5 + 6000.0 * (1.0 + m2 / 4.0 + 0.6 * m2 * m2 / 24.0), 1e-9);
    // No sound speed: M^2 is capped at 1.
    EXPECT_NEAR(total_pressure_series(1e5, 1.2, 100.0, 0.0, 1.4), 1e5 + 6000.0 * (1.25 + 0.6 / 24.0), 1e-9);
    EXPECT_EQ(total_pressure_series(2e5, 1.2, 0.0, 0.0, 1.4), 2e5);
}

}  // namespace
}  // namespace usersub::properties
