// The NASA 9-coefficient form of a species' gas data: cp and h from the seven
// cp coefficients a1..a7 and the enthalpy constant b1, with the powers of T
// formed once per evaluation and shared by every species.
#pragma once

#include <array>
#include <cmath>
#include <cstring>
#include <cstddef>

namespace usersub::properties {

// The factor of the a5 T^3 term of h/R. Most routines use 1/3; a few fix a
// rounded value, which they pass where they call.
inline constexpr double kNasa9Third = 1.0 / 3.0;

// T^-2 .. T^5 and ln T of one temperature, and the powers of the enthalpy
// polynomial with their factors (T^2/2, T^3/3, T^4/4, T^5/5).
struct Nasa9Powers {
    double t_inv2 = 0.0;
    double t_inv = 0.0;
    double t = 0.0;
    double t2 = 0.0;
    double t3 = 0.0;
    double t4 = 0.0;
    double t5 = 0.0;
    double ln_t = 0.0;
    double t2_half = 0.0;
    double t3_third = 0.0;
    double t4_quarter = 0.0;
    double t5_fifth = 0.0;
};

inline Nasa9Powers nasa9_powers(double t_K) noexcept
{
    Nasa9Powers p;
    p.t = t_K;
    p.t_inv = 1.0 / t_K;
    p.t_inv2 = p.t_inv * p.t_inv;
    p.t2 = t_K * t_K;
    p.t3 = p.t2 * t_K;
    p.t4 = p.t3 * t_K;
    p.t5 = p.t4 * t_K;
    p.ln_t = std::log(t_K);
    p.t2_half = 0.5 * p.t2;
    p.t3_third = p.t3 * kNasa9Third;
    p.t4_quarter = 0.25 * p.t4;
    p.t5_fifth = 0.2 * p.t5;
    return p;
}


struct HCp {
    double h_J_kg = 0.0;
    double cp_J_kgK = 0.0;
};

// a: coefficient a1 of one coefficient set; stride: the distance between two
// coefficients of the set (3 in THERMO_COEF, 2 in the product data, 1 in a
// packed set), so a[k * stride] is coefficient k + 1 and a[7 * stride] is b1.
// r_J_kgK: the gas constant of the species (or mixture) per unit mass.
//   cp = R (a1/T^2 + a2/T + a3 + a4 T + a5 T^2 + a6 T^3 + a7 T^4)
//   h  = R (-a1/T + a2 ln T + a3 T + a4 T^2/2 + a5 T^3 third + a6 T^4/4 + a7 T^5/5 + b1)
inline HCp nasa9_h_cp(const double* a, std::ptrdiff_t stride, double r_J_kgK, const Nasa9Powers& p,
                      double third = kNasa9Third) noexcept
{
    const double a1 = a[0];
    const double a2 = a[stride];
    const double a3 = a[2 * stride];
    const double a4 = a[3 * stride];
    const double a5 = a[4 * stride];
    const double a6 = a[5 * stride];
    const double a7 = a[6 * stride];
    const double b1 = a[7 * stride];
    const double cp_R = a1 * p.t_inv2 + a2 * p.t_inv + a3 + a4 * p.t + a5 * p.t2 + a6 * p.t3 + a7 * p.t4;
    const double t3_third = third == kNasa9Third ? p.t3_third : p.t3 * third;
    const double h_R = -a1 * p.t_inv + a2 * p.ln_t + a3 * p.t + a4 * p.t2_half + a5 * t3_third +
                       a6 * p.t4_quarter + a7 * p.t5_fifth + b1;
    return {r_J_kgK * h_R, r_J_kgK * cp_R};
}

// The coefficients of several species summed with weights w (mass fraction
// over molecular weight), each species' own set: the formulas are linear in
// the coefficients, so the weighted sum of the species' h and cp is one
// evaluation of the summed set. The sums are kept in pairs, so that a
// contiguous set is added with four packed multiply-adds.
struct Nasa9Mix {
    using Pair = double __attribute__((vector_size(16)));
    Pair sum[4] = {};  // (a1, a2), (a3, a4), (a5, a6), (a7, b1)

    void add(const double* set, std::ptrdiff_t stride, double w) noexcept
    {
        const Pair wv = {w, w};
        for (int k = 0; k < 4; ++k) {
            Pair c;
            if (stride == 1)
                std::memcpy(&c, set + 2 * k, sizeof c);
            else
                c = Pair{set[2 * k * stride], set[(2 * k + 1) * stride]};
            sum[k] += wv * c;
        }
    }

    // The summed set a1..a7, b1, for nasa9_h_cp(..., 1, ...).
    std::array<double, 8> set() const noexcept
    {
        std::array<double, 8> a;
        std::memcpy(a.data(), sum, sizeof sum);
        return a;
    }
};

}  // namespace usersub::properties
