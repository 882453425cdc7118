// Connection geometry of a cone seat described by four diameters and up to
// three angles: its flow side (three flow areas, hydraulic diameters, lengths,
// displaced volumes), its mechanical side (the diameter at which the pressures
// change over and the pressure force), and the fixed check-valve coefficient.
// Lengths in m, angles in radians, pressures in Pa.
#pragma once

#include <cstdint>

namespace usersub::usermodels {

struct FlowCpcsGeometry {
    double d1_m = 0.0, d2_m = 0.0, d3_m = 0.0, d4_m = 0.0;
    double alpha = 0.0, beta = 0.0, gamma = 0.0;
};

struct FlowCpcsResult {
    double a1_m2 = 0.0, a2_m2 = 0.0, a3_m2 = 0.0;     // flow areas
    double l1_m = 0.0, l2_m = 0.0;                    // face lengths
    double v1_m3 = 0.0, v2_m3 = 0.0, v3_m3 = 0.0;     // displaced volumes
    double dh1_m = 0.0, dh2_m = 0.0, dh3_m = 0.0;     // hydraulic diameters
};

// Flow side at lift x_m; the displaced volumes count from x_ref_m.
FlowCpcsResult user_flow_cpcs(std::int32_t imodel, double x_m, double x_ref_m,
                              const FlowCpcsGeometry& g) noexcept;

struct MecCpcsGeometry {
    double d0_m = 0.0, d1_m = 0.0, d2_m = 0.0, d3_m = 0.0;
    double alpha = 0.0, beta = 0.0;
};

struct MecCpcsResult {
    double force_N = 0.0;
    double d_change_m = 0.0;  // change-over diameter
};

// Mechanical side at lift x_m with the pressures pA, pB, pC; orientation s
// multiplies the force. three_pressures selects the form that lets pB act
// between D1 and the change-over diameter.
MecCpcsResult user_mec_cpcs(std::int32_t imodel, std::int32_t s, double x_m, double pa_Pa,
                            double pb_Pa, double pc_Pa, const MecCpcsGeometry& g,
                            bool three_pressures) noexcept;

// The flow coefficient of a check valve: 0.6.
double hla_cv_flow_coef(std::int32_t imodel) noexcept;

}  // namespace usersub::usermodels
