#include "properties/state/state_solver.h"

#include "common/fortran_format.h"
#include "common/output.h"
#include "exchange/run_info.h"
#include "properties/mixture/propmix.h"
#include "properties/species/product_species.h"
#include "properties/species/species_density.h"
#include "properties/species/species_table.h"
#include "properties/reports/location.h"
#include "properties/reports/property_reports.h"
#include "properties/state/secant_step.h"

#include <algorithm>
#include <cmath>
#include <string>
#include <string_view>

namespace usersub::properties {
namespace {

double g_pressure_tolerance = 1.0;

constexpr double kTMax_K = 10000.0;
constexpr double kPMax_Pa = 1.0e12;
constexpr double kMinFraction = 1.0e-5;  // a phase of the pair below this counts as absent

// A liquid species and its vapour, linked by the species set.
struct Pair {
    std::int32_t liquid = 0;
    std::int32_t vapour = 0;
    bool active() const noexcept { return liquid > 0; }
};

// Iteration controls of the density-energy solve.
struct Controls {
    std::int32_t limit = 20;
    double t_tol_K = 1.0;    // temperature step
    double p_tol_Pa = 0.0;   // pressure step
    double mass_tol = 0.0;   // density residual of the pair step, kg/m3
};

bool circuit_bit(std::int32_t circuit) noexcept
{
    return circuit > 0 && (property_settings().user_property_parameters(circuit) & 1) != 0;
}

[[noreturn]] void storage_conflict() noexcept
{
    FatalReport::list_directed("F*** Conflict with local species storage").stop();
}

void claim_species_storage() noexcept
{
    auto& warn = prop_warn_state();
    if (warn.species_storage_busy == 1) storage_conflict();
    warn.species_storage_busy = 1;
}

void not_converged_warning() { out::write_line("W*** Propmix loop did not converge"); }

// Ratio of specific heats 1 / (1 - T a^2 / (cp b rho^2)) and gamma / b, the
// square of the sound speed, each with one division.
struct GammaTerms {
    double gamma;
    double c2;  // gamma / (drho/dP)
};
GammaTerms gamma_terms(double t_K, const MixtureProps& m, double drho_dT, double cp) noexcept
{
    const double cp_rho2 = cp * m.rho_kg_m3 * m.rho_kg_m3;
    const double x = cp_rho2 * m.drho_dP;
    const double d_inv = 1.0 / (x - t_K * drho_dT * drho_dT);
    return {x * d_inv, cp_rho2 * d_inv};
}

class StateSolve {
public:
    explicit StateSolve(const StateRequest& rq)
        : rq_(rq), tab_(species_table()), y_(rq.composition)
    {
        // Limits of the pair handling by the setting levels of the run; only
        // fluid kind 2 handles pairs.
        if (rq.fluid_kind == 2) {
            const bool old_limits = user_evolution(465) <= 6;
            t_pair_min_K_ = old_limits ? 180.0 : 1.0;
            t_vap_min_K_ = old_limits ? 240.0 : 1.0;
            pairs_in_tp_ = user_evolution(29) >= 3;
            t_vap_max_K_ = pairs_in_tp_ ? 999.0 : 600.0;
        }
        if (exchange::global_info().time_step_number < 2) g_pressure_tolerance = 1.0;
        rq_.status = -1;
    }

    // evaluated: the mixture at the request's T and P, when the caller has
    // evaluated it already for a frozen T-P state; it is not evaluated (and
    // its warnings are not counted) again.
    void run(const MixtureProps* evaluated)
    {
        if (rq_.input_kind == 1)
            solve_tp(evaluated);
        else
            solve_re();
        gamma_and_sound();
        gas_phase_pass();
    }

private:
    // One mixture evaluation at (t, p) of the request's composition; the
    // last temperature step is the equilibrium mode.
    void mix(double t_K, double p_Pa)
    {
        const MixtureRequest r{rq_.equilibrium, 0, pair_.active() ? 1 : 0, pair_.liquid, pair_.vapour, 0, 0,
                               step_K_};
        propmix(r, rq_.status, t_K, p_Pa, y_.data(), m_);
        t_mix_K_ = t_K;
    }

