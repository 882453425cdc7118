#include "support/fixture_gases.h"
#include "usermodels/model_setup.h"

namespace usersub::test {
namespace {

// Frozen ideal-gas mixture of N2 and O2 from the NASA Glenn data (gas constant 8314.3).
struct Gas {
    double y_n2, y_o2;
    Composition composition() const { return test::composition({{fx::kN2, y_n2}, {fx::kO2, y_o2}}); }
    NasaMixture at(double T) const { return nasa_mixture(composition(), T); }
    double R() const { return at(300.0).r_J_kgK; }
    double h(double T) const { return at(T).h_J_kg; }
    double cp(double T) const { return at(T).cp_J_kgK; }
    double e(double T) const { return h(T) - R() * T; }
    // Temperature of a specific internal energy (or enthalpy), by Newton steps.
    double t_from(double target_J_kg, bool enthalpy = false) const
    {
        double T = 400.0;
        for (int k = 0; k < 30; ++k) T += (target_J_kg - (enthalpy ? h(T) : e(T))) / (cp(T) - (enthalpy ? 0.0 : R()));
        return T;
    }
};
const Gas kAir{0.767, 0.233};

void set_case(int32_t c, int32_t ncase)
{
    const int32_t zero = 0;
    SEND_USER_GLOBAL("", 0, &c, &zero, &ncase);
}

// The host's side of the example device: two ports, air at 2 bar and 400 K in 1 litre.
struct Device {
    int32_t d = 1, np = 2, ndev = 4, nsp = fx::kNSpecies, nc = 2, fluid = 0, id = 1;
    std::array<int32_t, 2> map{1, 2};
    double dt = 1e-3, p0 = 2e5, t0 = 400.0, v0 = 1e-3, m0 = p0 * v0 / (kAir.R() * t0), unread = 77.0;
    std::array<double, 2> ulpg{0, 0}, uceng{0, 0}, tlpg{300, 300}, plpg{1e5, 1e5}, rhopg{1.2, 2.0}, area{1e-4, 2e-4};
    std::vector<double> rmspg = std::vector<double>(2 * fx::kNSpecies, 0.0);
    Composition y0 = kAir.composition();
    std::array<double, 2> ulpu{}, plpu{}, tlpu{}, slpu{-7, -7};
    std::vector<double> rmspu = std::vector<double>(2 * fx::kNSpecies, -7.0);
    double time = 0.0, damping_switch = -1.0, ref_time = 0.0;

