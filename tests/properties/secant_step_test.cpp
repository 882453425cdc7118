#include "properties/secant_step.h"

#include <gtest/gtest.h>

#include <cmath>

namespace usersub::properties {
namespace {

// The caller's variables of one iteration; minimum 2 steps, maximum 20,
// damping 2 and every tolerance switched off unless a test sets it.
struct Iteration {
    std::int32_t count = 0, status = 0, max_steps = 20;
    double prev_residual = 0.0, x = 0.0, prev_x = 0.0, step = 0.0;
    double tol[4] = {1e18, 1e18, 1e18, 1e18};  // abs step, rel step, abs residual, rel residual
    double x_scale = 0.0, r_scale = 0.0;

    Iteration& at(std::int32_t c, double x_now, double x_before, double r_before)
    {
        count = c, x = x_now, prev_x = x_before, prev_residual = r_before;
        return *this;
    }
    void call(double value, double x_second = 0.0)
    {
        secant_step(count, 2, max_steps, status, value, 0.0, prev_residual, x, prev_x, step, x_second, 2.0,
                    tol[0], tol[1], tol[2], tol[3], x_scale, r_scale);
    }
};

TEST(SecantStep, FirstCallAndRestartMoveToTheSecondStartPoint)
{
    Iteration it;
    it.x = 300.0;
    it.call(4.0, 303.0);  // count 0 with status 0 starts an iteration
    EXPECT_EQ(it.count, 1);
    EXPECT_EQ(it.status, 0);
    EXPECT_EQ(it.x, 303.0);
    EXPECT_EQ(it.prev_x, 300.0);
    EXPECT_EQ(it.step, 3.0);
    EXPECT_EQ(it.prev_residual, 4.0);

    it.at(7, 50.0, 1.0, 9.0).status = -1;  // a negative status restarts
    it.call(2.0, 60.0);
    EXPECT_EQ(it.count, 1);
    EXPECT_EQ(it.x, 60.0);
    EXPECT_EQ(it.step, 10.0);
}

TEST(SecantStep, DampedAndFlatResidualSteps)
{
    // Raw step -dx r / dr = -10 * 1 / (1 - 2) = 10; max(|x|, |prev x|) = 100:
    // 10 / (10 * 2 / 100 + 1) = 8.3333...
    Iteration it;
    it.at(1, 100.0, 90.0, 2.0).call(1.0);
    EXPECT_EQ(it.count, 2);
    EXPECT_NEAR(it.step, 8.333333333333334, 1e-12);
    EXPECT_NEAR(it.x, 108.33333333333333, 1e-12);
    EXPECT_EQ(it.prev_x, 100.0);
    // The same residual again: a tenth of the last change.
    it.call(1.0);
    EXPECT_NEAR(it.step, 0.8333333333333334, 1e-12);
    // x = prev x = 0: the step is 0, not 0 / 0.
    Iteration zero;
    zero.at(1, 0.0, 0.0, 2.0).call(1.0);
    EXPECT_EQ(zero.step, 0.0);
}

TEST(SecantStep, ConvergenceLimitAndScales)
{
    // A zero residual after a non-zero one gives a zero step: converged at
    // count 19 with zero absolute tolerances, but at 20 the limit is reported.
    Iteration it;
    it.tol[0] = it.tol[2] = 0.0;
    it.at(18, 4.0, 3.0, 1.0).call(0.0);
    EXPECT_EQ(it.status, 1);
    it.at(19, 4.0, 3.0, 1.0).call(0.0);
    EXPECT_EQ(it.count, 20);
    EXPECT_EQ(it.status, 2);
    // Not tested at or below the minimum count.
    it.at(1, 4.0, 3.0, 1.0).call(0.0);
    EXPECT_EQ(it.status, 0);

    // Relative residual 0.5 / max(0.5, 0) = 1 fails 0.1; with a residual
    // scale of 10 it is 0.05 and passes.
    Iteration rel;
    rel.tol[3] = 0.1;
    rel.at(5, 2.0, 1.0, 1.0).call(0.5);
    EXPECT_EQ(rel.status, 0);
    rel.r_scale = 10.0;
    rel.at(5, 2.0, 1.0, 1.0).call(0.5);
    EXPECT_EQ(rel.status, 1);

    // Raw step -1 * 0.5 / (0.5 - 1) = 1, damped by 1 * 2 / 2 + 1 to 0.5;
    // 0.5 / max(2.5, 2) = 0.2 fails 0.1, and with an argument scale of 10
    // (0.05) passes.
    Iteration step;
    step.tol[1] = 0.1;
    step.at(5, 2.0, 1.0, 1.0).call(0.5);
    EXPECT_DOUBLE_EQ(step.step, 0.5);
    EXPECT_EQ(step.status, 0);
    step.x_scale = 10.0;
    step.at(5, 2.0, 1.0, 1.0).call(0.5);
    EXPECT_EQ(step.status, 1);
}

TEST(SecantStep, IterationFindsTheRootOfAQuadratic)
{
    // x^2 - 2 = 0 from x = 1 and 1.01: the root is sqrt(2).
    Iteration it;
    it.tol[0] = 1.0e-10;
    it.max_steps = 50;
    it.x = 1.0;
    it.status = -1;
    while (it.status != 1 && it.status != 2) it.call(it.x * it.x - 2.0, 1.01);
    EXPECT_EQ(it.status, 1);
    EXPECT_NEAR(it.x, std::sqrt(2.0), 1e-9);
}

}  // namespace
}  // namespace usersub::properties
