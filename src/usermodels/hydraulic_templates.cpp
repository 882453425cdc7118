#include "usermodels/hydraulic_templates.h"

#include "common/array.h"
#include "common/output.h"
#include "common/run_stop.h"
#include "exchange/user_models.h"
#include "exchange/user_plots.h"
#include "properties/species/species_table.h"
#include "properties/state/fluid_state.h"
#include "properties/transport/transport.h"
#include "usermodels/squeeze_film.h"
#include "usermodels/usermodel_common.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <limits>
#include <string>
#include <vector>

namespace usersub::usermodels {
namespace {

constexpr double kGuard = 1e18;  // stands in for a quotient by exactly zero

// ---- where each template finds its arguments --------------------------------

// Argument positions (1-based) of the roles a template reads; 0 where the
// template has no such argument or does not read it. The geometry is ngeom
// consecutive reals from position geom (0: from the parameter record).
struct Layout {
    const char* name;
    int nargs;
    int id, mode, s, h0, cd0, fn_crit, x, v, xb, vb, n, circuit, x_ref, xb_ref;
    int p1, p2, t1, t2, fm1, fm2, mdot, dir;
    int area, dh, fn, cd, force, counter, p_vap, vol1, vol2;
    int geom, ngeom;
};

// clang-format off
constexpr std::array<Layout, 8> kLayouts{{
//   name           args id mode s  h0 cd0 fnc x  v   xb  vb  n   circ xref xbref p1  p2  T1  T2  fm1 fm2 mdot dir area dh  fn  cd  F   cntr pvap vol1 vol2 geom ngeom
    {"USER_FVLV",   34, 1, 3,   4, 5, 6,  7,  8, 9,  0,  0,  11, 12,  14,  0,    15, 16, 17, 18, 19, 20, 21,  22, 23,  24, 25, 26, 27, 0,   28,  29,  30,  32,  3},
    {"USER_FVLVMH", 40, 1, 3,   4, 5, 6,  7,  8, 9,  11, 12, 14, 15,  17,  18,   19, 20, 21, 22, 23, 24, 25,  26, 27,  28, 29, 30, 31, 32,  33,  34,  35,  37,  3},
    {"USER_VALVE",  36, 1, 3,   5, 6, 7,  8,  9, 10, 12, 13, 15, 16,  18,  19,   20, 21, 22, 23, 24, 25, 26,  27, 28,  29, 30, 31, 32, 33,  34,  35,  36,  0,   3},
    {"USER_BPSS",   36, 1, 3,   4, 5, 6,  7,  8, 0,  0,  0,  11, 12,  14,  0,    15, 16, 17, 18, 19, 20, 21,  22, 23,  24, 25, 26, 27, 0,   0,   29,  30,  31,  4},
    {"USER_BPCS",   37, 1, 3,   4, 5, 6,  7,  8, 0,  0,  0,  11, 12,  14,  0,    15, 16, 17, 18, 19, 20, 21,  22, 23,  24, 25, 26, 27, 0,   0,   29,  30,  31,  5},
    {"USER_BPCSMH", 43, 1, 3,   4, 5, 6,  7,  8, 0,  0,  0,  14, 15,  17,  0,    19, 20, 21, 22, 23, 24, 25,  26, 27,  28, 29, 30, 31, 32,  0,   34,  35,  36,  5},
    {"USER_CPSS",   36, 1, 3,   4, 5, 6,  7,  8, 0,  0,  0,  11, 12,  14,  0,    15, 16, 17, 18, 19, 20, 21,  22, 23,  24, 25, 26, 27, 0,   0,   29,  30,  31,  4},
    {"USER_CPCS",   39, 1, 3,   4, 5, 6,  7,  8, 0,  0,  0,  11, 12,  14,  0,    15, 16, 17, 18, 19, 20, 21,  22, 23,  24, 25, 26, 27, 0,   0,   29,  30,  31,  7},
}};
// clang-format on

// Every position lies in the argument list and no two roles share one.
constexpr bool positions_valid(const Layout& l)
{
    const int single[] = {l.id,   l.mode, l.s,    l.h0,  l.cd0,  l.fn_crit, l.x,    l.v,   l.xb,
                          l.vb,   l.n,    l.circuit, l.x_ref, l.xb_ref, l.p1, l.p2, l.t1,  l.t2,
                          l.fm1,  l.fm2,  l.mdot, l.dir, l.area, l.dh,      l.fn,   l.cd,  l.force,
                          l.counter, l.p_vap, l.vol1, l.vol2};
    std::array<bool, 64> used{};
    auto take = [&](int pos) {
        if (pos < 0 || pos > l.nargs) return false;
        if (pos == 0) return true;
        if (used[static_cast<std::size_t>(pos)]) return false;
        used[static_cast<std::size_t>(pos)] = true;
        return true;
    };
    for (int pos : single)
        if (!take(pos)) return false;
    if (l.geom != 0)
        for (int k = 0; k < l.ngeom; ++k)
            if (!take(l.geom + k)) return false;
    return l.ngeom <= 7;
}
static_assert(std::all_of(kLayouts.begin(), kLayouts.end(), positions_valid));

// The host's arguments of one call, read and written by role.
class Args {
public:
    Args(const Layout& l, std::span<void* const> a) : l_(l), a_(a) {}

