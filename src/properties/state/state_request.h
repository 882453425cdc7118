// The state request that the guarded state entry receives and hands to the
// state solver.
#pragma once

#include "common/array.h"

#include <cstdint>

namespace usersub::properties {

// One fluid-state request. Every field refers to the caller's variable, so the
// solver reads its inputs and writes its results in place.
struct StateRequest {
    std::int32_t& fluid_kind;    // 0 or less: ordinary; 2: liquid-vapour pairs; 3: refused
    std::int32_t& input_kind;    // 1: T and P given; otherwise density and energy given
    std::int32_t& equilibrium;   // 0: frozen composition; 2: equilibrium of the products
    std::int32_t& status;        // out: 1 when mass moved between paired species or the equilibrium ran
    std::int32_t& circuit;       // index into the per-circuit property settings, 0: none
    Array1<double> composition;  // mass fractions, 1..NSPECIES
    double& t_K;                 // given for input kind 1, start value and result otherwise
    double& p_Pa;                // given for input kind 1, start value and result otherwise
    double& rho_out_kg_m3;       // copy of rho_kg_m3 after the solve
    double& rho_kg_m3;           // result for input kind 1, given otherwise
    double& e_J_kg;              // specific internal energy: result for input kind 1, given otherwise
    double& h_J_kg;              // out
    double& cp_J_kgK;            // out
    double& gamma;               // out: ratio of specific heats
    double& sound_m_s;           // out: speed of sound
};

}  // namespace usersub::properties