    void call()
    {
        UFDMODEL(&d, n_, &np, &ndev, &nsp, &nc, map.data(), &fluid, &id, &dt, ulpg.data(), uceng.data(),
                 tlpg.data(), plpg.data(), rhopg.data(), area.data(), rmspg.data(), &m0, &p0, &t0, y0.data(), &unread,
                 &v0, ulpu.data(), plpu.data(), tlpu.data(), rmspu.data(), slpu.data(), &time, &damping_switch,
                 &ref_time);
    }
    double y_out(int port, int species) const { return rmspu[static_cast<size_t>((port - 1) * nsp + species - 1)]; }
};

void setup_devices()
{
    load_species_fixture();
    setup_models(3, 2);
    const int32_t four = 4, two = 2, nsp = fx::kNSpecies;
    UFD_ALLOC(&four, &two, &nsp);
    set_case(1, 2);
    set_time(0.0);
}

TEST(FlowDevice, ClosedDeviceKeepsItsStateAndIsInitialisedOncePerCaseAndRun)
{
    setup_devices();
    Device dev;
    for (double t_init : {400.0, 600.0}) {  // the initial values are read once
        dev.t0 = t_init;
        dev.time += 0.5;
        dev.call();
    }
    dev.nc = 0;  // no port connected: at rest
    dev.time += 0.5;
    dev.call();
    expect_near({dev.plpu[1], dev.tlpu[1], dev.y_out(2, fx::kO2), dev.slpu[1]}, {2e5, 400.0, 0.233, 0.0}, 1e-9);
    const Plot p = drain_plot(1, 1), t = drain_plot(1, 2);
    expect_near(p.points(), {0.5, 1.0, 1.5, 2.0, 2.0, 2.0}, 1e-9);
    expect_near(t.points(), {0.5, 1.0, 1.5, 400.0, 400.0, 400.0}, 1e-9);
    EXPECT_EQ(p.labels() + t.labels(), labels("UFD Model", "Pressure", "time", "(bar)") +
                                           labels("UFD", "Temperature", "time", "(k)"));
    dev.nc = 2;
    const std::tuple<int32_t, int32_t, double> starts[] = {{2, 2, 600.0}, {1, 3, 500.0}, {3, 3, 450.0}};
    for (const auto& [c, ncase, t_init] : starts) {  // case 2, then the next run with three cases
        if (ncase == 3 && c == 1) CLEAR_USERMOD_MEMORY();
        set_case(c, ncase);
        dev.t0 = t_init;
        dev.m0 = dev.p0 * dev.v0 / (kAir.R() * t_init);
        dev.call();
        EXPECT_NEAR(dev.tlpu[0], t_init, 1e-9);
    }
}

TEST(FlowDevice, PortFlowsHeatRateDampingAndForceTerm)
{
    setup_devices();
    set_reals(2, {0.25});  // damping factor
    set_reals(3, {1.5});   // beyond 1: held at 1
    const int32_t kind1 = 1, kind2 = 2;
    const double bar = 2.5, t_act = 700.0;
    for (int32_t d : {1, 2, 4}) FLW_ACTU_UFDC(&d, &kind1, &bar);
    for (int32_t d : {2, 3, 4}) FLW_ACTU_UFDC(&d, &kind2, &t_act);

    // Device 1: pure O2 at 300 K flows in at port 1, the device's air leaves at port 2.
    Device dev;
    dev.rmspg[(fx::kO2 - 1) * 2] = 1.0;  // (port 1, O2): port number first
    dev.ulpg = {50.0, -20.0};
    dev.uceng = {40.0, -20.0};
    dev.call();
    const double w1 = 1e-4 * 1.2 * 50.0, w2 = -2e-4 * 2.0 * 20.0, m1 = dev.m0 + (w1 + w2) * dev.dt;
    const double o2 = (0.233 * dev.m0 + (w1 + w2 * 0.233) * dev.dt) / m1;
    const Gas g1{1.0 - o2, o2};
    const double e_in = Gas{0, 1}.h(300.0) + 0.5 * 40.0 * 40.0;  // speed of the device before the step: 0
    const double E1 = dev.m0 * kAir.e(400.0) + (w1 * e_in + w2 * kAir.h(400.0)) * dev.dt;
    const double t1 = g1.t_from(E1 / m1 - 0.5 * 30.0 * 30.0);  // mean speed (40 + 20) / 2
    expect_near({dev.tlpu[0], dev.plpu[1], dev.y_out(1, fx::kO2), dev.y_out(2, fx::kN2), dev.ulpu[1]},
                {t1, m1 / dev.v0 * g1.R() * t1, o2, 1.0 - o2, -20.0}, 1e-6);
    expect_near({dev.slpu[0], dev.slpu[1]}, {0.5 * 2.5e5 * 1e-4, 0.5 * 2.5e5 * 2e-4}, 1e-15);

    // Devices 2 to 4, closed, heat toward 700 K: e gains f cp(400 K) (700 - 400) for the fraction f.
    const auto heated = [](double f) { return kAir.t_from(kAir.e(400.0) + f * kAir.cp(400.0) * 300.0); };
    struct Heat { int32_t id, d, nc; double damping_switch, time, dt, fraction, slpu; };
    const Heat cases[] = {
        {1, 2, 2, -1.0, 1.0, 0.0, 0.0, -0.5 * 2.5e5 * 1e-4},   // a step of no time: no heat
        {1, 2, 2, -1.0, 1.0, 1e-3, 1.0, -0.5 * 2.5e5 * 1e-4},  // no damping; at rest the force term turns
        {2, 3, 2, 0.0, 0.9, 0.05, 0.25, 0.0},  // ratio 0.05 / (1.05 - 0.9), damp 0.75
        {3, 4, 1, 0.0, 0.9, 1e-3, 0.0, 0.0},   // damp 1 - min(1.5, 1); one port: no force term
    };
    for (const Heat& c : cases) {
        Device closed{.d = c.d, .nc = c.nc, .id = c.id, .dt = c.dt, .time = c.time, .damping_switch = c.damping_switch,
                      .ref_time = 1.0};
        closed.call();
        expect_near({closed.tlpu[0], closed.slpu[0]}, {heated(c.fraction), c.slpu}, 1e-9, 1e-6);
    }
}

TEST(FlowDevice, InputErrorsEndTheRun)
{
    const std::string bounds = " Array bounds error: subscript ";
    const std::pair<std::function<void(Device&)>, std::string> cases[] = {
        {[](Device& d) { d.damping_switch = 0.6; }, " UserModel error (UFD):  No damping factor in real data array\n"},
        {[](Device& d) { d.d = 5; }, bounds + "2 of array FIRST_CALL has value 5, above its upper bound 4\n"},
        {[](Device& d) { d.d = d.ndev = 5; }, bounds + "1 of array TUFD has value 5, above its upper bound 4\n"},
        {[](Device&) { set_case(3, 2); }, bounds + "1 of array FIRST_CALL has value 3, above its upper bound 2\n"},
        {[](Device& d) { d.map[1] = 3; }, bounds + "1 of array AREAPG has value 3, above its upper bound 2\n"},
        {[](Device& d) { d.nsp = 17; }, bounds + "1 of array FMUFD has value 18, above its upper bound 17\n"},
    };
    for (const auto& [change, message] : cases) {
        expect_child_stop([&] {
            setup_devices();
            Device dev;
            change(dev);
            dev.call();
        }, message);
    }
}

// The host's side of the implicit device: three ports, two connected, air at 2 bar in 1 litre.
struct Implicit {
    int32_t d = 2, init = 1, accept = 0, np = 3, ndev = 2, nc = 2, id = 1;
    double dt = 1e-3, p = 2e5, t = 400.0, speed = -7.0, v = 1e-3, p_prev = 1.9e5, zero = -7.0;
    Composition y = kAir.composition();
    std::array<double, 3> fmas{0.02, 0.0, 0.5}, fmas_h{0.02 * 3e5, 777.0, 9e9}, slpu{-7, -7, -7};

