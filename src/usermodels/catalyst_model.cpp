#include "usermodels/catalyst_model.h"

#include "common/output.h"
#include "common/run_stop.h"
#include "exchange/run_info.h"
#include "exchange/user_models.h"
#include "exchange/user_plots.h"
#include "properties/species/species_lookup.h"
#include "properties/species/species_table.h"
#include "properties/state/fluid_state.h"
#include "properties/state/secant_step.h"
#include "properties/transport/transport.h"
#include "usermodels/argument_checks.h"
#include "usermodels/usermodel_common.h"

#include <algorithm>
#include <cmath>
#include <vector>

namespace usersub::usermodels {
namespace {

constexpr std::int32_t kFuelCode = 2;
constexpr double kTiny = 1e-18;

// Time step at which the temperature-limited iteration last wrote its line.
std::int32_t g_outlet_line_step = 0;

// The composition the catalyst hands the state calls. The state solver uses
// FM1 as its own storage in its gas-phase pass, so the state calls never see
// FM1 itself: FM1 holds the catalyst's blend, this array the copy in flight.
std::vector<double> g_state_comp;

Array1<double> fm1() noexcept { return properties::species_table().fm1; }

std::int32_t nspecies() noexcept { return properties::species_table().nspecies; }

// Sizes the state-call composition to NSPECIES (storage is allocated only
// when the species count grows) and copies FM1(1..NSPECIES) into it.
double* state_comp_from_fm1() noexcept
{
    const std::int32_t n = nspecies();
    sizing("CATMODUSR", [n] { g_state_comp.resize(static_cast<std::size_t>(std::max(n, 1))); });
    const auto src = fm1().span(1, n);
    std::copy(src.begin(), src.end(), g_state_comp.begin());
    return g_state_comp.data();
}

// Back into FM1 after an equilibrium call rewrote the copy in flight.
void fm1_from_state_comp() noexcept
{
    const auto dst = fm1().span(1, nspecies());
    std::copy_n(g_state_comp.begin(), dst.size(), dst.begin());
}

// FM1(1..NSPECIES) = y.
void fm1_from(Array1<const double> y) noexcept
{
    const std::int32_t n = nspecies();
    const auto src = y.span(1, n);
    std::copy(src.begin(), src.end(), fm1().span(1, n).begin());
}

// The equilibrium composition of FM1 at T and p, written back into FM1.
void equilibrium_at_tp(double t_K, double p_Pa) noexcept
{
    double rho = 0.0, e = 0.0, h = 0.0, cp = 0.0, cv = 0.0;
    properties::zalthrm_tp_eq(t_K, p_Pa, state_comp_from_fm1(), rho, e, h, cp, cv);
    fm1_from_state_comp();
}

// FM1(i) = x FM1(i) + (1 - x) y(i): the blend x of the way to equilibrium.
// Then the temperature and pressure of the blend at density rho and energy e
// (t_K and p_Pa: start values in, results out). The blend stays in FM1 and in
// the state-call composition, whatever the solver leaves in FM1.
void blend_and_state(double x, Array1<const double> y, double rho_kg_m3, double e_J_kg, double& t_K,
                     double& p_Pa) noexcept
{
    const std::int32_t n = nspecies();
    const auto f = fm1().span(1, n);
    const auto yy = y.span(1, n);
    for (std::size_t i = 0; i < f.size(); ++i) f[i] = x * f[i] + (1.0 - x) * yy[i];
    double h = 0.0, cp = 0.0, cv = 0.0;
    properties::zalthrm_re(rho_kg_m3, e_J_kg, state_comp_from_fm1(), t_K, p_Pa, h, cp, cv);
}

// y(1..NSPECIES) = the last blend, and FM1 with it.
void copy_out(Array1<double> y) noexcept
{
    fm1_from_state_comp();
    const auto dst = y.span(1, nspecies());
    std::copy_n(g_state_comp.begin(), dst.size(), dst.begin());
}

// Treatment 2: one fuel burns at the rate A cO^a cF^b exp(T / Tc) (kmol/(m3 s),
// concentrations in kmol/m3); the burned share x of the fuel takes the volume
// x of the way to equilibrium. Returns false when nothing converts.
bool single_fuel_conversion(const exchange::UserModelArrays& p, const CatalystInputs& in, Array1<double> y,
                            double& t_K, double& p_Pa) noexcept
{
    if (p.nreal < 4) input_error({"UserModel error (Catalyst):  Check UserModel input"});
    const auto& sp = properties::species_table();
    const double rho = in.rho_kg_m3;

    double c_fuel = 0.0;  // kmol/m3
    std::int32_t n_fuels = 0;
    std::int32_t fuel = 0;
    for (std::int32_t i = 1; i <= std::min<std::int64_t>(y.size(), sp.props_scalar_3); ++i) {
        if (sp.ifuel(i) != kFuelCode) continue;
        c_fuel += y(i) * rho / sp.pmwt(i);
        ++n_fuels;
        fuel = i;
    }
    const std::int32_t o2 = in.moxy1(1);
    // Oxygen as an ordinary species and as a product species.
    const double c_o2 = (y(o2) + y(sp.props_scalar_3 + 4)) * rho / sp.pmwt(o2);
    if (n_fuels > 1) input_error({"The example treatment is not valid for more than one fuel"});

    double x = 0.0;
    if (c_o2 > kTiny && c_fuel > kTiny) {
        // T / Tc of a zero scale is infinite, or undefined (0 / 0) at T = 0.
        if (p.realparm(4) == 0.0 && t_K == 0.0)
            parameter_error("CATMODUSR", 4, "temperature scale", "must not be zero at a temperature of zero",
                            p.realparm(4));
        const double rate = p.realparm(1) * std::pow(c_o2, p.realparm(2)) * std::pow(c_fuel, p.realparm(3)) *
                            std::exp(t_K / p.realparm(4));  // kmol/(m3 s)
        const double fuel_kg = y(fuel) * in.mass_kg;
        double burned_kg = rate * in.mass_kg * sp.pmwt(fuel) / rho * *in.dt_s;
        // A zero factor against an overflowing exponential (0 x inf) burns
        // nothing; an overflow alone burns the whole fuel.
        if (std::isnan(burned_kg)) burned_kg = 0.0;
        // An empty volume holds no fuel to burn.
        if (fuel_kg > 0.0) x = std::min(burned_kg, fuel_kg) / fuel_kg;
    }
    if (x < kTiny) return false;

    for (int pass = 1; pass <= 2; ++pass) {  // the second pass: equilibrium at the state of the first
        fm1_from(y);
        equilibrium_at_tp(t_K, p_Pa);
        blend_and_state(x, y, rho, in.e_J_kg, t_K, p_Pa);
    }
    copy_out(y);
    return true;
}

std::int32_t time_step_number() noexcept { return exchange::global_info().time_step_number; }

}  // namespace

void catmod_outlet_state(Array1<double> fm, double e_J_kg, double& t_K, double& p_Pa, double rho_kg_m3,
                         double dt_max_K) noexcept
{
    const std::int32_t step_number = time_step_number();
    const double t0_K = t_K;
    const double t_limit_K = t_K + dt_max_K;
    const Array1<const double> y = fm;
    const auto& sp = properties::species_table();

    fm1_from(y);
    double y_fuel = 0.0;
    for (std::int32_t i = 1; i <= sp.props_scalar_3; ++i)
        if (sp.ifuel(i) == kFuelCode) y_fuel += y(i);
    if (y_fuel < kTiny) return;

    // The full equilibrium at this density and energy.
    double t_eq_K = t_K, p_eq_Pa = p_Pa, h = 0.0, cp = 0.0, cv = 0.0;
    properties::zalthrm_re_eq(rho_kg_m3, e_J_kg, state_comp_from_fm1(), t_eq_K, p_eq_Pa, h, cp, cv);
    fm1_from_state_comp();
    if (t_eq_K < t_limit_K) {
        t_K = t_eq_K;
        p_Pa = p_eq_Pa;
        copy_out(fm);
        return;
    }

    // Too hot: find the share x of the way to equilibrium at which the blend
    // reaches the limit temperature, by a secant iteration on x.
    std::int32_t count = 0;
    std::int32_t status = -1;
    double prev_residual = 0.0, x = 0.0, prev_x = 0.0, step = 0.0;
    constexpr double kSecondStart = 0.99;
    for (std::int32_t pass = 1;; ++pass) {
        fm1_from(y);
        if (pass == 1) {
            status = -1;
            x = 0.0;
        } else {
            equilibrium_at_tp(t_K, p_Pa);
        }
        const double x_pass = x;
        blend_and_state(x_pass, y, rho_kg_m3, e_J_kg, t_K, p_Pa);
        properties::secant_step(count, 3, 20, status, t_K, t_limit_K, prev_residual, x, prev_x, step, kSecondStart,
                                0.8, 1e18, 1e18, 1e18, 0.001, 0.0, t_limit_K);
        if (x >= 1.0) x = 0.999;  // never the whole way: the limit lies below the equilibrium
        if (x < 0.0) x = 0.0;
        if (pass >= 3 && std::abs(x - x_pass) < kTiny) break;  // the iteration stands still
        if (status == properties::kSecantConverged || status == properties::kSecantLimit) {
            // One line per time step across all catalyst volumes: the next x the
            // secant step proposed (clamped) beside the T of this pass's blend.
            if (step_number != g_outlet_line_step)
                out::list("Catalyst outlet:", count, x, t_K, t_limit_K, t_K - t0_K);
            g_outlet_line_step = step_number;
            break;
        }
    }
    copy_out(fm);
}

void catmodusr_empty_hook(const CatalystHookArgs&) noexcept {}

void catmodusr(std::int32_t imodel, const CatalystInputs& in, Array1<double> fm, double& out33) noexcept
{
    static exchange::UserModelArrays p;
    exchange::load_user_model_arrays(imodel, p);
    if (p.nint == 0) input_error({"No integer parameters defined for user model"});
    const double sim_time_s = exchange::global_info().sim_time_s;
    double t_K = in.t_K;  // the state calls move only these copies
    double p_Pa = in.p_Pa;

    switch (p.intparm(1)) {
    case 1: {
        const auto& sp = properties::species_table();
        properties::getmolfrac(fm.span(1, sp.nspecies).data(), fm1().span(1, sp.nspecies).data());
        double spare = 0.0;
        catmodusr_empty_hook({in.pass2, in.plot_key_a, in.plot_key_b, in.pass5, sp.props_scalar_3, p.nint, p.nchar,
                              p.nreal, sp.namfl, in.pass13, in.pass14, in.dt_s, in.fluxi, fm, fm1(), t_K, p_Pa,
                              in.pass28, spare, in.plot_factor, in.pass17, in.pass18, in.pass19, p.intparm,
                              p.charparm, p.realparm, p.rltarray});
        break;
    }
    case 2:
        // Without fuel or oxygen nothing converts and nothing is plotted.
        if (!single_fuel_conversion(p, in, fm, t_K, p_Pa)) return;
        out33 = 0.0;
        break;
    case 3:
        if (p.realparm(1) > kTiny) catmod_outlet_state(fm, in.e_J_kg, t_K, p_Pa, in.rho_kg_m3, p.realparm(1));
        break;
    default:
        break;
    }

    if (*in.plot_key_a == *in.plot_key_b) {
        double in_kg_s = 0.0;
        for (double f : in.fluxi.all()) in_kg_s += f;
        double out_kg_s = 0.0;
        for (double f : in.fluxip.all()) out_kg_s += f;
        exchange::user_plot_store(imodel, 1, "User Catalyst Model", "mass flux into the volume  ", "sec", "kg/sec",
                                  sim_time_s, in_kg_s * *in.plot_factor);
        exchange::user_plot_store(imodel, 2, "User Catalyst Model", "mass flux out of the volume", "sec", "kg/sec",
                                  sim_time_s, out_kg_s * *in.plot_factor);
    }
}

void mixture_diffusivity(double p_Pa, double t_K, Array1<const double> x, Array1<double> diff) noexcept
{
    const auto binarydif = properties::diffusion_arrays().binarydif;
    const std::int32_t n = nspecies();
    const double t_p = std::pow(t_K, 1.75) / p_Pa;  // D_ij = BINARYDIF(i, j) T^1.75 / p
    for (std::int32_t i = 1; i <= n; ++i) {
        double sum = 0.0;  // sum over j != i of X_j / D_ij, s/m2
        for (std::int32_t j = 1; j <= n; ++j) {
            // A pair without a factor (a species without a diffusion volume) adds nothing.
            if (j != i && binarydif(i, j) > 0.0) sum += x(j) / (binarydif(i, j) * t_p);
        }
        diff(i) = sum > 0.0 ? (1.0 - x(i)) / sum : 0.0;
    }
}

void init_diffusion_data() noexcept
{
    if (!properties::diffusion_ready()) properties::diffusion_volumes_setup();
}

}  // namespace usersub::usermodels
