#include "usermodels/model_setup.h"
#include "usersub.h"

#include <gtest/gtest.h>

#include <array>
#include <cmath>

namespace usersub::test {
namespace {

// Outputs 34..51 of the flow side, index k - 34.
std::array<double, 18> flow_side(double x, double x_ref, double d1, double d2, double d3, double d4,
                                 double alpha, double beta, double gamma)
{
    const int32_t id = 1;
    const double a5 = 5.5, a6 = 6.5, junk = 1e30;
    std::array<double, 18> o;
    o.fill(-1.0);
    USER_FLOW_CPCS(&id, &junk, &junk, &junk, &a5, &a6, &x, &x_ref, &junk, &junk, &junk, &junk, &junk, &junk,
                   &junk, &junk, &junk, &junk, &junk, &junk, &junk, &junk, &junk, &junk, &d1, &d2, &d3, &d4,
                   &alpha, &beta, &gamma, &junk, &junk, &o[0], &o[1], &o[2], &o[3], &o[4], &o[5], &o[6], &o[7],
                   &o[8], &o[9], &o[10], &o[11], &o[12], &o[13], &o[14], &o[15], &o[16], &o[17]);
    return o;
}

enum : int { A1, A2, A3, L1, L2, V1, V2, V3, ZERO, DH1, DH2, DH3 };

// Reference values from an independent evaluation of the geometry formulas
// (python, pi = 3.14159265358979, pi/4 = 0.7853981633974475); the volumes and
// lengths also by hand.
TEST(ConnectionGeometry, FlowAreasLengthsVolumesAndHydraulicDiameters)
{
    allocate_models(1);
    auto o = flow_side(2e-4, 5e-5, 0.012, 0.008, 0.005, 0.002, 0.7, 1.1, 0.3);
    EXPECT_NEAR(o[A1], 1.225735171942995e-4, 1e-17);
    EXPECT_NEAR(o[A2], 3.277907523735987e-06, 1e-18);
    EXPECT_NEAR(o[A3], 1.4988002131396096e-05, 1e-18);
    EXPECT_NEAR(o[L1], 0.003104540653914208, 1e-16);  // 0.002 / sin 0.7
    EXPECT_NEAR(o[L2], 0.002328405490435656, 1e-16);  // 0.0015 / sin 0.7
    EXPECT_NEAR(o[V1], 9.424777960769372e-09, 1e-22);  // pi/4 x 8e-5 x 1.5e-4
    EXPECT_NEAR(o[V2], 4.594579255875068e-09, 1e-22);  // pi/4 x 3.9e-5 x 1.5e-4
    EXPECT_NEAR(o[V3], 2.47400421470196e-09, 1e-22);   // pi/4 x 2.1e-5 x 1.5e-4
    EXPECT_EQ(o[ZERO], 0.0);
    EXPECT_NEAR(o[DH1], 0.013321498953800364, 1e-15);
    EXPECT_NEAR(o[DH2], 0.0006209081307828417, 1e-16);  // 4e-4 / sin 0.7
    EXPECT_NEAR(o[DH3], 0.0021699305566402014, 1e-16);
    for (int k = 12; k < 15; ++k) EXPECT_EQ(o[k], 6.5);  // outputs 46..48: argument 6
    for (int k = 15; k < 18; ++k) EXPECT_EQ(o[k], 5.5);  // outputs 49..51: argument 5

    // Closed (x = 0 = x_ref): D2 / x is taken as 1e18, the second area and
    // all volumes vanish.
    o = flow_side(0.0, 0.0, 0.012, 0.008, 0.005, 0.002, 0.7, 1.1, 0.3);
    EXPECT_EQ(o[A2], 0.0);
    EXPECT_EQ(o[V1] + o[V2] + o[V3], 0.0);
    EXPECT_EQ(o[DH2], 0.0);
    EXPECT_NEAR(o[A1], 1.1604451691276593e-4, 1e-17);
    EXPECT_NEAR(o[A3], 1.2859867394073713e-05, 1e-18);

    // Wide open: the third area is held at pi/4 (D3^2 - D4^2) = 1.64933614313464e-05.
    o = flow_side(3e-3, 0.0, 0.012, 0.008, 0.005, 0.002, 0.7, 1.1, 0.3);
    EXPECT_EQ(o[A3], 0.7853981633974475 * (0.005 * 0.005 - 0.002 * 0.002));
    EXPECT_NEAR(o[A2], 5.703997918535299e-05, 1e-18);

    // gamma above alpha moves the first curtain below zero lift: A1 is held
    // at 0 while its hydraulic diameter is not limited.
    o = flow_side(1e-4, 0.0, 0.012, 0.008, 0.005, 0.002, 0.7, 1.1, 1.2);
    EXPECT_EQ(o[A1], 0.0);
    EXPECT_LT(o[DH1], 0.0);
    // gamma = 0: cot(0) is taken as 1e18, a huge but finite curtain.
    o = flow_side(1e-4, 0.0, 0.012, 0.008, 0.005, 0.002, 0.7, 1.1, 0.0);
    EXPECT_TRUE(std::isfinite(o[DH1]));
    EXPECT_NEAR(o[DH1], 2.0 * (1e-4 + 0.002 * (1e18 - 1.0 / std::tan(0.7))) / std::sin(0.7), 1e4);
}

std::array<double, 3> mec_side(int32_t s, double x, double pa, double pb, double pc, double form)
{
    const int32_t id = 1;
    const double junk = -1e30, d0 = 0.014, d1 = 0.010, d2 = 0.008, d3 = 0.004, alpha = 0.6, beta = 0.9;
    std::array<double, 3> o{};
    USER_MEC_CPCS(&id, &junk, &s, &junk, &junk, &junk, &x, &pa, &pb, &pc, &junk, &junk, &junk, &junk, &junk,
                  &junk, &junk, &junk, &junk, &junk, &junk, &junk, &junk, &d0, &d1, &d2, &d3, &alpha, &beta,
                  &form, &junk, &junk, &o[0], &o[1], &o[2]);
    return o;
}

TEST(ConnectionGeometry, ChangeOverDiameterAndPressureForce)
{
    allocate_models(1);
    // D0..D3 = 14, 10, 8, 4 mm, alpha 0.6, beta 0.9, lift 0.1 mm.
    auto o = mec_side(-1, 1e-4, 2e7, 1e7, 1e5, 0.0);
    EXPECT_NEAR(o[2], 0.0085372301732807, 1e-15);
    EXPECT_NEAR(o[0], -1938.3645909183708, 1e-9);
    EXPECT_EQ(o[1], -o[0]);
    o = mec_side(-1, 1e-4, 2e7, 1e7, 1e5, 1.0);
    EXPECT_NEAR(o[0], -1725.3983735200127, 1e-9);
    EXPECT_EQ(o[1], -o[0]);

    // Equal pressures: s p pi/4 (D0^2 - D3^2) = 2 x 3e6 x 0.7853981633974475 x 1.8e-4
    // whatever the change-over diameter, in both forms.
    const double want = 2.0 * 3e6 * 0.7853981633974475 * 1.8e-4;  // 848.2300164692435
    for (double form : {-1.0, 0.0, 0.5}) {
        for (double x : {1e-5, 1e-4, 2e-3}) {
            o = mec_side(2, x, 3e6, 3e6, 3e6, form);
            EXPECT_NEAR(o[0], want, 1e-9) << form << " " << x;
        }
    }
}

TEST(ConnectionGeometry, CheckValveCoefficient)
{
    allocate_models(1);
    const double junk = 42.0;
    for (int32_t id : {0, 1}) {
        double cf = -1.0;
        HLA_CVFLOWCOEF(&id, &junk, &junk, &junk, &junk, &junk, &junk, &junk, &junk, &junk, &junk, &junk, &junk,
                       &junk, &junk, &junk, &junk, &cf);
        EXPECT_EQ(cf, 0.6);
    }
}

}  // namespace
}  // namespace usersub::test
