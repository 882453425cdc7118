// The fluid-state calls as the library's own routines make them: the same
// roads as the exported ZALTHRM_ entry points, which only forward to these.
#pragma once

#include "properties/state/state_request.h"

namespace usersub::properties {

// T, P and the mass fractions y in; rho, e, h, cp, cv out. The _eq forms
// rewrite y with the equilibrium composition of the products.
void zalthrm_tp(double t_K, double p_Pa, double* y, double& rho_kg_m3, double& e_J_kg, double& h_J_kg,
                double& cp_J_kgK, double& cv_J_kgK) noexcept;
void zalthrm_tp_eq(double t_K, double p_Pa, double* y, double& rho_kg_m3, double& e_J_kg, double& h_J_kg,
                   double& cp_J_kgK, double& cv_J_kgK) noexcept;

// rho, e and y in; T and P start values in, results out; h, cp, cv out.
void zalthrm_re(double rho_kg_m3, double e_J_kg, double* y, double& t_K, double& p_Pa, double& h_J_kg,
                double& cp_J_kgK, double& cv_J_kgK) noexcept;
void zalthrm_re_eq(double rho_kg_m3, double e_J_kg, double* y, double& t_K, double& p_Pa, double& h_J_kg,
                   double& cp_J_kgK, double& cv_J_kgK) noexcept;

// P, h and y in; T start value in, result out; rho, e, cp, cv out.
void zalthrm_ph(double p_Pa, double h_J_kg, const double* y, double& t_K, double& rho_kg_m3, double& e_J_kg,
                double& cp_J_kgK, double& cv_J_kgK) noexcept;

// The guarded entry: range checks of T and P, then the state solver.
void fluidprops_entry(const StateRequest& rq) noexcept;

}  // namespace usersub::properties
