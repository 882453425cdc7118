// Entry points of the engine, pipe and turbocharger sub-models. Positions a
// routine does not read are received and left alone.
#include "exports/host_args.h"
#include "usermodels/engine_models.h"
#include "usermodels/injector_turbo_models.h"
#include "usermodels/pipe_models.h"

using namespace usersub;
namespace um = usersub::usermodels;

namespace {

um::PipeFlow pipe_flow(const double* cp, const double* mu, const double* k, const double* rho,
                       const double* u, const double* d) noexcept
{
    return {*cp, *mu, *k, *rho, *u, *d};
}

void put_complex(double* out, std::complex<double> z) noexcept
{
    out[0] = z.real();
    out[1] = z.imag();
}

}  // namespace

extern "C" {

// ---- engine ----

void ENGCOMBUSER(const int32_t* id, const void*, const void*, const void*, const int32_t* n_species,
                 int32_t* output_flag, int32_t* status, const double* theta, const double* step, const void*,
                 double* dx, double* x, double* x_old, const void*, const double* umascomb, const void*,
                 double* dmascomb, const void*, const void*, const double* fuelrestm, double* end_angle,
                 double* start_angle, double* start_angle_out, const void*, const void*, const void*,
                 const void*, const void*, const void*, const void*, const void*, const int32_t*, const void*,
                 const int32_t*, const void*, const int32_t*, const void*, const int32_t* n_mfliq,
                 const int32_t* mfliq)
{
    const int32_t n = *n_species;
    um::BurnStep a{*output_flag,
                   *status,
                   *theta,
                   *step,
                   *dx,
                   *x,
                   *x_old,
                   {"UMASCOMB", umascomb, n},
                   {"DMASCOMB", dmascomb, n},
                   {"FUELRESTM", fuelrestm, n},
                   *end_angle,
                   *start_angle,
                   *start_angle_out,
                   {"MFLIQ", mfliq, *n_mfliq}};
    um::engcombuser(*id, n, a);
}

void ENGHEATTRUSER(const int32_t* id, const int32_t* cylinder, const int32_t* phase, const void*,
                   const double* bore, const double* stroke, const double* volume, const void*, const void*,
                   const double* piston_speed, const double* pressure, const double* temperature, const void*,
                   const void*, const void*, const double* polytropic_exp, const int32_t*, const void*,
                   const void*, const void*, const void*, const void*, const void*, const void*, const void*,
                   const void*, const void*, const void*, const void*, const double* theta, const void*,
                   const void*, const void*, const void*, const void*, const void*, const void*, const void*,
                   double* h_woschni, double* h_hohenberg)
{
    const auto h = um::engheattruser(*id, {*cylinder, *phase, *bore, *stroke, *volume, *piston_speed, *pressure,
                                           *temperature, *polytropic_exp, *theta});
    *h_woschni = h.woschni_W_m2K;
    *h_hohenberg = h.hohenberg_W_m2K;
}

void USERENGCYLEVAPORATION(const int32_t* id, const int32_t* cylinder, const void*, const int32_t* n_species,
                           const int32_t* mass_extent, const double* mass, const double* theta, const void*,
                           const void*, const double* factor, const void*, const double* state1, const void*,
                           const void*, const void*, const double* state2, const int32_t* n_injectors,
                           const int32_t* inj_index, const int32_t* n_valves, const int32_t* valve_index,
                           double* evaporated_mass, double* zero3)
{
    um::EvaporationStep a{*cylinder,
                          *n_species,
                          {"MASS", mass, *mass_extent},
                          *theta,
                          *factor,
                          *state1,
                          *state2,
                          *n_injectors,
                          {"INJ_INDEX", inj_index, *n_injectors},
                          *n_valves,
                          {"VALVE_INDEX", valve_index, *n_valves},
                          {"EVAPORATED_MASS", evaporated_mass, *n_species},
                          {"USERENGCYLEVAPORATION argument 22", zero3, 3}};
    um::userengcylevaporation(*id, a);
}

void JETIGNITIONUSR(const int32_t* flow_switch, const void*, const void*, const int32_t* id,
                    const int32_t* zone_extent, const void*, const double* phi, const double* tmps,
                    const double* smas, const double* t_offset, const double* pressure,
                    const double* integral_start, double* integral_end, const double* delay_factor,
                    const double* p_exponent, const double* t_activation, const double* dt,
                    double* output_factor, const double* v19, const double* v20, const double* v21,
                    const double* v22)
{
    um::JetIgnitionStep a{*flow_switch,   *phi,          {"TMPS", tmps, *zone_extent},
                          {"SMAS", smas, *zone_extent}, *t_offset, *pressure,
                          *integral_start, *integral_end, *delay_factor,
                          *p_exponent,    *t_activation, *dt,
                          *output_factor, *v19,          *v20,
                          *v21,           *v22};
    um::jetignitionusr(*id, a);
}

void LAMFLSPEEDUSER(const int32_t* id, const void*, const int32_t*, const void*, const void*, const void*,
                    const void*, const void*, double* flame_speed, const void*, const void*, const void*,
                    const void*, const void*, const void*, const void*, const void*, const void*)
{
    *flame_speed = um::lamflspeeduser(*id);
}

void TURBFLSPEEDUSER(const int32_t* id, const void*, const void*, const void*, const void*, const double* arg6,
                     const void*, const void*, const void*, const void*, const void*, const void*, const void*,
                     const void*, const void*, const void*, const void*, const void*, const void*, const void*,
                     const void*, double* flame_speed)
{
    *flame_speed = um::turbflspeeduser(*id, *arg6);
}

void SWIRL_USER(const void*, const void*, const int32_t* id, const void*, const void*, const void*, const void*,
                const void*, const void*, const void*, const void*, const void*, const void*, const void*,
                const void*, const void*, const void*, const void*, const void*, const void*, const void*,
                const void*, const void*, const void*, double* out25, double* out26)
{
    um::swirl_user(*id, *out25, {"SWIRL_USER argument 26", out26, 4});
}

void TUMBLE_USER(const void*, const void*, const int32_t* id, const void*, const void*, const void*, const void*,
                 const void*, const void*, const void*, const void*, const void*, const void*, const void*,
                 const void*, const void*, const void*, const void*, const void*, const void*, const void*,
                 const void*, const void*, const void*, double* out25, double* out26)
{
    um::tumble_user(*id, *out25, *out26);
}

void TURBULENCE_USER(const void*, const void*, const int32_t* id, const void*, const void*, const void*,
                     const void*, const void*, const void*, const void*, const void*, const void*, const void*,
                     const void*, const void*, const void*, const void*, const void*, const void*, const void*,
                     const void*, const void*, const void*, double* out24, double* out25, double* out26)
{
    um::turbulence_user(*id, *out24, *out25, *out26);
}

// ---- pipes and thermal ----

void CF_USER(const void*, const void*, const int32_t* id, const void*, const void*, const double* cp,
             const double* mu, const double* k, const double* rho, const double* u, const double* d,
             const void*, const void*, const void*, double* cf)
{
    *cf = um::cf_user(*id, pipe_flow(cp, mu, k, rho, u, d));
}

void CF_HG_USER(const void*, const void*, const int32_t* id, const void*, const void*, const double* cp,
                const double* mu, const double* k, const double* rho, const double* u, const double* d,
                const void*, const void*, const void*, const double* cf, double* htc)
{
    *htc = um::cf_hg_user(*id, pipe_flow(cp, mu, k, rho, u, d), *cf);
}

void CF_USER_REFRIG(const void*, const void*, const int32_t* id, const void*, const void*,
                    const double* cp, const double* mu, const double* k, const double* rho,
                    const double* u, const double* d, const void*, const void*, const void*, double* cf,
                    const void*, const void*, const double* quality, const void*, const void*,
                    const void*, const void*, const void*, const void*, const void*, const void*,
                    const void*, const void*, const void*, const void*, const void*, const void*)
{
    *cf = um::cf_user_refrig(*id, pipe_flow(cp, mu, k, rho, u, d), *quality);
}

void CF_HG_USER_REFRIG(const void*, const void*, const int32_t* id, const double* t_fluid,
                       const double* t_wall, const double* cp, const double* mu, const double* k,
                       const double* rho, const double* u, const double* d, const void*, const void*,
                       const void*, const void*, const double* area, const double* q_divisor,
                       const double* quality, const double* p_reduced, const double* q_in,
                       const double* rho_l, const double* h_l, const double* mu_l, const double* k_l,
                       const double* cp_l, const double* sigma, const double* rho_v, const double* h_v,
                       const double* mu_v, const double* k_ref, const void*, double* htc,
                       const double* mdot)
{
    const um::RefrigState s{*t_fluid, *t_wall, *area,  *q_divisor, *quality, *p_reduced,
                            *q_in,    *rho_l,  *h_l,   *mu_l,      *k_l,     *cp_l,
                            *sigma,   *rho_v,  *h_v,   *mu_v,      *k_ref,   *mdot};
    *htc = um::cf_hg_user_refrig(*id, pipe_flow(cp, mu, k, rho, u, d), s);
}

void TM_USER(double* t11, double* t12, double* t21, double* t22, const int32_t* id, const double* omega)
{
    const auto t = um::tm_user(*id, *omega);
    put_complex(t11, t[0]);
    put_complex(t12, t[1]);
    put_complex(t21, t[2]);
    put_complex(t22, t[3]);
}

void USER_SET_ENERGY_SOURCE(const int32_t* id, const void*, const void*, const void*, const void*,
                            const void*, const void*, const void*, const void*, const void*,
                            const void*, const void*, const void*, const void*, const void*,
                            const void*, const void*, const void*, const void*, double* source1,
                            double* source2)
{
    const auto s = um::user_set_energy_source(*id);
    *source1 = s[0];
    *source2 = s[1];
}

// ---- injector, NOx, friction, valve lift, turbocharger ----

void INJNOZZUSER_GETDIM(const void*, const void*, const int32_t* id, int32_t* nozzles, double* diameter)
{
    const auto g = um::injnozzuser_getdim(*id);
    *nozzles = g.count;
    *diameter = g.diameter_m;
}

void INJNOZZUSER_SOLUTION(const void*, const void*, const void*, const int32_t* id, const double* flow_switch,
                          const double* p1, const double* upstream_value, const double* p2, const void*,
                          const double* rho, const double* u_max, double* mdot, double* velocity,
                          double* p1_out, double* upstream_out, double* vdot, double* cd, double* rho_out,
                          double* zero19, double* zero20, double* zero21, double* r_eff)
{
    const auto r = um::injnozzuser_solution(*id, {*flow_switch, *p1, *upstream_value, *p2, *rho, *u_max});
    *mdot = r.mdot_kg_s;
    *velocity = r.u_m_s;
    *p1_out = r.p1_Pa;
    *upstream_out = r.upstream_copy;
    *vdot = r.vdot_m3_s;
    *cd = r.cd;
    *rho_out = r.rho_kg_m3;
    *zero19 = r.zero1;
    *zero20 = r.zero2;
    *zero21 = r.zero3;
    *r_eff = r.r_eff_m;
}

void ENGNOXUSER(const int32_t* id, const int32_t* cylinder, const void*, const int32_t* source_switch,
                const void*, const void*, const double* compare, const void*, const void*,
                const double* time_scale, const void*, const void*, const void*, const void*, const void*,
                const void*, const void*, const double* reference, const void*, const void*, const void*,
                const double* source, const void*, double* nox, int32_t* status)
{
    um::NoxStep a{*cylinder, *source_switch, *compare, *time_scale, *reference, *source, *nox, *status};
    sizing("ENGNOXUSER", [&] { um::engnoxuser(*id, a); });
}

void NOXGENOUTPUT(const void*, const void*, const void*, const void*, const void*, const void*, const void*,
                  const void*, const void*, const void*, const void*, const void*, const void*, const void*,
                  const void*)
{
}

void ENGFRIC_USER_VALVE(const int32_t* id, const double* factor, double* torque)
{
    *torque = um::engfric_user_valve(*id, *factor);
}

void ENGFRIC_USER_CRANK(const int32_t* id, const int32_t* bearing, const double* speed_rpm,
                        const double* force1, const double* force2, double* torque)
{
    *torque = um::engfric_user_crank(*id, *bearing, *speed_rpm, *force1, *force2);
}

void ENGFRIC_USER_CYL(const int32_t* id, const int32_t* cylinder, const void*, const void*, const void*,
                      const void*, const double* piston_velocity, const double* load, const void*, const void*,
                      const void*, const void*, double* friction)
{
    *friction = um::engfric_user_cyl(*id, *cylinder, *piston_velocity, *load);
}

void USERLIFTU(const void*, const int32_t* id, const void*, const void*, const double* input, const void*,
               const void*, const void*, const void*, const void*, const void*, const void*, const void*,
               const void*, const char* trace_file, intptr_t trace_file_len, const void*, const void*,
               const void*, double* lift)
{
    *lift = um::userliftu(*id, *input, text::host(trace_file, trace_file_len));
}

void TCCOMPUSER(const int32_t* id, const void*, const void*, const void*, const void*, const void*,
                const void*, double* out8, double* out9)
{
    const auto r = um::tccompuser(*id);
    *out8 = r.out8;
    *out9 = r.out9;
}

void TCTURBUSER(const int32_t* id, const void*, const int32_t* n, const void*, const void*, const void*,
                const void*, const void*, const void*, const void*, const void*, const void*, const void*,
                const void*, double* out15, double* out16)
{
    um::tcturbuser(*id, *n, {"TCTURBUSER argument 15", out15, *n}, {"TCTURBUSER argument 16", out16, *n});
}

void USER_TCTEMP(const int32_t* id, const void*, const void*, const void*, const void*, const void*,
                 double* temperature)
{
    *temperature = um::user_tctemp(*id);
}

}  // extern "C"
