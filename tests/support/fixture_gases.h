// Compositions of the fixture set and the frozen ideal gas its NASA data
// make of them, for expectations worked out independently of the library.
#pragma once

#include "properties/species/species_table.h"
#include "support/species_fixture.h"

#include <cmath>
#include <cstddef>
#include <initializer_list>
#include <iterator>
#include <numeric>
#include <span>
#include <utility>
#include <vector>

namespace usersub::test {

// Mass fractions: the named species at their values, the rest 0.
inline Composition composition(std::initializer_list<std::pair<int, double>> parts)
{
    Composition y{};
    for (const auto& [i, yi] : parts) y[static_cast<std::size_t>(i - 1)] = yi;
    return y;
}

inline Composition air() { return composition({{fx::kN2, 0.767}, {fx::kO2, 0.233}}); }

// Lean burnt gas with every product present, some as traces.
inline Composition burnt_gas()
{
    const double w[13] = {0.12, 0.05, 0.72, 0.0899, 1e-3, 5e-5, 1e-7, 1e-6, 2e-4, 1e-3, 1e-9, 0.0176, 0.0};
    const double sum = std::accumulate(std::begin(w), std::end(w), 0.0);
    Composition y{};
    for (int k = 1; k <= 13; ++k) y[fx::product(k) - 1] = w[k - 1] / sum;
    return y;
}

// Burnt gas with reactants left over: nitrogen, oxygen and methane, then
// every product, majors, minors and traces down to 2e-7; no liquids.
inline Composition burnt_gas_with_reactants()
{
    const double parts[fx::kNSpecies] = {0.40, 0.05,   0.01,  0.0,  0.0,    0.08, 0.06, 0.38, 0.015,
                                         4e-3, 2e-4,   3e-6,  2e-5, 8e-5,   1.5e-3, 6e-7, 4e-3, 2e-7};
    const double sum = std::accumulate(std::begin(parts), std::end(parts), 0.0);
    Composition y{};
    for (std::size_t i = 0; i < y.size(); ++i) y[i] = parts[i] / sum;
    return y;
}

inline double nasa_h_J_kg(const char* name, double t_K) { return kR / nasa9(name).mw * t_K * nasa9_h_RT(nasa9(name), t_K); }
inline double nasa_cp_J_kgK(const char* name, double t_K) { return kR / nasa9(name).mw * nasa9_cp_R(nasa9(name), t_K); }

// The gases of y summed by mass at T; fractions below 1e-8 are traces the
// library leaves out. h_scale sums |h| for tolerances.
struct NasaMixture { double h_J_kg = 0.0, cp_J_kgK = 0.0, r_J_kgK = 0.0, h_scale = 0.0; };
inline NasaMixture nasa_mixture(const Composition& y, double t_K)
{
    NasaMixture m;
    for (int i = 1; i <= fx::kNSpecies; ++i) {
        const double yi = y[static_cast<std::size_t>(i - 1)];
        if (nasa_name(i) == nullptr || yi < 1e-8) continue;
        const double h = nasa_h_J_kg(nasa_name(i), t_K);
        m.h_J_kg += yi * h;
        m.h_scale += yi * std::fabs(h);
        m.cp_J_kgK += yi * nasa_cp_J_kgK(nasa_name(i), t_K);
        m.r_J_kgK += yi * kR / nasa9(nasa_name(i)).mw;
    }
    return m;
}

// kmol of C, H, O and N atoms per kg in the mass fractions y of species
// `first` on, from the formulas and molar masses of the loaded set.
inline std::vector<double> element_amounts(std::span<const double> y, int first = 1)
{
    const auto& st = properties::species_table();
    std::vector<double> n(4, 0.0);
    for (int i = first; i <= fx::kNSpecies; ++i)
        for (int e = 1; e <= 4; ++e) n[e - 1] += st.species_formula(e, i) * y[i - 1] / st.pmwt(i);
    return n;
}

// The slot of liquid n-heptane takes the formula and molecular weight of
// n-octane: equilibrium products depend on the atoms alone.
inline void octane_in_heptane_slot()
{
    const auto& st = properties::species_table();
    st.species_formula(1, fx::kC7H16Liquid) = 8.0;
    st.species_formula(2, fx::kC7H16Liquid) = 18.0;
    st.pmwt(fx::kC7H16Liquid) = 114.22852;
    st.pmwt_inv(fx::kC7H16Liquid) = 1.0 / 114.22852;
}

}  // namespace usersub::test
