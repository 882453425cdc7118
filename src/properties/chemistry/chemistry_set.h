// Kinetics helpers over the species property set: molar concentrations, mole
// and mass fractions from concentrations, mixture molar mass and gas constant,
// species and mixture entropies, enthalpy sums, the Gibbs functions of the
// product species, and the Gibbs change and equilibrium constant of one
// reaction. No entry point calls them.
//
// Units of a kinetics code: concentrations in mol/cm3 (pressures in Pa turned
// into dyn/cm2 with the factor 10, gas constant 83145100 erg/(mol K));
// mass-based quantities with 8314.3 J/(kmol K). Compositions hold NSPECIES
// entries; loops run over species 1..NSPECIES.
#pragma once

#include <cstdint>

namespace usersub::properties {

// c_i = x_i 10 p / (83145100 T), mol/cm3.
void concentration_from_pt(double t_K, double p_Pa, const double* x_mole, double* c_mol_cm3) noexcept;

// x_i = c_i / sum c. A sum below 1e-18 writes "Total concentration close to
// zero." and stops the run.
void molefrac_from_conc(const double* c_mol_cm3, double* x_mole) noexcept;
// The mole fractions as above, turned into mass fractions.
void massfrac_from_conc(const double* c_mol_cm3, double* y_mass) noexcept;

// Mole fraction of species i in the mass fractions y (species with y or
// 1/M of 1e-18 or less count as absent; 0 when nothing is present).
double species_mole_fraction(std::int32_t i, const double* y_mass) noexcept;

// Molar mass sum y / sum (y / M), kg/kmol; -999.0 for a composition without
// any species of positive 1/M.
void mix_molar_mass(const double* y_mass, double& w_kg_kmol) noexcept;

// Gas constant 8314.3 / (sum y / sum over the gases of y / M), J/(kg K);
// -999.0 when the gases' sum is 1e-18 or less (no gas present).
double mix_gas_constant(const double* y_mass) noexcept;

// s/R of species i from its 9-coefficient polynomial of the range of T.
double species_entropy_nasa9(double t_K, std::int32_t i) noexcept;

// Integral of cp/T (J/(kg K)) of species i's enthalpy series
// h = a1 + sum_k a(k+1) (T - 298)^k (range 1), without constant of
// integration; cached per species for repeated calls at one temperature.
double species_entropy_poly(double t_K, std::int32_t i) noexcept;

// Specific entropy of the mixture (J/(kg K)) at t_K, p_Pa, ideal mixing
// against 1 bar.
void mix_entropy(double t_K, double p_Pa, const double* y_mass, double& s_J_kgK) noexcept;

// Enthalpy sums in units of the gas constant (kmol K) of the mole numbers n:
// H = sum n_i M_i h_i(T) / 8314.3 from the power series, or sum n_i (H/R)_i
// from the 9-coefficient polynomials; v = 8314.3 H / p (0 unless p > 0).
void mix_enthalpy_sum_poly(const double* n_kmol, double p_Pa, double t_K, double& h_K, double& v) noexcept;
void mix_enthalpy_sum_nasa9(const double* n_kmol, double p_Pa, double t_K, double& h_K, double& v) noexcept;

// G/RT of the product species appended after species props_scalar_3: entry k
// (of NSPECIES - props_scalar_3) belongs to species props_scalar_3 + k.
void product_gibbs_rt(double t_K, double* g_RT) noexcept;

// Gibbs change (in units of the gas constant, K) and equilibrium constant of
// the reaction reactants -> products, mole numbers per species. With
// check == 1 the element balance is checked first: a deficit above 1e-4 of
// any element writes the deficits and stops the run. unit: 1 concentrations
// in mol/m3, 2 pressures against 1 bar (only with USER_EVOLUTION word 259 at
// least 6; otherwise mol/cm3). The exponent is capped at 88, the constant
// held at 1e-20 or more.
void reaction_equilibrium(std::int32_t check, std::int32_t unit, const double* products,
                          const double* reactants, double product_total, double reactant_total,
                          double t_K, double p_Pa, double& dg_K, double& k_eq) noexcept;

}  // namespace usersub::properties
