#include "usermodels/flow_devices.h"

#include "exchange/run_info.h"
#include "exchange/ufd_exchange.h"
#include "exchange/user_models.h"
#include "exchange/user_plots.h"
#include "properties/species/species_table.h"
#include "properties/state/fluid_state.h"
#include "properties/state/volume_state.h"
#include "usermodels/usermodel_common.h"

#include <algorithm>
#include <array>
#include <cmath>

namespace usersub::usermodels {
namespace {

constexpr std::int64_t kDevices = 4;
constexpr double kFresh = -999.0;

// First-call marks per (case index, device): sized by the first call of a run.
class FirstCallTable {
public:
    bool exists() const noexcept { return exists_; }
    void create(std::int32_t ncase, std::int32_t ndev)
    {
        marks_.assign({ncase, ndev}, 1);
        exists_ = true;
    }
    void release() noexcept
    {
        marks_.release();
        exists_ = false;
    }
    std::int8_t& operator()(std::int32_t c, std::int32_t d) noexcept { return marks_(c, d); }

private:
    Storage<std::int8_t, 2> marks_{"FIRST_CALL"};
    bool exists_ = false;
};

// ---- the example device ----

struct ExampleDevices {
    // Created at the first call of a run, filled with -999.0.
    bool arrays_exist = false;
    Storage<double> pufd{"PUFD"};
    Storage<double> tufd{"TUFD"};
    Storage<double, 2> fmufd{"FMUFD"};  // (nsp, 4)
    // Kept from one run to the next, 0.0 at load.
    std::array<double, kDevices> uufd{};      // mean speed
    std::array<double, kDevices> volufd{};    // volume
    std::array<double, kDevices> volufdp{};   // volume of the previous update
    std::array<double, kDevices> rmssufd{};   // gas mass
    std::array<double, kDevices> rmsseufd{};  // mass x (e + u^2 / 2)
    FirstCallTable first_call;
};

ExampleDevices g_dev;
exchange::UserModelArrays g_ufd_parms;

Array1<double> per_device(std::array<double, kDevices>& a, const char* name) noexcept
{
    return {name, a.data(), kDevices};
}

// Column d of FMUFD as a state call reads it: NSPECIES entries, all of which
// must lie in the column.
double* device_composition(std::int32_t d) noexcept
{
    const auto fm = g_dev.fmufd.view();
    double* column = &fm(1, d);
    fm(std::max(properties::species_table().nspecies, 1), d);
    return column;
}

// Damping of the heat rate: the fraction `damp` of the way to the actuator
// temperature, spread over the time left to the reference time (`ratio`).
struct Damping {
    double damp = 1.0;
    double ratio = 1.0;
};

Damping damping(const UfdStep& a) noexcept
{
    Damping g;
    if (a.damping_switch > -1.0 && a.time_s <= a.damping_ref_time_s) {
        g.ratio = a.dt_s / ((a.damping_ref_time_s + a.dt_s) - a.time_s);
        if (g_ufd_parms.nreal < 1) input_error({"UserModel error (UFD):  No damping factor in real data array"});
        g.damp = 1.0 - std::clamp(g_ufd_parms.realparm(1), 0.0, 1.0);
    }
    return g;
}

void initialise_device(const UfdStep& a) noexcept
{
    const std::int32_t d = a.device;
    auto uufd = per_device(g_dev.uufd, "UUFD");
    g_dev.tufd(d) = a.init_t_K;
    g_dev.pufd(d) = a.init_p_Pa;
    per_device(g_dev.volufd, "VOLUFD")(d) = a.init_volume_m3;
    per_device(g_dev.volufdp, "VOLUFDP")(d) = a.init_volume_m3;
    per_device(g_dev.rmssufd, "RMSSUFD")(d) = a.init_mass_kg;
    for (std::int32_t i = 1; i <= a.nsp; ++i) g_dev.fmufd(i, d) = a.fminit(i);
    double rho, e, h, cp, cv;
    properties::zalthrm_tp(a.init_t_K, a.init_p_Pa, device_composition(d), rho, e, h, cp, cv);
    uufd(d) = 0.0;  // the device starts at rest, whatever initial speed the host passes
    per_device(g_dev.rmsseufd, "RMSSEUFD")(d) = (e + 0.5 * uufd(d) * uufd(d)) * a.init_mass_kg;
}

}  // namespace

void ufdmodel(std::int32_t imodel, const UfdStep& a)
{
    exchange::load_user_model_arrays(imodel, g_ufd_parms);
    const auto& sp = properties::species_table();
    const auto& info = exchange::global_info();
    const std::int32_t d = a.device;

    if (!g_dev.arrays_exist) {
        g_dev.pufd.assign({kDevices}, kFresh);
        g_dev.tufd.assign({kDevices}, kFresh);
        g_dev.fmufd.assign({std::max(a.nsp, 0), kDevices}, kFresh);
        g_dev.arrays_exist = true;
    }
    if (!g_dev.first_call.exists()) g_dev.first_call.create(info.global_int3, a.ndev);

    std::int8_t& first = g_dev.first_call(info.global_int1, d);
    if (first != 0) {
        initialise_device(a);
        first = 0;
    }

    auto uufd = per_device(g_dev.uufd, "UUFD");
    auto mass = per_device(g_dev.rmssufd, "RMSSUFD");
    double& p_dev = g_dev.pufd(d);
    double& t_dev = g_dev.tufd(d);
    double* y_dev = device_composition(d);

    // Port balance: mass, species masses (FM2) and energy that the flows carry
    // in during the step; an outflow (ULPG <= 0) carries the device's own gas.
    double dm_kg = 0.0;
    double dE_J = 0.0;
    for (std::int32_t i = 1; i <= a.nsp; ++i) sp.fm2(i) = 0.0;
    for (std::int32_t k = 1; k <= a.nc; ++k) {
        const std::int32_t p = a.map_n_to_p(k);
        const double w_kg_s = a.areapg_m2(p) * a.rhopg_kg_m3(p) * a.ulpg_m_s(p);
        dm_kg += w_kg_s * a.dt_s;
        const bool outflow = a.ulpg_m_s(p) <= 0.0;
        for (std::int32_t i = 1; i <= a.nsp; ++i) sp.fm1(i) = outflow ? g_dev.fmufd(i, d) : a.rmspg(p, i);
        const double t_K = outflow ? t_dev : a.tlpg_K(p);
        const double p_Pa = outflow ? p_dev : a.plpg_Pa(p);
        const double u_m_s = outflow ? uufd(d) : a.uceng_m_s(p);
        for (std::int32_t i = 1; i <= a.nsp; ++i) sp.fm2(i) += w_kg_s * sp.fm1(i) * a.dt_s;
        double rho, e, h, cp, cv;
        properties::zalthrm_tp(t_K, p_Pa, sp.fm1.data(), rho, e, h, cp, cv);
        dE_J += w_kg_s * (h + 0.5 * u_m_s * u_m_s) * a.dt_s;  // flow enthalpy + kinetic energy
    }

    // Heat rate that moves the device temperature the damped fraction of the
    // way to actuator 2 within one step; a step of no time takes in no heat.
    const Damping g = damping(a);
    double heat_W = 0.0;
    std::int32_t set2 = 0;
    double t_target_K = 0.0;
    exchange::ufd_get_actuator2(d, set2, t_target_K);
    if (set2 == 1 && a.dt_s > 0.0) {
        double rho, e, h, cp, cv;
        properties::zalthrm_tp(t_dev, p_dev, y_dev, rho, e, h, cp, cv);
        heat_W = g.damp * g.ratio * cp * mass(d) * (t_target_K - t_dev) / a.dt_s;
    }

    // Mean speed of the connected ports; a device without connections is at rest.
    double speed_sum = 0.0;
    for (std::int32_t k = 1; k <= a.nc; ++k) speed_sum += std::abs(a.uceng_m_s(a.map_n_to_p(k)));
    uufd(d) = a.nc >= 1 ? speed_sum / a.nc : 0.0;

    properties::volume_state_update(a.fluid_kind, dm_kg, dE_J, sp.fm2.data(), heat_W, a.dt_s,
                                    per_device(g_dev.volufd, "VOLUFD")(d), mass(d), y_dev, p_dev, t_dev,
                                    uufd(d), per_device(g_dev.rmsseufd, "RMSSEUFD")(d),
                                    per_device(g_dev.volufdp, "VOLUFDP")(d));

    // Port outputs; the force term of actuator 1 (Pa) acts only between two ports.
    std::int32_t set1 = 0;
    double force_p_Pa = 0.0;
    exchange::ufd_get_actuator1(d, set1, force_p_Pa);
    for (std::int32_t k = 1; k <= a.nc; ++k) {
        const std::int32_t p = a.map_n_to_p(k);
        a.ulpu_m_s(p) = a.ulpg_m_s(p);
        double s = 0.0;
        if (set1 == 1 && a.nc == 2) s = (uufd(d) > 0.0 ? 0.5 : -0.5) * force_p_Pa * a.areapg_m2(p);
        a.slpu(p) = s;
        a.tlpu_K(p) = t_dev;
        a.plpu_Pa(p) = p_dev;
        for (std::int32_t i = 1; i <= a.nsp; ++i) a.rmspu(i, p) = g_dev.fmufd(i, d);
    }

    exchange::user_plot_store(imodel, 1, "UFD Model", "Pressure", "time", "(bar) ", a.time_s, p_dev * 1e-5);
    exchange::user_plot_store(imodel, 2, "UFD      ", "Temperature", "time", "(k)", a.time_s, t_dev);
}

void clear_ufd_memory() noexcept
{
    if (g_dev.arrays_exist) {
        g_dev.pufd.release();
        g_dev.tufd.release();
        g_dev.fmufd.release();
    }
    g_dev.arrays_exist = false;
    // The next run starts its devices afresh (they would otherwise go on from
    // the -999.0 of the re-created arrays), with that run's case and device counts.
    g_dev.first_call.release();
}

void empty_noarg_stub() noexcept {}

// ---- the implicit device ----

namespace {

constexpr double kImplicitPortArea_m2 = 0.000491;  // fixed flow area of the mean speed

struct ImplicitDevices {
    bool exist = false;
    Storage<double> mass_old{"MASS_OLD"};  // kg, at the last accepted step
    Storage<double> enth_old{"ENTH_OLD"};  // J/kg, h + u^2 / 2 at the last accepted step
    FirstCallTable first_call;
};

ImplicitDevices g_impl;
exchange::UserModelArrays g_impl_parms;

// Mean port speed from the magnitudes of all np port flows over nc connected
// ports; a device without connections is at rest.
double implicit_mean_speed(const UfdImplicitStep& a, double rho_kg_m3) noexcept
{
    if (a.nc < 1) return 0.0;
    double sum = 0.0;
    for (const double w : a.fmas_kg_s.all()) sum += std::abs(w);
    return sum / a.nc / rho_kg_m3 / kImplicitPortArea_m2;
}

}  // namespace

void ufdmodel_impl(std::int32_t imodel, const UfdImplicitStep& a)
{
    exchange::load_user_model_arrays(imodel, g_impl_parms);
    const auto& info = exchange::global_info();
    const std::int32_t d = a.device;
    if (!g_impl.exist) {
        const std::int32_t ndev = std::max(a.ndev, 0);
        g_impl.enth_old.assign({ndev}, kFresh);
        g_impl.mass_old.assign({ndev}, kFresh);
        g_impl.first_call.create(info.global_int3, ndev);
        g_impl.exist = true;
    }

    double rho, e, h, cp, cv;
    properties::zalthrm_tp(a.t_K, a.p_Pa, a.composition, rho, e, h, cp, cv);

    double& mass_old = g_impl.mass_old(d);
    double& enth_old = g_impl.enth_old(d);
    std::int8_t& first = g_impl.first_call(info.global_int1, d);
    if (first != 0 && a.init_switch == 1) {
        mass_old = rho * a.volume_m3;
        a.mean_speed_m_s = implicit_mean_speed(a, rho);
        enth_old = h + 0.5 * a.mean_speed_m_s * a.mean_speed_m_s;
        first = 0;
    }

    // Enthalpy balance over the step, D h_new = inflows + (h_old + 0.05 h) M_old / dt
    // + (P - P_prev) V / dt with D = 1.05 M_old / dt + outflows: the old enthalpy
    // (weight 1) and the current one (weight 0.05) of the old mass, the enthalpy
    // flows that enter and the pressure work; an outflow takes the new enthalpy
    // with it. Both sides are taken times dt, so a step of no time stays finite.
    double denominator_kg = 1.05 * mass_old;
    double inflow_J = 0.0;
    for (std::int32_t k = 1; k <= a.nc; ++k) {
        if (a.fmas_kg_s(k) < 0.0)
            denominator_kg -= a.fmas_kg_s(k) * a.dt_s;
        else
            inflow_J += a.fmas_h_W(k) * a.dt_s;
    }
    const double h_new = (inflow_J + (enth_old + 0.05 * h) * mass_old + (a.p_Pa - a.p_prev_Pa) * a.volume_m3) /
                         denominator_kg;

    properties::zalthrm_ph(a.p_Pa, h_new, a.composition, a.t_K, rho, e, cp, cv);
    a.zero_out = 0.0;
    for (double& s : a.slpu.all()) s = 0.0;
    a.mean_speed_m_s = implicit_mean_speed(a, rho);
    if (a.accept) {
        mass_old = rho * a.volume_m3;
        enth_old = h_new + 0.5 * a.mean_speed_m_s * a.mean_speed_m_s;
    }
}

}  // namespace usersub::usermodels
