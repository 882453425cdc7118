// User flow devices: lumped gas volumes of the host's flow network whose state
// a user routine computes. The example device advances mass, composition and
// energy from its port flows and a heat rate; the implicit device turns an
// enthalpy balance into a temperature and may be called for trial steps.
#pragma once

#include "common/array.h"

#include <cstdint>

namespace usersub::usermodels {

// One call of the example device. Port arrays have np entries (indexed by
// port number), composition arrays nsp species entries.
struct UfdStep {
    std::int32_t device;                      // d, 1..4
    std::int32_t ndev;                        // devices per case (sizes the first-call marks once)
    std::int32_t nsp;                         // species entries
    std::int32_t nc;                          // connected ports
    Array1<const std::int32_t> map_n_to_p;    // entry k: port number of connection k
    std::int32_t fluid_kind;                  // handed to the volume-state update
    double dt_s;
    Array1<const double> ulpg_m_s;            // port flow speed, positive into the device
    Array1<const double> uceng_m_s;           // port speed carried with inflow
    Array1<const double> tlpg_K;              // port-side temperature
    Array1<const double> plpg_Pa;             // port-side pressure
    Array1<const double> rhopg_kg_m3;         // density at the port
    Array1<const double> areapg_m2;           // flow area of the port
    ArrayN<const double, 2> rmspg;            // (np, nsp) port-side mass fractions
    double init_mass_kg;
    double init_p_Pa;
    double init_t_K;
    Array1<const double> fminit;              // nsp initial mass fractions
    double init_volume_m3;
    Array1<double> ulpu_m_s;                  // out: port speed
    Array1<double> plpu_Pa;                   // out: device pressure at the port
    Array1<double> tlpu_K;                    // out: device temperature at the port
    ArrayN<double, 2> rmspu;                  // out: (nsp, np) device mass fractions
    Array1<double> slpu;                      // out: force term at the port
    double time_s;                            // also the x value of the plot points
    double damping_switch;                    // damping active when above -1.0
    double damping_ref_time_s;
};

// One step of example device d: port balance, heat rate toward actuator 2,
// volume-state update, port outputs with the force term of actuator 1, and
// points of the pressure (bar) and temperature plots.
void ufdmodel(std::int32_t imodel, const UfdStep& a);

// End of a run: releases the example devices' pressure, temperature and
// composition and marks every (case, device) pair for a fresh start.
void clear_ufd_memory() noexcept;

// An empty routine kept with the devices; nothing calls it.
void empty_noarg_stub() noexcept;

// One call of the implicit device. Port arrays have np entries.
struct UfdImplicitStep {
    std::int32_t device;                      // d, 1..ndev
    std::int32_t init_switch;                 // a first call initialises only when 1
    bool accept;                              // the step's mass and enthalpy become the old values
    std::int32_t ndev;                        // sizes the saved tables at the first call
    std::int32_t nc;                          // connected ports
    double dt_s;
    double p_Pa;                              // device pressure
    double& t_K;                              // in: current temperature; out: new one
    double& mean_speed_m_s;                   // out
    double volume_m3;
    double p_prev_Pa;                         // device pressure of the previous step
    double* composition;                      // NSPECIES mass fractions
    Array1<const double> fmas_kg_s;           // port mass flow, negative out of the device
    Array1<const double> fmas_h_W;            // enthalpy flow entering at the port
    double& zero_out;                         // out: 0.0
    Array1<double> slpu;                      // out: 0.0 at every port
};

void ufdmodel_impl(std::int32_t imodel, const UfdImplicitStep& a);

}  // namespace usersub::usermodels
