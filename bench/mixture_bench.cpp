// Cost of one frozen-composition mixture evaluation on the test species set:
// air and methane with every product species present (majors, minors and
// traces), NASA polynomials, 1200 K and 5 bar. The reference is a bare loop
// over the same species' NASA 9-coefficient cp and h, written here, with the
// powers of T formed once; both are timed in the same loop and the counter
// "propmix_over_bare" is the ratio of their times.
#include "properties/mixture/propmix.h"
#include "properties/species/product_species.h"
#include "properties/species/species_table.h"
#include "support/species_fixture.h"

#include <benchmark/benchmark.h>

#include <chrono>
#include <cmath>
#include <vector>

namespace {

namespace fx = usersub::test::fx;
namespace up = usersub::properties;

std::vector<double> burnt_with_reactants()
{
    std::vector<double> y(fx::kNSpecies, 0.0);
    y[fx::kN2 - 1] = 0.40;
    y[fx::kO2 - 1] = 0.05;
    y[fx::kCH4 - 1] = 0.01;
    const double products[13] = {0.08,   0.06,   0.38,   0.015,  4e-3, 2e-4, 3e-6,
                                 2e-5,   8e-5,   1.5e-3, 6e-7,   4e-3, 2e-7};  // CO2 .. SO2
    double sum = 0.46;
    for (int k = 1; k <= 13; ++k) sum += products[k - 1];
    for (int k = 1; k <= 13; ++k) y[static_cast<std::size_t>(fx::product(k) - 1)] = products[k - 1] / sum;
    for (int i = 0; i < 3; ++i) y[static_cast<std::size_t>(i)] /= sum;
    return y;
}

struct BareSums {
    double h = 0.0;
    double cp = 0.0;
    double v = 0.0;
};

// The same species' NASA cp and h, set chosen by T, summed with their mass fractions.
BareSums bare_nasa9_loop(const double* y, double t, double p)
{
    const auto& tab = up::species_table();
    const auto& prod = up::product_species();
    const double ti = 1.0 / t;
    const double pw[8] = {ti * ti, ti, 1.0, t, t * t, t * t * t, t * t * t * t, std::log(t)};
    BareSums s;
    const auto add = [&](const double* a, std::ptrdiff_t stride, double r, double yi) {
        const double cp_R = a[0] * pw[0] + a[stride] * pw[1] + a[2 * stride] + a[3 * stride] * pw[3] +
                            a[4 * stride] * pw[4] + a[5 * stride] * pw[5] + a[6 * stride] * pw[6];
        const double h_R = -a[0] * pw[1] + a[stride] * pw[7] + a[2 * stride] * t + a[3 * stride] * pw[4] * 0.5 +
                           a[4 * stride] * pw[5] / 3.0 + a[5 * stride] * pw[6] * 0.25 +
                           a[6 * stride] * pw[6] * t * 0.2 + a[7 * stride];
        s.h += yi * r * h_R;
        s.cp += yi * r * cp_R;
        s.v += yi * r * t / p;
    };
    for (int i = 1; i <= tab.props_scalar_3; ++i) {
        if (tab.iproptyp(i) != 1 || y[i - 1] < 1e-8) continue;
        const int set = t <= tab.thermo_tbreak(i) ? 1 : (t <= tab.species_tmax(i) ? 2 : 3);
        add(&tab.thermo_coef(set, 1, i), 3, 8314.3 * tab.pmwt_inv(i), y[i - 1]);
    }
    for (int i = tab.props_scalar_2; i <= tab.nspecies; ++i) {
        if (y[i - 1] < 1e-8) continue;
        const int k = i - tab.props_scalar_3;
        add(&prod.prod_nasa9(t > tab.thermo_tbreak(i) ? 2 : 1, 1, k), 2, 8314.3 * prod.prod_mw_inv(k), y[i - 1]);
    }
    return s;
}

void BM_PropmixFrozenNasa9(benchmark::State& state)
{
    usersub::test::load_species_fixture();
    const std::vector<double> y0 = burnt_with_reactants();
    std::vector<double> y = y0;
    const up::MixtureRequest rq{};
    up::MixtureProps out;
    std::int32_t flag = 0;
    using clock = std::chrono::steady_clock;
    clock::duration mixture{};
    clock::duration bare{};
    constexpr int kCalls = 64;  // per timed block, so that the clock's cost stays small
    double t = 1200.0;
    for (auto _ : state) {
        const auto t0 = clock::now();
        for (int n = 0; n < kCalls; ++n) {
            up::propmix(rq, flag, t + n, 5e5, y.data(), out);
            benchmark::DoNotOptimize(out);
        }
        const auto t1 = clock::now();
        for (int n = 0; n < kCalls; ++n) {
            BareSums s = bare_nasa9_loop(y.data(), t + n, 5e5);
            benchmark::DoNotOptimize(s);
        }
        const auto t2 = clock::now();
        mixture += t1 - t0;
        bare += t2 - t1;
    }
    const double calls = static_cast<double>(state.iterations()) * kCalls;
    state.counters["propmix_ns"] = std::chrono::duration<double, std::nano>(mixture).count() / calls;
    state.counters["bare_ns"] = std::chrono::duration<double, std::nano>(bare).count() / calls;
    state.counters["propmix_over_bare"] = std::chrono::duration<double>(mixture) / std::chrono::duration<double>(bare);
}
BENCHMARK(BM_PropmixFrozenNasa9);

}  // namespace