    void fold_into_liquid(std::int32_t i, std::int32_t j)
    {
        y_(i) += y_(j);
        y_(j) = 0.0;
        rq_.status = 1;
    }

    // ---- temperature and pressure given ----
    void solve_tp(const MixtureProps* evaluated)
    {
        rq_.status = 0;
        if (pairs_in_tp_ && rq_.fluid_kind == 2) split_pairs_tp();
        if (evaluated != nullptr) {  // frozen: the evaluation left the status at 0
            m_ = *evaluated;
            t_mix_K_ = rq_.t_K;
        } else {
            mix(rq_.t_K, rq_.p_Pa);
        }
        rq_.rho_kg_m3 = m_.rho_kg_m3;
        rq_.h_J_kg = m_.h_J_kg;
        rq_.cp_J_kgK = m_.cp_J_kgK;
        rq_.e_J_kg = m_.h_J_kg - rq_.p_Pa / m_.rho_kg_m3;
    }

    // The first pair that counts takes the phase the vapour pressure gives it
    // (within 1 % of it nothing moves); later pairs go whole to their liquid.
    void split_pairs_tp()
    {
        const double p = rq_.p_Pa;
        for (std::int64_t k = tab_.props_scalar_3; k >= 1; --k) {
            const std::int32_t i = tab_.cavit_list(k);
            if (i < 1) continue;
            const std::int32_t j = tab_.species_partner(i);
            if (j <= 0 || rq_.circuit <= 0 || circuit_bit(rq_.circuit) || y_(i) + y_(j) < 1.0e-10) continue;
            if (pair_.active()) {
                fold_into_liquid(i, j);
                continue;
            }
            pair_ = {i, j};
            pair_seen_ = true;
            const double p_v = vapour_pressure(i, rq_.t_K);
            if (p - p_v > 0.01 * p) {
                if (y_(j) != 0.0) fold_into_liquid(i, j);
            } else if (p - p_v < -0.01 * p && y_(i) != 0.0) {
                y_(j) += y_(i);
                y_(i) = 0.0;
                rq_.status = 1;
            }
        }
    }

    // ---- density and internal energy given ----
    void solve_re()
    {
        const double rho_t = rq_.rho_kg_m3;
        if (!(rho_t >= 0.0))
            fail("F*** Density negative or zero during iteration in fluid properties routine", 0, 0,
                 rq_.p_Pa, rq_.t_K);
        if (rq_.fluid_kind == 2 && tab_.props_scalar_3 > 0) search_pairs_re();
        if (pair_.active()) claim_species_storage();
        pair_seen_ = pair_.active();

        if (pair_.active()) ctl_ = {200, 0.01, 3.0e-6 * rq_.p_Pa, 1.0e-7 * rho_t};
        bit_set_ = circuit_bit(rq_.circuit);
        if (bit_set_) {
            ctl_.limit = 200;
            ctl_.t_tol_K = 0.001;
            ctl_.p_tol_Pa = 3.0e-6 * rq_.p_Pa;
        }

        for (std::int32_t it = 1;; ++it) {
            mix(rq_.t_K, rq_.p_Pa);
            bool done;
            if (rq_.equilibrium > 0) {
                done = equilibrium_step(it);
            } else if (pair_.active() && prepare_pair()) {
                done = saturation_step(it);
            } else {
                done = newton_step(it);
            }
            if (done) break;
            if (it >= ctl_.limit) {
                rq_.status = 2;
                break;
            }
        }
        if (rq_.equilibrium > 0) settle_equilibrium();
        rq_.cp_J_kgK = m_.cp_J_kgK;
        if (pair_.active()) prop_warn_state().species_storage_busy = 0;
        if (rq_.status == 2) not_converged_warning();
    }

    // Pairs of fluid kind 2: the first that counts is solved for, later ones
    // go whole to their liquid. A set block bit drops the pair found so far.
    void search_pairs_re()
    {
        for (std::int64_t k = tab_.props_scalar_3; k >= 1; --k) {
            const std::int32_t i = tab_.cavit_list(k);
            if (i < 1) continue;
            if ((tab_.pair_block_flag(i) & 1) != 0) pair_ = {};
            const std::int32_t j = tab_.species_partner(i);
            if (j <= 0 || y_(i) + y_(j) < 1.0e-10) continue;
            if (pair_.active())
                fold_into_liquid(i, j);
            else
                pair_ = {i, j};
        }
    }

