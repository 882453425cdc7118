#include "usermodels/connection_geometry.h"

#include "exchange/user_models.h"
#include "usermodels/argument_checks.h"
#include "usermodels/usermodel_common.h"

#include <algorithm>
#include <cmath>

namespace usersub::usermodels {
namespace {

constexpr double kGuard = 1e18;  // stands in for a reciprocal of exactly zero

exchange::UserModelArrays g_flow_parms;
exchange::UserModelArrays g_mec_parms;
exchange::UserModelArrays g_cv_parms;

double guarded_div(double num, double den) noexcept { return den == 0.0 ? kGuard : num / den; }
double cot(double a) noexcept { return a == 0.0 ? kGuard : 1.0 / std::tan(a); }
double csc(double a) noexcept { return a == 0.0 ? kGuard : 1.0 / std::sin(a); }
double sec(double a) noexcept
{
    const double c = std::cos(a);
    return c == 0.0 ? kGuard : 1.0 / c;
}

// atan(q - w), w = sqrt(q^2 - 0.5) when |q| > 1/sqrt(2), else 0: the angle at
// which the tangent from the seat edge meets the opposite face.
double tangent_angle(double q) noexcept
{
    const double w = std::abs(q) > 0.7071067811865476 ? std::sqrt(q * q - 0.5) : 0.0;
    return std::atan(q - w);
}

// The tangent construction for a diameter dc, a height h and a face angle b.
double change_over_angle(double dc, double h, double b) noexcept
{
    const double cb = cot(b);
    const double q = (dc * std::sin(b) * guarded_div(1.0, h) * (cb * cb + 1.0) - cb) * 0.25;
    return tangent_angle(q);
}

// How far an angle can drive the geometry: through its size, or through the
// reciprocals of its sine and cosine (cotangents, cosecants, secants).
double angle_reach(double a) noexcept
{
    return std::max({std::abs(a), 1.0 / std::abs(std::sin(a)), 1.0 / std::abs(std::cos(a))});
}

bool all_finite(std::initializer_list<double> values) noexcept
{
    return std::all_of(values.begin(), values.end(), [](double v) { return std::isfinite(v); });
}

}  // namespace

FlowCpcsResult user_flow_cpcs(std::int32_t imodel, double x_m, double x_ref_m,
                              const FlowCpcsGeometry& g) noexcept
{
    exchange::load_user_model_arrays(imodel, g_flow_parms);
    // The second and third areas divide by D2 and D3, the hydraulic diameters by
    // sin(alpha): a geometry without them has no flow areas.
    require_nonzero("USER_FLOW_CPCS", 26, "diameter D2", g.d2_m);
    require_nonzero("USER_FLOW_CPCS", 27, "diameter D3", g.d3_m);
    if (std::sin(g.alpha) == 0.0)
        argument_error("USER_FLOW_CPCS", 29, "angle alpha", "must have a non-zero sine", g.alpha);
    const double x = x_m;
    const double dx = x - x_ref_m;
    const double sa = std::sin(g.alpha), ca = std::cos(g.alpha);
    const double sb = std::sin(g.beta), cb = std::cos(g.beta);
    const double cot_a = cot(g.alpha);
    const double e1 = (g.d1_m - g.d2_m) / 2.0 * (cot(g.gamma) - cot_a);
    const double e2 = (g.d2_m - g.d3_m) / 2.0 * (cot_a - cot(g.beta));

    FlowCpcsResult r;
    // First area: the curtain at the outer face, shifted by e1.
    const double y = x + e1;
    r.a1_m2 = std::max(kPi * y * sa * (g.d1_m + y * ca * sa), 0.0);

    // Second area: the cone frustum from the seat edge at D2.
    const double ratio = guarded_div(g.d2_m, x);
    const double q2 = (ratio * (cot_a * cot_a + 1.0) + cot_a) * 0.25;
    const double phi = tangent_angle(q2);
    const double k2 = x * sa * (ca - sa * std::tan(phi)) / g.d2_m + 1.0;
    r.a2_m2 = std::max(g.d2_m * kPi * x * sa * sec(phi) * k2, 0.0);

    // Third area: across the inner face at D3, no larger than the bore ring.
    const double e3 = (g.d2_m - g.d3_m) / 2.0 * cb * cot_a * (std::tan(g.beta) - std::tan(g.alpha));
    const double h3 = x * sb + e3;
    const double psi = change_over_angle(g.d3_m, h3, g.beta);
    const double k3 = 1.0 - h3 * (cb + sb * std::tan(psi)) / g.d3_m;
    const double a3_max = kPi4 * (g.d3_m * g.d3_m - g.d4_m * g.d4_m);
    r.a3_m2 = std::max(std::min(g.d3_m * kPi * h3 * k3 * sec(psi), a3_max), 0.0);

    r.l1_m = (g.d1_m - g.d2_m) / 2.0 * csc(g.alpha);
    r.l2_m = (g.d2_m - g.d3_m) / 2.0 * csc(g.alpha);

    r.v1_m3 = kPi4 * (g.d1_m * g.d1_m - g.d2_m * g.d2_m) * dx;
    r.v2_m3 = kPi4 * (g.d2_m * g.d2_m - g.d3_m * g.d3_m) * dx;
    r.v3_m3 = a3_max * dx;

    r.dh1_m = 2.0 * (x + e1) / sa;
    r.dh2_m = 2.0 * x / sa;
    r.dh3_m = 2.0 * (x + e2) * sb;
    // Lifts, diameters or angles at the ends of the real range can carry an area, a
    // volume or a hydraulic diameter beyond it: the one that reaches furthest is named.
    if (!all_finite({r.a1_m2, r.a2_m2, r.a3_m2, r.l1_m, r.l2_m, r.v1_m3, r.v2_m3, r.v3_m3, r.dh1_m, r.dh2_m,
                     r.dh3_m}))
        beyond_real_range("USER_FLOW_CPCS",
                          {{7, "lift", x_m, extreme_reach(x_m)},
                           {8, "reference lift", x_ref_m, factor_reach(x_ref_m)},
                           {25, "diameter D1", g.d1_m, factor_reach(g.d1_m)},
                           {26, "diameter D2", g.d2_m, extreme_reach(g.d2_m)},
                           {27, "diameter D3", g.d3_m, extreme_reach(g.d3_m)},
                           {28, "diameter D4", g.d4_m, factor_reach(g.d4_m)},
                           {29, "angle alpha", g.alpha, angle_reach(g.alpha)},
                           {30, "angle beta", g.beta, angle_reach(g.beta)},
                           {31, "angle gamma", g.gamma, angle_reach(g.gamma)}});
    return r;
}

MecCpcsResult user_mec_cpcs(std::int32_t imodel, std::int32_t s, double x_m, double pa_Pa,
                            double pb_Pa, double pc_Pa, const MecCpcsGeometry& g,
                            bool three_pressures) noexcept
{
    exchange::load_user_model_arrays(imodel, g_mec_parms);
    const double e = (g.d1_m - g.d2_m) / 2.0 * std::cos(g.beta) * cot(g.alpha) *
                     (std::tan(g.beta) - std::tan(g.alpha));
    const double h = x_m * std::sin(g.beta) + e;
    const double psi = change_over_angle(g.d2_m, h, g.beta);

    MecCpcsResult r;
    r.d_change_m = g.d2_m - (g.d1_m - g.d2_m) * std::sin(g.beta - g.alpha) * std::sin(psi - g.alpha) *
                                csc(g.alpha) * sec(psi);
    const double dc2 = r.d_change_m * r.d_change_m;
    const double d0_2 = g.d0_m * g.d0_m, d1_2 = g.d1_m * g.d1_m, d3_2 = g.d3_m * g.d3_m;
    double f = 0.0;
    if (three_pressures) {
        f = pa_Pa * kPi4 * (d0_2 - d1_2) + pb_Pa * kPi4 * (d1_2 - dc2) + pc_Pa * kPi4 * (dc2 - d3_2);
    } else {
        f = pa_Pa * kPi4 * (d0_2 - dc2) + pc_Pa * kPi4 * (dc2 - d3_2);
    }
    r.force_N = s * f;
    // Diameters, angles or pressures at the ends of the real range can carry the
    // change-over diameter or the force beyond it: the one that reaches furthest is named.
    if (!all_finite({r.d_change_m, r.force_N}))
        beyond_real_range("USER_MEC_CPCS",
                          {{7, "lift", x_m, extreme_reach(x_m)},
                           {8, "pressure pA", pa_Pa, factor_reach(pa_Pa)},
                           {9, "pressure pB", pb_Pa, three_pressures ? factor_reach(pb_Pa) : 0.0},
                           {10, "pressure pC", pc_Pa, factor_reach(pc_Pa)},
                           {24, "diameter D0", g.d0_m, factor_reach(g.d0_m)},
                           {25, "diameter D1", g.d1_m, factor_reach(g.d1_m)},
                           {26, "diameter D2", g.d2_m, factor_reach(g.d2_m)},
                           {27, "diameter D3", g.d3_m, factor_reach(g.d3_m)},
                           {28, "angle alpha", g.alpha, angle_reach(g.alpha)},
                           {29, "angle beta", g.beta, angle_reach(g.beta)}});
    return r;
}

double hla_cv_flow_coef(std::int32_t imodel) noexcept
{
    exchange::load_user_model_arrays(imodel, g_cv_parms);
    return 0.6;
}

}  // namespace usersub::usermodels
