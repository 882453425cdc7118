// Cost of the fluid-state entry points on the tests' species set, as ratios
// in the same run against a bare NASA-9 loop over the same species (cp, h and
// the ideal-gas density of the mixture, powers of T formed once), and the
// equilibrium state in microseconds against a NASA CEA tp solve (about 80 us
// per solve on these machines, deck parsed per solve, thermo data cached).
#include "properties/species/species_table.h"
#include "support/species_fixture.h"
#include "usersub.h"

#include <benchmark/benchmark.h>

#include <array>
#include <chrono>
#include <cmath>
#include <vector>

namespace {

using usersub::test::fx::kNSpecies;
using Y = std::array<double, kNSpecies>;
namespace fx = usersub::test::fx;
constexpr double kCeaTpSolve_us = 80.0;

// Burnt gas of a lean flame: every product, some of them traces.
Y burnt_gas()
{
    Y y{};
    const double w[13] = {0.12, 0.05, 0.72, 0.0899, 1e-3, 5e-5, 1e-7, 1e-6, 2e-4, 1e-3, 1e-9, 0.0176, 0.0};
    double sum = 0.0;
    for (double v : w) sum += v;
    for (int k = 1; k <= 13; ++k) y[fx::product(k) - 1] = w[k - 1] / sum;
    return y;
}

void load_once()
{
    static bool done = false;
    if (done) return;
    done = true;
    usersub::test::load_species_fixture();
    // The slot of liquid n-heptane takes the formula and molecular weight of
    // n-octane: the equilibrium products depend on the atoms alone.
    const auto& st = usersub::properties::species_table();
    const double octane[6] = {8, 18, 0, 0, 0, 0};
    for (int e = 1; e <= 6; ++e) st.species_formula(e, fx::kC7H16Liquid) = octane[e - 1];
    st.pmwt(fx::kC7H16Liquid) = 114.22852;
    st.pmwt_inv(fx::kC7H16Liquid) = 1.0 / 114.22852;
}

// The reference: cp, h and rho of the mixture straight from the NASA-9
// polynomials of the species present.
struct NasaLoop {
    struct Species {
        double y, r;                   // mass fraction, gas constant J/(kg K)
        std::array<double, 9> a1, a2;  // ranges below and above 1000 K
    };
    std::vector<Species> species;

    explicit NasaLoop(const Y& y)
    {
        const char* names[kNSpecies] = {"N2", "O2", "CH4", nullptr, nullptr, "CO2", "H2O", "N2", "O2",
                                        "CO", "H2", "H",   "O",     "OH",    "NO",  "N",   "Ar", "SO2"};
        for (int i = 0; i < kNSpecies; ++i) {
            if (y[i] < 1e-8) continue;
            const auto& s = usersub::test::nasa9(names[i]);
            Species sp{y[i], 8314.3 / s.mw, {}, {}};
            for (int j = 0; j < 9; ++j) {
                sp.a1[j] = s.ranges[0][j + 2];
                sp.a2[j] = s.ranges[1][j + 2];
            }
            species.push_back(sp);
        }
    }

    void operator()(double t, double p, double& rho, double& h, double& cp) const
    {
        const double ti = 1.0 / t, ti2 = ti * ti, t2 = t * t, t3 = t2 * t, t4 = t3 * t, lt = std::log(t);
        double r = 0.0;
        h = cp = 0.0;
        for (const Species& s : species) {
            const auto& a = t <= 1000.0 ? s.a1 : s.a2;
            cp += s.y * s.r * (a[0] * ti2 + a[1] * ti + a[2] + a[3] * t + a[4] * t2 + a[5] * t3 + a[6] * t4);
            h += s.y * s.r *
                 (-a[0] * ti + a[1] * lt + a[2] * t + a[3] * t2 / 2 + a[4] * t3 / 3 + a[5] * t4 / 4 + a[6] * t4 * t / 5 +
                  a[7]);
            r += s.y * s.r;
        }
        rho = p / (r * t);
    }
};

// Seconds per call of f, the least of several timed batches.
template <class F>
double seconds_per_call(F&& f)
{
    double best = 1e9;
    for (int rep = 0; rep < 7; ++rep) {
        const auto t0 = std::chrono::steady_clock::now();
        for (int k = 0; k < 2000; ++k) f(k);
        const std::chrono::duration<double> d = std::chrono::steady_clock::now() - t0;
        best = std::min(best, d.count() / 2000);
    }
    return best;
}

double nasa_loop_seconds(const Y& y)
{
    const NasaLoop loop(y);
    return seconds_per_call([&](int k) {
        double rho, h, cp;
        loop(1500.0 + 0.01 * k, 5.0e5, rho, h, cp);
        benchmark::DoNotOptimize(rho + h + cp);
    });
}

void BM_ZalthrmTP(benchmark::State& state)
{
    load_once();
    const Y y0 = burnt_gas();
    Y y = y0;
    const auto call = [&](int k) {
        const double t = 1500.0 + 0.01 * k, p = 5.0e5;
        double rho, e, h, cp, cv;
        ZALTHRM_TP(&t, &p, y.data(), &rho, &e, &h, &cp, &cv);
        benchmark::DoNotOptimize(rho + e + h + cp + cv);
    };
    int k = 0;
    for (auto _ : state) call(++k % 2000);
    state.counters["x_nasa_loop"] = seconds_per_call(call) / nasa_loop_seconds(y0);
}
BENCHMARK(BM_ZalthrmTP);

// From density and energy, the start values 3 % off in T and P.
void BM_ZalthrmRE(benchmark::State& state)
{
    load_once();
    const Y y0 = burnt_gas();
    Y y = y0;
    double rho, e, h, cp, cv;
    const double t_ref = 1500.0, p_ref = 5.0e5;
    ZALTHRM_TP(&t_ref, &p_ref, y.data(), &rho, &e, &h, &cp, &cv);
    const auto call = [&](int k) {
        double t = t_ref * (1.03 + 1e-5 * (k % 50)), p = p_ref * 0.97;
        ZALTHRM_RE(&rho, &e, y.data(), &t, &p, &h, &cp, &cv);
        benchmark::DoNotOptimize(t + p + h + cp + cv);
    };
    int k = 0;
    for (auto _ : state) call(++k);
    state.counters["x_nasa_loop"] = seconds_per_call(call) / nasa_loop_seconds(y0);
}
BENCHMARK(BM_ZalthrmRE);

// Stoichiometric n-octane in air at 2400 K and 10 bar, from the reactants
// every call.
void BM_ZalthrmTPEq(benchmark::State& state)
{
    load_once();
    Y reactants{};
    const double fuel_per_air = 114.22852 / (12.5 * 31.9988 / 0.233);
    reactants[fx::kC7H16Liquid - 1] = fuel_per_air / (1 + fuel_per_air);
    reactants[fx::kO2 - 1] = 0.233 / (1 + fuel_per_air);
    reactants[fx::kN2 - 1] = 0.767 / (1 + fuel_per_air);
    const auto call = [&](int) {
        Y y = reactants;
        const double t = 2400.0, p = 1.0e6;
        double rho, e, h, cp, cv;
        ZALTHRM_TP_EQ(&t, &p, y.data(), &rho, &e, &h, &cp, &cv);
        benchmark::DoNotOptimize(rho + e + h + cp + cv);
    };
    for (auto _ : state) call(0);
    const double us = seconds_per_call(call) * 1e6;
    state.counters["us_per_state"] = us;
    state.counters["x_faster_than_cea"] = kCeaTpSolve_us / us;
}
BENCHMARK(BM_ZalthrmTPEq);

}  // namespace
