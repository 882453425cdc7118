#include "support/child.h"
#include "usermodels/model_setup.h"

#include <gtest/gtest.h>

#include <vector>

namespace usersub::test {
namespace {

void harness_call(int32_t id, std::vector<double> u, std::vector<double>& y, int32_t skip = 0, int32_t iharn = 1)
{
    const auto nu = static_cast<int32_t>(u.size()), ny = static_cast<int32_t>(y.size());
    const double dt = 0.01;
    USERHARNESS(&skip, &id, &dt, u.data(), &nu, y.data(), &ny, &iharn);
}

// Lag 0.02 s, opening above 1e5 Pa, at most 8 mm, 1e-5 mm per Pa; dt 0.01 s.
TEST(UserHarness, OrificeLawWithLagAndItsPlot)
{
    setup_models(4, 1);
    load_model(1, {999}, {0.02, 1.0e5, 8.0, 1.0e-5});
    load_model(2, {999}, {0.0, 1.0e5, 8.0, 1.0e-5});
    load_model(3, {999}, {1, 2, 3});
    load_model(4, {}, {0.02, 1.0e5, 8.0, 1.0e-5});

    std::vector<double> y{2.0};
    set_time(0.01);
    // dp = 1.5e5: target 4 mm; r = 0.5, a third of the way from 2.
    harness_call(1, {3.0e5, 1.5e5}, y);
    EXPECT_NEAR(y[0], 2.0 + 2.0 / 3.0, 1e-14);
    set_time(0.02);
    harness_call(1, {1.0e6, 0.0}, y);  // target held at 8: 8/3 + (8 - 8/3) / 3
    EXPECT_NEAR(y[0], 40.0 / 9.0, 1e-14);
    set_time(0.03);
    harness_call(1, {1.0e6, 0.0}, y, 1);  // skipped: unchanged, still plotted
    set_time(0.04);
    harness_call(1, {2.0e5, 1.0e5}, y);  // dp at the opening value
    EXPECT_EQ(y[0], 0.0);
    const Plot plot = drain_plot(1, 1);
    EXPECT_EQ(plot.x, (std::vector<double>{0.01, 0.02, 0.03, 0.04}));
    ASSERT_EQ(plot.y.size(), 4u);
    EXPECT_NEAR(plot.y[2], 40.0 / 9.0, 1e-14);
    EXPECT_EQ(plot.y[3], 0.0);
    EXPECT_EQ(plot.title + plot.curve + plot.xlabel + plot.ylabel,
              padded("User Harness Model") + padded("Orifice Diameter") + padded("sec") + padded("mm"));

    y = {1.0};  // no lag time: r = dt / 1e-20, the target at once
    harness_call(2, {3.0e5, 1.5e5}, y);
    EXPECT_NEAR(y[0], 4.0, 1e-12);
    // Too few reals, checked even when the law is skipped; no integers at all.
    auto r = run_in_child([&] { harness_call(3, {1, 2}, y, 1); });
    EXPECT_EQ(r.exit_status, 1);
    EXPECT_EQ(r.output, " USERHARNESS error:  Check UserModel input\n");
    r = run_in_child([&] { harness_call(4, {1, 2}, y); });
    EXPECT_EQ(r.exit_status, 1);
    EXPECT_EQ(r.output, " No integer parameters defined for user model\n");
}

TEST(UserHarness, PassThroughAndActuatorCopy)
{
    setup_models(2);
    load_model(1, {123}, {});
    load_model(2, {5}, {});
    std::vector<double> u(19), y(18, 0.0);
    for (int k = 0; k < 19; ++k) u[k] = k + 1.0;
    harness_call(1, u, y);
    for (int k = 1; k <= 16; ++k) EXPECT_EQ(y[k - 1], k);
    EXPECT_EQ(y[16], 18.0);  // input 17 skipped
    EXPECT_EQ(y[17], 19.0);

    const int32_t nsig = 5, nharn = 2, h2 = 2;
    ALLOC_USER_HARN(&nsig, &nharn);
    for (int32_t k = 1; k <= 3; ++k) {
        const double v = 10.0 * k;
        SET_USER_HARN_OUTPUT(&k, &h2, &v);
    }
    y.assign(4, 0.0);
    harness_call(2, {}, y, 0, 2);
    EXPECT_EQ(y, (std::vector<double>{10.0, 20.0, 30.0, -999.0}));  // signal 4 never set

    auto r = run_in_child([&] {
        y.assign(18, 0.0);
        harness_call(1, std::vector<double>(18, 1.0), y);
    });
    EXPECT_EQ(r.exit_status, 1);
    EXPECT_EQ(r.output, " Array bounds error: subscript 1 of array UHARN has value 19, above its upper bound 18\n");
    r = run_in_child([&] {
        std::vector<double> six(6);
        harness_call(2, {}, six, 0, 2);
    });
    EXPECT_EQ(r.output, " Array bounds error: subscript 1 of array GACTU has value 6, above its upper bound 5\n");
}

}  // namespace
}  // namespace usersub::test
