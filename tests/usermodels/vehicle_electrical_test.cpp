#include "support/child.h"
#include "usermodels/model_setup.h"
#include "usersub.h"

#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <vector>

namespace usersub::test {
namespace {

TEST(VehicleModels, BrakeTyreAndBattery)
{
    allocate_models(1);
    int32_t id = 1;  // no parameters needed
    const double a = 1.0, b = 2.0;
    double result = 0.0;
    VEH_BRAKE_USER(nullptr, &a, &b, &result, &id);
    EXPECT_DOUBLE_EQ(result, 200.01);  // 100 x 2 + 0.01 x 1

    const auto mu = [&](double va, double vb, double fz) {
        double m = -1.0;
        DYN_TIRE_USER(nullptr, &va, &vb, &fz, &m, &id);
        return m;
    };
    // slip 2/12 at Fz = 1500, |A| = 10: 0.15 + 0.001 / 6
    EXPECT_DOUBLE_EQ(mu(10.0, 12.0, 1500.0), 0.15 + 0.001 / 6.0);
    // slip -0.5 at Fz = 3000: 0.15 + 0.0005 x 2^1.05 (2^1.05 = 2.0705298476827... )
    EXPECT_NEAR(mu(10.0, 5.0, 3000.0), 0.15103526492384137, 1e-15);
    // slip (5 + 10) / -10 = -1.5, clamped to -1: 0.15 + 0.001
    EXPECT_DOUBLE_EQ(mu(-10.0, 5.0, 1500.0), 0.151);
    // slip 10/30 at |A| = 20: 0.15 + 0.001 / 3 x 2^-1.25 (= 0.42044820762685725)
    EXPECT_NEAR(mu(20.0, 30.0, 1500.0), 0.15014014940254228, 1e-15);
    EXPECT_DOUBLE_EQ(mu(20.0, 20.0, 1500.0), 0.15);  // no slip
    // A standing wheel keeps the base friction (no infinity or NaN).
    EXPECT_DOUBLE_EQ(mu(0.0, 0.0, 1500.0), 0.15);
    EXPECT_DOUBLE_EQ(mu(0.0, 3.0, 1500.0), 0.15);

    std::array<double, 6> perf;
    perf.fill(5.0);
    ELE_BATR_USER_PERF(nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, &perf[0], &perf[1], &perf[2],
                       &perf[3], &perf[4], &perf[5], &id);
    for (double v : perf) EXPECT_EQ(v, 0.0);
    double temp = 0.0;
    const double junk = 1234.0;
    ELE_BATR_USER_TEMP(&junk, &junk, &junk, &junk, &junk, &junk, &junk, &junk, &junk, &junk, &junk, &junk,
                       &temp, &id);
    EXPECT_EQ(temp, 300.0);
}

TEST(UserFunctions, OneAndTwoVariables)
{
    allocate_models(3);
    load_model(1, {1}, {});
    load_model(2, {2}, {});
    int32_t id = 3;  // no parameters: the one-variable function needs none
    const auto xy = [&](double x, double mode, double a, double b, double c) {
        double y = -1.0;
        XYFUNC_USER(&x, &y, &mode, &a, &b, &c, &id);
        return y;
    };
    EXPECT_DOUBLE_EQ(xy(4.0, 1.0, 1.0, 2.0, 0.5), 5.0);   // 1 + 2 x 4^0.5
    EXPECT_DOUBLE_EQ(xy(2.0, 2.0, 1.0, 2.0, 3.0), 17.0);  // 1 + 2 x 2 + 3 x 4
    EXPECT_EQ(xy(2.0, 1.5, 1.0, 2.0, 3.0), 0.0);
    EXPECT_EQ(xy(2.0, 0.0, 1.0, 2.0, 3.0), 0.0);

    const auto xyz = [](int32_t model, double c) {
        const double x = 3.0, y = 5.0, x0 = 1.0, ex = 2.0, y0 = 1.0, ey = 0.5;
        double z = 99.0;
        XYZFUNC_USER(&x, &y, &z, &c, &x0, &ex, &y0, &ey, &model);
        return z;
    };
    EXPECT_DOUBLE_EQ(xyz(1, 2.0), 16.0);  // 2 x (3 - 1)^2 x (5 - 1)^0.5
    EXPECT_DOUBLE_EQ(xyz(1, -0.5), -4.0);
    EXPECT_EQ(xyz(2, 2.0), 0.0);  // other functions are 0
    EXPECT_EQ(xyz(2, 3.0), 0.0);

    const auto r = run_in_child([&] { xyz(3, 1.0); });
    EXPECT_EQ(r.exit_status, 1);
    EXPECT_EQ(r.output, " No integer parameters defined for user model\n");
}

// Power distribution with R1..R10 = 40, 60 (switch 1 off/on), 80, 30
// (switch 2 off/on), 5000, 2000 (limits), 3000 (mode-1 power), 50 (set
// point), 100, 10 (P and I gains). Expected values by hand from the rules.
class HevPowerDistribution : public ::testing::Test {
protected:
    void SetUp() override
    {
        allocate_models(1);
        load_model(1, {}, {40, 60, 80, 30, 5000, 2000, 3000, 50, 100, 10});
    }
    // Outputs 1..14 of one call at time t.
    std::vector<double> step(double t, double q1, double q2, double q3, double p_demand, double p_engine,
                             double mode)
    {
        set_time(t);
        std::vector<double> u(12, 0.0), y(14, -5.0);
        u[1] = p_demand;
        u[10] = p_engine;
        u[11] = mode;
        const int32_t id = 1, nu = 12, ny = 14;
        USERHEVPOWDISTR(&id, u.data(), &nu, y.data(), &ny, &q1, nullptr, &q2, nullptr, nullptr, nullptr,
                        nullptr, nullptr, &q3, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr,
                        nullptr, nullptr, nullptr, nullptr, nullptr, nullptr);
        return y;
    }
    static void expect(const std::vector<double>& y, std::array<double, 7> want)
    {
        const int at[] = {1, 2, 3, 4, 11, 12, 13};
        for (int k = 0; k < 7; ++k) EXPECT_NEAR(y[at[k] - 1], want[k], 1e-12) << "output " << at[k];
        for (int k : {5, 6, 7, 8, 9, 10, 14}) EXPECT_EQ(y[k - 1], 0.0) << "output " << k;
    }
};

TEST_F(HevPowerDistribution, SwitchesLoopAndResetOverASequence)
{
    // t = 0: reset, dt = 0; both switches off, loop idle (q1 = 50 not above 55).
    expect(step(0.0, 50, 45, 50, 10000, 8000, 0), {0, 10, 0, 0, 0, 0, 0});
    // q1 = 57 > 60 - 5 runs the loop: e = 5, integral 0.5, y1 = 500 + 5;
    // P = -3000: limited part -2000, excess -1000.
    expect(step(0.1, 57, 45, 50, -3000, 8000, 0), {0.505, -2, 0, -1, 0, 0, 1});
    // q1 = 65 > 60 and q3 = 20 < 30: both on; d = 12000 - 8000 > 0.
    expect(step(0.3, 65, 48, 20, 12000, 8000, 0), {8, 4, 0, 0, 1, 1, 1});
    // q1 and q3 inside their bands: both keep their state; d = -3000.
    expect(step(0.4, 50, 48, 50, 5000, 8000, 0), {8, 0, -3, 0, 1, 1, 1});
    // q1 = 35 < 40, q3 = 85 > 80: both off; mode 1.4 rounds to 1, y3 = R7;
    // e = 10 over dt = 0.1 (from t = 0.4): integral 1.5, y1 = 1000 + 15.
    expect(step(0.5, 35, 40, 85, 1000, 8000, 1.4), {1.015, 1, 3, 0, 0, 0, 1});
    // q3 = 20 switches 2 on: y3 = -R5; e = 0, y1 = 10 x 1.5; mode 0.49 is 0.
    expect(step(0.6, 35, 50, 20, -5000, 8000, 0.49), {0.015, -2, -5, -3, 0, 1, 1});
    // Back to t = 0: switch 2 and the integral reset (q3 = 50 would have kept
    // switch 2 on, and the integral would add 15); mode 0.5 rounds to 1.
    expect(step(0.0, 50, 45, 50, 0, 8000, 0.5), {0.5, 0, 3, 0, 0, 0, 1});
}

TEST_F(HevPowerDistribution, TooFewParametersOrSignals)
{
    load_model(1, {}, {1, 2, 3, 4, 5, 6, 7, 8, 9});
    auto r = run_in_child([&] { step(0.1, 0, 0, 0, 0, 0, 0); });
    EXPECT_EQ(r.exit_status, 1);
    EXPECT_EQ(r.output, " Not enough real parameters defined for the user model.\n");

    load_model(1, {}, {40, 60, 80, 30, 5000, 2000, 3000, 50, 100, 10});
    r = run_in_child([&] {
        std::vector<double> u(12, 0.0), y(12, 0.0);
        const int32_t id = 1, nu = 12, ny = 12;
        const double q = 0.0;
        USERHEVPOWDISTR(&id, u.data(), &nu, y.data(), &ny, &q, nullptr, &q, nullptr, nullptr, nullptr, nullptr,
                        nullptr, &q, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr,
                        nullptr, nullptr, nullptr, nullptr, nullptr);
    });
    EXPECT_EQ(r.exit_status, 1);
    EXPECT_EQ(r.output, " Array bounds error: subscript 1 of array YHVPD has value 13, above its upper bound 12\n");
}

}  // namespace
}  // namespace usersub::test
