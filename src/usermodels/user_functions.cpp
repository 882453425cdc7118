#include "usermodels/user_functions.h"

#include "exchange/user_models.h"
#include "usermodels/argument_checks.h"
#include "usermodels/usermodel_common.h"

#include <cmath>

namespace usersub::usermodels {
namespace {

exchange::UserModelArrays g_xy_parms;
exchange::UserModelArrays g_xyz_parms;

// base^exponent as a real power, defined only for a positive base, a zero base
// under a non-negative exponent, or a negative base under an integral exponent;
// anything else is a host error naming the base's argument.
double real_power(std::string_view entry, std::int32_t position, std::string_view what, double base,
                  double exponent) noexcept
{
    if (base < 0.0 && exponent != std::trunc(exponent))
        argument_error(entry, position, what, "must not be negative under a non-integral exponent", base);
    if (base == 0.0 && exponent < 0.0)
        argument_error(entry, position, what, "must not be zero under a negative exponent", base);
    return std::pow(base, exponent);
}

}  // namespace

double xyfunc_user(std::int32_t imodel, double x, double mode, double a, double b, double c) noexcept
{
    exchange::load_user_model_arrays(imodel, g_xy_parms);
    double y = 0.0;
    if (mode == 1.0) y = a + b * real_power("XYFUNC_USER", 1, "x", x, c);
    else if (mode == 2.0) y = a + b * x + c * x * x;
    if (!std::isfinite(y)) argument_error("XYFUNC_USER", 1, "x", kBeyondRealRange, x);
    return y;
}

double xyzfunc_user(std::int32_t imodel, double x, double y, const XyzPowerLaw& law) noexcept
{
    auto& p = g_xyz_parms;
    exchange::load_user_model_arrays(imodel, p);
    if (p.nint < 1) input_error({"No integer parameters defined for user model"});
    if (p.intparm(1) != 1) return 0.0;
    const double z = law.c * real_power("XYZFUNC_USER", 1, "x less x0", x - law.x0, law.ex) *
                     real_power("XYZFUNC_USER", 2, "y less y0", y - law.y0, law.ey);
    if (!std::isfinite(z)) argument_error("XYZFUNC_USER", 1, "x", kBeyondRealRange, x);
    return z;
}

}  // namespace usersub::usermodels
