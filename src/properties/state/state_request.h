// The state request that the guarded state entry receives and hands to the
// state solver, and the location code with its labels, which say in a report
// from where the state call came.
#pragma once

#include "common/array.h"

#include <cstdint>
#include <string_view>

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

inline constexpr int kLocationCount = 74;      // codes 0..73
inline constexpr std::size_t kLocationLen = 40;

// Location codes set by the fluid-state entry points before they solve.
inline constexpr std::int32_t kLocationNone = 0;
inline constexpr std::int32_t kLocationStateTP = 1;
inline constexpr std::int32_t kLocationStateTPEq = 2;
inline constexpr std::int32_t kLocationStateRE = 3;
inline constexpr std::int32_t kLocationStateREEq = 4;

// The process-wide location code (0 when the library is loaded).
std::int32_t location_code() noexcept;
void set_location_code(std::int32_t code) noexcept;

// Label `code` of the table, 40 characters, blank-padded. A code outside 0..73
// gives the array-bounds diagnostic.
std::string_view location_text(std::int32_t code) noexcept;

}  // namespace usersub::properties
