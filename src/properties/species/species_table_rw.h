// Write access to the species property set's counts and scalars, for the
// loaders of the set only.
#pragma once

#include "properties/species/species_table.h"

namespace usersub::properties {

SpeciesTable& species_table_rw() noexcept;

}  // namespace usersub::properties
