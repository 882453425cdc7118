#include "properties/secant_step.h"

#include <gtest/gtest.h>

#include <tuple>

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

TEST(SecantStep, FirstCallDampingAndFlatResidual)
{
    Iteration it;
    it.x = 300.0;
    it.call(4.0, 303.0);  // count 0 with status 0 starts an iteration
    EXPECT_EQ(std::tie(it.count, it.status, it.x, it.prev_x, it.step, it.prev_residual),
              std::make_tuple(1, 0, 303.0, 300.0, 3.0, 4.0));
    it.at(7, 50.0, 1.0, 9.0).status = -1;  // a negative status restarts
    it.call(2.0, 60.0);
    EXPECT_EQ(std::tie(it.count, it.x, it.step), std::make_tuple(1, 60.0, 10.0));

    // Raw step -dx r / dr = -10 * 1 / (1 - 2) = 10; max(|x|, |prev x|) = 100:
    // 10 / (10 * 2 / 100 + 1) = 8.3333...
    it.at(1, 100.0, 90.0, 2.0).call(1.0);
    EXPECT_EQ(std::tie(it.count, it.prev_x), std::make_tuple(2, 100.0));
    EXPECT_NEAR(it.step, 8.333333333333334, 1e-12);
    EXPECT_NEAR(it.x, 108.33333333333333, 1e-12);
    it.call(1.0);  // the same residual again: a tenth of the last change
    EXPECT_NEAR(it.step, 0.8333333333333334, 1e-12);
    it.at(1, 0.0, 0.0, 2.0).call(1.0);  // x = prev x = 0: the step is 0, not 0 / 0
    EXPECT_EQ(it.step, 0.0);
}

TEST(SecantStep, ConvergenceLimitAndScales)
{
    // A zero residual after a non-zero one gives a zero step: converged at
    // count 19 with zero absolute tolerances, but at 20 the limit is reported,
    // and at or below the minimum count neither is tested.
    Iteration it;
    it.tol[0] = it.tol[2] = 0.0;
    for (auto [count_before, want] : {std::pair{18, 1}, {19, 2}, {1, 0}}) {
        it.at(count_before, 4.0, 3.0, 1.0).call(0.0);
        EXPECT_EQ(it.status, want) << count_before;
    }

    // Raw step -1 * 0.5 / (0.5 - 1) = 1, damped by 1 * 2 / 2 + 1 to 0.5.
    // Relative step 0.5 / max(2.5, 2) = 0.2 and relative residual
    // 0.5 / max(0.5, 0) = 1 pass a tolerance equal to them, fail 0.1, and pass
    // it with a scale of 10 (0.05 each).
    for (auto [k, equal_tol] : {std::pair{1, 0.2}, {3, 1.0}})
        for (auto [tol, scale, want] : {std::tuple{equal_tol, 0.0, 1}, {0.1, 0.0, 0}, {0.1, 10.0, 1}}) {
            Iteration rel;
            rel.tol[k] = tol;
            (k == 1 ? rel.x_scale : rel.r_scale) = scale;
            rel.at(5, 2.0, 1.0, 1.0).call(0.5);
            EXPECT_DOUBLE_EQ(rel.step, 0.5);
            EXPECT_EQ(rel.status, want) << k << ' ' << tol << ' ' << scale;
        }
}

}  // namespace
}  // namespace usersub::properties
