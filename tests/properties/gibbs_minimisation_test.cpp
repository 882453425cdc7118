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
using Fractions = std::array<double, kProducts>;

const char* const kNames[kProducts] = {"CO2", "H2O", "N2", "O2", "CO", "H2", "H",
                                       "O",   "OH",  "NO", "N",  "Ar", "SO2"};

Fractions molefrac()
{
    Fractions x{};
    for (int k = 1; k <= kProducts; ++k) x[k - 1] = product_species().prod_molefrac(k);
    return x;
}
void set_molefrac(const Fractions& x)
{
    for (int k = 1; k <= kProducts; ++k) product_species().prod_molefrac(k) = x[k - 1];
}

// Element amounts C, H, O, N, Ar, S in kmol/kg, in any common scale.
GibbsOutcome solve(const std::array<double, 6>& n, double p_bar, double t_K, std::int32_t start)
{
    return gibbs_min_eq(p_bar * 1e5, t_K, n[0], n[1], n[2], n[3], n[4], n[5],
                        (2 * n[0] + 0.5 * n[1]) / n[2], start);
}

// Stoichiometric octane in air (the amounts of the reference data).
const std::array<double, 6> kStoich = {4.3440229, 9.7740515, 13.5750715, 50.6003502, 0.3013083, 0.0};

// The cases of tests/data/cea_equilibrium_tp.txt, made with NASA CEA by
// tools/cea_equilibrium_reference.py: element amounts and the mole fractions
// as CEA printed them. Every case is solved from a cold start (no products
// held: complete combustion with N at the minimum), then again with start
// flag 0 from the previous case. Each fraction lies within half a unit of
// CEA's last printed digit ("1.2345e-3": 5e-8); a species CEA does not list
// lies below its trace limit, 1e-15. The elements keep the proportions of the
// input to round-off, an absent one stays absent.
TEST(GibbsMinimisation, AgreesWithCeaAndConservesElements)
{
    load_species_fixture();
    struct Case {
        std::string label;
        double p_bar, t_K;
        std::array<double, 6> n;
        std::array<std::string, kProducts> x;
    };
    std::vector<Case> cases;
    std::ifstream in(USERSUB_TEST_DATA_DIR "/cea_equilibrium_tp.txt");
    for (std::string line; std::getline(in, line);) {
        if (line.empty() || line[0] == '#') continue;
        std::istringstream f(line);
        Case& c = cases.emplace_back();
        f >> c.label >> c.p_bar >> c.t_K;
        for (double& v : c.n) f >> v;
        for (auto& v : c.x) f >> v;
    }
    ASSERT_EQ(cases.size(), 22u);

    const SpeciesTable& st = species_table();
    for (const char* pass : {"cold", "warm"}) {
        for (const Case& c : cases) {
            if (pass[0] == 'c') set_molefrac({});
            EXPECT_TRUE(solve(c.n, c.p_bar, c.t_K, pass[0] == 'c' ? 1 : 0).converged) << pass << ' ' << c.label;
            const Fractions x = molefrac();
            std::array<double, 4> atoms{};
            for (int k = 0; k < kProducts; ++k) {
                const std::string& ref = c.x[k];
                const std::string where = std::string(pass) + ' ' + c.label + ' ' + kNames[k];
                if (k < 11)
                    for (int e = 0; e < 4; ++e) atoms[e] += st.species_formula(e + 1, fx::product(k + 1)) * x[k];
                if (ref == "-") {
                    EXPECT_LT(x[k], 1e-15) << where;
                    continue;
                }
                const auto e = ref.find('e');
                const int decimals = static_cast<int>(e - ref.find('.') - 1);
                EXPECT_NEAR(x[k], std::stod(ref), 0.5005 * std::pow(10.0, std::stoi(ref.substr(e + 1)) - decimals))
                    << where;
            }
            const double atoms_sum = atoms[0] + atoms[1] + atoms[2] + atoms[3] + x[kAr - 1] + x[kSO2 - 1];
            const double n_sum = c.n[0] + c.n[1] + c.n[2] + c.n[3] + c.n[4] + c.n[5];
            for (int e = 0; e < 4; ++e)
                EXPECT_NEAR(atoms[e] / atoms_sum, c.n[e] / n_sum, std::max(1e-12 * c.n[e] / n_sum, 1e-15))
                    << pass << ' ' << c.label << " element " << e;
        }
    }
}

