#include "common/run_stop.h"
#include "usermodels/model_setup.h"

#include <array>
#include <filesystem>
#include <fstream>
#include <sstream>

#include <unistd.h>

namespace usersub::test {
namespace {

// Flow of nozzle model 1 at 350 K, 800 kg/m3: mdot, u, p1, upstream copy, vdot, cd, rho, three zeros, radius.
std::vector<double> nozzle_flow(double flow_switch, double p1, double p2, double u_max)
{
    std::vector<double> r(11, -1.0);
    const int32_t id = 1;
    const double upstream = 350.0, rho = 800.0;
    INJNOZZUSER_SOLUTION(n_, n_, n_, &id, &flow_switch, &p1, &upstream, &p2, n_, &rho, &u_max, &r[0], &r[1], &r[2],
                         &r[3], &r[4], &r[5], &r[6], &r[7], &r[8], &r[9], &r[10]);
    return r;
}

void nozzle_geometry(int32_t id)
{
    int32_t count = -1;
    double d = -1.0;
    INJNOZZUSER_GETDIM(n_, n_, &id, &count, &d);
    EXPECT_EQ(count, 3);  // 3.9 truncated
    EXPECT_EQ(d, 2e-4);
}

TEST(InjectorNozzle, GeometryAndFlowBothWays)
{
    setup_models(1);
    set_reals(1, {3.9, 2e-4, 0.7});  // 3 nozzles, d 0.2 mm, cd 0.7
    nozzle_geometry(1);
    // dp = 3e7 Pa, rho 800: u = sqrt(2 dp / rho) = 273.861; A = 3 pi (2e-4)^2 / 4 = 9.42478e-8;
    // mdot = cd A u rho; above u_max the velocity is capped, the mass flow keeps the unlimited cd
    // and the returned cd is u_max / 273.861; radius sqrt(cd) d / 2 (all by hand)
    const std::array<double, 8> cases[] = {  // switch, p1, p2, u_max, u, mdot, cd, radius
        {1.0, 5e7, 2e7, 300.0, 273.8612787525831, 0.014454057768054586, 0.7, 8.366600265340756e-05},
        {1.0, 2e7, 5e7, 300.0, -273.8612787525831, -0.014454057768054586, 0.7, 8.366600265340756e-05},
        {1.0, 5e7, 2e7, 100.0, 100.0, 0.005277875658030847, 0.3651483716701107, 6.0427507947135365e-05},
        {0.0, 5e7, 2e7, 100.0, 0.0, 0.0, 0.3651483716701107, 6.0427507947135365e-05},  // no flow
    };
    for (const auto& c : cases)
        expect_near(nozzle_flow(c[0], c[1], c[2], c[3]),
                    {c[5], c[4], c[1], 350.0, c[5] / 800.0, c[6], 800.0, 0.0, 0.0, 0.0, c[7]}, 1e-13);
}

struct Nox {
    int32_t cylinder = 1, source_switch = 1;
    double compare = 60.0, time_scale = 1.0, reference = 100.0, source = 5000.0, nox = -1.0;
    int32_t status = 7;

