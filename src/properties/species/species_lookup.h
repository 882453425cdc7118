// Species lookup by name and conversion of compositions between mass and mole
// fractions, over the loaded species property set. A composition holds
// NSPECIES reals in the order of the loaded species.
#pragma once

#include <cstdint>
#include <string_view>

namespace usersub::properties {

// Species number 1..NSPECIES whose name equals `name` (trailing blanks
// ignored; case and leading blanks count; the first match wins), or 0.
std::int32_t species_index(std::string_view name) noexcept;

// The 117-character name of species `index`, or "Index_out_of_bound" when
// index is outside 1..NSPECIES.
std::string_view species_name(std::int32_t index) noexcept;

// Mass fractions y to mole fractions x (x cleared first; x and y must differ).
void getmolfrac(const double* y_mass, double* x_mole) noexcept;
// Mole fractions x to mass fractions y (x and y may be the same array).
void getmassfrac(const double* x_mole, double* y_mass) noexcept;

std::int32_t get_props_scalar3() noexcept;

// Converts b in place from mole to mass fractions with molar masses from the
// atom counts of SPECIES_FORMULA; species with gate(i) <= 1e-18 get 0.
void mole_to_mass_by_formula(const double* gate, double* b) noexcept;

// Linear interpolation in an ascending table of n points, 0 below xt(1) and
// 1.0 above xt(n); a table that is not ascending stops the run.
double table_lookup_unit(double x, std::int32_t n, const double* xt, const double* yt) noexcept;

}  // namespace usersub::properties
