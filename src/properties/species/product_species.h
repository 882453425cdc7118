// The built-in data of the 13 combustion-product species, present from load,
// in product order k = 1..13: CO2, H2O, N2, O2, CO, H2, H, O, OH, NO, N, Ar, SO2.
// The equilibrium routines exchange their inputs and results through the
// element totals and the product mole fractions held here.
#pragma once

#include "common/array.h"

#include <cstddef>
#include <cstdint>

namespace usersub::properties {

inline constexpr int kProducts = 13;
inline constexpr std::size_t kProductNameLen = 8;

// Product indices.
enum Product : int {
    kCO2 = 1, kH2O, kN2, kO2, kCO, kH2, kH, kO, kOH, kNO, kN, kAr, kSO2
};
// Element indices of atom counts and element totals.
enum Element : int { kElemC = 1, kElemH, kElemO, kElemN, kElemS, kElemAr };

struct ProductSpeciesSet {
    TextArray<const char> prod_species_names;  // "prod_co2", ... (8 characters)
    // NASA Glenn 9-coefficient polynomials (2, 9, 13): set 1 for 200..1000 K,
    // set 2 for 1000..6000 K; coefficients a1..a7 of cp/R, then b1, b2:
    //   cp/R = a1/T^2 + a2/T + a3 + a4 T + a5 T^2 + a6 T^3 + a7 T^4
    //   h/R  = -a1/T + a2 ln T + a3 T + a4 T^2/2 + a5 T^3/3 + a6 T^4/4 + a7 T^5/5 + b1
    //   s/R  = -a1/(2T^2) - a2/T + a3 ln T + a4 T + a5 T^2/2 + a6 T^3/3 + a7 T^4/4 + b2
    ArrayN<const double, 3> prod_nasa9;
    // Power series of the enthalpy (8, 13): h = sum c_j (T - tref_thermo)^j, J/kg.
    ArrayN<double, 2> prod_cp_mass;
    ArrayN<double, 2> prod_atoms;          // (6, 13): atoms of C, H, O, N, S, Ar
    Array1<std::int32_t> prod_settings;    // (13): power-series terms used per product
    Array1<double> prod_settings_real;     // (2): recombination temperature 100 K,
                                           //      equilibrium threshold 1600 K
    Array1<double> prod_tcrit;             // (13) K; 1e9: no critical data
    Array1<double> prod_pcrit;             // (13) Pa; 1e9: no critical data
    Array1<double> prod_mw;                // (13) kg/kmol, 0 until loaded
    Array1<double> prod_mw_inv;            // (13) kmol/kg, 0 until loaded
    Array1<double> prod_molefrac;          // (13) result of every equilibrium method
    Array1<double> element_totals;         // (6) kmol/kg of C, H, O, N, S, Ar
};

// The set, read and written in place.
const ProductSpeciesSet& product_species() noexcept;

// The same NASA polynomials with each coefficient set laid out contiguously,
// (8, 2, 13): a1..a7, b1 of set 1, then of set 2, per product, 16-byte
// aligned, for loops that read whole sets.
inline constexpr int kProdNasa9SetLen = 8;
const double* prod_nasa9_sets() noexcept;

}  // namespace usersub::properties
