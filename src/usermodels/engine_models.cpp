#include "usermodels/engine_models.h"

#include "common/fixed_text.h"
#include "common/fortran_format.h"
#include "common/output.h"
#include "exchange/engine_components.h"
#include "exchange/run_info.h"
#include "exchange/user_models.h"
#include "exchange/user_plots.h"
#include "common/run_stop.h"
#include "properties/species/species_table.h"
#include "usermodels/argument_checks.h"
#include "usermodels/usermodel_common.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <string>

namespace usersub::usermodels {
namespace {

using exchange::UserModelArrays;

// Reference state of the wall heat transfer per cylinder 1 to 20, zero at load.
constexpr std::int64_t kHeatCylinders = 20;
std::array<double, kHeatCylinders> g_pmot1{};  // reference pressure, Pa
std::array<double, kHeatCylinders> g_gam1{};   // reference polytropic exponent
std::array<double, kHeatCylinders> g_vol1{};   // reference volume, m3
std::array<double, kHeatCylinders> g_tpv1{};   // T / (p V) at the reference, K/J

Array1<double> per_cylinder(const char* name, std::array<double, kHeatCylinders>& a) noexcept
{
    return {name, a.data(), kHeatCylinders};
}

// Title of the evaporation routine's first plot and name buffer of the
// injector and valve queries.
text::Fixed<80> g_evap_text;

// Real value r_k of an injector or valve; its name goes into g_evap_text.
template <class InfoOut, class Get>
double named_flow(Get get_info, std::int32_t index, std::size_t k) noexcept
{
    double value = 0.0;
    InfoOut out;
    out.name = g_evap_text.chars.data();
    out.name_len = g_evap_text.chars.size();
    out.r[k - 1] = &value;
    get_info(index, out);
    return value;
}

}  // namespace

void engcombuser(std::int32_t id, std::int32_t n_species, BurnStep& a) noexcept
{
    static UserModelArrays p;
    exchange::load_user_model_arrays(id, p);
    if (exchange::global_info().time_step_number == 1) {
        const auto& species = properties::species_table();
        for (std::int32_t k = 1; k <= a.mfliq.size(); ++k)
            out::list(a.mfliq(k), species.namfl(a.mfliq(k)));
    }

    a.output_flag = 1;
    for (std::int32_t i = 1; i <= n_species; ++i) a.burned(i) = 0.0;
    a.dx = 0.0;
    if (a.status == 2) return;

    if (a.theta_deg > a.end_deg) {
        // burn over: ready for the next cycle
        a.status = 2;
        a.x = 0.999;
        a.x_old = 0.999;
        a.start_deg = 9000.0;
        return;
    }
    if (a.start_deg > 8000.0) {
        // first call of a cycle
        a.x = 0.0;
        a.x_old = 0.0;
        a.end_deg = 9000.0;
        a.start_deg = -20.0;
        a.start_out_deg = -20.0;
    }
    if (!(a.start_deg < a.theta_deg)) return;

    const double z = (a.theta_deg - a.start_deg) / 50.0;  // 50 degrees of burn
    const double x = z >= 1.0 ? 1.0 : 0.5 * (1.0 - std::cos(3.1415927 * z));
    a.x = x;
    const double x_old = a.x_old;
    const double dx = x - x_old;
    a.dx = dx;
    // the step's share of what is left to burn; nothing once all has burned
    const double share = x_old < 1.0 ? dx / (1.0 - x_old) : 0.0;
    for (std::int32_t i = 1; i <= n_species; ++i) {
        double burned = share * (a.unburned(i) + a.residual(i));
        if (!std::isfinite(burned)) burned = share * a.unburned(i) + share * a.residual(i);  // the sum alone overflows
        if (!std::isfinite(burned))
            beyond_real_range("ENGCOMBUSER", {{15, "unburned mass", a.unburned(i), factor_reach(a.unburned(i))},
                                              {20, "residual mass", a.residual(i), factor_reach(a.residual(i))},
                                              {13, "previous burn fraction", x_old, divisor_reach(1.0 - x_old)}});
        a.burned(i) = std::min(burned, a.unburned(i));
    }
    a.x_old = x;
    if (x > 0.999) a.end_deg = a.theta_deg;
    a.status = 1;

    exchange::user_plot_store(id, 1, "User Combustion Model", "Burn Fraction", "theta", " ", a.theta_deg, x);
    exchange::user_plot_store(id, 2, "User Combustion Model", "Burn Rate", "theta", "1/CA", a.theta_deg,
                              dx / a.step_deg);
}

WallHeatTransfer engheattruser(std::int32_t id, const CylinderGasState& s) noexcept
{
    static UserModelArrays p;
    exchange::load_user_model_arrays(id, p);
    if (p.nreal < 2) input_error({"UserModel error (ENGHEATTRUSER):  Not enough real values, 2 needed"});
    constexpr std::string_view entry = "ENGHEATTRUSER";
    require_positive(entry, 5, "bore", s.bore_m);
    require_positive(entry, 7, "cylinder volume", s.volume_m3);
    require_positive(entry, 11, "pressure", s.p_Pa);
    require_positive(entry, 12, "temperature", s.t_K);

    const double theta_open = p.realparm(1);
    const double theta_close = p.realparm(2);
    double c1 = 6.18;  // gas exchange
    if (theta_open < s.theta_deg && s.theta_deg < theta_close) c1 = 6.18 - 3.9;

    if (s.phase == 0) {
        per_cylinder("PMOT1", g_pmot1)(s.cylinder) = s.p_Pa;
        per_cylinder("GAM1", g_gam1)(s.cylinder) = s.polytropic_exp;
        per_cylinder("VOL1", g_vol1)(s.cylinder) = s.volume_m3;
        per_cylinder("TPV1", g_tpv1)(s.cylinder) = s.t_K / (s.p_Pa * s.volume_m3);
    }

    double w2 = 0.0;  // combustion term, m/s
    if (s.phase != 0 && s.theta_deg < theta_close) {
        const double p_mot = per_cylinder("PMOT1", g_pmot1)(s.cylinder) *
                             std::pow(per_cylinder("VOL1", g_vol1)(s.cylinder) / s.volume_m3,
                                      per_cylinder("GAM1", g_gam1)(s.cylinder));
        const double vd_m3 = s.bore_m * s.bore_m * 0.785398175 * s.stroke_m;
        w2 = std::max(0.0, 0.00324 * vd_m3 * per_cylinder("TPV1", g_tpv1)(s.cylinder) * (s.p_Pa - p_mot));
    }
    const double w = std::max(c1 * s.piston_speed_m_s + w2, 1e-18);  // gas velocity, m/s

    WallHeatTransfer h{};
    // Woschni: 3.26 D^-0.2 p_kPa^0.8 T^-0.55 w^0.8 with p in Pa
    h.woschni_W_m2K = 0.01298 * std::pow(s.p_Pa * w, 0.8) / (std::pow(s.bore_m, 0.2) * std::pow(s.t_K, 0.55));
    // Hohenberg: 130 V^-0.06 p_bar^0.8 T^-0.4 (w + 1.4)^0.8
    h.hohenberg_W_m2K = 130.0 * std::pow(s.volume_m3, -0.06) * std::pow(s.p_Pa * 1e-5, 0.8) *
                        std::pow(s.t_K, -0.4) * std::pow(w + 1.4, 0.8);
    // A pressure, speed or stroke at the ends of the real range can carry p w beyond it.
    if (!std::isfinite(h.woschni_W_m2K) || !std::isfinite(h.hohenberg_W_m2K))
        beyond_real_range(entry, {{11, "pressure", s.p_Pa, factor_reach(s.p_Pa)},
                                  {10, "piston speed", s.piston_speed_m_s, factor_reach(s.piston_speed_m_s)},
                                  {6, "stroke", s.stroke_m, factor_reach(s.stroke_m)},
                                  {5, "bore", s.bore_m, extreme_reach(s.bore_m)},
                                  {7, "cylinder volume", s.volume_m3, extreme_reach(s.volume_m3)},
                                  {12, "temperature", s.t_K, extreme_reach(s.t_K)}});
    return h;
}

void userengcylevaporation(std::int32_t id, EvaporationStep& a) noexcept
{
    static UserModelArrays p;
    static std::string title_scratch;
    exchange::load_user_model_arrays(id, p);
    if (p.nreal < 3)
        input_error({"UserModel error (USERENGCYLEVAPORATION):  Not enough real values, 3 needed"});

    // rate, 1/s (1/step once the factor is a time step)
    const double rate = (16640.0 / p.realparm(1)) * std::pow(a.state1 / 600.0, p.realparm(2)) *
                        std::pow(a.state2 / 4000.0, p.realparm(3)) * a.factor;
    const auto& species = properties::species_table();
    for (std::int32_t i = 1; i <= a.n_species; ++i) a.evaporated(i) = 0.0;
    for (std::int32_t i = 1; i <= a.n_species; ++i) {
        if (species.ifuel(i) != 2 || species.iproptyp(i) < 2) continue;
        if (!std::isfinite(rate)) {
            // a state value that is negative under a fractional exponent, or zero under a
            // negative one, leaves the law without a rate
            out::list("F*** USERENGCYLEVAPORATION: the evaporation rate", rate,
                      "is not finite: check the state values (arguments 12 and 16), the factor (argument 10) "
                      "and real parameters 1 to 3");
            stop_run();
        }
        a.evaporated(i) = rate * a.liquid_mass(i);
    }
    for (std::int32_t j = 1; j <= 3; ++j) a.zero3(j) = 0.0;

    // piston position below top dead centre, slider-crank with pin offset
    const auto geo = exchange::cylinder_geometry(a.cylinder);
    const double r = geo.stroke / 2.0;
    const double e = geo.pin_offset;
    const double len = geo.rod_length;
    const double phi = a.theta_deg * kPi / 180.0;
    // A cylinder whose description is not loaded has no rod; one whose rod cannot
    // reach the crank pin at this angle has no piston position.
    if (!(len > 0.0)) {
        out::list("F*** USERENGCYLEVAPORATION: argument 2 (cylinder)", a.cylinder,
                  "has no connecting rod: load the cylinder descriptions first");
        stop_run();
    }
    const double s = (r * std::sin(phi) + e) / len;
    const double top_sq = (r + len) * (r + len) - e * e;
    if (!(s * s <= 1.0 && top_sq >= 0.0)) {
        out::list("F*** USERENGCYLEVAPORATION: argument 2 (cylinder)", a.cylinder,
                  "has a crank geometry the piston cannot follow: stroke", geo.stroke, "pin offset", e,
                  "rod length", len);
        stop_run();
    }
    const double x_m = std::sqrt(top_sq) - len * std::sqrt(1.0 - s * s) - r * std::cos(phi);
    title_scratch = "Cylinder";
    fmt::append_i(title_scratch, a.cylinder, 3);
    g_evap_text = title_scratch;
    exchange::user_plot_store(id, 1, g_evap_text.view(), "", "theta", "piston position [mm]", a.theta_deg,
                              1000.0 * x_m);

    // one plot per injector (kg/hr) and per valve (kg/s), titled with its name
    const auto plot_flow = [&](std::int32_t iplot, const char* y_label, double value) {
        exchange::user_plot_store(id, iplot, text::trim_right(g_evap_text.view()), "", "theta", y_label, a.theta_deg,
                                  value);
    };
    for (std::int32_t k = 1; k <= a.n_injectors; ++k) {
        const double mdot_kg_s = named_flow<exchange::InjectorInfoOut>(exchange::get_injector_info, a.injectors(k), 5);
        plot_flow(k + 1, "mass flowrate [kg/hr]", 3600.0 * mdot_kg_s);
    }
    for (std::int32_t k = 1; k <= a.n_valves; ++k) {
        const double mdot_kg_s = named_flow<exchange::ValveInfoOut>(exchange::get_valve_info, a.valves(k), 3);
        plot_flow(k + 1 + a.n_injectors, "mass flowrate [kg/s]", mdot_kg_s);
    }
}

void jetignitionusr(std::int32_t id, JetIgnitionStep& a) noexcept
{
    static UserModelArrays p;
    exchange::load_user_model_arrays(id, p);
    a.output_factor = 1.0;
    if (p.nint == 0) input_error({"No integer parameters defined for user model"});

    const bool built_in = p.intparm(1) == 999;
    double t_ign_K = 0.0;
    if (built_in) {
        t_ign_K = a.t_zone_K(5) + a.t_offset_K;
    } else {
        if (p.nreal < 2) input_error({"UserModel error (Ignition Delay):  Check UserModel input"});
        double sum_wmt = 0.0;
        double sum_wm = 0.0;
        for (std::int32_t k = 1; k <= 5; ++k) {
            const double w = k == 5 ? p.realparm(1) : std::max(p.realparm(2), 0.0);
            sum_wmt += w * a.m_zone(k) * a.t_zone_K(k);
            sum_wm += w * a.m_zone(k);
        }
        if (sum_wm == 0.0) {
            out::list("F*** JETIGNITIONUSR: argument 9 (zone masses) carry no weight in the ignition temperature");
            stop_run();
        }
        t_ign_K = sum_wmt / sum_wm + a.t_offset_K;
    }

    double tau_s = 1e18;  // no ignition at phi >= 3
    if (a.phi < 3.0) {
        // a zero delay or pressure would make the integral infinite
        require_positive("JETIGNITIONUSR", 11, "pressure", a.p);
        require_positive("JETIGNITIONUSR", 14, "delay factor", a.delay_factor);
        if (!(t_ign_K > 0.0))
            argument_error("JETIGNITIONUSR", 10, "ignition temperature with this offset", "must be positive",
                           t_ign_K);
        const double g = std::max(a.phi * (3.0 - a.phi) * (3.0 - a.phi), 1e-18);
        tau_s = a.delay_factor * 1.2e-6 * (4.0 / g) * std::pow(a.p, a.p_exponent) *
                std::exp(a.t_activation_K / t_ign_K);
    }
    a.integral_end = a.integral_start + a.dt_s / tau_s;
    if (!(tau_s > 0.0) || !std::isfinite(a.integral_end)) {
        // a delay that underflows to zero (or a step too long for it) has no finite integral
        out::list("F*** JETIGNITIONUSR: the ignition delay", tau_s,
                  "gives no finite integral: check the pressure (argument 11), the delay factor, pressure "
                  "exponent and temperature constant (arguments 14 to 16) and the time step (argument 17)");
        stop_run();
    }

    if (a.flow_switch == 1 && (built_in || p.realparm(2) < 0.0)) {
        const double d = (a.v19 - a.v20) * 0.0025 / (a.v21 / a.v22);
        // A zero argument 21 with argument 19 off argument 20 gives d = inf and the floor
        // 1e-5; only a d of 0/0 (arguments 19 and 20 equal, or 21 and 22 both zero) has no
        // factor at all.
        if (std::isnan(d))
            argument_error("JETIGNITIONUSR", 21, "divisor of the output factor", "leaves the factor undefined", a.v21);
        a.output_factor = std::max(1.0 - d * d, 1e-5);
    }
}

double lamflspeeduser(std::int32_t id) noexcept
{
    static UserModelArrays p;
    exchange::load_user_model_arrays(id, p);
    return 0.5;
}

double turbflspeeduser(std::int32_t id, double arg6) noexcept
{
    static UserModelArrays p;
    exchange::load_user_model_arrays(id, p);
    const double speed = 100.0 * arg6;
    if (!std::isfinite(speed)) beyond_real_range("TURBFLSPEEDUSER", {{6, "flame speed factor", arg6, factor_reach(arg6)}});
    return speed;
}

void swirl_user(std::int32_t id, double& ratio, Array1<double> four) noexcept
{
    static UserModelArrays p;
    exchange::load_user_model_arrays(id, p);
    ratio = 0.0;
    for (std::int32_t k = 1; k <= 4; ++k) four(k) = 0.0;
}

void tumble_user(std::int32_t id, double& out25, double& out26) noexcept
{
    static UserModelArrays p;
    exchange::load_user_model_arrays(id, p);
    out25 = 0.0;
    out26 = 0.0;
}

void turbulence_user(std::int32_t id, double& out24, double& out25, double& out26) noexcept
{
    static UserModelArrays p;
    exchange::load_user_model_arrays(id, p);
    out24 = 0.0;
    out25 = 0.0;
    out26 = 0.0;
}

}  // namespace usersub::usermodels
