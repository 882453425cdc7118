// User functions of one and of two variables.
#pragma once

#include <cstdint>

namespace usersub::usermodels {

// y(x): mode 1 a power law A + B x^C, mode 2 a parabola A + B x + C x^2,
// any other mode 0.
double xyfunc_user(std::int32_t imodel, double x, double mode, double a, double b, double c) noexcept;

// z(x, y): function INTPARM(1) = 1 is C (x - x0)^EX (y - y0)^EY; every other
// function number gives 0.
struct XyzPowerLaw {
    double c = 0.0;
    double x0 = 0.0;
    double ex = 0.0;
    double y0 = 0.0;
    double ey = 0.0;
};
double xyzfunc_user(std::int32_t imodel, double x, double y, const XyzPowerLaw& law) noexcept;

}  // namespace usersub::usermodels
