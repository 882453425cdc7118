// Liquids described by temperature and pressure correlations (property type
// 3): density with its derivatives, enthalpy and cp. The density routine also
// watches each species' temperature range and gives the rate-limited range
// warning.
#pragma once

#include <cstdint>

namespace usersub::properties {

// Density of species i at t_K, p_Pa by its density form (1 or 2), with
// drho/dT (kg/(m3 K)), d2rho/dT2 and drho/dP (kg/(m3 Pa)). The correlation is
// evaluated at T clamped to the species' range and P clamped to its pressure
// limits unless its clamp switch is set. A temperature outside the range is
// recorded and warned about. Form 2 with a negative base is a fatal error.
void liquid_density(std::int32_t i, double t_K, double p_Pa, double& rho_kg_m3, double& drho_dt,
                    double& d2rho_dt2, double& drho_dp);

// Enthalpy (J/kg), cp (J/(kg K)) and dh/dP at constant T (J/(kg Pa)) of
// species i, from the density and drho/dT the caller evaluated at the same
// state. A species that is not a type-3 liquid gets 0 in all three.
void liquid_species_props(std::int32_t i, double t_K, double p_Pa, double& h_J_kg,
                          double& cp_J_kgK, double& dh_dp, double rho_kg_m3,
                          double drho_dt) noexcept;

// Enthalpy and cp of the type-3 liquid species i. Outside its temperature
// range the enthalpy continues linearly with the cp of the range end.
void liquid_species_h(std::int32_t i, double t_K, double p_Pa, double& h_J_kg,
                      double& cp_J_kgK) noexcept;

// ---- the density forms alone (routines that no entry point calls) ----

// Form 1 of liquid_density alone, for a type-3 liquid of form 1 (any other
// species gets 0 in all four): no range record, no warning, no fatal path.
void species_props_b(std::int32_t i, double t_K, double p_Pa, double& rho_kg_m3, double& drho_dt,
                     double& d2rho_dt2, double& drho_dp) noexcept;

// Form 2 of liquid_density alone, for a type-3 liquid of form 2. Any other
// species gets density 1e-6 and derivatives 1.0 with flag 0; a negative base
// gives the same values with flag 1 instead of stopping the run.
void species_props_c(std::int32_t i, double t_K, double p_Pa, double& rho_kg_m3, double& drho_dt,
                     double& d2rho_dt2, double& drho_dp, std::int32_t& flag) noexcept;

// Sound speed (m/s) of liquid species i: c = sqrt(gamma / (drho/dP)) with
// gamma = cp/cv from the density derivatives, held to 1.0 .. 1.6. A species
// without a positive density, cp and drho/dP there stops the run.
void liquid_props_wrap(std::int32_t i, double t_K, double p_Pa, double& c_m_s);

}  // namespace usersub::properties
