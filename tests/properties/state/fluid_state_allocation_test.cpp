// The five fluid-state entry points allocate nothing per call: operator new
// is counted around repeated calls after a first one.
#include "support/allocation_counter.h"
#include "support/species_fixture.h"
#include "usersub.h"

#include <gtest/gtest.h>

#include <array>

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
    const long before = usersub::test::allocation_count();
    for (int k = 0; k < 50; ++k) calls();
    EXPECT_EQ(usersub::test::allocation_count(), before);
}

}  // namespace
}  // namespace usersub::test
