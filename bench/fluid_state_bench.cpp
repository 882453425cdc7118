// Cost of the fluid-state entry points on the realistic composition of
// nasa9_reference.h, as ratios in the same run against the bare NASA-9 loop
// over the same species, and the equilibrium state in microseconds against a
// NASA CEA tp solve (about 80 us per solve on these machines, deck parsed per
// solve, thermo data cached). Built together with mixture_bench.cpp, so that
// one run gives the mixture routine's ratio too.
#include "nasa9_reference.h"
#include "support/fixture_gases.h"
#include "usersub.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <vector>

namespace {

namespace fx = usersub::test::fx;
namespace ub = usersub::bench;
constexpr double kCeaTpSolve_us = 80.0;

void load_set()
{
    usersub::test::load_species_fixture();
    usersub::test::octane_in_heptane_slot();
}

bool agrees(double rho, double h, double cp, const ub::Nasa9Sums& s)
{
    return ub::rel_diff(rho, s.rho_kg_m3) < 1e-9 && ub::rel_diff(h, s.h_J_kg) < 1e-9 &&
           ub::rel_diff(cp, s.cp_J_kgK) < 1e-9;
}

void BM_ZalthrmTP(benchmark::State& state)
{
    load_set();
    const ub::Composition y0 = ub::realistic_composition();
    ub::Composition y = y0;
    const ub::Nasa9Reference reference(y0.data());
    const double t0 = 1500.0, p = 5.0e5;
    double rho, e, h, cp, cv;
    const auto call = [&](int k) {
        const double t = ub::batch_temperature(t0, k);
        ZALTHRM_TP(&t, &p, y.data(), &rho, &e, &h, &cp, &cv);
        benchmark::DoNotOptimize(rho + e + h + cp + cv);
    };
    call(0);
    if (!agrees(rho, h, cp, reference(t0, p))) state.SkipWithError("the state and the reference loop disagree");
    int k = 0;
    for (auto _ : state) call(++k % 2000);
    const ub::PerCall c = ub::time_against(call, ub::reference_calls(reference, t0, p));
    state.counters["bare_ns"] = c.reference_s * 1e9;
    state.counters["x_nasa_loop"] = c.ratio();
}
BENCHMARK(BM_ZalthrmTP);

// From density and energy, the start values 3 % off in T and P.
void BM_ZalthrmRE(benchmark::State& state)
{
    load_set();
    const ub::Composition y0 = ub::realistic_composition();
    ub::Composition y = y0;
    const ub::Nasa9Reference reference(y0.data());
    double rho, e, h, cp, cv;
    const double t_ref = 1500.0, p_ref = 5.0e5;
    ZALTHRM_TP(&t_ref, &p_ref, y.data(), &rho, &e, &h, &cp, &cv);
    double t = 0.0, p = 0.0;
    const auto call = [&](int k) {
        t = t_ref * (1.03 + 1e-5 * (k % 50));
        p = p_ref * 0.97;
        ZALTHRM_RE(&rho, &e, y.data(), &t, &p, &h, &cp, &cv);
        benchmark::DoNotOptimize(t + p + h + cp + cv);
    };
    call(0);
    if (!(std::fabs(t - t_ref) < 1.0 && std::fabs(p - p_ref) < 1e-3 * p_ref))
        state.SkipWithError("the density-energy state missed the temperature and pressure");
    int k = 0;
    for (auto _ : state) call(++k);
    const ub::PerCall c = ub::time_against(call, ub::reference_calls(reference, t_ref, p_ref));
    state.counters["bare_ns"] = c.reference_s * 1e9;
    state.counters["x_nasa_loop"] = c.ratio();
}
BENCHMARK(BM_ZalthrmRE);

// Stoichiometric n-octane in air at 2400 K and 10 bar, from the reactants
// every call.
void BM_ZalthrmTPEq(benchmark::State& state)
{
    load_set();
    const ub::Composition reactants = usersub::test::fuel_air(fx::kC7H16Liquid, 114.22852, 12.5, 1.0);
    const auto call = [&](int) {
        ub::Composition y = reactants;
        const double t = 2400.0, p = 1.0e6;
        double rho, e, h, cp, cv;
        ZALTHRM_TP_EQ(&t, &p, y.data(), &rho, &e, &h, &cp, &cv);
        benchmark::DoNotOptimize(rho + e + h + cp + cv);
    };
    for (auto _ : state) call(0);
    const ub::PerCall c = ub::time_against(call, [](int) {}, 200, 7);
    const double us = c.subject_s * 1e6;
    state.counters["us_per_state"] = us;
    state.counters["x_faster_than_cea"] = kCeaTpSolve_us / us;
}
BENCHMARK(BM_ZalthrmTPEq);

}  // namespace
