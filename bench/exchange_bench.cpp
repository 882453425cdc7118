// Per-call cost of the two exchange routines every user model calls each step.
#include "exchange/user_models.h"
#include "usersub.h"

#include <benchmark/benchmark.h>

namespace {

void setup_once()
{
    static bool done = false;
    if (done) return;
    done = true;
    const int32_t n = 1, m = 1, ten = 10;
    ALLOCATE_USER_STRUCTURE(&n);
    ALLOCATE_USER_PLOT(&n);
    const int32_t ints[10] = {};
    const double reals[10] = {};
    LOAD_USER_INTARRAY(&m, &ten, ints);
    LOAD_USER_REALARRAY(&m, &ten, reals);
    LOAD_USER_CHARARRAY(&m, &n, "curve", 5);
    const int32_t status = 1;
    int32_t ierr = 0;
    LOAD_USER_PLOT(&m, &n, &status, &ierr);
    const int32_t z = 0, one = 1, l = 0;
    const double r = 0.0;
    SEND_USER_STATE(&z, &z, &z, &one, &one, &z, &r, &r, &r, &l);
}

void BM_LoadUserModelArrays(benchmark::State& state)
{
    setup_once();
    usersub::exchange::UserModelArrays arrays;
    for (auto _ : state) {
        usersub::exchange::load_user_model_arrays(1, arrays);
        benchmark::DoNotOptimize(arrays);
    }
}
BENCHMARK(BM_LoadUserModelArrays);

void BM_UserPlotStore(benchmark::State& state)
{
    setup_once();
    const int32_t m = 1, plot = 1;
    double x = 0.0;
    for (auto _ : state) {
        x += 1.0;
        USERPLOTSTORE(&m, &plot, "Title", 5, "Curve", 5, "x", 1, "y", 1, &x, &x);
    }
}
BENCHMARK(BM_UserPlotStore);

}  // namespace
