// The sample user routine of a signal harness: an orifice diameter from a
// pressure difference with a first-order lag, a pass-through of the inputs,
// or a copy of the harness's actuator values.
#pragma once

#include "common/array.h"

#include <cstdint>

namespace usersub::usermodels {

// u: the harness inputs, y: the harness outputs (y(1) on entry holds the
// host's previous output), dt_s the time step, iharn the harness number.
// skip set leaves the orifice law uncomputed; y(1) is plotted over time in
// every case.
void user_harness(bool skip, std::int32_t imodel, double dt_s, Array1<const double> u,
                  Array1<double> y, std::int32_t iharn) noexcept;

}  // namespace usersub::usermodels
