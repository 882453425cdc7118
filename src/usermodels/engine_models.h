// In-cylinder sub-models: the cosine burn law, Woschni- and Hohenberg-type
// wall heat transfer, liquid-fuel evaporation, the jet-ignition delay
// integral, and the flame-speed and charge-motion hooks. Angles in degrees.
#pragma once

#include "common/array.h"

#include <cstdint>

namespace usersub::usermodels {

// One step of the burn law; the host's arguments carry its state from call to call.
struct BurnStep {
    std::int32_t& output_flag;      // always 1
    std::int32_t& status;           // 0 or 1 while running, 2 ended
    double theta_deg;
    double step_deg;                // divides the plotted burn rate
    double& dx;                     // burn-fraction increment of the step
    double& x;                      // burn fraction
    double& x_old;                  // burn fraction of the previous step
    Array1<const double> unburned;  // UMASCOMB, per species
    Array1<double> burned;          // DMASCOMB, per species, out
    Array1<const double> residual;  // FUELRESTM, per species
    double& end_deg;                // 9000 until the burn ends
    double& start_deg;              // above 8000: not set
    double& start_out_deg;
    Array1<const std::int32_t> mfliq;  // species listed at the first time step
};
void engcombuser(std::int32_t id, std::int32_t n_species, BurnStep& a) noexcept;

struct CylinderGasState {
    std::int32_t cylinder;      // 1 to 20
    std::int32_t phase;         // 0 while the reference state is taken
    double bore_m;
    double stroke_m;
    double volume_m3;
    double piston_speed_m_s;    // mean piston speed
    double p_Pa;
    double t_K;
    double polytropic_exp;
    double theta_deg;
};
struct WallHeatTransfer {
    double woschni_W_m2K;
    double hohenberg_W_m2K;
};
WallHeatTransfer engheattruser(std::int32_t id, const CylinderGasState& s) noexcept;

struct EvaporationStep {
    std::int32_t cylinder;
    std::int32_t n_species;
    Array1<const double> liquid_mass;     // MASS, per species
    double theta_deg;
    double factor;                        // multiplies the rate
    double state1;                        // reference 600
    double state2;                        // reference 4000
    std::int32_t n_injectors;
    Array1<const std::int32_t> injectors; // INJ_INDEX
    std::int32_t n_valves;
    Array1<const std::int32_t> valves;    // VALVE_INDEX
    Array1<double> evaporated;            // EVAPORATED_MASS, per species, out
    Array1<double> zero3;                 // three entries set to 0
};
void userengcylevaporation(std::int32_t id, EvaporationStep& a) noexcept;

struct JetIgnitionStep {
    std::int32_t flow_switch;      // 1: compute the output factor
    double phi;                    // equivalence ratio
    Array1<const double> t_zone_K; // TMPS, at least 5 zones
    Array1<const double> m_zone;   // SMAS
    double t_offset_K;
    double p;
    double integral_start;
    double& integral_end;
    double delay_factor;
    double p_exponent;
    double t_activation_K;
    double dt_s;
    double& output_factor;
    double v19, v20, v21, v22;     // values of the output factor's formula
};
void jetignitionusr(std::int32_t id, JetIgnitionStep& a) noexcept;

// The hooks that return constants.
double lamflspeeduser(std::int32_t id) noexcept;                 // 0.5
double turbflspeeduser(std::int32_t id, double arg6) noexcept;   // 100 arg6
void swirl_user(std::int32_t id, double& ratio, Array1<double> four) noexcept;
void tumble_user(std::int32_t id, double& out25, double& out26) noexcept;
void turbulence_user(std::int32_t id, double& out24, double& out25, double& out26) noexcept;

}  // namespace usersub::usermodels
