// Loading user-model parameter records and pushing the run time, as a host
// does before it calls a user routine.
#pragma once

#include "usersub.h"

#include <cstdint>
#include <vector>

namespace usersub::test {

inline void allocate_models(int32_t n)
{
    ALLOCATE_USER_STRUCTURE(&n);
    ALLOCATE_USER_PLOT(&n);
}

inline void load_model(int32_t id, const std::vector<int32_t>& ints, const std::vector<double>& reals)
{
    const auto ni = static_cast<int32_t>(ints.size());
    const auto nr = static_cast<int32_t>(reals.size());
    LOAD_USER_INTARRAY(&id, &ni, ints.data());
    LOAD_USER_REALARRAY(&id, &nr, reals.data());
}

// Run state with plots stored and the simulation time t_s.
inline void set_time(double t_s, int32_t step = 1)
{
    const int32_t z = 0, on = 1, l = 0;
    const double r = 0.0;
    SEND_USER_STATE(&z, &z, &z, &on, &step, &z, &t_s, &r, &r, &l);
}

}  // namespace usersub::test