    double residual_rho() const noexcept { return rq_.rho_kg_m3 - m_.rho_kg_m3; }
    double residual_e() const noexcept { return (e_target() - m_.h_J_kg) + rq_.p_Pa / m_.rho_kg_m3; }
    double e_target() const noexcept { return rq_.e_J_kg; }

    // Newton step on (T, P) for one phase. Returns true when converged.
    bool newton_step(std::int32_t it)
    {
        const double t = rq_.t_K, p = rq_.p_Pa, rho = m_.rho_kg_m3;
        const double a = m_.drho_dT, b = m_.drho_dP;
        const double r_rho = residual_rho(), r_e = residual_e();
        const double de_dT = m_.cp_J_kgK + a * p / (rho * rho);
        const double de_dP = (m_.dh_dP - 1.0 / rho) + b * p / (rho * rho);
        const double det = b * de_dT - a * de_dP;
        if (pair_.active() && std::abs(det) < 0.01 * (std::abs(b * de_dT) + std::abs(a * de_dP)))
            out::list("except1", it);

        double dT = (b * r_e - de_dP * r_rho) / det;
        double dP = (de_dT * r_rho - a * r_e) / det;
        if (it >= 11 && dT * dT_prev_ < 0.0) {  // oscillating: mean of the last two steps
            dT = 0.5 * (dT + dT_prev_);
            dP = 0.5 * (dP + dP_prev_);
        }
        // A step cut at half the value has not reached the linear solution,
        // so it cannot count as converged (with the pressure test inactive
        // the cut pressure step would pass it).
        const bool cut = dT < -0.5 * t || dP < -0.5 * p;
        dT = std::max(dT, -0.5 * t);
        dP = std::max(dP, -0.5 * p);
        dT_prev_ = dT;
        dP_prev_ = dP;
        step_K_ = dT;
        const double p_new = p + dP;
        move_to(t + dT, p_new, 0, it);

        bool converged;
        if (pair_.active()) {
            const bool p_ok = std::abs(dP) <= ctl_.p_tol_Pa ||
                              (std::abs(r_rho) < ctl_.mass_tol && (std::abs(dP) < 5.0 * ctl_.p_tol_Pa || it > 5));
            converged = p_ok && std::abs(dT) <= ctl_.t_tol_K;
        } else {
            converged = std::abs(dP) <= p_new * g_pressure_tolerance && std::abs(dT) <= ctl_.t_tol_K;
        }
        if (cut || (bit_set_ && std::abs(dP) > ctl_.p_tol_Pa)) converged = false;
        if (converged || it >= ctl_.limit) rq_.h_J_kg = m_.h_J_kg + m_.cp_J_kgK * dT;
        return converged;
    }

    // Secant iteration on T for the energy with the products in equilibrium;
    // the pressure follows the density at the new temperature.
    bool equilibrium_step(std::int32_t it)
    {
        const double t_eval = rq_.t_K, p = rq_.p_Pa, rho = m_.rho_kg_m3;
        const double r = e_target() - (m_.h_J_kg - p / rho);
        double t_new = t_eval;
        if (std::abs(r) >= 1.0e-6) {
            secant_step(secant_count_, 2, ctl_.limit, rq_.status, r, 0.0, secant_prev_r_, t_new, secant_prev_T_,
                        step_K_, 1.01 * t_eval, 2.0, ctl_.t_tol_K, 1.0e18, 1.0e18, 1.0e18, 0.0, 0.0);
        } else {
            rq_.status = 1;
        }
        // P (rho_target / rho)(T_new / T_eval) for an ideal gas
        const double a = m_.drho_dT, b = m_.drho_dP;
        const double p_new = t_new * rq_.rho_kg_m3 * t_eval * a * a / (b * rho * rho);
        move_to(t_new, p_new, secant_count_, it);
        rq_.h_J_kg = m_.h_J_kg + m_.cp_J_kgK * (t_new - t_eval);
        if (std::abs(p_new - p) / p_new > g_pressure_tolerance) rq_.status = 0;
        if (rq_.status > 0) return true;
        if (it >= ctl_.limit) {  // the loop gives up: not converged
            rq_.status = 2;
            return true;
        }
        return false;
    }

