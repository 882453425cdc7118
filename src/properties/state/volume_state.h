// The state of a volume at the end of a step from the mass and energy that
// flowed in and the work its change of volume did.
#pragma once

#include <cstdint>

namespace usersub::properties {

// dm_species: the NSPECIES species mass changes of the step (FM2). M, y, p_Pa,
// t_K, E_J and V_old_m3 hold the old state in and the new one out.
void volume_state_update(std::int32_t fluid_kind, double dm_kg, double dE_J, const double* dm_species,
                         double heat_W, double dt_s, double V_m3, double& M_kg, double* y, double& p_Pa,
                         double& t_K, double velocity_m_s, double& E_J, double& V_old_m3) noexcept;

}  // namespace usersub::properties
