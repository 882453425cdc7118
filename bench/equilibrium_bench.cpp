// Cost of one equilibrium-products call (the inner cost of every equilibrium
// state): octane-air at 2400 K and 10 bar, stoichiometric (square-root solver)
// and lean (equilibrium-constant solver), from complete combustion (mode above
// 999) and from the products of the previous call. Both are timed in the same
// loop; the counter "previous_over_complete" is the ratio of their times.
#include "properties/equilibrium/equilibrium_driver.h"
#include "properties/species/species_table.h"
#include "support/species_fixture.h"

#include <benchmark/benchmark.h>

#include <chrono>
#include <vector>

namespace {

namespace fx = usersub::test::fx;

std::vector<double> octane_air(double phi)
{
    static const bool loaded = [] {
        usersub::test::load_species_fixture();
        const auto& st = usersub::properties::species_table();
        st.species_formula(1, fx::kC7H16Liquid) = 8.0;  // the fixture's liquid fuel as octane
        st.species_formula(2, fx::kC7H16Liquid) = 18.0;
        st.pmwt_inv(fx::kC7H16Liquid) = 1.0 / 114.22852;
        return true;
    }();
    (void)loaded;
    const double o2 = 12.5 / phi;
    const double mass = 114.22852 + o2 * 31.9988 + 3.76 * o2 * 28.0134;
    std::vector<double> y(fx::kNSpecies, 0.0);
    y[fx::kC7H16Liquid - 1] = 114.22852 / mass;
    y[fx::kO2 - 1] = o2 * 31.9988 / mass;
    y[fx::kN2 - 1] = 3.76 * o2 * 28.0134 / mass;
    return y;
}

void BM_EcpinzOctaneAir2400K10bar(benchmark::State& state)
{
    const double phi = static_cast<double>(state.range(0)) / 100.0;
    const std::vector<double> reactants = octane_air(phi);
    std::vector<double> products = reactants;
    usersub::properties::ecpinz(1000.0, 2400.0, 1e6, products.data());  // the previous products
    std::vector<double> y = reactants;
    using clock = std::chrono::steady_clock;
    clock::duration complete{};
    clock::duration previous{};
    for (auto _ : state) {
        y = reactants;
        const auto t0 = clock::now();
        usersub::properties::ecpinz(1000.0, 2400.0, 1e6, y.data());
        const auto t1 = clock::now();
        y = products;
        const auto t2 = clock::now();
        usersub::properties::ecpinz(0.0, 2400.0, 1e6, y.data());
        const auto t3 = clock::now();
        benchmark::DoNotOptimize(y.data());
        complete += t1 - t0;
        previous += t3 - t2;
    }
    const double n = static_cast<double>(state.iterations());
    state.counters["complete_us"] = std::chrono::duration<double, std::micro>(complete).count() / n;
    state.counters["previous_us"] = std::chrono::duration<double, std::micro>(previous).count() / n;
    state.counters["previous_over_complete"] =
        std::chrono::duration<double>(previous) / std::chrono::duration<double>(complete);
}
BENCHMARK(BM_EcpinzOctaneAir2400K10bar)->Arg(100)->Arg(80);  // phi x 100

}  // namespace
