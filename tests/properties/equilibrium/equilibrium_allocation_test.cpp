// An equilibrium call allocates nothing: operator new is counted around
// calls on each of the three methods' paths.
#include "properties/equilibrium/equilibrium_driver.h"
#include "support/allocation_counter.h"
#include "support/species_fixture.h"

#include <gtest/gtest.h>

#include <vector>

TEST(NoAllocation, EquilibriumProductsPerCall)
{
    namespace fx = usersub::test::fx;
    usersub::test::load_species_fixture();
    // Methane-air at phi 1.0 (square root), 0.8 (equilibrium constants); hydrogen-air (Gibbs).
    const std::vector<std::vector<double>> mixtures = {
        usersub::test::fuel_air(fx::kCH4, 16.04246, 2.0, 1.0),
        usersub::test::fuel_air(fx::kCH4, 16.04246, 2.0, 0.8),
        usersub::test::fuel_air(fx::product(6), 2.01588, 0.5, 1.0),
    };
    std::vector<double> y(fx::kNSpecies);
    const long before = usersub::test::allocation_count();
    for (const auto& mixture : mixtures) {
        for (const double mode : {1000.0, 0.0}) {
            y = mixture;
            usersub::properties::ecpinz(mode, 2000.0, 1e6, y.data());
        }
    }
    EXPECT_EQ(usersub::test::allocation_count(), before);
}
