// Engine sub-models called per cylinder and step: the scavenging hook of a
// gas-exchange model.
#pragma once

#include "common/array.h"

#include <cstdint>

namespace usersub::usermodels {

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
