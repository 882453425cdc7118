#include "usermodels/knock_scavenging.h"

#include "exchange/user_models.h"
#include "usermodels/usermodel_common.h"

#include <algorithm>

namespace usersub::usermodels {
namespace {

exchange::UserModelArrays g_scavenge_parms;

}  // namespace

void scavenge_user(std::int32_t imodel, double crank_deg, double num, double den, double pass_value,
                   Array1<const double> comp, const ScavengeOutputs& out) noexcept
{
    auto& p = g_scavenge_parms;
    exchange::load_user_model_arrays(imodel, p);
    if (p.nint == 0) input_error({"No integer parameters defined for user model"});
    if (p.nreal < 2) input_error({"\"UserModel\" error (Scavenging): Check \"UserModel\" input"});

    out.window_start_deg = p.realparm(1);
    out.window_end_deg = p.realparm(2);
    out.ratio = 1.0;
    if (p.intparm(1) == 1) {
        out.value_b = pass_value;
        out.value_a = pass_value;
        out.ratio = num / den;
        out.status = 0;
        return;
    }
    const double theta_deg = crank_deg < 0.0 ? crank_deg + 360.0 : crank_deg;
    if (p.realparm(1) <= theta_deg && theta_deg <= p.realparm(2)) out.status = 2;
    for (std::int64_t k = 1; k <= comp.size(); ++k) {
        out.comp_b(k) = comp(k);
        out.comp_a(k) = comp(k);
    }
}

}  // namespace usersub::usermodels
