#include "exchange/engine_components.h"

#include "common/fixed_text.h"

#include <algorithm>
#include <cmath>
#include <utility>

namespace usersub::exchange {
namespace {

EngineInfoCounts g_counts;
AllocationFlags g_flags;

// Cylinder table: one integer, 13 reals and the crank angle per cylinder.
Storage<std::int32_t> g_cyl_int("CYL_INT");
Storage<double, 2> g_cyl_real("CYL_REAL");  // (13, ncyl)
Storage<double> g_cyl_angle("CYL_ANGLE");

// Injector table.
Storage<char> g_inj_name("INJ_NAME");  // ninj x 117 characters
Storage<std::int32_t, 2> g_inj_int("INJ_INT");  // (2, ninj)
Storage<double, 2> g_inj_real("INJ_REAL");      // (8, ninj)
Storage<double, 2> g_inj_composition("INJ_COMPOSITION");  // (N_INJ_SPECIES, N_INJECTORS)

// Valve table.
Storage<char> g_vlv_name("VLV_NAME");
Storage<std::int32_t> g_vlv_int("VLV_INT1");
Storage<double, 2> g_vlv_real("VLV_REAL");  // (6, nvalve)
Storage<double, 2> g_vlv_composition1("VLV_COMPOSITION1");  // (N_VALVES, N_VLV_SPECIES)
Storage<double, 2> g_vlv_composition2("VLV_COMPOSITION2");

std::int64_t entries(std::int32_t n) noexcept { return n > 0 ? n : 0; }

TextArray<char> names(Storage<char>& s, const char* name) noexcept
{
    return {name, s.data(), kComponentNameLen, s.extent(0) / static_cast<std::int64_t>(kComponentNameLen)};
}

// First entry of injector iinj's composition column, nsp entries checked once.
double* injector_column(std::int32_t iinj, std::int32_t nsp) noexcept
{
    const auto comp = g_inj_composition.view();
    comp(nsp, iinj);  // the column's last entry lies inside the table
    return &comp(1, iinj);
}

// Valve ivalve's row of a composition: nsp entries, N_VALVES apart.
void store_valve_row(Storage<double, 2>& s, std::int32_t ivalve, std::int32_t nsp, const double* from) noexcept
{
    const auto comp = s.view();
    for (std::int32_t i = 1; i <= nsp; ++i) comp(ivalve, i) = from[i - 1];
}

void fetch_valve_row(const Storage<double, 2>& s, std::int32_t ivalve, std::int32_t nsp, double* to) noexcept
{
    if (to == nullptr) return;
    const auto comp = s.view();
    for (std::int32_t i = 1; i <= nsp; ++i) to[i - 1] = comp(ivalve, i);
}

}  // namespace

const EngineInfoCounts& engine_info_counts() noexcept { return g_counts; }
const AllocationFlags& allocation_flags() noexcept { return g_flags; }

// ---- cylinders ----

void allocate_cylinder_arrays(std::int32_t ncyl)
{
    const std::int64_t n = entries(ncyl);
    g_cyl_int.assign({n}, 0);
    g_cyl_real.assign({kCylinderReals, n}, 0.0);
    g_cyl_angle.assign({n}, 0.0);
    g_flags.cylinder_arrays = true;
}

void load_cylinder_info(std::int32_t icyl, std::int32_t ival, const double* r) noexcept
{
    g_cyl_int(icyl) = ival;
    const auto real = g_cyl_real.view();
    for (int k = 1; k <= kCylinderReals; ++k) real(k, icyl) = r[k - 1];
}

void load_cylinder_angle(std::int32_t icyl, double angle) noexcept { g_cyl_angle(icyl) = angle; }

void get_cylinder_info(std::int32_t icyl, std::int32_t* ival, double* const* r, double* angle) noexcept
{
    if (ival != nullptr) *ival = g_cyl_int(icyl);
    if (r != nullptr) {
        const auto real = g_cyl_real.view();
        for (int k = 1; k <= kCylinderReals; ++k)
            if (r[k - 1] != nullptr) *r[k - 1] = real(k, icyl);
    }
    if (angle != nullptr) *angle = g_cyl_angle(icyl);
}

CylinderGeometry cylinder_geometry(std::int32_t icyl) noexcept
{
    CylinderGeometry g;
    double* r[kCylinderReals] = {};
    r[1] = &g.stroke;
    r[2] = &g.pin_offset;
    r[4] = &g.rod_length;
    get_cylinder_info(icyl, nullptr, r);
    return g;
}

// ---- injectors ----

void allocate_injector_arrays(std::int32_t ninj)
{
    const std::int64_t n = entries(ninj);
    g_counts.n_injectors = ninj;
    g_inj_name.assign({n * static_cast<std::int64_t>(kComponentNameLen)}, ' ');
    g_inj_int.assign({2, n}, 0);
    g_inj_real.assign({kInjectorReals, n}, 0.0);
    g_flags.injector_arrays = true;
}

void allocate_injector_composition(std::int32_t nsp)
{
    g_counts.n_inj_species = nsp;
    g_inj_composition.assign({entries(nsp), entries(g_counts.n_injectors)}, 0.0);
    g_flags.injector_composition = true;
}

void load_injector_info(std::int32_t iinj, std::string_view name, std::int32_t i1, std::int32_t i2,
                        const double* r, const double* composition) noexcept
{
    names(g_inj_name, "INJ_NAME").assign(iinj, name);
    const auto ints = g_inj_int.view();
    ints(1, iinj) = i1;
    ints(2, iinj) = i2;
    const auto real = g_inj_real.view();
    for (int k = 1; k <= kInjectorReals; ++k) real(k, iinj) = r[k - 1];
    const std::int32_t nsp = g_counts.n_inj_species;
    if (nsp > 0) std::copy_n(composition, nsp, injector_column(iinj, nsp));
}

void get_injector_info(std::int32_t iinj, const InjectorInfoOut& out) noexcept
{
    if (out.name != nullptr && out.name_len > 0)
        text::assign(out.name, out.name_len, names(g_inj_name, "INJ_NAME")(iinj));
    const auto ints = g_inj_int.view();
    if (out.i1 != nullptr) *out.i1 = ints(1, iinj);
    if (out.i2 != nullptr) *out.i2 = ints(2, iinj);
    const auto real = g_inj_real.view();
    for (int k = 1; k <= kInjectorReals; ++k)
        if (out.r[k - 1] != nullptr) *out.r[k - 1] = real(k, iinj);
    const std::int32_t nsp = g_counts.n_inj_species;
    if (out.composition != nullptr && nsp > 0) std::copy_n(injector_column(iinj, nsp), nsp, out.composition);
}

// ---- valves ----

void allocate_valve_arrays(std::int32_t nvalve)
{
    const std::int64_t n = entries(nvalve);
    g_counts.n_valves = nvalve;
    g_vlv_name.assign({n * static_cast<std::int64_t>(kComponentNameLen)}, ' ');
    g_vlv_int.assign({n}, 0);
    g_vlv_real.assign({6, n}, 0.0);
    g_flags.valve_arrays = true;
}

void allocate_valve_composition(std::int32_t nsp)
{
    g_counts.n_vlv_species = nsp;
    g_vlv_composition1.assign({entries(g_counts.n_valves), entries(nsp)}, 0.0);
    g_vlv_composition2.assign({entries(g_counts.n_valves), entries(nsp)}, 0.0);
    g_flags.valve_compositions = true;
}

void load_valve_info(std::int32_t ivalve, std::string_view name, std::int32_t i1, const double* r,
                     const double* composition1, const double* composition2) noexcept
{
    names(g_vlv_name, "VLV_NAME").assign(ivalve, name);
    g_vlv_int(ivalve) = i1;
    const auto real = g_vlv_real.view();
    for (int k = 1; k <= 6; ++k) real(k, ivalve) = r[k - 1];
    const std::int32_t nsp = g_counts.n_vlv_species;
    store_valve_row(g_vlv_composition1, ivalve, nsp, composition1);
    store_valve_row(g_vlv_composition2, ivalve, nsp, composition2);
}

void get_valve_info(std::int32_t ivalve, const ValveInfoOut& out) noexcept
{
    if (out.name != nullptr && out.name_len > 0)
        text::assign(out.name, out.name_len, names(g_vlv_name, "VLV_NAME")(ivalve));
    if (out.i1 != nullptr) *out.i1 = g_vlv_int(ivalve);
    const auto real = g_vlv_real.view();
    for (int k = 1; k <= 6; ++k)
        if (out.r[k - 1] != nullptr) *out.r[k - 1] = real(k, ivalve);
    const std::int32_t nsp = g_counts.n_vlv_species;
    fetch_valve_row(g_vlv_composition1, ivalve, nsp, out.composition1);
    fetch_valve_row(g_vlv_composition2, ivalve, nsp, out.composition2);
}

ArrayN<const double, 2> injector_composition() noexcept
{
    return std::as_const(g_inj_composition).view();
}
ArrayN<const double, 2> valve_composition1() noexcept { return std::as_const(g_vlv_composition1).view(); }
ArrayN<const double, 2> valve_composition2() noexcept { return std::as_const(g_vlv_composition2).view(); }

// ---- piston kinematics ----

PistonMotion piston_kinematics(std::int32_t icyl, double speed_rpm, double prev_speed_rpm,
                               double crank_deg, double step_deg) noexcept
{
    constexpr double pi = 3.1415927;
    const CylinderGeometry g = cylinder_geometry(icyl);
    const double r = 0.5 * g.stroke;  // crank radius
    const double e = g.pin_offset;
    const double L = g.rod_length;
    const double theta = crank_deg * pi / 180.0;
    const double omega = speed_rpm * pi / 30.0;  // rad/s
    const double omega0 = prev_speed_rpm * pi / 30.0;
    const double dtheta = step_deg * pi / 180.0;

    const double sin_t = std::sin(theta);
    const double cos_t = std::cos(theta);
    const double s = (r * sin_t + e) / L;  // sine of the rod angle
    const double c = std::sqrt(1.0 - s * s);
    const double t = s / c;

    PistonMotion m;
    m.position = std::sqrt((r + L) * (r + L) - e * e) - r * cos_t - L * c;
    m.velocity = r * omega * (sin_t + cos_t * t);
    m.acceleration = r * ((cos_t + r * cos_t * cos_t / (L * c * c * c) - sin_t * t) * omega * omega +
                          (sin_t + cos_t * t) * (omega - omega0) / dtheta);
    return m;
}

}  // namespace usersub::exchange
