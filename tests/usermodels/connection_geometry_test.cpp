#include "usermodels/model_setup.h"

#include <gtest/gtest.h>

#include <array>
#include <cmath>

namespace usersub::test {
namespace {

enum : int { A1, A2, A3, L1, L2, V1, V2, V3, ZERO, DH1, DH2, DH3 };

// Outputs 34..51 of the flow side (index k - 34) for D1..D4 = 12, 8, 5, 2 mm,
// alpha 0.7, beta 1.1.
std::array<double, 18> flow_side(double x, double x_ref, double gamma = 0.3)
{
    const int32_t id = 1;
    const double a5 = 5.5, a6 = 6.5, d1 = 0.012, d2 = 0.008, d3 = 0.005, d4 = 0.002, alpha = 0.7, beta = 1.1;
    const double* j = &a5;  // positions with no effect
    std::array<double, 18> o;
    o.fill(-1.0);
    USER_FLOW_CPCS(&id, j, j, j, &a5, &a6, &x, &x_ref, j, j, j, j, j, j, j, j, j, j, j, j, j, j, j, j, &d1, &d2,
                   &d3, &d4, &alpha, &beta, &gamma, j, j, &o[0], &o[1], &o[2], &o[3], &o[4], &o[5], &o[6], &o[7],
                   &o[8], &o[9], &o[10], &o[11], &o[12], &o[13], &o[14], &o[15], &o[16], &o[17]);
    return o;
}

// Areas and hydraulic diameters from an independent evaluation of the
// formulas (python, pi = 3.14159265358979); lengths and volumes by hand.
TEST(ConnectionGeometry, FlowAreasLengthsVolumesAndHydraulicDiameters)
{
    setup_models(1);
    auto o = flow_side(2e-4, 5e-5);
    const std::array<double, 12> want{1.225735171942995e-4, 3.277907523735987e-06, 1.4988002131396096e-05,
                                      0.002 / std::sin(0.7), 0.0015 / std::sin(0.7),
                                      0.7853981633974475 * 8e-5 * 1.5e-4, 0.7853981633974475 * 3.9e-5 * 1.5e-4,
                                      0.7853981633974475 * 2.1e-5 * 1.5e-4, 0.0, 0.013321498953800364,
                                      4e-4 / std::sin(0.7), 0.0021699305566402014};
    for (int k = 0; k < 12; ++k) EXPECT_NEAR(o[k], want[k], std::abs(want[k]) * 1e-12) << "output " << k + 34;
    for (int k = 12; k < 18; ++k) EXPECT_EQ(o[k], k < 15 ? 6.5 : 5.5);  // arguments 6 and 5 handed through

    o = flow_side(0.0, 0.0);  // closed: D2 / x is 1e18, no second area, no volumes
    EXPECT_EQ(o[A2] + o[V1] + o[V2] + o[V3] + o[DH2], 0.0);
    EXPECT_NEAR(o[A3], 1.2859867394073713e-05, 1e-18);
    o = flow_side(3e-3, 0.0);  // wide open: the third area held at pi/4 (D3^2 - D4^2)
    EXPECT_EQ(o[A3], 0.7853981633974475 * (0.005 * 0.005 - 0.002 * 0.002));
    o = flow_side(1e-4, 0.0, 1.2);  // first curtain below zero lift: area 0, diameter not limited
    EXPECT_EQ(o[A1], 0.0);
    EXPECT_LT(o[DH1], 0.0);
    o = flow_side(1e-4, 0.0, 0.0);  // cot(0) taken as 1e18
    EXPECT_NEAR(o[DH1], 2.0 * (1e-4 + 0.002 * (1e18 - 1.0 / std::tan(0.7))) / std::sin(0.7), 1e4);
}

// Outputs 33..35 of the mechanical side for D0..D3 = 14, 10, 8, 4 mm, alpha 0.6, beta 0.9.
std::array<double, 3> mec_side(int32_t s, double x, double pa, double pb, double pc, double form)
{
    const int32_t id = 1;
    const double d0 = 0.014, d1 = 0.010, d2 = 0.008, d3 = 0.004, alpha = 0.6, beta = 0.9;
    const double* j = &d0;
    std::array<double, 3> o{};
    USER_MEC_CPCS(&id, j, &s, j, j, j, &x, &pa, &pb, &pc, j, j, j, j, j, j, j, j, j, j, j, j, j, &d0, &d1, &d2, &d3,
                  &alpha, &beta, &form, j, j, &o[0], &o[1], &o[2]);
    EXPECT_EQ(o[1], -o[0]);
    return o;
}

TEST(ConnectionGeometry, ChangeOverDiameterPressureForceAndCheckValve)
{
    setup_models(1);
    auto o = mec_side(-1, 1e-4, 2e7, 1e7, 1e5, 0.0);  // python reference
    EXPECT_NEAR(o[2], 0.0085372301732807, 1e-15);
    EXPECT_NEAR(o[0], -1938.3645909183708, 1e-9);
    EXPECT_NEAR(mec_side(-1, 1e-4, 2e7, 1e7, 1e5, 1.0)[0], -1725.3983735200127, 1e-9);
    // Equal pressures: s p pi/4 (D0^2 - D3^2) = 848.2300164692435 in both forms.
    for (double form : {-1.0, 0.0, 0.5}) {
        for (double x : {1e-5, 1e-4, 2e-3}) {
            EXPECT_NEAR(mec_side(2, x, 3e6, 3e6, 3e6, form)[0], 2.0 * 3e6 * 0.7853981633974475 * 1.8e-4, 1e-9);
        }
    }
    const double junk = 42.0, *j = &junk;
    for (int32_t id : {0, 1}) {
        double cf = -1.0;
        HLA_CVFLOWCOEF(&id, j, j, j, j, j, j, j, j, j, j, j, j, j, j, j, j, &cf);
        EXPECT_EQ(cf, 0.6);
    }
}

}  // namespace
}  // namespace usersub::test
