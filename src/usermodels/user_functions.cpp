#include "usermodels/user_functions.h"

#include "exchange/user_models.h"
#include "usermodels/usermodel_common.h"

#include <cmath>

namespace usersub::usermodels {
namespace {

exchange::UserModelArrays g_xy_parms;
exchange::UserModelArrays g_xyz_parms;

}  // namespace

double xyfunc_user(std::int32_t imodel, double x, double mode, double a, double b, double c) noexcept
{
    exchange::load_user_model_arrays(imodel, g_xy_parms);
    if (mode == 1.0) return a + b * std::pow(x, c);
    if (mode == 2.0) return a + b * x + c * x * x;
    return 0.0;
}

double xyzfunc_user(std::int32_t imodel, double x, double y, const XyzPowerLaw& law) noexcept
{
    auto& p = g_xyz_parms;
    exchange::load_user_model_arrays(imodel, p);
    if (p.nint < 1) input_error({"No integer parameters defined for user model"});
    if (p.intparm(1) == 1) return law.c * std::pow(x - law.x0, law.ex) * std::pow(y - law.y0, law.ey);
    return 0.0;
}

}  // namespace usersub::usermodels
