// The per-call exchange routines allocate nothing: operator new is counted
// around repeated calls.
#include "exchange/user_models.h"
#include "support/allocation_counter.h"
#include "usermodels/model_setup.h"
#include "usersub.h"

#include <gtest/gtest.h>

#include <vector>

TEST(NoAllocation, FetchAndPlotStorePerCall)
{
    using namespace usersub::test;
    const int32_t one = 1;
    setup_models(1, 1);
    set_ints(1, std::vector<int32_t>(10, 0));
    set_texts(1, {"curve"}, 5);
    send_state({.state_int4 = 1, .time_step = 1});

    usersub::exchange::UserModelArrays arrays;
    const long before = allocation_count();
    for (int k = 0; k < 201; ++k) {  // fills the plot buffer up to its thinning
        usersub::exchange::load_user_model_arrays(1, arrays);
        const double x = k;
        USERPLOTSTORE(&one, &one, "T", 1, "C", 1, "x", 1, "y", 1, &x, &x);
    }
    EXPECT_EQ(allocation_count(), before);
    EXPECT_EQ(arrays.nint, 10);
}
