#include "common/array.h"
#include "support/child.h"

#include <gtest/gtest.h>

namespace usersub {
namespace {

TEST(Array1, OneBasedAccessOverHostArrayAndStorage)
{
    double host[3] = {1.5, 2.5, 3.5};
    const Array1<double> a("HOSTARR", host, 3);
    EXPECT_EQ(a(1), 1.5);
    EXPECT_EQ(a(3), 3.5);
    a(2) = 9.0;
    EXPECT_EQ(host[1], 9.0);
    EXPECT_EQ(a.span(2, 3).size(), 2u);
    EXPECT_TRUE(a.span(3, 2).empty());  // an empty run is not checked

    const Array1<double> zero_based("Z", host, 3, 0);
    EXPECT_EQ(zero_based(0), 1.5);
    EXPECT_EQ(zero_based(2), 3.5);  // the upper bound is 2

    Storage<int, 1> s("STORE");
    s.assign({4}, -999);
    EXPECT_EQ(view1(s)(4), -999);
}

TEST(ArrayN, ColumnMajorWithFirstSubscriptFastest)
{
    Storage<int, 3> c("C3");
    c.assign({2, 3, 4}, 7, {0, 1, -1});
    c(1, 3, 2) = 5;
    // offset (1 - 0) + 2 ((3 - 1) + 3 (2 - -1)): first subscript fastest, from its lower bound
    EXPECT_EQ(c.data()[1 + 2 * (2 + 3 * 3)], 5);
    EXPECT_EQ(c.view()(0, 1, -1), 7);
}

// An out-of-range subscript writes one line naming array, subscript, value and
// bound, and ends the run with status 1.
TEST(BoundsDiagnostic, StopsTheRunWithTheViolatedBound)
{
    int data[4] = {};
    const Array1<int> a("INTPARM", data, 4);
    test::expect_child_stop([&] { (void)a(5); },
                            " Array bounds error: subscript 1 of array INTPARM has value 5, above its upper bound 4\n");

    Storage<double, 2> m("XDATA");
    m.assign({201, 2}, 0.0);
    test::expect_child_stop([&] { (void)m(1, 0); },
                            " Array bounds error: subscript 2 of array XDATA has value 0, below its lower bound 1\n");

    char buf[2 * 5];
    const TextArray<char> t("NAMES", buf, 5, 2);
    t.assign(1, "ab");
    t.assign(2, "abcdefgh");
    EXPECT_EQ(t(2), "abcde");
    test::expect_child_stop_mentioning([&] { (void)t(3); }, "array NAMES has value 3, above");
}

}  // namespace
}  // namespace usersub
