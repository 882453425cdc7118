// Entry points of the mechanical, vehicle, electrical, harness, function,
// connection-geometry, knock and scavenging user models. Array arguments whose
// extent the host does not pass are viewed with the extent of the highest
// entry the routine uses.
#include "exports/host_args.h"
#include "usermodels/connection_geometry.h"
#include "usermodels/harness_models.h"
#include "usermodels/knock_scavenging.h"
#include "usermodels/mechanical_models.h"
#include "usermodels/user_functions.h"
#include "usermodels/vehicle_electrical_models.h"

using namespace usersub;
namespace um = usersub::usermodels;

extern "C" {

void MEC_USER_UCON(const void*, const void*, const double* x, const double* v, const void*,
                   const void*, double* f, const int32_t* imodel)
{
    // Entries 1 and 4 carry the two ends.
    um::mec_user_ucon({"X", x, 4}, {"V", v, 4}, {"F", f, 4}, *imodel);
}

void MEC_USER_EXTF(const void*, const double* x1, const double* x2, double* force, const int32_t* imodel)
{
    *force = um::mec_user_extf(*imodel, *x1, *x2);
}

void VEH_BRAKE_USER(const void*, const double* a, const double* b, double* result, const int32_t* imodel)
{
    *result = um::veh_brake_user(*imodel, *a, *b);
}

void DYN_TIRE_USER(const void*, const double* speed_a, const double* speed_b, const double* fz,
                   double* mu, const int32_t* imodel)
{
    *mu = um::dyn_tire_user(*imodel, *speed_a, *speed_b, *fz);
}

void ELE_BATR_USER_PERF(const void*, const void*, const void*, const void*, const void*, const void*,
                        double* out1, double* out2, double* out3, double* out4, double* out5,
                        double* out6, const int32_t* imodel)
{
    const auto r = um::ele_batr_user_perf(*imodel);
    *out1 = r[0];
    *out2 = r[1];
    *out3 = r[2];
    *out4 = r[3];
    *out5 = r[4];
    *out6 = r[5];
}

void ELE_BATR_USER_TEMP(const void*, const void*, const void*, const void*, const void*, const void*,
                        const void*, const void*, const void*, const void*, const void*, const void*,
                        double* temperature, const int32_t* imodel)
{
    *temperature = um::ele_batr_user_temp(*imodel);
}

void XYFUNC_USER(const double* x, double* y, const double* mode, const double* a, const double* b,
                 const double* c, const int32_t* imodel)
{
    *y = um::xyfunc_user(*imodel, *x, *mode, *a, *b, *c);
}

void XYZFUNC_USER(const double* x, const double* y, double* z, const double* c, const double* x0,
                  const double* ex, const double* y0, const double* ey, const int32_t* imodel)
{
    *z = um::xyzfunc_user(*imodel, *x, *y, {*c, *x0, *ex, *y0, *ey});
}

void USERHEVPOWDISTR(const int32_t* imodel, const double* u, const int32_t* nu, double* y,
                     const int32_t* ny, const double* q1, const void*, const double* q2, const void*,
                     const void*, const void*, const void*, const void*, const double* q3, const void*,
                     const void*, const void*, const void*, const void*, const void*, const void*,
                     const void*, const void*, const void*, const void*, const void*, const void*)
{
    um::user_hev_power_distribution(*imodel, {"UHVPD", u, *nu}, {"YHVPD", y, *ny}, *q1, *q2, *q3);
}

void USERHARNESS(const int32_t* skip, const int32_t* imodel, const double* dt, const double* u,
                 const int32_t* nu, double* y, const int32_t* ny, const int32_t* iharn)
{
    um::user_harness(*skip == 1, *imodel, *dt, {"UHARN", u, *nu}, {"YHARN", y, *ny}, *iharn);
}

void USER_FLOW_CPCS(const int32_t* imodel, const void*, const void*, const void*, const double* through5,
                    const double* through6, const double* x, const double* x_ref, const void*,
                    const void*, const void*, const void*, const void*, const void*, const void*,
                    const void*, const void*, const void*, const void*, const void*, const void*,
                    const void*, const void*, const void*, const double* d1, const double* d2,
                    const double* d3, const double* d4, const double* alpha, const double* beta,
                    const double* gamma, const void*, const void*, double* a1, double* a2, double* a3,
                    double* l1, double* l2, double* v1, double* v2, double* v3, double* zero42,
                    double* dh1, double* dh2, double* dh3, double* copy6_46, double* copy6_47,
                    double* copy6_48, double* copy5_49, double* copy5_50, double* copy5_51)
{
    const auto r = um::user_flow_cpcs(*imodel, *x, *x_ref, {*d1, *d2, *d3, *d4, *alpha, *beta, *gamma});
    *a1 = r.a1_m2;
    *a2 = r.a2_m2;
    *a3 = r.a3_m2;
    *l1 = r.l1_m;
    *l2 = r.l2_m;
    *v1 = r.v1_m3;
    *v2 = r.v2_m3;
    *v3 = r.v3_m3;
    *zero42 = 0.0;
    *dh1 = r.dh1_m;
    *dh2 = r.dh2_m;
    *dh3 = r.dh3_m;
    *copy6_46 = *copy6_47 = *copy6_48 = *through6;
    *copy5_49 = *copy5_50 = *copy5_51 = *through5;
}

void USER_MEC_CPCS(const int32_t* imodel, const void*, const int32_t* s, const void*, const void*,
                   const void*, const double* x, const double* pa, const double* pb, const double* pc,
                   const void*, const void*, const void*, const void*, const void*, const void*,
                   const void*, const void*, const void*, const void*, const void*, const void*,
                   const void*, const double* d0, const double* d1, const double* d2, const double* d3,
                   const double* alpha, const double* beta, const double* form, const void*,
                   const void*, double* force, double* counter_force, double* d_change)
{
    const auto r = um::user_mec_cpcs(*imodel, *s, *x, *pa, *pb, *pc, {*d0, *d1, *d2, *d3, *alpha, *beta},
                                     *form > 0.0);
    *force = r.force_N;
    *counter_force = -r.force_N;
    *d_change = r.d_change_m;
}

void HLA_CVFLOWCOEF(const int32_t* imodel, const void*, const void*, const void*, const void*, const void*,
                    const void*, const void*, const void*, const void*, const void*, const void*,
                    const void*, const void*, const void*, const void*, const void*, double* coefficient)
{
    *coefficient = um::hla_cv_flow_coef(*imodel);
}

void KNOCKUSRMOD(const int32_t* imodel, const int32_t* cylinder, int32_t* status, const void*,
                 const int32_t* nfconc, const int32_t*, const int32_t*, const int32_t*, const void*, const void*,
                 const void*, const void*, const double* pressure, const double* temperature, const void*,
                 const void*, const double* dt, const double* index_divisor, const double* index_fraction,
                 const void*, const double* fconc, const void*, const void*, double* knock_index)
{
    um::knock_user(*imodel, *cylinder, *status, {*pressure, *temperature, *dt, *index_divisor, *index_fraction},
                   {"FCONC", fconc, *nfconc}, *knock_index);
}

void SCAVENGUSR(const int32_t* imodel, const void*, int32_t* status, const int32_t* n,
                const double* crank_angle, const void*, const double* num, const double* den, const void*,
                const double* pass_value, const void*, const void*, const void*, const void*, const void*,
                const void*, const void*, const void*, const void*, const void*, const double* comp,
                double* comp_out22, double* out23, double* comp_out24, double* out25,
                double* window_start, double* window_end, double* ratio)
{
    um::scavenge_user(*imodel, *crank_angle, *num, *den, *pass_value, {"COMP_IN", comp, *n},
                      {*status, *out23, *out25, {"COMP_OUT_24", comp_out24, *n},
                       {"COMP_OUT_22", comp_out22, *n}, *window_start, *window_end, *ratio});
}

}  // extern "C"
