#include "common/run_stop.h"
#include "support/species_fixture.h"
#include "usermodels/model_setup.h"

#include <algorithm>
#include <utility>

namespace usersub::test {
namespace {

constexpr double kPi = 3.14159265358979;
constexpr double kPi4 = 0.7853981633974475;
constexpr double kRho = 997.05;  // liquid water of the fixture, kg/m3
constexpr double kMu300 = 1.0e-3;  // the fixture's water table: halfway between 1.4e-3 (280 K) and 0.6e-3 (320 K)
constexpr double kMu340 = 0.45e-3; // halfway between 0.6e-3 (320 K) and 0.3e-3 (360 K)

// Liquid water with the fixture's one-level viscosity table, circuit 1 mixing
// by mass fractions; two models with one plot each, plots switched on; model 1
// holds the parameter valve's diameters D, DO, DI in mm.
void load_water()
{
    load_species_fixture();
    const int32_t ncirc = 2, modes[2] = {1, 3};
    LOADCIRCSET(&ncirc, modes);
    setup_models(2, 1);
    set_reals(1, {20.0, 30.0, 10.0});
    set_time(0.0);
}

static_assert(fx::kH2OLiquid == 5 && fx::kNSpecies == 18);
const std::vector<double> kWater{0, 0, 0, 0, 1, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0};  // mass fractions

// One call's arguments by role, in the order designated initializers name them; outputs start at -7.
struct Hyd {
    int32_t id = 1, mode = 1, s = 1, n = fx::kNSpecies, circuit = 1, dir = 1;
    double h0 = 0.0, cd0 = 0.7, fnc = 1000.0, x = 1e-3, v = 0.0, xb = 0.0, vb = 0.0, x_ref = 0.5e-3, xb_ref = 0.0;
    double p1 = 2e5, p2 = 1e5, t1 = 300.0, t2 = 340.0, mdot = 0.1, pvap = 2000.0;
    std::vector<double> fm1 = kWater, fm2 = kWater;
    std::array<double, 7> g{0.02, 0.03, 0.01};
    double area = -7, dh = -7, fn = -7, cd = -7, force = -7, counter = -7, vol1 = -7, vol2 = -7;
    std::vector<double> outputs() const { return {area, dh, fn, cd, force, counter, vol1, vol2}; }
};

// The templates, and the positions (1-based) of their arguments as the header declares them; 0 where a
// template has none or reads none. A run of arguments is placed from its first: s (h0, cd0, fnc, x), xb (vb),
// n (circuit), p1 (p2, t1, t2, fm1, fm2, mdot, dir), area (dh, fn, cd, force), vol1 (vol2), geom (ngeom reals).
enum Name { FVLV, FVLVMH, VALVE, BPSS, BPCS, BPCSMH, CPSS, CPCS };
using Args = std::array<void*, 43>;
struct Template { void (*entry)(const Args&); int s, v, xb, n, x_ref, xb_ref, p1, area, counter, pvap, vol1, geom, ngeom; };

// Calls the routine f, of parameter types A, with as many of the addresses as it takes; the rest must stay empty.
template <auto f>
void entry(const Args& a)
{
    [&]<class... A>(void (*)(A...)) {
        for (std::size_t k = sizeof...(A); k < a.size(); ++k) ASSERT_EQ(a[k], nullptr) << "argument " << k + 1;
        [&]<std::size_t... k>(std::index_sequence<k...>) { f(static_cast<A>(a[k])...); }(std::index_sequence_for<A...>{});
    }(f);
}

// clang-format off
const Template kTemplates[] = {
//   routine              s  v   xb  n   xref xbref p1  area cntr pvap vol1 geom ngeom
    {entry<USER_FVLV>,    4, 9,  0,  11, 14,  0,    15, 23,  0,   28,  29,  32,  3},
    {entry<USER_FVLVMH>,  4, 9,  11, 14, 17,  18,   19, 27,  32,  33,  34,  37,  3},
    {entry<USER_VALVE>,   5, 10, 12, 15, 18,  19,   20, 28,  33,  34,  35,  0,   0},
    {entry<USER_BPSS>,    4, 0,  0,  11, 14,  0,    15, 23,  0,   0,   29,  31,  4},
    {entry<USER_BPCS>,    4, 0,  0,  11, 14,  0,    15, 23,  0,   0,   29,  31,  5},
    {entry<USER_BPCSMH>,  4, 0,  0,  14, 17,  0,    19, 27,  32,  0,   34,  36,  5},
    {entry<USER_CPSS>,    4, 0,  0,  11, 14,  0,    15, 23,  0,   0,   29,  31,  4},
    {entry<USER_CPCS>,    4, 0,  0,  11, 14,  0,    15, 23,  0,   0,   29,  31,  7},
};
// clang-format on

// A call of template t with h's values at their places and a null address everywhere else; h as it comes back.
Hyd call(Name t, Hyd h)
{
    const Template& r = kTemplates[t];
    Args a{};
    const auto put = [&a](int first, std::initializer_list<void*> run) {
        if (first != 0) std::copy(run.begin(), run.end(), a.begin() + (first - 1));
    };
    put(1, {&h.id, nullptr, &h.mode});
    put(r.s, {&h.s, &h.h0, &h.cd0, &h.fnc, &h.x});
    put(r.v, {&h.v});
    put(r.xb, {&h.xb, &h.vb});
    put(r.n, {&h.n, &h.circuit});
    put(r.x_ref, {&h.x_ref});
    put(r.xb_ref, {&h.xb_ref});
    put(r.p1, {&h.p1, &h.p2, &h.t1, &h.t2, h.fm1.data(), h.fm2.data(), &h.mdot, &h.dir});
    put(r.area, {&h.area, &h.dh, &h.fn, &h.cd, &h.force});
    put(r.counter, {&h.counter});
    put(r.pvap, {&h.pvap});
    put(r.vol1, {&h.vol1, &h.vol2});
    for (int k = 0; k < r.ngeom; ++k) put(r.geom + k, {&h.g[static_cast<std::size_t>(k)]});
    r.entry(a);
    return h;
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

TEST(HydraulicValve, FlatValveInsideAtZeroBeyondTheLargestLiftWithoutSeatOrFilmAndAsParameterOrTwoBodyValve)
{
    load_water();
    const double port = kPi4 * (0.02 * 0.02 - 0.01 * 0.01);  // largest lift 3e-4 / 0.08 = 3.75e-3
    struct Case { double x, area, dh; };
    for (const Case& c : {Case{1e-3, kPi * 1e-3 * 0.02, 2e-3}, Case{0.0, 0.0, 0.0}, Case{-1e-3, 0.0, 0.0},
                          Case{5e-3, port, 7.5e-3}}) {
        const Hyd h = call(FVLV, {.fnc = fn300(2e-3), .x = c.x});  // r = dh / 2 mm
        const double r = c.dh / 2e-3;
        expect_near({h.area, h.dh, h.fn, h.cd, h.vol1, h.vol2},
                    {c.area, c.dh, fn300(c.dh), r < 3.0 ? 0.7 * std::tanh(2.0 * r) : 0.7, port * (c.x - 0.5e-3),
                     kPi4 * (0.03 * 0.03 - 0.02 * 0.02) * (c.x - 0.5e-3)},
                    1e-12, 1e-30);
        EXPECT_EQ(h.force, -7.0);
    }
    // The discharge coefficient at r = 1 is cd0 tanh(2) (above), at exactly 3.0 cd0, just below it cd0 tanh(6-).
    const double fn = call(FVLV, {}).fn;
    ASSERT_EQ(fn / (fn / 3.0), 3.0);
    EXPECT_EQ(call(FVLV, {.fnc = fn / 3.0}).cd, 0.7);
    EXPECT_LT(call(FVLV, {.fnc = std::nextafter(fn / 3.0, fn)}).cd, 0.7);
    // Equal seat and outer diameter: no film, no force; no seat: no curtain.
    EXPECT_EQ(call(FVLV, {.mode = 2, .g = {0.02, 0.02, 0.01}}).force, 0.0);
    const Hyd seatless = call(FVLV, {.g = {0.0, 0.03, 0.0}});
    expect_near({seatless.area, seatless.dh, seatless.fn, seatless.cd}, {0.0, 0.0, 0.0, 0.0}, 0.0);
    // Diameters that enter squared (DI, and DO in the flow), or D and DO of one sign under ln(DO / D),
    // give the outputs of their magnitudes.
    struct Signed { int32_t mode; std::array<double, 7> g; };
    for (const Signed& c : {Signed{1, {0.02, -0.03, -0.01}}, Signed{2, {0.02, 0.03, -0.01}}, Signed{2, {-0.02, -0.03, 0.01}}})
        EXPECT_EQ(call(FVLV, {.mode = c.mode, .g = c.g}).outputs(), call(FVLV, {.mode = c.mode}).outputs()) << c.mode;
    // With a second body 1 mm up (reference 0.2 mm) moving at -0.02 m/s: lift 1 mm, opening at 0.01 m/s; -7 unwritten.
    // The parameter valve reads D, DO, DI of the flat valve from model 1's reals, in mm.
    struct Body { int32_t mode; double area, vol2, force; };
    for (const Body& c : {Body{1, kPi * 1e-3 * 0.02, kPi4 * 5e-4 * (1.5e-3 - 0.8e-3), -7.0},
                          Body{2, -7.0, -7.0, film_force(2e5, 1e5, kMu300, 0.01, 1e-3)}}) {
        const Hyd in{.mode = c.mode, .x = 2e-3, .v = -0.01};
        Hyd mh = call(FVLVMH, in);
        expect_near(call(VALVE, in).outputs(), mh.outputs(), 1e-14);
        mh.counter = -7.0;
        EXPECT_EQ(mh.outputs(), call(FVLV, in).outputs());
        for (Name t : {FVLVMH, VALVE}) {
            const Hyd b = call(t, {.mode = c.mode, .x = 2e-3, .v = -0.01, .xb = 1e-3, .vb = -0.02, .xb_ref = 0.2e-3});
            expect_near({b.area, b.vol2, b.force}, {c.area, c.vol2, c.force}, 1e-12);
        }
    }
}

TEST(HydraulicValve, BallAndConeGeometries)
{
    load_water();
    // Ball 12 mm on a 10 mm edge, bore 6 mm: r = 1.2, z0 = sqrt(0.44).
    const double z0 = std::sqrt(0.44), port = kPi4 * (1e-4 - 0.36e-4);
    const std::array<double, 7> ball{0.01, 0.012, 0.006, 0.02};
    const Hyd b = call(BPSS, {.x = 0.5e-3, .x_ref = 0.0, .g = ball});
    const double u = 2.0 * 0.5e-3 / 0.01 + z0, w = std::sqrt(u * u + 1.0);
    const double a_b = kPi4 * 1e-4 * (u * u + 1.0 - 1.44) / w;
    const double v_b = 0.012 * 0.012 * kPi * 0.125 * 0.01 * (std::atan(0.1 + z0) - std::atan(z0));
    expect_near({b.area, b.dh, b.vol1, b.vol2},
                {a_b, 4.0 * a_b / (kPi * (0.01 + 0.012 / w)), v_b - kPi4 * 0.36e-4 * 0.5e-3,
                 kPi4 * 4e-4 * 0.5e-3 - v_b},
                1e-12);
    // Beyond the largest lift the curtain equals the bore, contact diameter Db / t where t solves
    // t^2 - b t - r^2 = 0, b = 1 - (DI / Ds)^2; below 1e-10 m it is shut.
    const double t = (0.64 + std::sqrt(0.64 * 0.64 + 4.0 * 1.44)) / 2.0;
    const Hyd wide = call(BPSS, {.x = 0.02, .g = ball});
    expect_near({wide.area, wide.dh}, {port, 4.0 * port / (kPi * (0.01 + 0.012 / t))}, 1e-12);
    const Hyd shut = call(BPSS, {.x = 1e-11, .g = ball});
    expect_near({shut.area, shut.dh}, {0.0, 0.0}, 0.0);

    // Ball 10 mm in a 45-degree seat; flow number output is the ratio: 1.5 gives cd0 tanh(3).
    const double a45 = 0.7853981633974483, s45 = std::sin(a45), k = s45 * std::cos(a45);
    const std::array<double, 7> seat{0.008, a45, 0.01, 0.004, 0.02};
    const double d_a = 0.01 * std::cos(a45);
    const double v_c = k * 1.570796326794895 * (0.16e-6 * (d_a + 0.4e-3 * k / 1.5) - 0.25e-6 * (d_a + 0.5e-3 * k / 1.5));
    for (Name t : {BPCS, BPCSMH}) {
        const Hyd c = call(t, {.fnc = fn300(2.0 * 0.4e-3 * s45) / 1.5, .x = 0.4e-3, .g = seat});
        expect_near({c.area, c.dh, c.fn, c.cd, c.vol1, c.vol2},
                    {kPi * 0.4e-3 * (0.01 + 0.4e-3 * s45) * k, 2.0 * 0.4e-3 * s45, 1.5, 0.7 * std::tanh(3.0),
                     v_c + kPi4 * (d_a * d_a - 0.16e-4) * -0.1e-3, -v_c - kPi4 * (d_a * d_a - 4e-4) * -0.1e-3},
                    1e-9);
    }
    const Hyd c = call(BPCSMH, {.mode = 2, .x = 0.4e-3, .g = seat});
    EXPECT_NEAR(c.force, kPi4 * (2e5 * (0.5e-4 - 0.16e-4) - 1e5 * (0.5e-4 - 4e-4)), 1e-9);
    EXPECT_EQ(c.counter, 0.0);
    // Critical flow number 0: the ratio is 1e18, always cd0.
    const Hyd z = call(BPCS, {.fnc = 0.0, .g = {0.008, 0.7853981633974483, 0.01, 0.004, 0.02}});
    expect_near({z.fn, z.cd}, {1e18, 0.7}, 0.0);

    // Cone of 30 degrees on a 10 mm edge: beyond the largest lift the area is the bore ring pi/4 (Ds^2 - DI^2).
    const double a30 = 0.5235987755982988;
    const std::array<double, 7> cone{0.01, 0.02, 0.006, a30};
    const Hyd e = call(CPSS, {.h0 = 0.1e-3, .g = cone});  // lift 1.1 mm, reference lift 0.6 mm: both contact circles outside the bore
    const double k30 = std::sin(a30) * std::cos(a30), d_c = 0.01 - 2.2e-3 * k30, d_r = 0.01 - 1.2e-3 * k30;
    const double g30 = kPi / 24.0 * (std::tan(a30) + 1.0 / std::tan(a30));
    const double v_e = g30 * (d_r * d_r * d_r - d_c * d_c * d_c) - kPi4 * 0.36e-4 * 0.5e-3;
    expect_near({e.area, e.dh, e.vol1, e.vol2},
                {kPi * 1.1e-3 * 0.5 * (0.01 - 1.1e-3 * k30), 1.1e-3, v_e, kPi4 * (4e-4 - 0.36e-4) * 0.5e-3 - v_e}, 1e-10);
    EXPECT_NEAR(call(CPSS, {.x = 0.02, .g = cone}).area, port, 1e-12 * port);
    // At or beyond h_c the whole ring DI..DO carries p2.
    EXPECT_NEAR(call(CPSS, {.mode = 2, .x = 0.01, .g = cone}).force, 1e5 * kPi4 * (4e-4 - 0.36e-4), 1e-9);
}

TEST(HydraulicValve, TwoAngledFacesOpenClosingAndFlat)
{
    load_water();
    // DO 20, D 10, d2 8 mm, DI 4 mm, beta = alpha = 45 degrees, ramp 1 mm: no offset e
    const double a = 0.7853981633974483, sa = std::sin(a), ca = std::cos(a), x = 1e-3, y = x * sa;
    Hyd h = call(CPCS, {.g = {0.02, 0.01, 0.008, 0.004, a, a, 1e-3}});
    const double s1 = 3.75 - std::sqrt(3.75 * 3.75 - 0.5);   // q1 = (2 d2 / x - 1) / 4 at 45 degrees
    const double s2 = 5.25 - std::sqrt(5.25 * 5.25 - 0.5);   // q2 = (2 D / x + 1) / 4
    const double a1 = kPi * y * (0.008 - y * (ca + sa * s1)) * std::sqrt(s1 * s1 + 1.0);
    const double a2 = kPi * y * (0.01 + y * (ca - sa * s2)) * std::sqrt(s2 * s2 + 1.0);
    expect_near({h.area, h.dh, h.fn, h.vol1, h.vol2},
                {std::min(a1, a2), 2.0 * y, fn300(2.0 * y), kPi4 * (1e-4 - 0.16e-4) * 0.5e-3, kPi4 * (4e-4 - 1e-4) * 0.5e-3},
                1e-10);
    h.mode = 2;
    EXPECT_NEAR(call(CPCS, h).force, 1.5e5 * kPi4 * (4e-4 - 1e-4) * (1.0 - std::exp(-3.0)) + 2e5 * kPi4 * (1e-4 - 0.16e-4), 1e-9);
    h.g[6] = 0.0;  // no ramp: the full mean pressure at once
    EXPECT_NEAR(call(CPCS, h).force, 1.5e5 * kPi4 * (4e-4 - 1e-4) + 2e5 * kPi4 * (1e-4 - 0.16e-4), 1e-9);
    // With alpha < beta the first face closes (y = x sin(alpha) + e = 0) at a positive lift.
    Hyd c{.g = {0.02, 0.01, 0.008, 0.004, 0.6, 0.3, 1e-3}};
    const double x0 = -(0.01 - 0.008) / 2.0 * std::cos(0.3) * (std::tan(0.3) - std::tan(0.6)) / (std::tan(0.6) + 1e-18) / std::sin(0.3);
    c.x = std::nextafter(std::nextafter(x0, 0.0), 0.0);
    for (int k = 0; k < 5; ++k, c.x = std::nextafter(c.x, 1.0)) {
        const double area = call(CPCS, c).area;
        EXPECT_TRUE(std::isfinite(area) && area >= 0.0) << c.x;
    }
    // A flat first face written as 1.5708 acts as one at pi/2 exactly.
    std::array<double, 7> g{0.02, 0.01, 0.008, 0.004, 0.7853981633974483, 1.5707963267948966, 1e-3};
    const Hyd f90 = call(CPCS, {.g = g});
    g[5] = 1.5708;
    const Hyd f = call(CPCS, {.g = g});
    expect_near({f.area, f.dh}, {f90.area, f90.dh}, 1e-6);
}

TEST(HydraulicValve, ModeZeroReadsNothingWritesNothingCallsNothing)
{
    // No model table, no species set, no plots: any fetch or property call would stop the run with its
    // message; with every output untouched the run is stopped here, silently.
    expect_child_stop([] {
        Hyd h{.mode = 0};
        for (Name t : {FVLV, FVLVMH, VALVE, BPSS, BPCS, BPCSMH, CPSS, CPCS}) h = call(t, h);
        if (h.outputs() == std::vector<double>(8, -7.0)) stop_run();
    }, "");
}

TEST(HydraulicValve, PlottedSqueezedFilmOnTheUpstreamSideOpeningClosingAndPressedIntoTheSeat)
{
    load_water();
    // Every film call plots the vapour pressure against a count of the template's film calls, shared by its models.
    for (int32_t id : {1, 2, 1, 2, 1})
        call(FVLV, {.id = id, .mode = 2, .pvap = 1000.0 * id});
    call(FVLVMH, {.mode = 2});  // a counter of its own
    const Plot a = drain_plot(1, 1), b = drain_plot(2, 1);
    EXPECT_EQ(a.x, (std::vector<double>{1.0, 3.0, 5.0, 1.0}));
    EXPECT_EQ(b.points(), (std::vector<double>{2.0, 4.0, 2000.0, 2000.0}));
    EXPECT_EQ(a.labels(), labels("FVLV_USER", "Vapor Pressure", "timestep", "Pressure"));
    // The upstream side gives the viscosity (300 K on side 1, 340 K on side 2): side 2 for a flow against the direction
    // factor or, below 1e-17 kg/s, when p2 is the higher pressure. An opening gap of 0 acts as 1e-9; a closing film
    // is ramped in above 1.5e-7 and has no viscous term below it or pressed into the seat.
    struct Case { double mdot; int32_t dir; double p1, p2, x, v, force; };
    const double x = 1e-5, v = 1e-3;
    for (const Case& c : {Case{0.0, 1, 1e5, 1e5, x, v, film_force(1e5, 1e5, kMu300, v, x)},
                          Case{5e-18, 1, 1e5, 2e5, x, v, film_force(1e5, 2e5, kMu340, v, x)},
                          Case{1e-17, -1, 2e5, 1e5, x, v, film_force(2e5, 1e5, kMu340, v, x)},
                          Case{1.0, 0, 1e5, 2e5, x, v, film_force(1e5, 2e5, kMu300, v, x)},
                          Case{-1.0, 1, 2e5, 1e5, x, v, film_force(2e5, 1e5, kMu340, v, x)},
                          Case{-1.0, -1, 1e5, 2e5, x, v, film_force(1e5, 2e5, kMu300, v, x)},
                          Case{0.1, 1, 2e5, 1e5, 0.0, 1e-17, film_force(2e5, 1e5, kMu300, 1e-17, 1e-9)},
                          Case{0.1, 1, 2e5, 1e5, 3e-7, -1e-3, film_force(2e5, 1e5, kMu300, -1e-3, 3e-7, 1.0 - std::exp(-0.1))},
                          Case{0.1, 1, 2e5, 1e5, 1e-7, -1e-3, film_force(2e5, 1e5, 0.0, 0.0, 1.0)},
                          Case{0.1, 1, 2e5, 1e5, -3e-3, -1e-3, film_force(2e5, 1e5, 0.0, 0.0, 1.0)}}) {
        for (Name t : {FVLV, FVLVMH, VALVE}) {
            const Hyd h = call(t, {.mode = 2, .s = -1, .dir = c.dir, .x = -c.x, .v = -c.v, .p1 = c.p1, .p2 = c.p2,
                                   .mdot = c.mdot, .pvap = 0.0});
            EXPECT_NEAR(h.force, -c.force, 1e-10 * c.force) << c.mdot << " " << c.x;
            EXPECT_EQ(h.counter, t == FVLV ? -7.0 : -h.force);
        }
    }
    // The floor: a film at 1 bar on both rims under a vapour pressure of 2 bar.
    EXPECT_NEAR(call(FVLV, {.mode = 2, .p1 = 1e5, .p2 = 1e5, .pvap = 2e5}).force, kPi * 1.25e-4 * 2e5, 1e-9);
}

TEST(HydraulicValve, InputTheFormulasCannotTakeStopsTheRun)
{
    const auto bad = [](Name t, std::array<double, 7> g, std::vector<double> reals, int32_t mode = 1) {
        return [=] {
            set_reals(1, reals);
            call(t, {.mode = mode, .g = g});
        };
    };
    expect_fatal({
        {bad(VALVE, {}, {20.0, 30.0}), " Wrong number of inputs in user model for hydraulic valve. \n"},
        {bad(BPSS, {0.01, 0.008, 0.004, 0.02}, {}), " USER_BPSS: ball diameter Db is below the seat diameter: 0.008\n"},
        {bad(CPSS, {0.01, 0.02, 0.004, 0.0}, {}), " USER_CPSS: cone angle alpha is not between 0 and pi/2: 0.0\n"},
        {bad(CPCS, {0.02, 0.01, 0.008, 0.004, 0.6, 3.2, 1e-3}, {}), " USER_CPCS: angle alpha is not between 0 and pi: 3.2\n"},
        {bad(FVLV, {0.02, -0.03, 0.01}, {}, 2), " USER_FVLV: outer diameter DO is negative: -0.03\n"},  // ln(DO / D)
        {bad(BPSS, {0.0, 0.012, 0.004, 0.02}, {}), " USER_BPSS: seat diameter Ds is zero: 0.0\n"},       // Db / Ds
    });
}

}  // namespace
}  // namespace usersub::test
