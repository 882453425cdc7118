// Equilibrium composition of the combustion products by minimising the Gibbs
// energy of the mixture at fixed temperature and pressure, under the element
// balances of C, H, O and N: a Newton iteration on the logarithms of the mole
// numbers in the reduced form of Gordon and McBride (element potentials and
// the correction of the total mole number, order 5).
//
// Varied: CO2, H2O, N2, O2, CO, H2, H, O, OH, NO, N (products 1..11). Ar and
// SO2 carry their element with fixed amounts. Their atom counts are the
// formula rows of the products' entries in the species set; their standard
// Gibbs energies come from the products' NASA polynomials (products switch 0)
// or from their enthalpy power series and reference entropies (switch 1), and
// are cached on the temperature.
#pragma once

#include <cstdint>

namespace usersub::properties {

struct GibbsOutcome {
    int iterations = 0;       // Newton iterations made (at most 100)
    bool converged = false;   // false: the lowest-G composition met was returned
    double lowest_g = 1e20;   // lowest G / RT met (per unit of the element sum), at the
                              // composition recorded for the fall-back
};

// p_Pa, t_K: the state. n_C .. n_S: element amounts in kmol/kg in this argument
// order (only their ratios matter). phi: the equivalence ratio, passed to the
// complete-combustion start. start: 1 starts from complete combustion; other
// values start from the product mole fractions already held, unless N2, O2 or
// H2 there is exactly 0.
//
// The result is written to the product mole fractions (all 13). The iteration
// ends when the mean relative change of the mole fractions of 1e-10 and above
// is at most 1e-6 and no species below 1e-10 is still rising; the balances
// that leaves open are then closed, so that a converged result holds the C, H,
// O and N it was given to rounding. After 100 iterations without convergence,
// the composition of the lowest Gibbs energy met is returned, silently.
GibbsOutcome gibbs_min_eq(double p_Pa, double t_K, double n_C, double n_H, double n_O, double n_N,
                          double n_Ar, double n_S, double phi, std::int32_t start) noexcept;

}  // namespace usersub::properties
