#include "exchange/user_models.h"
#include "support/child.h"
#include "usersub.h"

#include <gtest/gtest.h>

#include <string>

namespace usersub::exchange {
namespace {

TEST(UserModels, FreshRecordsAndIdentifiersBelowOneGiveEmptyArrays)
{
    const int32_t n = 3;
    ALLOCATE_USER_STRUCTURE(&n);
    for (int id : {0, -4, 2}) {
        UserModelArrays a;
        load_user_model_arrays(id, a);
        EXPECT_EQ(a.nint + a.nreal + a.nchar + a.nrlt, 0) << id;
        EXPECT_TRUE(a.intparm.empty() && a.realparm.empty() && a.rltarray.empty());
        EXPECT_EQ(a.charparm.size(), 0);
    }
}

TEST(UserModels, LoadersFillCountAndReplace)
{
    const int32_t n = 2, m1 = 1, m2 = 2;
    ALLOCATE_USER_STRUCTURE(&n);
    const int32_t ints[] = {4, 5, 6};
    const int32_t three = 3;
    LOAD_USER_INTARRAY(&m1, &three, ints);
    const double reals[] = {1.5, 2.5, 3.5};
    LOAD_USER_REALARRAY(&m1, &three, reals);
    const int32_t one = 1;
    LOAD_USER_REALARRAY(&m1, &one, reals + 2);  // a reload replaces the array
    const int32_t neg = -3;
    LOAD_USER_INTARRAY(&m2, &neg, ints);

    UserModelArrays a;
    load_user_model_arrays(1, a);
    EXPECT_EQ(a.nint, 3);
    EXPECT_EQ(a.intparm(3), 6);
    EXPECT_EQ(a.nreal, 1);
    EXPECT_EQ(a.realparm(1), 3.5);
    EXPECT_EQ(a.nchar, 0);  // never loaded
    load_user_model_arrays(2, a);
    EXPECT_EQ(a.nint, 0);   // a negative count gives an empty array
    EXPECT_TRUE(a.intparm.empty());
    // A view reads the record in place: no copy.
    load_user_model_arrays(1, a);
    const double* before = a.realparm.data();
    UserModelArrays b;
    load_user_model_arrays(1, b);
    EXPECT_EQ(b.realparm.data(), before);
}

TEST(UserModels, TextsAreCutOrPaddedTo132)
{
    const int32_t n = 1, m = 1, two = 2;
    ALLOCATE_USER_STRUCTURE(&n);
    std::string longs = std::string(200, 'a') + std::string(200, 'b');
    LOAD_USER_CHARARRAY(&m, &two, longs.data(), 200);
    UserModelArrays a;
    load_user_model_arrays(1, a);
    ASSERT_EQ(a.nchar, 2);
    EXPECT_EQ(a.charparm(1), std::string(132, 'a'));
    EXPECT_EQ(a.charparm(2), std::string(132, 'b'));

    const std::string shorts = "0123456789abcdefghij";
    LOAD_USER_CHARARRAY(&m, &two, shorts.data(), 10);
    load_user_model_arrays(1, a);
    EXPECT_EQ(a.charparm(1), "0123456789" + std::string(122, ' '));
    EXPECT_EQ(a.charparm(2), "abcdefghij" + std::string(122, ' '));
}

TEST(UserModels, ResultArrayStartsAtMinus1e20AndIsSetInPlace)
{
    const int32_t n = 1, m = 1, four = 4, two = 2, zero = 0;
    ALLOCATE_USER_STRUCTURE(&n);
    ALLOCATE_USER_RLTARRAY(&m, &four);
    const double v[] = {7.0, 8.0};
    SETUSERRLTVALUE(&m, &two, v);
    SETUSERRLTVALUE(&m, &zero, nullptr);  // n < 1: nothing
    UserModelArrays a;
    load_user_model_arrays(1, a);
    ASSERT_EQ(a.nrlt, 4);
    EXPECT_EQ(a.rltarray(1), 7.0);
    EXPECT_EQ(a.rltarray(2), 8.0);
    EXPECT_EQ(a.rltarray(3), -1e20);
    EXPECT_EQ(a.rltarray(4), -1e20);
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

TEST(UserModels, ExportedFetchHandsArrayViews)
{
    const int32_t n = 1, m = 1, two = 2;
    ALLOCATE_USER_STRUCTURE(&n);
    const double reals[] = {1.0, 2.0};
    LOAD_USER_REALARRAY(&m, &two, reals);
    LOAD_USER_CHARARRAY(&m, &two, "ab", 1);
    int32_t nint = -1, nreal = -1, nchar = -1, nrlt = -1;
    usersub_array_view vi, vr, vc, vt;
    LOAD_USER_MODEL_ARRAYS(&m, &nint, &nreal, &nchar, &nrlt, &vi, &vr, &vc, &vt);
    EXPECT_EQ(nint, 0);
    EXPECT_EQ(nreal, 2);
    EXPECT_EQ(nchar, 2);
    EXPECT_EQ(nrlt, 0);
    EXPECT_EQ(vi.base, 0);
    EXPECT_EQ(vi.extent, 0);
    EXPECT_EQ(vr.extent, 2);
    EXPECT_EQ(vr.elem_len, 8);
    EXPECT_EQ(vr.stride, 8);
    EXPECT_EQ(vr.lower, 1);
    EXPECT_EQ(vr.rank, 1);
    EXPECT_EQ(vr.flags & 2, 2);
    EXPECT_EQ(reinterpret_cast<const double*>(vr.base)[1], 2.0);
    EXPECT_EQ(vc.elem_len, 132);
    EXPECT_EQ(reinterpret_cast<const char*>(vc.base)[132], 'b');
}

}  // namespace
}  // namespace usersub::exchange
