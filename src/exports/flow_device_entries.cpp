// Entry points of the user flow devices. Positions a routine does not read are
// received and left alone.
#include "exports/host_args.h"
#include "usermodels/flow_devices.h"

using namespace usersub;
namespace um = usersub::usermodels;

extern "C" {

void UFDMODEL(const int32_t* device, const void*, const int32_t* np, const int32_t* ndev, const int32_t* nsp,
              const int32_t* nc, const int32_t* map_n_to_p, const int32_t* fluid_kind, const int32_t* imodel,
              const double* dt, const double* ulpg, const double* uceng, const double* tlpg, const double* plpg,
              const double* rhopg, const double* areapg, const double* rmspg, const double* init_mass,
              const double* init_p, const double* init_t, const double* fminit, const void*,
              const double* init_volume, double* ulpu, double* plpu, double* tlpu, double* rmspu, double* slpu,
              const double* time, const double* damping_switch, const double* damping_ref_time)
{
    const int32_t n = *np;
    const int32_t s = *nsp;
    const um::UfdStep a{*device,
                        *ndev,
                        s,
                        *nc,
                        {"MAP_N_TO_P", map_n_to_p, n},
                        *fluid_kind,
                        *dt,
                        {"ULPG", ulpg, n},
                        {"UCENG", uceng, n},
                        {"TLPG", tlpg, n},
                        {"PLPG", plpg, n},
                        {"RHOPG", rhopg, n},
                        {"AREAPG", areapg, n},
                        {"RMSPG", rmspg, {n, s}},
                        *init_mass,
                        *init_p,
                        *init_t,
                        {"FMINIT", fminit, s},
                        *init_volume,
                        {"ULPU", ulpu, n},
                        {"PLPU", plpu, n},
                        {"TLPU", tlpu, n},
                        {"RMSPU", rmspu, {s, n}},
                        {"SLPU", slpu, n},
                        *time,
                        *damping_switch,
                        *damping_ref_time};
    sizing("UFDMODEL", [&] { um::ufdmodel(*imodel, a); });
}

void UFDMODEL_IMPL(const int32_t* device, const void*, const int32_t* init_switch, const int32_t* accept,
                   const int32_t* np, const int32_t* ndev, const void*, const int32_t* nc, const void*,
                   const int32_t* imodel, const double* dt, const void*, const void*, const void*, const double* p,
                   double* t, const void*, double* mean_speed, const double* volume, const double* p_prev,
                   const void*, double* composition, const void*, const double* fmas, const double* fmas_h,
                   const void*, double* zero_out, double* slpu)
{
    const int32_t n = *np;
    const um::UfdImplicitStep a{*device,
                                *init_switch,
                                host::logical(accept),
                                *ndev,
                                *nc,
                                *dt,
                                *p,
                                *t,
                                *mean_speed,
                                *volume,
                                *p_prev,
                                composition,
                                {"FMAS", fmas, n},
                                {"FMAS_H", fmas_h, n},
                                *zero_out,
                                {"SLPU", slpu, n}};
    sizing("UFDMODEL_IMPL", [&] { um::ufdmodel_impl(*imodel, a); });
}

}  // extern "C"
