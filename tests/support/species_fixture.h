// A realistic species property set for tests, loaded through the exported
// loaders as a host would: nitrogen, oxygen, methane (a gaseous fuel), liquid
// n-heptane (a polynomial liquid fuel), liquid water (constant density), and
// the 13 combustion products appended after them. Also the NASA Glenn data of
// the gases, for expectations worked out independently of the library.
#pragma once

#include "usersub.h"

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace usersub::test {

inline constexpr double kR = 8314.3;  // J/(kmol K), the library's gas constant

// Species numbers of the fixture set.
namespace fx {
inline constexpr int kN2 = 1;
inline constexpr int kO2 = 2;
inline constexpr int kCH4 = 3;
inline constexpr int kC7H16Liquid = 4;
inline constexpr int kH2OLiquid = 5;
inline constexpr int kOrdinary = 5;       // props_scalar_3
inline constexpr int kFirstProduct = 6;   // props_scalar_2
inline constexpr int kNSpecies = 18;
// Species number of product k (1 = CO2 ... 13 = SO2).
constexpr int product(int k) { return kOrdinary + k; }
}  // namespace fx

// Mass fractions of the set, in species order.
using Composition = std::array<double, fx::kNSpecies>;

struct SpeciesFixtureOptions {
    std::int32_t products_switch = 0;  // 0 NASA polynomials, 1 power series
    std::int32_t realgas_switch = 0;
    std::int32_t pair_parameter = 0;   // USER_PROPERTY_PARAMETERS(1): bit 0 steers pair handling
    bool heptane_is_fuel = true;       // false: methane is the set's only fuel
};

// Loads the set: LOADPROP0, LOADPROP1 (all 18 species), LOADPROP2, LOADPROP4,
// LOADPROP9 (liquid water has a viscosity table), LOADCAVIT2, LOADCIRCSET (one
// circuit, mass fractions), COPY_USER_PROPERTY_PARAMETERS (once per process)
// and SET_EVOLUTION_SCALAR_FLAGS_USER. Reference temperature 298.15 K.
//
// Names: "N2", "O2", "CH4", "C7H16_L", "H2O_L", then the products'
// "prod_co2" ... "prod_so2". Liquid n-heptane: density form 1 around
// 298.15 K and 1 bar, enthalpy from its heat of formation with cp 2242 J/(kg K).
// Liquid water: 997.05 kg/m3, cp 4181.3 J/(kg K), enthalpy from its heat of
// formation, paired with the water vapour of the products.
//
// The loaders the set goes through: the library's own, or those a host
// resolved by name (the demo host).
struct PropertyEntryPoints {
    decltype(&LOADPROP0) loadprop0;
    decltype(&LOADPROP1) loadprop1;
    decltype(&LOADPROP2) loadprop2;
    decltype(&LOADPROP4) loadprop4;
    decltype(&LOADPROP9) loadprop9;
    decltype(&LOADCAVIT2) loadcavit2;
    decltype(&LOADCIRCSET) loadcircset;
    decltype(&COPY_USER_PROPERTY_PARAMETERS) copy_user_property_parameters;
    decltype(&SET_EVOLUTION_SCALAR_FLAGS_USER) set_evolution_scalar_flags_user;
};
void load_species_set(const PropertyEntryPoints& entries, const SpeciesFixtureOptions& options = {});

// Loads the set through the library's own loaders.
inline void load_species_fixture(const SpeciesFixtureOptions& options = {})
{
    load_species_set({&LOADPROP0, &LOADPROP1, &LOADPROP2, &LOADPROP4, &LOADPROP9, &LOADCAVIT2, &LOADCIRCSET,
                      &COPY_USER_PROPERTY_PARAMETERS, &SET_EVOLUTION_SCALAR_FLAGS_USER},
                     options);
}

// Mass fractions of the set for fuel species `fuel` (molar mass mw_fuel,
// kg/kmol) burning in air: o2_per_fuel / phi O2 and 3.76 times as many N2 per
// fuel molecule, o2_per_fuel the stoichiometric O2.
Composition fuel_air(int fuel, double mw_fuel, double o2_per_fuel, double phi);

// A row of a file of tests/data/ split into words; number(i) reads word i,
// a '-' (nothing printed: below the print limit or absent) as 0.
struct DataRow {
    std::vector<std::string> words;
    double number(std::size_t i) const { return words[i] == "-" ? 0.0 : std::stod(words[i]); }
};
// The rows of a file of tests/data/ (USERSUB_TEST_DATA_DIR "/name"), blank
// and '#' lines left out.
std::vector<DataRow> data_rows(const char* path);

// NASA 9-coefficient data of one species (N2, O2, CH4, C7H16, H2O, CO2, CO,
// H2, H, O, OH, NO, N, Ar, SO2).
struct Nasa9Species {
    const char* name;
    double mw;                // kg/kmol
    double hf298_J_mol;       // heat of formation at 298.15 K
    int nranges;
    double ranges[3][11];     // Tmin, Tmax, a1..a7, b1, b2
};
const Nasa9Species& nasa9(std::string_view name);

// Name of the NASA data of fixture species i; nullptr for the two liquids.
inline const char* nasa_name(int i)
{
    static const char* const names[fx::kNSpecies] = {"N2", "O2", "CH4", nullptr, nullptr, "CO2", "H2O", "N2", "O2",
                                                     "CO", "H2", "H",   "O",     "OH",    "NO",  "N",   "Ar", "SO2"};
    return names[i - 1];
}

// The polynomials of the range holding T (the last range beyond it).
double nasa9_cp_R(const Nasa9Species& s, double T);
double nasa9_h_RT(const Nasa9Species& s, double T);
double nasa9_s_R(const Nasa9Species& s, double T);

}  // namespace usersub::test
