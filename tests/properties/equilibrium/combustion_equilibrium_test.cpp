#include "properties/equilibrium/complete_combustion.h"
#include "properties/equilibrium/gibbs_minimisation.h"
#include "properties/equilibrium/matrix_solve.h"
#include "properties/species/product_species.h"
#include "properties/state/property_stubs.h"
#include "properties/species/species_table.h"
#include "support/child.h"
#include "support/species_fixture.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cstdint>
#include <cmath>
#include <cstring>
#include <random>
#include <string>
#include <vector>

namespace usersub::properties {
namespace {

using namespace usersub::test;
using Fractions = std::array<double, kProducts>;

const Array1<double>& x() { return product_species().prod_molefrac; }

// Lean, phi = (2 + 4/2) / 8 = 0.5: CO2, H2O, N2, O2, Ar, SO2 in proportion to
// n_C = 1, n_H/2 = 2, n_N/2 = 15, n_O (1 - phi)/2 = 2, n_Ar = 0.4, n_S = 0.1
// (sum 20.5); CO, H2, H, O, OH, NO at the floor; N untouched.
// Rich, phi = (2 + 2) / (8/3) = 1.5 at 2000 K: u = 0.5, K = exp(2.743 - 0.8805
// - 0.40275 + 0.0350375) = exp(1.4947875). Solving K (1 - c)(4/3 - c)
// = c (2/3 + c) by hand: CO = c = 0.68257456815, CO2 = 0.31742543185,
// H2O = 1.34924123482, H2 = 0.65075876518, N2 = 5, of sum 8.
TEST(CompleteCombustion, BranchesAndTheNearStoichiometricCorrection)
{
    x()(kN) = 0.123;
    products_nodissoc(1000.0, 1e-3, 4e-3, 8e-3, 30e-3, 0.4e-3, 0.1e-3, 0.5);
    const double lean[] = {1 / 20.5, 2 / 20.5, 15 / 20.5, 2 / 20.5, 1e-10,      1e-10,     1e-10,
                           1e-10,    1e-10,    1e-10,     0.123,    0.4 / 20.5, 0.1 / 20.5};
    for (int k = 1; k <= kProducts; ++k) EXPECT_NEAR(x()(k), lean[k - 1], 1e-15) << k;

    products_nodissoc(2000.0, 1e-3, 4e-3, 8e-3 / 3.0, 10e-3, 0.0, 0.0, 1.5);
    const double shift[] = {0.31742543185, 1.34924123482, 5.0, 8e-10, 0.68257456815, 0.65075876518};
    for (int k = kCO2; k <= kH2; ++k) EXPECT_NEAR(x()(k), shift[k - 1] / 8, 1e-12) << k;
    // phi = 1 takes the lean branch: CO2 1, H2O 2, N2 7.5, Ar 0.2 of 10.7, the rest
    // of CO2 .. NO at the floor. With t = e^2 the corrections c0 + c1 t + c2 t^2
    // are, by hand: N2 -0.0012591912, O2 -0.0012781048, CO 9.8031793e-6,
    // H2 1.7794240e-5, CO2 -2.2622251e-5, H2O -2.7086262e-4, H -8.2238590e-6,
    // O 2.4188441e-6, OH 4.8325145e-4, NO 2.3462206e-3. The twelve then sum to
    // 1.0000204843; dividing and raising O2 and H (negative) to the floor gives
    // the values below. SO2 is 0 and stays 0: it has no floor.
    products_nodissoc(2000.0, 1.0, 4.0, 4.0, 15.0, 0.2, 0.0, 1.0);
    const double at_one[] = {0.093433407752368,    0.1866412020084719,   0.6996610561797157,
                             1e-10,                9.80307851338624e-06, 1.7793975789185863e-05,
                             1e-10,                2.41889458803475e-06, 0.00048324165131525816,
                             0.002346172639350324, 0.123,                0.018691205907975857,
                             0.0};
    for (int k = 1; k <= kProducts; ++k) EXPECT_NEAR(x()(k), at_one[k - 1], 1e-14 * at_one[k - 1]) << k;
    // Rich and near stoichiometric, phi = (2 + 2) / 3.5 = 8/7: the water-gas
    // shift split as above, then the correction (evaluated step by step in Python).
    products_nodissoc(2000.0, 1.0, 4.0, 3.5, 13.0, 0.2, 0.0, 8.0 / 7.0);
    const double near[] = {0.07070997488017941,  0.18672322571372169,   0.6688302012075396,
                           1e-10,                0.03236787809192526,   0.019205054652938456,
                           1e-10,                2.418894588518519e-06, 0.0004832416514119045,
                           0.002346172639819549, 0.123,                 0.020618134356220622};
    for (int k = kCO2; k <= kAr; ++k) EXPECT_NEAR(x()(k), near[k - 1], 1e-13 * near[k - 1]) << k;
}

Fractions molefrac()
{
    Fractions f{};
    std::ranges::copy(x().all(), f.begin());
    return f;
}
void set_molefrac(const Fractions& f) { std::ranges::copy(f, x().all().begin()); }

// Element amounts C, H, O, N, Ar, S in kmol/kg, in any common scale.
GibbsOutcome solve(const std::array<double, 6>& n, double p_bar, double t_K, std::int32_t start)
{
    return gibbs_min_eq(p_bar * 1e5, t_K, n[0], n[1], n[2], n[3], n[4], n[5], (2 * n[0] + 0.5 * n[1]) / n[2], start);
}

// Stoichiometric octane in air (the amounts of the reference data).
const std::array<double, 6> kStoich = {4.3440229, 9.7740515, 13.5750715, 50.6003502, 0.3013083, 0.0};

// The cases of tests/data/cea_equilibrium_tp.txt, made with NASA CEA by
// tools/cea_equilibrium_reference.py, each solved from a cold start (no products
// held), then again with start flag 0 from the previous case. Each fraction lies
// within half a unit of CEA's last printed digit ("1.2345e-3": 5e-8), one CEA
// does not list below 1e-15. The elements keep the proportions of the input to
// round-off, an absent one stays absent.
TEST(GibbsMinimisation, AgreesWithCeaAndConservesElements)
{
    load_species_fixture();
    // Rows: label, p_bar, T, the amounts of C H O N Ar S, the 13 mole fractions as printed.
    const auto cases = data_rows(USERSUB_TEST_DATA_DIR "/cea_equilibrium_tp.txt");
    ASSERT_EQ(cases.size(), 22u);

    const SpeciesTable& st = species_table();
    for (const char* pass : {"cold", "warm"}) {
        for (const DataRow& r : cases) {
            const std::string& label = r.words[0];
            std::array<double, 6> n{};
            for (int e = 0; e < 6; ++e) n[e] = r.number(3 + e);
            if (pass[0] == 'c') set_molefrac({});
            EXPECT_TRUE(solve(n, r.number(1), r.number(2), pass[0] == 'c' ? 1 : 0).converged) << pass << ' ' << label;
            const Fractions got = molefrac();
            std::array<double, 4> atoms{};
            for (int k = 0; k < kProducts; ++k) {
                const std::string& ref = r.words[9 + k];
                const std::string where = std::string(pass) + ' ' + label + ' ' + nasa_name(fx::product(k + 1));
                if (k < 11)
                    for (int e = 0; e < 4; ++e) atoms[e] += st.species_formula(e + 1, fx::product(k + 1)) * got[k];
                if (ref == "-") {
                    EXPECT_LT(got[k], 1e-15) << where;
                    continue;
                }
                const auto e = ref.find('e');
                const int decimals = static_cast<int>(e - ref.find('.') - 1);
                EXPECT_NEAR(got[k], std::stod(ref), 0.5005 * std::pow(10.0, std::stoi(ref.substr(e + 1)) - decimals))
                    << where;
            }
            const double atoms_sum = atoms[0] + atoms[1] + atoms[2] + atoms[3] + got[kAr - 1] + got[kSO2 - 1];
            const double n_sum = n[0] + n[1] + n[2] + n[3] + n[4] + n[5];
            for (int e = 0; e < 4; ++e)
                EXPECT_NEAR(atoms[e] / atoms_sum, n[e] / n_sum, std::max(1e-12 * n[e] / n_sum, 1e-15))
                    << pass << ' ' << label << " element " << e;
        }
    }
}

// g_j are computed once per temperature and data load: after a change of the
// enthalpy data of OH in place, a call at the same temperature still uses the
// old values; a reload of the data is used at once. Complete combustion
// starts the iteration when the flag is 1 or when N2, O2 or H2 of the held
// fractions is exactly 0 (held fractions otherwise: the warm pass above).
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
    for (auto [o2, start] : {std::pair{0.05, 1}, {0.0, 0}}) {
        set_molefrac({0.2, 0.1, 0.5, o2, 0.05, 0.05, 0.01, 0.01, 0.01, 0.01, 0.0, 0.01, 0.0});
        EXPECT_EQ(solve(kStoich, 1.0, 2600.0, start).iterations, fresh.iterations) << start;
        EXPECT_EQ(molefrac(), reference) << start;
    }
}

double nasa_g_RT(int k, double t_K)
{
    const auto& s = nasa9(nasa_name(fx::product(k)));
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
    const Fractions f = molefrac();
    double g = 0.0, total = f[kAr - 1] + f[kSO2 - 1];
    for (int k = 1; k <= 11; ++k) {
        g += f[k - 1] * (nasa_g_RT(k, 1600.0) + std::log(f[k - 1]));
        total += f[k - 1];
    }
    EXPECT_NEAR(n[4] / 24.8 / f[kAr - 1] * g, out.lowest_g, 1e-7 * std::fabs(out.lowest_g));
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
        const Fractions f = molefrac();
        for (const auto& nu : reactions) {
            double balance = 0.0;
            for (int k = 1; k <= 11; ++k)
                if (nu[k - 1] != 0.0)
                    balance += nu[k - 1] * ((form == 1 ? series_g_RT : nasa_g_RT)(k, t_K) + std::log(f[k - 1] * p_bar));
            EXPECT_NEAR(balance, 0.0, 1e-5) << t_K << " K, reaction " << &nu - reactions;
        }
    }
}

