#include "properties/matrix_solve.h"
#include "properties/property_stubs.h"
#include "support/child.h"

#include <gtest/gtest.h>

#include <array>
#include <cmath>

namespace usersub::properties {
namespace {

using Solver = bool (*)(std::int32_t, std::int32_t, double*, double*) noexcept;
class MatrixSolve : public ::testing::TestWithParam<Solver> {};

TEST_P(MatrixSolve, SolvesThroughTheFullPivotSearch)
{
    const Solver solve = GetParam();
    // 3 x 3 stored by columns with leading dimension 4 (row 4 is padding and
    // stays as it is): x = (2, 3, -1) since 2*2 + 3 + 1 = 8, -6 - 3 - 2 = -11,
    // -4 + 3 - 2 = -3.
    std::array<double, 12> a{2, -3, -2, 99, 1, -1, 1, 99, -1, 2, 2, 99};
    std::array<double, 3> b{8, -11, -3};
    EXPECT_TRUE(solve(3, 4, a.data(), b.data()));
    for (int k = 0; k < 3; ++k) EXPECT_NEAR(b[k], (std::array{2.0, 3.0, -1.0})[k], 1e-14);
    EXPECT_EQ(a[3] + a[7] + a[11], 3 * 99.0);

    // [[1, 1], [1, 0.5]], all of the first pivot candidates tied in size: the
    // first met, (1, 1), wins and no columns are unscrambled, so A ends as the
    // plain inverse [[-1, 2], [2, -2]] (det -0.5). Starting from the tied
    // (2, 1) would leave it with its columns exchanged.
    std::array<double, 4> t{1, 1, 1, 0.5};
    std::array<double, 2> bt{3, 2};  // x + y = 3, x + y/2 = 2
    EXPECT_TRUE(solve(2, 2, t.data(), bt.data()));
    EXPECT_EQ(bt, (std::array<double, 2>{1, 2}));
    EXPECT_EQ(t, (std::array<double, 4>{-1, 2, 2, -2}));

    // Out of pivots (singular): return at once, nothing written, no division by 0.
    const std::string written = test::capture_stdout([&] {
        std::array<double, 9> zero{};
        std::array<double, 3> b0{1, 2, 3};
        EXPECT_FALSE(solve(3, 3, zero.data(), b0.data()));
        EXPECT_EQ(b0, (std::array<double, 3>{1, 2, 3}));
    });
    EXPECT_EQ(written, "");
}

// An order above the leading dimension would read past A: bounds diagnostic.
// A leading dimension above 1000 stops the run whatever the order; the second
// solver writes its message list-directed.
TEST_P(MatrixSolve, FatalPaths)
{
    const Solver solve = GetParam();
    auto r = test::run_in_child([&] {
        std::array<double, 4> a{1, 0, 0, 1};
        std::array<double, 3> b{1, 1, 1};
        solve(3, 1, a.data(), b.data());
    });
    EXPECT_EQ(r.exit_status, 1);
    EXPECT_NE(r.output.find("of array A "), std::string::npos) << r.output;
    const std::string message = std::string(solve == &matrix_solve_b ? " " : "") + "F*** MATRIX routine: mmx1 .gt. ipmax\n";
    for (std::int32_t n : {0, 2}) {
        double a = 1.0, b = 1.0;
        r = test::run_in_child([&] { solve(n, 1001, &a, &b); });
        EXPECT_EQ(r.exit_status, 1);
        EXPECT_EQ(r.output, message);
    }
}

INSTANTIATE_TEST_SUITE_P(BothSolvers, MatrixSolve,
                         ::testing::Values(&matrix_solve_a, &matrix_solve_b),
                         [](const auto& info) { return info.index == 0 ? "A" : "B"; });

TEST(PropertyStubs, RefrigerantStop)
{
    auto r = test::run_in_child([] { refrigerant_stub(); });
    EXPECT_EQ(r.exit_status, 1);
    EXPECT_EQ(r.output, "F*** FluidRefrigerant not allowed with user model\n");
}

}  // namespace
}  // namespace usersub::properties
