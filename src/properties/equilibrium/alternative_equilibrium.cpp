#include "properties/equilibrium/alternative_equilibrium.h"

#include <algorithm>

namespace usersub::properties {
namespace {

IterationCounters g_root60_counters;

const DriverVariant kEcpinz60Driver{.six_elements = false,        // C, H, O, N only
                                    .t_floor_K = 1800.0,
                                    .gibbs_available = false,
                                    .oxygen_test_on_element_mass = true,
                                    .ecp = &kEcp60Newton,         // fatal when it fails
                                    .root = &kRoot60Newton,
                                    .root_counters = &g_root60_counters,
                                    .carbon_warning_with_amounts = true};

}  // namespace

void ecpinz60(double mode, double t_K, double p_Pa, double* y) noexcept
{
    drive_equilibrium(kEcpinz60Driver, mode, t_K, p_Pa, y);
}

void ecp60(double p_Pa, double t_K, double n_C, double n_H, double n_O, double n_N,
           std::int32_t start) noexcept
{
    solve_products(kEcp60Newton, p_Pa, t_K, {n_C, n_H, n_O, n_N, 0.0, 0.0}, start);
}

void ecpinz60_b(double p_Pa, double t_K, double n_C, double n_H, double n_O, double n_N,
                std::int32_t start, std::int32_t& failure) noexcept
{
    const NewtonOutcome r = solve_products(kRoot60Newton, p_Pa, t_K, {n_C, n_H, n_O, n_N, 0.0, 0.0}, start);
    g_root60_counters.most = std::max(g_root60_counters.most, r.iterations);
    g_root60_counters.total += r.iterations;
    failure = r.converged ? 0 : 1;
}

const IterationCounters& ecpinz60_iteration_counters() noexcept { return g_root60_counters; }

}  // namespace usersub::properties
