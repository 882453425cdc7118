#include "usermodels/harness_models.h"

#include "exchange/harness.h"
#include "exchange/run_info.h"
#include "exchange/user_models.h"
#include "exchange/user_plots.h"
#include "usermodels/argument_checks.h"
#include "usermodels/usermodel_common.h"

#include <algorithm>
#include <cmath>

namespace usersub::usermodels {
namespace {

exchange::UserModelArrays g_harness_parms;

constexpr std::int32_t kOrificeLaw = 999;
constexpr std::int32_t kPassThrough = 123;

}  // namespace

void user_harness(bool skip, std::int32_t imodel, double dt_s, Array1<const double> u,
                  Array1<double> y, std::int32_t iharn) noexcept
{
    auto& p = g_harness_parms;
    exchange::load_user_model_arrays(imodel, p);
    const double t_s = exchange::global_info().sim_time_s;
    if (p.nint < 1) input_error({"No integer parameters defined for user model"});

    const std::int32_t law = p.intparm(1);
    if (law == kOrificeLaw) {
        // REALPARM: (1) lag time constant s, (2) opening pressure difference,
        // (3) largest diameter, (4) diameter gain per pressure difference.
        if (p.nreal < 4) input_error({"USERHARNESS error:  Check UserModel input"});
        if (!skip) {
            const double dp = u(1) - u(2);
            if (dp <= p.realparm(2)) {
                y(1) = 0.0;
            } else {
                // a step back in time would turn the lag's factor r / (r + 1) unbounded
                if (dt_s < 0.0) argument_error("USERHARNESS", 3, "time step", "must not be negative", dt_s);
                const double d_target = std::min(p.realparm(3) * p.realparm(4) * (dp - p.realparm(2)),
                                                 p.realparm(3));
                const double r = dt_s / std::max(p.realparm(1), 1e-20);
                // Implicit first-order lag from the previous diameter. A step so long against
                // the lag time that (D - y) r overflows has reached D.
                const double step = (d_target - y(1)) * r;
                y(1) = std::isfinite(step) ? y(1) + step / (r + 1.0) : d_target;
            }
        }
    } else if (law == kPassThrough) {
        for (std::int64_t k = 1; k <= 16; ++k) y(k) = u(k);
        y(17) = u(18);  // input 17 is not passed on
        y(18) = u(19);
    } else {
        const auto gactu = exchange::gactu();
        for (std::int64_t k = 1; k <= y.size(); ++k) y(k) = gactu(k, iharn);
    }
    exchange::user_plot_store(imodel, 1, "User Harness Model", "Orifice Diameter", "sec", "mm", t_s, y(1));
}

}  // namespace usersub::usermodels
