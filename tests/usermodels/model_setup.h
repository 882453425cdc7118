// Parameter records and run time as a host sets them before it calls a user routine.
#pragma once

#include "usersub.h"

#include <vector>

namespace usersub::test {

inline void allocate_models(int32_t n)
{
    ALLOCATE_USER_STRUCTURE(&n);
    ALLOCATE_USER_PLOT(&n);
}

inline void load_model(int32_t id, const std::vector<int32_t>& ints, const std::vector<double>& reals)
{
    const auto ni = static_cast<int32_t>(ints.size()), nr = static_cast<int32_t>(reals.size());
    LOAD_USER_INTARRAY(&id, &ni, ints.data());
    LOAD_USER_REALARRAY(&id, &nr, reals.data());
}

// Run state with plot storage on and simulation time t_s.
inline void set_time(double t_s)
{
    const int32_t z = 0, on = 1, step = 1;
    const double r = 0.0;
    SEND_USER_STATE(&z, &z, &z, &on, &step, &z, &t_s, &r, &r, &z);
}

}  // namespace usersub::test
