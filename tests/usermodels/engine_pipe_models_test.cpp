#include "common/run_stop.h"
#include "support/species_fixture.h"
#include "usermodels/model_setup.h"

#include <filesystem>
#include <fstream>
#include <sstream>

#include <unistd.h>

namespace usersub::test {
namespace {

struct Burn {
    int32_t n = 2, flag = 0, status = 0;
    double step = 25.0, dx = -1, x = -1, x_old = 0.3, end = 9000.0, start = 9000.0, start_out = 0.0;
    std::array<double, 2> unburned{0.01, 0.002}, burned{-1, -1}, residual{0.001, 0.0};
    std::vector<int32_t> mfliq{fx::kC7H16Liquid, fx::kH2OLiquid};
    void call(double theta)
    {
        const int32_t id = 1, ext = 1, nm = static_cast<int32_t>(mfliq.size());
        burned = {-1, -1};
        ENGCOMBUSER(&id, n_, n_, n_, &n, &flag, &status, &theta, &step, n_, &dx, &x, &x_old, n_, unburned.data(), n_,
                    burned.data(), n_, n_, residual.data(), &end, &start, &start_out, n_, n_, n_, n_, n_, n_, n_, n_,
                    &ext, n_, &ext, n_, &ext, n_, &nm, mfliq.data());
    }
};

TEST(BurnLaw, CosineBurnThroughAWholeCycleAndIntoTheNext)
{
    load_species_fixture();
    setup_models(1, 2);
    set_time(0.0);  // time step 1: the listed species are written
    Burn b;
    // first call of the cycle: set up, before the start angle
    EXPECT_EQ(capture_stdout([&] { b.call(-30.0); }),
              " 4 " + padded("C7H16_L", 117) + "\n 5 " + padded("H2O_L", 117) + "\n");
    expect_near({double(b.flag), b.start_out, b.x_old, b.burned[0]}, {1.0, -20.0, 0.0, 0.0}, 0.0);
    send_state({});
    EXPECT_EQ(capture_stdout([&] { b.call(-20.0); }), "");  // at the start angle exactly: nothing burns
    expect_near({double(b.status), b.x}, {0.0, 0.0}, 0.0);
    // x = (1 - cos(3.1415927 (theta + 20) / 50)) / 2;
    // burned = min(dx / (1 - x_old) (unburned + residual), unburned); by hand
    struct Step { double theta, x, dx, burned1, burned2; };
    const Step steps[] = {
        {5.0, 0.5000000116025517, 0.5000000116025517, 0.005500000127628068, 0.0010000000232051034},
        {15.0, 0.7938926392875624, 0.2938926276850107, 0.006465637959106032, 0.0011755705380192788},
        {30.0, 1.0, 0.20610736071243763, 0.01, 0.002},  // the share would exceed what is unburned
        {30.0, 1.0, 0.0, 0.0, 0.0},                     // again: all has burned, nothing more burns
    };
    for (const Step& s : steps) {
        b.call(s.theta);
        expect_near({double(b.status), b.x, b.dx, b.burned[0], b.burned[1]}, {1, s.x, s.dx, s.burned1, s.burned2},
                    1e-14, 1e-17);
    }
    EXPECT_EQ(b.end, 30.0);  // x first above 0.999
    b.call(31.0);            // past the end: ended, start marked unset
    expect_near({double(b.status), b.x, b.x_old, b.start, b.burned[1], b.dx}, {2, 0.999, 0.999, 9000, 0, 0}, 0.0);
    b.status = 0;  // the host starts the next cycle
    b.call(-30.0);
    b.call(0.0);
    expect_near({b.end, b.x}, {9000.0, 0.3454915116402722}, 1e-15);  // z = 0.4
    // burn fraction and rate (dx / 25) of every burning call
    const Plot frac = drain_plot(1, 1), rate = drain_plot(1, 2);
    EXPECT_EQ(frac.x, (std::vector<double>{5.0, 15.0, 30.0, 30.0, 0.0}));
    EXPECT_NEAR(rate.y.at(1), 0.011755705107400427, 1e-16);
    EXPECT_EQ(frac.labels(), labels("User Combustion Model", "Burn Fraction", "theta", " "));
    EXPECT_EQ(rate.curve + rate.ylabel, padded("Burn Rate") + padded("1/CA"));
}

struct Gas {
    int32_t cylinder = 1, phase = 0;
    double bore = 0.086, stroke = 0.086, volume = 4.5e-4, cm = 10.0, p = 3e5, t = 400.0, gamma = 1.35, theta = -100.0;
    std::vector<double> heat() const
    {
        const int32_t id = 1, ext = 1;
        std::vector<double> h{-1, -1};
        ENGHEATTRUSER(&id, &cylinder, &phase, n_, &bore, &stroke, &volume, n_, n_, &cm, &p, &t, n_, n_, n_, &gamma,
                      &ext, n_, n_, n_, n_, n_, n_, n_, n_, n_, n_, n_, n_, &theta, n_, n_, n_, n_, n_, n_, n_, n_,
                      &h[0], &h[1]);
        return h;
    }
};

TEST(WallHeatTransfer, ReferenceStateThenCombustionTerm)
{
    setup_models(1);
    set_reals(1, {-180.0, 140.0});  // C1 = 6.18 - 3.9 strictly between these angles
    // w = C1 cm + w2; hW = 0.01298 (p w)^0.8 / (D^0.2 T^0.55);
    // hH = 130 V^-0.06 (p 1e-5)^0.8 T^-0.4 (w + 1.4)^0.8 (by hand, in order).
    // Fired at 5e-5 m3, 2000 K: pm = 3e5 (4.5e-4 / 5e-5)^1.35 = 58.26 bar from the reference of
    // phase 0; w2 = 0.00324 Vd T1 / (p1 V1) (p - pm) = 0.83587 m/s at 60 bar.
    struct Case { int32_t cylinder, phase; double volume_m3, p_Pa, t_K, theta_deg, woschni, hohenberg; };
    const Case cases[] = {
        {1, 0, 4.5e-4, 3e5, 400.0, -100.0, 230.8271494409676, 578.9964507501361},  // the reference
        {1, 1, 5e-5, 6e6, 2000.0, 10.0, 1076.9281010999337, 3917.0962103689676},
        {1, 1, 5e-5, 5e6, 2000.0, 10.0, 904.3413432187755, 3294.7422874590525},    // below pm: no combustion term
        {1, 1, 5e-5, 6e6, 2000.0, 140.0, 2323.3802054988264, 8216.518108113723},   // closing angle: C1 6.18, no term
        {2, 1, 5e-5, 6e6, 2000.0, 10.0, 1046.3509730294525, 3812.1189794261854},   // no reference: zero pressure
        {1, 0, 5e-5, 6e6, 2000.0, 10.0, 1046.3509730294525, 3812.1189794261854},   // phase 0 replaces the reference
        {1, 1, 5e-5, 6e6, 2000.0, 10.0, 1046.3509730294525, 3812.1189794261854},   // pm = p
    };
    for (const Case& c : cases) {
        const Gas g{.cylinder = c.cylinder, .phase = c.phase, .volume = c.volume_m3, .p = c.p_Pa, .t = c.t_K,
                    .theta = c.theta_deg};
        expect_near(g.heat(), {c.woschni, c.hohenberg}, 1e-13);
    }
}

// Evaporated mass per species of cylinder 1 at 30 deg, then the three zeroed entries.
std::vector<double> evaporate(int32_t n, std::vector<int32_t> inj = {2, 1}, int32_t nv = 1)
{
    const int32_t id = 1, cyl = 1, ni = static_cast<int32_t>(inj.size()), vlv[] = {1};
    std::vector<double> mass(std::size_t(n), 1e-5), out(std::size_t(n) + 3, -1.0);
    if (n > 0) mass[fx::kC7H16Liquid - 1] = 2e-5;
    const double theta = 30.0, factor = 1e-4, s1 = 900.0, s2 = 2000.0;
    USERENGCYLEVAPORATION(&id, &cyl, n_, &n, &n, mass.data(), &theta, n_, n_, &factor, n_, &s1, n_, n_, n_, &s2, &ni,
                          inj.data(), &nv, vlv, out.data(), out.data() + n);
    return out;
}

TEST(Evaporation, OnlyLiquidFuelsEvaporateAndEveryComponentIsPlotted)
{
    // A cylinder, two injectors and a valve, before the species set that sizes their compositions.
    const int32_t one = 1, two = 2, ival = 0;
    load_cylinders(1, 0.09, 0.001, 0.15);
    ALLOCATEINJECTORINFO(&two);
    const std::vector<double> comp(fx::kNSpecies, 0.0);
    const double *zc = comp.data(), z = 0.0, port = 0.002, di = 0.0005, valve = 0.05;  // mass flows, kg/s
    const std::string n1 = "Port injector 1", n2 = "DI injector", n3 = "Intake valve";
    LOADINJECTORINFO(&one, n1.data(), intptr_t(n1.size()), &ival, &ival, &z, &z, &z, &z, &port, &z, &z, zc, &z);
    LOADINJECTORINFO(&two, n2.data(), intptr_t(n2.size()), &ival, &ival, &z, &z, &z, &z, &di, &z, &z, zc, &z);
    ALLOCATEVALVEINFO(&one);
    LOADVALVEINFO(&one, n3.data(), intptr_t(n3.size()), &ival, &z, &z, &valve, &z, zc, &z, &z, zc);
    load_species_fixture();
    setup_models(1, 4);
    send_state({});
    set_reals(1, {2.0, 0.5, 1.2});
    // k = (16640 / 2) (900 / 600)^0.5 (2000 / 4000)^1.2 1e-4 = 0.44354 (by hand); only
    // n-heptane (fuel, liquid) evaporates, not methane (gas) nor water (no fuel)
    std::vector<double> want(fx::kNSpecies + 3, 0.0);
    want[fx::kC7H16Liquid - 1] = 8.870803449530773e-06;
    expect_near(evaporate(fx::kNSpecies), want, 1e-14);
    // r = 0.045, e = 0.001, L = 0.15 at 30 deg: s = (r sin + e) / L;
    // x = sqrt((r + L)^2 - e^2) - L sqrt(1 - s^2) - r cos = 7.8786 mm (by hand)
    const Plot piston = drain_plot(1, 1);
    expect_near(piston.points(), {30.0, 7.878562386793027}, 1e-12);
    EXPECT_EQ(piston.labels(), labels("Cylinder  1", "", "theta", "piston position [mm]"));
    // INJ_INDEX = (2, 1): 3600 * 0.0005 and 3600 * 0.002 kg/hr; then the valve in kg/s
    const Plot p[] = {drain_plot(1, 2), drain_plot(1, 3), drain_plot(1, 4)};
    expect_near({p[0].y.at(0), p[1].y.at(0), p[2].y.at(0)}, {1.8, 7.2, 0.05}, 1e-14);
    EXPECT_EQ(p[0].title + p[1].title + p[2].title, padded("DI injector") + padded("Port injector 1") + padded(n3));
    EXPECT_EQ(p[1].ylabel + p[2].ylabel, padded("mass flowrate [kg/hr]") + padded("mass flowrate [kg/s]"));
}

struct Jet {
    int32_t flow_switch = 1, extent = 5, id = 1;
    double phi = 1.0, offset = 50.0, p = 40.0, i0 = 0.1, i1 = -1, f = 1.0, a = -1.05, b = 4000.0, dt = 1e-5, out = -1;
    double v19 = 30.0, v20 = 10.0, v21 = 2.0, v22 = 1.0;
    std::array<double, 5> t{800, 850, 900, 950, 1000}, m{1e-5, 2e-5, 3e-5, 4e-5, 5e-5};
    std::vector<double> call()  // the integral and the output factor
    {
        JETIGNITIONUSR(&flow_switch, n_, n_, &id, &extent, n_, &phi, t.data(), m.data(), &offset, &p, &i0, &i1, &f,
                       &a, &b, &dt, &out, &v19, &v20, &v21, &v22);
        return {i1, out};
    }
};

TEST(JetIgnition, DelayIntegralAndOutputFactorThenFixedHooks)
{
    setup_models(3);
    set_ints(1, {999});
    // built-in: Ti = 1000 + 50; tau = 1.2e-6 (4 / (1 * 2^2)) 40^-1.05 exp(4000 / 1050) (by hand);
    // d = (30 - 10) 0.0025 / (2 / 1) = 0.025: factor 1 - d^2
    const std::vector<double> built_in{8.982323280715299, 0.999375};
    expect_near(Jet{}.call(), built_in, 1e-14);
    EXPECT_EQ(Jet{.v19 = 1000.0}.call()[1], 1e-5);  // d = 1.2375: the floor
    EXPECT_EQ(Jet{.v21 = 0.0}.call()[1], 1e-5);     // d = inf: the floor as well
    EXPECT_EQ(Jet{.flow_switch = 0}.call()[1], 1.0);
    EXPECT_EQ(Jet{.phi = 3.0}.call()[0], 0.1);  // no ignition: practically nothing added
    // user weights 0.5 (zones 1-4) and 2 (zone 5): Ti = sum w m T / sum w m + 50 = 1016.67;
    // phi 0.8: g = 0.8 * 2.2^2; switch 1 but a weight not below 0: factor 1
    load_model(1, {1}, {2.0, 0.5});
    expect_near(Jet{.phi = 0.8}.call(), {7.6885273064165, 1.0}, 1e-14);
    set_reals(1, {2.0, -1.0});  // zones 1-4 weigh 0: Ti = 1000 + 50 as built-in
    expect_near(Jet{}.call(), built_in, 1e-14);
    // Hooks with fixed results write only their own outputs, each of its extent.
    const int32_t id = 1, id3 = 3, two = 2;
    const double arg6 = 0.25;
    std::vector<double> o(15, -1.0);
    TURBFLSPEEDUSER(&id, n_, n_, n_, n_, &arg6, n_, n_, n_, n_, n_, n_, n_, n_, n_, n_, n_, n_, n_, n_, n_, &o[0]);
    SWIRL_USER(n_, n_, &id3, n_, n_, n_, n_, n_, n_, n_, n_, n_, n_, n_, n_, n_, n_, n_, n_, n_, n_, n_, n_, n_, &o[1],
               &o[2]);  // argument 26 has four entries
    TCTURBUSER(&id, n_, &two, n_, n_, n_, n_, n_, n_, n_, n_, n_, n_, n_, &o[7], &o[10]);  // two entries each
    USER_SET_ENERGY_SOURCE(&id, n_, n_, n_, n_, n_, n_, n_, n_, n_, n_, n_, n_, n_, n_, n_, n_, n_, n_, &o[13], &o[14]);
    EXPECT_EQ(o, (std::vector<double>{25.0, 0, 0, 0, 0, 0, -1, 0, 0, -1, 1, 1, -1, 0, 0}));  // 100 * 0.25
}

// Flow of nozzle model 1 at 350 K, 800 kg/m3: mdot, u, p1, upstream copy, vdot, cd, rho, three zeros, radius.
std::vector<double> nozzle_flow(double flow_switch, double p1, double p2, double u_max, int32_t id = 1)
{
    std::vector<double> r(11, -1.0);
    const double upstream = 350.0, rho = 800.0;
    INJNOZZUSER_SOLUTION(n_, n_, n_, &id, &flow_switch, &p1, &upstream, &p2, n_, &rho, &u_max, &r[0], &r[1], &r[2],
                         &r[3], &r[4], &r[5], &r[6], &r[7], &r[8], &r[9], &r[10]);
    return r;
}

std::vector<double> nozzle_geometry(int32_t id)
{
    int32_t count = -1;
    const double d = output_of([&](double* d) { INJNOZZUSER_GETDIM(n_, n_, &id, &count, d); });
    return {double(count), d};
}

TEST(InjectorNozzle, GeometryAndFlowBothWays)
{
    setup_models(1);
    set_reals(1, {3.9, 2e-4, 0.7});  // 3 nozzles, d 0.2 mm, cd 0.7
    EXPECT_EQ(nozzle_geometry(1), (std::vector<double>{3, 2e-4}));  // 3.9 truncated
    // dp = 3e7 Pa, rho 800: u = sqrt(2 dp / rho) = 273.861; A = 3 pi (2e-4)^2 / 4 = 9.42478e-8;
    // mdot = cd A u rho; above u_max the velocity is capped, the mass flow keeps the unlimited cd
    // and the returned cd is u_max / 273.861; radius sqrt(cd) d / 2 (all by hand)
    struct Case { double flow_switch, p1, p2, u_max, u, mdot, cd, radius; };
    const Case cases[] = {
        {1.0, 5e7, 2e7, 300.0, 273.8612787525831, 0.014454057768054586, 0.7, 8.366600265340756e-05},
        {1.0, 2e7, 5e7, 300.0, -273.8612787525831, -0.014454057768054586, 0.7, 8.366600265340756e-05},
        {1.0, 5e7, 2e7, 100.0, 100.0, 0.005277875658030847, 0.3651483716701107, 6.0427507947135365e-05},
        {0.0, 5e7, 2e7, 100.0, 0.0, 0.0, 0.3651483716701107, 6.0427507947135365e-05},  // no flow
    };
    for (const Case& c : cases)
        expect_near(nozzle_flow(c.flow_switch, c.p1, c.p2, c.u_max),
                    {c.mdot, c.u, c.p1, 350.0, c.mdot / 800.0, c.cd, 800.0, 0.0, 0.0, 0.0, c.radius}, 1e-13);
}

struct Nox {
    int32_t cylinder = 1, source_switch = 1, status = 7, id = 1;
    double compare = 60.0, time_scale = 1.0, reference = 100.0, source = 5000.0, nox = -1.0;
    std::vector<double> call()  // the value and the status
    {
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
    load_cylinders(2, 0.09);
    const int32_t one = 1, two = 2;
    const double factor = 1.5, rpm = 3000.0, f1 = 3000.0, f2 = 4000.0, load = 4e6;  // |F| = 5000 N
    send_state({.crank_angle_deg = 140.0});  // phi = 30 degrees
    std::vector<double> t(7, 0.0);
    for (int k : {0, 1}) ENGFRIC_USER_VALVE(&one, &factor, &t[k]);
    for (int32_t bearing : {2, 1, 3}) ENGFRIC_USER_CRANK(&one, &bearing, &rpm, &f1, &f2, &t[1 + bearing]);
    for (auto [c, v] : {std::pair{2, 5.0}, {1, -5.0}})
        ENGFRIC_USER_CYL(&two, &c, n_, n_, n_, n_, &v, &load, n_, n_, n_, n_, &t[7 - c]);
    // valve 2 * 1.5 * (0.5 sin(30 * 6.28318 / 180) + 1); cylinder 50 |v| + 0.01 P (1 - v / 20) S / 2 sin(30 pi / 180);
    // bearing w = 0.06 * 0.5 * 3000 * 3.14159 / 30 = 9.42477; (0.01 w / 1e-5) 0.06 0.02 (5000 / 1e4 + 1)
    expect_near(t, {4.299037442278701, 4.299037442278701, 16.964586, 16.964586, 16.964586, 924.9994829327952,
                    1374.9991382213254}, 1e-10);
    const double huge_speed = -1e307;  // 50 |v| = 5e308 overflows
    expect_child_stop([&] { ENGFRIC_USER_CYL(&two, &one, n_, n_, n_, n_, &huge_speed, &load, n_, n_, n_, n_, &t[0]); },
                      " F*** ENGFRIC_USER_CYL: argument 7 (piston velocity) gives a value beyond the real range: "
                      "-1e+307\n");
    const Plot crank = drain_plot(1, 2), valve = drain_plot(1, 3), cylinder = drain_plot(2, 1);
    EXPECT_EQ(valve.y.size(), 2u);  // every call; only bearing 1 and cylinder 1
    expect_near(crank.points(), {30.0, 16.964586}, 1e-10);
    expect_near(cylinder.points(), {30.0, 1374.9991382213254}, 1e-12);
    EXPECT_EQ(crank.labels(), labels("User Engine Friction Model", "Brg#1 Fric.Torque", "deg", "N-m"));
    EXPECT_EQ(valve.curve + cylinder.curve, padded("Valvetrain Torque") + padded("Cyl#1 Fric.Torque"));
}

double lift(double input, const std::string& file, int32_t id = 1)
{
    return output_of([&](double* out) {
        USERLIFTU(n_, &id, n_, n_, &input, n_, n_, n_, n_, n_, n_, n_, n_, n_, file.data(), intptr_t(file.size()), n_,
                  n_, n_, out);
    });
}

TEST(ValveLift, TraceFileAcrossCallsNamesAndFailures)
{
    setup_models(1);
    const auto contents = [](const std::string& p) { return (std::stringstream() << std::ifstream(p).rdbuf()).str(); };
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
    lift(10.0, b);  // another name: a is closed, b begins
    EXPECT_EQ(contents(b), " 9.0\n");
    // a fatal stop closes (and so flushes) the open file
    expect_child_stop([&] {
        lift(2.0, b);
        stop_run();
    }, "");
    EXPECT_EQ(contents(b), " 9.0\n 1.8\n");
    // a file that cannot be opened, or written, warns once and the lift is still returned
    const std::string missing = (dir / "no_such_dir" / "lift.txt").string(), full = "/dev/full";
    const std::string tail = "\n      the lift is returned without its trace\n";
    EXPECT_EQ(capture_stdout([&] { EXPECT_EQ(lift(1.0, missing) + lift(2.0, missing), 0.9 + 1.8); }),
              " W*** USERLIFTU: cannot open the trace file " + missing + tail);
    if (std::filesystem::exists(full)) {  // every write fails: disk full
        EXPECT_EQ(capture_stdout([&] { EXPECT_EQ(lift(1.0, full) + lift(2.0, full), 0.9 + 1.8); }),
                  " W*** USERLIFTU: cannot write the trace file /dev/full" + tail);
    }
    lift(3.0, a);  // a good name afterwards traces again, from the start
    EXPECT_EQ(contents(a), " 2.7\n");
}

// Air in a 50 mm pipe: cp 1005, mu 1.8e-5, k 0.026, rho 1.2, u 10, D 0.05.
struct Air {
    double cp = 1005.0, mu = 1.8e-5, k = 0.026, rho = 1.2, u = 10.0, d = 0.05;
    double cf(int32_t id) const
    {
        return output_of([&](double* cf) { CF_USER(n_, n_, &id, n_, n_, &cp, &mu, &k, &rho, &u, &d, n_, n_, n_, cf); });
    }
    double htc(int32_t id, double cf) const
    {
        return output_of([&](double* h) { CF_HG_USER(n_, n_, &id, n_, n_, &cp, &mu, &k, &rho, &u, &d, n_, n_, n_, &cf, h); });
    }
    double refrig_cf(int32_t id, double x) const
    {
        return output_of([&](double* cf) {
            CF_USER_REFRIG(n_, n_, &id, n_, n_, &cp, &mu, &k, &rho, &u, &d, n_, n_, n_, cf, n_, n_, &x, n_, n_, n_, n_,
                           n_, n_, n_, n_, n_, n_, n_, n_, n_, n_);
        });
    }
};

std::vector<double> matrix(int32_t id, double omega)
{
    double t[4][2];
    TM_USER(t[0], t[1], t[2], t[3], &id, &omega);
    return {t[0][0], t[0][1], t[1][0], t[1][1], t[2][0], t[2][1], t[3][0], t[3][1]};
}

TEST(PipeFlow, FrictionFactorsHeatTransferWithItsPlotAndTransferMatrix)
{
    setup_models(7, 1);
    set_reals(4, {0.0, 0.0, 1.1, 1.2, 1.3});
    // Re = 1.2 (10 + 1e-6) 0.05 / 1.8e-5 = 33333.3367; 0.0791 / Re^0.25 (by hand)
    // at u = 0: Re = 3.333e-3, still finite; then the refrigerant's liquid, vapour, two-phase at 2x = 0.5
    const double blasius = 0.0058540548371826115;
    expect_near({Air{}.cf(4), Air{.u = 0.0}.cf(4), Air{}.refrig_cf(4, 0.0), Air{}.refrig_cf(4, 1.0),
                 Air{}.refrig_cf(4, 0.25)},
                {blasius, 0.32919770371776635, blasius * 1.1, blasius * 1.2, blasius * 0.5 * 1.3}, 1e-13);

    // heat transfer: default law of model 3, Nusselt law of model 1 plotted every hundredth call
    send_state({});
    set_reals(3, {1, 2, 3, 4, 5, 6});  // six reals: still the default law
    // Pr = 1.8e-5 * 1005 / 0.026 = 0.695769; 0.005 * 0.5 * 1.2 * 10 * 1005 * Pr^-0.66667 (by hand)
    EXPECT_NEAR(Air{}.htc(3, 0.005), 38.3982143818627, 1e-10);
    // Nu = 0.023 Re^0.8 above Re 1e4, Re^0.5 down to 2300, Re^0.33 below; L = 0.1;
    // Re' = 1.2 u 0.1 / 1.8e-5 = 6666.67 u; factors 0.023, 0.023e4^0.3, that * 2300^0.17 (by hand)
    set_reals(1, {0.023, 0.8, 0.5, 0.33, 1.0e4, 2300.0, 0.1});
    set_texts(1, {"Nusselt of the intake runner"}, 40);
    expect_near({Air{}.htc(1, 0.0), Air{.u = 1.0}.htc(1, 0.0), Air{.u = 0.2}.htc(1, 0.0)},
                {38.31502335641474, 6.857984075797245, 3.3648492894572533}, 1e-12);
    // three calls so far; the 100th stores (ln Re', ln Nu) of that call
    for (int k = 4; k < 100; ++k) Air{}.htc(1, 0.0);
    Air{.u = 1.0}.htc(1, 0.0);
    const Plot p = drain_plot(1, 1);
    expect_near(p.points(), {8.804875263868018, 3.2724871800153226}, 1e-13);  // ln 6666.67, ln 26.3769
    EXPECT_EQ(p.labels(), labels("label", "Nusselt of the intake runner", "x-label", "y-label"));
    // a Nusselt factor of 0 gives h = 0 and no point on the log-log curve; an
    // exponent that carries the law out of the real range stops the run
    set_reals(2, {0.0, 0.8, 0.5, 0.33, 1.0e4, 2300.0, 0.1});
    for (int k = 0; k < 100; ++k) EXPECT_EQ(Air{}.htc(2, 0.0), 0.0);
    EXPECT_TRUE(drain_plot(2, 1).points().empty());
    expect_child_stop([] {
        set_reals(2, {0.023, 400.0, 0.5, 0.33, 1.0e4, 2300.0, 0.1});
        Air{}.htc(2, 0.0);
    }, " F*** CF_HG_USER: real parameter 1 (Nusselt factor) gives a value beyond the real range: 0.023\n");
    // limits in the wrong order: the range-1 law at every Reynolds number,
    // 0.023 * 1333.33^0.8 * Pr^0.333 * 0.026 / 0.1 (by hand)
    set_reals(2, {0.023, 0.8, 0.5, 0.33, 2300.0, 1.0e4, 0.1});
    EXPECT_NEAR(Air{.u = 0.2}.htc(2, 0.0), 1.67568773600619, 1e-11);
    // transfer matrix of model 5, a straight pipe of L 0.5, d 0.04, c 340: kL = 628.3185 / 340 * 0.5 = 0.923998;
    // A = 3.1415927 * 0.02^2; Z = 340 / A (by hand): cos kL, Z sin kL, sin kL / Z
    set_texts(5, {"pipe"}, 4);
    set_reals(5, {0.5, 0.0, 0.04, 340.0});
    set_texts(6, {"Pipe"}, 10);  // not the word: identity, reals not tested
    const double c = 0.6026346363792572, zs = 215914.25368037145, sz = 2.9494648184680466e-06;
    expect_near(matrix(5, 2.0 * 3.14159265358979 * 100.0), {c, 0, 0, zs, 0, sz, c, 0}, 1e-12);
    for (int32_t other : {6, 7, 0})  // other word, no texts, identifier below 1
        EXPECT_EQ(matrix(other, 1.0), (std::vector<double>{1, 0, 0, 0, 0, 0, 1, 0})) << other;
}

// R134a-like liquid in an 8 mm tube; the two-phase values are those of the saturated liquid and vapour.
struct Refrig {
    double t_fluid = 280.0, t_wall = 290.0, cp = 1400.0, mu = 2e-4, k = 0.09, rho = 1200.0, u = 0.5, d = 0.008;
    double area = 5e-5, q_div = 1e-4, x = 0.0, pr = 0.25, q_in = 5.0, rho_l = 1200.0, h_l = 2.0e5, mu_l = 2e-4;
    double k_l = 0.09, cp_l = 1400.0, sigma = 0.008, rho_v = 30.0, h_v = 4.0e5, mu_v = 1.2e-5, k_ref = 0.1, mdot = 0.03;
    double htc(int32_t id) const
    {
        return output_of([&](double* h) {
            CF_HG_USER_REFRIG(n_, n_, &id, &t_fluid, &t_wall, &cp, &mu, &k, &rho, &u, &d, n_, n_, n_, n_, &area, &q_div,
                              &x, &pr, &q_in, &rho_l, &h_l, &mu_l, &k_l, &cp_l, &sigma, &rho_v, &h_v, &mu_v, &k_ref, n_,
                              h, &mdot);
        });
    }
};

TEST(RefrigerantHeatTransfer, SingleAndTwoPhaseBranchesWithTheirPlot)
{
    setup_models(2, 1);
    for (int32_t m : {1, 2}) {  // reference heat flux 2e4, nucleate factor 1, phase factors 1.1 / 1.3 / 1.2
        load_model(m, {m == 1 ? 1 : 999}, {20000.0, 1.0, 1.1, 1.2, 1.3});
        set_texts(m, {std::string(100, 'c')}, 132);  // curve name cut to the plot's 80 characters
    }
    // Re = 24000.05, Pr = 3.1111; Dittus-Boelter 0.023 Re^0.8 Pr^n k / D, n = 0.4 heated, 0.3 cooled;
    // two-phase at x = 0.3 with the liquid Nusselt number; all by hand
    const std::pair<int32_t, Refrig> cases[] = {
        {1, {}},                          // liquid, heated, * 1.1
        {1, {.t_fluid = 300.0}},          // liquid, cooled
        {1, {.x = 1.0}},                  // vapour, * 1.2
        // condensation: Nul [(1-x)^0.8 + 3.8 x^0.76 (1-x)^0.04 / pr^0.38] k / D * 1.3
        {1, {.t_fluid = 300.0, .x = 0.3}},
        {2, {.x = 0.3}},  // boiling, built-in law
        // G = 600, Fr = (G / rho_l)^2 / (9.807 D) = 3.19: nucleate + convective,
        // Bo = 8.33e-4, E = 10.159, S = 0.05944, hnb = 5.983, hl = 1300.82
        {1, {.x = 0.3}},
        // Fr = 0.0319: stratified, 3.9 Fr^0.24 (x/(1-x))^0.64 (rho_l/rho_v)^0.4 hl * 1.3
        {1, {.x = 0.3, .mdot = 0.003}},
        {1, {.mdot = -1e-6}},  // limit |mdot cp / A| = 1e-6 * 1400 / 5e-5
        {2, {.x = 0.3, .rho_v = 1200.0}},  // built-in law, equal densities: no capillary length scale, h 0
    };
    std::vector<double> h;
    for (const auto& [id, state] : cases) h.push_back(state.htc(id));
    expect_near(h, {1430.898869714132, 1277.371988954193, 1560.9805851426893, 4970.623006546506, 3020.115824834667,
                    17180.638401974295, 7333.957550001485, 28.0, 0.0}, 1e-12);
    // identifier 1 has had 7 calls; the 100th and 200th store (SIM_TIME, h)
    for (int k = 8; k <= 200; ++k) {
        send_state({.sim_time_s = 0.01 * k});
        Refrig{.u = k == 100 ? 0.5 : 1.0}.htc(1);
    }
    const Plot p = drain_plot(1, 1);
    // liquid at u 0.5 (above) and 1.0: 0.023 Re^0.8 Pr^0.4 k / D * 1.1 with Re = 48000.05 (python)
    expect_near(p.points(), {0.01 * 100, 0.01 * 200, 1430.898869714132, 2491.3376410309293}, 1e-12);
    EXPECT_EQ(p.labels(), labels("Heat Transfer User Model", std::string(80, 'c'), "sec", "W/m^2-K"));
}

// Model 1 (or 5) with these integers and reals and, if any, one text of 8 characters; then a
// call that must end the run with status 1 and exactly this output.
using InputFault = std::tuple<int32_t, std::vector<int32_t>, std::vector<double>, std::string, std::function<void()>,
                              std::string>;

TEST(EngineAndPipeModels, InputFaultsStopTheRun)
{
    const std::string head = " F*** NOZZUSER: Nozzle geometry must be specified in\n"
                             "                UserModel object. UserModel object\n";
    const std::string two = head + "                must contain at least two values:\n"
                                   "                number of nozzles, diameter\n";
    const std::string refrig_error = " UserModel input error for refrigerant\n";
    const InputFault faults[] = {
        {1, {}, {-180.0}, "", [] { Gas{}.heat(); },
         " UserModel error (ENGHEATTRUSER):  Not enough real values, 2 needed\n"},
        {1, {}, {-180.0, 140.0}, "", [] { Gas{.cylinder = 21}.heat(); }, bounds_error("PMOT1", 21, 20)},
        {1, {}, {2.0, 0.5}, "", [] { evaporate(0, {}, 0); },
         " UserModel error (USERENGCYLEVAPORATION):  Not enough real values, 3 needed\n"},
        {1, {}, {1.0, 1.0, 1.0}, "", [] {  // before the cylinder descriptions are loaded
             load_cylinders(1, 0.09);
             evaporate(0, {}, 0);
         }, " F*** USERENGCYLEVAPORATION: argument 2 (cylinder) 1 has no connecting rod: load the cylinder "
            "descriptions first\n"},
        {1, {}, {}, "", [] { Jet{}.call(); }, " No integer parameters defined for user model\n"},
        {1, {1}, {2.0}, "", [] { Jet{}.call(); },  // user weights need two reals
         " UserModel error (Ignition Delay):  Check UserModel input\n"},
        {1, {999}, {}, "", [] { Jet{.extent = 4}.call(); }, bounds_error("TMPS", 5, 4)},  // four zones
        {1, {}, {3.0}, "", [] { nozzle_geometry(1); }, two},
        {1, {}, {3.9, 2e-4, 0.7}, "", [] { nozzle_geometry(0); }, two},  // identifier below 1
        {1, {}, {3.0, 2e-4}, "", [] { nozzle_flow(1.0, 2e5, 1e5, 100.0); },
         head + "                must contain at least three values:\n"
                "                number of nozzles, diameter, cd\n"},
        {1, {}, {}, "", [] {  // sized once, by the first call's cylinder count
             const int32_t key = 1, two = 2, five = 5;
             SEND_USER_GLOBAL2(&key, &two);
             Nox{}.call();
             SEND_USER_GLOBAL2(&key, &five);
             Nox{.cylinder = 3}.call();
         }, bounds_error("ZMNO_OLD", 3, 2)},
        {1, {}, {}, "", [] { Air{.d = 0.0}.cf(1); }, " F*** CF_USER: argument 11 (diameter) must be positive: 0.0\n"},
        {1, {}, {3.9, 2e-4, -0.7}, "", [] { nozzle_flow(0.0, 5e7, 2e7, 100.0); },  // radius sqrt(cd) d / 2
         " F*** INJNOZZUSER_SOLUTION: real parameter 3 (discharge coefficient) must not be negative: -0.7\n"},
        {1, {999}, {}, "", [] { Jet{.v20 = 30.0, .v21 = 0.0}.call(); },  // d = 0 / 0
         " F*** JETIGNITIONUSR: argument 21 (divisor of the output factor) leaves the factor undefined: 0.0\n"},
        {1, {}, {0.0, 0.0, 1.1, 1.2}, "", [] { Air{}.refrig_cf(1, 0.5); }, bounds_error("REALPARM", 5, 4)},
        {5, {}, {0.023, 0.8, 0.5, 0.33, 1.0e4, 2300.0, 0.1}, "", [] { Air{}.htc(5, 0.0); },
         bounds_error("ICOUNT", 5, 4)},
        // the refrigerant law without integers, with four reals, without texts
        {1, {}, {1, 2, 3, 4, 5}, "r", [] { Refrig{}.htc(1); }, refrig_error},
        {1, {1}, {1, 2, 3, 4}, "r", [] { Refrig{}.htc(1); }, refrig_error},
        {1, {1}, {1, 2, 3, 4, 5}, "", [] { Refrig{}.htc(1); }, refrig_error},
        // flow values that carry a result beyond the real range: Re rounded to 0, h and its limit overflowing
        {1, {}, {}, "", [] { Air{.rho = 1e-300, .d = 1e-300}.cf(1); },
         " F*** CF_USER: argument 9 (density) gives a value beyond the real range: 1e-300\n"},
        {1, {}, {}, "", [] { Air{.u = 1e6}.htc(1, 1e300); },
         " F*** CF_HG_USER: argument 15 (friction coefficient) gives a value beyond the real range: 1e+300\n"},
        {1, {}, {}, "pipe", [] { matrix(1, 1.0); },  // the word, blank-padded, but no reals
         " UserModel error (TMBlackBox):  Check UserModel input\n"},
    };
    for (const auto& [model, ints, reals, text, call, output] : faults) {
        expect_child_stop([&] {
            setup_models(5);
            load_model(model, ints, reals);
            if (!text.empty()) set_texts(model, {text}, 8);
            call();
        }, output);
    }
}

}  // namespace
}  // namespace usersub::test
