// A species set for the tests of the property routines: loaded fresh with
// every array at its fill value; the tests then write the entries they need
// through the set's views.
#pragma once

#include "properties/property_loaders.h"
#include "properties/species_table.h"
#include "properties/species_table_rw.h"

#include <array>
#include <cstdint>
#include <string_view>

namespace usersub::properties::setup {

inline SpeciesTable& load_species_set(std::int32_t nspecies)
{
    const std::int32_t counts[10] = {nspecies, nspecies + 1, nspecies, 0, 0, 0, 0, 20, 0, 0};
    loadprop0(counts);
    return species_table_rw();
}

// Sets USER_EVOLUTION words (1-based) over the block of -1 and derives the
// switches from it.
inline void set_user_evolution(std::initializer_list<std::pair<int, std::int32_t>> words)
{
    std::array<std::int32_t, kUserEvolutionWords> block;
    block.fill(-1);
    for (auto [w, v] : words) block[static_cast<std::size_t>(w - 1)] = v;
    copy_user_evolution(block.data());
    set_evolution_scalar_flags();
}

}  // namespace usersub::properties::setup
