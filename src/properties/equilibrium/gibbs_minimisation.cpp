#include "properties/equilibrium/gibbs_minimisation.h"

#include "properties/equilibrium/complete_combustion.h"
#include "properties/equilibrium/matrix_solve.h"
#include "properties/species/product_species.h"
#include "properties/species/species_table.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <numeric>

namespace usersub::properties {
namespace {

constexpr int kVaried = 11;      // CO2 .. N
constexpr int kOrder = 5;        // element potentials of C, H, O, N, then d ln n
constexpr double kMinMoles = 1e-40;
constexpr double kSignificant = 1e-10;  // mole fractions counted in the change measure
constexpr double kTolerance = 1e-6;
constexpr int kMaxIterations = 100;

// Standard Gibbs energies g/RT of the varied species, the temperature they
// belong to and the load of the species data they were computed from.
struct GibbsCache {
    double t_K = 1.0e6;
    std::uint32_t data_generation = 0;
    std::array<double, kVaried> g_RT{};
};
GibbsCache g_cache;

// g/RT = h/RT - s/R of the NASA 9-coefficient polynomials:
// -a1/(2T^2) + a2 (1 + ln T)/T + a3 (1 - ln T) - a4 T/2 - a5 T^2/6 - a6 T^3/12
// - a7 T^4/20 + b1/T - b2.
void nasa_gibbs(double t_K, const SpeciesTable& st, const ProductSpeciesSet& ps) noexcept
{
    const double ln_t = std::log(t_K);
    const double t2 = t_K * t_K;
    const double t3 = t2 * t_K;
    const double t4 = t3 * t_K;
    for (int k = 1; k <= kVaried; ++k) {
        const int set = t_K > st.thermo_tbreak(st.props_scalar_3 + k) ? 2 : 1;
        auto a = [&](int j) { return ps.prod_nasa9(set, j, k); };
        g_cache.g_RT[k - 1] =
            -0.5 * a(1) / t2                 // a1 / T^2
            + a(2) * (1.0 + ln_t) / t_K      // a2 / T
            + a(3) * (1.0 - ln_t)            // a3
            - 0.5 * a(4) * t_K               // a4 T
            - 0.1666667 * a(5) * t2          // a5 T^2
            - 0.0833333 * a(6) * t3          // a6 T^3
            - 0.05 * a(7) * t4               // a7 T^4
            + a(8) / t_K                     // b1
            - a(9);                          // b2
    }
}

// g/RT from the enthalpy power series h = sum c_j tau^j (tau = T - Tref, J/kg)
// and the entropy s = s_ref + integral of cp/T from Tref to T (J/(kg K)).
// With cp(tau) = sum d_m tau^m divided by (tau + Tref) = quotient Q(tau) plus
// remainder cp(-Tref): integral = integral of Q from 0 to tau
// + cp(-Tref) ln(T / Tref).
void series_gibbs(double t_K, const SpeciesTable& st, const ProductSpeciesSet& ps) noexcept
{
    const double t_ref = st.tref_thermo;
    const double tau = t_K - t_ref;
    for (int k = 1; k <= kVaried; ++k) {
        const int entry = st.props_scalar_3 + k;
        const int nterms = ps.prod_settings(k);

        double h = 0.0;  // J/kg, Horner in tau
        for (int j = nterms - 1; j >= 0; --j) h = h * tau + ps.prod_cp_mass(j + 1, k);

        // cp coefficients d_m = (m + 1) c_(m+1), m = 0 .. nterms - 2, divided by
        // (tau + Tref) synthetically from the top coefficient down.
        const int degree = nterms - 2;
        std::array<double, 8> quotient{};
        double partial = 0.0;
        for (int m = degree; m >= 0; --m) {
            partial = (m + 1) * ps.prod_cp_mass(m + 2, k) - t_ref * partial;
            if (m > 0) quotient[m - 1] = partial;
        }
        const double cp_at_zero_K = degree >= 0 ? partial : 0.0;  // the remainder cp(-Tref)
        double integral_q = 0.0;  // integral of Q from 0 to tau
        for (int i = degree - 1; i >= 0; --i)
            integral_q = (integral_q + quotient[i] / (i + 1)) * tau;
        const double s = st.prod_sref(entry) + integral_q + cp_at_zero_K * std::log(t_K / t_ref);

        g_cache.g_RT[k - 1] = (h - t_K * s) * st.pmwt(entry) / (kGasConstant * t_K);
    }
}

void refresh_gibbs_energies(double t_K) noexcept
{
    const SpeciesTable& st = species_table();
    // Reused at a repeated temperature, unless the data was loaded anew since.
    if (std::fabs(t_K - g_cache.t_K) <= 1e-15 && st.data_generation == g_cache.data_generation) return;
    const ProductSpeciesSet& ps = product_species();
    if (st.products_switch == 1)
        series_gibbs(t_K, st, ps);
    else
        nasa_gibbs(t_K, st, ps);
    g_cache.t_K = t_K;
    g_cache.data_generation = st.data_generation;
}

using Atoms = std::array<std::array<double, kVaried>, 4>;  // a(e, j): C, H, O, N
using Moles = std::array<double, kVaried>;

// sum_j a_ij a_kj n_j of the elements i, k (0 .. 3), stored by columns with
// leading dimension ld: the element block of both linear systems below.
void element_block(const Atoms& a, const Moles& n, int ld, double* m) noexcept
{
    for (int i = 0; i < 4; ++i)
        for (int k = 0; k < 4; ++k) {
            double s = 0.0;
            for (int j = 0; j < kVaried; ++j) s += a[i][j] * a[k][j] * n[j];
            m[i + ld * k] = s;
        }
}

// Reduced Newton system of Gibbs minimisation at fixed T and P for the element
// potentials pi_C .. pi_N and d ln n, stored by columns (row r, column c at
// r + 5 c); sums over the varied species, n' = total less the fixed amounts:
//   element i: sum_k (sum_j a_ij a_kj n_j) pi_k + (sum_j a_ij n_j) d ln n
//              = b_i + sum_j a_ij n_j (mu_j - 1)
//   total:     sum_k (sum_j a_kj n_j) pi_k + (sum_j n_j - n') d ln n
//              = n' + sum_j n_j (mu_j - 1)
void newton_system(const Atoms& a, const std::array<double, 4>& b, const Moles& n,
                   const Moles& mu, double n_varied, std::array<double, kOrder * kOrder>& m,
                   std::array<double, kOrder>& rhs) noexcept
{
    auto at = [&m](int r, int c) -> double& { return m[r + kOrder * c]; };
    element_block(a, n, kOrder, m.data());
    double sum_n = 0.0;
    double sum_n_mu = 0.0;
    for (int j = 0; j < kVaried; ++j) {
        sum_n += n[j];
        sum_n_mu += n[j] * (mu[j] - 1.0);
    }
    for (int i = 0; i < 4; ++i) {
        double a_n = 0.0;
        double a_n_mu = 0.0;
        for (int j = 0; j < kVaried; ++j) {
            a_n += a[i][j] * n[j];
            a_n_mu += a[i][j] * n[j] * (mu[j] - 1.0);
        }
        at(i, 4) = a_n;
        at(4, i) = a_n;
        rhs[i] = b[i] + a_n_mu;
    }
    at(4, 4) = sum_n - n_varied;
    rhs[4] = n_varied + sum_n_mu;
}

// The update in logarithms (n_j e^step) keeps the element balances only to
// first order, and the iteration stops on the change of the mole fractions: a
// solve that stops after a step of 1e-4 leaves the balances open by about
// 1e-8 against each other. A host hands the products back at its next call,
// 1 K away from where they were solved (the equilibrium cp), so the same
// remainder would come back on every call and add up over a run. It is closed
// here, to rounding, in two moves that leave the Gibbs solution as it is within
// the tolerance:
// - all mole numbers are scaled onto the atoms given: the scale of the mole
//   numbers leaves the mole fractions as they are, and the iteration, which
//   stops on those, may leave it open by far more than the balances are open
//   against each other;
// - what is then open, b_i - sum_j a_ij n_j, is shared over the species in
//   proportion to their atoms of each element: n_j becomes
//   n_j (1 + sum_i a_ij l_i) with (sum_j a_ij a_kj n_j) l_k = b_i - sum_j a_ij n_j,
//   the balance part of a Newton step without its Gibbs part. No species moves
//   by more than the balances were open, and no carrier of each element is
//   needed, which a mixture with a trace of carbon (hydrogen in air) would lack
//   for its oxygen. (Another step of the iteration would close the balances
//   only to the rounding of the chemical potentials, some 1e-14 a call, which
//   still adds up.) No mole number goes below the minimum: an element present
//   only as the minimum amounts of the call before, handed back, has no
//   balance that can be closed, and its share would take them below zero.
// Elements the mixture lacks stay out; their species stay at the minimum.
void close_balances(const Atoms& a, const std::array<double, 4>& b,
                    const std::array<bool, kVaried>& held, Moles& n) noexcept
{
    std::array<double, 4> atoms{};
    double given = 0.0;
    double found = 0.0;
    for (int i = 0; i < 4; ++i) {
        if (b[i] <= 0.0) continue;
        for (int j = 0; j < kVaried; ++j) atoms[i] += a[i][j] * n[j];
        given += b[i];
        found += atoms[i];
    }
    const double scale = given / found;
    for (int j = 0; j < kVaried; ++j)
        if (!held[j]) n[j] *= scale;

    std::array<double, 16> m{};
    std::array<double, 4> l{};
    element_block(a, n, 4, m.data());
    for (int i = 0; i < 4; ++i) {
        if (b[i] <= 0.0) {
            for (int k = 0; k < 4; ++k) m[i + 4 * k] = m[k + 4 * i] = 0.0;
            m[i + 4 * i] = 1.0;
            continue;
        }
        l[i] = b[i] - scale * atoms[i];
    }
    if (!matrix_solve_b(4, 4, m.data(), l.data())) return;
    for (int j = 0; j < kVaried; ++j) {
        if (held[j]) continue;
        double share = 0.0;
        for (int i = 0; i < 4; ++i) share += a[i][j] * l[i];
        n[j] = std::max(n[j] * (1.0 + share), kMinMoles);
    }
}

}  // namespace

GibbsOutcome gibbs_min_eq(double p_Pa, double t_K, double n_C, double n_H, double n_O, double n_N,
                          double n_Ar, double n_S, double phi, std::int32_t start) noexcept
{
    const SpeciesTable& st = species_table();
    const Array1<double>& x = product_species().prod_molefrac;

    // Element amounts per unit of the element sum; Ar and SO2 are fixed.
    const double element_sum = n_C + n_H + n_O + n_N + n_Ar + n_S;
    const std::array<double, 4> b = {n_C / element_sum, n_H / element_sum, n_O / element_sum,
                                     n_N / element_sum};
    const double fixed_ar = n_Ar / element_sum;
    const double fixed_s = n_S / element_sum;
    const double fixed = fixed_ar + fixed_s;
    refresh_gibbs_energies(t_K);
    const auto& g = g_cache.g_RT;

    Atoms a{};
    for (int e = 0; e < 4; ++e)
        for (int j = 0; j < kVaried; ++j)
            a[e][j] = st.species_formula(e + 1, st.props_scalar_3 + j + 1);

    if (x(kN2) * x(kO2) * x(kH2) == 0.0 || start == 1)
        products_nodissoc(t_K, n_C, n_H, n_O, n_N, n_Ar, n_S, phi);

    // Start mole numbers. A species made of an element the mixture lacks is
    // held at the minimum throughout, so that no step can make that element
    // from nothing.
    Moles n{};
    std::array<bool, kVaried> held{};
    for (int j = 0; j < kVaried; ++j) {
        for (int e = 0; e < 4; ++e) held[j] = held[j] || (a[e][j] > 0.0 && b[e] <= 0.0);
        n[j] = held[j] ? kMinMoles : std::max(x(j + 1), kMinMoles);
    }

    GibbsOutcome outcome;
    std::array<double, kProducts> lowest_x{};
    bool recorded = false;

    for (int iter = 1; iter <= kMaxIterations; ++iter) {
        outcome.iterations = iter;

        const double n_total = std::accumulate(n.begin(), n.end(), fixed);
        const double ln_p_n = std::log(p_Pa * 1e-5 / n_total);  // ln(p_bar / n)

        Moles mu{};  // chemical potentials / RT
        double gibbs = 0.0;
        for (int j = 0; j < kVaried; ++j) {
            mu[j] = g[j] + std::log(n[j]) + ln_p_n;
            gibbs += n[j] * mu[j];
        }
        if (gibbs < outcome.lowest_g) {  // record G and the mole fractions it belongs to
            outcome.lowest_g = gibbs;
            for (int j = 0; j < kVaried; ++j) lowest_x[j] = n[j] / n_total;
            lowest_x[kAr - 1] = fixed_ar / n_total;
            lowest_x[kSO2 - 1] = fixed_s / n_total;
            recorded = true;
        }

        std::array<double, kOrder * kOrder> m{};
        std::array<double, kOrder> solution{};
        newton_system(a, b, n, mu, n_total - fixed, m, solution);
        if (!matrix_solve_b(kOrder, kOrder, m.data(), solution.data())) break;  // singular
        const double dln_total = solution[4];

        // Damped update species by species, in logarithms:
        // d ln n_j = -mu_j + sum_i a_ij pi_i + d ln n, scaled by min(1, lambda1, lambda2).
        Moles step{};
        for (int j = 0; j < kVaried; ++j) {
            if (held[j]) continue;
            double dln = -mu[j] + dln_total;
            for (int i = 0; i < 4; ++i) dln += a[i][j] * solution[i];
            const double size = std::max(5.0 * std::fabs(dln_total), std::fabs(dln));
            const double lambda1 = size <= 1e-40 ? 1.0 : 2.0 / size;
            const double spread = std::fabs(dln - dln_total);
            const double lambda2 =
                spread <= 1e-40 ? 1.0 : std::fabs(n_total - n[j] - 9.214304) / spread;
            step[j] = std::min({1.0, lambda1, lambda2}) * dln;
        }
        double n_new_total = fixed;
        for (int j = 0; j < kVaried; ++j) {
            n[j] = std::max(std::exp(std::log(std::max(n[j], kMinMoles)) + step[j]), kMinMoles);
            n_new_total += n[j];
        }

        // The change measure of the new mole fractions. A trace species (below
        // 1e-10, so outside the measure) that is still moving, and not resting
        // at the minimum, keeps the iteration going: a species far from its
        // equilibrium amount moves by at most a factor of e^2 per step.
        double change = 0.0;
        int counted = 0;
        bool trace_moving = false;
        for (int j = 0; j < kVaried; ++j) {
            const double x_new = n[j] / n_new_total;
            if (x_new >= kSignificant) {
                change += std::fabs(x(j + 1) - x_new) / x_new;
                ++counted;
            } else if (std::fabs(step[j]) > kTolerance && n[j] > kMinMoles) {
                trace_moving = true;
            }
        }
        if (counted > 0) change /= counted;
        const bool converged = change <= kTolerance && !trace_moving;
        if (converged) {
            close_balances(a, b, held, n);
            n_new_total = std::accumulate(n.begin(), n.end(), fixed);
        }

        for (int j = 0; j < kVaried; ++j) x(j + 1) = n[j] / n_new_total;
        x(kAr) = fixed_ar / n_new_total;
        x(kSO2) = fixed_s / n_new_total;
        if (converged) {
            outcome.converged = true;
            return outcome;
        }
    }

    if (recorded)
        for (int k = 1; k <= kProducts; ++k) x(k) = lowest_x[k - 1];
    return outcome;
}

}  // namespace usersub::properties
