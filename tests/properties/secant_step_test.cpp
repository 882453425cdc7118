#include "properties/secant_step.h"

#include <gtest/gtest.h>

#include <cmath>

namespace usersub::properties {
namespace {

// The caller's variables of one iteration, with the state solver's settings
// (minimum 2 steps, damping 2, only the absolute step tolerance active).
struct Iteration {
    std::int32_t count = 0;
    std::int32_t status = -1;
    double prev_residual = 0.0;
    double x = 0.0;
    double prev_x = 0.0;
    double step = 0.0;
    std::int32_t min_steps = 2;
    std::int32_t max_steps = 20;
    double damping = 2.0;
    double abs_step_tol = 1.0e18;
    double rel_step_tol = 1.0e18;
    double abs_res_tol = 1.0e18;
    double rel_res_tol = 1.0e18;
    double x_scale = 0.0;
    double r_scale = 0.0;

    void call(double value, double target = 0.0, double x_second = 0.0)
    {
        secant_step(count, min_steps, max_steps, status, value, target, prev_residual, x, prev_x,
                    step, x_second, damping, abs_step_tol, rel_step_tol, abs_res_tol, rel_res_tol,
                    x_scale, r_scale);
    }
};

TEST(SecantStep, FirstCallAndRestartMoveToTheSecondStartPoint)
{
    Iteration it;
    it.x = 300.0;
    it.status = 0;  // count 0 with a status of 0 starts an iteration too
    it.call(5.0, 1.0, 303.0);
    EXPECT_EQ(it.count, 1);
    EXPECT_EQ(it.status, 0);
    EXPECT_EQ(it.x, 303.0);
    EXPECT_EQ(it.prev_x, 300.0);
    EXPECT_EQ(it.step, 3.0);
    EXPECT_EQ(it.prev_residual, 4.0);  // 5 - 1

    it.count = 7;
    it.status = -1;
    it.x = 50.0;
    it.call(2.0, 0.0, 60.0);
    EXPECT_EQ(it.count, 1);
    EXPECT_EQ(it.x, 60.0);
    EXPECT_EQ(it.prev_x, 50.0);
    EXPECT_EQ(it.step, 10.0);
}

TEST(SecantStep, DampedAndFlatResidualSteps)
{
    // Raw step -dx r / dr = -10 * 1 / (1 - 2) = 10, with max(|x|, |prev x|) = 100:
    // 10 / (10 * 2 / 100 + 1) = 10 / 1.2 = 8.3333...
    Iteration it;
    it.count = 1;
    it.status = 0;
    it.prev_x = 90.0;
    it.x = 100.0;
    it.prev_residual = 2.0;
    it.call(1.0);
    EXPECT_EQ(it.count, 2);
    EXPECT_NEAR(it.step, 8.333333333333334, 1e-12);
    EXPECT_NEAR(it.x, 108.33333333333333, 1e-12);
    EXPECT_EQ(it.prev_x, 100.0);
    EXPECT_EQ(it.status, 0);  // count 2 is not above the minimum: nothing tested

    // Same residual twice: a tenth of the last argument change, 0.1 * 8.333...
    it.call(1.0);
    EXPECT_NEAR(it.step, 0.8333333333333334, 1e-12);
    EXPECT_NEAR(it.x, 109.16666666666667, 1e-12);

    // Both arguments 0: the step is 0, not a division of 0 by 0.
    Iteration zero;
    zero.count = 1;
    zero.status = 0;
    zero.prev_residual = 2.0;
    zero.call(1.0);
    EXPECT_EQ(zero.step, 0.0);
    EXPECT_EQ(zero.x, 0.0);
}

TEST(SecantStep, ConvergenceLimitAndScales)
{
    // A zero residual after a non-zero one gives a zero step: converged at
    // count 19, but the 20th call reports the limit instead.
    Iteration it;
    it.abs_step_tol = 0.0;
    it.abs_res_tol = 0.0;
    it.count = 18;
    it.status = 0;
    it.x = 4.0;
    it.prev_x = 3.0;
    it.prev_residual = 1.0;
    it.call(0.0);
    EXPECT_EQ(it.count, 19);
    EXPECT_EQ(it.status, 1);
    it.prev_residual = 1.0;
    it.call(0.0);
    EXPECT_EQ(it.count, 20);
    EXPECT_EQ(it.status, 2);

    // Relative residual 0.5 / max(|0.5|, |0|) = 1 fails a tolerance of 0.1; a
    // residual scale of 10 makes it 0.05, which passes.
    Iteration rel;
    rel.rel_res_tol = 0.1;
    rel.count = 5;
    rel.status = 0;
    rel.x = 2.0;
    rel.prev_x = 1.0;
    rel.prev_residual = 1.0;
    rel.call(0.5);
    EXPECT_EQ(rel.status, 0);
    rel.r_scale = 10.0;
    rel.count = 5;
    rel.x = 2.0;
    rel.prev_x = 1.0;
    rel.prev_residual = 1.0;
    rel.call(0.5);
    EXPECT_EQ(rel.status, 1);

    // Relative step: raw step -1 * 0.5 / (0.5 - 1) = 1, damped by
    // 1 * 2 / 2 + 1 = 2 to 0.5; 0.5 / max(2.5, 2) = 0.2 fails 0.1 but passes
    // when the argument scale is 10 (0.05).
    Iteration step;
    step.rel_step_tol = 0.1;
    step.count = 5;
    step.status = 0;
    step.x = 2.0;
    step.prev_x = 1.0;
    step.prev_residual = 1.0;
    step.call(0.5);
    EXPECT_DOUBLE_EQ(step.step, 0.5);
    EXPECT_EQ(step.status, 0);
    step.x_scale = 10.0;
    step.count = 5;
    step.x = 2.0;
    step.prev_x = 1.0;
    step.prev_residual = 1.0;
    step.call(0.5);
    EXPECT_EQ(step.status, 1);
}

TEST(SecantStep, IterationFindsTheRootOfAQuadratic)
{
    // x^2 - 2 = 0 from x = 1, second point 1.01: the root is sqrt(2).
    Iteration it;
    it.abs_step_tol = 1.0e-10;
    it.max_steps = 50;
    it.x = 1.0;
    for (int k = 0; k < 50 && it.status != 1 && it.status != 2; ++k)
        it.call(it.x * it.x - 2.0, 0.0, 1.01);
    EXPECT_EQ(it.status, 1);
    EXPECT_NEAR(it.x, std::sqrt(2.0), 1e-9);
    EXPECT_LT(it.count, 20);
}

}  // namespace
}  // namespace usersub::properties
