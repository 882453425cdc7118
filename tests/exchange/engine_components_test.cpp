#include "exchange/engine_components.h"
#include "usermodels/model_setup.h"
#include "usersub.h"

#include <gtest/gtest.h>

#include <array>
#include <string>
#include <utility>

namespace usersub::exchange {
namespace {

void load_species_count(std::int32_t nspecies)
{
    const std::int32_t zero = 0, limit = 1;
    LOADPROP0(&nspecies, &nspecies, &nspecies, &zero, &zero, &zero, &zero, &limit, &zero, &zero);
}

// Integers 10 and 11, reals 1 ... 8.
void load_injector(std::int32_t iinj, const std::string& name, const double* composition)
{
    const std::int32_t i1 = 10, i2 = 11;
    const double r[8] = {1, 2, 3, 4, 5, 6, 7, 8};
    LOADINJECTORINFO(&iinj, name.data(), static_cast<intptr_t>(name.size()), &i1, &i2, &r[0], &r[1], &r[2],
                     &r[3], &r[4], &r[5], &r[6], composition, &r[7]);
}

TEST(EngineComponents, InjectorsAndValvesBeforeAndAfterTheSpeciesSet)
{
    const std::int32_t two = 2, three = 3, i1_valve = -2;
    ALLOCATEINJECTORINFO(&two);
    ALLOCATEVALVEINFO(&three);
    const double comp[4] = {0.1, 0.2, 0.3, 0.4};

    // Before the species set: everything but the composition is stored, and
    // the getter leaves its composition output untouched.
    load_injector(1, "Port injector", comp);
    char name[80];
    std::int32_t i1 = 0, i2 = 0;
    double r7 = 0.0, r8 = 0.0, got[4] = {-1, -1, -1, -1};
    InjectorInfoOut out{.name = name, .name_len = sizeof name, .i1 = &i1, .i2 = &i2, .composition = got};
    out.r[6] = &r7;
    out.r[7] = &r8;
    get_injector_info(1, out);
    EXPECT_EQ(std::string(name, 14), "Port injector ");
    EXPECT_EQ((std::array{i1 * 1.0, i2 * 1.0, r7, r8, got[0]}), (std::array{10.0, 11.0, 7.0, 8.0, -1.0}));

    load_species_count(4);
    load_injector(2, std::string(117, 'x') + "cut", comp);
    get_injector_info(2, out);
    EXPECT_EQ(std::string(name, 80), std::string(80, 'x'));  // the first 80 of the stored 117
    EXPECT_EQ(got[3], 0.4);
    EXPECT_EQ(injector_composition()(4, 2), 0.4);  // (species, injector)

    // A valve's first composition comes between its reals 4 and 5, the second after real 6.
    const double comp2[4] = {0.5, 0.6, 0.7, 0.8}, rv[6] = {1, 2, 3, 4, 5, 6};
    LOADVALVEINFO(&two, "Intake valve 1", 14, &i1_valve, &rv[0], &rv[1], &rv[2], &rv[3], comp, &rv[4], &rv[5],
                  comp2);
    EXPECT_EQ(valve_composition1()(2, 1), 0.1);  // (valve, species)
    double r4 = 0.0, r5 = 0.0, g2[4] = {};
    get_valve_info(2, {.i1 = &i1, .r = {nullptr, nullptr, nullptr, &r4, &r5}, .composition1 = got, .composition2 = g2});
    EXPECT_EQ((std::array{i1 * 1.0, r4, r5, got[0], g2[3]}), (std::array{-2.0, 4.0, 5.0, 0.1, 0.8}));
    get_valve_info(3, ValveInfoOut{});  // every output null

    // Re-allocating the injectors keeps the composition's size and values.
    ALLOCATEINJECTORINFO(&three);
    EXPECT_EQ(injector_composition()(3, 2), 0.3);
    get_injector_info(2, out);
    EXPECT_EQ(std::pair(i1, name[0]), std::pair(0, ' '));  // the other arrays are fresh
    // Injector 3 has no composition column until the species set is loaded again.
    test::expect_child_stop(
        [&] { load_injector(3, "third", comp); },
        " Array bounds error: subscript 2 of array INJ_COMPOSITION has value 3, above its upper bound 2\n");
}

TEST(EngineComponents, CylinderTableAndPistonKinematics)
{
    const std::int32_t one = 1, two = 2, three = 3, ival = 7;
    ALLOCATE_CYLINDERINFO(&two);
    // Stroke 0.1 m, pin offset 5 mm, rod 0.16 m; reals 1, 4 and 6 to 13 are not read.
    const double z = 0.0, stroke = 0.1, offset = 0.005, rod = 0.16, r13 = 13.0, angle = 35.5;
    LOADCYLINDERINFO(&one, &ival, &z, &stroke, &offset, &z, &rod, &z, &z, &z, &z, &z, &z, &z, &r13);
    LOADCYLINDERANGLE(&one, &angle);
    std::int32_t got_ival = 0;
    double got_r13 = 0.0, got_angle = 0.0, *r[13] = {};
    r[12] = &got_r13;
    get_cylinder_info(1, &got_ival, r, &got_angle);
    EXPECT_EQ((std::array{got_ival * 1.0, got_r13, got_angle}), (std::array{7.0, 13.0, 35.5}));
    get_cylinder_info(1, nullptr, nullptr, nullptr);  // every output null

    // 30 deg, 3000 rev/min, previous 2990 rev/min, 1 deg step, pi = 3.1415927:
    // s = (0.05 sin 30 + 0.005) / 0.16 = 0.1875, c = sqrt(1 - s^2) = 0.9822646;
    // position = sqrt(0.21^2 - 0.005^2) - 0.05 cos 30 - 0.16 c = 0.2099405 - 0.0433013 - 0.1571623;
    // velocity = 0.05 x 314.15927 x (0.5 + 0.8660254 x 0.1908844);
    // acceleration worked with Python from the same formula.
    const PistonMotion m = piston_kinematics(1, 3000.0, 2990.0, 30.0, 1.0);
    EXPECT_NEAR(m.position, 0.0094769, 1e-7);
    EXPECT_NEAR(m.velocity, 10.450691, 1e-5);
    EXPECT_NEAR(m.acceleration, 5025.0505, 1e-3);
    // Without offset: position and velocity 0 at top dead centre, acceleration
    // r w^2 (1 + r/L) = 0.05 x 314.15927^2 x 1.3125.
    LOADCYLINDERINFO(&two, &ival, &z, &stroke, &z, &z, &rod, &z, &z, &z, &z, &z, &z, &z, &z);
    const PistonMotion tdc = piston_kinematics(2, 3000.0, 3000.0, 0.0, 1.0);
    EXPECT_NEAR(tdc.position, 0.0, 1e-15);
    EXPECT_EQ(tdc.velocity, 0.0);
    EXPECT_NEAR(tdc.acceleration, 0.05 * 314.15927 * 314.15927 * 1.3125, 1e-6);

    test::expect_child_stop([&] { LOADCYLINDERANGLE(&three, &angle); }, test::bounds_error("CYL_ANGLE", 3, 2));
}

}  // namespace
}  // namespace usersub::exchange
