// Density of one species at a temperature and pressure, by its property type,
// and the Redlich-Kwong compressibility factor of a gas, solved by bracketed
// root finding or in closed form.
#pragma once

#include <cstdint>

namespace usersub::properties {

// Density of species i (1..NSPECIES) at t_K, p_Pa into rho_kg_m3. A gas takes
// the real-gas Z when the run and the species switch it on; a liquid of any
// other type than 1, 2 or 3 leaves rho_kg_m3 unchanged. An index above
// NSPECIES is a fatal error.
void getrho1(std::int32_t i, double t_K, double p_Pa, double& rho_kg_m3);

// Outputs of the two real-gas routines, all per unit mass.
//   z:            compressibility factor P v / (R T)
//   h_dep_J_kg:   enthalpy departure h - h_ideal
//   dhdep_dp:     its derivative by pressure at constant T, J/(kg Pa)
//   dz_dp, dz_dt: derivatives of Z (1/Pa at constant T, 1/K at constant P)
//   cp_dep_J_kgK: cp departure cp - cp_ideal
// Form 0 gives Z alone (the others 0); any other form gives all six.

// Redlich-Kwong Z by bracketed root finding, derivatives by forward
// differences with the relative step 1/s of the run's settings. Z = 1 for a
// species without critical data (Tc above 1e4 K or Pc above 5e8 Pa) and for
// a state below the reduced-pressure threshold that is not below Tc.
void realgas_z(double t_K, double p_Pa, double tc_K, double pc_Pa, double r_J_kgK, double& z,
               double& h_dep_J_kg, double& dhdep_dp, std::int32_t form, double& dz_dp,
               double& dz_dt, double& cp_dep_J_kgK) noexcept;

// Redlich-Kwong Z in closed form (the largest real root), derivatives from
// the root's analytic derivatives. Z = 1 far above Tc, 5 at reduced
// temperatures below 0.02 Pr; Tr is held at 0.5 below it.
void realgas_cubic(std::int32_t form, double t_K, double p_Pa, double tc_K, double pc_Pa,
                   double r_J_kgK, double& z, double& h_dep_J_kg, double& dhdep_dp,
                   double& dz_dp, double& dz_dt, double& cp_dep_J_kgK) noexcept;

// Root in Z of Z^3 - Z^2 + (A - B - B^2) Z - A B = 0 between lo and hi by
// Ridders' method; on convergence within tol it returns the estimate before
// the last one. Gives `fallback` when the iteration fails, and without a sign
// change the bound nearer a root (0.0 when f is equal at both bounds).
double cubic_root_bracket(double lo, double hi, double tol, double fallback, double a,
                          double b) noexcept;

}  // namespace usersub::properties
