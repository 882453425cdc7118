#include "usermodels/pipe_models.h"

#include "common/array.h"
#include "common/fixed_text.h"
#include "exchange/run_info.h"
#include "exchange/user_models.h"
#include "exchange/user_plots.h"
#include "usermodels/argument_checks.h"
#include "usermodels/usermodel_common.h"

#include <algorithm>
#include <cmath>

namespace usersub::usermodels {
namespace {

using exchange::UserModelArrays;

// Calls counted per user-model identifier 1 to 4; each heat-transfer routine
// plots one point per hundred calls of an identifier.
constexpr std::int64_t kCountedIds = 4;
constexpr std::int32_t kPlotEvery = 100;

std::array<std::int32_t, kCountedIds> g_hg_count{};
std::array<std::int32_t, kCountedIds> g_refrig_count{};

// Factors and exponents of the three Nusselt ranges, rewritten on every call
// that uses them.
std::array<double, 3> g_nu_mult{};
std::array<double, 3> g_nu_exp{};

// Counts one call of identifier id; true on every 100th. The count restarts
// after each plotted call, so that a long run cannot overflow it.
bool count_call(std::array<std::int32_t, kCountedIds>& counts, std::int32_t id) noexcept
{
    std::int32_t& n = Array1<std::int32_t>("ICOUNT", counts.data(), kCountedIds)(id);
    if (++n < kPlotEvery) return false;
    n = 0;
    return true;
}

double blasius(double re) noexcept { return 0.0791 / std::pow(re, 0.25); }

// The pipe routines share their argument positions 6 to 11: cp, viscosity,
// conductivity, density, velocity, diameter. A Reynolds number needs a positive
// density, viscosity and diameter; a Prandtl number a positive cp, viscosity
// and conductivity.
void require_reynolds(std::string_view entry, const PipeFlow& f) noexcept
{
    require_positive(entry, 7, "viscosity", f.mu_Pas);
    require_positive(entry, 9, "density", f.rho_kg_m3);
    require_positive(entry, 11, "diameter", f.d_m);
}

void require_prandtl(std::string_view entry, const PipeFlow& f) noexcept
{
    require_positive(entry, 6, "specific heat", f.cp_J_kgK);
    require_positive(entry, 7, "viscosity", f.mu_Pas);
    require_positive(entry, 8, "conductivity", f.k_W_mK);
}

// A friction coefficient beyond the real range comes from a Reynolds number at its ends
// (the Blasius law divides by its fourth root), or from the extra factor given.
[[noreturn]] void reynolds_beyond_range(std::string_view entry, const PipeFlow& f,
                                        RangeSource extra = {0, "", 0.0, -1.0}) noexcept
{
    beyond_real_range(entry, {{9, "density", f.rho_kg_m3, extreme_reach(f.rho_kg_m3)},
                              {10, "velocity", f.u_m_s, factor_reach(f.u_m_s)},
                              {11, "diameter", f.d_m, extreme_reach(f.d_m)},
                              {7, "viscosity", f.mu_Pas, extreme_reach(f.mu_Pas)},
                              extra});
}

// A Prandtl number beyond the real range, or rounded to zero, is named by the flow
// value that reaches furthest.
[[noreturn]] void prandtl_beyond_range(const PipeFlow& f) noexcept
{
    beyond_real_range("CF_HG_USER", {{6, "specific heat", f.cp_J_kgK, extreme_reach(f.cp_J_kgK)},
                                     {7, "viscosity", f.mu_Pas, extreme_reach(f.mu_Pas)},
                                     {8, "conductivity", f.k_W_mK, extreme_reach(f.k_W_mK)}});
}

}  // namespace

double pipe_reynolds(const PipeFlow& f) noexcept
{
    return f.rho_kg_m3 * (std::abs(f.u_m_s) + 1e-6) * f.d_m / f.mu_Pas;
}

double pipe_prandtl(const PipeFlow& f) noexcept { return f.mu_Pas * f.cp_J_kgK / f.k_W_mK; }

double cf_user(std::int32_t id, const PipeFlow& f) noexcept
{
    static UserModelArrays p;
    exchange::load_user_model_arrays(id, p);
    require_reynolds("CF_USER", f);
    const double cf = blasius(pipe_reynolds(f));
    if (!std::isfinite(cf)) reynolds_beyond_range("CF_USER", f);
    return cf;
}

double cf_hg_user(std::int32_t id, const PipeFlow& f, double cf) noexcept
{
    static UserModelArrays p;
    exchange::load_user_model_arrays(id, p);
    require_prandtl("CF_HG_USER", f);
    const double pr = pipe_prandtl(f);

    if (p.nreal < 7) {
        // Reynolds-Colburn: St Pr^(2/3) = Cf / 2
        const double h = cf * 0.5 * f.rho_kg_m3 * std::abs(f.u_m_s) * f.cp_J_kgK * std::pow(pr, -0.66667);
        if (!std::isfinite(h)) {
            if (!std::isfinite(pr) || pr == 0.0) prandtl_beyond_range(f);
            beyond_real_range("CF_HG_USER", {{15, "friction coefficient", cf, factor_reach(cf)},
                                             {9, "density", f.rho_kg_m3, factor_reach(f.rho_kg_m3)},
                                             {10, "velocity", f.u_m_s, factor_reach(f.u_m_s)},
                                             {6, "specific heat", f.cp_J_kgK, factor_reach(f.cp_J_kgK)}});
        }
        return h;
    }

    g_nu_mult[0] = p.realparm(1);
    g_nu_exp[0] = p.realparm(2);
    g_nu_exp[1] = p.realparm(3);
    g_nu_exp[2] = p.realparm(4);
    double re1 = p.realparm(5);
    double re2 = p.realparm(6);
    const double len_m = p.realparm(7);
    require_positive("CF_HG_USER", 9, "density", f.rho_kg_m3);
    if (!(len_m > 0.0)) parameter_error("CF_HG_USER", 7, "length scale", "must be positive", len_m);

    const double re = f.rho_kg_m3 * std::max(std::abs(f.u_m_s), 1e-6) * len_m / f.mu_Pas;
    if (re2 <= 0.0 || re1 <= re2) {
        re1 = 0.0;  // one range only
        re2 = 0.0;
    } else {
        // factors that make Nu continuous at Re1 and Re2
        g_nu_mult[1] = g_nu_mult[0] * std::pow(re1, g_nu_exp[0] - g_nu_exp[1]);
        g_nu_mult[2] = g_nu_mult[1] * std::pow(re2, g_nu_exp[1] - g_nu_exp[2]);
    }
    const std::size_t j = re > re1 ? 0 : (re > re2 ? 1 : 2);
    const double nu = g_nu_mult[j] * std::pow(re, g_nu_exp[j]) * std::pow(pr, 0.333);
    const double h = nu * f.k_W_mK / len_m;
    if (!std::isfinite(h)) {
        // flow values that carry the Prandtl or Reynolds number out of the real range
        if (!std::isfinite(pr) || pr == 0.0) prandtl_beyond_range(f);
        if (!std::isfinite(re) || re == 0.0)
            beyond_real_range("CF_HG_USER", {{9, "density", f.rho_kg_m3, extreme_reach(f.rho_kg_m3)},
                                             {10, "velocity", f.u_m_s, factor_reach(f.u_m_s)},
                                             {7, "viscosity", f.mu_Pas, extreme_reach(f.mu_Pas)},
                                             {7, "length scale", len_m, extreme_reach(len_m), true}});
        // otherwise exponents that carry the Nusselt law out of the real range
        parameter_error("CF_HG_USER", 1, "Nusselt factor", kBeyondRealRange, g_nu_mult[0]);
    }

    // A Nusselt number that is not positive has no point on the log-log curve.
    if (count_call(g_hg_count, id) && nu > 0.0)
        exchange::user_plot_store(id, 1, "label", p.charparm(1), "x-label", "y-label", std::log(re),
                                  std::log(nu));
    return h;
}

double cf_user_refrig(std::int32_t id, const PipeFlow& f, double x) noexcept
{
    static UserModelArrays p;
    exchange::load_user_model_arrays(id, p);
    require_reynolds("CF_USER_REFRIG", f);
    double cf = blasius(pipe_reynolds(f));
    if (!std::isfinite(cf)) reynolds_beyond_range("CF_USER_REFRIG", f);
    // the factor of the state: 3 liquid, 4 vapour, 5 two-phase
    const std::int32_t n = x <= 0.0 ? 3 : (x >= 1.0 ? 4 : 5);
    if (n == 5) cf *= 2.0 * x;
    const double cf_state = cf * p.realparm(n);
    if (!std::isfinite(cf_state))
        reynolds_beyond_range("CF_USER_REFRIG", f, {n, "state factor", p.realparm(n), factor_reach(p.realparm(n)), true});
    return cf_state;
}

double cf_hg_user_refrig(std::int32_t id, const PipeFlow& f, const RefrigState& s) noexcept
{
    static UserModelArrays p;
    exchange::load_user_model_arrays(id, p);
    if (p.nint < 1 || p.nreal < 5 || p.nchar < 1) input_error({"UserModel input error for refrigerant"});
    constexpr std::string_view entry = "CF_HG_USER_REFRIG";
    require_reynolds(entry, f);
    require_prandtl(entry, f);

    constexpr double g_m_s2 = 9.807;
    const double dt_K = s.t_fluid_K - s.t_wall_K;
    const double n = dt_K < 0.0 ? 0.4 : 0.3;  // fluid heated : fluid cooled
    const double re = pipe_reynolds(f);
    const double nu = 0.023 * std::pow(re, 0.8) * std::pow(pipe_prandtl(f), n);  // Dittus-Boelter

    double h = 0.0;
    if (s.x <= 0.0) {
        h = nu * f.k_W_mK / f.d_m * p.realparm(3);
    } else if (s.x >= 1.0) {
        h = nu * f.k_W_mK / f.d_m * p.realparm(4);
    } else {
        const double x = s.x;
        require_positive(entry, 21, "liquid density", s.rho_l_kg_m3);
        require_positive(entry, 23, "liquid viscosity", s.mu_l_Pas);
        require_positive(entry, 24, "liquid conductivity", s.k_l_W_mK);
        require_positive(entry, 25, "liquid specific heat", s.cp_l_J_kgK);
        const double re_l = s.rho_l_kg_m3 * (std::abs(f.u_m_s) + 1e-6) * f.d_m / s.mu_l_Pas;
        const double pr_l = s.mu_l_Pas * s.cp_l_J_kgK / s.k_l_W_mK;
        const double nu_l = 0.023 * std::pow(re_l, 0.8) * std::pow(pr_l, n);
        if (dt_K >= 0.0) {
            // condensation (Shah)
            require_positive(entry, 19, "reduced pressure", s.p_reduced);
            h = nu_l * (std::pow(1.0 - x, 0.8) + 3.8 * std::pow(x, 0.76) * std::pow(1.0 - x, 0.04) /
                                                     std::pow(s.p_reduced, 0.38)) *
                f.k_W_mK / f.d_m;
        } else if (p.intparm(1) == 999) {
            // built-in boiling law; the length scale is the capillary length
            require_positive(entry, 26, "surface tension", s.sigma_N_m);
            require_positive(entry, 27, "vapour density", s.rho_v_kg_m3);
            require_positive(entry, 30, "reference conductivity", s.k_ref_W_mK);
            // equal densities make the capillary length infinite and h 0; a vapour denser
            // than its liquid has no capillary length
            if (s.rho_v_kg_m3 > s.rho_l_kg_m3)
                argument_error(entry, 27, "vapour density", "must not exceed the liquid density", s.rho_v_kg_m3);
            h = 0.087 * std::pow(re, 0.6) * std::pow(pr_l, 0.1667) *
                std::pow(s.rho_v_kg_m3 / s.rho_l_kg_m3, 0.2) * std::pow(s.k_ref_W_mK / s.k_l_W_mK, 0.09) *
                s.k_l_W_mK / std::sqrt(s.sigma_N_m / (g_m_s2 * (s.rho_l_kg_m3 - s.rho_v_kg_m3)));
        } else {
            const double h_l = nu_l * s.k_l_W_mK / f.d_m;
            require_nonzero(entry, 16, "flow area", s.area_m2);
            require_positive(entry, 27, "vapour density", s.rho_v_kg_m3);
            const double g_kg_m2s = s.mdot_kg_s / s.area_m2;
            const double fr = std::pow(g_kg_m2s / s.rho_l_kg_m3, 2) / (g_m_s2 * f.d_m);  // liquid Froude
            if (fr >= 0.04) {
                // nucleate plus convective boiling (Chen type)
                require_positive(entry, 29, "vapour viscosity", s.mu_v_Pas);
                require_nonzero(entry, 33, "mass flow", s.mdot_kg_s);
                require_nonzero(entry, 17, "heat-input divisor", s.q_divisor);
                if (s.h_v_J_kg == s.h_l_J_kg)
                    argument_error(entry, 28, "vapour enthalpy", "must differ from the liquid enthalpy", s.h_v_J_kg);
                if (!(s.p_reduced > 0.0 && s.p_reduced < 1.0))
                    argument_error(entry, 19, "reduced pressure", "must lie between 0 and 1 in boiling", s.p_reduced);
                const double pr = s.p_reduced;
                const double xtt = std::pow((1.0 - x) / x, 0.9) * std::pow(s.mu_l_Pas / s.mu_v_Pas, 0.1) *
                                   std::pow(s.rho_v_kg_m3 / s.rho_l_kg_m3, 0.5);
                // boiling number and heat-flux ratio by magnitude: reverse flow or a heat
                // input given with the opposite sign boils the liquid all the same
                const double bo = std::abs(s.q_in / s.mdot_kg_s / (s.h_v_J_kg - s.h_l_J_kg));
                const double h_nb = p.realparm(2) * (2.1 * std::pow(pr, 0.27) + (1.8 / (1.0 - pr) + 4.4) * pr) *
                                    std::pow(std::abs((s.q_in / s.q_divisor) / p.realparm(1)), 0.9 - 0.3 * std::pow(pr, 0.3));
                const double e = 1.0 + 24000.0 * std::pow(bo, 1.16) + 1.37 * std::pow(xtt, -0.86);
                const double sup = 1.0 / (1.0 + 1.15e-6 * e * e * std::pow(re_l, 1.17));
                h = sup * h_nb + e * h_l;
            } else {
                // stratified flow
                h = 3.9 * std::pow(fr, 0.24) * std::pow(x / (1.0 - x), 0.64) *
                    std::pow(s.rho_l_kg_m3 / s.rho_v_kg_m3, 0.4) * h_l;
            }
        }
        h *= p.realparm(5);
    }

    h = std::min(h, std::abs(s.mdot_kg_s * f.cp_J_kgK / s.area_m2));  // heat-flux limit
    // Flow values or parameters at the ends of the real range can carry the coefficient
    // and its limit beyond it: the one that reaches furthest is named.
    // The values of the two phases count only in the two-phase state, which reads them.
    const bool two_phase = s.x > 0.0 && s.x < 1.0;
    const auto phase_reach = [two_phase](double v) { return two_phase ? extreme_reach(v) : -1.0; };
    if (!std::isfinite(h))
        beyond_real_range(entry, {{6, "specific heat", f.cp_J_kgK, extreme_reach(f.cp_J_kgK)},
                                  {7, "viscosity", f.mu_Pas, extreme_reach(f.mu_Pas)},
                                  {8, "conductivity", f.k_W_mK, extreme_reach(f.k_W_mK)},
                                  {9, "density", f.rho_kg_m3, extreme_reach(f.rho_kg_m3)},
                                  {10, "velocity", f.u_m_s, factor_reach(f.u_m_s)},
                                  {11, "diameter", f.d_m, extreme_reach(f.d_m)},
                                  {16, "flow area", s.area_m2, extreme_reach(s.area_m2)},
                                  {17, "heat-input divisor", s.q_divisor, phase_reach(s.q_divisor)},
                                  {19, "reduced pressure", s.p_reduced, phase_reach(s.p_reduced)},
                                  {20, "heat input", s.q_in, two_phase ? factor_reach(s.q_in) : -1.0},
                                  {21, "liquid density", s.rho_l_kg_m3, phase_reach(s.rho_l_kg_m3)},
                                  {23, "liquid viscosity", s.mu_l_Pas, phase_reach(s.mu_l_Pas)},
                                  {24, "liquid conductivity", s.k_l_W_mK, phase_reach(s.k_l_W_mK)},
                                  {25, "liquid specific heat", s.cp_l_J_kgK, phase_reach(s.cp_l_J_kgK)},
                                  {26, "surface tension", s.sigma_N_m, phase_reach(s.sigma_N_m)},
                                  {27, "vapour density", s.rho_v_kg_m3, phase_reach(s.rho_v_kg_m3)},
                                  {29, "vapour viscosity", s.mu_v_Pas, phase_reach(s.mu_v_Pas)},
                                  {30, "reference conductivity", s.k_ref_W_mK, phase_reach(s.k_ref_W_mK)},
                                  {33, "mass flow", s.mdot_kg_s, extreme_reach(s.mdot_kg_s)}});

    if (count_call(g_refrig_count, id))
        exchange::user_plot_store(id, 1, "Heat Transfer User Model", p.charparm(1), "sec", "W/m^2-K",
                                  exchange::global_info().sim_time_s, h);
    return h;
}

std::array<std::complex<double>, 4> tm_user(std::int32_t id, double omega_rad_s) noexcept
{
    static UserModelArrays p;
    exchange::load_user_model_arrays(id, p);
    if (p.nchar <= 0 || !text::equal(p.charparm(1), "pipe")) return {1.0, 0.0, 0.0, 1.0};
    if (p.nreal < 4) input_error({"UserModel error (TMBlackBox):  Check UserModel input"});

    const double len_m = p.realparm(1);
    const double d_m = p.realparm(3);
    const double c_m_s = p.realparm(4);
    const double kappa = omega_rad_s / c_m_s;  // wave number, 1/m
    const double area_m2 = 3.1415927 * (0.5 * d_m) * (0.5 * d_m);
    const double z = c_m_s / area_m2;  // characteristic impedance per unit density
    const double c = std::cos(kappa * len_m);
    const double s = std::sin(kappa * len_m);
    // A frequency or length at the ends of the real range carries the phase beyond it.
    if (!std::isfinite(c) || !std::isfinite(z * s) || !std::isfinite(s / z))
        beyond_real_range("TM_USER", {{6, "angular frequency", omega_rad_s, factor_reach(omega_rad_s)},
                                      {1, "pipe length", len_m, factor_reach(len_m), true},
                                      {4, "speed of sound", c_m_s, extreme_reach(c_m_s), true},
                                      {3, "diameter", d_m, extreme_reach(d_m), true}});
    return {{{c, 0.0}, {0.0, z * s}, {0.0, s / z}, {c, 0.0}}};
}

std::array<double, 2> user_set_energy_source(std::int32_t id) noexcept
{
    static UserModelArrays p;
    exchange::load_user_model_arrays(id, p);
    return {0.0, 0.0};
}

}  // namespace usersub::usermodels
