// Complete-combustion products: the composition from which every equilibrium
// method may start.
#pragma once

namespace usersub::properties {

// Writes the complete-combustion mole fractions of the 13 product species
// into the product mole fractions (product_species().prod_molefrac).
//
// t_K is the temperature, n_C .. n_S the element amounts in kmol/kg (as the
// element totals hold them, but in this argument order), phi the equivalence
// ratio (2 n_C + n_H / 2) / n_O.
//   phi <= 1: all carbon to CO2, all hydrogen to H2O, the oxygen left as O2.
//   phi > 1:  CO, CO2, H2O and H2 share C, H and O so that the water-gas
//             shift constant K(T) = x_CO x_H2O / (x_CO2 x_H2) holds.
// Nitrogen goes to N2, argon to Ar, sulfur to SO2; H, O, OH and NO are 0 and
// the mole fraction of N is left as it was. After normalising, CO2 .. NO are
// raised to 1e-10. Near stoichiometric (0.9 < phi < 1.2) a fitted
// temperature correction shifts CO2 .. NO towards the dissociated state and
// the normalising and floors are repeated.
void products_nodissoc(double t_K, double n_C, double n_H, double n_O, double n_N, double n_Ar,
                       double n_S, double phi) noexcept;

}  // namespace usersub::properties
