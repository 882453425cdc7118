// The per-call exchange routines allocate nothing: operator new is counted
// around repeated calls.
#include "exchange/user_models.h"
#include "usersub.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <new>

namespace {
long g_allocations = 0;
}

void* operator new(std::size_t size)
{
    ++g_allocations;
    if (void* p = std::malloc(size ? size : 1)) return p;
    throw std::bad_alloc();
}
void operator delete(void* p) noexcept { std::free(p); }
void operator delete(void* p, std::size_t) noexcept { std::free(p); }

namespace {

TEST(NoAllocation, FetchAndPlotStorePerCall)
{
    const int32_t n = 1, m = 1, ten = 10, one = 1;
    ALLOCATE_USER_STRUCTURE(&n);
    ALLOCATE_USER_PLOT(&n);
    const int32_t ints[10] = {};
    LOAD_USER_INTARRAY(&m, &ten, ints);
    LOAD_USER_CHARARRAY(&m, &one, "curve", 5);
    int32_t ierr = 0;
    LOAD_USER_PLOT(&m, &one, &one, &ierr);
    const int32_t z = 0, l = 0;
    const double r = 0.0;
    SEND_USER_STATE(&z, &z, &z, &one, &one, &z, &r, &r, &r, &l);

    usersub::exchange::UserModelArrays arrays;
    const long before = g_allocations;
    for (int k = 0; k < 500; ++k) {  // the first 201 points fill the buffer up to its thinning
        usersub::exchange::load_user_model_arrays(1, arrays);
        const double x = k;
        if (k < 201) USERPLOTSTORE(&m, &one, "T", 1, "C", 1, "x", 1, "y", 1, &x, &x);
    }
    EXPECT_EQ(g_allocations, before);
    EXPECT_EQ(arrays.nint, 10);
}

}  // namespace
