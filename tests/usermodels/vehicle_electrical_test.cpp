#include "support/child.h"
#include "usermodels/model_setup.h"

#include <gtest/gtest.h>

#include <array>
#include <vector>

namespace usersub::test {
namespace {

TEST(VehicleModels, BrakeTyreBatteryAndFunctions)
{
    setup_models(3);
    load_model(1, {1}, {});
    load_model(2, {2}, {});
    int32_t id = 3;  // no parameters needed
    const double a = 1.0, b = 2.0;
    double r = 0.0;
    VEH_BRAKE_USER(nullptr, &a, &b, &r, &id);
    EXPECT_DOUBLE_EQ(r, 200.01);  // 100 x 2 + 0.01 x 1
    const auto mu = [&](double va, double vb, double fz) {
        DYN_TIRE_USER(nullptr, &va, &vb, &fz, &r, &id);
        return r;
    };
    EXPECT_DOUBLE_EQ(mu(10, 12, 1500), 0.15 + 0.001 / 6.0);          // slip 2/12
    EXPECT_NEAR(mu(10, 5, 3000), 0.15 + 0.0005 * 2.070529847682755, 1e-15);  // slip -0.5, 2^1.05
    EXPECT_DOUBLE_EQ(mu(-10, 5, 1500), 0.151);                         // slip -1.5 held at -1
    EXPECT_NEAR(mu(20, 30, 1500), 0.15 + 0.001 / 3.0 * 0.42044820762685725, 1e-15);  // 2^-1.25
    EXPECT_DOUBLE_EQ(mu(0, 3, 1500), 0.15);  // a standing wheel: base friction, not infinity

    std::array<double, 7> o;
    o.fill(5.0);
    ELE_BATR_USER_PERF(&a, &a, &a, &a, &a, &a, &o[0], &o[1], &o[2], &o[3], &o[4], &o[5], &id);
    ELE_BATR_USER_TEMP(&a, &a, &a, &a, &a, &a, &a, &a, &a, &a, &a, &a, &o[6], &id);
    EXPECT_EQ(o, (std::array<double, 7>{0, 0, 0, 0, 0, 0, 300.0}));

    const auto xy = [&](double x, double mode, double c) {
        const double ca = 1.0, cb = 2.0;
        XYFUNC_USER(&x, &r, &mode, &ca, &cb, &c, &id);
        return r;
    };
    EXPECT_DOUBLE_EQ(xy(4, 1.0, 0.5), 5.0);  // 1 + 2 x 4^0.5
    EXPECT_DOUBLE_EQ(xy(2, 2.0, 3.0), 17.0);  // 1 + 2 x 2 + 3 x 4
    EXPECT_EQ(xy(2, 1.5, 3.0), 0.0);
    const auto xyz = [&](int32_t model, double c) {
        const double x = 3, y = 5, x0 = 1, ex = 2, y0 = 1, ey = 0.5;
        r = 99.0;
        XYZFUNC_USER(&x, &y, &r, &c, &x0, &ex, &y0, &ey, &model);
        return r;
    };
    EXPECT_DOUBLE_EQ(xyz(1, -2.0), -16.0);  // -2 x 2^2 x 4^0.5
    EXPECT_EQ(xyz(2, 2.0), 0.0);
    EXPECT_EQ(xyz(2, 3.0), 0.0);
    const auto child = run_in_child([&] { xyz(3, 1.0); });
    EXPECT_EQ(child.exit_status, 1);
    EXPECT_EQ(child.output, " No integer parameters defined for user model\n");
}

// Outputs 1..14 of one power-distribution call at time t.
std::vector<double> hev(double t, double q1, double q2, double q3, double p_demand, double mode)
{
    set_time(t);
    std::vector<double> u(12, 0.0), y(14, -5.0);
    u[1] = p_demand, u[10] = 8000.0, u[11] = mode;
    const int32_t id = 1, nu = 12, ny = 14;
    const void* n = nullptr;
    USERHEVPOWDISTR(&id, u.data(), &nu, y.data(), &ny, &q1, n, &q2, n, n, n, n, n, &q3, n, n, n, n, n, n, n, n, n,
                    n, n, n, n);
    return y;
}

// Outputs 1, 2, 3, 4, 11, 12 and 13 as given, the others 0.
void expect_outputs(const std::vector<double>& y, const std::array<double, 7>& w)
{
    const std::vector<double> all{w[0], w[1], w[2], w[3], 0, 0, 0, 0, 0, 0, w[4], w[5], w[6], 0};
    for (std::size_t k = 0; k < y.size(); ++k) EXPECT_NEAR(y[k], all[k], 1e-12) << "output " << k + 1;
}

// R1..R10 = 40, 60 (switch 1 off below / on above), 80, 30 (switch 2 off
// above / on below), 5000, 2000, 3000, 50 (set point), 100, 10 (P, I gains);
// engine power 8000. Expected outputs by hand from the rules.
TEST(HevPowerDistribution, SwitchesLoopAndResetOverASequence)
{
    setup_models(1);
    load_model(1, {}, {40, 60, 80, 30, 5000, 2000, 3000, 50, 100, 10});
    expect_outputs(hev(0.0, 50, 45, 50, 10000, 0), {0, 10, 0, 0, 0, 0, 0});  // loop idle: 50 <= 55
    // q1 = 57 > 55 runs the loop: e = 5, integral 0.5, y1 = 505; P = -3000 split -2000 / -1000.
    expect_outputs(hev(0.1, 57, 45, 50, -3000, 0), {0.505, -2, 0, -1, 0, 0, 1});
    expect_outputs(hev(0.3, 65, 48, 20, 12000, 0), {8, 4, 0, 0, 1, 1, 1});  // both switch on
    expect_outputs(hev(0.4, 50, 48, 50, 5000, 0), {8, 0, -3, 0, 1, 1, 1});  // inside bands: kept
    // Both off; mode 1.4 is 1: y3 = R7; e = 10 over 0.1 s: integral 1.5, y1 = 1015.
    expect_outputs(hev(0.5, 35, 40, 85, 1000, 1.4), {1.015, 1, 3, 0, 0, 0, 1});
    // Switch 2 on: y3 = -R5; e = 0, y1 = 10 x 1.5; mode 0.49 is 0.
    expect_outputs(hev(0.6, 35, 50, 20, -5000, 0.49), {0.015, -2, -5, -3, 0, 1, 1});
    // t = 0 resets switch 2 and the integral; mode 0.5 rounds to 1.
    expect_outputs(hev(0.0, 50, 45, 50, 0, 0.5), {0.5, 0, 3, 0, 0, 0, 1});
    // Crossed thresholds R1 = 60 > R2 = 40: q1 = 50 turns switch 1 on and at
    // once off again; the loop runs (50 > 35) with e = 0 and no integral.
    load_model(1, {}, {60, 40, 80, 30, 5000, 2000, 3000, 50, 100, 10});
    expect_outputs(hev(0.1, 50, 50, 50, 0, 0), {0, 0, 0, 0, 0, 0, 1});

    load_model(1, {}, {1, 2, 3, 4, 5, 6, 7, 8, 9});
    const auto r = run_in_child([] { hev(0.1, 0, 0, 0, 0, 0); });
    EXPECT_EQ(r.exit_status, 1);
    EXPECT_EQ(r.output, " Not enough real parameters defined for the user model.\n");
}

}  // namespace
}  // namespace usersub::test
