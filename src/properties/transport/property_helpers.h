// Small property formulas beside the transport routines: the latent heat of
// water over pressure and the total pressure of a moving gas.
#pragma once

namespace usersub::properties {

// Latent heat of evaporation of water (J/kg) at p_bar: linear between the
// points of a steam table from 0.04 to 200 bar, 2432900 at and below
// 0.04 bar, the linear law 6166175.0 - 27913.87 p from 200 bar up to the
// critical pressure of 220.9 bar, and 0 from there on.
double water_latent_heat(double p_bar) noexcept;

// Total pressure of a gas at static pressure p moving at speed v: p + rho v^2 / 2
// times the compressibility series 1 + M^2/4 + (2 - gamma) M^4 / 24, with the
// Mach number squared M^2 = (v / c)^2 capped at 1.0 (c below 1e-18 counts as 1e-18).
double total_pressure_series(double p, double rho, double v, double c, double gamma) noexcept;

}  // namespace usersub::properties
