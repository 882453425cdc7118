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
#include <tuple>
#include <vector>

namespace usersub::properties {
namespace {

using usersub::test::expect_child_stop;

// Species 1 and 2 of 28 kg/kmol have tables: 1 on levels of 1, 10 and 100 bar
// (rows 300, 600, 900 K each), 2 on one level (rows 400, 800 K). Species 3
// (44 kg/kmol) and the product 4 have none. Circuit modes 1, 3, 2, 4.
void load_tabled_set()
{
    const std::int32_t counts[10] = {4, 4, 3, 0, 1, 0, 0, 10, 0, 0};
    loadprop0(counts);
    SpeciesTable& s = species_table_rw();
    for (int i = 1; i <= 4; ++i) {
        s.iproptyp(i) = kGas;
        s.pmwt(i) = std::array{28.0, 28.0, 44.0, 18.0}[static_cast<std::size_t>(i - 1)];
        s.pmwt_inv(i) = 1.0 / s.pmwt(i);
    }
    struct Row { int species, row; double t_K, p_Pa, mu, k; };
    const Row rows[] = {
        {1, 1, 300, 1e5, 1.8e-5, 0.026}, {1, 2, 600, 1e5, 3.0e-5, 0.045}, {1, 3, 900, 1e5, 4.0e-5, 0.060},
        {1, 4, 300, 1e6, 2.0e-5, 0.030}, {1, 5, 600, 1e6, 3.2e-5, 0.050}, {1, 6, 900, 1e6, 4.3e-5, 0.066},
        {1, 7, 300, 1e7, 3.0e-5, 0.040}, {1, 8, 600, 1e7, 4.0e-5, 0.060}, {1, 9, 900, 1e7, 5.0e-5, 0.080},
        {2, 1, 400, 1e5, 2.5e-5, 0.030}, {2, 2, 800, 1e5, 4.5e-5, 0.050},
    };
    for (const Row& r : rows) {  // each row extends the species' last level (species 1: three rows a level)
        s.tt_t(r.row, r.species) = r.t_K;
        s.tt_p(r.row, r.species) = r.p_Pa;
        s.tt_mu(r.row, r.species) = r.mu;
        s.tt_k(r.row, r.species) = r.k;
        s.tt_count(r.species) = r.row;
        s.tt_nlevels(r.species) = r.species == 1 ? (r.row + 2) / 3 : 1;
        s.tt_level_rows(1, s.tt_nlevels(r.species), r.species) = r.species == 1 ? r.row - (r.row - 1) % 3 : 1;
        s.tt_level_rows(2, s.tt_nlevels(r.species), r.species) = r.row;
    }
    s.tt_count(3) = s.tt_count(4) = 0;
    const std::int32_t modes[4] = {1, 3, 2, 4};
    loadcircset(4, modes);
}

struct MuK { double mu, k; };
MuK transport(double t_K, double p_Pa, std::array<double, 4> y, std::int32_t circuit = 1)
{
    MuK r{-1.0, -1.0};
    viscandcond_user(t_K, p_Pa, 1100.0, y.data(), r.mu, r.k, circuit);  // cp 1100 J/(kg K)
    return r;
}
double mu_power(double t_K) { return 3.3e-7 * std::pow(t_K, 0.7); }
double k_power(double t_K) { return 1100.0 * mu_power(t_K) / 0.7; }

TEST(Viscandcond, TablesLevelsRemainderMixingModesAndFatalPaths)
{
    load_tabled_set();
    // Read off the tables by hand. At 450 K level 1 gives 2.4e-5 and 0.0355,
    // level 2 2.6e-5 and 0.040, level 3 3.5e-5 and 0.050.
    const double w3 = (1 / std::sqrt(28.0)) / (1 / std::sqrt(28.0) + 1 / std::sqrt(44.0));  // mode 3 weight of A
    struct Case { const char* what; double t_K, p_Pa; std::array<double, 4> y; int circuit; double mu, k; };
    const Case cases[] = {
        {"levels 1-2, f = 4/9", 450, 5e5, {1, 0, 0, 0}, 1, 2.4e-5 + 0.2e-5 * 4 / 9, 0.0355 + 0.0045 * 4 / 9},
        {"on level 2", 450, 1e6, {1, 0, 0, 0}, 1, 2.6e-5, 0.040},
        {"levels 2-3, f = 1/2", 450, 5.5e6, {1, 0, 0, 0}, 1, 3.05e-5, 0.045},
        {"above the last level", 750, 2e7, {1, 0, 0, 0}, 1, 4.5e-5, 0.070},
        {"T below the first row", 200, 1e5, {1, 0, 0, 0}, 1, 1.8e-5, 0.026},
        {"P below level 1, T above", 1200, 1e3, {1, 0, 0, 0}, 1, 4.0e-5, 0.060},
        {"one level, P ignored", 600, 1e7, {0, 1, 0, 0}, 1, 3.5e-5, 0.040},
        {"no tables: power law", 500, 1e5, {0, 0, 0.5, 0.5}, 1, mu_power(500), k_power(500)},
        {"power law at T = 0", 0, 1e5, {0, 0, 0.5, 0.5}, 1, 0.0, 0.0},
        {"60 % tabled", 450, 1e5, {0.6, 0, 0.4, 0}, 1, 0.6 * 2.4e-5 + 0.4 * mu_power(450),
         0.6 * 0.0355 + 0.4 * k_power(450)},
        {"remainder 5e-5: none", 450, 1e5, {0.99995, 0, 0.00005, 0}, 1, 0.99995 * 2.4e-5, 0.99995 * 0.0355},
        {"mode 3, equal M", 600, 1e5, {0.3, 0.7, 0, 0}, 2, 0.3 * 3.0e-5 + 0.7 * 3.5e-5, 0.3 * 0.045 + 0.7 * 0.040},
        {"mode 3, 28 and 44", 600, 1e5, {0.5, 0, 0.5, 0}, 2, w3 * 3.0e-5 + (1 - w3) * mu_power(600),
         0.5 * 0.045 + 0.5 * k_power(600)},
        {"mode 2: mole fractions", 600, 1e5, {0.5, 0, 0.5, 0}, 3, 44.0 / 72 * 3.0e-5 + 28.0 / 72 * mu_power(600),
         0.5 * 0.045 + 0.5 * k_power(600)},
    };
    for (const Case& c : cases) {
        const MuK r = transport(c.t_K, c.p_Pa, c.y, c.circuit);
        EXPECT_NEAR(r.mu, c.mu, 1e-18) << c.what;
        EXPECT_NEAR(r.k, c.k, 1e-14) << c.what;
    }
    double mu = -1.0, k = -1.0;  // the power law alone
    gas_viscosity_power(500.0, 1100.0, mu, k);
    EXPECT_EQ(std::tie(mu, k), std::make_tuple(mu_power(500.0), k_power(500.0)));
    // Level 1 on rows 2..3 and row 1 at 5 bar: 3 bar lies at or below the first row, so level 1 only.
    species_table_rw().tt_level_rows(1, 1, 1) = 2;
    species_table_rw().tt_p(1, 1) = 5e5;
    EXPECT_NEAR(transport(600, 3e5, {1, 0, 0, 0}).mu, 3.0e-5, 1e-18);
    std::array<double, 4> w{};
    const std::array<double, 4> zeros{};
    volume_fractions(0, 1e5, 600.0, zeros.data(), w.data());
    EXPECT_EQ(w, (std::array<double, 4>{1.0, 0.0, 0.0, 0.0}));

    // An unknown mixing mode, a level of one row and a negative temperature stop the run.
    struct Fatal { double t_K; std::array<double, 4> y; int circuit; bool one_row_level; const char* output; };
    const Fatal fatal[] = {
        {600, {1, 0, 0, 0}, 4, false,
         " F*** Unknown mixing mode in VISCANDCOND_USER: circuit 4 has mode 4 (the modes are 1, 2 and 3)\n"},
        {600, {0, 1, 0, 0}, 1, true, "Interpolation error in VISCANDCOND_USER. \n"},
        {-10, {0, 0, 1, 0}, 1, false, "F*** Negative temperature in VISCANDCOND_USER: T = -0.1000E+02\n"},
    };
    for (const Fatal& c : fatal) {
        expect_child_stop([&c] {
            if (c.one_row_level) species_table_rw().tt_level_rows(2, 1, 2) = 1;
            (void)transport(c.t_K, 1e5, c.y, c.circuit);
        }, c.output);
    }
}

TEST(VolumeFractions, LiquidHeptaneAndNitrogen)
{
    using namespace usersub::test;
    load_species_fixture();
    std::vector<double> y(fx::kNSpecies, 0.0), w(fx::kNSpecies, -1.0);
    y[fx::kN2 - 1] = y[fx::kC7H16Liquid - 1] = 0.5;
    // Heptane 679.5 kg/m3 at 298.15 K and 1 bar; nitrogen an ideal gas.
    const double v_liquid = 0.5 / 679.5, v_gas = 0.5 * 298.15 * 8314.3 / 28.0134 / 1e5;
    volume_fractions(0, 1e5, 298.15, y.data(), w.data());
    EXPECT_NEAR(w[fx::kC7H16Liquid - 1], v_liquid / (v_liquid + v_gas), 1e-12);
    // A density form other than 1 and 2 gives no density: no share.
    species_table_rw().liq_form(fx::kC7H16Liquid) = 0;
    volume_fractions(0, 1e5, 298.15, y.data(), w.data());
    EXPECT_EQ(std::tie(w[fx::kN2 - 1], w[fx::kC7H16Liquid - 1]), std::make_tuple(1.0, 0.0));
}

TEST(TableInterp, RangeFlagsBracketAndCachedReuse)
{
    std::array<double, 5> x = {100, 200, 300, 400, 500}, y1 = {1, 3, 7, 8, 20}, y2 = {10, 20, 30, 40, 50};
    const ArrayN<const double, 2> xt("X", x.data(), {5, 1}), yt1("Y1", y1.data(), {5, 1}), yt2("Y2", y2.data(), {5, 1});
    double y = -1.0, dy = -1.0;
    std::int32_t flag = -1, error = -1;
    table_interp_cached(1, 5, 3, 3, 1, xt, yt1, 250.0, y, dy, flag, error);
    EXPECT_EQ(std::tie(error, flag), std::make_tuple(kInterpBadRows, 0));

    struct Case { double x; std::int32_t flag; double y, dy; };
    const Case cases[] = {
        {100 * (1 - 2e-5), kInterpBelow, 1.0, 0.02},    // 2e-5 relative below: flagged, clamped
        {100 * (1 - 5e-6), kInterpInRange, 1.0, 0.02},  // 5e-6 below: within the tolerance
        {500 * (1 + 2e-5), kInterpAbove, 20.0, 0.12},
        {350, kInterpInRange, 7.5, 0.01},
        {200, kInterpInRange, 3.0, 0.04},               // on a row: bracket 2..3
    };
    for (const Case& c : cases) {
        table_interp_cached(1, 5, 1, 5, 1, xt, yt1, c.x, y, dy, flag, error);
        EXPECT_EQ(std::tie(error, flag), std::make_tuple(0, c.flag)) << c.x;
        EXPECT_DOUBLE_EQ(y, c.y) << c.x;
        EXPECT_DOUBLE_EQ(dy, c.dy) << c.x;
    }
    // Mode 0 takes the last bracket (rows 2..3, fraction 0) to the second table.
    table_interp_cached(0, 5, 1, 5, 1, xt, yt2, 999.0, y, dy, flag, error);
    EXPECT_DOUBLE_EQ(y, 20.0);
    EXPECT_DOUBLE_EQ(dy, 0.1);

    // Rows 3..4 of equal x: error 4, the bracket is kept, the fraction of the last search stays.
    x[3] = 300;
    table_interp_cached(1, 5, 3, 4, 1, xt, yt1, 300.0, y, dy, flag, error);
    EXPECT_EQ(std::tie(error, interp_cache().lo, interp_cache().hi, interp_cache().fraction),
              std::make_tuple(kInterpBadRows, 3, 4, 0.0));
}

TEST(Diffusion, BinaryFactorsFollowFuller)
{
    using namespace usersub::test;
    load_species_fixture();
    SpeciesTable& s = species_table_rw();
    for (int e = 1; e <= 6; ++e) {  // SO2 and Ar without atoms (V = 0), N with its formula unloaded
        s.species_formula(e, fx::product(13)) = s.species_formula(e, fx::product(12)) = 0.0;
        s.species_formula(e, fx::product(11)) = -999.0;
    }
    diffusion_volumes_setup();
    const double root_n2 = std::pow(17.9, 0.333333);
    EXPECT_NEAR(binarydif(fx::product(13), fx::kN2),
                0.01013 * std::sqrt(1 / s.pmwt(fx::product(13)) + 1 / s.pmwt(fx::kN2)) / (root_n2 * root_n2), 1e-15);
    EXPECT_EQ(binarydif(fx::product(13), fx::product(12)), -999.0);
    EXPECT_EQ(binarydif(fx::product(11), fx::kN2), -999.0);
    struct Pair { int i, j; double va, vb; };
    const Pair pairs[] = {
        {fx::product(6), fx::kN2, 7.07, 17.9},                              // H2-N2
        {fx::kO2, fx::product(1), 16.6, 26.9},                              // O2-CO2
        {fx::kCH4, fx::kN2, 16.5 + 4 * 1.98, 17.9},                         // atom sum
        {fx::kC7H16Liquid, fx::kH2OLiquid, 7 * 16.5 + 16 * 1.98, 12.7},
        {fx::product(5), fx::product(9), 18.9, 5.48 + 1.98},                // CO-OH
    };
    const double t_K = 700.0, p_Pa = 2e5;
    for (const Pair& c : pairs) {
        const double ma = species_table().pmwt(c.i), mb = species_table().pmwt(c.j);
        const double d = binarydif(c.i, c.j) * std::pow(t_K, 1.75) / p_Pa;
        // Fuller, Schettler and Giddings: 1.00e-3 T^1.75 sqrt(1/MA + 1/MB) /
        // (p_atm (VA^(1/3) + VB^(1/3))^2) cm2/s.
        const double roots = std::cbrt(c.va) + std::cbrt(c.vb);
        const double fuller = 1e-3 * std::pow(t_K, 1.75) * std::sqrt(1 / ma + 1 / mb) / (p_Pa / 101325 * roots * roots);
        EXPECT_NEAR(d, fuller * 1e-4, 1e-3 * d) << c.i << "-" << c.j;
        // With the factor's own constants 0.01013 and 0.333333, to rounding: a
        // volume off by half a percent moves it by less than the 1e-3 above.
        const double roots6 = std::pow(c.va, 0.333333) + std::pow(c.vb, 0.333333);
        EXPECT_NEAR(binarydif(c.i, c.j), 0.01013 * std::sqrt(1 / ma + 1 / mb) / (roots6 * roots6), 1e-15);
        EXPECT_EQ(binarydif(c.i, c.j), binarydif(c.j, c.i));
    }
    for (int i = 1; i <= fx::kNSpecies; ++i) EXPECT_EQ(binarydif(i, i), -999.0);
    const double n2_o2 = binarydif(fx::kN2, fx::kO2);
    s.species_formula(4, fx::kN2) = 0.0;  // built once: not read again
    diffusion_volumes_setup();
    EXPECT_EQ(binarydif(fx::kN2, fx::kO2), n2_o2);
}

TEST(PropertyHelpers, LatentHeatOfWaterAndTotalPressure)
{
    struct Case { double p_bar, h; };
    const Case cases[] = {
        {0.01, 2432900}, {0.04, 2432900}, {0.07, (2415900 + 2403100) / 2.0}, {0.1, 2392800},
        {0.3, 2336100},  {1.0, 2258000},  {4.75, (2120700 + 2108500) / 2.0}, {47.5, (1676400 + 1640100) / 2.0},
        {195, (688000 + 583400) / 2.0},   {200, 583401},  {210, 6166175.0 - 27913.87 * 210}, {220.9, 0.0},
    };
    for (const Case& c : cases) EXPECT_NEAR(water_latent_heat(c.p_bar), c.h, 1e-6) << c.p_bar;

    // 1 bar, 1.2 kg/m3, 100 m/s, c = 340 m/s, gamma 1.4; with c = 0, M^2 is capped at 1.
    const double m2 = (100.0 / 340.0) * (100.0 / 340.0);
    EXPECT_NEAR(total_pressure_series(1e5, 1.2, 100, 340, 1.4), 1e5 + 6000 * (1 + m2 / 4 + 0.6 * m2 * m2 / 24), 1e-9);
    EXPECT_NEAR(total_pressure_series(1e5, 1.2, 100, 0, 1.4), 1e5 + 6000 * (1.25 + 0.6 / 24), 1e-9);
}

}  // namespace
}  // namespace usersub::properties
