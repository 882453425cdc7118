// Vehicle and electrical user models: brake, tyre friction, battery
// performance and temperature, and the power distribution of a hybrid drive.
#pragma once

#include "common/array.h"

#include <array>
#include <cstdint>

namespace usersub::usermodels {

// Brake law: 100 b + 0.01 a.
double veh_brake_user(std::int32_t imodel, double a, double b) noexcept;

// Tyre friction coefficient from the two speeds and the normal load Fz_N.
double dyn_tire_user(std::int32_t imodel, double speed_a, double speed_b, double fz_N) noexcept;

// Battery performance: six results, all 0.
std::array<double, 6> ele_batr_user_perf(std::int32_t imodel) noexcept;

// Battery temperature, K.
double ele_batr_user_temp(std::int32_t imodel) noexcept;

// Power-distribution controller of a hybrid drive: splits the power demand of
// the input signals u between the sources (outputs y, in kW) with two
// hysteresis switches and a proportional-integral loop. q1 and q3 drive the
// switches, q2 is the loop feedback. Keeps one set of switches, last time and
// error integral for the whole process.
void user_hev_power_distribution(std::int32_t imodel, Array1<const double> u, Array1<double> y,
                                 double q1, double q2, double q3) noexcept;

}  // namespace usersub::usermodels
