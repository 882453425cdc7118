// Entry points of the engine, pipe and turbocharger sub-models. Positions a
// routine does not read are received and left alone.
#include "exports/host_args.h"
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

}  // extern "C"
