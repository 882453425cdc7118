// One ordinary species of a mixture at T and P by its property type: the
// values every mixture routine sums, per unit mass.
#pragma once

#include "properties/mixture/mixture_realgas.h"
#include "properties/mixture/species_thermo.h"
#include "properties/species/species_table.h"

#include <cstdint>

namespace usersub::properties {

// Mass fraction below which the mixture routines skip a species.
inline constexpr double kTraceMassFraction = 1.0e-8;

struct SpeciesState {
    double h = 0.0;       // J/kg
    double cp = 0.0;      // J/(kg K)
    double v = 0.0;       // m3/kg
    double dv_dT = 0.0;   // at constant P
    double dv_dP = 0.0;   // at constant T
    double dh_dP = 0.0;   // J/(kg Pa) at constant T
};

// A gas at the real-gas point c: its ideal-gas h and cp with the departures added.
SpeciesState gas_state(HCp ideal, double r_J_kgK, double t_K, double p_Pa, const RealGasPoint& c) noexcept;

// Constant-density liquid i at P: h and cp from four series terms or the NASA
// form, h plus (P - 1 bar)/rho.
HCp constant_density_liquid(const SpeciesTable& tab, const SpeciesThermo& th, std::int32_t i, double p_Pa) noexcept;

// Ordinary species i of mass fraction y_i: a gas from the data form of th,
// corrected when rg is on, y_i exceeds 1e-8 and the species' real-gas bit is
// set; a constant-density liquid (base enthalpy from four series terms or the
// NASA form, plus (P - 1 bar)/rho); a polynomial liquid from its density and
// enthalpy correlations. With liquid_stability, a polynomial liquid whose
// 0.375 cp rho^2 (drho/dP) / T is not positive ends the run, and |drho/dT|
// is held at the square root of that limit (cp/cv at most 1.6). Returns
// false for a species of no known property type.
bool ordinary_species_state(const SpeciesTable& tab, const SpeciesThermo& th, const RealGasRule& rg, std::int32_t i, double y_i,
                            double t_K, double p_Pa, bool liquid_stability, SpeciesState& s) noexcept;

}  // namespace usersub::properties
