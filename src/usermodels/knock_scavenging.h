// Engine sub-models called per cylinder and step: a knock model that
// integrates the reciprocal ignition delay over the compression, and the
// scavenging hook of a gas-exchange model.
#pragma once

#include "common/array.h"

#include <cstdint>

namespace usersub::usermodels {

inline constexpr std::int32_t kKnockCylinders = 30;

// The cylinder state the host passes to the knock model.
struct KnockInputs {
    double p_Pa = 0.0;
    double t_K = 0.0;
    double dt_s = 0.0;
    double index_divisor = 0.0;    // the knock index is divided by it
    double index_fraction = 0.0;   // the knock index is scaled by (1 - it)
};

// One step of the knock integral of cylinder c (1..30). status 1 on entry
// starts a new integration (status -1 back when the charge holds no fuel);
// knock sets status -1, writes the knock index to knock_index and to the
// harness actuator (c, 1), and reports it on standard output. fconc: the
// fuel amounts per species.
void knock_user(std::int32_t imodel, std::int32_t c, std::int32_t& status, const KnockInputs& in,
                Array1<const double> fconc, double& knock_index) noexcept;

// What the scavenging hook hands back to the host.
struct ScavengeOutputs {
    std::int32_t& status;
    double& value_a;          // treatment 1: the pass-through value
    double& value_b;          // treatment 1: the pass-through value
    Array1<double> comp_a;    // other treatments: copies of the composition
    Array1<double> comp_b;
    double& window_start_deg;
    double& window_end_deg;
    double& ratio;
};

// Treatment INTPARM(1) = 1 hands back pass_value and num / den; any other
// treatment reports status 2 inside the window REALPARM(1)..REALPARM(2)
// (a negative crank angle counted from 360) and copies the composition.
void scavenge_user(std::int32_t imodel, double crank_deg, double num, double den, double pass_value,
                   Array1<const double> comp, const ScavengeOutputs& out) noexcept;

}  // namespace usersub::usermodels
