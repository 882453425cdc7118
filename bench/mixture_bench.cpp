// Cost of one frozen-composition mixture evaluation on the realistic
// composition of nasa9_reference.h, NASA polynomials, 1200 K and 5 bar, as a
// ratio to the bare NASA-9 loop over the same species in the same run (the
// counter x_nasa_loop).
#include "nasa9_reference.h"
#include "properties/mixture/propmix.h"
#include "support/species_fixture.h"

#include <benchmark/benchmark.h>

namespace {

namespace ub = usersub::bench;
namespace up = usersub::properties;

void BM_PropmixFrozenNasa9(benchmark::State& state)
{
    usersub::test::load_species_fixture();
    const ub::Composition y0 = ub::realistic_composition();
    ub::Composition y = y0;
    const ub::Nasa9Reference reference(y0.data());
    const up::MixtureRequest rq{};
    std::int32_t flag = 0;
    up::MixtureProps out;
    constexpr double t0_K = 1200.0, p_Pa = 5e5;

    const auto mixture = [&](int k) {
        up::propmix(rq, flag, ub::batch_temperature(t0_K, k), p_Pa, y.data(), out);
        benchmark::DoNotOptimize(out);
    };

    mixture(0);
    const ub::Nasa9Sums s = reference(t0_K, p_Pa);
    if (ub::rel_diff(out.h_J_kg, s.h_J_kg) > 1e-9 || ub::rel_diff(out.cp_J_kgK, s.cp_J_kgK) > 1e-9 ||
        ub::rel_diff(out.rho_kg_m3, s.rho_kg_m3) > 1e-9)
        state.SkipWithError("the mixture routine and the reference loop disagree");

    int k = 0;
    for (auto _ : state) mixture(++k % 2000);
    const ub::PerCall c = ub::time_against(mixture, ub::reference_calls(reference, t0_K, p_Pa));
    state.counters["propmix_ns"] = c.subject_s * 1e9;
    state.counters["bare_ns"] = c.reference_s * 1e9;
    state.counters["x_nasa_loop"] = c.ratio();
    state.counters["species"] = static_cast<double>(reference.species_count());
}
BENCHMARK(BM_PropmixFrozenNasa9);

}  // namespace