    // The equilibrium iteration ends up to a temperature step away from its
    // last evaluation, whose products may not have been re-equilibrated (a
    // step below 0.1 K): one more evaluation at the solved T and P with the
    // products re-equilibrated gives h, cp and the composition of that state.
    void settle_equilibrium()
    {
        const MixtureRequest r{rq_.equilibrium, 0, pair_.active() ? 1 : 0, pair_.liquid, pair_.vapour, 0, 0, 1.0};
        std::int32_t flag = 0;
        propmix(r, flag, rq_.t_K, rq_.p_Pa, y_.data(), m_);
        t_mix_K_ = rq_.t_K;
        rq_.h_J_kg = m_.h_J_kg;
    }

    // Re-splits the pair when the density is far off, then tests whether both
    // phases are present, so that the step moves along the saturation line.
    bool prepare_pair()
    {
        const double rho_t = rq_.rho_kg_m3;
        const double ratio = rho_t / m_.rho_kg_m3;
        if (!(ratio >= 0.1 && ratio <= 10.0)) resplit_pair();

        if (rq_.t_K < t_pair_min_K_) {
            std::string line = "W*** Temperature < ";
            fmt::append_f(line, t_pair_min_K_, 5, 0);
            line += " K";
            out::write_line(line);
        }
        p_sat_ = vapour_pressure(pair_.liquid, std::clamp(rq_.t_K, t_vap_min_K_, t_vap_max_K_));

        const double y_l = y_(pair_.liquid);
        const double share = vapour_share();
        bool both = (rq_.p_Pa < p_sat_ && y_l > kMinFraction) || (rq_.p_Pa >= p_sat_ && share > kMinFraction);
        if (rho_t < m_.rho_kg_m3) both = both && y_l >= kMinFraction;
        if (rho_t > m_.rho_kg_m3) both = both && share >= kMinFraction;
        return both;
    }

    // Volume share of the vapour as an ideal gas at the requested density.
    double vapour_share() const noexcept
    {
        const std::int32_t v = pair_.vapour;
        return rq_.rho_kg_m3 * y_(v) / (rq_.p_Pa / (8314.0 * rq_.t_K / tab_.pmwt(v)));
    }

    // Liquid fraction of the pair from the specific volumes of liquid, vapour
    // and the rest of the mixture, so that the mixture has the requested density.
    void resplit_pair()
    {
        const std::int32_t l = pair_.liquid, v = pair_.vapour;
        const double t = rq_.t_K, p = rq_.p_Pa;
        const double s = y_(l) + y_(v);
        double rho_l = 0.0, rho_v = 0.0;
        getrho1(l, t, p, rho_l);
        getrho1(v, t, p, rho_v);
        double v_rest = 0.0;
        if (1.0 - s > 1.0e-8) {
            const auto& fm1 = tab_.fm1;
            for (std::int64_t k = 1; k <= tab_.nspecies; ++k) fm1(k) = y_(k) / (1.0 - s);
            fm1(l) = 0.0;
            fm1(v) = 0.0;
            MixtureProps rest;
            std::int32_t flag = 0;
            propmix(MixtureRequest{}, flag, t, p, fm1.data(), rest);
            v_rest = 1.0 / rest.rho_kg_m3;
        }
        double y_l = (1.0 / rq_.rho_kg_m3 - s / rho_v - (1.0 - s) * v_rest) / (1.0 / rho_l - 1.0 / rho_v);
        if (!(y_l > 0.0)) y_l = 0.0;
        y_l = std::min(y_l, s);
        y_(l) = y_l;
        y_(v) = s - y_l;
        mix(t, p);
    }

