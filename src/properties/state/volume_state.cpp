#include "properties/state/volume_state.h"

#include "properties/species/species_table.h"
#include "properties/state/fluid_state.h"

#include <cmath>

namespace usersub::properties {
namespace {

// The state from density and internal energy through the guarded entry
// (input kind -1); T and P are the start values and receive the result.
void state_from_rho_e(std::int32_t fluid_kind, double* y, double rho_kg_m3, double e_J_kg, double& t_K,
                      double& p_Pa) noexcept
{
    std::int32_t kind = fluid_kind, input_kind = -1, equilibrium = 0, status = 0, circuit = 0;
    double rho = rho_kg_m3, rho_out = rho_kg_m3, e = e_J_kg, h = 0.0, cp = 0.0, gamma = 0.0, sound = 0.0;
    fluidprops_entry({kind, input_kind, equilibrium, status, circuit, {"Y", y, species_table().nspecies}, t_K,
                      p_Pa, rho_out, rho, e, h, cp, gamma, sound});
}

}  // namespace

void volume_state_update(std::int32_t fluid_kind, double dm_kg, double dE_J, const double* dm_species,
                         double heat_W, double dt_s, double V_m3, double& M_kg, double* y, double& p_Pa,
                         double& t_K, double velocity_m_s, double& E_J, double& V_old_m3) noexcept
{
    const std::int64_t n = species_table().nspecies;
    const double M_old = M_kg;
    M_kg += dm_kg;
    for (std::int64_t i = 0; i < n; ++i) y[i] = (y[i] * M_old + dm_species[i]) / M_kg;  // m_i / M
    E_J = E_J + heat_W * dt_s + dE_J;

    const double rho = M_kg / V_m3;
    const double k = 0.5 * velocity_m_s * velocity_m_s;  // kinetic energy, J/kg
    const double dV = V_m3 - V_old_m3;
    const double p_old = p_Pa;
    double work_J = p_old * dV;
    if (std::abs(dV) > 1.0e-8 * V_m3) {
        state_from_rho_e(fluid_kind, y, rho, (E_J - work_J) / M_kg - k, t_K, p_Pa);
        work_J = 0.5 * (p_old + p_Pa) * dV;  // trapezoidal work with the pressure at the end
    }
    state_from_rho_e(fluid_kind, y, rho, (E_J - work_J) / M_kg - k, t_K, p_Pa);
    V_old_m3 = V_m3;
}

}  // namespace usersub::properties
