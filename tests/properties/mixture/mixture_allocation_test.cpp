// The mixture routines allocate nothing per call: operator new is counted
// around frozen, real-gas and liquid evaluations and the pressure-enthalpy solve.
#include "properties/mixture/propmix.h"
#include "properties/state/ph_state.h"
#include "support/allocation_counter.h"
#include "support/species_fixture.h"

#include <gtest/gtest.h>

#include <array>

TEST(NoAllocation, MixturePerCall)
{
    namespace fx = usersub::test::fx;
    namespace up = usersub::properties;
    usersub::test::load_species_fixture({.realgas_switch = 3});
    std::array<double, fx::kNSpecies> y{};
    y[fx::kN2 - 1] = 0.6;
    y[fx::kC7H16Liquid - 1] = 0.1;
    y[fx::kH2OLiquid - 1] = 0.1;
    y[fx::product(1) - 1] = 0.2 - 1e-6;
    y[fx::product(9) - 1] = 1e-6;
    const up::MixtureRequest rq{.pair_switch = 1, .liquid = fx::kH2OLiquid, .vapour = fx::product(2)};
    up::MixtureProps out;
    std::int32_t flag = 0;
    double t = 350.0;
    double cp = 0.0;
    double rho = 0.0;
    double a = 0.0;
    double b = 0.0;
    double dv = 0.0;
    const long before = usersub::test::allocation_count();
    up::propmix(rq, flag, 350.0, 5e6, y.data(), out);
    up::propmix_b(rq, flag, 350.0, 5e6, y.data(), out);
    up::zalthrm_ph_solve(t, 5e6, y.data(), out.h_J_kg + 1e4, cp, 0, 0, 1e-4);
    up::realgas_state(0, 0, 0, t, 5e6, 0.0, y.data(), rho, a, b, dv, 0);
    EXPECT_EQ(usersub::test::allocation_count(), before);
}
