#include "exchange/engine_components.h"
#include "exchange/run_info.h"
#include "exchange/user_models.h"
#include "usermodels/model_setup.h"
#include "usersub.h"

#include <gtest/gtest.h>

#include <array>
#include <fstream>
#include <limits>
#include <string>
#include <utility>
#include <vector>

namespace usersub::exchange {
namespace {

using namespace usersub::test;

TEST(UserModels, CountsFillValuesTextsAndHostIndices)
{
    const int32_t n = 2, one = 1, two = 2, four = 4, five = 5, neg = -3;
    ALLOCATE_USER_STRUCTURE(&n);
    const double reals[] = {1.5, 2.5};
    set_ints(1, {4, 5, 6});
    set_reals(1, {1.5, 2.5, 3.5});
    set_reals(1, {3.5});  // a reload replaces the array
    ALLOCATE_USER_RLTARRAY(&one, &four);
    SETUSERRLTVALUE(&one, &two, reals);
    LOAD_USER_INTARRAY(&two, &neg, &n);  // a negative count gives an empty array

    UserModelArrays a;
    load_user_model_arrays(1, a);
    ASSERT_EQ((std::array{a.nint, a.nreal, a.nrlt}), (std::array{3, 1, 4}));
    EXPECT_EQ(a.intparm(3), 6);
    EXPECT_EQ(a.realparm(1), 3.5);
    EXPECT_EQ((std::array{a.rltarray(2), a.rltarray(3)}), (std::array{2.5, -1e20}));  // unset: -1e20
    // Fresh records, and identifiers below 1, give zero counts and empty views.
    for (int id : {2, 0}) {
        load_user_model_arrays(id, a);
        EXPECT_TRUE(a.nint + a.nreal + a.nchar + a.nrlt == 0 && a.intparm.empty() && a.rltarray.empty()) << id;
    }

    // Texts are padded to 132 (or cut); the exported fetch describes them to the host.
    LOAD_USER_CHARARRAY(&two, &two, "0123456789abcdefghij", 10);
    int32_t nint = -1, nreal = -1, nchar = -1, nrlt = -1;
    usersub_array_view vi, vr, vc, vt;
    LOAD_USER_MODEL_ARRAYS(&two, &nint, &nreal, &nchar, &nrlt, &vi, &vr, &vc, &vt);
    EXPECT_EQ((std::array{nint, nreal, nchar, nrlt}), (std::array{0, 0, 2, 0}));
    EXPECT_EQ(vi.base, 0);  // an empty array has no data
    EXPECT_EQ((std::array{vc.extent, vc.elem_len, vc.stride}), (std::array<intptr_t, 3>{2, 132, 132}));
    const char* texts = reinterpret_cast<const char*>(vc.base);
    EXPECT_EQ(std::string(texts, 264), "0123456789" + std::string(122, ' ') + "abcdefghij" + std::string(122, ' '));

    // Indices the host gets wrong never reach memory outside the table.
    expect_child_stop([] { set_ints(3, {1}); }, bounds_error("USER_MODEL_TABLE", 3, 2));
    expect_child_stop([&] { SETUSERRLTVALUE(&one, &five, reals); }, bounds_error("RLTARRAY", 5, 4));
    expect_child_stop([&] { ALLOCATE_USER_STRUCTURE(&n); },
                      " Allocation error: USER_MODEL_TABLE is already allocated\n");
}

// Storage that cannot be had ends the run as a fatal error naming the entry
// point; no exception crosses the host boundary.
TEST(OutOfMemory, SizingEntryPointsStopTheRunWithAMessage)
{
    static constexpr int32_t kHuge = std::numeric_limits<int32_t>::max(), one = 1;
    // 2^31 x 2^31 port entries are past any addressable size.
    expect_child_stop([] { UFD_ALLOC(&kHuge, &kHuge, &one); }, " Allocation error: out of memory in UFD_ALLOC\n");
#if defined(__SANITIZE_ADDRESS__)
    GTEST_SKIP() << "the sanitizer's allocator reserves instead of refusing";
#else
    // 2^31 records (about 240 GB) are refused unless the kernel overcommits
    // without limit, in which case filling them would exhaust the machine.
    int overcommit = 0;
    std::ifstream("/proc/sys/vm/overcommit_memory") >> overcommit;
    if (overcommit == 1) GTEST_SKIP() << "the kernel overcommits without limit";
    expect_child_stop([] { ALLOCATE_USER_STRUCTURE(&kHuge); },
                      " Allocation error: out of memory in ALLOCATE_USER_STRUCTURE\n");
#endif
}

// A run state whose second and fifth integers are 22 and 55, time 0.5 s, crank angle 180, third real -3.
void push_state(int32_t a1, int32_t a3, int32_t a4, int32_t a6 = 0, int32_t l10 = 0)
{
    send_state({a1, 22, a3, a4, 55, a6, 0.5, 180.0, -3.0, l10});
}

TEST(RunInfo, OutputsComeInTheirOwnOrder)
{
    push_state(1, 33, 44, 7, 1);
    const int32_t i1 = 101, i2 = 102, i3 = 103;
    const std::string longtext(300, 'x');
    SEND_USER_GLOBAL(longtext.data(), 300, &i1, &i2, &i3);  // kept cut to 255
    for (int32_t key : {1, 2, 3, 4}) {
        const int32_t value = 1000 + key;
        SEND_USER_GLOBAL2(&key, &value);  // key 4 is ignored
    }
    std::array<int32_t, 12> v{};
    std::array<double, 3> r{};
    char text[260];
    GET_GLOBAL_INFO(&v[0], &v[1], &v[2], &v[3], &v[4], &v[5], &v[6], &v[7], &v[8], &v[9], &v[10], &v[11], &r[0],
                    &r[1], &r[2], text, sizeof text);
    EXPECT_EQ(v, (std::array<int32_t, 12>{1, 33, 44, 101, 102, 103, 55, 0, 22, 1001, 1002, 1003}));
    EXPECT_EQ(r, (std::array{0.5, -3.0, 180.0}));  // time, third real, crank angle
    EXPECT_EQ(std::string(text, 260), std::string(255, 'x') + "     ");
    GET_GLOBAL_INFO(nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr,
                    nullptr, nullptr, nullptr, nullptr, nullptr, 10);  // every output null

    push_state(1, 33, 44, 7, 2);  // logical false: bit 0 clear
    EXPECT_EQ(global_info().state_int6, 7);
    push_state(2, 33, 44, 7, 1);
    EXPECT_EQ(global_info().state_int6, 7);
}

void store(int32_t model, int32_t plot, double x, double y, const std::string& title = "Title")
{
    USERPLOTSTORE(&model, &plot, title.data(), static_cast<intptr_t>(title.size()), "cyl 1", 5,
                  "Crank Angle", 11, "N-m", 3, &x, &y);
}

// Two models; model 1 has plots with status 1 (on), 0 (off), 5 (on, labels never taken).
void setup()
{
    const int32_t n = 2, m = 1, three = 3, status[] = {1, 0, 5};
    ALLOCATE_USER_PLOT(&n);
    int32_t ierr = 9;
    LOAD_USER_PLOT(&m, &three, status, &ierr);
    ASSERT_EQ(ierr, 0);
}

TEST(UserPlots, GatesStatusLabelsLimitsAndThinning)
{
    setup();
    for (auto [int3, int4, suppress] : {std::tuple{0, 1, 1}, {0, 0, 0}, {1, 1, 0}}) {
        push_state(0, int3, int4);
        SEND_USER_PLOTSUPP(&suppress);
        store(1, 1, 1.0, 2.0, "Gated");
    }
    Plot p = drain_plot(1, 1);
    EXPECT_EQ(std::pair(p.x.size(), p.title), std::pair(std::size_t{0}, padded("")));  // nor takes labels

    push_state(0, 0, 1);
    store(1, 1, 1.0, 10.0, "Torque");
    store(1, 1, 2.0, 20.0, "Other");  // labels come from the first stored point only
    store(1, 2, 1.0, 1.0);            // off
    store(1, 3, 1.0, 1.0, "Five");    // status 5: stored, labels never taken
    store(1, 4, 1.0, 1.0);            // iplot = NPLOT + 1: dropped
    p = drain_plot(1, 1);
    EXPECT_EQ(p.points(), (std::vector{1.0, 2.0, 10.0, 20.0}));  // x, then y
    EXPECT_EQ(p.labels(), labels("Torque", "cyl 1", "Crank Angle", "N-m"));
    EXPECT_TRUE(drain_plot(1, 1).x.empty());  // drained
    EXPECT_TRUE(drain_plot(1, 2).x.empty());
    p = drain_plot(1, 3);
    EXPECT_EQ(std::pair(p.x.size(), p.title), std::pair(std::size_t{1}, padded("")));

    const int32_t m = 3, one = 1;  // past the models
    int32_t ierr = 0;
    LOAD_USER_PLOT(&m, &one, &one, &ierr);
    EXPECT_EQ(ierr, -1);
    expect_child_stop([] { setup(); }, " Allocation error: USER_PLOT_TABLE is already allocated\n");
    expect_child_stop([] { (void)drain_plot(1, 0); },
                      " Array bounds error: subscript 1 of array PLOT_STATUS has value 0, below its lower bound 1\n");

    // A full buffer is thinned, with a warning.
    EXPECT_EQ(capture_stdout([] { for (int k = 1; k <= 201; ++k) store(1, 1, k, -k); }), "");
    EXPECT_EQ(capture_stdout([] { store(1, 1, 202, -202); }),
              "\n W*** Plot data for user model exceeded buffer size\n      Not all data will be stored\n"
              "      User model:  1\n      Plot:        1\n");
    // The odd-numbered points 1, 3, ..., 201 are kept, then 202.
    std::vector<double> x;
    for (int k = 1; k <= 201; k += 2) x.push_back(k);
    x.push_back(202);
    p = drain_plot(1, 1);
    EXPECT_EQ(p.x, x);
    for (double& v : x) v = -v;
    EXPECT_EQ(p.y, x);
}

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
    const std::int32_t one = 1, three = 3;
    // Stroke 0.1 m, rod 0.16 m; cylinder 1 with a pin offset of 5 mm. Reals 1, 4 and 6 to 13 are not read.
    const double angle = 35.5;
    load_cylinders(2, 0.1, 0.0, 0.16);
    load_cylinder(1, {0.0, 0.1, 0.005, 0.0, 0.16, 0.0, 0.0, 0.0, 0.0, 0.0, 0.0, 0.0, 13.0}, 7);
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
    const PistonMotion tdc = piston_kinematics(2, 3000.0, 3000.0, 0.0, 1.0);
    EXPECT_NEAR(tdc.position, 0.0, 1e-15);
    EXPECT_EQ(tdc.velocity, 0.0);
    EXPECT_NEAR(tdc.acceleration, 0.05 * 314.15927 * 314.15927 * 1.3125, 1e-6);

    test::expect_child_stop([&] { LOADCYLINDERANGLE(&three, &angle); }, test::bounds_error("CYL_ANGLE", 3, 2));
}

}  // namespace
}  // namespace usersub::exchange
