// The state solver behind every guarded fluid-state call: from temperature and
// pressure one mixture evaluation; from density and internal energy a Newton
// iteration (a secant iteration on T when the products are in equilibrium),
// with the liquid-vapour pair handling of fluid kind 2. It then forms the ratio
// of specific heats and the speed of sound.
#pragma once

#include "properties/state/state_request.h"

#include <cstdint>

namespace usersub::properties {

// Works on fields 1..8 and 10..15 of the request (field 10 is its density);
// field 9 is left to the guarded entry. Sets the location code back to 0.
void fluidstate_solve(const StateRequest& rq) noexcept;

// Vapour pressure of species i at t_K, Pa, from its correlation (above the
// species' highest temperature from the high-temperature data).
double vapour_pressure(std::int32_t i, double t_K) noexcept;

// Relative pressure tolerance of the density-energy iteration: 1.0 (test
// inactive) at load and while the time-step number is below 2; tightened by
// every negative gamma/(drho/dP) of a density-energy state.
double pressure_tolerance() noexcept;

}  // namespace usersub::properties
