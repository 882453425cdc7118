#include "usermodels/injector_turbo_models.h"

#include "common/fixed_text.h"
#include "common/output.h"
#include "common/run_stop.h"
#include "exchange/engine_components.h"
#include "exchange/run_info.h"
#include "exchange/user_models.h"
#include "exchange/user_plots.h"
#include "usermodels/argument_checks.h"
#include "usermodels/usermodel_common.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <limits>
#include <string>

namespace usersub::usermodels {
namespace {

using exchange::UserModelArrays;

// A real parameter truncated towards zero into an integer; values beyond the
// integer range saturate, a NaN gives 0.
std::int32_t truncate_to_int(double v) noexcept
{
    if (std::isnan(v)) return 0;
    constexpr double lo = std::numeric_limits<std::int32_t>::min();
    constexpr double hi = std::numeric_limits<std::int32_t>::max();
    return static_cast<std::int32_t>(std::clamp(std::trunc(v), lo, hi));
}

void nozzle_input_error(const char* needed, const char* values) noexcept
{
    input_error({"F*** NOZZUSER: Nozzle geometry must be specified in",
                 "               UserModel object. UserModel object", needed, values});
}

constexpr const char* kFrictionTitle = "User Engine Friction Model";

// Angle of the friction examples: the crank angle less 110 degrees.
double friction_angle_deg() noexcept { return exchange::global_info().crank_angle_deg - 110.0; }

// Output channel of the valve-lift trace: the file it holds, by name. A name
// that could not be opened or written is kept with no file, so that the
// warning is written once and the run goes on without the trace.
struct TraceChannel {
    std::FILE* file = nullptr;
    std::string name;
    bool held = false;  // a name has been opened (or tried) on the channel
};
TraceChannel g_trace;

void close_trace() noexcept
{
    if (g_trace.file == nullptr) return;
    unregister_file(g_trace.file);
    std::fclose(g_trace.file);
    g_trace.file = nullptr;
}

void trace_lift(std::string_view name, double lift)
{
    if (!g_trace.held || name != g_trace.name) {
        // another file: the previous one is closed, the new one starts empty
        close_trace();
        g_trace.name.assign(name);
        g_trace.held = true;
        g_trace.file = std::fopen(g_trace.name.c_str(), "w");
        if (g_trace.file == nullptr) {
            out::list("W*** USERLIFTU: cannot open the trace file", name);
            out::list("     the lift is returned without its trace");
            return;
        }
        register_file(g_trace.file);
    }
    if (g_trace.file == nullptr) return;  // this name failed before

    out::ListLine line;
    line << lift;
    const std::string& s = line.str();
    const bool written = std::fwrite(s.data(), 1, s.size(), g_trace.file) == s.size() &&
                         std::fputc('\n', g_trace.file) != EOF && std::fflush(g_trace.file) == 0;
    if (!written) {
        close_trace();
        out::list("W*** USERLIFTU: cannot write the trace file", name);
        out::list("     the lift is returned without its trace");
    }
}

}  // namespace

NozzleGeometry injnozzuser_getdim(std::int32_t id) noexcept
{
    static UserModelArrays p;
    exchange::load_user_model_arrays(id, p);
    if (id < 1 || p.nreal < 2)
        nozzle_input_error("               must contain at least two values:",
                           "               number of nozzles, diameter");
    return {truncate_to_int(p.realparm(1)), p.realparm(2)};
}

NozzleFlow injnozzuser_solution(std::int32_t id, const NozzleInput& in) noexcept
{
    static UserModelArrays p;
    exchange::load_user_model_arrays(id, p);
    if (id < 1 || p.nreal < 3)
        nozzle_input_error("               must contain at least three values:",
                           "               number of nozzles, diameter, cd");
    const double n_nozzles = std::trunc(p.realparm(1));
    const double d_m = p.realparm(2);
    const double cd = p.realparm(3);

    require_positive("INJNOZZUSER_SOLUTION", 10, "density", in.rho_kg_m3);
    if (in.u_max_m_s < 0.0)
        argument_error("INJNOZZUSER_SOLUTION", 11, "largest velocity", "must not be negative", in.u_max_m_s);
    // the effective radius is sqrt(cd) d / 2
    if (cd < 0.0) parameter_error("INJNOZZUSER_SOLUTION", 3, "discharge coefficient", "must not be negative", cd);
    const double area_m2 = n_nozzles * kPi * d_m * d_m * 0.25;
    const double dp_Pa = std::abs(in.p1_Pa - in.p2_Pa);
    NozzleFlow r{};
    if (in.flow_switch > 0.0) {
        // Bernoulli velocity, capped, in the direction of the pressure drop
        const double u = std::min(std::sqrt(2.0 * dp_Pa / in.rho_kg_m3), in.u_max_m_s);
        r.u_m_s = std::copysign(std::abs(u), in.p1_Pa - in.p2_Pa);
        r.mdot_kg_s = cd * area_m2 * r.u_m_s * in.rho_kg_m3;
        r.vdot_m3_s = r.mdot_kg_s / in.rho_kg_m3;
    }
    r.p1_Pa = in.p1_Pa;
    r.upstream_copy = in.upstream_copy;
    // the discharge coefficient that keeps the ideal velocity within u_max
    r.cd = std::min(cd, in.u_max_m_s / std::sqrt(2.0 * std::max(dp_Pa, 1e-18) / in.rho_kg_m3));
    r.rho_kg_m3 = in.rho_kg_m3;
    r.r_eff_m = std::sqrt(r.cd) * d_m * 0.5;
    return r;
}

void engnoxuser(std::int32_t id, NoxStep& a)
{
    static UserModelArrays p;
    static Storage<double> zmno_old("ZMNO_OLD");
    static bool sized = false;
    exchange::load_user_model_arrays(id, p);
    if (!sized) {
        // one entry per cylinder, sized once for the life of the library
        zmno_old.assign({exchange::global_info().global_key1}, 0.0);
        sized = true;
    }

    if (a.source_switch == 1) a.nox = a.source * 0.001;
    else if (a.source_switch == 2) a.nox = a.reference * 0.001;

    double& old = zmno_old(a.cylinder);
    const double change = (std::abs(a.nox - old) / a.reference) / a.time_scale;
    if (change < 0.01 && a.compare > 50.0) a.status = 2;
    old = a.nox;
}

double engfric_user_valve(std::int32_t id, double factor) noexcept
{
    static UserModelArrays p;
    exchange::load_user_model_arrays(id, p);
    const double phi = friction_angle_deg();
    const double torque = p.realparm(9) * factor * (p.realparm(10) * std::sin(phi * 6.28318 / 180.0) + 1.0);
    exchange::user_plot_store(id, 3, kFrictionTitle, "Valvetrain Torque", "deg", "N-m", phi, torque);
    return torque;
}

double engfric_user_crank(std::int32_t id, std::int32_t bearing, double speed_rpm, double f1_N,
                          double f2_N) noexcept
{
    static UserModelArrays p;
    exchange::load_user_model_arrays(id, p);
    const double phi = friction_angle_deg();
    const double w = p.realparm(4) * 0.5 * speed_rpm * 3.14159 / 30.0;  // journal surface speed
    if (p.realparm(6) == 0.0) parameter_error("ENGFRIC_USER_CRANK", 6, "divisor of the torque", "must not be zero", 0.0);
    if (p.realparm(8) == 0.0) parameter_error("ENGFRIC_USER_CRANK", 8, "divisor of the load", "must not be zero", 0.0);
    const double f_N = std::sqrt(f1_N * f1_N + f2_N * f2_N);
    const double torque = (p.realparm(7) * w / p.realparm(6)) * p.realparm(4) * p.realparm(5) *
                          (f_N / p.realparm(8) + 1.0);
    // A speed, a bearing force or a parameter at the ends of the real range can carry the
    // torque beyond it: the one that reaches furthest is named.
    if (!std::isfinite(torque))
        beyond_real_range("ENGFRIC_USER_CRANK",
                          {{3, "engine speed", speed_rpm, factor_reach(speed_rpm)},
                           {4, "bearing force 1", f1_N, factor_reach(f1_N)},
                           {5, "bearing force 2", f2_N, factor_reach(f2_N)},
                           {4, "journal diameter", p.realparm(4), factor_reach(p.realparm(4)), true},
                           {5, "bearing factor", p.realparm(5), factor_reach(p.realparm(5)), true},
                           {6, "divisor of the torque", p.realparm(6), divisor_reach(p.realparm(6)), true},
                           {7, "viscous factor", p.realparm(7), factor_reach(p.realparm(7)), true},
                           {8, "divisor of the load", p.realparm(8), divisor_reach(p.realparm(8)), true}});
    if (bearing == 1)  // the curve is named by the bearing number
        exchange::user_plot_store(id, 2, kFrictionTitle, "Brg#1 Fric.Torque", "deg", "N-m", phi, torque);
    return torque;
}

double engfric_user_cyl(std::int32_t id, std::int32_t cylinder, double v_m_s, double load) noexcept
{
    static UserModelArrays p;
    exchange::load_user_model_arrays(id, p);
    const double phi = friction_angle_deg();
    if (p.realparm(3) == 0.0) parameter_error("ENGFRIC_USER_CYL", 3, "divisor of the velocity", "must not be zero", 0.0);
    const double stroke_m = exchange::cylinder_geometry(cylinder).stroke;
    // viscous ring friction plus a load term on the crank lever arm
    const double torque = p.realparm(1) * std::abs(v_m_s) + p.realparm(2) * load * (1.0 - v_m_s / p.realparm(3)) *
                                                                stroke_m * 0.5 * std::sin(phi * 3.14159 / 180.0);
    // A velocity or load at the ends of the real range can carry the torque beyond it.
    if (!std::isfinite(torque))
        beyond_real_range("ENGFRIC_USER_CYL",
                          {{7, "piston velocity", v_m_s, factor_reach(v_m_s)},
                           {8, "load", load, factor_reach(load)},
                           {1, "viscous factor", p.realparm(1), factor_reach(p.realparm(1)), true},
                           {2, "load factor", p.realparm(2), factor_reach(p.realparm(2)), true},
                           {3, "divisor of the velocity", p.realparm(3), divisor_reach(p.realparm(3)), true}});
    if (cylinder == 1)  // the curve is named by the cylinder number
        exchange::user_plot_store(id, 1, kFrictionTitle, "Cyl#1 Fric.Torque", "deg", "N-m", phi, torque);
    return torque;
}

double userliftu(std::int32_t id, double input, std::string_view trace_file) noexcept
{
    static UserModelArrays p;
    exchange::load_user_model_arrays(id, p);
    const double lift = 0.9 * input;
    if (exchange::global_info().state_int4 == 1) trace_lift(text::trim_right(trace_file), lift);
    return lift;
}

CompressorHook tccompuser(std::int32_t id) noexcept
{
    static UserModelArrays p;
    exchange::load_user_model_arrays(id, p);
    return {0.0, 1.0};
}

void tcturbuser(std::int32_t id, std::int32_t n, Array1<double> out15, Array1<double> out16) noexcept
{
    static UserModelArrays p;
    exchange::load_user_model_arrays(id, p);
    for (std::int32_t i = 1; i <= n; ++i) {
        out15(i) = 0.0;
        out16(i) = 1.0;
    }
}

double user_tctemp(std::int32_t id) noexcept
{
    static UserModelArrays p;
    exchange::load_user_model_arrays(id, p);
    return 300.0;
}

}  // namespace usersub::usermodels
