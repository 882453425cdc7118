// Four-element forms of the equilibrium driver and its solvers, and the
// square-root solvers on given element amounts. No entry point calls them.
// They are the live routines with other parameters: C, H, O, N only (no
// sulfur or argon), temperature floor 1800 K, no Gibbs minimisation, the
// lowest relaxation always 0.1, the square-root solver restarting from
// complete combustion before its second and third levels, and a fatal
// report where the live solver falls back.
#pragma once

#include "properties/equilibrium/equilibrium_driver.h"

#include <cstdint>

namespace usersub::properties {

// The driver in four elements: as ecpinz, with the differences above; the
// solid-carbon warning carries the excess, the carbon left and the oxygen,
// and the "no oxygen" test weighs the oxygen against the mass of C, H, O and
// N. Solves by ecp60, or near stoichiometry below 2500 K (and H/C below 100)
// by its square-root solver, which hands over to ecp60 when it fails.
void ecpinz60(double mode, double t_K, double p_Pa, double* y) noexcept;

// The equilibrium-constant solver in four elements; its failure ends the run
// with "F*** ECP60: THIRD  LEVEL NON-CONVERGENCE, T,P,PHI = ...".
void ecp60(double p_Pa, double t_K, double n_C, double n_H, double n_O, double n_N,
           std::int32_t start) noexcept;

// The square-root solver of ecpinz60 on given amounts; on failure writes
// "W*** ECPINZ60: THIRD  LEVEL NON-CONVERGENCE, T,P,PHI = ..." and sets
// failure = 1.
void ecpinz60_b(double p_Pa, double t_K, double n_C, double n_H, double n_O, double n_N,
                std::int32_t start, std::int32_t& failure) noexcept;

// Iterations of the square-root solves of ecpinz60 and ecpinz60_b: the most
// in one solve and the running total. Nothing reads them.
const IterationCounters& ecpinz60_iteration_counters() noexcept;

}  // namespace usersub::properties
