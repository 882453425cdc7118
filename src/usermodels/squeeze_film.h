// The gap terms and the force of an oil film squeezed between a moving body
// and its seat, shared by every routine that computes a squeezed-film force.
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

// Force of an annular film between the radii r_in and r_out (r_in not 0; the
// two of one sign and apart), at the pressures p_in and p_out on its rims:
// the ring area pi (r_out^2 - r_in^2) at the mean pressure, which weighs p_in
// by w = 1 / (2 ln(r_out / r_in)) - r_in^2 / (r_out^2 - r_in^2), plus the
// viscous term factor 3 pi (r_out^2 - r_in^2)^2 (w - 1/2) mu rate / gap^3 of
// the gap; never below the vapour pressure over the area (the film cavitates).
double annular_film_force(double r_in_m, double r_out_m, double p_in_Pa, double p_out_Pa, double p_vapour_Pa,
                          double mu_Pa_s, const FilmGap& gap) noexcept;

}  // namespace usersub::usermodels
