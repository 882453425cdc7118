// The five fluid-state entry points allocate nothing per call: operator new
// is counted around repeated calls after a first one.
#include "support/species_fixture.h"
#include "usersub.h"

#include <gtest/gtest.h>

#include <array>
#include <cstdlib>
#include <new>

static long g_allocations = 0;

void* operator new(std::size_t size)
{
    ++g_allocations;
    if (void* p = std::malloc(size ? size : 1)) return p;
    throw std::bad_alloc();
}
void operator delete(void* p) noexcept { std::free(p); }
void operator delete(void* p, std::size_t) noexcept { std::free(p); }

namespace usersub::test {
namespace {

TEST(FluidStateNoAllocation, EveryEntryPointPerCall)
{
    load_species_fixture();
    std::array<double, fx::kNSpecies> reactants{};  // stoichiometric methane-air
    reactants[fx::kCH4 - 1] = 0.0552;
    reactants[fx::kO2 - 1] = 0.233 * (1 - 0.0552);
    reactants[fx::kN2 - 1] = 0.767 * (1 - 0.0552);
    const auto calls = [&] {
        auto y = reactants;
        double t = 2400.0, p = 1.0e6, rho = 0, e = 0, h = 0, cp = 0, cv = 0;
        ZALTHRM_TP_EQ(&t, &p, y.data(), &rho, &e, &h, &cp, &cv);
        ZALTHRM_RE_EQ(&rho, &e, y.data(), &t, &p, &h, &cp, &cv);
        ZALTHRM_TP(&t, &p, y.data(), &rho, &e, &h, &cp, &cv);
        t = 1000.0;
        ZALTHRM_RE(&rho, &e, y.data(), &t, &p, &h, &cp, &cv);
        ZALTHRM_PH(&p, &h, y.data(), &t, &rho, &e, &cp, &cv);
    };
    calls();
    const long before = g_allocations;
    for (int k = 0; k < 50; ++k) calls();
    EXPECT_EQ(g_allocations, before);
}

}  // namespace
}  // namespace usersub::test
