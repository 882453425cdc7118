// Viscosity and conductivity of a mixture from the host's transport tables,
// and the diffusion factors of the species.
#pragma once

#include "common/array.h"

#include <cstdint>

namespace usersub::properties {

// t_K, p_Pa, cp and the NSPECIES mass fractions y in; viscosity (Pa s) and
// conductivity (W/(m K)) out. circuit: the circuit whose mixing mode applies.
void viscandcond_user(double t_K, double p_Pa, double cp_J_kgK, const double* y, double& mu_Pas,
                      double& k_W_mK, std::int32_t circuit) noexcept;

// Builds the binary diffusion factors of the loaded species (once per load).
void diffusion_volumes_setup() noexcept;

// ---- mixing weights ----

// Specific-volume shares of the species at (t_K, p_Pa), normalised, into
// w_vol (NSPECIES entries); a composition without any volume gives species 1
// the whole weight. circuit >= 1 with bit 0 of its property parameter set
// forces the first liquid-vapour pair that is present into the sum.
void volume_fractions(std::int32_t circuit, double p_Pa, double t_K, const double* y,
                      double* w_vol) noexcept;

// ---- binary diffusion factors ----

// Built by diffusion_volumes_setup() for the NSPECIES of its first call:
//   binarydif(i, j) = 0.01013 sqrt(1/M_i + 1/M_j) / (V_i^0.333333 + V_j^0.333333)^2,
// the Fuller-Schettler-Giddings factor: binarydif * T^1.75 / p_Pa is the binary
// diffusion coefficient in m2/s. The diagonal, every pair with a species of
// negative diffusion volume (formula not loaded) and a pair of two species
// without atoms hold -999.0.
struct DiffusionArrays {
    ArrayN<const double, 2> binarydif;     // (NSPECIES, NSPECIES)
    Array1<const double> diff_volume_root; // V^0.333333 per species; -999.0 for a negative volume
    Array1<const std::int32_t> diff_spare; // -999, used for nothing
    std::int32_t diffusion_ready = 0;      // bit 0: the set-up has run
};
const DiffusionArrays& diffusion_arrays() noexcept;

// The factor of the pair (i, j), both 1..NSPECIES of the set-up.
double binarydif(std::int32_t i, std::int32_t j) noexcept;

// True once diffusion_volumes_setup() has run.
bool diffusion_ready() noexcept;

}  // namespace usersub::properties

namespace usersub::properties {

// ---- routines that no entry point calls ----

// viscandcond_user with one more argument before cp, which is not read.
void viscandcond_user_b(double t_K, double p_Pa, double unread, double cp_J_kgK, const double* y,
                        double& mu_Pas, double& k_W_mK, std::int32_t circuit) noexcept;

// The power law of the species without tables: mu = 3.3e-7 T^0.7 (Pa s) and
// the conductivity of a Prandtl number of 0.7, k = mu cp / 0.7.
void gas_viscosity_power(double t_K, double cp_J_kgK, double& mu_Pas, double& k_W_mK) noexcept;

// Once-only conductivity warning: returns 0, or -1 after writing
// "W*** At location: TRPROPS-Cond" when its flag is raised. Nothing raises
// the flag, so it returns 0 and writes nothing.
std::int32_t trprops_warn() noexcept;

}  // namespace usersub::properties
