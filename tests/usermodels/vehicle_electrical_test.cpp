#include "usermodels/model_setup.h"

namespace usersub::test {
namespace {

TEST(VehicleModels, BrakeTyreBatteryAndFunctions)
{
    setup_models(3);
    load_model(1, {1}, {});
    load_model(2, {2}, {});
    int32_t id = 3;  // no parameters needed
    const double a = 1.0, b = 2.0, x = 3, y = 5, x0 = 1, ex = 2, y0 = 1, ey = 0.5;
    double r = 0.0;
    const auto mu = [&](double va, double vb, double fz) { return DYN_TIRE_USER(nullptr, &va, &vb, &fz, &r, &id), r; };
    const auto xy = [&](double x, double mode, double c) { return XYFUNC_USER(&x, &r, &mode, &a, &b, &c, &id), r; };
    const auto xyz = [&](int32_t m, double c) { return r = 99, XYZFUNC_USER(&x, &y, &r, &c, &x0, &ex, &y0, &ey, &m), r; };
    VEH_BRAKE_USER(nullptr, &a, &b, &r, &id);
    EXPECT_DOUBLE_EQ(r, 200.01);  // 100 x 2 + 0.01 x 1
    // slip 2/12; slip -0.5, 2^1.05; slip -1.5 held at -1; 2^-1.25; a standing wheel: base friction, not infinity
    expect_near({mu(10, 12, 1500), mu(10, 5, 3000), mu(-10, 5, 1500), mu(20, 30, 1500), mu(0, 3, 1500)},
                {0.15 + 0.001 / 6.0, 0.15 + 0.0005 * 2.070529847682755, 0.151, 0.15 + 0.001 / 3.0 * 0.42044820762685725,
                 0.15}, 1e-14);
    // 1 + 2 x 4^0.5; 1 + 2 x 2 + 3 x 4; no such form; -2 x 2^2 x 4^0.5; no such law
    expect_near({xy(4, 1.0, 0.5), xy(2, 2.0, 3.0), xy(2, 1.5, 3.0), xyz(1, -2.0), xyz(2, 2.0)},
                {5.0, 17.0, 0.0, -16.0, 0.0}, 1e-15);
    expect_stop([&] { xyz(3, 1.0); }, " No integer parameters defined for user model\n");
    std::vector<double> o(7, 5.0);
    ELE_BATR_USER_PERF(&a, &a, &a, &a, &a, &a, &o[0], &o[1], &o[2], &o[3], &o[4], &o[5], &id);
    ELE_BATR_USER_TEMP(&a, &a, &a, &a, &a, &a, &a, &a, &a, &a, &a, &a, &o[6], &id);
    EXPECT_EQ(o, (std::vector<double>{0, 0, 0, 0, 0, 0, 300.0}));
}

// Outputs 1..14 of one power-distribution call at time t.
std::vector<double> hev(double t, double q1, double q2, double q3, double p_demand, double mode)
{
    set_time(t);
    std::vector<double> u(12, 0.0), y(14, -5.0);
    u[1] = p_demand, u[10] = 8000.0, u[11] = mode;
    const int32_t id = 1, nu = 12, ny = 14;
    USERHEVPOWDISTR(&id, u.data(), &nu, y.data(), &ny, &q1, n_, &q2, n_, n_, n_, n_, n_, &q3, n_, n_, n_, n_, n_, n_, n_,
                    n_, n_, n_, n_, n_, n_);
    return y;
}

// Outputs 1, 2, 3, 4, 11, 12 and 13 as given, the others 0.
void expect_outputs(const std::vector<double>& y, const std::vector<double>& w)
{
    expect_near(y, {w[0], w[1], w[2], w[3], 0, 0, 0, 0, 0, 0, w[4], w[5], w[6], 0}, 0, 1e-12);
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
    expect_stop([] { hev(0.1, 0, 0, 0, 0, 0); }, " Not enough real parameters defined for the user model.\n");
}

std::vector<double> harness(int32_t id, std::vector<double> u, std::size_t ny, int32_t skip = 0, int32_t iharn = 1,
                            double y0 = 0.0)
{
    const auto nu = static_cast<int32_t>(u.size()), n = static_cast<int32_t>(ny);
    const double dt = 0.01;
    std::vector<double> y(ny, y0);
    USERHARNESS(&skip, &id, &dt, u.data(), &nu, y.data(), &n, &iharn);
    return y;
}

// Lag 0.02 s, opening above 1e5 Pa, at most 8 mm, 1e-5 mm per Pa; dt 0.01 s.
TEST(UserHarness, OrificeLawPassThroughAndActuatorCopy)
{
    setup_models(6, 1);
    load_model(1, {999}, {0.02, 1.0e5, 8.0, 1.0e-5});
    load_model(2, {999}, {0.0, 1.0e5, 8.0, 1.0e-5});
    load_model(3, {999}, {1, 2, 3});
    load_model(4, {}, {0.02, 1.0e5, 8.0, 1.0e-5});
    load_model(5, {123}, {});
    load_model(6, {5}, {});
    set_time(0.01);  // dp = 1.5e5: target 4 mm; r = 0.5, a third of the way from 2
    EXPECT_NEAR(harness(1, {3.0e5, 1.5e5}, 1, 0, 1, 2.0)[0], 2.0 + 2.0 / 3.0, 1e-14);
    set_time(0.02);  // target held at 8: 8/3 + (8 - 8/3) / 3
    EXPECT_NEAR(harness(1, {1.0e6, 0.0}, 1, 0, 1, 8.0 / 3.0)[0], 40.0 / 9.0, 1e-14);
    set_time(0.03);  // skipped: unchanged, still plotted
    EXPECT_EQ(harness(1, {1.0e6, 0.0}, 1, 1, 1, 40.0 / 9.0)[0], 40.0 / 9.0);
    set_time(0.04);  // dp at the opening value
    EXPECT_EQ(harness(1, {2.0e5, 1.0e5}, 1, 0, 1, 1.0)[0], 0.0);
    const Plot plot = drain_plot(1, 1);
    EXPECT_EQ(plot.x, (std::vector<double>{0.01, 0.02, 0.03, 0.04}));
    expect_near(plot.y, {2.0 + 2.0 / 3.0, 40.0 / 9.0, 40.0 / 9.0, 0.0}, 1e-14);
    EXPECT_EQ(plot.labels(), labels("User Harness Model", "Orifice Diameter", "sec", "mm"));
    // no lag time: r = dt / 1e-20, the target at once
    EXPECT_NEAR(harness(2, {3.0e5, 1.5e5}, 1, 0, 1, 1.0)[0], 4.0, 1e-12);
    // Too few reals, checked even when the law is skipped; no integers at all.
    expect_stop([] { harness(3, {1, 2}, 1, 1); }, " USERHARNESS error:  Check UserModel input\n");
    expect_stop([] { harness(4, {1, 2}, 1); }, " No integer parameters defined for user model\n");
    // Pass-through (model 5) and copy of the actuator signals of harness 2 (model 6).
    std::vector<double> u(19);
    for (int k = 0; k < 19; ++k) u[k] = k + 1.0;
    std::vector<double> want = u;
    want.erase(want.begin() + 16);  // input 17 skipped
    EXPECT_EQ(harness(5, u, 18), want);
    const int32_t nsig = 5, nharn = 2, h2 = 2;
    const double set[] = {10.0, 20.0, 30.0};
    ALLOC_USER_HARN(&nsig, &nharn);
    for (int32_t k = 1; k <= 3; ++k) SET_USER_HARN_OUTPUT(&k, &h2, &set[k - 1]);
    EXPECT_EQ(harness(6, {}, 4, 0, 2), (std::vector<double>{10.0, 20.0, 30.0, -999.0}));  // signal 4 never set
    expect_stop([] { harness(5, std::vector<double>(18, 1.0), 18); },
                " Array bounds error: subscript 1 of array UHARN has value 19, above its upper bound 18\n");
    expect_stop([] { harness(6, {}, 6, 0, 2); },
                " Array bounds error: subscript 1 of array GACTU has value 6, above its upper bound 5\n");
}

}  // namespace
}  // namespace usersub::test
