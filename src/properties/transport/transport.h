// Viscosity and conductivity of a mixture from the host's transport tables,
// and the diffusion factors of the species.
#pragma once

#include <cstdint>

namespace usersub::properties {

// t_K, p_Pa, cp and the NSPECIES mass fractions y in; viscosity (Pa s) and
// conductivity (W/(m K)) out. circuit: the circuit whose mixing mode applies.
void viscandcond_user(double t_K, double p_Pa, double cp_J_kgK, const double* y, double& mu_Pas,
                      double& k_W_mK, std::int32_t circuit) noexcept;

// Builds the binary diffusion factors of the loaded species (once per load).
void diffusion_volumes_setup() noexcept;

}  // namespace usersub::properties