    std::vector<double> call()  // the value and the status
    {
        const int32_t id = 1;
        ENGNOXUSER(&id, &cylinder, n_, &source_switch, n_, n_, &compare, n_, n_, &time_scale, n_, n_, n_, n_, n_, n_,
                   n_, &reference, n_, n_, n_, &source, n_, &nox, &status);
        return {nox, double(status)};
    }
};

TEST(NoxConvergence, StatusFollowsTheRelativeChangePerCylinder)
{
    setup_models(1);
    const int32_t key = 1, cylinders = 2;
    SEND_USER_GLOBAL2(&key, &cylinders);
    // switch 1: 5000 * 0.001 = 5; change (|5 - 0| / 100) / 1 = 0.05: status left as passed; then change 0
    EXPECT_EQ(Nox{}.call(), (std::vector<double>{5.0, 7}));
    EXPECT_EQ(Nox{}.call(), (std::vector<double>{5.0, 2}));
    EXPECT_EQ(Nox{.compare = 50.0}.call()[1], 7);  // not above 50: no status, even at no change
    // cylinder 2 keeps its own value: switch 2 takes 100 * 0.001 = 0.1, change (0.1 / 100) / 0.05 = 0.02
    EXPECT_EQ((Nox{.cylinder = 2, .source_switch = 2, .time_scale = 0.05}.call()), (std::vector<double>{0.1, 7}));
    // switch 3: the host's own 5.0005 against the stored 5.0, change 5e-6: converged, value kept
    EXPECT_EQ((Nox{.source_switch = 3, .nox = 5.0005}.call()), (std::vector<double>{5.0005, 2}));
}

TEST(FrictionTorque, ValveCrankAndCylinderWithTheirPlots)
{
    setup_models(2, 3);
    // valve: R9 = 2, R10 = 0.5; bearing: R4 = 0.06 m, R5 = 0.02 m, R6 = 1e-5 m, R7 = 0.01 Pa s, R8 = 1e4 N
    set_reals(1, {0, 0, 0, 0.06, 0.02, 1e-5, 0.01, 1e4, 2.0, 0.5});
    set_reals(2, {50.0, 0.01, 20.0});  // cylinder
    const int32_t one = 1, two = 2, ival = 0;
    ALLOCATE_CYLINDERINFO(&two);
    const std::array<double, 13> cyl{0.0, 0.09};  // stroke
    const double *r = cyl.data(), factor = 1.5, rpm = 3000.0, f1 = 3000.0, f2 = 4000.0, load = 4e6;  // |F| = 5000 N
    for (int32_t c : {1, 2})
        LOADCYLINDERINFO(&c, &ival, r, r + 1, r + 2, r + 3, r + 4, r + 5, r + 6, r + 7, r + 8, r + 9, r + 10, r + 11,
                         r + 12);
    send_state({.crank_angle_deg = 140.0});  // phi = 30 degrees
    std::vector<double> t(7, 0.0);
    ENGFRIC_USER_VALVE(&one, &factor, &t[0]);
    ENGFRIC_USER_VALVE(&one, &factor, &t[1]);
    for (int32_t bearing : {2, 1, 3}) ENGFRIC_USER_CRANK(&one, &bearing, &rpm, &f1, &f2, &t[1 + bearing]);
    for (auto [c, v] : {std::pair{2, 5.0}, {1, -5.0}})
        ENGFRIC_USER_CYL(&two, &c, n_, n_, n_, n_, &v, &load, n_, n_, n_, n_, &t[7 - c]);
    // valve 2 * 1.5 * (0.5 sin(30 * 6.28318 / 180) + 1);
    // bearing w = 0.06 * 0.5 * 3000 * 3.14159 / 30 = 9.42477; (0.01 w / 1e-5) 0.06 0.02 (5000 / 1e4 + 1);
    // cylinder 50 |v| + 0.01 P (1 - v / 20) S / 2 sin(30 * 3.14159 / 180)
    expect_near(t, {4.299037442278701, 4.299037442278701, 16.964586, 16.964586, 16.964586, 924.9994829327952,
                    1374.9991382213254}, 1e-10);
    const Plot crank = drain_plot(1, 2), valve = drain_plot(1, 3), cylinder = drain_plot(2, 1);
    EXPECT_EQ(valve.y.size(), 2u);  // every call
    EXPECT_EQ(valve.curve, padded("Valvetrain Torque"));
    EXPECT_EQ(crank.x, std::vector<double>{30.0});  // only bearing 1
    expect_near(crank.y, {16.964586}, 1e-10);
    EXPECT_EQ(crank.labels(), labels("User Engine Friction Model", "Brg#1 Fric.Torque", "deg", "N-m"));
    EXPECT_EQ(cylinder.x, std::vector<double>{30.0});  // only cylinder 1
    expect_near(cylinder.y, {1374.9991382213254}, 1e-12);
    EXPECT_EQ(cylinder.curve, padded("Cyl#1 Fric.Torque"));
}

TEST(InjectorAndNox, FaultsStopTheRun)
{
    const std::string head = " F*** NOZZUSER: Nozzle geometry must be specified in\n"
                             "                UserModel object. UserModel object\n";
    const std::string two = head + "                must contain at least two values:\n"
                                   "                number of nozzles, diameter\n";
    expect_fatal({
        {[] { set_reals(1, {3.0}), nozzle_geometry(1); }, two},
        {[] { set_reals(1, {3.9, 2e-4, 0.7}), nozzle_geometry(0); }, two},  // identifier below 1
        {[] { set_reals(1, {3.0, 2e-4}), nozzle_flow(1.0, 2e5, 1e5, 100.0); },
         head + "                must contain at least three values:\n                number of nozzles, diameter, cd\n"},
        {[] {  // sized once, by the first call's cylinder count
             const int32_t key = 1, two = 2, five = 5;
             SEND_USER_GLOBAL2(&key, &two);
             Nox{}.call();
             SEND_USER_GLOBAL2(&key, &five);
             Nox{.cylinder = 3}.call();
         },
         " Array bounds error: subscript 1 of array ZMNO_OLD has value 3, above its upper bound 2\n"},
    });
}

double lift(double input, const std::string& file)
{
    const int32_t id = 1;
    double out = -1.0;
    USERLIFTU(n_, &id, n_, n_, &input, n_, n_, n_, n_, n_, n_, n_, n_, n_, file.data(), intptr_t(file.size()), n_, n_,
              n_, &out);
    return out;
}

std::string contents(const std::string& p)
{
    std::stringstream s;
    s << std::ifstream(p).rdbuf();
    return s.str();
}

TEST(ValveLift, TraceFileAcrossCallsNamesAndFailures)
{
    setup_models(1);
    const auto dir = std::filesystem::path(::testing::TempDir()) / ("usersub_lift" + std::to_string(::getpid()));
    std::filesystem::remove_all(dir);
    std::filesystem::create_directories(dir);
    const std::string a = (dir / "lift_a.txt").string(), b = (dir / "lift_b.txt").string();
    std::ofstream(a) << "an earlier run\nof two lines\n";
    send_state({.state_int4 = 0});  // not traced: the file system is not touched
    EXPECT_EQ(lift(1.0, b), 0.9);
    EXPECT_FALSE(std::filesystem::exists(b));

    send_state({});
    EXPECT_EQ(lift(1.0, a), 0.9);
    EXPECT_EQ(contents(a), " 0.9\n");      // the first traced call replaces the file
    EXPECT_EQ(lift(2.0, a + "   "), 1.8);  // same file, name blank-padded
    EXPECT_EQ(contents(a), " 0.9\n 1.8\n");
    EXPECT_EQ(lift(10.0, b), 9.0);  // another name: a is closed, b begins
    EXPECT_EQ(lift(1.0, a), 0.9);   // a opened anew starts again
    EXPECT_EQ(contents(a) + contents(b), " 0.9\n 9.0\n");
    // after switching files a fatal stop closes only the open one
    expect_stop([&] { lift(2.0, b), stop_run(); }, "");
    EXPECT_EQ(contents(b), " 1.8\n");

    // a file that cannot be opened, or written, warns once and the lift is still returned
    const std::string missing = (dir / "no_such_dir" / "lift.txt").string();
    EXPECT_EQ(capture_stdout([&] { EXPECT_EQ(lift(1.0, missing) + lift(2.0, missing), 0.9 + 1.8); }),
              " W*** USERLIFTU: cannot open the trace file " + missing + "\n      the lift is returned without its trace\n");
    if (std::filesystem::exists("/dev/full")) {  // every write fails: disk full
        EXPECT_EQ(capture_stdout([&] { EXPECT_EQ(lift(1.0, "/dev/full") + lift(2.0, "/dev/full"), 0.9 + 1.8); }),
                  " W*** USERLIFTU: cannot write the trace file /dev/full\n"
                  "      the lift is returned without its trace\n");
    }
    EXPECT_EQ(lift(3.0, a), 2.7);  // a good name afterwards traces again
    EXPECT_EQ(contents(a), " 2.7\n");
}

}  // namespace
}  // namespace usersub::test
