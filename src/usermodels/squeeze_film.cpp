#include "usermodels/squeeze_film.h"

#include "usermodels/usermodel_common.h"

#include <algorithm>
#include <cmath>

namespace usersub::usermodels {

FilmGap squeeze_film_gap(double h_m, double hd_m_s) noexcept
{
    constexpr double kClampGap_m = 1.5e-7;
    FilmGap g;
    g.gap_m = std::max(h_m, 1e-9);
    g.rate_m_s = hd_m_s;
    if (hd_m_s < 0.0) {
        g.gap_m = std::max(g.gap_m, kClampGap_m);
        if (h_m < kClampGap_m) {  // closed onto the seat: no viscous term
            g.rate_m_s = 0.0;
            g.factor = 0.0;
        } else {
            g.factor = 1.0 - std::exp(-(0.05 * h_m) / kClampGap_m);
        }
    }
    return g;
}

double annular_film_force(double r_in_m, double r_out_m, double p_in_Pa, double p_out_Pa, double p_vapour_Pa,
                          double mu_Pa_s, const FilmGap& gap) noexcept
{
    const double ring_m2 = r_out_m * r_out_m - r_in_m * r_in_m;
    const double w = 1.0 / (2.0 * std::log(r_out_m / r_in_m)) - r_in_m * r_in_m / ring_m2;
    const double area_m2 = kPi * ring_m2;
    const double gap3 = gap.gap_m * gap.gap_m * gap.gap_m;
    const double viscous_N = gap.factor * 3.0 * kPi * ring_m2 * ring_m2 * (w - 0.5) * mu_Pa_s * gap.rate_m_s / gap3;
    const double force_N = viscous_N + area_m2 * (p_in_Pa * w + p_out_Pa * (1.0 - w));
    return std::max(force_N, area_m2 * p_vapour_Pa);
}

}  // namespace usersub::usermodels
