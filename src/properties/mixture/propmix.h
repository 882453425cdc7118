// Thermodynamic properties of a mixture of the loaded species at T, P and a
// composition, with the combustion products optionally brought to equilibrium.
#pragma once

#include <cstdint>

namespace usersub::properties {

// What the mixture routine gives back (SI units throughout).
struct MixtureProps {
    double rho_kg_m3 = 0.0;
    double h_J_kg = 0.0;
    double cp_J_kgK = 0.0;      // -1.0 as the answer of a query call
    double dh_dP = 0.0;         // J/(kg Pa), at constant T
    double delta_h_J_kg = 0.0;  // vapour minus liquid of the phase pair
    double drho_dT = 0.0;       // at constant P
    double drho_dP = 0.0;       // at constant T
    double dv_dT = 0.0;         // at constant P
    double dv_dP = 0.0;         // at constant T
    double delta_v_m3_kg = 0.0; // vapour minus liquid of the phase pair
};

struct MixtureRequest {
    std::int32_t eq_switch = 0;    // 0 frozen; 1 above the threshold temperature; 2 always
    std::int32_t query = 0;        // 1: when no equilibrium is computed, answer cp = -1.0 and return
    std::int32_t pair_switch = 0;  // 1: fill the phase-pair differences
    std::int32_t liquid = 0;       // species index of the pair's polynomial liquid
    std::int32_t vapour = 0;       // species index of the pair's gas
    std::int32_t kept_a = 0;       // species evaluated even as traces
    std::int32_t kept_b = 0;
    double eq_mode = 0.0;          // |mode| > 0.1 enables the equilibrium; > 999.0 starts it cold
};

// y: NSPECIES mass fractions, rewritten when the equilibrium runs. eq_flag is
// set to 1 when the equilibrium ran and left alone otherwise.
void propmix(const MixtureRequest& rq, std::int32_t& eq_flag, double t_K, double p_Pa, double* y,
             MixtureProps& out) noexcept;

// The second form of the mixture routine: as propmix, but without kept
// species (kept_a and kept_b are not read), every gas from its power series in
// T - TREF_THERMO whatever the run's data form, and no real-gas correction.
void propmix_b(const MixtureRequest& rq, std::int32_t& eq_flag, double t_K, double p_Pa, double* y,
               MixtureProps& out) noexcept;

}  // namespace usersub::properties