using Solver = bool (*)(std::int32_t, std::int32_t, double*, double*) noexcept;
class MatrixSolve : public ::testing::TestWithParam<Solver> {};

TEST_P(MatrixSolve, FullPivotSearchAndFatalPaths)
{
    const Solver solve = GetParam();
    // 3 x 3 stored by columns with leading dimension 4 (row 4 is padding and
    // stays as it is): x = (2, 3, -1) since 2*2 + 3 + 1 = 8, -6 - 3 - 2 = -11,
    // -4 + 3 - 2 = -3.
    std::array<double, 12> a{2, -3, -2, 99, 1, -1, 1, 99, -1, 2, 2, 99};
    std::array<double, 3> b{8, -11, -3};
    EXPECT_TRUE(solve(3, 4, a.data(), b.data()));
    for (int k = 0; k < 3; ++k) EXPECT_NEAR(b[k], (std::array{2.0, 3.0, -1.0})[k], 1e-14);
    EXPECT_EQ(a[3] + a[7] + a[11], 3 * 99.0);
    // [[1, 1], [1, 0.5]], all of the first pivot candidates tied in size: the
    // first met, (1, 1), wins and no columns are unscrambled, so A ends as the
    // plain inverse [[-1, 2], [2, -2]] (det -0.5). Starting from the tied
    // (2, 1) would leave it with its columns exchanged.
    std::array<double, 4> t{1, 1, 1, 0.5};
    std::array<double, 2> bt{3, 2};  // x + y = 3, x + y/2 = 2
    EXPECT_TRUE(solve(2, 2, t.data(), bt.data()));
    EXPECT_EQ(bt, (std::array<double, 2>{1, 2}));
    EXPECT_EQ(t, (std::array<double, 4>{-1, 2, 2, -2}));
    // Out of pivots (singular): return at once, nothing written, no division by 0.
    const std::string written = capture_stdout([&] {
        std::array<double, 9> zero{};
        std::array<double, 3> b0{1, 2, 3};
        EXPECT_FALSE(solve(3, 3, zero.data(), b0.data()));
        EXPECT_EQ(b0, (std::array<double, 3>{1, 2, 3}));
    });
    EXPECT_EQ(written, "");
    // An order above the leading dimension would read past A: bounds diagnostic.
    // A leading dimension above 1000 stops the run whatever the order; the second
    // solver writes its message list-directed.
    expect_child_stop_mentioning([&] {
        std::array<double, 4> a{1, 0, 0, 1};
        std::array<double, 3> b{1, 1, 1};
        solve(3, 1, a.data(), b.data());
    }, "of array A ");
    const std::string message =
        std::string(solve == &matrix_solve_b ? " " : "") + "F*** MATRIX routine: mmx1 .gt. ipmax\n";
    for (std::int32_t n : {0, 2}) {
        double a = 1.0, b = 1.0;
        expect_child_stop([&] { solve(n, 1001, &a, &b); }, message);
    }
}