    // Step along the saturation line: temperature and the mass moved from
    // liquid to vapour, the pressure following the vapour pressure.
    bool saturation_step(std::int32_t it)
    {
        const std::int32_t l = pair_.liquid, v = pair_.vapour;
        rq_.t_K = std::max(rq_.t_K, t_pair_min_K_);
        const double t = rq_.t_K, rho_t = rq_.rho_kg_m3;
        const double dh = m_.delta_h_J_kg, dv = m_.delta_v_m3_kg;
        double g = dh / (dv * t);  // dp_sat/dT by Clapeyron
        if (!(g >= 0.0) || !std::isfinite(g)) g = 0.0;
        const double w = rho_t * m_.rho_kg_m3;
        const double v_m = 1.0 / std::sqrt(w);
        const double d_rho = -w * (m_.dv_dT + g * m_.dv_dP);
        const double d_e = (m_.cp_J_kgK - g * v_m - p_sat_ * m_.dv_dT) + (m_.dh_dP - v_m - p_sat_ * m_.dv_dP) * g;
        const double m_rho = -w * dv;
        const double m_e = dh - p_sat_ * dv;
        const double r_rho = residual_rho(), r_e = residual_e();

        const double k = m_rho * d_e - m_e * d_rho;
        double dT, dx;
        if (std::abs(k) <= 0.001 * (std::abs(m_rho * d_e) + std::abs(m_e * d_rho))) {
            dT = 0.5 * r_e / d_e;
            dT /= 1.0 + 20.0 * std::abs(dT) / t;
            dx = 0.01 * r_rho / m_rho;
        } else {
            dT = (m_rho * r_e - m_e * r_rho) / k;
            dx = (d_e * r_rho - d_rho * r_e) / k;
            if (it > 3) {
                if (dT * dT_prev_ < 0.0) dT *= 0.5;
                if (dx * dx_prev_ < 0.0) dx *= 0.5;
            }
            if (it > 15) {
                const double f = std::clamp(15.0 / it, 0.1, 1.0);
                dT *= f;
                dx *= f;
            }
        }
        const double y_l = y_(l), y_v = y_(v);
        const double lim = std::max(std::min(y_l, y_v), 0.1);
        dx = std::clamp(dx, -lim, lim);
        if (y_v + dx < 0.0) dx = -0.9 * y_v;
        if (y_l - dx < 0.0) dx = 0.9 * y_l;
        dx_prev_ = dx;

        dT /= 1.0 + 10.0 * std::abs(dT) / t;
        dT_prev_ = dT;
        step_K_ = dT;
        const double t_new = std::max(t + dT, t_pair_min_K_);
        double dp = g * dT;
        if (std::abs(dp) / p_sat_ > 0.1)
            dp = vapour_pressure(l, std::clamp(t_new, t_vap_min_K_, t_vap_max_K_)) - p_sat_;
        move_to(t_new, p_sat_ + dp, 0, it);

        const double s = y_l + y_v;
        y_(v) = y_v + dx;
        y_(l) = y_l - dx;
        rq_.status = 1;
        if (rho_t < m_.rho_kg_m3 && y_(l) < kMinFraction) {
            y_(v) = s;
            y_(l) = 0.0;
        } else if (rho_t > m_.rho_kg_m3 && vapour_share() < kMinFraction) {
            y_(l) = s;
            y_(v) = 0.0;
        }
        rq_.h_J_kg = m_.h_J_kg;
        return std::abs(r_rho) <= ctl_.mass_tol && it >= 4;
    }

    // Stores the new pressure and temperature after the range checks: a
    // pressure failure shows the temperature before the step.
    void move_to(double t_new, double p_new, std::int32_t count, std::int32_t it)
    {
        const double t_old = rq_.t_K;
        rq_.p_Pa = p_new;
        if (!(p_new > 0.0))
            fail("F*** Pressure negative or zero during iteration in fluid properties routine", count, it, p_new,
                 t_old);
        if (p_new > kPMax_Pa)
            fail("F*** Pressure above 10,000,000 bar during iteration in fluid properties routine", count, it,
                 p_new, t_old);
        rq_.t_K = t_new;
        if (!(t_new > 0.0))
            fail("F*** Temperature negative or zero during iteration in fluid properties routine", count, it,
                 p_new, t_new);
        if (t_new > kTMax_K)
            fail("F*** Temperature above 10,000K during iteration in fluid properties routine", count, it, p_new,
                 t_new);
    }

