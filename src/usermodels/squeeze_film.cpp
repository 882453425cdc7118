#include "usermodels/squeeze_film.h"

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

}  // namespace usersub::usermodels
