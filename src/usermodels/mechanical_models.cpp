#include "usermodels/mechanical_models.h"

#include "common/output.h"
#include "common/run_stop.h"
#include "exchange/user_models.h"
#include "usermodels/argument_checks.h"
#include "usermodels/squeeze_film.h"
#include "usermodels/usermodel_common.h"

#include <algorithm>
#include <array>
#include <cmath>

namespace usersub::usermodels {
namespace {

// Film data of up to 20 connection models, by identifier. Refilled with the
// defaults at the start of every connection call, before anything reads it.
constexpr std::int32_t kSqzModels = 20;
struct SqzBlock {
    std::array<double, kSqzModels> p_inner_Pa{};
    std::array<double, kSqzModels> p_outer_Pa{};
    std::array<double, kSqzModels> mu_Pa_s{};
    std::array<double, kSqzModels> p_vapour_Pa{};
};
SqzBlock g_sqz;

void refill_sqz() noexcept
{
    g_sqz.p_inner_Pa.fill(200000.0);
    g_sqz.p_outer_Pa.fill(100000.0);
    g_sqz.mu_Pa_s.fill(0.003);
    g_sqz.p_vapour_Pa.fill(100.0);
}

double sqz_entry(const char* name, const std::array<double, kSqzModels>& a, std::int32_t imodel) noexcept
{
    return Array1<const double>(name, a.data(), kSqzModels)(imodel);
}

exchange::UserModelArrays g_ucon_parms;
exchange::UserModelArrays g_extf_parms;

[[noreturn]] void too_few_reals(std::int32_t required) noexcept
{
    out::list("User Model error (UserMechConn):");
    out::list("Number of Real parameters in UserModel object should be ", required);
    stop_run();
}

}  // namespace

double squeeze_film_force(const SqueezeFilm& film, double h_m, double hdot_m_s) noexcept
{
    const FilmGap gap = squeeze_film_gap(h_m, hdot_m_s);
    const double r1 = film.r_inner_m;
    const double r2 = film.r_outer_m;
    if (r1 != 0.0)
        return annular_film_force(r1, r2, film.p_inner_Pa, film.p_outer_Pa, film.p_vapour_Pa, film.mu_Pa_s, gap);
    // A circular film: the outer pressure over the disc, less its viscous term.
    const double area_m2 = kPi * r2 * r2;
    const double r2_4 = r2 * r2 * r2 * r2;
    const double he3 = gap.gap_m * gap.gap_m * gap.gap_m;
    const double force_N = area_m2 * film.p_outer_Pa - 1.5 * kPi * r2_4 * film.mu_Pa_s * gap.rate_m_s / he3;
    return std::max(force_N, area_m2 * film.p_vapour_Pa);  // the film cavitates at vapour pressure
}

void mec_user_ucon(Array1<const double> x, Array1<const double> v, Array1<double> f,
                   std::int32_t imodel) noexcept
{
    refill_sqz();
    auto& p = g_ucon_parms;
    exchange::load_user_model_arrays(imodel, p);
    const std::int32_t law = p.intparm(1);
    switch (law) {
    case 1:  // spring and damper
        if (p.nreal < 2) too_few_reals(2);
        f(4) = p.realparm(1) * (x(1) - x(4)) + p.realparm(2) * (v(1) - v(4));
        f(1) = -f(4);
        return;
    case 2: {  // contact with stiffness and an initial gap
        if (p.nreal < 2) too_few_reals(2);
        double d = (x(1) - x(4)) - p.realparm(2);
        if (d <= 0.0) d = 0.0;
        f(4) = p.realparm(1) * d;
        f(1) = -f(4);
        return;
    }
    case 3: {  // squeezed film
        if (p.nint < 2) {
            input_error({"User Model error (UserMechConn):",
                         "This model requires 2 integer values in integer array in UserModel object",
                         "The second integer is used as a flag only when the first integer is 3, i.e.",
                         "points to the user model for a squeeze-film force:",
                         "0 - pressures, viscosity and vapor pressure are inputs passed in UserModel object",
                         "1 - pressures, viscosity and vapor pressure come common /sqz/ in a user routine"});
        }
        SqueezeFilm film;
        film.r_inner_m = p.realparm(1);
        film.r_outer_m = p.realparm(2);
        if (p.intparm(2) == 0) {
            if (p.nreal < 6) too_few_reals(6);
            film.p_inner_Pa = p.realparm(3);
            film.p_outer_Pa = p.realparm(4);
            film.mu_Pa_s = p.realparm(5);
            film.p_vapour_Pa = p.realparm(6);
        } else {
            if (p.nreal < 2) too_few_reals(2);
            if (imodel >= kSqzModels + 1) {
                input_error({"User model error (MEC_USER_UCON). Number of user models greater than 20. ",
                             "Increasing the size of the arrays in the common should fix this. "});
            }
            film.p_inner_Pa = sqz_entry("PI_SQZ", g_sqz.p_inner_Pa, imodel);
            film.p_outer_Pa = sqz_entry("PO_SQZ", g_sqz.p_outer_Pa, imodel);
            film.mu_Pa_s = sqz_entry("VISCOSITY_SQZ", g_sqz.mu_Pa_s, imodel);
            film.p_vapour_Pa = sqz_entry("VAPORPRES_SQZ", g_sqz.p_vapour_Pa, imodel);
        }
        // An annular film needs a ring between radii of one sign: equal radii leave the
        // mean-pressure weight 0/0, radii of opposite signs have no logarithm.
        if (film.r_inner_m != 0.0 && (film.r_outer_m == film.r_inner_m || film.r_outer_m / film.r_inner_m < 0.0))
            parameter_error("MEC_USER_UCON", 2, "outer radius", "must differ from the inner radius, with its sign",
                            film.r_outer_m);
        const double h_m = x(4) - x(1);
        const double hdot_m_s = v(4) - v(1);
        f(4) = squeeze_film_force(film, h_m, hdot_m_s);
        f(1) = -f(4);
        return;
    }
    default:
        input_error({"User Model error (UserMechConn):",
                     "Invalid integer flag (1st integer parameter in UserModel object)",
                     "Allowed values for and the corresponding sample user models are:",
                     "1 - Spring & damper combination", "2 - Simple contact with stiffness and initial gap",
                     "3 - Circular or annular squeezed film"});
    }
}

double mec_user_extf(std::int32_t imodel, double x1, double x2) noexcept
{
    auto& p = g_extf_parms;
    exchange::load_user_model_arrays(imodel, p);
    if (p.nreal < 2) input_error({"UserModel error (Force/Torque):  Check UserModel input"});
    const double force = p.realparm(1) * x1 + p.realparm(2) * x2;
    if (!std::isfinite(force))
        beyond_real_range("MEC_USER_EXTF", {{2, "first input", x1, factor_reach(p.realparm(1) * x1)},
                                            {3, "second input", x2, factor_reach(p.realparm(2) * x2)}});
    return force;
}

}  // namespace usersub::usermodels
