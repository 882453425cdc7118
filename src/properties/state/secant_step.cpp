#include "properties/state/secant_step.h"

#include <algorithm>
#include <cmath>

namespace usersub::properties {

void secant_step(std::int32_t& count, std::int32_t min_steps, std::int32_t max_steps,
                 std::int32_t& status, double value, double target, double& prev_residual,
                 double& x, double& prev_x, double& step, double x_second, double damping,
                 double abs_step_tol, double rel_step_tol, double abs_res_tol,
                 double rel_res_tol, double x_scale, double r_scale) noexcept
{
    const double r = value - target;
    count = status < 0 ? 1 : count + 1;
    const double r_old = prev_residual;
    prev_residual = r;

    if (count < 2) {  // first call: move to the second start point
        prev_x = x;
        x = x_second;
        step = x_second - prev_x;
        status = kSecantGoOn;
        return;
    }

    const double dr = r - r_old;
    const double dx = x - prev_x;
    double s;
    if (std::abs(dr) >= 1.0e-18) {
        s = -dx * r / dr;
        // Damping relative to the size of the argument: a step as large as
        // |x| / damping is halved. At x = prev_x = 0 the step is 0 already.
        const double x_size = std::max(std::abs(x), std::abs(prev_x));
        if (x_size > 0.0) s /= std::abs(s) * damping / x_size + 1.0;
    } else {
        s = 0.1 * dx;  // flat residual: a tenth of the last change
    }
    const double x_before = x;
    prev_x = x;
    x += s;
    step = s;

    if (count <= min_steps) {
        status = kSecantGoOn;
        return;
    }
    if (count >= max_steps) {
        status = kSecantLimit;
        return;
    }

    const double x_s = std::max({std::abs(x), std::abs(x_before), x_scale == 0.0 ? 1.0e-18 : x_scale});
    const double r_s = std::max({std::abs(value), std::abs(target), r_scale == 0.0 ? 1.0e-18 : r_scale});
    const bool converged = std::abs(s) <= abs_step_tol && std::abs(r) <= abs_res_tol &&
                           std::abs(s) / x_s <= rel_step_tol && std::abs(r) / r_s <= rel_res_tol;
    status = converged ? kSecantConverged : kSecantGoOn;
}

}  // namespace usersub::properties
