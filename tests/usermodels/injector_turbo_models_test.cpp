#include "common/run_stop.h"
#include "support/child.h"
#include "usermodels/model_setup.h"
#include "usersub.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include <unistd.h>

namespace usersub::test {
namespace {

const void* const n_ = nullptr;  // a position the routine does not read

struct Nozzle {
    double mdot = -1, u = -1, p1 = -1, copy = -1, vdot = -1, cd = -1, rho = -1, z19 = -1, z20 = -1, z21 = -1,
           r_eff = -1;
};

Nozzle nozzle_flow(int32_t id, double flow_switch, double p1, double p2, double u_max)
{
    Nozzle r;
    const double upstream = 350.0, rho = 800.0;
    INJNOZZUSER_SOLUTION(n_, n_, n_, &id, &flow_switch, &p1, &upstream, &p2, n_, &rho, &u_max, &r.mdot, &r.u,
                         &r.p1, &r.copy, &r.vdot, &r.cd, &r.rho, &r.z19, &r.z20, &r.z21, &r.r_eff);
    return r;
}

TEST(InjectorNozzle, GeometryAndFlowBothWays)
{
    setup_models(1);
    set_reals(1, {3.9, 2e-4, 0.7});  // 3.9 nozzles truncate to 3, d 0.2 mm, cd 0.7
    const int32_t id = 1;
    int32_t count = -1;
    double d = -1.0;
    INJNOZZUSER_GETDIM(n_, n_, &id, &count, &d);
    EXPECT_EQ(count, 3);
    EXPECT_EQ(d, 2e-4);

    // dp = 3e7 Pa, rho 800: u = sqrt(2 dp / rho) = 273.861 below u_max 300;
    // A = 3 pi (2e-4)^2 / 4 = 9.42478e-8; mdot = cd A u rho
    Nozzle f = nozzle_flow(1, 1.0, 5e7, 2e7, 300.0);
    EXPECT_NEAR(f.u, 273.8612787525831, 1e-10);
    EXPECT_NEAR(f.mdot, 0.014454057768054586, 1e-15);
    EXPECT_NEAR(f.vdot, 1.8067572210068233e-05, 1e-18);
    EXPECT_EQ(f.cd, 0.7);
    EXPECT_NEAR(f.r_eff, 8.366600265340756e-05, 1e-18);  // sqrt(0.7) * 1e-4
    EXPECT_EQ(f.p1, 5e7);
    EXPECT_EQ(f.copy, 350.0);
    EXPECT_EQ(f.rho, 800.0);
    EXPECT_EQ(f.z19, 0.0);
    EXPECT_EQ(f.z20, 0.0);
    EXPECT_EQ(f.z21, 0.0);

    // p2 > p1: the same magnitudes, flowing backwards
    f = nozzle_flow(1, 1.0, 2e7, 5e7, 300.0);
    EXPECT_NEAR(f.u, -273.8612787525831, 1e-10);
    EXPECT_NEAR(f.mdot, -0.014454057768054586, 1e-15);

    // u_max 100: the velocity is capped, the mass flow uses the unlimited cd
    // (0.7 A 100 800), the returned cd is 100 / 273.861 = 0.365148
    f = nozzle_flow(1, 1.0, 5e7, 2e7, 100.0);
    EXPECT_EQ(f.u, 100.0);
    EXPECT_NEAR(f.mdot, 0.005277875658030847, 1e-15);
    EXPECT_NEAR(f.cd, 0.3651483716701107, 1e-14);
    EXPECT_NEAR(f.r_eff, 6.0427507947135365e-05, 1e-17);

    // switch 0: no flow, but the limited cd, the copies and the radius
    f = nozzle_flow(1, 0.0, 5e7, 2e7, 100.0);
    EXPECT_EQ(f.u, 0.0);
    EXPECT_EQ(f.mdot, 0.0);
    EXPECT_EQ(f.vdot, 0.0);
    EXPECT_NEAR(f.cd, 0.3651483716701107, 1e-14);
    EXPECT_EQ(f.p1, 5e7);
    EXPECT_NEAR(f.r_eff, 6.0427507947135365e-05, 1e-17);
}

TEST(InjectorNozzle, MissingGeometryStopsTheRun)
{
    const std::string head = " F*** NOZZUSER: Nozzle geometry must be specified in\n"
                             "                UserModel object. UserModel object\n";
    const std::string two = head + "                must contain at least two values:\n"
                                   "                number of nozzles, diameter\n";
    const std::string three = head + "                must contain at least three values:\n"
                                     "                number of nozzles, diameter, cd\n";
    auto getdim = [](int32_t id) {
        setup_models(1);
        set_reals(1, {3.0});
        int32_t c = 0;
        double d = 0;
        INJNOZZUSER_GETDIM(n_, n_, &id, &c, &d);
    };
    auto r = run_in_child([&] { getdim(1); });  // one real
    EXPECT_EQ(r.exit_status, 1);
    EXPECT_EQ(r.output, two);
    r = run_in_child([&] {
        setup_models(1);
        set_reals(1, {3.0, 2e-4, 0.7});
        int32_t c = 0;
        double d = 0;
        const int32_t id = 0;  // below 1: no record
        INJNOZZUSER_GETDIM(n_, n_, &id, &c, &d);
    });
    EXPECT_EQ(r.output, two);
    r = run_in_child([] {
        setup_models(1);
        set_reals(1, {3.0, 2e-4});
        nozzle_flow(1, 1.0, 2e5, 1e5, 100.0);
    });
    EXPECT_EQ(r.exit_status, 1);
    EXPECT_EQ(r.output, three);
}

struct NoxCall {
    int32_t cylinder = 1, source_switch = 1;
    double compare = 60.0, time_scale = 1.0, reference = 100.0, source = 5000.0;
    double nox = -1.0;
    int32_t status = 7;
};

NoxCall nox(NoxCall c)
{
    const int32_t id = 1;
    ENGNOXUSER(&id, &c.cylinder, n_, &c.source_switch, n_, n_, &c.compare, n_, n_, &c.time_scale, n_, n_, n_, n_,
               n_, n_, n_, &c.reference, n_, n_, n_, &c.source, n_, &c.nox, &c.status);
    return c;
}

TEST(NoxConvergence, StatusFollowsTheRelativeChangePerCylinder)
{
    setup_models(1);
    const int32_t key = 1, cylinders = 2;
    SEND_USER_GLOBAL2(&key, &cylinders);

    NoxCall c;  // source 5000 * 0.001 = 5; change (|5 - 0| / 100) / 1 = 0.05
    NoxCall r = nox(c);
    EXPECT_EQ(r.nox, 5.0);
    EXPECT_EQ(r.status, 7);  // not converged: status left as passed
    r = nox(c);              // change 0
    EXPECT_EQ(r.status, 2);
    c.compare = 50.0;  // not above 50: no status, even at no change
    EXPECT_EQ(nox(c).status, 7);

    // cylinder 2 keeps its own value: switch 2 takes 100 * 0.001 = 0.1,
    // change (0.1 / 100) / 0.05 = 0.02, still not converged
    NoxCall c2;
    c2.cylinder = 2;
    c2.source_switch = 2;
    c2.time_scale = 0.05;
    r = nox(c2);
    EXPECT_EQ(r.nox, 0.1);
    EXPECT_EQ(r.status, 7);

    // switch 3: the host's own value 5.0005 against the stored 5.0,
    // change (0.0005 / 100) / 1 = 5e-6: converged, value kept
    c.compare = 60.0;
    c.source_switch = 3;
    c.nox = 5.0005;
    r = nox(c);
    EXPECT_EQ(r.nox, 5.0005);
    EXPECT_EQ(r.status, 2);
}

TEST(NoxConvergence, ArrayIsSizedOnceByTheFirstCylinderCount)
{
    const auto r = run_in_child([] {
        setup_models(1);
        const int32_t key = 1, two = 2, five = 5;
        SEND_USER_GLOBAL2(&key, &two);
        nox({});
        SEND_USER_GLOBAL2(&key, &five);  // too late: the array keeps 2 entries
        NoxCall c;
        c.cylinder = 3;
        nox(c);
    });
    EXPECT_EQ(r.exit_status, 1);
    EXPECT_EQ(r.output, " Array bounds error: subscript 1 of array ZMNO_OLD has value 3, above its upper bound 2\n");
}

TEST(FrictionTorque, ValvetrainAndBearingWithTheirPlots)
{
    setup_models(1, 3);
    // valve: R9 = 2, R10 = 0.5; bearing: R4 = 0.06 m, R5 = 0.02 m, R6 = 1e-5 m,
    // R7 = 0.01 Pa s, R8 = 1e4 N
    set_reals(1, {0, 0, 0, 0.06, 0.02, 1e-5, 0.01, 1e4, 2.0, 0.5});
    RunState st;
    st.crank_angle_deg = 140.0;  // phi = 30 degrees
    send_state(st);
    const int32_t id = 1;
    const double factor = 1.5;
    double torque = 0.0;
    ENGFRIC_USER_VALVE(&id, &factor, &torque);
    // 2 * 1.5 * (0.5 sin(30 * 6.28318 / 180) + 1)
    EXPECT_NEAR(torque, 4.299037442278701, 1e-12);

    const double rpm = 3000.0, f1 = 3000.0, f2 = 4000.0;  // |F| = 5000 N
    // w = 0.06 * 0.5 * 3000 * 3.14159 / 30 = 9.42477; (0.01 w / 1e-5) 0.06 0.02 (5000 / 1e4 + 1)
    for (int32_t bearing : {2, 1, 3}) {
        double t = 0.0;
        ENGFRIC_USER_CRANK(&id, &bearing, &rpm, &f1, &f2, &t);
        EXPECT_NEAR(t, 16.964586, 1e-9) << bearing;
    }

    const Plot crank = drain_plot(1, 2);
    ASSERT_EQ(crank.x.size(), 1u);  // only bearing 1
    EXPECT_EQ(crank.x[0], 30.0);
    EXPECT_NEAR(crank.y[0], 16.964586, 1e-9);
    EXPECT_EQ(crank.title, padded("User Engine Friction Model"));
    EXPECT_EQ(crank.curve, padded("Brg#1 Fric.Torque"));
    EXPECT_EQ(crank.xlabel, padded("deg"));
    EXPECT_EQ(crank.ylabel, padded("N-m"));

    ENGFRIC_USER_VALVE(&id, &factor, &torque);
    const Plot valve = drain_plot(1, 3);
    ASSERT_EQ(valve.x.size(), 2u);  // every call
    EXPECT_EQ(valve.curve, padded("Valvetrain Torque"));
    EXPECT_NEAR(valve.y[1], 4.299037442278701, 1e-12);
}

// ---- valve lift and its trace file ----

double lift(double input, const std::string& file)
{
    const int32_t id = 1;
    double out = -1.0;
    USERLIFTU(n_, &id, n_, n_, &input, n_, n_, n_, n_, n_, n_, n_, n_, n_, file.data(),
              static_cast<intptr_t>(file.size()), n_, n_, n_, &out);
    return out;
}

std::string contents(const std::filesystem::path& p)
{
    std::ifstream in(p);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

std::filesystem::path fresh_dir(const std::string& name)
{
    const auto dir = std::filesystem::path(::testing::TempDir()) / (name + std::to_string(::getpid()));
    std::filesystem::remove_all(dir);
    std::filesystem::create_directories(dir);
    return dir;
}

TEST(ValveLift, TraceFileAcrossCallsAndNames)
{
    setup_models(1);
    const auto dir = fresh_dir("usersub_lift_trace");
    const std::string a = (dir / "lift_a.txt").string(), b = (dir / "lift_b.txt").string();
    { std::ofstream(a) << "an earlier run\nof two lines\n"; }

    RunState st;
    st.state_int4 = 0;  // not traced: the file system is not touched
    send_state(st);
    EXPECT_EQ(lift(1.0, b), 0.9);
    EXPECT_FALSE(std::filesystem::exists(b));

    st.state_int4 = 1;
    send_state(st);
    EXPECT_EQ(lift(1.0, a), 0.9);
    EXPECT_EQ(contents(a), " 0.9\n");  // the first traced call replaces the file
    EXPECT_EQ(lift(2.0, a + "   "), 1.8);  // same file, name blank-padded
    EXPECT_EQ(contents(a), " 0.9\n 1.8\n");

    EXPECT_EQ(lift(10.0, b), 9.0);  // another name: a is closed, b begins
    EXPECT_EQ(contents(b), " 9.0\n");
    EXPECT_EQ(lift(1.0, a), 0.9);  // a opened anew starts again
    EXPECT_EQ(contents(a), " 0.9\n");
    EXPECT_EQ(contents(b), " 9.0\n");
}

TEST(ValveLift, FatalErrorAfterSwitchingFilesClosesOnlyTheOpenOne)
{
    const auto dir = fresh_dir("usersub_lift_stop");
    const std::string a = (dir / "a.txt").string(), b = (dir / "b.txt").string();
    const auto r = run_in_child([&] {
        setup_models(1);
        send_state({});
        lift(1.0, a);
        lift(2.0, b);
        stop_run();
    });
    EXPECT_EQ(r.exit_status, 1);
    EXPECT_EQ(r.output, "");
    EXPECT_EQ(contents(a), " 0.9\n");
    EXPECT_EQ(contents(b), " 1.8\n");
}

TEST(ValveLift, UnopenableOrUnwritableFileWarnsOnceAndKeepsTheLift)
{
    setup_models(1);
    send_state({});
    const auto dir = fresh_dir("usersub_lift_missing");
    const std::string missing = (dir / "no_such_dir" / "lift.txt").string();
    std::string out = capture_stdout([&] {
        EXPECT_EQ(lift(1.0, missing), 0.9);
        EXPECT_EQ(lift(2.0, missing), 1.8);  // no second warning, no second try
    });
    EXPECT_EQ(out, " W*** USERLIFTU: cannot open the trace file " + missing +
                       "\n      the lift is returned without its trace\n");
    EXPECT_FALSE(std::filesystem::exists(dir / "no_such_dir"));

    if (std::filesystem::exists("/dev/full")) {  // every write fails: disk full
        out = capture_stdout([&] {
            EXPECT_EQ(lift(1.0, "/dev/full"), 0.9);
            EXPECT_EQ(lift(2.0, "/dev/full"), 1.8);
        });
        EXPECT_EQ(out, " W*** USERLIFTU: cannot write the trace file /dev/full\n"
                       "      the lift is returned without its trace\n");
    }

    // a good name afterwards traces again
    const std::string good = (dir / "lift.txt").string();
    EXPECT_EQ(lift(1.0, good), 0.9);
    EXPECT_EQ(contents(good), " 0.9\n");
}

}  // namespace
}  // namespace usersub::test
