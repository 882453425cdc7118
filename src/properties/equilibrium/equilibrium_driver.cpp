#include "properties/equilibrium/equilibrium_driver.h"

#include "common/output.h"
#include "common/run_stop.h"
#include "properties/equilibrium/gibbs_minimisation.h"
#include "properties/species/product_species.h"
#include "properties/species/species_table.h"

#include <algorithm>
#include <cmath>
#include <span>

namespace usersub::properties {
namespace {

constexpr double kNoOxygen = 1e-18;         // kmol/kg: below this nothing can burn
constexpr double kBoundCarbonShare = 0.95;  // carbon beyond 0.95 n_O is solid
constexpr double kTraceShare = 1e-6;        // trace floor of C and H, share of the element sum
constexpr double kCarbonPoor = 100.0;       // H/C from which Gibbs minimisation runs
constexpr double kNearStoichiometric = 0.05;
constexpr double kHotK = 2500.0;            // from here on the equilibrium-constant solver

EquilibriumMethod g_last_method = EquilibriumMethod::none;

// Atoms of C, H, O, N (, S, Ar) of species (or product) i: the first
// `elements` rows of column i of a formula table, checked once.
const double* column(const ArrayN<double, 2>& formula, int i, int elements) noexcept
{
    (void)formula(elements, i);
    return &formula(1, i);
}

[[noreturn]] void fatal(const char* text) noexcept
{
    out::write_line(text);
    stop_run();
}

bool run_root(const DriverVariant& dv, double p_Pa, double t_K, const ElementAmounts& n,
              std::int32_t start) noexcept
{
    const NewtonOutcome r = solve_products(*dv.root, p_Pa, t_K, n, start);
    if (dv.root_counters != nullptr) {
        dv.root_counters->most = std::max(dv.root_counters->most, r.iterations);
        dv.root_counters->total += r.iterations;
    }
    return r.converged;
}

// Low-temperature recombination of NO, OH and O (below the recombination
// temperature of the product settings): g = max(0, 1e-6 T^2 - 2.24) of each
// stays, the rest goes back to N2, H2O and O2.
void recombine(const Array1<double>& x, double t_K) noexcept
{
    const double g = std::max(0.0, 1e-6 * t_K * t_K - 2.24);
    const double r = 1.0 - g;
    x(kN2) += r * x(kNO) / 2.0;
    x(kH2O) += r * x(kOH) / 2.0;
    x(kO2) += r * (x(kNO) / 2.0 + x(kOH) / 4.0 + x(kO) / 2.0);
    x(kNO) *= g;
    x(kOH) *= g;
    x(kO) *= g;
}

}  // namespace

EquilibriumMethod last_equilibrium_method() noexcept { return g_last_method; }

void drive_equilibrium(const DriverVariant& dv, double mode, double t_K, double p_Pa, double* y_data) noexcept
{
    const SpeciesTable& st = species_table();
    const ProductSpeciesSet& ps = product_species();
    const Array1<double>& x = ps.prod_molefrac;
    const Array1<double>& totals = ps.element_totals;
    const Array1<double> y("Y", y_data, st.nspecies);
    const int first_product = st.props_scalar_2;
    const int last_ordinary = st.props_scalar_3;
    const int elements = dv.six_elements ? 6 : 4;  // C, H, O, N (, S, Ar)

    // The runs of species and products the loops below walk, each range
    // checked once: ordinary species 1 .. last_ordinary, product species
    // first_product .. NSPECIES, i.e. products k_first .. k_last.
    const int k_first = first_product - last_ordinary;
    const int k_last = st.nspecies - last_ordinary;
    const std::span<double> y_ord = y.span(1, last_ordinary);
    const std::span<double> y_prod = y.span(first_product, st.nspecies);
    const std::span<const std::int32_t> ifuel = st.ifuel.span(1, last_ordinary);
    const std::span<const double> pmwt_inv = st.pmwt_inv.span(1, last_ordinary);
    const std::span<double> x_prod = x.span(k_first, k_last);
    const std::span<const double> mw_inv = ps.prod_mw_inv.span(k_first, k_last);
    const std::span<const double> mw = ps.prod_mw.span(k_first, k_last);
    const std::size_t n_ord = y_ord.size();
    const std::size_t n_prod = y_prod.size();

    // Incoming products: the start of a solve that does not start from complete combustion.
    double sum = 0.0;
    for (std::size_t j = 0; j < n_prod; ++j) {
        x_prod[j] = y_prod[j] * mw_inv[j];
        sum += x_prod[j];
    }
    if (sum > 0.0)
        for (std::size_t j = 0; j < n_prod; ++j) x_prod[j] /= sum;

    // Element totals of the species that take part, kmol/kg (a species that is
    // absent adds nothing: the reactants hold no products, the products no
    // reactants).
    double n_e[6] = {};
    for (std::size_t j = 0; j < n_ord; ++j) {
        if (ifuel[j] < 0 || y_ord[j] == 0.0) continue;
        const double* atoms = column(st.species_formula, static_cast<int>(j) + 1, elements);
        for (int e = 0; e < elements; ++e) n_e[e] += atoms[e] * y_ord[j] * pmwt_inv[j];
    }
    for (std::size_t j = 0; j < n_prod; ++j) {
        if (y_prod[j] == 0.0) continue;
        const double* atoms = column(ps.prod_atoms, k_first + static_cast<int>(j), elements);
        for (int e = 0; e < elements; ++e) n_e[e] += atoms[e] * y_prod[j] * mw_inv[j];
    }
    for (int e = 1; e <= 6; ++e) totals(e) = n_e[e - 1];
    double& n_C = totals(kElemC);
    double& n_H = totals(kElemH);
    double& n_O = totals(kElemO);
    const double n_N = totals(kElemN);
    const double n_S = totals(kElemS);
    const double n_Ar = totals(kElemAr);
    if (dv.six_elements && n_C + n_H + n_O + n_N + n_S + n_Ar == 0.0)
        fatal("F*** No species defined with molecular formula, check FluidGas objects");

    bool short_of_oxygen = false;
    if (n_S > 0.0) {  // all sulfur as SO2
        n_O -= 2.0 * n_S;
        short_of_oxygen = n_O < kNoOxygen;
    }

    // Solid carbon. The warning and the "no oxygen" test go by the excess
    // c_x = 0.95 n_C - n_O; what is taken out leaves 0.95 n_O of carbon, so
    // that all of it can be bound (as CO) with oxygen to spare.
    const double c_x = kBoundCarbonShare * n_C - n_O;
    if (c_x > 0.0) {
        const double c_left = n_C - c_x;
        n_C = kBoundCarbonShare * std::max(n_O, 0.0);
        if (dv.carbon_warning_with_amounts)
            out::list("W*** Solid carbon formed in equilibrium calculations", c_x, n_C, n_O);
        else
            out::write_line("W*** Solid carbon formed in equilibrium calculations");
        const double mass_left = dv.oxygen_test_on_element_mass
                                     ? 1.009 * n_H + st.atomic_mass_n * n_N + 12.01 * c_left + 16.0 * n_O
                                     : 1.0 - 12.01 * c_x;
        if (16.0 * n_O < 1e-4 * mass_left) fatal("F*** No oxygen available for combustion");
    } else if (n_C > 0.0 && n_C >= n_O) {
        // Short of the solid-carbon excess, but still no less carbon than
        // oxygen: no product holds the carbon beyond n_O either, and the
        // balances have no solution. It is taken out in the same way, without
        // the warning.
        n_C = kBoundCarbonShare * n_O;
    }
    if (short_of_oxygen) fatal("F*** Not enough oxygen to bond with sulfur.");

    const double t_floor = dv.t_floor_K > 0.0 ? dv.t_floor_K : ps.prod_settings_real(2);
    const double t_eq = std::max(t_K, t_floor);
    const std::int32_t start = mode > 999.0 ? 1 : 0;
    if (n_O < kNoOxygen) return;
    const double phi = (2.0 * n_C + 0.5 * n_H) / n_O;

    double element_sum = 0.0;
    for (int e = 1; e <= elements; ++e) element_sum += totals(e);
    const double trace = kTraceShare * element_sum;
    auto raise_to_trace = [&] {
        n_C = std::max(n_C, trace);
        n_H = std::max(n_H, trace);
    };
    auto amounts = [&] { return ElementAmounts{n_C, n_H, n_O, n_N, n_Ar, n_S}; };
    auto gibbs = [&] {
        gibbs_min_eq(p_Pa, t_eq, n_C, n_H, n_O, n_N, n_Ar, n_S, phi, start);
        g_last_method = EquilibriumMethod::gibbs;
    };
    auto ecp_then_gibbs = [&] {
        g_last_method = EquilibriumMethod::equilibrium_constants;
        const bool converged = solve_products(*dv.ecp, p_Pa, t_eq, amounts(), start).converged;
        if (!converged && dv.gibbs_available) gibbs();
    };

    const bool forced_gibbs = property_settings().gibbs_switch == 1;
    const bool carbon_poor = n_H / std::max(n_C, trace) >= kCarbonPoor;
    if (dv.gibbs_available && (forced_gibbs || carbon_poor)) {
        if (user_evolution(162) <= 4 && !forced_gibbs) raise_to_trace();
        gibbs();
    } else {
        raise_to_trace();
        if (std::fabs(phi - 1.0) > kNearStoichiometric || t_eq >= kHotK || carbon_poor) {
            ecp_then_gibbs();
        } else {
            g_last_method = EquilibriumMethod::square_root;
            if (!run_root(dv, p_Pa, t_eq, amounts(), start)) ecp_then_gibbs();
        }
    }

    if (t_K < ps.prod_settings_real(1)) recombine(x, t_K);

    // Write-back: the species that take part make way for the products; species
    // kept out of the reaction keep their mass fractions exactly.
    double kept = 0.0;
    for (std::size_t j = 0; j < n_ord; ++j) {
        if (ifuel[j] < 0)
            kept += y_ord[j];
        else
            y_ord[j] = 0.0;
    }
    double products = 0.0;
    for (std::size_t j = 0; j < n_prod; ++j) {
        y_prod[j] = x_prod[j] * mw[j];
        products += y_prod[j];
    }
    if (products > 0.0) {
        const double scale = (1.0 - kept) / products;
        for (double& yi : y_prod) yi *= scale;
    }
}

void ecpinz(double mode, double t_K, double p_Pa, double* y) noexcept
{
    drive_equilibrium(kEcpinzDriver, mode, t_K, p_Pa, y);
}

}  // namespace usersub::properties
