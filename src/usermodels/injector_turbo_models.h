// Injector nozzle geometry and flow, the NOx convergence example, friction
// torque examples, the valve-lift function with its trace file, and the
// turbocharger hooks.
#pragma once

#include "common/array.h"

#include <cstdint>
#include <string_view>

namespace usersub::usermodels {

struct NozzleGeometry {
    std::int32_t count;
    double diameter_m;
};
NozzleGeometry injnozzuser_getdim(std::int32_t id) noexcept;

struct NozzleInput {
    double flow_switch;   // flow only when above 0
    double p1_Pa;         // upstream pressure
    double upstream_copy; // passed through
    double p2_Pa;         // downstream pressure
    double rho_kg_m3;
    double u_max_m_s;
};
struct NozzleFlow {
    double mdot_kg_s;
    double u_m_s;
    double p1_Pa;
    double upstream_copy;
    double vdot_m3_s;
    double cd;            // limited discharge coefficient
    double rho_kg_m3;
    double zero1, zero2, zero3;
    double r_eff_m;       // effective radius sqrt(cd) d / 2
};
NozzleFlow injnozzuser_solution(std::int32_t id, const NozzleInput& in) noexcept;

struct NoxStep {
    std::int32_t cylinder;
    std::int32_t source_switch;  // 1 or 2 choose the source; else nox is kept
    double compare;              // status is set only when above 50
    double time_scale;
    double reference;
    double source;
    double& nox;                 // in/out
    std::int32_t& status;        // out: 2 once converged
};
void engnoxuser(std::int32_t id, NoxStep& a);

// Friction torques, N m.
double engfric_user_valve(std::int32_t id, double factor) noexcept;
double engfric_user_crank(std::int32_t id, std::int32_t bearing, double speed_rpm, double f1_N,
                          double f2_N) noexcept;
double engfric_user_cyl(std::int32_t id, std::int32_t cylinder, double v_m_s, double load) noexcept;

// Lift = 0.9 x input; while the run state asks for it, one line of the trace
// file named trace_file.
double userliftu(std::int32_t id, double input, std::string_view trace_file) noexcept;

struct CompressorHook {
    double out8, out9;
};
CompressorHook tccompuser(std::int32_t id) noexcept;
void tcturbuser(std::int32_t id, std::int32_t n, Array1<double> out15, Array1<double> out16) noexcept;
double user_tctemp(std::int32_t id) noexcept;

}  // namespace usersub::usermodels
