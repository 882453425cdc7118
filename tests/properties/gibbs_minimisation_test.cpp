#include "properties/gibbs_minimisation.h"
#include "properties/product_species.h"
#include "properties/species_table.h"
#include "support/species_fixture.h"

#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace usersub::properties {
namespace {

using namespace usersub::test;

// One reference case of tests/data/cea_equilibrium_tp.txt: element amounts in
// mol/kg and the 13 mole fractions as NASA CEA printed them.
struct CeaCase {
    std::string label;
    double p_bar = 0.0;
    double t_K = 0.0;
    std::array<double, 6> n{};  // C, H, O (less the O of SO2), N, Ar, S
    std::array<std::string, kProducts> x;
};

std::vector<CeaCase> cea_cases()
{
    std::ifstream in(USERSUB_TEST_DATA_DIR "/cea_equilibrium_tp.txt");
    std::vector<CeaCase> cases;
    std::string line;
    while (std::getline(in, line)) {
        if (line.empty() || line[0] == '#') continue;
        std::istringstream fields(line);
        CeaCase c;
        fields >> c.label >> c.p_bar >> c.t_K;
        for (double& v : c.n) fields >> v;
        for (auto& v : c.x) fields >> v;
        cases.push_back(c);
    }
    return cases;
}

double phi_of(const std::array<double, 6>& n) { return (2.0 * n[0] + 0.5 * n[1]) / n[2]; }

GibbsOutcome solve(const CeaCase& c, std::int32_t start)
{
    const auto& n = c.n;  // mol/kg to kmol/kg
    return gibbs_min_eq(c.p_bar * 1e5, c.t_K, n[0] * 1e-3, n[1] * 1e-3, n[2] * 1e-3, n[3] * 1e-3,
                        n[4] * 1e-3, n[5] * 1e-3, phi_of(n), start);
}

void clear_molefrac()
{
    for (int k = 1; k <= kProducts; ++k) product_species().prod_molefrac(k) = 0.0;
}

// Compares with CEA to its printed digits: within half a unit of the last
// printed digit ("1.2345e-3" to 5e-8). A species CEA does not list lies
// below its trace limit of 1e-15.
void expect_cea_agreement(const CeaCase& c, const char* pass)
{
    const char* names[kProducts] = {"CO2", "H2O", "N2", "O2", "CO", "H2", "H",
                                    "O",   "OH",  "NO", "N",  "Ar", "SO2"};
    for (int k = 1; k <= kProducts; ++k) {
        const std::string& ref = c.x[static_cast<std::size_t>(k - 1)];
        const double x = product_species().prod_molefrac(k);
        if (ref == "-") {
            EXPECT_LT(x, 1e-15) << pass << ' ' << c.label << ' ' << names[k - 1];
            continue;
        }
        const auto dot = ref.find('.');
        const auto e = ref.find('e');
        const int decimals = static_cast<int>(e - dot - 1);
        const double half_unit = 0.5 * std::pow(10.0, std::stoi(ref.substr(e + 1)) - decimals);
        EXPECT_NEAR(x, std::stod(ref), half_unit * 1.001)
            << pass << ' ' << c.label << ' ' << names[k - 1];
    }
}

// Every committed case from a cold start (all product mole fractions 0, so
// the start is complete combustion with N at its minimum), and again with the
// start flag 0 from the previous case's composition: both agree with CEA.
TEST(GibbsMinimisation, AgreesWithCeaToItsPrintedDigits)
{
    load_species_fixture();
    const auto cases = cea_cases();
    ASSERT_EQ(cases.size(), 22u);
    for (const auto& c : cases) {
        clear_molefrac();
        const GibbsOutcome out = solve(c, 1);
        EXPECT_TRUE(out.converged) << c.label;
        expect_cea_agreement(c, "cold");
    }
    for (const auto& c : cases) {
        const GibbsOutcome out = solve(c, 0);
        EXPECT_TRUE(out.converged) << c.label;
        expect_cea_agreement(c, "warm");
    }
}

// Atoms per mole of mixture, in the proportions of the element amounts:
// sum_j a_ej x_j / (sum over elements + x_Ar + x_SO2) = n_e / sum of n.
TEST(GibbsMinimisation, ConservesElementsToRoundOff)
{
    load_species_fixture();
    const SpeciesTable& st = species_table();
    for (const auto& c : cea_cases()) {
        clear_molefrac();
        solve(c, 1);
        const Array1<double>& x = product_species().prod_molefrac;
        std::array<double, 4> atoms{};
        for (int e = 1; e <= 4; ++e)
            for (int k = 1; k <= 11; ++k)
                atoms[static_cast<std::size_t>(e - 1)] += st.species_formula(e, fx::product(k)) * x(k);
        const double atoms_total = atoms[0] + atoms[1] + atoms[2] + atoms[3] + x(kAr) + x(kSO2);
        double n_total = 0.0;
        for (double v : c.n) n_total += v;
        for (std::size_t e = 0; e < 4; ++e) {
            const double want = c.n[e] / n_total;
            const double got = atoms[e] / atoms_total;
            if (want == 0.0)
                EXPECT_LT(got, 1e-15) << c.label << " element " << e;
            else
                EXPECT_NEAR(got, want, 1e-12 * want) << c.label << " element " << e;
        }
        EXPECT_NEAR(x(kAr) / atoms_total, c.n[4] / n_total, 1e-12) << c.label;
        EXPECT_NEAR(x(kSO2) / atoms_total, c.n[5] / n_total, 1e-12) << c.label;
    }
}

// A stoichiometric octane-air mixture (kmol/kg; from the reference data).
constexpr double kStoich[6] = {4.3440229e-3, 9.7740515e-3, 13.5750715e-3, 50.6003502e-3,
                               0.3013083e-3, 0.0};

GibbsOutcome solve_stoich(double p_Pa, double t_K, std::int32_t start)
{
    const double* n = kStoich;
    return gibbs_min_eq(p_Pa, t_K, n[0], n[1], n[2], n[3], n[4], n[5],
                        (2 * n[0] + 0.5 * n[1]) / n[2], start);
}

std::array<double, kProducts> molefrac()
{
    std::array<double, kProducts> x{};
    for (int k = 1; k <= kProducts; ++k) x[static_cast<std::size_t>(k - 1)] = product_species().prod_molefrac(k);
    return x;
}

// The standard Gibbs energies are computed once per temperature: after a change
// of the enthalpy data of OH, a call at the same temperature still uses the
// old values; a call at another temperature picks the change up.
TEST(GibbsMinimisation, ReusesCachedEnergiesAtTheSameTemperature)
{
    load_species_fixture({.products_switch = 1});
    clear_molefrac();
    solve_stoich(10e5, 2400.0, 1);
    const auto first = molefrac();

    // +1 MJ/kg on OH raises its g/RT by 1e6 * 17.007 / (8314.3 * 2400) = 0.85.
    product_species().prod_cp_mass(1, kOH) += 1e6;
    clear_molefrac();
    solve_stoich(10e5, 2400.0, 1);
    EXPECT_EQ(molefrac(), first);

    clear_molefrac();
    solve_stoich(10e5, 2400.0 + 1e-9, 1);
    EXPECT_LT(product_species().prod_molefrac(kOH), 0.6 * first[kOH - 1]);

    product_species().prod_cp_mass(1, kOH) -= 1e6;
    clear_molefrac();
    solve_stoich(10e5, 2400.0, 1);
    for (int k = 1; k <= kProducts; ++k)
        EXPECT_NEAR(product_species().prod_molefrac(k), first[static_cast<std::size_t>(k - 1)],
                    1e-6 * first[static_cast<std::size_t>(k - 1)]) << k;
}

// The start: complete combustion when the flag is 1, or when N2, O2 or H2 of the
// held mole fractions is exactly 0; otherwise the held mole fractions.
TEST(GibbsMinimisation, StartsFromCompleteCombustionOnTheFlagOrAnEmptyStart)
{
    load_species_fixture();
    clear_molefrac();
    const GibbsOutcome fresh = solve_stoich(1e5, 2600.0, 0);
    const auto reference = molefrac();

    // A held composition far from the answer (N stays 0 as in the fresh start).
    auto hold = [](double o2) {
        const double held[kProducts] = {0.2, 0.1, 0.5, o2, 0.05, 0.05, 0.01,
                                        0.01, 0.01, 0.01, 0.0, 0.01, 0.0};
        for (int k = 1; k <= kProducts; ++k) product_species().prod_molefrac(k) = held[k - 1];
    };

    hold(0.05);
    const GibbsOutcome flagged = solve_stoich(1e5, 2600.0, 1);
    EXPECT_EQ(molefrac(), reference);
    EXPECT_EQ(flagged.iterations, fresh.iterations);

    hold(0.0);
    solve_stoich(1e5, 2600.0, 0);
    EXPECT_EQ(molefrac(), reference);

    hold(0.05);
    const GibbsOutcome from_held = solve_stoich(1e5, 2600.0, 0);
    EXPECT_TRUE(from_held.converged);
    EXPECT_NE(molefrac(), reference);
    for (int k = 1; k <= kProducts; ++k)
        EXPECT_NEAR(product_species().prod_molefrac(k), reference[static_cast<std::size_t>(k - 1)],
                    1e-5 * reference[static_cast<std::size_t>(k - 1)]) << k;
}

// More carbon than oxygen: no gas composition holds the carbon balance, so the
// iteration cannot converge. After 100 iterations (not 101) the composition
// of the lowest Gibbs energy met comes back. Its G / RT, recomputed here from
// the NASA polynomials, G = n sum x_j (g_j + ln x_j + ln p_bar) with the total
// n = (n_Ar / sum of n) / x_Ar, is the lowest the routine reports.
TEST(GibbsMinimisation, UnattainableBalanceReturnsTheLowestGibbsComposition)
{
    load_species_fixture();
    clear_molefrac();
    const double n[6] = {10e-3, 5e-3, 9.6e-3, 0.0, 0.2e-3, 0.0};
    const double t_K = 1600.0;
    const double p_bar = 1.0;
    const GibbsOutcome out = gibbs_min_eq(p_bar * 1e5, t_K, n[0], n[1], n[2], n[3], n[4], n[5],
                                          (2 * n[0] + 0.5 * n[1]) / n[2], 0);
    EXPECT_FALSE(out.converged);
    EXPECT_EQ(out.iterations, 100);

    const char* names[11] = {"CO2", "H2O", "N2", "O2", "CO", "H2", "H", "O", "OH", "NO", "N"};
    const Array1<double>& x = product_species().prod_molefrac;
    const double n_total = n[4] / (n[0] + n[1] + n[2] + n[4]) / x(kAr);
    double g_sum = 0.0;
    for (int k = 1; k <= 11; ++k) {
        const auto& s = nasa9(names[k - 1]);
        const double g_RT = nasa9_h_RT(s, t_K) - nasa9_s_R(s, t_K);
        g_sum += x(k) * (g_RT + std::log(x(k)) + std::log(p_bar));
    }
    EXPECT_NEAR(n_total * g_sum, out.lowest_g, 1e-7 * std::fabs(out.lowest_g));
    double total = 0.0;
    for (int k = 1; k <= kProducts; ++k) total += x(k);
    EXPECT_NEAR(total, 1.0, 1e-12);
}

// At the equilibrium each reaction among the species balances its chemical
// potentials: sum nu_j (g_j + ln x_j + ln p_bar) = 0. The g_j here are worked
// out independently of the library: from the fixture's NASA polynomials, and
// for the power-series form from h = sum c_j (T - Tref)^j with the entropy
// s_ref + integral of cp / T by Simpson's rule on 20000 intervals.
double series_g_RT(int k, double t_K)
{
    const SpeciesTable& st = species_table();
    const ProductSpeciesSet& ps = product_species();
    const int nterms = ps.prod_settings(k);
    const double t_ref = st.tref_thermo;
    auto h = [&](double t) {
        double v = 0.0;
        for (int j = 0; j < nterms; ++j) v += ps.prod_cp_mass(j + 1, k) * std::pow(t - t_ref, j);
        return v;
    };
    auto cp_over_t = [&](double t) {
        double v = 0.0;
        for (int j = 1; j < nterms; ++j) v += j * ps.prod_cp_mass(j + 1, k) * std::pow(t - t_ref, j - 1);
        return v / t;
    };
    const int steps = 20000;
    const double dt = (t_K - t_ref) / steps;
    double integral = cp_over_t(t_ref) + cp_over_t(t_K);
    for (int i = 1; i < steps; ++i) integral += (i % 2 ? 4.0 : 2.0) * cp_over_t(t_ref + i * dt);
    integral *= dt / 3.0;
    const int entry = st.props_scalar_3 + k;
    const double s = st.prod_sref(entry) + integral;
    return (h(t_K) - t_K * s) * st.pmwt(entry) / (8314.3 * t_K);
}

double nasa_g_RT(int k, double t_K)
{
    const char* names[11] = {"CO2", "H2O", "N2", "O2", "CO", "H2", "H", "O", "OH", "NO", "N"};
    const auto& s = nasa9(names[k - 1]);
    return nasa9_h_RT(s, t_K) - nasa9_s_R(s, t_K);
}

void expect_reactions_balanced(double t_K, double p_bar, double (*g_RT)(int, double))
{
    struct Reaction {
        const char* name;
        std::array<double, 11> nu;  // CO2 H2O N2 O2 CO H2 H O OH NO N
    };
    const Reaction reactions[] = {
        {"H2O = H2 + O2/2", {0, -1, 0, 0.5, 0, 1, 0, 0, 0, 0, 0}},
        {"CO2 = CO + O2/2", {-1, 0, 0, 0.5, 1, 0, 0, 0, 0, 0, 0}},
        {"N2/2 + O2/2 = NO", {0, 0, -0.5, -0.5, 0, 0, 0, 0, 0, 1, 0}},
        {"H2 = 2 H", {0, 0, 0, 0, 0, -1, 2, 0, 0, 0, 0}},
        {"O2 = 2 O", {0, 0, 0, -1, 0, 0, 0, 2, 0, 0, 0}},
        {"N2 = 2 N", {0, 0, -1, 0, 0, 0, 0, 0, 0, 0, 2}},
        {"H2/2 + O2/2 = OH", {0, 0, 0, -0.5, 0, -0.5, 0, 0, 1, 0, 0}},
    };
    const Array1<double>& x = product_species().prod_molefrac;
    for (const auto& r : reactions) {
        double balance = 0.0;
        for (int k = 1; k <= 11; ++k) {
            const double nu = r.nu[static_cast<std::size_t>(k - 1)];
            if (nu != 0.0) balance += nu * (g_RT(k, t_K) + std::log(x(k)) + std::log(p_bar));
        }
        EXPECT_NEAR(balance, 0.0, 1e-5) << r.name << " at " << t_K << " K";
    }
}

TEST(GibbsMinimisation, PowerSeriesFormReachesTheEquilibriumOfItsOwnData)
{
    load_species_fixture({.products_switch = 1});
    clear_molefrac();
    EXPECT_TRUE(solve_stoich(5e5, 2600.0, 1).converged);
    expect_reactions_balanced(2600.0, 5.0, series_g_RT);
}

// Below the break temperature of 1000 K the low-temperature coefficient set
// applies.
TEST(GibbsMinimisation, NasaFormUsesTheCoefficientSetOfTheTemperature)
{
    load_species_fixture();
    for (double t_K : {600.0, 1800.0}) {
        clear_molefrac();
        EXPECT_TRUE(solve_stoich(1e5, t_K, 1).converged);
        expect_reactions_balanced(t_K, 1.0, nasa_g_RT);
    }
}

}  // namespace
}  // namespace usersub::properties