    [[noreturn]] void fail(std::string_view message, std::int32_t count, std::int32_t it, double p_Pa,
                           double t_K) const
    {
        FatalReport(message)
            .location(ReportLocation::state_solver)
            .iteration_state(count, it, p_Pa, t_K)
            .composition(Array1<const double>(y_), tab_.props_scalar_3)
            .iteration_state(count, it, p_Pa, t_K)
            .stop();
    }

    // ---- ratio of specific heats and sound speed ----
    void gamma_and_sound()
    {
        double a = m_.drho_dT, cp = m_.cp_J_kgK;
        if (rq_.equilibrium > 0 && rq_.t_K > product_species().prod_settings_real(2)) {
            // Equilibrium cp and drho/dT: 1 K backward differences, the products
            // re-equilibrated at the lower temperature.
            const MixtureRequest r{1, 1, pair_.active() ? 1 : 0, pair_.liquid, pair_.vapour, 0, 0, 1.0};
            MixtureProps below;
            std::int32_t flag = 0;
            propmix(r, flag, t_mix_K_ - 1.0, rq_.p_Pa, y_.data(), below);
            if (below.cp_J_kgK > 0.0) {
                a = (m_.rho_kg_m3 - below.rho_kg_m3) / 1.0;
                cp = (m_.h_J_kg - below.h_J_kg) / 1.0;
                rq_.cp_J_kgK = cp;
            }
        }
        const GammaTerms g = gamma_terms(t_mix_K_, m_, a, cp);
        double gamma = g.gamma;
        const double s = g.c2;
        if (std::isfinite(s) && s >= 0.0) {
            rq_.gamma = gamma;
            rq_.sound_m_s = std::sqrt(s);
            return;
        }
        negative_gamma_warning(gamma);
        if (!(gamma >= 1.0001 && gamma <= 2.0)) gamma = 1.1;
        if (rq_.input_kind != 1) {
            if (g_pressure_tolerance > 0.999) g_pressure_tolerance = 0.0005;
            g_pressure_tolerance = std::max(0.5 * g_pressure_tolerance, 3.0e-5);
        }
        rq_.gamma = gamma;
        rq_.sound_m_s = std::sqrt(100.0);
    }

    // Once per time step and 11 times in all; every call is counted.
    void negative_gamma_warning(double gamma)
    {
        const std::int32_t loc = location_code();
        const bool real_gas = tab_.realgas_switch == 1 || tab_.realgas_switch == 3;
        const bool heat_release = (loc >= 28 && loc <= 30) || (loc >= 40 && loc <= 47);
        if (real_gas && rq_.input_kind == 1 && rq_.t_K < 300.0 && heat_release) return;

        auto& warn = prop_warn_state();
        ++warn.gamwarn_calls;
        const std::int32_t step = exchange::global_info().time_step_number;
        if (step == warn.gamwarn_step || warn.gamwarn_printed >= 11) return;
        ++warn.gamwarn_printed;
        warn.gamwarn_step = step;
        std::string line = "W*** Negative gam/drdp = ";
        fmt::append_g(line, gamma, 12, 4);
        fmt::append_g(line, m_.drho_dP, 12, 4);
        out::write_line(line);
        out::write_line(location_line(WarningLocation::solver_gamma, step));
        if (rq_.input_kind != 1)
            out::write_line(g_pressure_tolerance > 0.999 ? "Pressure convergence tolerance check being activated"
                                                         : "Pressure convergence tolerance being reduced");
    }

    // With pairs on, the sound speed of the gas phase alone when it is larger.
    void gas_phase_pass()
    {
        if (!(pairs_in_tp_ && pair_seen_)) return;
        claim_species_storage();
        const auto& fm1 = tab_.fm1;
        for (std::int64_t k = fm1.lower(); k <= fm1.upper(); ++k) fm1(k) = 0.0;
        double sum = 0.0;
        for (std::int64_t k = 1; k <= tab_.nspecies; ++k) {
            if (tab_.iproptyp(k) != kGas) continue;
            fm1(k) = std::max(y_(k), 0.0);
            sum += fm1(k);
        }
        if (sum > 1.0e-18) {
            for (std::int64_t k = 1; k <= tab_.nspecies; ++k) fm1(k) /= sum;
            MixtureProps gas;
            std::int32_t flag = 0;
            propmix(MixtureRequest{}, flag, rq_.t_K, rq_.p_Pa, fm1.data(), gas);
            const double c_gas = std::sqrt(gamma_terms(rq_.t_K, gas, gas.drho_dT, gas.cp_J_kgK).c2);
            if (c_gas > rq_.sound_m_s) rq_.sound_m_s = c_gas;
        }
        prop_warn_state().species_storage_busy = 0;
        if (rq_.status == 2) not_converged_warning();
    }

