// One step of a secant iteration by reverse communication: the caller
// evaluates its function at x, hands the value in, and gets the next x to
// evaluate with a status. All iteration state lives in the caller's variables.
#pragma once

#include <cstdint>

namespace usersub::properties {

inline constexpr std::int32_t kSecantGoOn = 0;
inline constexpr std::int32_t kSecantConverged = 1;
inline constexpr std::int32_t kSecantLimit = 2;

// count:         steps taken in this iteration (restarted by a negative status)
// min_steps:     convergence and the step limit are tested only above this count
// max_steps:     count at which the iteration gives up (status 2)
// status:        negative on entry restarts; out 0 go on, 1 converged, 2 limit
// value, target: function value at x and the value sought
// prev_residual: residual of the previous call, replaced by this call's
// x, prev_x:     current argument (replaced by the next) and the one before it
// step:          out, the step just taken
// x_second:      argument evaluated second, used on the first call only
// damping:       strength of the step damping
// tolerances:    absolute and relative, of the step and of the residual
// x_scale, r_scale: lower bounds of the relative scales (0: formed from the values)
void secant_step(std::int32_t& count, std::int32_t min_steps, std::int32_t max_steps,
                 std::int32_t& status, double value, double target, double& prev_residual,
                 double& x, double& prev_x, double& step, double x_second, double damping,
                 double abs_step_tol, double rel_step_tol, double abs_res_tol,
                 double rel_res_tol, double x_scale, double r_scale) noexcept;

}  // namespace usersub::properties
