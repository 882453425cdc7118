// Mechanical connection and external-force user models: a connection force
// from the displacements and velocities of two ends (spring and damper,
// contact with a gap, squeezed oil film) and a linear external force.
#pragma once

#include "common/array.h"

#include <cstdint>

namespace usersub::usermodels {

// An oil film squeezed between two plates, annular (r_inner_m > 0) or
// circular (r_inner_m = 0). Pressures in Pa, viscosity in Pa s.
struct SqueezeFilm {
    double r_inner_m = 0.0;
    double r_outer_m = 0.0;
    double p_inner_Pa = 0.0;
    double p_outer_Pa = 0.0;
    double mu_Pa_s = 0.0;
    double p_vapour_Pa = 0.0;
};

// Force of the film (N) at gap h_m opening at hdot_m_s: a viscous term that
// resists the gap change plus the pressure load, never below area x vapour
// pressure. A closing film is clamped to a 1.5e-7 m gap and ramped in.
double squeeze_film_force(const SqueezeFilm& film, double h_m, double hdot_m_s) noexcept;

// Connection force between two ends: x and v are the displacements and
// velocities (entries 1 and 4 for the two ends), f receives the forces
// (entry 4 on the second end, entry 1 its negative).
void mec_user_ucon(Array1<const double> x, Array1<const double> v, Array1<double> f,
                   std::int32_t imodel) noexcept;

// External force of a linear law: REALPARM(1) x1 + REALPARM(2) x2.
double mec_user_extf(std::int32_t imodel, double x1, double x2) noexcept;

}  // namespace usersub::usermodels
