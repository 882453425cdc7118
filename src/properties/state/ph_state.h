// The state from pressure and enthalpy: temperature by Newton iteration on the
// mixture enthalpy, then the density and its derivatives.
#pragma once

#include <cstdint>

namespace usersub::properties {

// t_K: start value in, solved temperature out; cp_J_kgK: cp at that temperature.
void zalthrm_ph_solve(double& t_K, double p_Pa, const double* y, double h_target_J_kg, double& cp_J_kgK,
                      std::int32_t fluid_kind, std::int32_t h_switch, double tol_K) noexcept;

// Mixture enthalpy and cp; species below a mass fraction of 1.0e-8 are
// skipped, except the loaded species (1..PROPS_SCALAR_3) with h_switch 1.
void mix_enthalpy(std::int32_t h_switch, double t_K, double p_Pa, const double* y, double& h_J_kg,
                  double& cp_J_kgK) noexcept;

// Density and its derivatives at T, P (h is not read). A state without a
// finite density (a pressure of 0, no species counted) gives results that are
// not finite; the pressure-enthalpy entry point reports them and stops.
void realgas_state(std::int32_t species_switch, std::int32_t species_a, std::int32_t species_b, double t_K,
                   double p_Pa, double h_J_kg, const double* y, double& rho_kg_m3, double& drho_dT,
                   double& drho_dP, double& dv, std::int32_t fluid_kind) noexcept;

// The two routines of the family that do nothing: empty_stub_a stands where a
// solve for fluid kind 3 would be (T, P, Y, h, cp and five work values);
// empty_stub_b is called by nothing.
void empty_stub_a(double& t_K, double p_Pa, const double* y, double h_J_kg, double& cp_J_kgK, double& work1,
                  double& work2, double& work3, double& work4, double& work5) noexcept;
void empty_stub_b(void* a1, void* a2, void* a3, void* a4, void* a5, void* a6, void* a7, void* a8, void* a9,
                  void* a10, void* a11, void* a12, void* a13, void* a14, void* a15) noexcept;

}  // namespace usersub::properties
