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

// Column-major storage of a small matrix given row by row.
template <std::size_t Rows, std::size_t Cols>
std::array<double, Rows * Cols> by_columns(const double (&rows)[Rows][Cols])
{
    std::array<double, Rows * Cols> a{};
    for (std::size_t i = 0; i < Rows; ++i)
        for (std::size_t j = 0; j < Cols; ++j) a[i + j * Rows] = rows[i][j];
    return a;
}

TEST_P(MatrixSolve, SolvesSmallSystemsThroughTheFullPivotSearch)
{
    const Solver solve = GetParam();

    // 3 x 3 in a leading dimension of 4; x = (2, 3, -1) by substitution:
    // 2*2 + 3 - (-1) = 8, -3*2 - 3 + 2*(-1) = -11, -2*2 + 3 + 2*(-1) = -3.
    // The fourth row is padding and must stay as it is.
    auto a = by_columns<4, 3>({{2, 1, -1}, {-3, -1, 2}, {-2, 1, 2}, {99, 99, 99}});
    std::array<double, 3> b{8, -11, -3};
    EXPECT_TRUE(solve(3, 4, a.data(), b.data()));
    EXPECT_NEAR(b[0], 2.0, 1e-14);
    EXPECT_NEAR(b[1], 3.0, 1e-14);
    EXPECT_NEAR(b[2], -1.0, 1e-14);
    EXPECT_EQ(a[3], 99.0);
    EXPECT_EQ(a[7], 99.0);
    EXPECT_EQ(a[11], 99.0);

    // Zero first diagonal element: 2 y = 4, 3 x + y = 5 gives y = 2, x = 1.
    auto z = by_columns<2, 2>({{0, 2}, {3, 1}});
    std::array<double, 2> bz{4, 5};
    EXPECT_TRUE(solve(2, 2, z.data(), bz.data()));
    EXPECT_DOUBLE_EQ(bz[0], 1.0);
    EXPECT_DOUBLE_EQ(bz[1], 2.0);

    // Order 1: b / a.
    double one = 4.0;
    double rhs = 10.0;
    EXPECT_TRUE(solve(1, 1, &one, &rhs));
    EXPECT_DOUBLE_EQ(rhs, 2.5);

    // Order 5, diagonally weak and needing row exchanges: solution (1, -2, 3, 0.5, -1).
    // Right-hand sides by hand: row1 0*1 + 1*(-2) + 2*3 + 0 + 1*(-1) = 3,
    // row2 1 + 0 + 0 + 4*0.5 + 0 = 3, row3 3*1 + 1*(-2) + 0 + 0 + 2*(-1) = -1,
    // row4 0 + 0 + 1*3 + 0 + 5*(-1) = -2, row5 2*1 + 0 + 1*3 + 1*0.5 + 0 = 5.5.
    auto f = by_columns<5, 5>({{0, 1, 2, 0, 1},
                               {1, 0, 0, 4, 0},
                               {3, 1, 0, 0, 2},
                               {0, 0, 1, 0, 5},
                               {2, 0, 1, 1, 0}});
    std::array<double, 5> bf{3, 3, -1, -2, 5.5};
    EXPECT_TRUE(solve(5, 5, f.data(), bf.data()));
    const double expected[5] = {1, -2, 3, 0.5, -1};
    for (int i = 0; i < 5; ++i) EXPECT_NEAR(bf[i], expected[i], 1e-13) << "x" << i + 1;
}

