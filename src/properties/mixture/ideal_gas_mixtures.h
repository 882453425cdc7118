// Mixture and species property routines on the two forms of gas data that no
// entry point calls: the ideal-gas mixture, the mixture by property type, a
// species enthalpy with its real-gas and liquid branches, and two enthalpy
// helpers. Specific quantities per kg, SI units.
#pragma once

#include <cstdint>

namespace usersub::properties {

// Ideal-gas mixture at P, T of the NSPECIES mass fractions y: density, cp, h,
// e = h - R T / W and the mean molar mass W (kg/kmol). Every species counts,
// by its gas data alone. T below 1e-18 K or mass fractions whose sum leaves
// 0.99..1.01 end the run.
void propmix_iga(double p_Pa, double t_K, const double* y, double& rho_kg_m3, double& cp_J_kgK, double& h_J_kg,
                 double& e_J_kg, double& w_kg_kmol) noexcept;

// Mixture by property type, ideal gases: density, enthalpy and cp of the
// species that enter (mass fraction of 1e-8 or more, or every ordinary species
// with all_species 1), each divided by the mass that entered, and minus the
// enthalpy of the species `species` (0 when it names none). Kind 3 sums
// nothing: the three mixture values are then 0.
void prodmix_props(std::int32_t all_species, std::int32_t species, double unread, double t_K, double p_Pa,
                   const double* y, double& rho_kg_m3, double& h_J_kg, double& cp_J_kgK, double& minus_h_species,
                   std::int32_t kind) noexcept;

// Specific enthalpy of species i at T, P, with the enthalpy departure of a
// real gas when REALGAS_SWITCH is 3 and the species' real-gas bit is set.
double prodmix_realgas(std::int32_t i, double t_K, double p_Pa) noexcept;

// Specific enthalpy of species i at T from its THERMO_COEF data in the run's
// data form.
void prodmix_helper_a(std::int32_t i, double t_K, double& h_J_kg) noexcept;

// Sum of y_i h_i over species first..last whose y_i is 1e-18 or more, h_i as
// prodmix_helper_a gives it; 0 when last is below first.
void prodmix_helper_b(std::int32_t first, std::int32_t last, const double* y, double t_K, double& h_J_kg) noexcept;

}  // namespace usersub::properties
