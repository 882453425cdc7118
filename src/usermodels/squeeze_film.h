// The gap terms of an oil film squeezed between a moving body and its seat,
// shared by every routine that computes a squeezed-film force.
#pragma once

namespace usersub::usermodels {

// How the viscous term of a film sees its gap: force = factor * K * mu * rate / gap^3.
struct FilmGap {
    double gap_m = 0.0;       // effective gap: never below 1e-9 m, nor below 1.5e-7 m while closing
    double rate_m_s = 0.0;    // effective gap rate: 0 leaves the viscous term out
    double factor = 1.0;      // ramp on the viscous term of a closing film
};

// Gap h_m (not limited, negative when pressed into the seat) opening at
// rate hd_m_s. A closing film is clamped to 1.5e-7 m and its viscous term
// ramped in by 1 - exp(-(0.05 h) / 1.5e-7); below the clamp gap there is no
// viscous term, and the ramp (which overflows for h below about -2.1e-3 m) is
// not evaluated: factor 0, rate 0.
FilmGap squeeze_film_gap(double h_m, double hd_m_s) noexcept;

}  // namespace usersub::usermodels
