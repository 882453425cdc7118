#include "support/child.h"
#include "usermodels/model_setup.h"
#include "usersub.h"

#include <gtest/gtest.h>

#include <array>
#include <cmath>

namespace usersub::test {
namespace {

// Forces of one connection call; entries 2 and 3 keep their sentinel.
std::array<double, 4> connect(int32_t id, std::array<double, 4> x, std::array<double, 4> v)
{
    std::array<double, 4> f{-7.0, -7.0, -7.0, -7.0};
    MEC_USER_UCON(nullptr, nullptr, x.data(), v.data(), nullptr, nullptr, f.data(), &id);
    return f;
}

// Displacements and velocities that give the film gap h and gap rate hdot,
// the first end at x0 moving at v0.
std::array<double, 4> film_force(int32_t id, double h, double hdot, double x0 = 0.0, double v0 = 0.0)
{
    return connect(id, {x0, 0, 0, x0 + h}, {v0, 0, 0, v0 + hdot});
}

TEST(MechanicalConnection, SpringDamperAndContact)
{
    allocate_models(2);
    load_model(1, {1}, {1000.0, 10.0});
    load_model(2, {2, 0}, {5.0e4, 0.01});

    auto f = connect(1, {0.3, 0, 0, 0.1}, {2.0, 0, 0, 0.5});
    EXPECT_DOUBLE_EQ(f[3], 215.0);  // 1000 x 0.2 + 10 x 1.5
    EXPECT_DOUBLE_EQ(f[0], -215.0);
    EXPECT_EQ(f[1], -7.0);
    EXPECT_EQ(f[2], -7.0);

    f = connect(2, {0.05, 0, 0, 0.02}, {9.0, 0, 0, 0.0});
    EXPECT_DOUBLE_EQ(f[3], 1000.0);  // 5e4 x (0.03 - 0.01); velocities play no part
    EXPECT_DOUBLE_EQ(f[0], -1000.0);
    for (double sep : {0.005, 0.01}) {  // inside the gap, and exactly at it
        f = connect(2, {sep, 0, 0, 0.0}, {0, 0, 0, 0});
        EXPECT_EQ(f[3], 0.0) << sep;
        EXPECT_EQ(f[0], 0.0) << sep;
    }
}

// Annular film r1 = 0.01, r2 = 0.02 m, 2e5 / 1e5 Pa, 0.01 Pa s, 100 Pa:
// A = 3e-4 m2, a = 1/(2 ln 2) - 1/3 = 0.3880141871111484,
// pressure load pi A (2e5 a + 1e5 (1 - a)) = 130.81725519920363 N,
// viscous coefficient 3 pi A^2 (a - 0.5) = -9.487e-8 (hand, python checked).
TEST(MechanicalConnection, AnnularSqueezedFilm)
{
    allocate_models(1);
    load_model(1, {3, 0}, {0.01, 0.02, 2.0e5, 1.0e5, 0.01, 100.0});
    const double pressure_N = 130.81725519920363;

    // Opening, h = 1e-5, hdot = 1e-4: pressure + visc x 0.01 x 1e-4 / 1e-15.
    auto f = film_force(1, 1e-5, 1e-4, 0.25, -0.5);
    EXPECT_NEAR(f[3], 35.82752728817141, 1e-9);
    EXPECT_DOUBLE_EQ(f[0], -f[3]);

    // Closing below the clamp gap (h = 1e-8): no viscous term at all.
    EXPECT_NEAR(film_force(1, 1e-8, -5.0)[3], pressure_N, 1e-10);

    // Closing at h = 3e-7: ramp 1 - exp(-0.1) = 0.09516258196404048 on the
    // viscous term with the unclamped gap.
    EXPECT_NEAR(film_force(1, 3e-7, -1e-3)[3], 3348081.842468351, 1e-3);

    // Opening at h = 1e-8: no clamp, the gap stays 1e-8 (not 1.5e-7):
    // 130.81725519920363 + visc x 0.01 x 1e-14 / 1e-24 = 130.8172552 - 9.497.
    const double visc = 3.0 * 3.14159265358979 * 9e-8 * (0.3880141871111484 - 0.5);
    EXPECT_NEAR(film_force(1, 1e-8, 1e-14)[3], pressure_N + visc * 0.01 * 1e-14 / 1e-24, 1e-9);
    // Opening from h = 0 works with the gap 1e-9.
    EXPECT_NEAR(film_force(1, 0.0, 1e-22)[3], pressure_N + visc * 0.01 * 1e-22 / 1e-27, 1e-9);
    // A fast opening is held at area x vapour pressure = pi 3e-4 x 100.
    EXPECT_NEAR(film_force(1, 1e-6, 1.0)[3], 0.0942477796076937, 1e-15);
}

TEST(MechanicalConnection, CircularFilmAndSharedFilmData)
{
    allocate_models(2);
    load_model(1, {3, 0}, {0.0, 0.01, 7.0e5, 1.0e5, 0.01, 100.0});
    // area pi 1e-4; 1e5 area - 1.5 pi 1e-8 0.01 1e-3 / 1e-12 = 31.4159265358979 - 0.4712388980384685
    EXPECT_NEAR(film_force(1, 1e-4, 1e-3)[3], 30.944687637859435, 1e-11);
    // A large opening rate: held at pi 1e-4 x 100.
    EXPECT_NEAR(film_force(1, 1e-4, 10.0)[3], 0.0314159265358979, 1e-15);
    // Closing below the clamp gap: no ramp on the circular film, hd = 0.
    EXPECT_NEAR(film_force(1, 1e-8, -1.0)[3], 31.4159265358979, 1e-11);

    // Data from the shared block: always 2e5, 1e5, 0.003, 100, whatever the
    // real parameters beyond the radii say.
    load_model(2, {3, 1}, {0.01, 0.02, 9e9, 9e9, 9e9, 9e9});
    // 130.81725519920363 + 3 pi 9e-8 (a - 0.5) 0.003 1e-4 / 1e-15
    EXPECT_NEAR(film_force(2, 1e-5, 1e-4)[3], 102.32033682589396, 1e-9);
}

TEST(MechanicalConnection, InputErrorsStopTheRun)
{
    allocate_models(21);
    load_model(1, {7}, {1.0, 2.0});
    load_model(2, {1}, {1.0});
    load_model(3, {3, 0}, {0.01, 0.02, 1, 2, 3});
    load_model(4, {3}, {0.01, 0.02});
    load_model(5, {3, 1}, {0.01});
    load_model(6, {}, {1.0, 2.0});
    load_model(21, {3, 1}, {0.01, 0.02});
    const auto run = [](int32_t id) { return run_in_child([id] { film_force(id, 1e-5, 0.0); }); };

    auto r = run(1);
    EXPECT_EQ(r.exit_status, 1);
    EXPECT_EQ(r.output, " User Model error (UserMechConn):\n"
                        " Invalid integer flag (1st integer parameter in UserModel object)\n"
                        " Allowed values for and the corresponding sample user models are:\n"
                        " 1 - Spring & damper combination\n"
                        " 2 - Simple contact with stiffness and initial gap\n"
                        " 3 - Circular or annular squeezed film\n");
    r = run(2);
    EXPECT_EQ(r.exit_status, 1);
    EXPECT_EQ(r.output, " User Model error (UserMechConn):\n"
                        " Number of Real parameters in UserModel object should be  2\n");
    r = run(3);
    EXPECT_EQ(r.output, " User Model error (UserMechConn):\n"
                        " Number of Real parameters in UserModel object should be  6\n");
    r = run(4);
    EXPECT_EQ(r.exit_status, 1);
    EXPECT_EQ(r.output,
              " User Model error (UserMechConn):\n"
              " This model requires 2 integer values in integer array in UserModel object\n"
              " The second integer is used as a flag only when the first integer is 3, i.e.\n"
              " points to the user model for a squeeze-film force:\n"
              " 0 - pressures, viscosity and vapor pressure are inputs passed in UserModel object\n"
              " 1 - pressures, viscosity and vapor pressure come common /sqz/ in a user routine\n");
    // The film reads both radii before it counts the reals.
    r = run(5);
    EXPECT_EQ(r.exit_status, 1);
    EXPECT_EQ(r.output, " Array bounds error: subscript 1 of array REALPARM has value 2, above its upper bound 1\n");
    r = run(6);
    EXPECT_EQ(r.output, " Array bounds error: subscript 1 of array INTPARM has value 1, above its upper bound 0\n");
    r = run(21);
    EXPECT_EQ(r.exit_status, 1);
    EXPECT_EQ(r.output, " User model error (MEC_USER_UCON). Number of user models greater than 20. \n"
                        " Increasing the size of the arrays in the common should fix this. \n");
}

TEST(ExternalForce, LinearLawAndMissingParameters)
{
    allocate_models(2);
    load_model(1, {}, {3.0, -2.0});
    load_model(2, {}, {3.0});
    int32_t id = 1;
    const double x1 = 2.0, x2 = 5.0;
    double force = 0.0;
    MEC_USER_EXTF(nullptr, &x1, &x2, &force, &id);
    EXPECT_DOUBLE_EQ(force, -4.0);  // 3 x 2 - 2 x 5
    const auto r = run_in_child([&] {
        id = 2;
        MEC_USER_EXTF(nullptr, &x1, &x2, &force, &id);
    });
    EXPECT_EQ(r.exit_status, 1);
    EXPECT_EQ(r.output, " UserModel error (Force/Torque):  Check UserModel input\n");
}

}  // namespace
}  // namespace usersub::test