    double call(double t_in)
    {
        t = t_in;
        UFDMODEL_IMPL(&d, n_, &init, &accept, &np, &ndev, n_, &nc, n_, &id, &dt, n_, n_, n_, &p, &t, n_, &speed, &v,
                      &p_prev, n_, y.data(), n_, fmas.data(), fmas_h.data(), n_, &zero, slpu.data());
        return t;
    }
};

TEST(ImplicitFlowDevice, TrialCallsRepeatAndTheBalanceGivesTheTemperature)
{
    setup_devices();
    Implicit dev;
    const double rho0 = 2e5 / (kAir.R() * 400.0), m0 = rho0 * 1e-3, h0 = kAir.h(400.0);
    const auto speed = [](double rho) { return 0.52 / 2 / rho / 0.000491; };  // all three ports over nc = 2
    const double enth0 = h0 + 0.5 * speed(rho0) * speed(rho0);
    // Inflow only: D = 1.05 M / dt; the zero flow at port 2 brings its 777 W, port 3 is not connected.
    const double h1 = (6e3 + 777.0 + (enth0 + 0.05 * h0) * m0 / 1e-3 + 1e4 * 1e-3 / 1e-3) / (1.05 * m0 / 1e-3);
    const double t1 = kAir.t_from(h1, true), rho1 = 2e5 / (kAir.R() * t1);
    EXPECT_NEAR(dev.call(400.0), t1, 1e-5);
    EXPECT_NEAR(dev.call(400.0), t1, 1e-5);  // a trial call leaves the old values alone
    expect_near({dev.speed, dev.zero, dev.slpu[0], dev.slpu[2]}, {speed(rho1), 0.0, 0.0, 0.0}, 1e-6);
    dev.accept = 1;
    dev.init = 0;
    EXPECT_NEAR(dev.call(400.0), t1, 1e-5);
    // Outflow at port 1 takes the new enthalpy out: D grows by 0.03 kg/s, its 6 kW do not count.
    dev.fmas[0] = -0.03;
    dev.accept = 0;
    const double m1 = rho1 * 1e-3, enth1 = h1 + 0.5 * speed(rho1) * speed(rho1);
    const double h2 = (777.0 + (enth1 + 0.05 * kAir.h(t1)) * m1 / 1e-3 + 1e4) / (1.05 * m1 / 1e-3 + 0.03);
    EXPECT_NEAR(dev.call(t1), kAir.t_from(h2, true), 1e-5);
    dev.dt = 0.0;  // no time: no flow, the weighted mean and the pressure work
    const double h3 = ((enth1 + 0.05 * kAir.h(t1)) * m1 + 10.0) / (1.05 * m1);
    EXPECT_NEAR(dev.call(t1), kAir.t_from(h3, true), 1e-5);
}

}  // namespace
}  // namespace usersub::test
