// The power-series form of a species' data: the specific enthalpy as a
// polynomial in dT = T - TREF_THERMO, h = sum c_k dT^k, and cp = dh/dT. The
// powers of dT are formed once per evaluation and shared by every species.
#pragma once

#include "properties/mixture/nasa9_form.h"

#include <cstddef>

namespace usersub::properties {

// THERMO_COEF holds nine coefficients per set, so a series has at most nine terms.
inline constexpr int kSeriesMaxTerms = 9;

// dT^0 .. dT^8.
struct SeriesPowers {
    double d[kSeriesMaxTerms] = {};
};

inline SeriesPowers series_powers(double dt_K) noexcept
{
    SeriesPowers p;
    p.d[0] = 1.0;
    for (int k = 1; k < kSeriesMaxTerms; ++k) p.d[k] = p.d[k - 1] * dt_K;
    return p;
}

// c: coefficient c_0 (J/kg); stride: the distance between two coefficients.
// n terms (the caller keeps n within its array); n below 1 gives h = cp = 0.
//   h  = c_0 + c_1 dT + ... + c_(n-1) dT^(n-1)
//   cp = c_1 + 2 c_2 dT + ... + (n-1) c_(n-1) dT^(n-2)
inline HCp series_h_cp(const double* c, std::ptrdiff_t stride, int n, const SeriesPowers& p) noexcept
{
    HCp r;
    if (n < 1) return r;
    r.h_J_kg = c[0];
    for (int k = 1; k < n; ++k) {
        const double ck = c[k * stride];
        r.h_J_kg += ck * p.d[k];
        r.cp_J_kgK += k * ck * p.d[k - 1];
    }
    return r;
}

}  // namespace usersub::properties
