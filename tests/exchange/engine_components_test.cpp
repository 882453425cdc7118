#include "exchange/engine_components.h"
#include "support/child.h"
#include "usersub.h"

#include <gtest/gtest.h>

#include <string>

namespace usersub::exchange {
namespace {

void load_species_count(std::int32_t nspecies)
{
    const std::int32_t zero = 0, limit = 1;
    LOADPROP0(&nspecies, &nspecies, &nspecies, &zero, &zero, &zero, &zero, &limit, &zero, &zero);
}

// Integers 10 iinj and 11 iinj, reals 100 iinj + 1 ... 100 iinj + 8.
void load_injector(std::int32_t iinj, const std::string& name, const double* composition)
{
    const std::int32_t i1 = 10 * iinj, i2 = 11 * iinj;
    double r[8];
    for (int k = 0; k < 8; ++k) r[k] = 100.0 * iinj + k + 1;
    LOADINJECTORINFO(&iinj, name.data(), static_cast<intptr_t>(name.size()), &i1, &i2, &r[0], &r[1], &r[2],
                     &r[3], &r[4], &r[5], &r[6], composition, &r[7]);
}

TEST(EngineComponents, InjectorsBeforeAndAfterTheSpeciesSet)
{
    const std::int32_t two = 2, three = 3;
    ALLOCATEINJECTORINFO(&two);
    const double comp[4] = {0.1, 0.2, 0.3, 0.4};

    // Before the species set: everything but the composition is stored, and
    // the getter leaves its composition output untouched.
    load_injector(1, "Port injector", comp);
    InjectorInfoOut out;
    char name[80];
    std::int32_t i1 = 0, i2 = 0;
    double r5 = 0.0, r8 = 0.0, got[4] = {-1, -1, -1, -1};
    out.name = name, out.name_len = sizeof name, out.i1 = &i1, out.i2 = &i2;
    out.r[4] = &r5, out.r[7] = &r8, out.composition = got;
    get_injector_info(1, out);
    EXPECT_EQ(std::string(name, 14), "Port injector ");
    EXPECT_EQ(i2, 11);
    EXPECT_EQ(r5, 105.0);
    EXPECT_EQ(r8, 108.0);  // the real after the composition
    EXPECT_EQ(got[0], -1.0);

    load_species_count(4);
    load_injector(2, std::string(117, 'x') + "cut", comp);
    get_injector_info(2, out);
    EXPECT_EQ(std::string(name, 80), std::string(80, 'x'));  // the first 80 of the stored 117
    EXPECT_EQ(got[3], 0.4);
    const auto c = injector_composition();  // species first: one column per injector
    EXPECT_EQ(&c(1, 2) - &c(1, 1), 4);
    EXPECT_EQ(c(4, 2), 0.4);
    EXPECT_EQ(c(1, 1), 0.0);

    // Re-allocating the injectors keeps the composition's size and values.
    ALLOCATEINJECTORINFO(&three);
    EXPECT_EQ(injector_composition()(3, 2), 0.3);
    get_injector_info(2, out);
    EXPECT_EQ(i1, 0);  // the other arrays are fresh
    EXPECT_EQ(name[0], ' ');
    // Injector 3 has no composition column until the species set is loaded again.
    const auto r = test::run_in_child([&] { load_injector(3, "third", comp); });
    EXPECT_EQ(r.exit_status, 1);
    EXPECT_NE(r.output.find("array INJ_COMPOSITION has value 3, above its upper bound 2"), std::string::npos);
    load_species_count(4);
    load_injector(3, "third", comp);
    EXPECT_EQ(injector_composition()(4, 3), 0.4);
    EXPECT_EQ(injector_composition()(3, 2), 0.0);  // a new species set starts from zeros
}

TEST(EngineComponents, ValvesHoldTwoStridedCompositions)
{
    const std::int32_t three = 3, ivalve = 2, i1 = -2;
    ALLOCATEVALVEINFO(&three);
    load_species_count(2);
    const double c1[2] = {0.7, 0.3}, c2[2] = {0.1, 0.9};
    double r[6] = {11.0, 12.0, 13.0, 14.0, 15.0, 16.0};
    LOADVALVEINFO(&ivalve, "Intake valve 1", 14, &i1, &r[0], &r[1], &r[2], &r[3], c1, &r[4], &r[5], c2);

    const auto v1 = valve_composition1();
    EXPECT_EQ(&v1(2, 2) - &v1(2, 1), 3);  // valve first: a valve's entries are N_VALVES apart
    EXPECT_EQ(v1(2, 2), 0.3);
    EXPECT_EQ(v1(1, 1), 0.0);

    ValveInfoOut out;
    char name[20];
    std::int32_t got_i1 = 0;
    double r4 = 0.0, r5 = 0.0, g1[2] = {}, g2[2] = {};
    out.name = name, out.name_len = sizeof name, out.i1 = &got_i1, out.r[3] = &r4, out.r[4] = &r5;
    out.composition1 = g1, out.composition2 = g2;
    get_valve_info(2, out);
    EXPECT_EQ(std::string(name, 20), "Intake valve 1      ");
    EXPECT_EQ(got_i1, -2);
    EXPECT_EQ(r4, 14.0);  // the last real before composition 1
    EXPECT_EQ(r5, 15.0);  // the first after it
    EXPECT_EQ(g1[0], 0.7);
    EXPECT_EQ(g2[1], 0.9);
    get_valve_info(3, ValveInfoOut{});  // every output null
}

TEST(EngineComponents, CylinderTableAndPistonKinematics)
{
    const std::int32_t one = 1, two = 2, ival = 7;
    ALLOCATE_CYLINDERINFO(&two);
    // Stroke 0.1 m, pin offset 5 mm, rod 0.16 m; reals 1, 4 and 6 to 13 are not read.
    const double z = 0.0, stroke = 0.1, offset = 0.005, rod = 0.16, r13 = 13.0, angle = 35.5;
    LOADCYLINDERINFO(&one, &ival, &z, &stroke, &offset, &z, &rod, &z, &z, &z, &z, &z, &z, &z, &r13);
    LOADCYLINDERANGLE(&one, &angle);
    std::int32_t got_ival = 0;
    double got_r13 = 0.0, got_angle = 0.0;
    double* r[13] = {};
    r[12] = &got_r13;
    get_cylinder_info(1, &got_ival, r, &got_angle);
    EXPECT_EQ(got_ival, 7);
    EXPECT_EQ(got_r13, 13.0);
    EXPECT_EQ(got_angle, 35.5);
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

    ALLOCATE_CYLINDERINFO(&two);  // discards every value stored so far
    get_cylinder_info(1, &got_ival, r, &got_angle);
    EXPECT_EQ(got_ival, 0);
    EXPECT_EQ(got_r13, 0.0);
    EXPECT_EQ(got_angle, 0.0);
    const auto past = test::run_in_child([&] {
        const std::int32_t three = 3;
        LOADCYLINDERANGLE(&three, &angle);
    });
    EXPECT_EQ(past.exit_status, 1);
    EXPECT_EQ(past.output, " Array bounds error: subscript 1 of array CYL_ANGLE has value 3, above its upper bound 2\n");
}

}  // namespace
}  // namespace usersub::exchange