    std::int32_t integer(int pos) const noexcept { return *static_cast<const std::int32_t*>(at(pos)); }
    // A real the template reads; 0.0 where it has no such argument.
    double real(int pos) const noexcept { return pos == 0 ? 0.0 : *static_cast<const double*>(at(pos)); }
    double& out(int pos) const noexcept { return *static_cast<double*>(at(pos)); }
    Array1<const double> composition(const char* name, int pos, std::int32_t n) const noexcept
    {
        return {name, static_cast<const double*>(at(pos)), n};
    }
    const Layout& layout() const noexcept { return l_; }

private:
    void* at(int pos) const noexcept
    {
        check_index("ARGS", 1, pos, 1, static_cast<std::int64_t>(a_.size()));
        return a_[static_cast<std::size_t>(pos - 1)];
    }
    const Layout& l_;
    std::span<void* const> a_;
};

// ---- one call's inputs --------------------------------------------------------

struct Valve {
    double s = 1.0;          // orientation factor
    double h0_m = 0.0;       // lift offset
    double cd0 = 0.0;        // discharge coefficient of the open valve
    double fn_crit = 0.0;    // critical flow number
    double x_m = 0.0, v_m_s = 0.0;      // valve position and velocity
    double xb_m = 0.0, vb_m_s = 0.0;    // second body (0 where the template has none)
    double x_ref_m = 0.0, xb_ref_m = 0.0;
    double p1_Pa = 0.0, p2_Pa = 0.0, p_vap_Pa = 0.0;
    std::array<double, 7> g{};   // geometry in the template's argument order
    double rho_kg_m3 = 0.0;      // upstream density
    double nu_m2_s = 0.0;        // upstream kinematic viscosity
};

struct Flow {
    double area_m2 = 0.0;
    double dh_m = 0.0;
    double vol1_m3 = 0.0;
    double vol2_m3 = 0.0;
};

double cube(double a) noexcept { return a * a * a; }

// ---- input the formulas cannot take -------------------------------------------

[[noreturn]] void bad_input(const Layout& l, const char* what, double value) noexcept
{
    out::list(std::string(l.name) + ": " + what, value);
    stop_run();
}

// An angle of a cone or face: sin and cos both positive.
void require_angle(const Layout& l, const char* what, double a) noexcept
{
    if (!(std::sin(a) > 0.0 && std::cos(a) > 0.0)) bad_input(l, what, a);
}

// An angle of a face of the two-face valve: positive sine, so that its tangent
// is not 0. A face at a right angle (a flat face), written a little above pi/2,
// is ordinary input there and the formulas stay finite beyond it.
void require_face_angle(const Layout& l, const char* what, double a) noexcept
{
    if (!(std::sin(a) > 0.0)) bad_input(l, what, a);
}

// Only a diameter that puts a negative quantity under a logarithm or a square
// root, or a zero under a divisor, has no result; one that enters squared or
// linearly gives the formulas' values, whatever its sign.
void check_geometry(HydTemplate t, const Layout& l, const std::array<double, 7>& g, std::int32_t mode) noexcept
{
    switch (t) {
    case HydTemplate::fvlv:
    case HydTemplate::fvlvmh:
    case HydTemplate::valve:
        // The film takes ln(DO / D); the flow uses squares and D only as a divisor tested for 0.
        if (mode == 2 && g[0] != 0.0 && g[1] != 0.0 && (g[0] < 0.0) != (g[1] < 0.0)) {
            if (g[0] < 0.0) bad_input(l, "seat diameter D is negative:", g[0]);
            bad_input(l, "outer diameter DO is negative:", g[1]);
        }
        break;
    case HydTemplate::bpss:
        if (!(g[0] != 0.0)) bad_input(l, "seat diameter Ds is zero:", g[0]);  // r = Db / Ds
        // sqrt(r^2 - 1) and sqrt(t^2 - 1), where t >= 1 just when |Db| >= |DI|
        if (!(std::abs(g[1]) >= std::abs(g[0]))) bad_input(l, "ball diameter Db is below the seat diameter:", g[1]);
        if (!(std::abs(g[2]) <= std::abs(g[1]))) bad_input(l, "inner diameter DI is above the ball diameter:", g[2]);
        break;
    case HydTemplate::cpss:
        require_angle(l, "cone angle alpha is not between 0 and pi/2:", g[3]);
        break;
    case HydTemplate::cpcs:
        require_face_angle(l, "angle beta is not between 0 and pi:", g[4]);
        require_face_angle(l, "angle alpha is not between 0 and pi:", g[5]);
        break;
    default:  // the ball in a cone: squares and products only
        break;
    }
}

// ---- flat valve on a seat (USER_FVLV, USER_FVLVMH, USER_VALVE) ----------------
// g: seat diameter D, outer diameter DO, inner diameter DI. The lift counts
// against the second body, which stands still at 0 in USER_FVLV.

Flow flat_valve_flow(const Valve& c) noexcept
{
    const double d = c.g[0], d_out = c.g[1], d_in = c.g[2];
    const double port_m2 = kPi4 * (d * d - d_in * d_in);
    // Lift at which the curtain pi D x reaches the port; no curtain without a seat.
    const double x_max = d == 0.0 ? 0.0 : (d * d - d_in * d_in) / (4.0 * d);
    const double x_e = std::min(std::max(c.s * (c.x_m - c.xb_m) + c.h0_m, 0.0), x_max);
    Flow f;
    f.area_m2 = std::min(kPi * x_e * d, port_m2);
    f.dh_m = 2.0 * x_e;
    f.vol1_m3 = port_m2 * ((c.x_m - c.x_ref_m) * c.s);
    f.vol2_m3 = kPi4 * (d_out * d_out - d * d) * (c.s * ((c.x_m - c.x_ref_m) - (c.xb_m - c.xb_ref_m)));
    return f;
}

// Annular film between ri = D/2 (side-1 pressure) and ro = DO/2 (side-2 pressure).
double flat_valve_film_force(const Valve& c) noexcept
{
    const double ri = c.g[0] / 2.0, ro = c.g[1] / 2.0;
    if (ro * ro - ri * ri == 0.0) return 0.0;  // no film between equal diameters
    const FilmGap gap = squeeze_film_gap(c.s * (c.x_m - c.xb_m) + c.h0_m, c.s * (c.v_m_s - c.vb_m_s));
    return annular_film_force(ri, ro, c.p1_Pa, c.p2_Pa, c.p_vap_Pa, c.nu_m2_s * c.rho_kg_m3, gap) * c.s;
}

// ---- ball on a sharp seat edge (USER_BPSS) ------------------------------------
// g: seat diameter Ds, ball diameter Db, inner diameter DI, outer diameter DO.

struct BallEdge {
    double r, z0;       // Db / Ds and the ball centre's height over the edge in Ds/2
    double x_l;         // lift, limited to 0..x_max
    double u, w, d_t;   // contact geometry; d_t the contact diameter
};

BallEdge ball_edge(const Valve& c) noexcept
{
    const double ds = c.g[0], db = c.g[1], d_in = c.g[2];
    BallEdge b;
    b.r = db / ds;
    b.z0 = std::sqrt(b.r * b.r - 1.0);
    b.x_l = c.s * c.x_m + c.h0_m;
    if (!(b.x_l > 0.0)) b.x_l = 0.0;
    const double bb = (ds * ds - d_in * d_in) / (ds * ds);
    const double t = (bb + std::sqrt(bb * bb + 4.0 * b.r * b.r)) / 2.0;
    const double x_max = ds / 2.0 * (std::sqrt(t * t - 1.0) - b.z0);  // flow area reaches the port
    b.x_l = std::min(b.x_l, x_max);
    b.u = 2.0 * b.x_l / ds + b.z0;
    b.w = std::sqrt(b.u * b.u + 1.0);
    b.d_t = db / b.w;
    return b;
}

Flow ball_edge_flow(const Valve& c) noexcept
{
    const double ds = c.g[0], db = c.g[1], d_in = c.g[2], d_out = c.g[3];
    const BallEdge b = ball_edge(c);
    const double a_m2 = std::abs(b.x_l) >= 1e-10 ? kPi4 * ds * ds * (b.u * b.u + 1.0 - b.r * b.r) / b.w : 0.0;
    Flow f;
    f.area_m2 = std::min(a_m2, kPi4 * (ds * ds - d_in * d_in));
    f.dh_m = 4.0 * f.area_m2 / (kPi * (ds + b.d_t));
    const double h = c.s * c.x_m + c.h0_m;
    const double h_r = c.s * c.x_ref_m + c.h0_m;
    const double dx = c.s * (c.x_m - c.x_ref_m);
    const double v_m3 = db * db * kPi * 0.125 * ds * (std::atan(2.0 * h / ds + b.z0) - std::atan(2.0 * h_r / ds + b.z0));
    f.vol1_m3 = v_m3 - kPi4 * d_in * d_in * dx;
    f.vol2_m3 = kPi4 * d_out * d_out * dx - v_m3;
    return f;
}

// Side 1 acts inside the contact diameter, side 2 outside it.
double split_force(const Valve& c, double d_contact, double d_in, double d_out, bool inner_on_edge) noexcept
{
    double a1 = 0.0, a2 = kPi4 * (d_out * d_out - d_in * d_in);
    if (inner_on_edge ? d_in <= d_contact : d_in < d_contact) {
        a1 = kPi4 * (d_contact * d_contact - d_in * d_in);
        a2 = kPi4 * (d_out * d_out - d_contact * d_contact);
    }
    return c.s * (c.p1_Pa * a1 + c.p2_Pa * a2);
}

double ball_edge_force(const Valve& c) noexcept
{
    return split_force(c, ball_edge(c).d_t, c.g[2], c.g[3], true);
}

// ---- ball in a conical seat (USER_BPCS, USER_BPCSMH) --------------------------
// g: seat diameter Ds, seat angle alpha, ball diameter d, DI, DO. The ball
// touches the seat on the circle d_a = d cos(alpha).

Flow ball_cone_flow(const Valve& c) noexcept
{
    const double ds = c.g[0], alpha = c.g[1], d = c.g[2], d_in = c.g[3], d_out = c.g[4];
    const double sa = std::sin(alpha), ca = std::cos(alpha);
    const double k = sa * ca;
    const double d_a = d * ca;
    double x_l = c.s * c.x_m + c.h0_m;
    if (!(x_l > 0.0)) x_l = 0.0;
    Flow f;
    f.area_m2 = std::min(kPi * x_l * (d + x_l * sa) * k, kPi4 * (ds * ds - d_in * d_in));
    f.dh_m = 2.0 * x_l * sa;
    const double h = c.s * c.x_m + c.h0_m;
    const double h_r = c.s * c.x_ref_m + c.h0_m;
    const double dx = c.s * (c.x_m - c.x_ref_m);
    const double v_m3 = k * 1.570796326794895 *
                        (h * h * (d_a + h * 0.6666666666666666 * k) - h_r * h_r * (d_a + h_r * 0.6666666666666666 * k));
    f.vol1_m3 = v_m3 + kPi4 * (d_a * d_a - d_in * d_in) * dx;
    f.vol2_m3 = -v_m3 - kPi4 * (d_a * d_a - d_out * d_out) * dx;
    return f;
}

double ball_cone_force(const Valve& c) noexcept
{
    const double d_a = c.g[2] * std::cos(c.g[1]), d_in = c.g[3], d_out = c.g[4];
    return c.s * (c.p1_Pa * kPi4 * (d_a * d_a - d_in * d_in) - c.p2_Pa * kPi4 * (d_a * d_a - d_out * d_out));
}

// ---- cone on a sharp seat edge (USER_CPSS) ------------------------------------
// g: seat diameter Ds, outer diameter DO, inner diameter DI, cone angle alpha.

// Diameter at which the cone leaves the seat edge at lift x_p.
double cone_contact(const Valve& c, double x_p) noexcept
{
    const double k = std::sin(c.g[3]) * std::cos(c.g[3]);
    return std::max(c.g[0] - 2.0 * x_p * k, 0.0);
}

Flow cone_edge_flow(const Valve& c) noexcept
{
    const double ds = c.g[0], d_out = c.g[1], d_in = c.g[2], alpha = c.g[3];
    const double sa = std::sin(alpha), ca = std::cos(alpha);
    const double k = sa * ca;
    const double x_max = (ds - std::sqrt(ds * ds + (d_in * d_in - ds * ds) * ca)) / (2.0 * k);
    const double x_e = std::min(std::max(c.s * c.x_m + c.h0_m, 0.0), x_max);
    Flow f;
    f.area_m2 = kPi * x_e * sa * (ds - x_e * k);
    f.dh_m = 2.0 * x_e * sa;

    const double dx = c.s * (c.x_m - c.x_ref_m);
    const double x_p = std::max(c.s * c.x_m + c.h0_m, 0.0);
    const double d_c = cone_contact(c, x_p);
    const double h_r = c.s * c.x_ref_m + c.h0_m;
    const double d_r = ds - 2.0 * std::max(h_r, 0.0) * k;  // contact diameter at the reference
    const double t = std::max(std::tan(alpha), 1e-18);
    const double g = 0.1308996938995746 * (t + 1.0 / t);   // pi/24 (t + 1/t): cone volume per d^3
    const double h_c = (ds - d_in) / (2.0 * k);            // lift at which the contact reaches DI
    if (d_c <= d_in) {
        f.vol1_m3 = d_r <= d_in ? 0.0 : g * (cube(d_r) - cube(d_in)) - kPi4 * d_in * d_in * (h_c - h_r);
    } else if (d_in <= d_r) {
        f.vol1_m3 = g * (cube(d_r) - cube(d_c)) - kPi4 * d_in * d_in * dx;
    } else {
        f.vol1_m3 = -(g * (cube(d_c) - cube(d_in)) + kPi4 * d_in * d_in * (x_p - h_c));
    }
    f.vol2_m3 = kPi4 * (d_out * d_out - d_in * d_in) * dx - f.vol1_m3;
    return f;
}

double cone_edge_force(const Valve& c) noexcept
{
    const double d_c = cone_contact(c, std::max(c.s * c.x_m + c.h0_m, 0.0));
    return split_force(c, d_c, c.g[2], c.g[1], false);
}

// ---- two angled faces (USER_CPCS) ---------------------------------------------
// g: outer diameter DO, seat diameter D, diameter d2, DI, angle beta at D,
// angle alpha at d2, ramp length L of the opening force.

// Slope of the narrowest cross-section from q: q - sqrt(q^2 - 0.5), or q.
double throat_slope(double q) noexcept { return q - std::sqrt(std::max(q * q - 0.5, 0.0)); }

Flow two_face_flow(const Valve& c) noexcept
{
    const double d_out = c.g[0], d = c.g[1], d2 = c.g[2], d_in = c.g[3], beta = c.g[4], alpha = c.g[5];
    const double sa = std::sin(alpha), ca = std::cos(alpha), ta = std::tan(alpha);
    const double sb = std::sin(beta), cb = std::cos(beta), tb = std::tan(beta);
    const double x_l = std::max(c.s * c.x_m + c.h0_m, 1e-20);

    const double e = (d - d2) / 2.0 * ca * (ta - tb) / (tb + 1e-18);
    const double y = x_l * sa + e;
    const double q1 = ((d2 * sa / y) * (1.0 / (ta * ta) + 1.0) - 1.0 / ta) * 0.25;
    const double s1 = throat_slope(q1);
    double a1_m2 = kPi * y * (d2 - y * (ca + sa * s1)) * std::sqrt(s1 * s1 + 1.0);
    if (!std::isfinite(a1_m2)) a1_m2 = 0.0;  // the first face closed (y = 0): its section vanishes

    const double q2 = ((d / x_l) * (1.0 / (tb * tb) + 1.0) + 1.0 / tb) * 0.25;
    const double s2 = throat_slope(q2);
    const double a2_m2 = kPi * x_l * sb * (d + x_l * sb * (cb - sb * s2)) * std::sqrt(s2 * s2 + 1.0);

    Flow f;
    f.area_m2 = std::max(std::min({a1_m2, a2_m2, 1e18}), 0.0);
    f.dh_m = 2.0 * x_l * sa;
    const double dx = c.s * (c.x_m - c.x_ref_m);
    f.vol1_m3 = kPi4 * (d * d - d_in * d_in) * dx;
    f.vol2_m3 = kPi4 * (d_out * d_out - d * d) * dx;
    return f;
}

double two_face_force(const Valve& c) noexcept
{
    const double d_out = c.g[0], d = c.g[1], d_in = c.g[3], ramp_m = c.g[6];
    const double h = c.s * c.x_m + c.h0_m;
    if (!(h > 0.0)) return c.s * c.p1_Pa * kPi4 * (d * d - d_in * d_in);
    const double pm_Pa = (c.p1_Pa + c.p2_Pa) / 2.0;
    const double e_r = ramp_m > 1e-18 ? std::exp(-3.0 * h / ramp_m) : 0.0;
    return c.s * (pm_Pa * kPi4 * (d_out * d_out - d * d) * (1.0 - e_r) + c.p1_Pa * kPi4 * (d * d - d_in * d_in));
}

// ---- the frame ----------------------------------------------------------------

exchange::UserModelArrays g_parms;
std::vector<double> g_fmloc;  // upstream composition, room for the larger of n and NSPECIES

// Squeezed-film calls of each plotting template since the library was loaded,
// over all models together.
std::int32_t g_plot_fvlv = 0;
std::int32_t g_plot_fvlvmh = 0;
std::int32_t g_plot_valve = 0;

std::int32_t* plot_counter(HydTemplate t) noexcept
{
    switch (t) {
    case HydTemplate::fvlv: return &g_plot_fvlv;
    case HydTemplate::fvlvmh: return &g_plot_fvlvmh;
    case HydTemplate::valve: return &g_plot_valve;
    default: return nullptr;
    }
}

// The upstream composition, zero beyond entry n so that the property
// routines, which read NSPECIES entries, never read past it.
double* upstream_composition(const Layout& l, Array1<const double> y, std::int32_t n) noexcept
{
    const auto need = static_cast<std::size_t>(std::max<std::int64_t>(
        {std::int64_t{n}, std::int64_t{properties::species_table().nspecies}, std::int64_t{1}}));
    if (g_fmloc.size() < need) sizing(l.name, [need] { g_fmloc.resize(need); });
    std::fill(g_fmloc.begin(), g_fmloc.end(), 0.0);
    if (n >= 1) std::copy_n(y.span(1, n).begin(), n, g_fmloc.begin());
    return g_fmloc.data();
}

// Flow number Fn from the hydraulic diameter (always with the side-1 and
// side-2 pressures), and the discharge coefficient from r = Fn / critical
// flow number: cd0 tanh(2 r) below r = 3, cd0 from there on. A quotient by a
// critical flow number of 0 (or one that overflows) is taken as 1e18: the
// valve is then always at cd0.
struct FlowNumber {
    double fn, r, cd;
};

FlowNumber flow_rule(const Valve& c, double fn) noexcept
{
    FlowNumber f;
    f.fn = fn;
    f.r = c.fn_crit == 0.0 ? kGuard : f.fn / c.fn_crit;
    if (!std::isfinite(f.r)) f.r = kGuard;
    f.cd = f.r < 3.0 ? c.cd0 * std::tanh(2.0 * f.r) : c.cd0;
    return f;
}

double flow_number(const Valve& c, double dh_m) noexcept
{
    return dh_m * std::sqrt(2.0 * std::abs(c.p1_Pa - c.p2_Pa) / c.rho_kg_m3) / c.nu_m2_s;
}

}  // namespace

void hydraulic_template(HydTemplate which, std::span<void* const> args) noexcept
{
    const Layout& l = kLayouts[static_cast<std::size_t>(which)];
    const Args a(l, args);
    const std::int32_t mode = a.integer(l.mode);
    if (mode == 0) return;

    const std::int32_t imodel = a.integer(l.id);
    exchange::load_user_model_arrays(imodel, g_parms);

    Valve c;
    if (l.geom == 0) {  // diameters in mm from the parameter record
        if (g_parms.nreal < 3) input_error({"Wrong number of inputs in user model for hydraulic valve. "});
        for (int k = 1; k <= l.ngeom; ++k) c.g[static_cast<std::size_t>(k - 1)] = g_parms.realparm(k) * 0.001;
    } else {
        for (int k = 0; k < l.ngeom; ++k) c.g[static_cast<std::size_t>(k)] = a.real(l.geom + k);
    }
    if (mode == 1 || mode == 2) check_geometry(which, l, c.g, mode);

    // Upstream side: side 2 when the flow runs against the direction factor,
    // or, for a flow below 1e-17, when p2 is the higher pressure.
    const std::int32_t n = a.integer(l.n);
    const double mdot = a.real(l.mdot);
    c.p1_Pa = a.real(l.p1);
    c.p2_Pa = a.real(l.p2);
    const bool side2 = std::abs(mdot) >= 1e-17 ? mdot * static_cast<double>(a.integer(l.dir)) < 0.0
                                               : c.p1_Pa < c.p2_Pa;
    const double t_K = side2 ? a.real(l.t2) : a.real(l.t1);
    const double p_Pa = side2 ? c.p2_Pa : c.p1_Pa;
    double* fmloc = upstream_composition(l, a.composition(side2 ? "FM2" : "FM1", side2 ? l.fm2 : l.fm1, n), n);

    double e_J_kg = 0.0, h_J_kg = 0.0, cp_J_kgK = 0.0, cv_J_kgK = 0.0, mu_Pas = 0.0, k_W_mK = 0.0;
    properties::zalthrm_tp(t_K, p_Pa, fmloc, c.rho_kg_m3, e_J_kg, h_J_kg, cp_J_kgK, cv_J_kgK);
    properties::viscandcond_user(t_K, p_Pa, cp_J_kgK, fmloc, mu_Pas, k_W_mK, a.integer(l.circuit));
    if (!(c.rho_kg_m3 > 0.0 && std::isfinite(c.rho_kg_m3)))
        bad_input(l, "upstream density is not positive:", c.rho_kg_m3);
    // The two-face template works without a viscosity (it keeps its flow number); the others divide by it.
    if (!std::isfinite(mu_Pas) || (which != HydTemplate::cpcs && !(mu_Pas > 0.0)))
        bad_input(l, "upstream viscosity is not positive:", mu_Pas);
    c.nu_m2_s = mu_Pas / c.rho_kg_m3;
    if (!std::isfinite(c.nu_m2_s)) bad_input(l, "upstream kinematic viscosity is not finite:", c.nu_m2_s);
    if (mode != 1 && mode != 2) return;

    c.s = static_cast<double>(a.integer(l.s));
    c.h0_m = a.real(l.h0);
    c.cd0 = a.real(l.cd0);
    c.fn_crit = a.real(l.fn_crit);
    c.x_m = a.real(l.x);
    c.v_m_s = a.real(l.v);
    c.xb_m = a.real(l.xb);
    c.vb_m_s = a.real(l.vb);
    c.x_ref_m = a.real(l.x_ref);
    c.xb_ref_m = a.real(l.xb_ref);
    c.p_vap_Pa = a.real(l.p_vap);

    if (mode == 1) {
        Flow f;
        switch (which) {
        case HydTemplate::fvlv:
        case HydTemplate::fvlvmh:
        case HydTemplate::valve: f = flat_valve_flow(c); break;
        case HydTemplate::bpss:
            // Dh divides by Ds + d_t, which vanishes where Ds and Db differ in sign and the lift puts d_t at -Ds.
            if (c.g[0] + ball_edge(c).d_t == 0.0) bad_input(l, "seat diameter Ds meets the contact diameter at zero:", c.g[0]);
            f = ball_edge_flow(c);
            break;
        case HydTemplate::bpcs:
        case HydTemplate::bpcsmh: f = ball_cone_flow(c); break;
        case HydTemplate::cpss: f = cone_edge_flow(c); break;
        case HydTemplate::cpcs: f = two_face_flow(c); break;
        }
        // The two-face template writes its flow number only for a positive
        // viscosity; otherwise the rule works on the value the output holds.
        const bool keep_fn = which == HydTemplate::cpcs && !(c.nu_m2_s > 0.0);
        const FlowNumber fr = flow_rule(c, keep_fn ? a.out(l.fn) : flow_number(c, f.dh_m));
        a.out(l.area) = f.area_m2;
        a.out(l.dh) = f.dh_m;
        a.out(l.fn) = which == HydTemplate::bpcs || which == HydTemplate::bpcsmh ? fr.r : fr.fn;
        a.out(l.cd) = fr.cd;
        a.out(l.vol1) = f.vol1_m3;
        a.out(l.vol2) = f.vol2_m3;
        return;
    }

    double force_N = 0.0;
    switch (which) {
    case HydTemplate::fvlv:
    case HydTemplate::fvlvmh:
    case HydTemplate::valve: force_N = flat_valve_film_force(c); break;
    case HydTemplate::bpss: force_N = ball_edge_force(c); break;
    case HydTemplate::bpcs:
    case HydTemplate::bpcsmh: force_N = ball_cone_force(c); break;
    case HydTemplate::cpss: force_N = cone_edge_force(c); break;
    case HydTemplate::cpcs: force_N = two_face_force(c); break;
    }
    a.out(l.force) = force_N;
    if (l.counter != 0) a.out(l.counter) = which == HydTemplate::bpcsmh ? 0.0 : -force_N;
    if (std::int32_t* counter = plot_counter(which)) {
        if (*counter < std::numeric_limits<std::int32_t>::max()) ++*counter;  // stops at its largest value
        exchange::user_plot_store(imodel, 1, "FVLV_USER", "Vapor Pressure", "timestep", "Pressure",
                                  static_cast<double>(*counter), c.p_vap_Pa);
    }
}

}  // namespace usersub::usermodels
