// The per-call exchange routines allocate nothing: operator new is counted
// around repeated calls.
#include "exchange/user_models.h"
#include "usersub.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <new>

static long g_allocations = 0;

void* operator new(std::size_t size)
{
    ++g_allocations;
    if (void* p = std::malloc(size ? size : 1)) return p;
    throw std::bad_alloc();
}
void operator delete(void* p) noexcept { std::free(p); }
void operator delete(void* p, std::size_t) noexcept { std::free(p); }

TEST(NoAllocation, FetchAndPlotStorePerCall)
{
    const int32_t one = 1, ten = 10, z = 0, ints[10] = {};
    const double r = 0.0;
    int32_t ierr = 0;
    ALLOCATE_USER_STRUCTURE(&one);
    ALLOCATE_USER_PLOT(&one);
    LOAD_USER_INTARRAY(&one, &ten, ints);
    LOAD_USER_CHARARRAY(&one, &one, "curve", 5);
    LOAD_USER_PLOT(&one, &one, &one, &ierr);
    SEND_USER_STATE(&z, &z, &z, &one, &one, &z, &r, &r, &r, &z);

    usersub::exchange::UserModelArrays arrays;
    const long before = g_allocations;
    for (int k = 0; k < 201; ++k) {  // fills the plot buffer up to its thinning
        usersub::exchange::load_user_model_arrays(1, arrays);
        const double x = k;
        USERPLOTSTORE(&one, &one, "T", 1, "C", 1, "x", 1, "y", 1, &x, &x);
    }
    EXPECT_EQ(g_allocations, before);
    EXPECT_EQ(arrays.nint, 10);
}