    const StateRequest& rq_;
    const SpeciesTable& tab_;
    const Array1<double>& y_;  // the request's composition
    double t_pair_min_K_ = 180.0, t_vap_min_K_ = 240.0, t_vap_max_K_ = 600.0;
    bool pairs_in_tp_ = false;
    bool bit_set_ = false;
    Pair pair_;
    bool pair_seen_ = false;
    Controls ctl_;
    MixtureProps m_;
    double t_mix_K_ = 0.0;   // temperature of the last evaluation
    double step_K_ = 1000.0; // last temperature step: the equilibrium mode of the evaluations
    double dT_prev_ = 0.0, dP_prev_ = 0.0, dx_prev_ = 0.0;
    double p_sat_ = 0.0;
    std::int32_t secant_count_ = 0;
    double secant_prev_r_ = 0.0, secant_prev_T_ = 0.0;
};

// Temperature and pressure of a frozen composition without pair handling:
// one mixture evaluation, gamma and the sound speed. Returns false, having
// written nothing but the status, when gamma / (drho/dP) is not positive:
// the full solver then finishes from the evaluation m, with the warning and
// the substitute values.
bool frozen_tp(const StateRequest& rq, MixtureProps& m) noexcept
{
    if (exchange::global_info().time_step_number < 2) g_pressure_tolerance = 1.0;
    rq.status = 0;
    const MixtureRequest r{rq.equilibrium, 0, 0, 0, 0, 0, 0, 1000.0};
    propmix(r, rq.status, rq.t_K, rq.p_Pa, rq.composition.data(), m);
    const GammaTerms g = gamma_terms(rq.t_K, m, m.drho_dT, m.cp_J_kgK);
    if (!(std::isfinite(g.c2) && g.c2 >= 0.0)) return false;
    rq.rho_kg_m3 = m.rho_kg_m3;
    rq.h_J_kg = m.h_J_kg;
    rq.cp_J_kgK = m.cp_J_kgK;
    rq.e_J_kg = m.h_J_kg - rq.p_Pa / m.rho_kg_m3;
    rq.gamma = g.gamma;
    rq.sound_m_s = std::sqrt(g.c2);
    return true;
}

}  // namespace

void fluidstate_solve(const StateRequest& rq) noexcept
{
    MixtureProps m;
    const bool frozen_tp_state = rq.input_kind == 1 && rq.fluid_kind != 2 && rq.equilibrium <= 0;
    if (frozen_tp_state && frozen_tp(rq, m)) {
        set_location_code(kLocationNone);
        return;
    }
    StateSolve(rq).run(frozen_tp_state ? &m : nullptr);
    set_location_code(kLocationNone);
}

double vapour_pressure(std::int32_t i, double t_K) noexcept
{
    const SpeciesTable& tab = species_table();
    const double t_ref = tab.cavit_tref(i);
    if (t_K >= tab.species_tmax(i))
        return tab.vapour_high_pref(i) * std::exp(-(1.0 / t_K - 1.0 / t_ref) * tab.vapour_high_slope(i));
    const double x = (t_K - t_ref) * tab.cavit_c6(i) - (1.0 / t_K - 1.0 / t_ref) * tab.cavit_c4(i) +
                     0.5 * (t_K * t_K - t_ref * t_ref) * tab.cavit_c7(i) + std::log(t_K / t_ref) * tab.cavit_c5(i) +
                     (t_K * t_K * t_K - t_ref * t_ref * t_ref) * tab.cavit_c8(i) / 3.0 +
                     0.25 * (t_K * t_K * t_K * t_K - t_ref * t_ref * t_ref * t_ref) * tab.cavit_c9(i);
    return tab.cavit_pref(i) * std::exp(x);
}

double pressure_tolerance() noexcept { return g_pressure_tolerance; }

}  // namespace usersub::properties
