// Equilibrium composition of the combustion products in a composition of the
// loaded species set: the driver that the mixture routine calls.
#pragma once

#include "properties/equilibrium/equilibrium_constant_solver.h"

#include <cstdint>

namespace usersub::properties {

// mode: the mixture routine's equilibrium mode; above 999.0 every method
// starts from complete combustion. t_K, p_Pa: the state. y: the NSPECIES mass
// fractions, rewritten in place with the equilibrium products.
//
// The atoms of the species that take part (IFUEL 0 or above, and the product
// species) are counted into the element totals; sulfur is bound as SO2; in a
// mixture so rich that 0.95 n_C exceeds n_O the carbon beyond 0.95 n_O is
// taken out (it cannot be bound; "W*** Solid carbon formed in equilibrium
// calculations") and its mass spread over the products; so is it, without
// the warning, when n_C is short of that excess but not below n_O. The products are
// solved at T_eq = max(T, 1600 K): by Gibbs minimisation when forced or for
// H/C of 100 and more, by the square-root solver within 0.05 of
// stoichiometry below 2500 K, else by the equilibrium-constant solver, each
// failure handing over to the next (square root -> equilibrium constants ->
// Gibbs). The species that take part are replaced by the products; species
// with negative IFUEL keep their mass fractions exactly.
// Fatal: no atoms at all, no oxygen left for the fuel, too little oxygen for
// the sulfur.
void ecpinz(double mode, double t_K, double p_Pa, double* y) noexcept;

// The method that produced the last products of a driver call.
enum class EquilibriumMethod { none, square_root, equilibrium_constants, gibbs };
EquilibriumMethod last_equilibrium_method() noexcept;

// Largest and total iteration counts of a family of solves; only grow.
struct IterationCounters {
    std::int32_t most = 0;
    std::int64_t total = 0;
};

// What sets the live driver and its four-element form apart.
struct DriverVariant {
    bool six_elements;              // S and Ar counted, SO2 bound, the "no formula" check
    double t_floor_K;               // temperature floor; 0: the threshold of the product settings
    bool gibbs_available;           // Gibbs minimisation when forced, for H/C >= 100, as fall-back
    bool oxygen_test_on_element_mass;  // "no oxygen" test against the mass of C, H, O, N
    const NewtonVariant* ecp;       // equilibrium-constant solver
    const NewtonVariant* root;      // square-root solver
    IterationCounters* root_counters;  // kept by the square-root solves, or nullptr
    bool carbon_warning_with_amounts;  // solid-carbon warning followed by c_x, C, O
};

inline constexpr DriverVariant kEcpinzDriver{.six_elements = true,
                                             .t_floor_K = 0.0,
                                             .gibbs_available = true,
                                             .oxygen_test_on_element_mass = false,
                                             .ecp = &kEcpNewton,
                                             .root = &kRootNewton,
                                             .root_counters = nullptr,
                                             .carbon_warning_with_amounts = false};

// The driver with the given variant (ecpinz is drive_equilibrium(kEcpinzDriver, ...)).
void drive_equilibrium(const DriverVariant& variant, double mode, double t_K, double p_Pa,
                       double* y) noexcept;

}  // namespace usersub::properties
