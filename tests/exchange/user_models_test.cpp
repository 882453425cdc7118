#include "exchange/user_models.h"
#include "support/child.h"
#include "usersub.h"

#include <gtest/gtest.h>

#include <string>

namespace usersub::exchange {
namespace {

TEST(UserModels, CountsFillValuesAndReloads)
{
    const int32_t n = 2, m1 = 1, m2 = 2, one = 1, two = 2, three = 3, four = 4, neg = -3;
    ALLOCATE_USER_STRUCTURE(&n);
    const int32_t ints[] = {4, 5, 6};
    const double reals[] = {1.5, 2.5, 3.5};
    LOAD_USER_INTARRAY(&m1, &three, ints);
    LOAD_USER_REALARRAY(&m1, &three, reals);
    LOAD_USER_REALARRAY(&m1, &one, reals + 2);  // a reload replaces the array
    ALLOCATE_USER_RLTARRAY(&m1, &four);
    SETUSERRLTVALUE(&m1, &two, reals);
    LOAD_USER_INTARRAY(&m2, &neg, ints);  // a negative count gives an empty array

    UserModelArrays a;
    load_user_model_arrays(1, a);
    EXPECT_EQ(a.nint, 3);
    EXPECT_EQ(a.intparm(3), 6);
    EXPECT_EQ(a.nreal, 1);
    EXPECT_EQ(a.realparm(1), 3.5);
    EXPECT_EQ(a.nchar, 0);  // never loaded
    ASSERT_EQ(a.nrlt, 4);
    EXPECT_EQ(a.rltarray(2), 2.5);
    EXPECT_EQ(a.rltarray(3), -1e20);
    // Fresh records, and identifiers below 1, give zero counts and empty views.
    for (int id : {2, 0, -4}) {
        load_user_model_arrays(id, a);
        EXPECT_EQ(a.nint + a.nreal + a.nchar + a.nrlt, 0) << id;
        EXPECT_TRUE(a.intparm.empty() && a.realparm.empty() && a.rltarray.empty()) << id;
        EXPECT_EQ(a.charparm.size(), 0) << id;
    }
}

TEST(UserModels, TextsAreCutOrPaddedTo132)
{
    const int32_t n = 1, m = 1, two = 2;
    ALLOCATE_USER_STRUCTURE(&n);
    const std::string longs = std::string(200, 'a') + std::string(200, 'b');
    LOAD_USER_CHARARRAY(&m, &two, longs.data(), 200);
    UserModelArrays a;
    load_user_model_arrays(1, a);
    ASSERT_EQ(a.nchar, 2);
    EXPECT_EQ(a.charparm(2), std::string(132, 'b'));

    LOAD_USER_CHARARRAY(&m, &two, "0123456789abcdefghij", 10);
    load_user_model_arrays(1, a);
    EXPECT_EQ(a.charparm(1), "0123456789" + std::string(122, ' '));
    EXPECT_EQ(a.charparm(2), "abcdefghij" + std::string(122, ' '));

    // The exported fetch describes the record's own arrays to the host.
    int32_t nint = -1, nreal = -1, nchar = -1, nrlt = -1;
    usersub_array_view vi, vr, vc, vt;
    LOAD_USER_MODEL_ARRAYS(&m, &nint, &nreal, &nchar, &nrlt, &vi, &vr, &vc, &vt);
    EXPECT_EQ(nint + nreal + nrlt, 0);
    EXPECT_EQ(nchar, 2);
    EXPECT_EQ(vi.base, 0);  // an empty array has no data
    EXPECT_EQ(vc.extent, 2);
    EXPECT_EQ(vc.elem_len, 132);
    EXPECT_EQ(vc.stride, 132);
    EXPECT_EQ(vc.base, reinterpret_cast<intptr_t>(a.charparm.data()));
}

// Indices the host gets wrong never reach memory outside the table.
TEST(UserModels, OutOfRangeHostIndicesStopTheRun)
{
    const int32_t n = 2;
    ALLOCATE_USER_STRUCTURE(&n);
    auto model = test::run_in_child([] {
        const int32_t m = 3, k = 1, v = 5;
        LOAD_USER_INTARRAY(&m, &k, &v);
    });
    EXPECT_EQ(model.exit_status, 1);
    EXPECT_EQ(model.output, " Array bounds error: subscript 1 of array USER_MODEL_TABLE has value 3, "
                            "above its upper bound 2\n");

    auto rlt = test::run_in_child([] {
        const int32_t m = 1, two = 2, three = 3;
        ALLOCATE_USER_RLTARRAY(&m, &two);
        const double v[3] = {};
        SETUSERRLTVALUE(&m, &three, v);
    });
    EXPECT_EQ(rlt.exit_status, 1);
    EXPECT_NE(rlt.output.find("array RLTARRAY has value 3, above its upper bound 2"), std::string::npos);

    auto twice = test::run_in_child([&] { ALLOCATE_USER_STRUCTURE(&n); });
    EXPECT_EQ(twice.exit_status, 1);
    EXPECT_EQ(twice.output, " Allocation error: USER_MODEL_TABLE is already allocated\n");
}

}  // namespace
}  // namespace usersub::exchange
