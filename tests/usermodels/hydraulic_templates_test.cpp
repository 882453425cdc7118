#include "support/species_fixture.h"
#include "usermodels/model_setup.h"

#include <array>
#include <cmath>
#include <cstdlib>
#include <random>
#include <vector>

namespace usersub::test {
namespace {

constexpr double kPi = 3.14159265358979;
constexpr double kPi4 = 0.7853981633974475;
constexpr double kRho = 997.05;  // liquid water of the fixture, kg/m3
constexpr double kMu300 = 1.0e-3;  // water table below: halfway between 1.4e-3 (280 K) and 0.6e-3 (320 K)
constexpr double kMu340 = 0.45e-3; // halfway between 0.6e-3 (320 K) and 0.3e-3 (360 K)

// Liquid water with a one-level viscosity table, circuit 1 mixing by mass
// fractions; two models with one plot each, plots switched on.
void load_water()
{
    load_species_fixture();
    constexpr int C = fx::kNSpecies, R = 20, w = fx::kH2OLiquid - 1;
    std::vector<int32_t> count(C, 0), levels(C, 0), rows(2 * R * C, 0), unread(R * C, 0);
    std::vector<double> t(R * C, 0.0), p(R * C, 0.0), mu(R * C, 0.0), k(R * C, 0.0);
    const double t_K[3] = {280.0, 320.0, 360.0}, mu_Pas[3] = {1.4e-3, 0.6e-3, 0.3e-3};
    for (int r = 0; r < 3; ++r) {
        t[w * R + r] = t_K[r];
        p[w * R + r] = 1e5;
        mu[w * R + r] = mu_Pas[r];
        k[w * R + r] = 0.6;
    }
    count[w] = 3;
    levels[w] = 1;
    rows[2 * R * w] = 1;
    rows[2 * R * w + 1] = 3;
    const int32_t zero = 0, ncirc = 2, modes[2] = {1, 3};
    LOADPROP9(count.data(), t.data(), p.data(), mu.data(), k.data(), rows.data(), levels.data(), unread.data(), &zero);
    LOADCIRCSET(&ncirc, modes);
    setup_models(2, 1);
    set_time(0.0);
}

// One call's arguments by role; outputs start at -7.
struct Hyd {
    int32_t id = 1, mode = 1, s = 1, n = fx::kNSpecies, circuit = 1, dir = 1;
    double h0 = 0.0, cd0 = 0.7, fnc = 1000.0, x = 1e-3, v = 0.0, xb = 0.0, vb = 0.0, x_ref = 0.5e-3, xb_ref = 0.0;
    double p1 = 2e5, p2 = 1e5, t1 = 300.0, t2 = 340.0, mdot = 0.1, pvap = 2000.0;
    std::vector<double> fm1 = water(), fm2 = water();
    std::array<double, 7> g{0.02, 0.03, 0.01};
    double area = -7, dh = -7, fn = -7, cd = -7, force = -7, counter = -7, vol1 = -7, vol2 = -7;
    static std::vector<double> water()
    {
        std::vector<double> y(fx::kNSpecies, 0.0);
        y[fx::kH2OLiquid - 1] = 1.0;
        return y;
    }
    std::vector<double> outputs() const { return {area, dh, fn, cd, force, counter, vol1, vol2}; }
};

// The entry points, each argument at its place; n_ where the template reads nothing.
void fvlv(Hyd& h)
{
    USER_FVLV(&h.id, n_, &h.mode, &h.s, &h.h0, &h.cd0, &h.fnc, &h.x, &h.v, n_, &h.n, &h.circuit, n_, &h.x_ref,
              &h.p1, &h.p2, &h.t1, &h.t2, h.fm1.data(), h.fm2.data(), &h.mdot, &h.dir, &h.area, &h.dh, &h.fn,
              &h.cd, &h.force, &h.pvap, &h.vol1, &h.vol2, n_, &h.g[0], &h.g[1], &h.g[2]);
}
void fvlvmh(Hyd& h)
{
    USER_FVLVMH(&h.id, n_, &h.mode, &h.s, &h.h0, &h.cd0, &h.fnc, &h.x, &h.v, n_, &h.xb, &h.vb, n_, &h.n,
                &h.circuit, n_, &h.x_ref, &h.xb_ref, &h.p1, &h.p2, &h.t1, &h.t2, h.fm1.data(), h.fm2.data(),
                &h.mdot, &h.dir, &h.area, &h.dh, &h.fn, &h.cd, &h.force, &h.counter, &h.pvap, &h.vol1, &h.vol2,
                n_, &h.g[0], &h.g[1], &h.g[2], n_);
}
void valve(Hyd& h)
{
    USER_VALVE(&h.id, n_, &h.mode, n_, &h.s, &h.h0, &h.cd0, &h.fnc, &h.x, &h.v, n_, &h.xb, &h.vb, n_, &h.n,
               &h.circuit, n_, &h.x_ref, &h.xb_ref, &h.p1, &h.p2, &h.t1, &h.t2, h.fm1.data(), h.fm2.data(),
               &h.mdot, &h.dir, &h.area, &h.dh, &h.fn, &h.cd, &h.force, &h.counter, &h.pvap, &h.vol1, &h.vol2);
}
void bpss(Hyd& h)
{
    USER_BPSS(&h.id, n_, &h.mode, &h.s, &h.h0, &h.cd0, &h.fnc, &h.x, n_, n_, &h.n, &h.circuit, n_, &h.x_ref,
              &h.p1, &h.p2, &h.t1, &h.t2, h.fm1.data(), h.fm2.data(), &h.mdot, &h.dir, &h.area, &h.dh, &h.fn,
              &h.cd, &h.force, n_, &h.vol1, &h.vol2, &h.g[0], &h.g[1], &h.g[2], &h.g[3], n_, n_);
}
void bpcs(Hyd& h)
{
    USER_BPCS(&h.id, n_, &h.mode, &h.s, &h.h0, &h.cd0, &h.fnc, &h.x, n_, n_, &h.n, &h.circuit, n_, &h.x_ref,
              &h.p1, &h.p2, &h.t1, &h.t2, h.fm1.data(), h.fm2.data(), &h.mdot, &h.dir, &h.area, &h.dh, &h.fn,
              &h.cd, &h.force, n_, &h.vol1, &h.vol2, &h.g[0], &h.g[1], &h.g[2], &h.g[3], &h.g[4], n_, n_);
}
void bpcsmh(Hyd& h)
{
    USER_BPCSMH(&h.id, n_, &h.mode, &h.s, &h.h0, &h.cd0, &h.fnc, &h.x, n_, n_, n_, n_, n_, &h.n, &h.circuit, n_,
                &h.x_ref, n_, &h.p1, &h.p2, &h.t1, &h.t2, h.fm1.data(), h.fm2.data(), &h.mdot, &h.dir, &h.area,
                &h.dh, &h.fn, &h.cd, &h.force, &h.counter, n_, &h.vol1, &h.vol2, &h.g[0], &h.g[1], &h.g[2],
                &h.g[3], &h.g[4], n_, n_, n_);
}
void cpss(Hyd& h)
{
    USER_CPSS(&h.id, n_, &h.mode, &h.s, &h.h0, &h.cd0, &h.fnc, &h.x, n_, n_, &h.n, &h.circuit, n_, &h.x_ref,
              &h.p1, &h.p2, &h.t1, &h.t2, h.fm1.data(), h.fm2.data(), &h.mdot, &h.dir, &h.area, &h.dh, &h.fn,
              &h.cd, &h.force, n_, &h.vol1, &h.vol2, &h.g[0], &h.g[1], &h.g[2], &h.g[3], n_, n_);
}
void cpcs(Hyd& h)
{
    USER_CPCS(&h.id, n_, &h.mode, &h.s, &h.h0, &h.cd0, &h.fnc, &h.x, n_, n_, &h.n, &h.circuit, n_, &h.x_ref,
              &h.p1, &h.p2, &h.t1, &h.t2, h.fm1.data(), h.fm2.data(), &h.mdot, &h.dir, &h.area, &h.dh, &h.fn,
              &h.cd, &h.force, n_, &h.vol1, &h.vol2, &h.g[0], &h.g[1], &h.g[2], &h.g[3], &h.g[4], &h.g[5],
              &h.g[6], n_, n_);
}

// Film between the radii 10 and 15 mm: w = 1 / (2 ln 1.5) - 0.8 weighs p1 in the
// mean pressure; viscous term 3 pi ring^2 (w - 0.5) mu rate / gap^3, ramped.
double film_force(double p1, double p2, double mu, double rate, double gap, double ramp = 1.0)
{
    const double ring = 1.25e-4, w = 1.0 / (2.0 * std::log(1.5)) - 0.8;
    return kPi * ring * (p1 * w + p2 * (1.0 - w)) + ramp * ring * ring * 3.0 * kPi * (w - 0.5) * mu * rate / (gap * gap * gap);
}

// Flow number of water at 300 K (side 1) between 2 and 1 bar.
double fn300(double dh_m) { return dh_m * std::sqrt(2.0 * 1e5 / kRho) / (kMu300 / kRho); }

TEST(HydraulicValve, FlatValveFlowInsideAtZeroAndBeyondTheLargestLift)
{
    load_water();
    const double port = kPi4 * (0.02 * 0.02 - 0.01 * 0.01);  // largest lift 3e-4 / 0.08 = 3.75e-3
    struct Case { double x, area, dh; };
    for (const Case& c : {Case{1e-3, kPi * 1e-3 * 0.02, 2e-3}, Case{0.0, 0.0, 0.0}, Case{-1e-3, 0.0, 0.0},
                          Case{5e-3, port, 7.5e-3}}) {
        Hyd h;
        h.x = c.x;
        h.fnc = fn300(2e-3);  // r = dh / 2 mm
        fvlv(h);
        const double r = c.dh / 2e-3;
        expect_near({h.area, h.dh, h.fn, h.cd, h.vol1, h.vol2},
                    {c.area, c.dh, fn300(c.dh), r < 3.0 ? 0.7 * std::tanh(2.0 * r) : 0.7, port * (c.x - 0.5e-3),
                     kPi4 * (0.03 * 0.03 - 0.02 * 0.02) * (c.x - 0.5e-3)},
                    1e-12, 1e-30);
        EXPECT_EQ(h.force, -7.0);
    }
    // The discharge coefficient at r = 1 is cd0 tanh(2) (above), at exactly 3.0 cd0, just below it cd0 tanh(6-).
    Hyd h;
    fvlv(h);
    h.fnc = h.fn / 3.0;
    ASSERT_EQ(h.fn / h.fnc, 3.0);
    fvlv(h);
    EXPECT_EQ(h.cd, 0.7);
    h.fnc = std::nextafter(h.fnc, 2.0 * h.fnc);
    fvlv(h);
    EXPECT_LT(h.cd, 0.7);
}

TEST(HydraulicValve, BallAndConeGeometries)
{
    load_water();
    // Ball 12 mm on a 10 mm edge, bore 6 mm: r = 1.2, z0 = sqrt(0.44).
    const double z0 = std::sqrt(0.44), port = kPi4 * (1e-4 - 0.36e-4);
    Hyd b;
    b.g = {0.01, 0.012, 0.006, 0.02};
    b.x = 0.5e-3;
    b.x_ref = 0.0;
    bpss(b);
    const double u = 2.0 * 0.5e-3 / 0.01 + z0, w = std::sqrt(u * u + 1.0);
    const double a_b = kPi4 * 1e-4 * (u * u + 1.0 - 1.44) / w;
    const double v_b = 0.012 * 0.012 * kPi * 0.125 * 0.01 * (std::atan(0.1 + z0) - std::atan(z0));
    expect_near({b.area, b.dh, b.vol1, b.vol2},
                {a_b, 4.0 * a_b / (kPi * (0.01 + 0.012 / w)), v_b - kPi4 * 0.36e-4 * 0.5e-3,
                 kPi4 * 4e-4 * 0.5e-3 - v_b},
                1e-12);
    b.x = 0.02;  // beyond the largest lift the curtain equals the bore (t solves t^2 - b t - r^2 = 0)
    bpss(b);
    EXPECT_NEAR(b.area, port, 1e-12 * port);
    b.x = 1e-11;
    bpss(b);
    EXPECT_EQ(b.area, 0.0);
    EXPECT_EQ(b.dh, 0.0);

    // Ball 10 mm in a 45-degree seat; flow number output is the ratio: 1.5 gives cd0 tanh(3).
    Hyd c;
    const double a45 = 0.7853981633974483, s45 = std::sin(a45), k = s45 * std::cos(a45);
    c.g = {0.008, a45, 0.01, 0.004, 0.02};
    c.x = 0.4e-3;
    c.fnc = fn300(2.0 * 0.4e-3 * s45) / 1.5;
    for (auto* call : {&bpcs, &bpcsmh}) {
        call(c);
        const double d_a = 0.01 * std::cos(a45), v_c = k * 1.570796326794895 * (0.16e-6 * (d_a + 0.4e-3 * k / 1.5) -
                                                                                  0.25e-6 * (d_a + 0.5e-3 * k / 1.5));
        expect_near({c.area, c.dh, c.fn, c.cd, c.vol1, c.vol2},
                    {kPi * 0.4e-3 * (0.01 + 0.4e-3 * s45) * k, 2.0 * 0.4e-3 * s45, 1.5, 0.7 * std::tanh(3.0),
                     v_c + kPi4 * (d_a * d_a - 0.16e-4) * -0.1e-3, -v_c - kPi4 * (d_a * d_a - 4e-4) * -0.1e-3},
                    1e-9);
    }
    c.mode = 2;
    bpcsmh(c);
    EXPECT_NEAR(c.force, kPi4 * (2e5 * (0.5e-4 - 0.16e-4) - 1e5 * (0.5e-4 - 4e-4)), 1e-9);
    EXPECT_EQ(c.counter, 0.0);

    // Cone of 30 degrees on a 10 mm edge: beyond the largest lift the area is the bore ring pi/4 (Ds^2 - DI^2).
    Hyd e;
    const double a30 = 0.5235987755982988;
    e.g = {0.01, 0.02, 0.006, a30};
    e.h0 = 0.1e-3;  // lift 1.1 mm, reference lift 0.6 mm: both contact circles outside the bore
    cpss(e);
    const double k30 = std::sin(a30) * std::cos(a30), d_c = 0.01 - 2.2e-3 * k30, d_r = 0.01 - 1.2e-3 * k30;
    const double g30 = kPi / 24.0 * (std::tan(a30) + 1.0 / std::tan(a30));
    const double v_e = g30 * (d_r * d_r * d_r - d_c * d_c * d_c) - kPi4 * 0.36e-4 * 0.5e-3;
    expect_near({e.area, e.dh, e.vol1, e.vol2},
                {kPi * 1.1e-3 * 0.5 * (0.01 - 1.1e-3 * k30), 1.1e-3, v_e, kPi4 * (4e-4 - 0.36e-4) * 0.5e-3 - v_e}, 1e-10);
    e.h0 = 0.0;
    e.x = 0.02;
    cpss(e);
    EXPECT_NEAR(e.area, port, 1e-12 * port);
    e.mode = 2;  // at or beyond h_c the whole ring DI..DO carries p2
    e.x = 0.01;
    cpss(e);
    EXPECT_NEAR(e.force, 1e5 * kPi4 * (4e-4 - 0.36e-4), 1e-9);
}

TEST(HydraulicValve, TwoAngledFaces)
{
    load_water();
    Hyd h;  // DO 20, D 10, d2 8 mm, DI 4 mm, beta = alpha = 45 degrees, ramp 1 mm: no offset e
    const double a = 0.7853981633974483, sa = std::sin(a), ca = std::cos(a), x = 1e-3, y = x * sa;
    h.g = {0.02, 0.01, 0.008, 0.004, a, a, 1e-3};
    cpcs(h);
    const double s1 = 3.75 - std::sqrt(3.75 * 3.75 - 0.5);   // q1 = (2 d2 / x - 1) / 4 at 45 degrees
    const double s2 = 5.25 - std::sqrt(5.25 * 5.25 - 0.5);   // q2 = (2 D / x + 1) / 4
    const double a1 = kPi * y * (0.008 - y * (ca + sa * s1)) * std::sqrt(s1 * s1 + 1.0);
    const double a2 = kPi * y * (0.01 + y * (ca - sa * s2)) * std::sqrt(s2 * s2 + 1.0);
    expect_near({h.area, h.dh, h.fn, h.vol1, h.vol2},
                {std::min(a1, a2), 2.0 * y, fn300(2.0 * y), kPi4 * (1e-4 - 0.16e-4) * 0.5e-3, kPi4 * (4e-4 - 1e-4) * 0.5e-3},
                1e-10);
    h.mode = 2;
    cpcs(h);
    EXPECT_NEAR(h.force, 1.5e5 * kPi4 * (4e-4 - 1e-4) * (1.0 - std::exp(-3.0)) + 2e5 * kPi4 * (1e-4 - 0.16e-4), 1e-9);
    h.g[6] = 0.0;  // no ramp: the full mean pressure at once
    cpcs(h);
    EXPECT_NEAR(h.force, 1.5e5 * kPi4 * (4e-4 - 1e-4) + 2e5 * kPi4 * (1e-4 - 0.16e-4), 1e-9);
}

TEST(HydraulicValve, UpstreamSideAndItsTies)
{
    load_water();
    // The opening film's viscous term shows the viscosity: 300 K on side 1, 340 K on side 2.
    struct Case { double mdot; int32_t dir; double p1, p2; double mu; };
    for (const Case& c : {Case{0.0, 1, 1e5, 1e5, kMu300}, Case{5e-18, 1, 1e5, 2e5, kMu340},
                          Case{1e-17, -1, 2e5, 1e5, kMu340}, Case{1.0, 0, 1e5, 2e5, kMu300},
                          Case{-1.0, 1, 2e5, 1e5, kMu340}, Case{-1.0, -1, 1e5, 2e5, kMu300}}) {
        Hyd h;
        h.mode = 2;
        h.mdot = c.mdot;
        h.dir = c.dir;
        h.p1 = c.p1;
        h.p2 = c.p2;
        h.pvap = 0.0;
        h.x = 1e-5;
        h.v = 1e-3;
        fvlv(h);
        EXPECT_NEAR(h.force, film_force(c.p1, c.p2, c.mu, 1e-3, 1e-5), 1e-9 * h.force) << c.mdot;
    }
}

TEST(HydraulicValve, ModeZeroReadsNothingWritesNothingCallsNothing)
{
    // No model table, no species set, no plots: any fetch or property call would stop the run.
    const ChildResult r = run_in_child([] {
        Hyd h;
        h.mode = 0;
        for (auto* call : {&fvlv, &fvlvmh, &valve, &bpss, &bpcs, &bpcsmh, &cpss, &cpcs}) call(h);
        for (double o : h.outputs())
            if (o != -7.0) std::exit(3);
    });
    EXPECT_EQ(r.exit_status, 0);
    EXPECT_EQ(r.output, "");
}

TEST(HydraulicValve, SqueezedFilmOpeningClosingAndPressedIntoTheSeat)
{
    load_water();
    struct Case { double x, v, force; };
    for (const Case& c : {Case{0.0, 1e-17, film_force(2e5, 1e5, kMu300, 1e-17, 1e-9)},  // opening at gap 0: 1e-9
                          Case{3e-7, -1e-3, film_force(2e5, 1e5, kMu300, -1e-3, 3e-7, 1.0 - std::exp(-0.1))},
                          Case{1e-7, -1e-3, film_force(2e5, 1e5, 0.0, 0.0, 1.0)},       // below 1.5e-7: no viscous term
                          Case{-3e-3, -1e-3, film_force(2e5, 1e5, 0.0, 0.0, 1.0)}}) {   // pressed into the seat
        for (auto* call : {&fvlv, &fvlvmh, &valve}) {
            Hyd h;
            load_model(1, {}, {20.0, 30.0, 10.0});
            h.mode = 2;
            h.s = -1;
            h.x = -c.x;
            h.v = -c.v;
            call(h);
            EXPECT_NEAR(h.force, -c.force, 1e-10 * c.force) << c.x;
            if (call != &fvlv) {
                EXPECT_EQ(h.counter, -h.force);
            }
        }
    }
    Hyd h;  // the floor: a film at 1 bar on both rims under a vapour pressure of 2 bar
    h.mode = 2;
    h.p1 = h.p2 = 1e5;
    h.pvap = 2e5;
    fvlv(h);
    EXPECT_NEAR(h.force, kPi * 1.25e-4 * 2e5, 1e-9);
}

TEST(HydraulicValve, RandomFilmGapsGiveFiniteForces)
{
    load_water();
    load_model(1, {}, {20.0, 30.0, 10.0});
    std::mt19937 rng(20261206);
    std::uniform_real_distribution<double> gap(-1e-2, 1e-2), rate(1e-6, 10.0);
    for (int i = 0; i < 300; ++i) {
        Hyd h;
        h.mode = 2;
        h.x = gap(rng);
        h.v = (i % 2 == 0 ? -1.0 : 1.0) * rate(rng);
        for (auto* call : {&fvlv, &fvlvmh, &valve}) {
            call(h);
            ASSERT_TRUE(std::isfinite(h.force)) << h.x << " " << h.v;
        }
    }
}

TEST(HydraulicValve, PlotCounterSharedByModelsOfOneTemplate)
{
    load_water();
    for (int32_t id : {1, 2, 1, 2, 1}) {
        Hyd h;
        h.mode = 2;
        h.id = id;
        h.pvap = 1000.0 * id;
        fvlv(h);
    }
    Hyd h;
    h.mode = 2;
    fvlvmh(h);  // a counter of its own
    const Plot a = drain_plot(1, 1), b = drain_plot(2, 1);
    EXPECT_EQ(a.x, (std::vector<double>{1.0, 3.0, 5.0, 1.0}));
    EXPECT_EQ(b.points(), (std::vector<double>{2.0, 4.0, 2000.0, 2000.0}));
    EXPECT_EQ(a.labels(), labels("FVLV_USER", "Vapor Pressure", "timestep", "Pressure"));
}

TEST(HydraulicValve, ParameterValveAndSecondBodyAgreeWithTheFlatValve)
{
    load_water();
    load_model(1, {}, {20.0, 30.0, 10.0});
    for (int32_t mode : {1, 2}) {
        Hyd mh, v, f;
        for (Hyd* h : {&mh, &v, &f}) {
            h->mode = mode;
            h->x = 2e-3;
            h->v = -0.01;
        }
        fvlvmh(mh);
        valve(v);
        fvlv(f);
        expect_near(v.outputs(), mh.outputs(), 1e-14);
        mh.counter = -7.0;
        EXPECT_EQ(mh.outputs(), f.outputs());
        mh.xb = mh.x;  // moving with the valve: lift h0 = 0, gap rate 0
        mh.vb = mh.v;
        fvlvmh(mh);
        if (mode == 1) {
            EXPECT_EQ(mh.area, 0.0);
        }
    }
    expect_child_stop(
        [] {
            load_model(1, {}, {20.0, 30.0});
            Hyd h;
            valve(h);
        },
        " Wrong number of inputs in user model for hydraulic valve. \n");
}

TEST(HydraulicValve, DegenerateGeometry)
{
    load_water();
    Hyd h;  // equal seat and outer diameter: no film, no force
    h.mode = 2;
    h.g = {0.02, 0.02, 0.01};
    fvlv(h);
    EXPECT_EQ(h.force, 0.0);
    h.mode = 1;  // no seat: no curtain
    h.g = {0.0, 0.03, 0.0};
    fvlv(h);
    expect_near({h.area, h.dh, h.fn, h.cd}, {0.0, 0.0, 0.0, 0.0}, 0.0);
    Hyd z;  // critical flow number 0: the ratio is 1e18, always cd0
    z.fnc = 0.0;
    z.g = {0.008, 0.7853981633974483, 0.01, 0.004, 0.02};
    bpcs(z);
    expect_near({z.fn, z.cd}, {1e18, 0.7}, 0.0);
    Hyd c;  // alpha < beta: the first face closes (y = x sin(alpha) + e = 0) at a positive lift
    c.g = {0.02, 0.01, 0.008, 0.004, 0.6, 0.3, 1e-3};
    const double x0 = -(0.01 - 0.008) / 2.0 * std::cos(0.3) * (std::tan(0.3) - std::tan(0.6)) / (std::tan(0.6) + 1e-18) / std::sin(0.3);
    c.x = std::nextafter(std::nextafter(x0, 0.0), 0.0);
    for (int k = 0; k < 5; ++k, c.x = std::nextafter(c.x, 1.0)) {
        cpcs(c);
        EXPECT_TRUE(std::isfinite(c.area) && c.area >= 0.0) << c.x;
    }
    Hyd f, f90;  // a flat first face written as 1.5708 acts as one at pi/2 exactly
    f.g = f90.g = {0.02, 0.01, 0.008, 0.004, 0.7853981633974483, 1.5707963267948966, 1e-3};
    f.g[5] = 1.5708;
    cpcs(f);
    cpcs(f90);
    expect_near({f.area, f.dh}, {f90.area, f90.dh}, 1e-6);
    struct Bad { void (*call)(Hyd&); std::array<double, 7> g; const char* output; };
    for (const Bad& b : {Bad{&bpss, {0.01, 0.008, 0.004, 0.02}, " USER_BPSS: ball diameter Db is below the seat diameter: 0.008\n"},
                         Bad{&cpss, {0.01, 0.02, 0.004, 0.0}, " USER_CPSS: cone angle alpha is not between 0 and pi/2: 0.0\n"},
                         Bad{&cpcs, {0.02, 0.01, 0.008, 0.004, 0.6, 3.2, 1e-3}, " USER_CPCS: angle alpha is not between 0 and pi: 3.2\n"},
                         Bad{&fvlv, {0.02, -0.03, 0.01}, " USER_FVLV: outer diameter DO is negative: -0.03\n"}}) {
        expect_child_stop(
            [&] {
                Hyd h;
                h.g = b.g;
                b.call(h);
            },
            b.output);
    }
}

}  // namespace
}  // namespace usersub::test
