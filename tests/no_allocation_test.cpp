// The per-call routines allocate nothing: operator new, replaced here (so
// this test stands in an executable of its own), is counted around repeated calls.
#include "exchange/user_models.h"
#include "properties/equilibrium/equilibrium_driver.h"
#include "properties/mixture/propmix.h"
#include "properties/state/ph_state.h"
#include "support/fixture_gases.h"
#include "usermodels/model_setup.h"
#include "usersub.h"

#include <gtest/gtest.h>

#include <cstddef>
#include <cstdlib>
#include <new>
#include <vector>

namespace {
long g_allocations = 0;
}  // namespace

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

namespace up = usersub::properties;

template <class F>
void expect_no_allocation(F&& calls)
{
    const long before = g_allocations;
    for (int k = 0; k < 20; ++k) calls();
    EXPECT_EQ(g_allocations, before);
}

TEST(NoAllocation, FluidStateEntryPoints)
{
    load_species_fixture();
    const Composition reactants = fuel_air(fx::kCH4, 16.04246, 2.0, 1.0);
    const auto calls = [&] {
        Composition y = reactants;
        double t = 2400.0, p = 1.0e6, rho = 0, e = 0, h = 0, cp = 0, cv = 0;
        ZALTHRM_TP_EQ(&t, &p, y.data(), &rho, &e, &h, &cp, &cv);
        ZALTHRM_RE_EQ(&rho, &e, y.data(), &t, &p, &h, &cp, &cv);
        ZALTHRM_TP(&t, &p, y.data(), &rho, &e, &h, &cp, &cv);
        t = 1000.0;
        ZALTHRM_RE(&rho, &e, y.data(), &t, &p, &h, &cp, &cv);
        ZALTHRM_PH(&p, &h, y.data(), &t, &rho, &e, &cp, &cv);
    };
    calls();  // the first call may size the tables
    expect_no_allocation(calls);
}

// Frozen, real-gas and liquid evaluations, both forms, and the pressure-enthalpy solve; the
// equilibrium products of methane-air at phi 1.0 (square root) and 0.8 (equilibrium constants)
// and of hydrogen-air (Gibbs), each by both modes.
TEST(NoAllocation, MixtureAndEquilibriumRoutines)
{
    load_species_fixture({.realgas_switch = 3});
    Composition y = composition({{fx::kN2, 0.6}, {fx::kC7H16Liquid, 0.1}, {fx::kH2OLiquid, 0.1},
                                       {fx::product(1), 0.2 - 1e-6}, {fx::product(9), 1e-6}});
    const up::MixtureRequest rq{.pair_switch = 1, .liquid = fx::kH2OLiquid, .vapour = fx::product(2)};
    const Composition mixtures[] = {fuel_air(fx::kCH4, 16.04246, 2.0, 1.0), fuel_air(fx::kCH4, 16.04246, 2.0, 0.8),
                                    fuel_air(fx::product(6), 2.01588, 0.5, 1.0)};
    expect_no_allocation([&] {
        up::MixtureProps out;
        std::int32_t flag = 0;
        double t = 350.0, rho = 0.0, a = 0.0, b = 0.0, dv = 0.0, cp = 0.0;
        up::propmix(rq, flag, 350.0, 5e6, y.data(), out);
        up::propmix_b(rq, flag, 350.0, 5e6, y.data(), out);
        up::zalthrm_ph_solve(t, 5e6, y.data(), out.h_J_kg + 1e4, cp, 0, 0, 1e-4);
        up::realgas_state(0, 0, 0, t, 5e6, 0.0, y.data(), rho, a, b, dv, 0);
        for (const auto& mixture : mixtures) {
            for (const double mode : {1000.0, 0.0}) {
                Composition products = mixture;
                up::ecpinz(mode, 2000.0, 1e6, products.data());
            }
        }
    });
}

TEST(NoAllocation, FetchAndPlotStorePerCall)
{
    const int32_t one = 1;
    setup_models(1, 1);
    set_ints(1, std::vector<int32_t>(10, 0));
    set_texts(1, {"curve"}, 5);
    send_state({.state_int4 = 1, .time_step = 1});

    usersub::exchange::UserModelArrays arrays;
    const long before = g_allocations;
    for (int k = 0; k < 201; ++k) {  // fills the plot buffer up to its thinning
        usersub::exchange::load_user_model_arrays(1, arrays);
        const double x = k;
        USERPLOTSTORE(&one, &one, "T", 1, "C", 1, "x", 1, "y", 1, &x, &x);
    }
    EXPECT_EQ(g_allocations, before);
    EXPECT_EQ(arrays.nint, 10);
}

}  // namespace
}  // namespace usersub::test
