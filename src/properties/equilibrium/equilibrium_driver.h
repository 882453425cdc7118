// Equilibrium composition of the combustion products in a composition of the
// loaded species set: the driver that the mixture routine calls.
#pragma once

namespace usersub::properties {

// mode: the mixture routine's equilibrium mode; above 999.0 every method
// starts from complete combustion. t_K, p_Pa: the state. y: the NSPECIES mass
// fractions, rewritten in place with the equilibrium products.
void ecpinz(double mode, double t_K, double p_Pa, double* y) noexcept;

}  // namespace usersub::properties