// g_j are computed once per temperature and data load: after a change of the
// enthalpy data of OH in place, a call at the same temperature still uses the
// old values; a reload of the data is used at once. Complete combustion
// starts the iteration when the flag is 1 or when N2, O2 or H2 of the held
// fractions is exactly 0; otherwise the held fractions do.
TEST(GibbsMinimisation, CachedEnergiesAndTheStart)
{
    const auto cold = [](double t_K) {
        set_molefrac({});
        solve(kStoich, 10.0, t_K, 1);
        return molefrac();
    };
    load_species_fixture({.products_switch = 1});
    const Fractions first = cold(2400.0);
    // +1 MJ/kg on OH raises its g/RT by 1e6 * 17.007 / (8314.3 * 2400) = 0.85.
    product_species().prod_cp_mass(1, kOH) += 1e6;
    EXPECT_EQ(cold(2400.0), first);
    EXPECT_LT(cold(2400.0 + 1e-9)[kOH - 1], 0.6 * first[kOH - 1]);
    load_species_fixture({.products_switch = 1});  // taken up even at the temperature just used
    EXPECT_NEAR(cold(2400.0 + 1e-9)[kOH - 1], first[kOH - 1], 1e-6 * first[kOH - 1]);

    load_species_fixture();
    set_molefrac({});
    const GibbsOutcome fresh = solve(kStoich, 1.0, 2600.0, 0);
    const Fractions reference = molefrac();
    const auto held = [](double o2) {
        set_molefrac({0.2, 0.1, 0.5, o2, 0.05, 0.05, 0.01, 0.01, 0.01, 0.01, 0.0, 0.01, 0.0});
    };
    held(0.05);
    EXPECT_EQ(solve(kStoich, 1.0, 2600.0, 1).iterations, fresh.iterations);
    EXPECT_EQ(molefrac(), reference);
    held(0.0);
    solve(kStoich, 1.0, 2600.0, 0);
    EXPECT_EQ(molefrac(), reference);
    held(0.05);
    EXPECT_TRUE(solve(kStoich, 1.0, 2600.0, 0).converged);
    EXPECT_NE(molefrac(), reference);
    for (int k = 0; k < kProducts; ++k) EXPECT_NEAR(molefrac()[k], reference[k], 1e-5 * reference[k]) << kNames[k];
}

double nasa_g_RT(int k, double t_K)
{
    const auto& s = nasa9(kNames[k - 1]);
    return nasa9_h_RT(s, t_K) - nasa9_s_R(s, t_K);
}

// More carbon than oxygen and no nitrogen: no gas composition holds the carbon,
// and the iteration stops after 100 iterations (not 101) with the composition
// of the lowest Gibbs energy met. That G / RT, recomputed from the NASA
// polynomials as n sum x_j (g_j + ln x_j + ln p_bar) with the total
// n = (n_Ar / sum of n) / x_Ar, is the lowest the routine reports.
TEST(GibbsMinimisation, UnattainableBalanceReturnsTheLowestGibbsComposition)
{
    load_species_fixture();
    set_molefrac({});
    const std::array<double, 6> n = {10, 5, 9.6, 0, 0.2, 0};
    const GibbsOutcome out = solve(n, 1.0, 1600.0, 0);
    EXPECT_FALSE(out.converged);
    EXPECT_EQ(out.iterations, 100);
    const Fractions x = molefrac();
    double g = 0.0, total = x[kAr - 1] + x[kSO2 - 1];
    for (int k = 1; k <= 11; ++k) {
        g += x[k - 1] * (nasa_g_RT(k, 1600.0) + std::log(x[k - 1]));
        total += x[k - 1];
    }
    EXPECT_NEAR(n[4] / 24.8 / x[kAr - 1] * g, out.lowest_g, 1e-7 * std::fabs(out.lowest_g));
    EXPECT_NEAR(total, 1.0, 1e-12);
}

