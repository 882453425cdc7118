#include "usermodels/vehicle_electrical_models.h"

#include "exchange/run_info.h"
#include "exchange/user_models.h"
#include "usermodels/argument_checks.h"
#include "usermodels/usermodel_common.h"

#include <algorithm>
#include <cmath>

namespace usersub::usermodels {
namespace {

exchange::UserModelArrays g_brake_parms;
exchange::UserModelArrays g_tire_parms;
exchange::UserModelArrays g_batr_perf_parms;
exchange::UserModelArrays g_batr_temp_parms;
exchange::UserModelArrays g_hev_parms;

// Saved state of the power distribution, shared by every model using it.
struct HevState {
    std::int32_t switch1 = 0;
    std::int32_t switch2 = 0;
    double last_time_s = 0.0;
    double error_integral = 0.0;
};
HevState g_hev;

}  // namespace

double veh_brake_user(std::int32_t imodel, double a, double b) noexcept
{
    exchange::load_user_model_arrays(imodel, g_brake_parms);
    const double torque = 100.0 * b + 0.01 * a;
    if (!std::isfinite(torque))
        beyond_real_range("VEH_BRAKE_USER", {{3, "second input", b, factor_reach(100.0 * b)},
                                             {2, "first input", a, factor_reach(0.01 * a)}});
    return torque;
}

double dyn_tire_user(std::int32_t imodel, double speed_a, double speed_b, double fz_N) noexcept
{
    exchange::load_user_model_arrays(imodel, g_tire_parms);
    // A standing wheel (speed A = 0) would make the speed term unbounded:
    // it keeps the base friction only.
    if (speed_a == 0.0) return 0.15;
    // Slip against the faster of the two speeds (B > 0 in the second form).
    double slip = std::abs(speed_a) > speed_b ? (speed_b - speed_a) / speed_a : (speed_b - speed_a) / speed_b;
    slip = std::clamp(slip, -1.0, 1.0);
    // No slip, no slip-dependent friction, even where the load or speed power overflows.
    if (slip == 0.0) return 0.15;
    // A wheel lifting off (negative normal load) carries no load-dependent friction.
    if (fz_N < 0.0) fz_N = 0.0;
    const double mu = 0.15 + 0.001 * std::abs(slip) * std::pow(fz_N / 1500.0, 1.05) *
                                 std::pow(std::abs(speed_a) / 10.0, -1.25);
    // A wheel all but standing under a huge load: the speed term leaves the real range.
    if (!std::isfinite(mu))
        argument_error("DYN_TIRE_USER", 2, "speed A", kBeyondRealRange, speed_a);
    return mu;
}

std::array<double, 6> ele_batr_user_perf(std::int32_t imodel) noexcept
{
    exchange::load_user_model_arrays(imodel, g_batr_perf_parms);
    return {0.0, 0.0, 0.0, 0.0, 0.0, 0.0};
}

double ele_batr_user_temp(std::int32_t imodel) noexcept
{
    exchange::load_user_model_arrays(imodel, g_batr_temp_parms);
    return 300.0;
}

void user_hev_power_distribution(std::int32_t imodel, Array1<const double> u, Array1<double> y,
                                 double q1, double q2, double q3) noexcept
{
    auto& p = g_hev_parms;
    exchange::load_user_model_arrays(imodel, p);
    for (double& out : y.all()) out = 0.0;

    const double p_demand = u(2);
    const double p_engine = u(11);
    const bool forced_mode = std::round(u(12)) == 1.0;  // halves away from zero

    if (p.nreal < 10) input_error({"Not enough real parameters defined for the user model."});
    const auto r = [&p](std::int64_t k) { return p.realparm(k); };

    const double t = exchange::global_info().sim_time_s;
    if (t <= 0.0) g_hev = HevState{};
    const double dt = t - g_hev.last_time_s;

    // Hysteresis switches: switch 1 on above R2, off below R1; switch 2 on
    // below R4, off above R3. The off test follows the on test, so with
    // crossed thresholds a switch turned on is turned off again at once.
    if (g_hev.switch1 == 0 && q1 > r(2)) g_hev.switch1 = 1;
    if (g_hev.switch1 == 1 && q1 < r(1)) g_hev.switch1 = 0;
    if (g_hev.switch2 == 0 && q3 < r(4)) g_hev.switch2 = 1;
    if (g_hev.switch2 == 1 && q3 > r(3)) g_hev.switch2 = 0;

    const double pp = std::max(p_demand, 0.0);
    const double pn = std::min(p_demand, 0.0);
    const double pn_limited = std::max(pn, -r(6));
    const double pn_excess = std::min(pn + r(6), 0.0);

    double y1 = 0.0, y2 = 0.0, y3 = 0.0, flag = 0.0;
    if (g_hev.switch1 == 0) {
        y2 = pp + pn_limited;
        if (forced_mode) {
            y3 = r(7);
        } else if (g_hev.switch2 == 1) {
            y3 = std::min(-r(5), 0.0);
        }
        if (std::abs(y3) > 0.0 || q1 > r(2) - 5.0) {
            flag = 1.0;
            const double e = r(8) - q2;
            g_hev.error_integral += e * dt;
            y1 = r(9) * e + r(10) * g_hev.error_integral;  // PI loop
        }
    } else {
        const double d = pp - p_engine;
        y2 = std::max(d, 0.0);
        y3 = (d <= 0.0 && g_hev.switch2 == 1) ? d : 0.0;
        y1 = (d <= 0.0 && g_hev.switch2 == 0) ? pp : p_engine;
        flag = 1.0;
    }

    y(1) = 0.001 * y1;
    y(2) = 0.001 * y2;
    y(3) = 0.001 * y3;
    y(4) = 0.001 * pn_excess;
    y(11) = g_hev.switch1;
    y(12) = g_hev.switch2;
    y(13) = flag;
    g_hev.last_time_s = t;
}

}  // namespace usersub::usermodels
