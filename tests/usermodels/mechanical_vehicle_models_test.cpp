#include "support/species_fixture.h"
#include "usermodels/model_setup.h"

namespace usersub::test {
namespace {

// Force on the second end of one connection call with ends at x1, x4 moving
// at v1, v4; the first end gets its negative, entries 2 and 3 are untouched.
double connect(int32_t id, double x1, double x4, double v1 = 0.0, double v4 = 0.0)
{
    std::array<double, 4> x{x1, 0, 0, x4}, v{v1, 0, 0, v4}, f{-7, -7, -7, -7};
    MEC_USER_UCON(nullptr, nullptr, x.data(), v.data(), nullptr, nullptr, f.data(), &id);
    EXPECT_EQ(f[0], -f[3]);
    EXPECT_EQ(f[1] + f[2], -14.0);
    return f[3];
}

double extf(int32_t id, double x1, double x2)
{
    return output_of([&](double* force) { MEC_USER_EXTF(nullptr, &x1, &x2, force, &id); });
}

TEST(MechanicalConnection, SpringDamperContactFilmExternalForceAndInputErrors)
{
    setup_models(21);
    load_model(1, {1}, {1000.0, 10.0});
    load_model(2, {2, 0}, {5.0e4, 0.01});
    load_model(3, {}, {3.0, -2.0});
    load_model(7, {}, {1.0});  // the external force needs two reals
    // 1000 x 0.2 + 10 x 1.5; 5e4 x (0.03 - 0.01); inside the gap
    expect_near({connect(1, 0.3, 0.1, 2.0, 0.5), connect(2, 0.05, 0.02, 9.0), connect(2, 0.005, 0.0)},
                {215.0, 1000.0, 0.0}, 1e-15);
    EXPECT_DOUBLE_EQ(extf(3, 2.0, 5.0), -4.0);  // 3 x 2 - 2 x 5
    // Annular film r1 = 10, r2 = 20 mm, 2e5 / 1e5 Pa, 0.01 Pa s, vapour 100 Pa: A = 3e-4 m2,
    // a = 1/(2 ln 2) - 1/3 = 0.3880141871111484, pressure load pi A (2e5 a + 1e5 (1 - a)) = 130.81725519920363 N,
    // viscous coefficient K = 3 pi A^2 (a - 0.5) (by hand; the sums checked in python). The gap and rate
    // the film takes (floor, clamp, ramp) are those of the shared film helper, tested with the hydraulic valve.
    load_model(4, {3, 0}, {0.01, 0.02, 2.0e5, 1.0e5, 0.01, 100.0});
    load_model(5, {3, 0}, {0.0, 0.01, 7.0e5, 1.0e5, 0.01, 100.0});
    load_model(6, {3, 1}, {0.01, 0.02, 9e9, 9e9, 9e9, 9e9});
    const double fp = 130.81725519920363, k = 3.0 * 3.14159265358979 * 9e-8 * (0.3880141871111484 - 0.5);
    const auto film = [](int32_t id, double h, double hdot) { return connect(id, 0.0, h, 0.0, hdot); };
    // Closing at 3e-7: ramp 1 - exp(-0.1) on the viscous term, unclamped gap.
    EXPECT_NEAR(film(4, 3e-7, -1e-3), fp + (1 - std::exp(-0.1)) * k * 0.01 * -1e-3 / 2.7e-20, 1e-3);
    EXPECT_NEAR(film(4, 1e-6, 1.0), 0.0942477796076937, 1e-15);  // floor pi A x 100
    // Circular, r2 = 10 mm: pi 1e-4 x 1e5 - 1.5 pi 1e-8 0.01 1e-3 / 1e-12; floor pi 1e-4 x 100.
    EXPECT_NEAR(film(5, 1e-4, 1e-3), 31.4159265358979 - 0.471238898038469, 1e-11);
    EXPECT_NEAR(film(5, 1e-4, 10.0), 0.0314159265358979, 1e-15);
    // Shared film data are always 2e5, 1e5, 0.003, 100: fp + K 0.003 1e-4 / 1e-15.
    EXPECT_NEAR(film(6, 1e-5, 1e-4), fp + k * 0.003 * 1e11, 1e-9);
    // Gap and rate are the differences of the two ends: h = 1e-5, hdot = 1e-4.
    EXPECT_NEAR(connect(4, 0.25, 0.25 + 1e-5, -0.5, -0.5 + 1e-4), 35.82752728817141, 1e-9);
    // Input errors, each with model 1 or 21 loaded so in a child process.
    const std::string head = " User Model error (UserMechConn):\n";
    const std::tuple<int32_t, std::vector<int32_t>, std::vector<double>, std::string> cases[] = {
        {1, {7}, {1.0, 2.0}, head + " Invalid integer flag (1st integer parameter in UserModel object)\n"
                                    " Allowed values for and the corresponding sample user models are:\n"
                                    " 1 - Spring & damper combination\n"
                                    " 2 - Simple contact with stiffness and initial gap\n"
                                    " 3 - Circular or annular squeezed film\n"},
        {1, {1}, {1.0}, head + " Number of Real parameters in UserModel object should be  2\n"},
        {1, {3, 0}, {0.01, 0.02, 1, 2, 3}, head + " Number of Real parameters in UserModel object should be  6\n"},
        // The film reads both radii before it counts the reals.
        {1, {3, 1}, {0.01}, bounds_error("REALPARM", 2, 1)},
        {1, {3}, {0.01, 0.02},
         head + " This model requires 2 integer values in integer array in UserModel object\n"
                " The second integer is used as a flag only when the first integer is 3, i.e.\n"
                " points to the user model for a squeeze-film force:\n"
                " 0 - pressures, viscosity and vapor pressure are inputs passed in UserModel object\n"
                " 1 - pressures, viscosity and vapor pressure come common /sqz/ in a user routine\n"},
        {1, {}, {0.01, 0.02}, bounds_error("INTPARM", 1, 0)},
        {1, {3, 1}, {0.01, 0.01}, " F*** MEC_USER_UCON: real parameter 2 (outer radius) must differ from the "
                                  "inner radius, with its sign: 0.01\n"},  // a = 1/0 - 1/0
        {21, {3, 1}, {0.01, 0.02}, " User model error (MEC_USER_UCON). Number of user models greater than 20. \n"
                                   " Increasing the size of the arrays in the common should fix this. \n"},
    };
    for (const auto& [id, ints, reals, message] : cases) {
        expect_child_stop([&] {
            load_model(id, ints, reals);
            connect(id, 0, 1e-5);
        }, message);
    }
    expect_child_stop([] { extf(7, 1.0, 1.0); }, " UserModel error (Force/Torque):  Check UserModel input\n");
}

enum : int { A1, A2, A3, L1, L2, V1, V2, V3, ZERO, DH1, DH2, DH3 };

// Outputs 34..51 of the flow side (index k - 34) for D1..D4 = 12, 8, 5, 2 mm, alpha 0.7, beta 1.1.
std::vector<double> flow_side(double x, double x_ref, double gamma = 0.3, int32_t id = 1)
{
    const double a5 = 5.5, a6 = 6.5, d1 = 0.012, d2 = 0.008, d3 = 0.005, d4 = 0.002, alpha = 0.7, beta = 1.1;
    const double* j = &a5;  // positions with no effect
    std::vector<double> o(18, -1.0);
    USER_FLOW_CPCS(&id, j, j, j, &a5, &a6, &x, &x_ref, j, j, j, j, j, j, j, j, j, j, j, j, j, j, j, j, &d1, &d2, &d3,
                   &d4, &alpha, &beta, &gamma, j, j, &o[0], &o[1], &o[2], &o[3], &o[4], &o[5], &o[6], &o[7], &o[8],
                   &o[9], &o[10], &o[11], &o[12], &o[13], &o[14], &o[15], &o[16], &o[17]);
    return o;
}

// Outputs 33..35 of the mechanical side for D0..D3 = 14, 10, 8, 4 mm, alpha 0.6, beta 0.9.
std::vector<double> mec_side(int32_t s, double x, double pa, double pb, double pc, double form, int32_t id = 1,
                             double d0 = 0.014)
{
    const double d1 = 0.010, d2 = 0.008, d3 = 0.004, alpha = 0.6, beta = 0.9;
    const double* j = &d0;
    std::vector<double> o(3, 0.0);
    USER_MEC_CPCS(&id, j, &s, j, j, j, &x, &pa, &pb, &pc, j, j, j, j, j, j, j, j, j, j, j, j, j, &d0, &d1, &d2, &d3,
                  &alpha, &beta, &form, j, j, &o[0], &o[1], &o[2]);
    EXPECT_EQ(o[1], -o[0]);
    return o;
}

// Areas and hydraulic diameters from an independent evaluation of the
// formulas (python, pi = 3.14159265358979); lengths and volumes by hand.
TEST(ConnectionGeometry, FlowAndMechanicalSides)
{
    setup_models(1);
    auto o = flow_side(2e-4, 5e-5);
    const double q = 0.7853981633974475;  // pi / 4
    expect_near(o, {1.225735171942995e-4, 3.277907523735987e-06, 1.4988002131396096e-05, 0.002 / std::sin(0.7),
                    0.0015 / std::sin(0.7), q * 8e-5 * 1.5e-4, q * 3.9e-5 * 1.5e-4, q * 2.1e-5 * 1.5e-4, 0.0,
                    0.013321498953800364, 4e-4 / std::sin(0.7), 0.0021699305566402014,  // then arguments 6 and 5
                    6.5, 6.5, 6.5, 5.5, 5.5, 5.5}, 1e-12);
    o = flow_side(0.0, 0.0);  // closed: D2 / x is 1e18, no second area, no volumes
    EXPECT_EQ(o[A2] + o[V1] + o[V2] + o[V3] + o[DH2], 0.0);
    EXPECT_NEAR(o[A3], 1.2859867394073713e-05, 1e-18);
    // wide open: the third area held at pi/4 (D3^2 - D4^2)
    EXPECT_EQ(flow_side(3e-3, 0.0)[A3], q * (0.005 * 0.005 - 0.002 * 0.002));
    o = flow_side(1e-4, 0.0, 1.2);  // first curtain below zero lift: area 0, diameter not limited
    EXPECT_EQ(o[A1], 0.0);
    EXPECT_LT(o[DH1], 0.0);
    // cot(0) taken as 1e18
    EXPECT_NEAR(flow_side(1e-4, 0.0, 0.0)[DH1], 2 * (1e-4 + 0.002 * (1e18 - 1 / std::tan(0.7))) / std::sin(0.7), 1e4);
    // mechanical side: change-over diameter and pressure force (python reference)
    // Equal pressures, three-pressure form last: s p pi/4 (D0^2 - D3^2) = 848.2300164692435 with s = 2.
    o = mec_side(-1, 1e-4, 2e7, 1e7, 1e5, 0.0);
    expect_near({o[2], o[0], mec_side(-1, 1e-4, 2e7, 1e7, 1e5, 1.0)[0], mec_side(2, 2e-3, 3e6, 3e6, 3e6, 0.5)[0]},
                {0.0085372301732807, -1938.3645909183708, -1725.3983735200127, 2.0 * 3e6 * q * 1.8e-4}, 1e-13);
    const double junk = 42.0, *j = &junk;
    double cf[2] = {-1, -1};
    for (int32_t id : {0, 1}) HLA_CVFLOWCOEF(&id, j, j, j, j, j, j, j, j, j, j, j, j, j, j, j, j, &cf[id]);
    EXPECT_EQ(std::vector<double>(cf, cf + 2), std::vector<double>({0.6, 0.6}));  // for any model
}

// Fuel amounts per species of the fixture set, whose fuels are methane and
// liquid n-heptane: methane holds `methane`, heptane none, the rest 1 each.
std::vector<double> fuel(double methane)
{
    std::vector<double> f(fx::kNSpecies, 1.0);
    f[fx::kCH4 - 1] = methane;
    f[fx::kC7H16Liquid - 1] = 0.0;
    return f;
}

// One knock step of a cylinder; the knock index output starts at -1.
struct Knock {
    int32_t id = 1, c = 3, status = 1;
    double t_K = 1000.0, dt_s = 1e-3, p_Pa = 3e6, divisor = 4.0, fraction = 0.2, index = -1.0;
    std::vector<double> fconc = fuel(1.0);
    void step()
    {
        const auto n = static_cast<int32_t>(fconc.size());
        KNOCKUSRMOD(&id, &c, &status, n_, &n, &n, &n, &n, n_, n_, n_, n_, &p_Pa, &t_K, n_, n_, &dt_s, &divisor,
                    &fraction, n_, fconc.data(), n_, n_, &index);
    }
    std::string printed() { return capture_stdout([this] { step(); }); }
    std::vector<double> result() const  // with harness 1's signal c
    {
        const int32_t harness = 1;
        return {double(status), index, output_of([&](double* v) { GET_USER_HARN_OUTPUT(&c, &harness, v); })};
    }
};

// Model 1: delay 0.001 x 1 x 1^1 x p^0 x exp(0) = 1e-3 s, so 1/tau = 1000 1/s
// at any state; model 2: too few reals; model 3: a full delay correlation.
TEST(KnockModel, IntegralHarnessOutputMessageAndChecks)
{
    setup_models(3);
    load_model(1, {}, {1.0, 100.0, 1.0, 0.0, 0.0});
    load_model(2, {}, {1.0, 100.0, 1.0});
    load_model(3, {}, {2.0, 90.0, 1.5, -1.7, 3800.0});
    load_species_fixture();
    const int32_t nsig = 30, nharn = 1;
    ALLOC_USER_HARN(&nsig, &nharn);
    Knock k{.fconc = fuel(2e-10)};  // just above the fuel threshold
    for (double dt : {1e-3, 5e-4}) {  // 1000 x 0.5 x 1e-3 = 0.5, + 2000 x 0.5 x 5e-4: exactly 1.0, no knock
        k.dt_s = dt;
        EXPECT_EQ(k.printed(), "");
        EXPECT_EQ(k.result(), (std::vector<double>{0, -1, 0}));
    }
    // 1.1 and, not restarted, 1.2: index 0.8 x 6e7 x I x exp(-6) / 4.
    k.dt_s = 1e-4;
    for (double want : {32719.528731995935, 35694.031343995564}) {
        const std::string out = k.printed(), head = " Knock detected in Cylinder #  3  Knock Index:  ";
        expect_near(k.result(), {-1, want, want}, 1e-13);
        ASSERT_EQ(out.substr(0, head.size()), head);
        EXPECT_NEAR(std::stod(out.substr(head.size())), want, 1e-8);
    }
    k.status = 1;  // a restart clears the integral
    k.step();
    EXPECT_EQ(k.result()[0] + k.result()[2], 0.0);
    // 1/tau = 1 / (0.002 x 0.9^1.5 x (p 9.869233e-6)^-1.7 x exp(3800 / T)) =
    // 4443.26480616943 at (4e6 Pa, 900 K), 19074.58602408221 at (6e6, 1100) (python).
    Knock c7{.id = 3, .c = 7, .t_K = 900.0, .dt_s = 2e-4, .p_Pa = 4e6, .divisor = 2.5, .fraction = 0.25};
    Knock c8{.id = 3, .c = 8, .t_K = 1100.0, .dt_s = 1e-5, .p_Pa = 6e6};
    c7.step();
    c8.step();  // an integral of its own
    c7.t_K = 1100.0;
    c7.p_Pa = 6e6;
    c7.printed();
    // I = 2.7961115636421074; index 0.75 x 6e7 x I x exp(-6000/1100) / 2.5.
    expect_near(c7.result(), {-1, 215252.40301277334, 215252.40301277334}, 1e-13);
    EXPECT_EQ(c8.result(), (std::vector<double>{0, -1, 0}));
    Knock dry{.id = 2, .fconc = fuel(5e-11)};
    dry.step();  // no fuel: -1 before the parameters are counted
    EXPECT_EQ(dry.result(), (std::vector<double>{-1, -1, 0}));  // signal 3 as the restart left it
    expect_child_stop([] { Knock{.id = 2}.step(); }, " UserModel error (Knock):  Check UserModel input\n");
    expect_child_stop([] {  // a zero delay pre-factor: the knock integral would be infinite
        load_model(2, {}, {0.0, 90.0, 3.4, -1.7, 3800.0});
        Knock{.id = 2}.step();
    }, " F*** KNOCKUSRMOD: the ignition delay 0.0 gives no finite positive rate: check real parameters 1 to 5, "
       "the pressure (argument 13) and the temperature (argument 14)\n");
    expect_child_stop([] {  // 0.8 x 6e7 x 1.1 x exp(-6) / 1e-305 overflows
        Knock k{.divisor = 1e-305};
        k.step();
        k.dt_s = 1e-3;
        k.step();
    }, " F*** KNOCKUSRMOD: argument 18 (divisor of the knock index) gives a value beyond the real range: 1e-305\n");
    // Fuel amounts short of the ordinary species, a cylinder beyond 30.
    expect_child_stop([] { Knock{.fconc = {1.0, 1.0, 1.0}}.step(); }, bounds_error("FCONC", 4, 3));
    expect_child_stop([] { Knock{.c = 31}.step(); }, bounds_error("TAUINVERSEOLD", 31, 30));
}

// Status, then outputs 22..28 of one call: a composition copy, a passed value, another copy and value, the window
// start and end, the ratio. Every output starts at -1.
std::vector<double> scavenge(int32_t id, double crank_deg, double den = 4.0)
{
    std::vector<double> o(12, -1.0);
    int32_t status = 7;
    const int32_t n = 3;
    const double num = 3.0, pass = 7.5, comp[] = {0.2, 0.3, 0.5};
    SCAVENGUSR(&id, n_, &status, &n, &crank_deg, n_, &num, &den, n_, &pass, n_, n_, n_, n_, n_, n_, n_, n_, n_, n_,
               comp, &o[1], &o[4], &o[5], &o[8], &o[9], &o[10], &o[11]);
    o[0] = status;
    return o;
}

TEST(ScavengingModel, TreatmentsWindowAndMessages)
{
    setup_models(4);
    load_model(1, {1}, {300.0, 350.0});
    load_model(2, {2}, {300.0, 350.0});
    load_model(3, {}, {300.0, 350.0});
    load_model(4, {2}, {300.0});
    // treatment 1: ratio 3 / 4, the passed value twice; treatment 2: the composition twice, ratio 1, and at -60
    // (counts as 300: the window includes its ends) status 2
    EXPECT_EQ(scavenge(1, -30.0), (std::vector<double>{0, -1, -1, -1, 7.5, -1, -1, -1, 7.5, 300, 350, 0.75}));
    EXPECT_EQ(scavenge(2, -60.0), (std::vector<double>{2, 0.2, 0.3, 0.5, -1, 0.2, 0.3, 0.5, -1, 300, 350, 1}));
    for (double angle : {-30.0, 350.0}) EXPECT_EQ(scavenge(2, angle)[0], 2) << angle;
    for (double angle : {-5.0, 10.0}) EXPECT_EQ(scavenge(2, angle)[0], 7) << angle;  // left as passed
    expect_child_stop([] { scavenge(3, 0.0); }, " No integer parameters defined for user model\n");
    expect_child_stop([] { scavenge(1, 0.0, 0.0); },
                " F*** SCAVENGUSR: argument 8 (denominator of the ratio) must not be zero: 0.0\n");
    expect_child_stop([] { scavenge(1, 0.0, 1e-320); },  // 3 / 1e-320 = 3e320
                " F*** SCAVENGUSR: argument 8 (denominator of the ratio) gives a value beyond the real range: 1e-320\n");
    expect_child_stop([] { scavenge(4, 0.0); }, " \"UserModel\" error (Scavenging): Check \"UserModel\" input\n");
}

TEST(VehicleModels, BrakeTyreBatteryAndFunctions)
{
    setup_models(3);
    load_model(1, {1}, {});
    load_model(2, {2}, {});
    int32_t id = 3;  // no parameters needed
    const double a = 1.0, b = 2.0, x = 3, y = 5, x0 = 1, ex = 2, y0 = 1, ey = 0.5;
    double r = 0.0;
    const auto mu = [&](double va, double vb, double fz) {
        return output_of([&](double* mu_out) { DYN_TIRE_USER(nullptr, &va, &vb, &fz, mu_out, &id); });
    };
    const auto xy = [&](double x, double mode, double c) {
        return output_of([&](double* y_out) { XYFUNC_USER(&x, y_out, &mode, &a, &b, &c, &id); });
    };
    const auto xyz = [&](int32_t m, double c) {
        return output_of([&](double* z_out) { XYZFUNC_USER(&x, &y, z_out, &c, &x0, &ex, &y0, &ey, &m); });
    };
    VEH_BRAKE_USER(nullptr, &a, &b, &r, &id);
    EXPECT_DOUBLE_EQ(r, 200.01);  // 100 x 2 + 0.01 x 1
    // slip 2/12; slip -0.5, 2^1.05; slip -1.5 held at -1; 2^-1.25; a standing wheel: base friction, not
    // infinity; a wheel lifting off (negative load): base friction only; no slip at a speed whose power
    // overflows (1e-300^-1.25): base friction
    expect_near({mu(10, 12, 1500), mu(10, 5, 3000), mu(-10, 5, 1500), mu(20, 30, 1500), mu(0, 3, 1500),
                 mu(10, 12, -500), mu(1e-300, 1e-300, 1500)},
                {0.15 + 0.001 / 6.0, 0.15 + 0.0005 * 2.070529847682755, 0.151, 0.15 + 0.001 / 3.0 * 0.42044820762685725,
                 0.15, 0.15, 0.15}, 1e-14);
    // 1 + 2 x 4^0.5; 1 + 2 x 2 + 3 x 4; no such form; -2 x 2^2 x 4^0.5; no such law
    expect_near({xy(4, 1.0, 0.5), xy(2, 2.0, 3.0), xy(2, 1.5, 3.0), xyz(1, -2.0), xyz(2, 2.0)},
                {5.0, 17.0, 0.0, -16.0, 0.0}, 1e-15);
    expect_child_stop([&] { xyz(3, 1.0); }, " No integer parameters defined for user model\n");
    expect_child_stop([&] { xy(-8.0, 1.0, 0.5); },
                " F*** XYFUNC_USER: argument 1 (x) must not be negative under a non-integral exponent: -8.0\n");
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
    u[1] = p_demand;
    u[10] = 8000.0;
    u[11] = mode;
    const int32_t id = 1, nu = 12, ny = 14;
    USERHEVPOWDISTR(&id, u.data(), &nu, y.data(), &ny, &q1, n_, &q2, n_, n_, n_, n_, n_, &q3, n_, n_, n_, n_, n_, n_,
                    n_, n_, n_, n_, n_, n_, n_);
    return y;
}

// R1..R10 = 40, 60 (switch 1 off below / on above), 80, 30 (switch 2 off above / on below), 5000, 2000, 3000,
// 50 (set point), 100, 10 (P, I gains); engine power 8000. Expected outputs by hand from the rules.
TEST(HevPowerDistribution, SwitchesLoopAndResetOverASequence)
{
    setup_models(1);
    load_model(1, {}, {40, 60, 80, 30, 5000, 2000, 3000, 50, 100, 10});
    const auto expect_outputs = [](const std::vector<double>& y, const std::vector<double>& w) {  // 1-4, 11-13, rest 0
        expect_near(y, {w[0], w[1], w[2], w[3], 0, 0, 0, 0, 0, 0, w[4], w[5], w[6], 0}, 0, 1e-12);
    };
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
    expect_child_stop([] { hev(0.1, 0, 0, 0, 0, 0); }, " Not enough real parameters defined for the user model.\n");
}

std::vector<double> harness(int32_t id, std::vector<double> u, std::size_t ny, int32_t skip = 0, int32_t iharn = 1,
                            double y0 = 0.0, double dt = 0.01)
{
    const auto nu = static_cast<int32_t>(u.size()), n = static_cast<int32_t>(ny);
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
    EXPECT_EQ(harness(1, {2.0e5, 1.0e5}, 1, 0, 1, 1.0, -0.01)[0], 0.0);  // closed whatever the step
    const Plot plot = drain_plot(1, 1);
    expect_near(plot.points(), {0.01, 0.02, 0.03, 0.04, 0.04, 2.0 + 2.0 / 3.0, 40.0 / 9.0, 40.0 / 9.0, 0.0, 0.0},
                1e-14);
    EXPECT_EQ(plot.labels(), labels("User Harness Model", "Orifice Diameter", "sec", "mm"));
    // no lag time: r = dt / 1e-20, the target at once
    EXPECT_NEAR(harness(2, {3.0e5, 1.5e5}, 1, 0, 1, 1.0)[0], 4.0, 1e-12);
    EXPECT_EQ(harness(2, {3.0e5, 1.5e5}, 1, 0, 1, 1.0, 1e300)[0], 4.0);  // r overflows: the target
    // Too few reals, checked even when the law is skipped; no integers at all.
    expect_child_stop([] { harness(3, {1, 2}, 1, 1); }, " USERHARNESS error:  Check UserModel input\n");
    expect_child_stop([] { harness(4, {1, 2}, 1); }, " No integer parameters defined for user model\n");
    expect_child_stop([] { harness(1, {3.0e5, 1.5e5}, 1, 0, 1, 2.0, -0.01); },  // r / (r + 1) with r = -0.5
                      " F*** USERHARNESS: argument 3 (time step) must not be negative: -0.01\n");
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
    expect_child_stop([] { harness(5, std::vector<double>(18, 1.0), 18); }, bounds_error("UHARN", 19, 18));
    expect_child_stop([] { harness(6, {}, 6, 0, 2); }, bounds_error("GACTU", 6, 5));
}

}  // namespace
}  // namespace usersub::test
