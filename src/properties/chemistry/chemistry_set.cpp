#include "properties/chemistry/chemistry_set.h"

#include "common/array.h"
#include "common/output.h"
#include "common/run_stop.h"
#include "properties/mixture/nasa9_form.h"
#include "properties/mixture/series_form.h"
#include "properties/species/product_species.h"
#include "properties/species/species_lookup.h"
#include "properties/species/species_table.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <string>
#include <vector>

namespace usersub::properties {
namespace {

constexpr double kTiny = 1e-18;
constexpr double kGasConstantErg = 83145100.0;  // erg/(mol K)
constexpr double kNone = -999.0;

// Powers 0..7 of -298 as the entropy series uses them: from the fourth on held
// to five significant digits.
constexpr std::array<double, 8> kTref298Powers = {1.0, -298.0, 88804.0, -26463592.0, 7886200000.0,
                                                  -2350100000000.0, 700320000000000.0, -2.087e17};
// Powers of -298 of the product species' Gibbs functions: the fourth held to
// eight digits; the fifth and sixth exact, for series of seven and eight terms.
constexpr std::array<double, 7> kProductPowers = {1.0, -298.0, 88804.0, -26463592.0, 7886150700.0,
                                                  -2350072823968.0, 700321701542464.0};

// Per-species storage of this unit, sized to the species capacity of the
// current load: the entropy cache and the mole fractions of mix_entropy.
struct ChemistryWork {
    std::uint32_t data_generation = 0;
    double cache_t_K = -1e20;               // temperature of the cached entropies
    std::vector<std::int32_t> cache_valid;  // bit 0: the value is valid
    std::vector<double> cache_value;        // J/(kg K)
    std::vector<double> molefrac;
};
ChemistryWork g_work;

// Brings the work storage to the current load: a new load clears every
// cached entropy (the cache temperature stays).
ChemistryWork& work() noexcept
{
    const SpeciesTable& tab = species_table();
    const auto n = static_cast<std::size_t>(std::max<std::int64_t>(tab.capacity, tab.nspecies));
    if (tab.data_generation != g_work.data_generation || g_work.cache_valid.size() < n) {
        g_work.data_generation = tab.data_generation;
        g_work.cache_valid.assign(n, 0);
        g_work.cache_value.assign(n, 0.0);
        g_work.molefrac.assign(n, 0.0);
    }
    return g_work;
}

Array1<const double> composition(const double* v) noexcept
{
    return {"COMPOSITION", v, species_table().nspecies};
}

// Coefficient set of species i at T: 1 up to the first break, 2 up to the
// highest temperature, 3 above.
int nasa9_range(const SpeciesTable& tab, std::int32_t i, double t_K) noexcept
{
    if (t_K <= tab.thermo_tbreak(i)) return 1;
    return t_K <= tab.species_tmax(i) ? 2 : 3;
}

// H/R (K) of species i from the coefficient set of T, the third of the a5
// term held as 0.3333333.
double nasa9_h_R(const SpeciesTable& tab, std::int32_t i, const Nasa9Powers& p) noexcept
{
    const int r = nasa9_range(tab, i, p.t);
    return nasa9_h_cp(&tab.thermo_coef(r, 1, i), 3, 1.0, p, 0.3333333).h_J_kg;
}

// h (J/kg) of species i from the THERMO_NTERMS terms of its series (range 1).
double series_h(const SpeciesTable& tab, std::int32_t i, const SeriesPowers& p) noexcept
{
    const int terms = std::clamp(tab.thermo_nterms(i), 0, kSeriesMaxTerms);
    return series_h_cp(&tab.thermo_coef(1, 1, i), 3, terms, p).h_J_kg;
}

// Integral of cp/T for the enthalpy series h = sum_m c(m) (T - 298)^m,
// m = 0..n-1 (cp = sum m c(m) (T - 298)^(m-1)), with the powers q(j) of -298:
// term m is m c(m) [sum_j C(m-1, j) q(j) T^(m-1-j) / (m-1-j) + q(m-1) ln T].
template <class Coef, std::size_t N>
double cp_over_t_integral(double t_K, int n_terms, const Coef& c, const std::array<double, N>& q) noexcept
{
    const double ln_t = std::log(t_K);
    double sum = 0.0;
    for (int m = 1; m < n_terms && m <= static_cast<int>(N); ++m) {
        const double b = m * c(m);
        if (std::fabs(b) < kTiny) continue;
        double integral = q[static_cast<std::size_t>(m - 1)] * ln_t;  // q^(m-1) ln T
        double binomial = 1.0;                                          // C(m-1, j)
        for (int j = 0; j <= m - 2; ++j) {
            const int power = m - 1 - j;
            integral += binomial * q[static_cast<std::size_t>(j)] * std::pow(t_K, power) / power;
            binomial = binomial * (m - 1 - j) / (j + 1);
        }
        sum += b * integral;
    }
    return sum;
}

// Gibbs function G/RT of product k from its mass-based enthalpy series about
// 298 K and the entropy constant of species `entry`.
double product_series_g_RT(const SpeciesTable& tab, const ProductSpeciesSet& ps, int k, std::int32_t entry,
                           double t_K) noexcept
{
    const int n_terms = ps.prod_settings(k);
    const auto c = [&](int m) { return ps.prod_cp_mass(m + 1, k); };
    const double dt = t_K - 298.0;
    double h = 0.0;  // J/kg, Horner in (T - 298)
    for (int m = n_terms - 1; m >= 0; --m) h = h * dt + c(m);
    const double s = cp_over_t_integral(t_K, n_terms, c, kProductPowers) + tab.prod_sref(entry);
    return (h - t_K * s) * tab.pmwt(entry) / kGasConstant / t_K;
}

// Standard G/RT of product k from its 9-coefficient polynomial:
// -a1/(2T^2) + (a2 (1 + ln T) + b1)/T + a3 (1 - ln T) - a4 T/2 - a5 T^2/6
// - a6 T^3/12 - a7 T^4/20 - b2.
double product_nasa9_g_RT(const SpeciesTable& tab, const ProductSpeciesSet& ps, int k, std::int32_t entry,
                          double t_K, double ln_t) noexcept
{
    const int r = t_K <= tab.thermo_tbreak(entry) ? 1 : 2;
    const auto a = [&](int j) { return ps.prod_nasa9(r, j, k); };
    const double t2 = t_K * t_K;
    return -0.5 * a(1) / t2 + (a(2) * (1.0 + ln_t) + a(8)) / t_K + a(3) * (1.0 - ln_t) - 0.5 * a(4) * t_K -
           0.1666667 * a(5) * t2 - 0.0833333 * a(6) * t2 * t_K - 0.05 * a(7) * t2 * t2 - a(9);
}

// Sum of the concentrations; below 1e-18 the run stops.
double concentration_sum(Array1<const double> c) noexcept
{
    double sum = 0.0;
    for (std::int64_t i = 1; i <= c.size(); ++i) sum += c(i);
    if (sum < kTiny) {
        out::write_line("Total concentration close to zero.");
        stop_run();
    }
    return sum;
}

// Entropy sum of the mole numbers n (units of the gas constant), species with
// |n_i| above 1e-18, no mixing term.
double entropy_sum_R(Array1<const double> n, double t_K) noexcept
{
    const SpeciesTable& tab = species_table();
    double s = 0.0;
    for (std::int32_t i = 1; i <= tab.nspecies; ++i) {
        if (!(std::fabs(n(i)) > kTiny)) continue;
        if (tab.products_switch == 1)
            s += n(i) * tab.pmwt(i) * (species_entropy_poly(t_K, i) + tab.prod_sref(i)) / kGasConstant;
        else
            s += n(i) * species_entropy_nasa9(t_K, i);
    }
    return s;
}

// The element deficits of products against reactants, in the order C, H, O,
// N, S, Ar; a deficit above 1e-4 writes the report and stops the run.
void check_elements(Array1<const double> p, Array1<const double> r) noexcept
{
    const SpeciesTable& tab = species_table();
    std::array<double, 6> deficit{};
    bool conserved = true;
    for (int e = 1; e <= 6; ++e) {
        double d = 0.0;
        for (std::int32_t i = 1; i <= tab.nspecies; ++i) d += tab.species_formula(e, i) * (p(i) - r(i));
        deficit[static_cast<std::size_t>(e - 1)] = d;
        if (std::fabs(d) > 0.0001) conserved = false;
    }
    if (conserved) return;
    out::write_line("F**** Gibb's Function Could Not be Evaluated. Atomic Composition Does Not Conserve During Reaction");
    out::write_line("      Mass Fraction Deficits");
    const std::pair<const char*, int> lines[] = {{"      Carbon:   ", 1}, {"      Hydrogen: ", 2},
                                                 {"      Nitrogen: ", 4}, {"      Oxygen:   ", 3},
                                                 {"      Sulfur:   ", 5}, {"      Argon:    ", 6}};
    for (const auto& [label, e] : lines) {
        std::string line = label;
        out::append_real(line, deficit[static_cast<std::size_t>(e - 1)]);
        out::write_line(line);
    }
    stop_run();
}

}  // namespace

void concentration_from_pt(double t_K, double p_Pa, const double* x_mole, double* c_mol_cm3) noexcept
{
    const Array1<const double> x = composition(x_mole);
    const Array1<double> c("C", c_mol_cm3, x.size());
    const double total = 10.0 * p_Pa / (kGasConstantErg * t_K);  // mol/cm3
    for (std::int64_t i = 1; i <= x.size(); ++i) c(i) = x(i) * total;
}

void molefrac_from_conc(const double* c_mol_cm3, double* x_mole) noexcept
{
    const Array1<const double> c = composition(c_mol_cm3);
    const Array1<double> x("X", x_mole, c.size());
    const double sum = concentration_sum(c);
    for (std::int64_t i = 1; i <= c.size(); ++i) x(i) = c(i) / sum;
}

void massfrac_from_conc(const double* c_mol_cm3, double* y_mass) noexcept
{
    const Array1<const double> c = composition(c_mol_cm3);
    const double sum = concentration_sum(c);
    std::vector<double>& x = work().molefrac;
    for (std::int64_t i = 1; i <= c.size(); ++i) x[static_cast<std::size_t>(i - 1)] = c(i) / sum;
    getmassfrac(x.data(), y_mass);
}

double species_mole_fraction(std::int32_t i, const double* y_mass) noexcept
{
    const SpeciesTable& tab = species_table();
    const Array1<const double> y = composition(y_mass);
    const auto share = [&](std::int32_t j) {
        return y(j) > kTiny && tab.pmwt_inv(j) > kTiny ? y(j) * tab.pmwt_inv(j) : 0.0;
    };
    double sum = 0.0;
    for (std::int32_t j = 1; j <= tab.nspecies; ++j) sum += share(j);
    return sum > 0.0 ? share(i) / sum : 0.0;
}

void mix_molar_mass(const double* y_mass, double& w_kg_kmol) noexcept
{
    const SpeciesTable& tab = species_table();
    const Array1<const double> y = composition(y_mass);
    double y_sum = 0.0;
    double moles = 0.0;  // kmol/kg
    for (std::int32_t i = 1; i <= tab.nspecies; ++i) {
        y_sum += y(i);
        moles += y(i) * tab.pmwt_inv(i);
    }
    w_kg_kmol = moles > 0.0 ? y_sum / moles : kNone;
}

double mix_gas_constant(const double* y_mass) noexcept
{
    const SpeciesTable& tab = species_table();
    const Array1<const double> y = composition(y_mass);
    double gas_moles = 0.0;
    double y_sum = 0.0;
    for (std::int32_t i = 1; i <= tab.nspecies; ++i) {
        if (tab.iproptyp(i) == kGas) gas_moles += y(i) * tab.pmwt_inv(i);
        y_sum += y(i);
    }
    if (gas_moles <= kTiny) return kNone;
    return kGasConstant / (y_sum / gas_moles);
}

double species_entropy_nasa9(double t_K, std::int32_t i) noexcept
{
    const SpeciesTable& tab = species_table();
    const int r = nasa9_range(tab, i, t_K);
    const auto a = [&](int j) { return tab.thermo_coef(r, j, i); };
    const double t2 = t_K * t_K;
    return -0.5 * a(1) / t2 - a(2) / t_K + a(3) * std::log(t_K) + a(4) * t_K + 0.5 * a(5) * t2 +
           0.33333333 * a(6) * t2 * t_K + 0.25 * a(7) * t2 * t2 + a(9);
}

double species_entropy_poly(double t_K, std::int32_t i) noexcept
{
    ChemistryWork& w = work();
    const SpeciesTable& tab = species_table();
    const Array1<std::int32_t> valid("ENTROPY_CACHE_VALID", w.cache_valid.data(), tab.nspecies);
    const Array1<double> value("ENTROPY_CACHE", w.cache_value.data(), tab.nspecies);
    if (std::fabs(t_K - w.cache_t_K) >= kTiny) {
        std::fill(w.cache_valid.begin(), w.cache_valid.end(), 0);
        w.cache_t_K = t_K;
    } else if ((valid(i) & 1) != 0) {
        return value(i);
    }
    const auto a = [&](int m) { return tab.thermo_coef(1, m + 1, i); };  // coefficient of (T - 298)^m
    value(i) = cp_over_t_integral(t_K, 8, a, kTref298Powers);
    valid(i) = 1;
    return value(i);
}

void mix_entropy(double t_K, double p_Pa, const double* y_mass, double& s_J_kgK) noexcept
{
    const SpeciesTable& tab = species_table();
    const Array1<const double> y = composition(y_mass);
    ChemistryWork& w = work();
    const Array1<double> x("MOLEFRAC", w.molefrac.data(), tab.nspecies);
    const double ln_p = std::log(p_Pa / 100000.0);

    double sum = 0.0;
    for (std::int32_t i = 1; i <= tab.nspecies; ++i) {
        x(i) = y(i) > kTiny && tab.pmwt_inv(i) > kTiny ? y(i) * tab.pmwt_inv(i) : 0.0;
        sum += x(i);
    }
    if (std::fabs(sum - 1.0) > kTiny && sum > 0.0)
        for (std::int32_t i = 1; i <= tab.nspecies; ++i) x(i) /= sum;

    double s = 0.0;
    for (std::int32_t i = 1; i <= tab.nspecies; ++i) {
        if (!(y(i) > kTiny)) continue;
        const double r_i = kGasConstant * tab.pmwt_inv(i);
        const double s_i = tab.products_switch == 1 ? species_entropy_poly(t_K, i) + tab.prod_sref(i)
                                                    : r_i * species_entropy_nasa9(t_K, i);
        // A species without a mole fraction (no molar mass) takes no mixing term.
        const double mixing = x(i) > 0.0 ? r_i * (std::log(x(i)) + ln_p) : 0.0;
        s += y(i) * (s_i - mixing);
    }
    s_J_kgK = s;
}

void mix_enthalpy_sum_poly(const double* n_kmol, double p_Pa, double t_K, double& h_K, double& v) noexcept
{
    const SpeciesTable& tab = species_table();
    const Array1<const double> n = composition(n_kmol);
    const SeriesPowers dt_pow = series_powers(t_K - tab.tref_thermo);

    double h = 0.0;
    for (std::int32_t i = 1; i <= tab.nspecies; ++i)
        if (std::fabs(n(i)) >= kTiny) h += n(i) * tab.pmwt(i) * series_h(tab, i, dt_pow);
    h_K = h / kGasConstant;
    v = p_Pa > 0.0 ? kGasConstant * h_K / p_Pa : 0.0;
}

void mix_enthalpy_sum_nasa9(const double* n_kmol, double p_Pa, double t_K, double& h_K, double& v) noexcept
{
    const SpeciesTable& tab = species_table();
    const Array1<const double> n = composition(n_kmol);
    const Nasa9Powers powers = nasa9_powers(t_K);
    double h = 0.0;
    for (std::int32_t i = 1; i <= tab.nspecies; ++i)
        if (std::fabs(n(i)) >= kTiny) h += n(i) * nasa9_h_R(tab, i, powers);
    h_K = h;
    v = p_Pa > 0.0 ? kGasConstant * h_K / p_Pa : 0.0;
}

void product_gibbs_rt(double t_K, double* g_RT) noexcept
{
    const SpeciesTable& tab = species_table();
    const ProductSpeciesSet& ps = product_species();
    const Array1<double> g("G_RT", g_RT, tab.nspecies - tab.props_scalar_3);
    const double ln_t = std::log(t_K);
    for (std::int64_t k = 1; k <= g.size(); ++k) {
        const auto entry = static_cast<std::int32_t>(tab.props_scalar_3 + k);
        g(k) = tab.products_switch == 1 ? product_series_g_RT(tab, ps, static_cast<int>(k), entry, t_K)
                                        : product_nasa9_g_RT(tab, ps, static_cast<int>(k), entry, t_K, ln_t);
    }
}

void reaction_equilibrium(std::int32_t check, std::int32_t unit, const double* products,
                          const double* reactants, double product_total, double reactant_total,
                          double t_K, double p_Pa, double& dg_K, double& k_eq) noexcept
{
    const SpeciesTable& tab = species_table();
    const Array1<const double> p = composition(products);
    const Array1<const double> r = composition(reactants);
    if (check == 1) check_elements(p, r);

    double h_p = 0.0, h_r = 0.0, v = 0.0;
    if (tab.products_switch == 1) {
        mix_enthalpy_sum_poly(products, p_Pa, t_K, h_p, v);
        mix_enthalpy_sum_poly(reactants, p_Pa, t_K, h_r, v);
    } else {
        mix_enthalpy_sum_nasa9(products, p_Pa, t_K, h_p, v);
        mix_enthalpy_sum_nasa9(reactants, p_Pa, t_K, h_r, v);
    }
    const double s_p = entropy_sum_R(p, t_K);
    const double s_r = entropy_sum_R(r, t_K);
    dg_K = (h_p - h_r) - t_K * (s_p - s_r);

    double f = 0.012027470743177419 / t_K;  // 1 / (R T), R = 83.14 cm3 bar/(mol K)
    if (user_evolution(259) >= 6) {
        if (unit == 1) f *= 1000000.0;        // per m3
        else if (unit == 2) f = 100000.0 / p_Pa;
    }
    const double exponent = std::min((h_r - h_p) / t_K - (s_r - s_p), 88.0);
    k_eq = std::max(std::exp(exponent) * std::pow(f, product_total - reactant_total), 1e-20);
}

}  // namespace usersub::properties
