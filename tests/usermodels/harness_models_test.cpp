#include "support/child.h"
#include "usermodels/model_setup.h"
#include "usersub.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace usersub::test {
namespace {

void harness_call(int32_t skip, int32_t id, double dt, std::vector<double> u, std::vector<double>& y,
                  int32_t iharn = 1)
{
    const auto nu = static_cast<int32_t>(u.size());
    const auto ny = static_cast<int32_t>(y.size());
    USERHARNESS(&skip, &id, &dt, u.data(), &nu, y.data(), &ny, &iharn);
}

void plot_on(int32_t id)
{
    const int32_t one = 1;
    int32_t ierr = 0;
    LOAD_USER_PLOT(&id, &one, &one, &ierr);
}

// Orifice law with a lag time constant 0.02 s, opening above 1e5 Pa, at most
// 8 mm, 1e-5 mm per Pa.
TEST(UserHarness, OrificeLawWithLagAndItsPlot)
{
    allocate_models(2);
    load_model(1, {999}, {0.02, 1.0e5, 8.0, 1.0e-5});
    load_model(2, {999}, {0.0, 1.0e5, 8.0, 1.0e-5});
    plot_on(1);

    std::vector<double> y{2.0};
    set_time(0.01);
    // dp = 1.5e5: target 8 x 1e-5 x 5e4 = 4; r = 0.01 / 0.02 = 0.5; the
    // diameter moves a third of the way from 2: 2 + 2/3.
    harness_call(0, 1, 0.01, {3.0e5, 1.5e5}, y);
    EXPECT_NEAR(y[0], 2.0 + 2.0 / 3.0, 1e-14);
    set_time(0.02);
    // dp = 1e6: target held at 8; 8/3 + (8 - 8/3) / 3 = 40/9.
    harness_call(0, 1, 0.01, {1.0e6, 0.0}, y);
    EXPECT_NEAR(y[0], 40.0 / 9.0, 1e-14);
    set_time(0.03);
    harness_call(1, 1, 0.01, {1.0e6, 0.0}, y);  // skipped: unchanged, still plotted
    EXPECT_NEAR(y[0], 40.0 / 9.0, 1e-14);
    set_time(0.04);
    harness_call(0, 1, 0.01, {2.0e5, 1.0e5}, y);  // dp exactly at the opening value
    EXPECT_EQ(y[0], 0.0);

    int32_t id = 1, plot = 1, n = 0;
    std::vector<double> xs(201), ys(201);
    GETUSERPLTDATA(&id, &plot, &n, xs.data(), ys.data());
    ASSERT_EQ(n, 4);
    const double want_x[] = {0.01, 0.02, 0.03, 0.04};
    const double want_y[] = {2.0 + 2.0 / 3.0, 40.0 / 9.0, 40.0 / 9.0, 0.0};
    for (int k = 0; k < 4; ++k) {
        EXPECT_EQ(xs[k], want_x[k]);
        EXPECT_NEAR(ys[k], want_y[k], 1e-14);
    }
    char title[80], curve[80], xl[80], yl[80];
    GETUSERPLTLABEL(&id, &plot, title, 80, curve, 80, xl, 80, yl, 80);
    EXPECT_EQ(std::string(title, 18), "User Harness Model");
    EXPECT_EQ(std::string(curve, 16), "Orifice Diameter");
    EXPECT_EQ(std::string(xl, 4), "sec ");
    EXPECT_EQ(std::string(yl, 3), "mm ");

    // No lag time: r = dt / 1e-20, the diameter jumps to its target 4.
    y = {1.0};
    harness_call(0, 2, 0.01, {3.0e5, 1.5e5}, y);
    EXPECT_NEAR(y[0], 4.0, 1e-12);
}

TEST(UserHarness, PassThroughAndActuatorCopy)
{
    allocate_models(2);
    load_model(1, {123}, {});
    load_model(2, {5}, {});
    std::vector<double> u(19);
    for (int k = 0; k < 19; ++k) u[k] = k + 1.0;
    std::vector<double> y(18, 0.0);
    harness_call(0, 1, 0.01, u, y);
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
    harness_call(0, 2, 0.01, {}, y, 2);
    EXPECT_EQ(y, (std::vector<double>{10.0, 20.0, 30.0, -999.0}));  // signal 4 never set

    // Too few inputs for the pass-through, more outputs than signals, no output to plot.
    auto r = run_in_child([&] {
        std::vector<double> out(18);
        harness_call(0, 1, 0.01, std::vector<double>(18, 1.0), out);
    });
    EXPECT_EQ(r.exit_status, 1);
    EXPECT_EQ(r.output, " Array bounds error: subscript 1 of array UHARN has value 19, above its upper bound 18\n");
    r = run_in_child([&] {
        std::vector<double> out(6);
        harness_call(0, 2, 0.01, {}, out, 2);
    });
    EXPECT_EQ(r.output, " Array bounds error: subscript 1 of array GACTU has value 6, above its upper bound 5\n");
    r = run_in_child([&] {
        std::vector<double> out;
        harness_call(0, 2, 0.01, {}, out, 2);
    });
    EXPECT_EQ(r.output, " Array bounds error: subscript 1 of array YHARN has value 1, above its upper bound 0\n");
}

TEST(UserHarness, MissingParametersStopTheRun)
{
    allocate_models(2);
    load_model(1, {}, {1, 2, 3, 4});
    load_model(2, {999}, {1, 2, 3});
    std::vector<double> y(1);
    auto r = run_in_child([&] { harness_call(0, 1, 0.01, {1, 2}, y); });
    EXPECT_EQ(r.exit_status, 1);
    EXPECT_EQ(r.output, " No integer parameters defined for user model\n");
    r = run_in_child([&] { harness_call(1, 2, 0.01, {1, 2}, y); });  // checked even when skipped
    EXPECT_EQ(r.exit_status, 1);
    EXPECT_EQ(r.output, " USERHARNESS error:  Check UserModel input\n");
}

}  // namespace
}  // namespace usersub::test