// With all of A tied in size, the first element met (row 1, column 1) is the
// first pivot, and no columns are unscrambled afterwards: A ends as the
// plain inverse of [[1, 1], [1, 0.5]], which is [[-1, 2], [2, -2]] (det -0.5).
// Picking the tied (2, 1) first would leave the inverse with its columns
// exchanged, [[2, -1], [-2, 2]].
TEST_P(MatrixSolve, FirstOfTiedPivotsWins)
{
    auto a = by_columns<2, 2>({{1, 1}, {1, 0.5}});
    std::array<double, 2> b{3, 2};  // x + y = 3, x + y/2 = 2: x = 1, y = 2
    EXPECT_TRUE(GetParam()(2, 2, a.data(), b.data()));
    EXPECT_DOUBLE_EQ(b[0], 1.0);
    EXPECT_DOUBLE_EQ(b[1], 2.0);
    EXPECT_DOUBLE_EQ(a[0], -1.0);
    EXPECT_DOUBLE_EQ(a[2], 2.0);
    EXPECT_DOUBLE_EQ(a[1], 2.0);
    EXPECT_DOUBLE_EQ(a[3], -2.0);
}

// A singular matrix runs out of pivots: the solve returns at once, without
// dividing by zero, and writes nothing.
TEST_P(MatrixSolve, SingularMatrixReturnsUnsolved)
{
    const Solver solve = GetParam();
    const std::string written = test::capture_stdout([&] {
        auto a = by_columns<2, 2>({{1, 2}, {2, 4}});
        std::array<double, 2> b{1, 2};
        EXPECT_FALSE(solve(2, 2, a.data(), b.data()));
        EXPECT_TRUE(std::isfinite(b[0]) && std::isfinite(b[1]));

        std::array<double, 9> zero{};
        std::array<double, 3> bz{1, 2, 3};
        EXPECT_FALSE(solve(3, 3, zero.data(), bz.data()));
        EXPECT_EQ(bz[0], 1.0);
        EXPECT_EQ(bz[2], 3.0);

        // The bookkeeping is fresh on the next call.
        auto c = by_columns<2, 2>({{0, 2}, {3, 1}});
        std::array<double, 2> bc{4, 5};
        EXPECT_TRUE(solve(2, 2, c.data(), bc.data()));
        EXPECT_DOUBLE_EQ(bc[0], 1.0);
    });
    EXPECT_EQ(written, "");
}

// A matrix whose order exceeds its leading dimension would be read beyond its
// storage: the bounds diagnostic ends the run instead.
TEST_P(MatrixSolve, OrderAboveLeadingDimensionStops)
{
    const Solver solve = GetParam();
    auto r = test::run_in_child([&] {
        std::array<double, 4> a{1, 0, 0, 1};
        std::array<double, 3> b{1, 1, 1};
        solve(3, 1, a.data(), b.data());
    });
    EXPECT_EQ(r.exit_status, 1);
    EXPECT_NE(r.output.find("of array A "), std::string::npos) << r.output;
}

INSTANTIATE_TEST_SUITE_P(BothSolvers, MatrixSolve,
                         ::testing::Values(&matrix_solve_a, &matrix_solve_b),
                         [](const auto& info) { return info.index == 0 ? "A" : "B"; });

TEST(MatrixSolveLimits, LeadingDimensionAboveLimitStopsWhateverTheOrder)
{
    for (std::int32_t n : {0, 2}) {
        auto ra = test::run_in_child([n] {
            double a = 1.0, b = 1.0;
            matrix_solve_a(n, 1001, &a, &b);
        });
        EXPECT_EQ(ra.exit_status, 1);
        EXPECT_EQ(ra.output, "F*** MATRIX routine: mmx1 .gt. ipmax\n");

        auto rb = test::run_in_child([n] {
            double a = 1.0, b = 1.0;
            matrix_solve_b(n, 1001, &a, &b);
        });
        EXPECT_EQ(rb.exit_status, 1);
        EXPECT_EQ(rb.output, " F*** MATRIX routine: mmx1 .gt. ipmax\n");
    }
}

TEST(PropertyStubs, NullResultAndRefrigerantStop)
{
    EXPECT_EQ(null_result_stub(), 0);
    auto r = test::run_in_child([] { refrigerant_stub(); });
    EXPECT_EQ(r.exit_status, 1);
    EXPECT_EQ(r.output, "F*** FluidRefrigerant not allowed with user model\n");
}

}  // namespace
}  // namespace usersub::properties
