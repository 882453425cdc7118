// An equilibrium call allocates nothing: operator new is counted around
// calls on each of the three methods' paths.
#include "properties/equilibrium/equilibrium_driver.h"
#include "support/species_fixture.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <new>
#include <vector>

static long g_allocations = 0;

void* operator new(std::size_t size)
{
    ++g_allocations;
    if (void* p = std::malloc(size ? size : 1)) return p;
    throw std::bad_alloc();
}
void operator delete(void* p) noexcept { std::free(p); }
void operator delete(void* p, std::size_t) noexcept { std::free(p); }

TEST(NoAllocation, EquilibriumProductsPerCall)
{
    namespace fx = usersub::test::fx;
    usersub::test::load_species_fixture();
    // Methane-air at phi 1.0 (square root), 0.8 (equilibrium constants); hydrogen-air (Gibbs).
    std::vector<std::vector<double>> mixtures(3, std::vector<double>(fx::kNSpecies, 0.0));
    for (int m = 0; m < 2; ++m) {
        const double o2 = m == 0 ? 2.0 : 2.5;
        const double mass = 16.04246 + o2 * (31.9988 + 3.76 * 28.0134);
        mixtures[m][fx::kCH4 - 1] = 16.04246 / mass;
        mixtures[m][fx::kO2 - 1] = o2 * 31.9988 / mass;
        mixtures[m][fx::kN2 - 1] = o2 * 3.76 * 28.0134 / mass;
    }
    const double mass = 2 * 2.01588 + 31.9988 + 3.76 * 28.0134;
    mixtures[2][fx::product(6) - 1] = 2 * 2.01588 / mass;
    mixtures[2][fx::kO2 - 1] = 31.9988 / mass;
    mixtures[2][fx::kN2 - 1] = 3.76 * 28.0134 / mass;

    std::vector<double> y(fx::kNSpecies);
    const long before = g_allocations;
    for (const auto& mixture : mixtures) {
        for (const double mode : {1000.0, 0.0}) {
            y = mixture;
            usersub::properties::ecpinz(mode, 2000.0, 1e6, y.data());
        }
    }
    EXPECT_EQ(g_allocations, before);
}
