#include "properties/equilibrium/alternative_equilibrium.h"
#include "properties/equilibrium/equilibrium_driver.h"
#include "properties/species/product_species.h"
#include "properties/species/property_loaders.h"
#include "support/child.h"
#include "support/fixture_gases.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <numeric>
#include <string>
#include <tuple>
#include <vector>

namespace usersub::properties {
namespace {

using namespace usersub::test;

const Array1<double>& x() { return product_species().prod_molefrac; }

Composition methane_air(double phi) { return fuel_air(fx::kCH4, 16.04246, 2.0, phi); }
Composition octane_air(double phi)
{
    octane_in_heptane_slot();
    return fuel_air(fx::kC7H16Liquid, 114.22852, 12.5, phi);
}

TEST(EquilibriumConstantSolvers, AgreeWithTheIndependentSolutionOfTheirRelations)
{
    load_species_fixture();
    // Rows: name, T, P, the amounts of C H O N Ar S, the 13 product mole fractions.
    const auto rows = data_rows(USERSUB_TEST_DATA_DIR "/ecp_oracle_cases.txt");
    ASSERT_EQ(rows.size(), 25u);
    for (const DataRow& r : rows) {
        ASSERT_EQ(r.words.size(), 22u) << r.words[0];
        const std::string& name = r.words[0];
        const double t_K = r.number(1), p_Pa = r.number(2);
        double n[6];
        for (int i = 0; i < 6; ++i) n[i] = r.number(3 + i);
        const bool four_elements = n[4] == 0.0 && n[5] == 0.0;
        const double phi = (2 * n[0] + n[1] / 2) / n[2];
        const bool near_stoichiometric = std::fabs(phi - 1.0) <= 0.05 && t_K < 2500.0;

        // Each solver from an all-zero start (so from complete combustion).
        auto check = [&](const char* solver, auto&& solve) {
            std::ranges::fill(x().all(), 0.0);
            std::int32_t failure = 0;
            const std::string out = capture_stdout([&] { solve(failure); });
            EXPECT_EQ(failure, 0) << solver << " " << name << out;
            for (int k = 1; k <= kProducts; ++k)
                EXPECT_NEAR(x()(k), r.number(8 + k), 1e-4 * r.number(8 + k) + 1e-9)
                    << solver << " " << name << " species " << k;
        };
        check("ECP", [&](std::int32_t& f) { ecp(p_Pa, t_K, n[0], n[1], n[2], n[3], n[4], n[5], 0, f); });
        if (four_elements)
            check("ECP60", [&](std::int32_t&) { ecp60(p_Pa, t_K, n[0], n[1], n[2], n[3], 0); });
        if (near_stoichiometric) {
            check("root", [&](std::int32_t& f) { ecpinz_b(p_Pa, t_K, n[0], n[1], n[2], n[3], n[4], n[5], 0, f); });
            if (four_elements)
                check("root60", [&](std::int32_t& f) { ecpinz60_b(p_Pa, t_K, n[0], n[1], n[2], n[3], 0, f); });
        }
    }
    EXPECT_GT(ecpinz60_iteration_counters().total, ecpinz60_iteration_counters().most);

    // Relaxation: the four-element square-root solver takes the level's first tolerance over
    // the step itself (0.015 / 0.03 + 0.06), the others a numerator over the change of the
    // step, here |1000 - 0.03|, raised to their floor of 0.3.
    EXPECT_DOUBLE_EQ(relaxation_factor(kRoot60Newton.relaxation, 0.015, 0.03, 1000.0, 0.1), 0.56);
    EXPECT_EQ(relaxation_factor(kRoot60Newton.relaxation, 0.015, 1.0, 1000.0, 0.1), 0.1);
    EXPECT_EQ(relaxation_factor(kRootNewton.relaxation, 0.015, 0.03, 1000.0, 0.3), 0.3);
}

TEST(EquilibriumDriver, ChoosesTheMethodAndWritesBackTheProducts)
{
    load_species_fixture();
    using enum EquilibriumMethod;
    for (const auto& [phi, t_K, method] : {std::tuple{1.04, 2000.0, square_root},
                                           std::tuple{1.06, 2000.0, equilibrium_constants},
                                           std::tuple{1.04, 2500.0, equilibrium_constants}}) {
        Composition y = methane_air(phi);
        for (double& v : y) v *= 0.9;
        y[fx::kH2OLiquid - 1] = 0.1;  // kept out of the reaction: IFUEL -1
        const double fuel_kmol_per_kg = 0.9 / (16.04246 + 2 / phi * (31.9988 + 3.76 * 28.0134));
        ecpinz(0.0, t_K, 1e5, y.data());
        EXPECT_EQ(last_equilibrium_method(), method) << phi << " " << t_K;
        EXPECT_EQ(y[fx::kH2OLiquid - 1], 0.1);
        for (int i : {fx::kN2, fx::kO2, fx::kCH4}) EXPECT_EQ(y[i - 1], 0.0);
        EXPECT_NEAR(std::accumulate(y.begin() + fx::kOrdinary, y.end(), 0.0), 0.9, 1e-15);
        // The products hold the elements of the reactants, as far as the
        // solvers converge: per CH4 1 C, 4 H, 4/phi O, 15.04/phi N.
        const std::vector<double> n = element_amounts(y, fx::kFirstProduct);
        const double per_fuel[4] = {1.0, 4.0, 4.0 / phi, 2 * 3.76 * 2 / phi};
        for (int e = 0; e < 4; ++e) EXPECT_NEAR(n[e] / fuel_kmol_per_kg, per_fuel[e], 1e-6 * per_fuel[e]) << e;
    }
}

// A host hands the products back at its next call, solved 1 K below its temperature (the
// equilibrium cp), so every solve starts 1 K away from its answer: over 300 calls at T and
// T - 1 K in turn, the atom ratios hold to rounding on every method, 1600 to 5000 K, 1e3 to
// 1e7 Pa, phi 0.5 to 2. Octane-air: H/C, O/C and N/C (18/8, 25/(8 phi), 94/(8 phi)); octane in
// oxygen alone: H/C and O/C; hydrogen-air (carbon-poor: Gibbs minimisation on its own, whose carbon
// is the driver's trace floor; by the switch, with no carbon but the traces of the minimum amount
// handed back): H/N and O/N (2 phi/3.76, 1/3.76). The only changes the driver makes to the
// elements are the solid carbon it takes out and the trace floor of C and H; only the floor of C
// is met here. No mass fraction goes below zero, not even where an element is missing (nitrogen)
// or present only in such traces.
TEST(EquilibriumDriver, RepeatedCallsKeepEveryAtom)
{
    // Methods: by phi and T (square-root or ECP); Gibbs by the switch; four-element. Fuels:
    // octane in air, hydrogen in air, octane in oxygen.
    for (const auto& [method, fuel] : {std::pair{0, 0}, {1, 0}, {2, 0}, {0, 1}, {1, 1}, {0, 2}, {1, 2}, {2, 2}}) {
        load_species_fixture();
        const std::int32_t pair_parameter = 0;
        copy_user_property_parameters(method == 1 ? 1 : 0, 1, &pair_parameter);
        const bool hydrogen = fuel == 1;
        for (const double t_K : {1600.0, 2400.0, 3500.0, 5000.0})
            for (const double p_Pa : {1e3, 1e5, 1e7})
                for (const double phi : {0.5, 1.0, 1.6, 2.0}) {
                    Composition y = hydrogen ? fuel_air(fx::product(kH2), 2.01588, 0.5, phi) : octane_air(phi);
                    if (fuel == 2) y[fx::kN2 - 1] = 0.0;
                    for (int call = 0; call < 300; ++call)
                        (method == 2 ? ecpinz60 : ecpinz)(0.0, t_K - call % 2, p_Pa, y.data());
                    EXPECT_GE(*std::min_element(y.begin(), y.end()), 0.0) << method << fuel << ' ' << t_K;
                    const std::vector<double> n = element_amounts(y);
                    const int base = hydrogen ? 3 : 0;
                    const double given[4] = {0.0, hydrogen ? 2 * phi / 3.76 : 18.0 / 8,
                                             hydrogen ? 1 / 3.76 : 25.0 / (8 * phi), 94.0 / (8 * phi)};
                    for (int e = 1; e <= (fuel == 0 ? 3 : 2); ++e)
                        EXPECT_NEAR(n[e] / n[base], given[e], 1e-12 * given[e])
                            << method << fuel << ' ' << t_K << " K " << p_Pa << " Pa phi " << phi << " e " << e;
                }
    }
}

TEST(EquilibriumDriver, HydrogenWithoutCarbonGoesToGibbsMinimisation)
{
    load_species_fixture();
    // 2 H2 + O2 + 3.76 N2 through the product species H2 and the air species.
    const double m = 2 * 2.01588 + 31.9988 + 3.76 * 28.0134;
    for (const std::int32_t word162 : {4, 5}) {
        std::vector<std::int32_t> evolution(1000, 0);
        evolution[161] = word162;
        copy_user_evolution(evolution.data());
        Composition y = fuel_air(fx::product(kH2), 2.01588, 0.5, 1.0);
        ecpinz(0.0, 2000.0, 1e5, y.data());
        EXPECT_EQ(last_equilibrium_method(), EquilibriumMethod::gibbs);
        const double trace = 1e-6 * (4.0 + 2.0 + 2 * 3.76) / m;  // of the element sum
        EXPECT_NEAR(product_species().element_totals(kElemC), word162 <= 4 ? trace : 0.0, 1e-12 * trace);
        EXPECT_NEAR(std::accumulate(y.begin(), y.end(), 0.0), 1.0, 1e-14);
    }
}

// Very rich mixtures: beyond 0.95 n_C > n_O the carbon above 0.95 n_O is
// taken out, with the warning on every such call, and the rest solves; so it
// is, without the warning, from n_C = n_O on (octane 3.2, methane 4.1).
TEST(EquilibriumDriver, SolidCarbonLeavesASolvableRichMixture)
{
    load_species_fixture();
    for (const bool octane : {true, false})
        for (const double phi : {3.0, 3.2, 4.0, 4.1, 5.5, 8.0})
            for (const double t_K : {1600.0, 2300.0, 3000.0})
                for (const double p_bar : {1.0, 10.0, 50.0}) {
                    Composition y = octane ? octane_air(phi) : methane_air(phi);
                    // Per fuel molecule: octane 8 C, 18 H, 25/phi O; methane 1 C, 4 H, 4/phi O.
                    const double n_C = octane ? 8.0 : 1.0;
                    const double n_O = (octane ? 25.0 : 4.0) / phi;
                    const double h_per_n = (octane ? 18.0 : 4.0) / (n_O * 3.76);
                    const bool solid = 0.95 * n_C > n_O;
                    const std::string out = capture_stdout([&] { ecpinz(0.0, t_K, p_bar * 1e5, y.data()); });
                    EXPECT_EQ(out, solid ? "W*** Solid carbon formed in equilibrium calculations\n" : "")
                        << octane << " " << phi;
                    const ProductSpeciesSet& ps = product_species();
                    if (solid) {
                        EXPECT_NEAR(ps.element_totals(kElemC), 0.95 * ps.element_totals(kElemO),
                                    1e-15 * ps.element_totals(kElemO));
                    }
                    for (double v : y) EXPECT_TRUE(v >= 0.0 && v <= 1.0) << v;
                    EXPECT_NEAR(std::accumulate(y.begin(), y.end(), 0.0), 1.0, 1e-14);
                    // Only carbon is taken out: H and N keep their ratio to rounding.
                    const std::vector<double> n = element_amounts(y);
                    EXPECT_NEAR(n[1] / n[3], h_per_n, 1e-12 * h_per_n) << octane << " " << phi << " " << t_K;
                }
}

TEST(EquilibriumDriver, FatalMessagesEndTheRun)
{
    load_species_fixture();
    for (const auto& [species, output] :
         {std::pair{fx::kH2OLiquid, "F*** No species defined with molecular formula, check FluidGas objects\n"},
          std::pair{fx::kCH4, "W*** Solid carbon formed in equilibrium calculations\nF*** No oxygen available for combustion\n"},
          std::pair{fx::product(kSO2), "F*** Not enough oxygen to bond with sulfur.\n"}}) {
        Composition y = composition({{species, 1.0}});
        expect_child_stop([&y] { ecpinz(0.0, 2000.0, 1e5, y.data()); }, output);
    }
}

TEST(EquilibriumDriver, NonConvergenceIsReportedAndFallsBack)
{
    load_species_fixture();
    // One iteration in all: neither Newton solver can converge.
    NewtonVariant root = kRootNewton, ecp_variant = kEcpNewton, ecp60_variant = kEcp60Newton;
    root.levels = {{{1, 0.014, 0.015}, {0, 0.001, 0.0015}, {0, 0.0005, 0.0005}}};
    ecp_variant.levels = ecp60_variant.levels = root.levels;
    DriverVariant impatient = kEcpinzDriver, root_fails = kEcpinzDriver;
    impatient.root = root_fails.root = &root;
    impatient.ecp = &ecp_variant;
    Composition y = methane_air(1.04);
    const std::string out = capture_stdout([&] { drive_equilibrium(impatient, 0.0, 2000.0, 1e5, y.data()); });
    EXPECT_EQ(out,
              "W*** ECPINZ: THIRD  LEVEL NON-CONVERGENCE, T,P,PHI =  2000.00       1.00   1.0400\n"
              "F*** ECP: THIRD  LEVEL NON-CONVERGENCE, T,P,PHI =  2000.00       1.00   1.0400\n"
              "     SWITCHING TO GIBBS FUNCTION MINIMIZATION METHOD\n");
    EXPECT_EQ(last_equilibrium_method(), EquilibriumMethod::gibbs);
    EXPECT_NEAR(std::accumulate(y.begin(), y.end(), 0.0), 1.0, 1e-14);

    // A failed square-root solve writes nothing: the equilibrium-constant
    // solver takes over from the root's start (here complete combustion), so
    // it gives what it gives from that start on its own, to the bit.
    y = methane_air(1.04);
    capture_stdout([&] { drive_equilibrium(root_fails, 0.0, 2000.0, 1e5, y.data()); });
    const std::vector<double> after_fallback(&x()(1), &x()(1) + kProducts);
    const Array1<double>& t = product_species().element_totals;
    std::ranges::fill(x().all(), 0.0);
    solve_products(kEcpNewton, 1e5, 2000.0, {t(1), t(2), t(3), t(4), t(6), t(5)}, 0);
    EXPECT_EQ(std::vector<double>(&x()(1), &x()(1) + kProducts), after_fallback);

    // The four-element solver has nothing to fall back on: its failure ends the run.
    expect_child_stop([&] { solve_products(ecp60_variant, 2e6, 2400.0, {1, 4, 4, 15, 0, 0}, 1); },
                      "F*** ECP60: THIRD  LEVEL NON-CONVERGENCE, T,P,PHI =  2400.00      20.00   1.0000\n");
}

TEST(AlternativeEquilibrium, FourElementDriverFloorsAt1800KAndNeverUsesGibbs)
{
    load_species_fixture();
    // Below the floor the products are those of 1800 K (and 1600 K for the live driver).
    Composition at_1500 = methane_air(0.8), at_1800 = at_1500, live = at_1500;
    ecpinz60(0.0, 1500.0, 1e6, at_1500.data());
    ecpinz60(0.0, 1800.0, 1e6, at_1800.data());
    EXPECT_EQ(at_1500, at_1800);
    ecpinz(0.0, 1500.0, 1e6, live.data());
    EXPECT_NE(live, at_1800);

    // H/C of 100 and more, stoichiometric at 2000 K: ECP60 (the live driver: Gibbs).
    const double m = 16.04246 + 150 * 2.01588 + 77 * (31.9988 + 3.76 * 28.0134);
    Composition y = composition({{fx::kCH4, 16.04246 / m}, {fx::product(kH2), 150 * 2.01588 / m},
                                 {fx::kO2, 77 * 31.9988 / m}, {fx::kN2, 77 * 3.76 * 28.0134 / m}});
    Composition y_live = y;
    ecpinz60(0.0, 2000.0, 1e5, y.data());
    EXPECT_EQ(last_equilibrium_method(), EquilibriumMethod::equilibrium_constants);
    ecpinz(0.0, 2000.0, 1e5, y_live.data());
    EXPECT_EQ(last_equilibrium_method(), EquilibriumMethod::gibbs);
}

}  // namespace
}  // namespace usersub::properties
