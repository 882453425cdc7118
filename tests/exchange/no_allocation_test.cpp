// The per-call exchange routines allocate nothing: operator new is counted
// around repeated calls.
#include "exchange/user_models.h"
#include "support/allocation_counter.h"
#include "usersub.h"

#include <gtest/gtest.h>

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
    const long before = usersub::test::allocation_count();
    for (int k = 0; k < 201; ++k) {  // fills the plot buffer up to its thinning
        usersub::exchange::load_user_model_arrays(1, arrays);
        const double x = k;
        USERPLOTSTORE(&one, &one, "T", 1, "C", 1, "x", 1, "y", 1, &x, &x);
    }
    EXPECT_EQ(usersub::test::allocation_count(), before);
    EXPECT_EQ(arrays.nint, 10);
}
