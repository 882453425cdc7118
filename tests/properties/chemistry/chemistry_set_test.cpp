#include "properties/chemistry/chemistry_set.h"
#include "properties/species/product_species.h"
#include "properties/species/property_loaders.h"
#include "properties/species/species_table_rw.h"
#include "support/child.h"
#include "support/species_fixture.h"

#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <string>
#include <vector>

namespace usersub::properties {
namespace {

using namespace usersub::test;
using Composition = std::array<double, fx::kNSpecies>;

constexpr double kR = 8314.3;

Composition with(std::initializer_list<std::pair<int, double>> entries)
{
    Composition c{};
    for (auto [i, v] : entries) c[static_cast<std::size_t>(i - 1)] = v;
    return c;
}

TEST(ChemistrySet, ConcentrationsFractionsAndGasConstant)
{
    load_species_fixture();
    // Air by moles 79 % N2, 21 % O2 at 1 bar and 300 K: n/V = p / (R T) =
    // 1e5 / (8.31451 x 300) mol/m3, i.e. x 1e-6 in mol/cm3.
    const Composition x = with({{fx::kN2, 0.79}, {fx::kO2, 0.21}});
    Composition c{};
    concentration_from_pt(300.0, 1e5, x.data(), c.data());
    EXPECT_NEAR(c[0], 0.79 * 1e5 / (8.31451 * 300.0) * 1e-6, 1e-15);
    EXPECT_NEAR(c[1], 0.21 * 1e5 / (8.31451 * 300.0) * 1e-6, 1e-15);

    Composition x_back{}, y{};
    molefrac_from_conc(c.data(), x_back.data());
    EXPECT_NEAR(x_back[0], 0.79, 1e-15);
    massfrac_from_conc(c.data(), y.data());
    const double w_air = 0.79 * 28.0134 + 0.21 * 31.9988;  // mole-averaged molar mass
    EXPECT_NEAR(y[0], 0.79 * 28.0134 / w_air, 1e-14);
    EXPECT_NEAR(y[1], 0.21 * 31.9988 / w_air, 1e-14);

    EXPECT_NEAR(species_mole_fraction(fx::kO2, y.data()), 0.21, 1e-14);
    double w = 0.0;
    mix_molar_mass(y.data(), w);
    EXPECT_NEAR(w, w_air, 1e-11);
    EXPECT_NEAR(mix_gas_constant(y.data()), kR / w_air, 1e-11);

    // Liquids do not count towards the gas constant; liquids alone give -999.0.
    const Composition wet = with({{fx::kN2, 0.5}, {fx::kH2OLiquid, 0.5}});
    EXPECT_NEAR(mix_gas_constant(wet.data()), kR * 0.5 / 28.0134, 1e-11);
    const Composition liquids = with({{fx::kC7H16Liquid, 0.4}, {fx::kH2OLiquid, 0.6}});
    EXPECT_EQ(mix_gas_constant(liquids.data()), -999.0);
    const Composition empty{};
    EXPECT_EQ(species_mole_fraction(1, empty.data()), 0.0);
    mix_molar_mass(empty.data(), w);
    EXPECT_EQ(w, -999.0);
}

TEST(ChemistrySet, ConcentrationSumBelowTinyStopsTheRun)
{
    load_species_fixture();
    Composition out{};
    const Composition just = with({{3, 1e-18}});
    molefrac_from_conc(just.data(), out.data());
    EXPECT_EQ(out[2], 1.0);
    for (auto routine : {&molefrac_from_conc, &massfrac_from_conc}) {
        const auto r = run_in_child([routine] {
            const Composition c = with({{3, 9e-19}});
            Composition o{};
            routine(c.data(), o.data());
        });
        EXPECT_EQ(r.exit_status, 1);
        EXPECT_EQ(r.output, " Total concentration close to zero.\n");
    }
}

TEST(ChemistrySet, NasaEntropiesAndEnthalpySums)
{
    load_species_fixture();
    for (double t_K : {500.0, 1500.0, 2500.0}) {
        EXPECT_NEAR(species_entropy_nasa9(t_K, fx::kN2), nasa9_s_R(nasa9("N2"), t_K), 1e-6) << t_K;
        EXPECT_NEAR(species_entropy_nasa9(t_K, fx::product(1)), nasa9_s_R(nasa9("CO2"), t_K), 1e-6) << t_K;
    }

    // Air at 800 K and 3 bar: s = sum y_i R_i (s_i/R - ln x_i - ln(p / 1 bar)).
    const double x_n2 = 0.79, x_o2 = 0.21;
    const double w_air = x_n2 * 28.0134 + x_o2 * 31.9988;
    const Composition y = with({{fx::kN2, x_n2 * 28.0134 / w_air}, {fx::kO2, x_o2 * 31.9988 / w_air}});
    double s = 0.0;
    mix_entropy(800.0, 3e5, y.data(), s);
    const double expected =
        y[0] * kR / 28.0134 * (nasa9_s_R(nasa9("N2"), 800.0) - std::log(x_n2) - std::log(3.0)) +
        y[1] * kR / 31.9988 * (nasa9_s_R(nasa9("O2"), 800.0) - std::log(x_o2) - std::log(3.0));
    EXPECT_NEAR(s, expected, 1e-5);

    // H = sum n_i (h/RT)_i T over 2 kmol CO2 and 0.5 kmol H2O at 1200 K.
    const Composition n = with({{fx::product(1), 2.0}, {fx::product(2), 0.5}});
    double h = 0.0, v = 0.0;
    mix_enthalpy_sum_nasa9(n.data(), 2e5, 1200.0, h, v);
    const double h_expected = 1200.0 * (2.0 * nasa9_h_RT(nasa9("CO2"), 1200.0) + 0.5 * nasa9_h_RT(nasa9("H2O"), 1200.0));
    EXPECT_NEAR(h, h_expected, 1e-6 * std::fabs(h_expected));
    EXPECT_NEAR(v, kR * h / 2e5, 1e-12 * std::fabs(v));
}

// Water-gas shift CO + H2O -> CO2 + H2: K = exp(-sum nu g/RT), the standard
// Gibbs energies from the NASA data.
TEST(ChemistrySet, ReactionEquilibriumOfTheWaterGasShift)
{
    load_species_fixture();
    const double t_K = 1200.0;
    const auto g_RT = [&](const char* s) { return nasa9_h_RT(nasa9(s), t_K) - nasa9_s_R(nasa9(s), t_K); };
    const double dg_RT = g_RT("CO2") + g_RT("H2") - g_RT("CO") - g_RT("H2O");

    const Composition products = with({{fx::product(1), 1.0}, {fx::product(6), 1.0}});
    const Composition reactants = with({{fx::product(5), 1.0}, {fx::product(2), 1.0}});
    double dg = 0.0, k = 0.0;
    reaction_equilibrium(1, 0, products.data(), reactants.data(), 2.0, 2.0, t_K, 1e5, dg, k);
    EXPECT_NEAR(dg, dg_RT * t_K, 1e-4);
    EXPECT_NEAR(k, std::exp(-dg_RT), 1e-6 * std::exp(-dg_RT));
    EXPECT_NEAR(k, 0.70, 0.1);  // tabulated K of the shift at 1200 K is about 0.7

    // The product G/RT of the 13 appended species match the same data.
    std::array<double, 13> g{};
    product_gibbs_rt(t_K, g.data());
    EXPECT_NEAR(g[0], g_RT("CO2"), 1e-5);
    EXPECT_NEAR(g[5], g_RT("H2"), 1e-5);

    // Dissociation H2O -> H2 + O/2 with a mole change of 1/2: K carries
    // f^(1/2), f = 0.012027470743177419 / T.
    const Composition diss = with({{fx::product(6), 1.0}, {fx::product(8), 1.0}});
    const Composition water = with({{fx::product(2), 1.0}});
    reaction_equilibrium(1, 0, diss.data(), water.data(), 1.5, 1.0, 3000.0, 1e5, dg, k);
    EXPECT_NEAR(std::log(k), -dg / 3000.0 + 0.5 * std::log(0.012027470743177419 / 3000.0), 1e-9);

    // The exponent is capped at 88, the constant held at 1e-20.
    const Composition atoms = with({{fx::product(7), 100.0}});
    const Composition none{};
    reaction_equilibrium(0, 0, none.data(), atoms.data(), 0.0, 0.0, 1000.0, 1e5, dg, k);
    EXPECT_DOUBLE_EQ(k, std::exp(88.0));
    reaction_equilibrium(0, 0, atoms.data(), none.data(), 0.0, 0.0, 1000.0, 1e5, dg, k);
    EXPECT_EQ(k, 1e-20);
}

TEST(ChemistrySet, ElementDeficitAbove1em4StopsTheRun)
{
    load_species_fixture();
    // 1e-4 kmol of O2 more among the products: an oxygen deficit of 2e-4 ...
    const Composition p_ok = with({{fx::product(4), 0.00005}});
    const Composition r{};
    double dg = 0.0, k = 0.0;
    reaction_equilibrium(1, 0, p_ok.data(), r.data(), 0.0, 0.0, 1000.0, 1e5, dg, k);  // 1e-4: passes
    const auto result = run_in_child([] {
        const Composition p = with({{fx::product(1), 0.00011}});  // CO2: C 1.1e-4, O 2.2e-4
        const Composition none{};
        double g = 0.0, kk = 0.0;
        reaction_equilibrium(1, 0, p.data(), none.data(), 0.0, 0.0, 1000.0, 1e5, g, kk);
    });
    EXPECT_EQ(result.exit_status, 1);
    EXPECT_EQ(result.output,
              "F**** Gibb's Function Could Not be Evaluated. Atomic Composition Does Not Conserve During Reaction\n"
              "      Mass Fraction Deficits\n"
              "      Carbon:   0.00011\n"
              "      Hydrogen: 0.0\n"
              "      Nitrogen: 0.0\n"
              "      Oxygen:   0.00022\n"
              "      Sulfur:   0.0\n"
              "      Argon:    0.0\n");
}

// cp of the enthalpy series h = sum_m a(m+1) (T - 298)^m of range 1.
double series_cp(int i, double t_K)
{
    const auto& tab = species_table();
    double cp = 0.0;
    for (int m = 1; m <= 7; ++m) cp += m * tab.thermo_coef(1, m + 1, i) * std::pow(t_K - 298.0, m - 1);
    return cp;
}

// Simpson's rule for the integral of cp/T from t1 to t2.
double integral_cp_over_t(int i, double t1, double t2)
{
    const int n = 2000;
    const double step = (t2 - t1) / n;
    double sum = series_cp(i, t1) / t1 + series_cp(i, t2) / t2;
    for (int j = 1; j < n; ++j) {
        const double t = t1 + j * step;
        sum += (j % 2 == 1 ? 4.0 : 2.0) * series_cp(i, t) / t;
    }
    return sum * step / 3.0;
}

TEST(ChemistrySet, SeriesEntropyIntegratesCpOverTAndIsCached)
{
    load_species_fixture({.products_switch = 1});
    for (int i : {fx::kN2, fx::kCH4, fx::product(1)}) {
        const double ds = species_entropy_poly(1400.0, i) - species_entropy_poly(400.0, i);
        EXPECT_NEAR(ds, integral_cp_over_t(i, 400.0, 1400.0), 1e-6 * std::fabs(ds)) << i;
    }

    // Repeated at one temperature: the cached value, even after the data changed.
    const double s1 = species_entropy_poly(900.0, fx::kN2);
    species_table_rw().thermo_coef(1, 2, fx::kN2) += 100.0;  // cp + 100 J/(kg K)
    EXPECT_EQ(species_entropy_poly(900.0, fx::kN2), s1);
    (void)species_entropy_poly(901.0, fx::kO2);  // another temperature clears every entry
    EXPECT_NEAR(species_entropy_poly(900.0, fx::kN2) - s1, 100.0 * std::log(900.0), 1e-9);

    // Mixture entropy: entropy constant plus the integral, less the mixing term.
    const Composition y = with({{fx::kN2, 0.6}, {fx::kCH4, 0.4}});
    const double x_n2 = (0.6 / 28.0134) / (0.6 / 28.0134 + 0.4 / 16.04246);
    double s = 0.0;
    mix_entropy(700.0, 2e5, y.data(), s);
    const auto& tab = species_table();
    const double expected =
        0.6 * (species_entropy_poly(700.0, fx::kN2) + tab.prod_sref(fx::kN2) - kR / 28.0134 * std::log(x_n2 * 2.0)) +
        0.4 * (species_entropy_poly(700.0, fx::kCH4) + tab.prod_sref(fx::kCH4) -
               kR / 16.04246 * std::log((1.0 - x_n2) * 2.0));
    EXPECT_NEAR(s, expected, 1e-8);

    // Enthalpy sum of the series in (T - Tref), Tref = 298.15 K.
    const Composition n = with({{fx::kN2, 1.5}});
    double h = 0.0, v = 0.0;
    mix_enthalpy_sum_poly(n.data(), 0.0, 1000.0, h, v);
    double h_n2 = 0.0;
    for (int k = 1; k <= 6; ++k) h_n2 += tab.thermo_coef(1, k, fx::kN2) * std::pow(1000.0 - 298.15, k - 1);
    EXPECT_NEAR(h, 1.5 * 28.0134 * h_n2 / kR, 1e-9 * std::fabs(h));
    EXPECT_EQ(v, 0.0);
}

// Gibbs-Helmholtz: d(G/RT)/dT = -h W / (R T^2) for the series form of the products.
TEST(ChemistrySet, ProductSeriesGibbsFollowsGibbsHelmholtz)
{
    load_species_fixture({.products_switch = 1});
    const auto& ps = product_species();
    const auto& tab = species_table();
    for (int k : {1, 2, 6, 12}) {
        const double t_K = 1300.0, dt = 0.01;
        std::array<double, 13> g_hi{}, g_lo{};
        product_gibbs_rt(t_K + dt, g_hi.data());
        product_gibbs_rt(t_K - dt, g_lo.data());
        double h = 0.0;
        for (int m = 0; m < ps.prod_settings(k); ++m) h += ps.prod_cp_mass(m + 1, k) * std::pow(t_K - 298.0, m);
        const double slope = (g_hi[static_cast<std::size_t>(k - 1)] - g_lo[static_cast<std::size_t>(k - 1)]) / (2 * dt);
        const double expected = -h * tab.pmwt(fx::product(k)) / (kR * t_K * t_K);
        EXPECT_NEAR(slope, expected, 1e-6 * std::fabs(expected) + 1e-9) << k;
    }
}

}  // namespace
}  // namespace usersub::properties