// The orders 4 and 5 without padding take an unrolled elimination of their
// own; it must give what the general elimination gives (run here through a
// padded leading dimension) to the last bit, in B and in A, pivot ties and
// zero pivots included, and must stop at the same step on a singular matrix.
TEST_P(MatrixSolve, FixedOrdersMatchTheGeneralEliminationBitForBit)
{
    const Solver solve = GetParam();
    std::mt19937_64 rng(20261206);
    std::uniform_real_distribution<double> value(-3.0, 3.0);
    for (const std::size_t n : {4u, 5u}) {
        const auto order = static_cast<std::int32_t>(n);
        for (int trial = 0; trial < 300; ++trial) {
            std::vector<double> a(n * n), b(n);
            for (double& e : a) e = value(rng);
            for (double& e : b) e = value(rng);
            if (trial % 5 == 1) a[0] = 0.0;  // zero first diagonal
            if (trial % 5 == 2) a[1] = -a[0], a[n] = a[0];  // ties in size
            if (trial % 5 == 3) std::fill_n(a.begin() + 2 * n, n, 0.0);  // zero column: singular at the last step
            std::vector<double> padded((n + 1) * n, 7.0), b_general = b;
            for (std::size_t c = 0; c < n; ++c) std::copy_n(a.begin() + n * c, n, padded.begin() + (n + 1) * c);
            const bool general = solve(order, order + 1, padded.data(), b_general.data());
            const bool fixed = solve(order, order, a.data(), b.data());
            ASSERT_EQ(fixed, general) << n << " " << trial;
            EXPECT_EQ(fixed, trial % 5 != 3) << n << " " << trial;
            // Bit for bit (memcmp: a zero of the other sign differs too), A without its padding row.
            for (std::size_t c = 0; c < n; ++c) std::copy_n(padded.begin() + (n + 1) * c, n, padded.begin() + n * c);
            EXPECT_EQ(std::memcmp(b.data(), b_general.data(), n * sizeof(double)), 0) << n << " " << trial;
            EXPECT_EQ(std::memcmp(a.data(), padded.data(), n * n * sizeof(double)), 0) << n << " " << trial;
        }
    }
}

INSTANTIATE_TEST_SUITE_P(BothSolvers, MatrixSolve, ::testing::Values(&matrix_solve_a, &matrix_solve_b),
                         [](const auto& info) { return info.index == 0 ? "A" : "B"; });

TEST(PropertyStubs, RefrigerantStop)
{
    expect_child_stop([] { refrigerant_stub(); }, "F*** FluidRefrigerant not allowed with user model\n");
}

}  // namespace
}  // namespace usersub::properties