// g/RT of the power-series form worked out independently of the library:
// h = sum c_j (T - Tref)^j and s = s_ref + the integral of cp / T by Simpson's
// rule on 20000 intervals.
double series_g_RT(int k, double t_K)
{
    const SpeciesTable& st = species_table();
    const ProductSpeciesSet& ps = product_species();
    const double t_ref = st.tref_thermo;
    const int nterms = ps.prod_settings(k);
    double h = 0.0;
    for (int j = 0; j < nterms; ++j) h += ps.prod_cp_mass(j + 1, k) * std::pow(t_K - t_ref, j);
    const auto cp_over_t = [&](double t) {
        double cp = 0.0;
        for (int j = 1; j < nterms; ++j) cp += j * ps.prod_cp_mass(j + 1, k) * std::pow(t - t_ref, j - 1);
        return cp / t;
    };
    const int steps = 20000;
    const double dt = (t_K - t_ref) / steps;
    double integral = cp_over_t(t_ref) + cp_over_t(t_K);
    for (int i = 1; i < steps; ++i) integral += (i % 2 ? 4.0 : 2.0) * cp_over_t(t_ref + i * dt);
    const int entry = st.props_scalar_3 + k;
    return (h - t_K * (st.prod_sref(entry) + integral * dt / 3.0)) * st.pmwt(entry) / (8314.3 * t_K);
}

// At equilibrium every reaction balances: sum nu_j (g_j + ln x_j + ln p_bar)
// = 0, with g_j of the data form in use: the power series, and the NASA
// polynomials below (600 K, the low-temperature set) and above the break.
TEST(GibbsMinimisation, ReactionsBalanceInBothDataForms)
{
    // nu of CO2 H2O N2 O2 CO H2 H O OH NO N
    const std::array<double, 11> reactions[] = {
        {0, -1, 0, 0.5, 0, 1, 0, 0, 0, 0, 0},     // H2O = H2 + O2/2
        {-1, 0, 0, 0.5, 1, 0, 0, 0, 0, 0, 0},     // CO2 = CO + O2/2
        {0, 0, -0.5, -0.5, 0, 0, 0, 0, 0, 1, 0},  // N2/2 + O2/2 = NO
        {0, 0, 0, 0, 0, -1, 2, 0, 0, 0, 0},       // H2 = 2 H
        {0, 0, 0, -1, 0, 0, 0, 2, 0, 0, 0},       // O2 = 2 O
        {0, 0, -1, 0, 0, 0, 0, 0, 0, 0, 2},       // N2 = 2 N
        {0, 0, 0, -0.5, 0, -0.5, 0, 0, 1, 0, 0},  // H2/2 + O2/2 = OH
    };
    for (auto [form, t_K, p_bar] : {std::tuple{1, 2600.0, 5.0}, {0, 600.0, 1.0}, {0, 1800.0, 1.0}}) {
        load_species_fixture({.products_switch = form});
        set_molefrac({});
        EXPECT_TRUE(solve(kStoich, p_bar, t_K, 1).converged) << t_K;
        const Fractions x = molefrac();
        for (const auto& nu : reactions) {
            double balance = 0.0;
            for (int k = 1; k <= 11; ++k)
                if (nu[k - 1] != 0.0)
                    balance += nu[k - 1] * ((form == 1 ? series_g_RT : nasa_g_RT)(k, t_K) + std::log(x[k - 1] * p_bar));
            EXPECT_NEAR(balance, 0.0, 1e-5) << t_K << " K, reaction " << &nu - reactions;
        }
    }
}

}  // namespace
}  // namespace usersub::properties
