/*
 * usersub: user sub-model routines for a host simulation solver.
 *
 * Every entry point takes each argument by address. A text argument is the
 * address of its first character followed directly by its length in
 * characters, passed by value as an intptr_t; texts are blank-padded, never
 * NUL-terminated. Integers are int32_t, reals double, logicals int32_t (true
 * when bit 0 is set). An optional output may be a null address.
 * Usable from C11 and C++.
 */
#ifndef USERSUB_H
#define USERSUB_H

#include <stdint.h>

#if defined(_WIN32)
#define USERSUB_API
#elif defined(__GNUC__)
#define USERSUB_API __attribute__((visibility("default")))
#else
#define USERSUB_API
#endif

#ifdef __cplusplus
extern "C" {
#endif

/* A one-dimensional array crossing the host boundary: nine words. */
typedef struct usersub_array_view {
    intptr_t base;        /* address of the first element, 0 for an empty array */
    intptr_t elem_len;    /* element length in bytes */
    intptr_t offset;      /* -lower bound, in elements */
    intptr_t flags;       /* bit 1 (value 2) set on every view the library hands out */
    intptr_t rank;        /* 1 */
    intptr_t reserved;
    intptr_t extent;      /* number of elements */
    intptr_t stride;      /* distance between elements in bytes */
    intptr_t lower;       /* lower bound, 1 */
} usersub_array_view;

/* ---- User-model parameter records ---- */
USERSUB_API void ALLOCATE_USER_STRUCTURE(const int32_t* n);
USERSUB_API void LOAD_USER_INTARRAY(const int32_t* imodel, const int32_t* n, const int32_t* values);
USERSUB_API void LOAD_USER_REALARRAY(const int32_t* imodel, const int32_t* n, const double* values);
USERSUB_API void LOAD_USER_CHARARRAY(const int32_t* imodel, const int32_t* n, const char* texts,
                                     intptr_t texts_len);
USERSUB_API void ALLOCATE_USER_RLTARRAY(const int32_t* imodel, const int32_t* n);
USERSUB_API void SETUSERRLTVALUE(const int32_t* imodel, const int32_t* n, const double* values);
USERSUB_API void LOAD_USER_MODEL_ARRAYS(const int32_t* imodel, int32_t* nint, int32_t* nreal,
                                        int32_t* nchar, int32_t* nrlt, usersub_array_view* intparm,
                                        usersub_array_view* realparm, usersub_array_view* charparm,
                                        usersub_array_view* rltarray);
USERSUB_API void CLEAR_USERMOD_MEMORY(void);

/* ---- Run information, part sizes, version ---- */
USERSUB_API void SEND_USER_STATE(const int32_t* a1, const int32_t* a2, const int32_t* a3,
                                 const int32_t* a4, const int32_t* time_step, const int32_t* a6,
                                 const double* sim_time_s, const double* crank_angle_deg,
                                 const double* real3, const int32_t* l10);
USERSUB_API void SEND_USER_GLOBAL(const char* text, intptr_t text_len, const int32_t* i1,
                                  const int32_t* i2, const int32_t* i3);
USERSUB_API void SEND_USER_GLOBAL2(const int32_t* key, const int32_t* value);
USERSUB_API void GET_GLOBAL_INFO(int32_t* state_int1, int32_t* state_int3, int32_t* state_int4,
                                 int32_t* global_int1, int32_t* global_int2, int32_t* global_int3,
                                 int32_t* time_step_number, int32_t* state_int6,
                                 int32_t* state_int2, int32_t* global_key1, int32_t* global_key2,
                                 int32_t* global_key3, double* sim_time_s, double* state_real3,
                                 double* crank_angle_deg, char* global_text,
                                 intptr_t global_text_len);
USERSUB_API void SET_USER_PART_SIZES(const int32_t* size1, const int32_t* size2,
                                     const int32_t* size3, const int32_t* size4);
USERSUB_API void GET_PART_INFO(int32_t* size1, int32_t* size2, int32_t* size3, int32_t* size4);
USERSUB_API void ZALUSR_VERS(int32_t* major, int32_t* minor, double* version);
USERSUB_API void GET_SOLVER_VERSION_NUMBER(double* version);
USERSUB_API void GET_USERDLL_VERSION(double* version);

/* ---- User plots ---- */
USERSUB_API void ALLOCATE_USER_PLOT(const int32_t* n);
USERSUB_API void LOAD_USER_PLOT(const int32_t* imodel, const int32_t* nplot, const int32_t* status,
                                int32_t* ierr);
USERSUB_API void USERPLOTSTORE(const int32_t* imodel, const int32_t* iplot, const char* title,
                               intptr_t title_len, const char* curve, intptr_t curve_len,
                               const char* xlabel, intptr_t xlabel_len, const char* ylabel,
                               intptr_t ylabel_len, const double* x, const double* y);
USERSUB_API void GETUSERPLTDATA(const int32_t* imodel, const int32_t* iplot, int32_t* npts,
                                double* x, double* y);
USERSUB_API void GETUSERPLTLABEL(const int32_t* imodel, const int32_t* iplot, char* title,
                                 intptr_t title_len, char* curve, intptr_t curve_len,
                                 char* xlabel, intptr_t xlabel_len, char* ylabel,
                                 intptr_t ylabel_len);
USERSUB_API void SEND_USER_PLOTSUPP(const int32_t* flag);
USERSUB_API void PLOT_STORAGE_ERROR(void);

/* ---- Messages and special values ---- */
USERSUB_API void ALLOCATE_USER_STRING(const int32_t* n);
USERSUB_API void WRT_USER(const int32_t* imodel, const char* text, intptr_t text_len);
/* flag: 0 fitted, 1 cut to 130 characters, -1 position already taken,
   -999 queue empty (text blank). */
USERSUB_API void GETUSERSTRING(const int32_t* imodel, const int32_t* imsg, char* text,
                               intptr_t text_len, int32_t* flag);
USERSUB_API void LOADSPECIALCHAR(const int32_t* i, const char* text, intptr_t text_len);
USERSUB_API void LOADSPECIALINT(const int32_t* i, const int32_t* value);
USERSUB_API void LOADSPECIALREAL(const int32_t* i, const double* value);

/* ---- Harness signals ---- */
USERSUB_API void ALLOC_USER_HARN(const int32_t* nsig, const int32_t* nharn);
USERSUB_API void INIT_USER_HARN(const int32_t* iharn, const char* name, intptr_t name_len);
/* names: the host's array of texts; element i is written at
   base + (i - 1) * stride, elem_len characters long. */
USERSUB_API void GET_USER_HARN_NAMES(int32_t* n, const usersub_array_view* names);
USERSUB_API int32_t GET_USER_HARN_ID(const char* name, intptr_t name_len);
USERSUB_API void GET_USER_HARN_INPUT(const int32_t* isig, const int32_t* iharn, double* value);
USERSUB_API void GET_USER_HARN_OUTPUT(const int32_t* isig, const int32_t* iharn, double* value);
USERSUB_API void SET_USER_HARN_OUTPUT(const int32_t* isig, const int32_t* iharn,
                                      const double* value);
USERSUB_API void SENSACTUDUMP1(const int32_t* n, const int32_t* iharn, const double* values,
                               const int32_t* spare);
USERSUB_API void SENSACTUDUMP2A(const int32_t* n, const double* values);
USERSUB_API void SENSACTUDUMP2B(const int32_t* n, const double* values);

/* ---- User flow devices ---- */
USERSUB_API void UFD_ALLOC(const int32_t* nufd, const int32_t* nconn, const int32_t* nsp);
USERSUB_API void UFD_INIT(const int32_t* iufd, const int32_t* n, const int32_t* list);
/* r1..r5 indexed by connection number; table(j, i) with leading dimension ld
   is species entry i of connection j. */
USERSUB_API void UFD_SETUP(const int32_t* iufd, const int32_t* n, const int32_t* ld,
                           const int32_t* m, const int32_t* idx, const double* r1,
                           const double* r2, const double* r3, const double* r4,
                           const double* r5, const double* table);
USERSUB_API void FLW_SENS_UFDC(const int32_t* iufd, const int32_t* kind, const int32_t* iconn,
                               const int32_t* spare, double* value, const double* factor);
USERSUB_API void FLW_ACTU_UFDC(const int32_t* iufd, const int32_t* kind, const double* value);

/* ---- Cylinders, injectors, valves ---- */
USERSUB_API void ALLOCATE_CYLINDERINFO(const int32_t* ncyl);
USERSUB_API void LOADCYLINDERINFO(const int32_t* icyl, const int32_t* ival, const double* r1,
                                  const double* r2, const double* r3, const double* r4,
                                  const double* r5, const double* r6, const double* r7,
                                  const double* r8, const double* r9, const double* r10,
                                  const double* r11, const double* r12, const double* r13);
USERSUB_API void LOADCYLINDERANGLE(const int32_t* icyl, const double* angle);
USERSUB_API void ALLOCATEINJECTORINFO(const int32_t* ninj);
USERSUB_API void LOADINJECTORINFO(const int32_t* iinj, const char* name, intptr_t name_len,
                                  const int32_t* i1, const int32_t* i2, const double* r1,
                                  const double* r2, const double* r3, const double* r4,
                                  const double* r5, const double* r6, const double* r7,
                                  const double* composition, const double* r8);
USERSUB_API void ALLOCATEVALVEINFO(const int32_t* nvalve);
USERSUB_API void LOADVALVEINFO(const int32_t* ivalve, const char* name, intptr_t name_len,
                               const int32_t* i1, const double* r1, const double* r2,
                               const double* r3, const double* r4, const double* composition1,
                               const double* r5, const double* r6, const double* composition2);

/* ---- Species property set and loaders ---- */
USERSUB_API void LOADPROP0(const int32_t* nspecies, const int32_t* props_scalar_2,
                           const int32_t* props_scalar_3, const int32_t* props_scalar_4,
                           const int32_t* props_scalar_5, const int32_t* realgas_switch,
                           const int32_t* products_switch, const int32_t* transport_table_limit,
                           const int32_t* props_scalar_9, const int32_t* props_scalar_10);
/* Per-species arrays hold n entries (column-major, species index last);
 * n, m, k are arguments 29 to 31. */
USERSUB_API void LOADPROP1(const int32_t* iproptyp, const int32_t* ifuel,
                           const int32_t* thermo_nterms, const int32_t* unread4,
                           const int32_t* liq_form, const int32_t* unread6,
                           const int32_t* unread7, const double* tref_thermo_K,
                           const double* species_formula, const double* pmwt,
                           const double* pmwt_inv, const double* thermo_coef,
                           const double* liq_coef_a, const double* liq_coef_b,
                           const double* liq_coef_c, const double* rho_const,
                           const double* unread17, const double* tcrit_K, const double* pcrit_Pa,
                           const double* tmin_K, const double* tbreak_K, const double* tmax_K,
                           const double* pmin_Pa, const double* pmax_Pa, const double* liq_par_a,
                           const double* liq_par_b, const double* tref_liq_K,
                           const double* pref_liq_bar, const int32_t* n, const int32_t* m,
                           const int32_t* k, const int32_t* realgas_flag, const int32_t* liq_flag);
USERSUB_API void LOADPROP2(const int32_t* prod_settings, const double* prod_atoms,
                           const double* prod_mw, const double* prod_mw_inv,
                           const double* prod_cp_mass, const double* prod_sref,
                           const double* prod_tcrit_K, const double* prod_pcrit_Pa,
                           const char* names, intptr_t names_len, const double* atomic_mass_n,
                           const double* unread11, const double* unread12);
USERSUB_API void LOADPROP4(const int32_t* i1, const int32_t* i2, const int32_t* i3,
                           const double* r1, const int32_t* species_partner,
                           const int32_t* unread6);
USERSUB_API void LOADPROP9(const int32_t* tt_count, const double* tt_t, const double* tt_p,
                           const double* tt_mu, const double* tt_k, const int32_t* tt_level_rows,
                           const int32_t* tt_nlevels, const int32_t* unread8,
                           const int32_t* unread9);
USERSUB_API void LOADCAVIT2(const int32_t* cavit_list, const double* cavit_pref,
                            const double* cavit_tref, const double* cavit_c4,
                            const double* cavit_c5, const double* cavit_c6,
                            const double* cavit_c7, const double* cavit_c8,
                            const double* cavit_c9);
USERSUB_API void LOADCIRCSET(const int32_t* n, const int32_t* modes);
USERSUB_API void LOADREALGAS(const int32_t* realgas_switch);
USERSUB_API void COPY_USER_PROPERTY_PARAMETERS(const int32_t* gibbs_switch, const int32_t* n,
                                               const int32_t* list);
USERSUB_API void COPY_USER_EVOLUTION(const int32_t* words1000);
USERSUB_API void SET_EVOLUTION_SCALAR_FLAGS_USER(void);
USERSUB_API void USER_ASSOCIATED(int32_t** gamwarn_calls, int32_t** gamwarn_step,
                                 int32_t** trange_warn_calls, int32_t** gamwarn_printed,
                                 int32_t** trange_warn_step, int32_t** trange_warn_printed,
                                 usersub_array_view* tseen_flag, usersub_array_view* tseen_tmin,
                                 usersub_array_view* tseen_tmax);

/* ---- Property queries ---- */
USERSUB_API int32_t SPECIES_INDEX(const char* name, intptr_t name_len);
USERSUB_API void SPECIES_NAME(char* name, intptr_t name_len, const int32_t* index);
USERSUB_API void GETMOLFRAC(const double* y_mass, double* x_mole);
USERSUB_API void GETMASSFRAC(const double* x_mole, double* y_mass);

/* ---- Fluid states: T, P in; rho-e in (T, P start values and results);
 * P, h in (T start value and result). The _EQ forms rewrite y with the
 * equilibrium composition of the combustion products. ---- */
USERSUB_API void ZALTHRM_TP(const double* t_K, const double* p_Pa, double* y, double* rho,
                            double* e, double* h, double* cp, double* cv);
USERSUB_API void ZALTHRM_TP_EQ(const double* t_K, const double* p_Pa, double* y, double* rho,
                               double* e, double* h, double* cp, double* cv);
USERSUB_API void ZALTHRM_RE(const double* rho, const double* e, double* y, double* t_K,
                            double* p_Pa, double* h, double* cp, double* cv);
USERSUB_API void ZALTHRM_RE_EQ(const double* rho, const double* e, double* y, double* t_K,
                               double* p_Pa, double* h, double* cp, double* cv);
USERSUB_API void ZALTHRM_PH(const double* p_Pa, const double* h, const double* y, double* t_K,
                            double* rho, double* e, double* cp, double* cv);

/* ---- User models: engine ---- */
USERSUB_API void ENGCOMBUSER(const int32_t* id, const void* arg2, const void* arg3,
                             const void* arg4, const int32_t* n_species, int32_t* output_flag,
                             int32_t* status, const double* theta, const double* step,
                             const void* arg10, double* dx, double* x, double* x_old,
                             const void* arg14, const double* umascomb, const void* arg16,
                             double* dmascomb, const void* arg18, const void* arg19,
                             const double* fuelrestm, double* end_angle, double* start_angle,
                             double* start_angle_out, const void* arg24, const void* arg25,
                             const void* arg26, const void* arg27, const void* arg28,
                             const void* arg29, const void* arg30, const void* arg31,
                             const int32_t* extent32, const void* arg33, const int32_t* extent34,
                             const void* arg35, const int32_t* extent36, const void* arg37,
                             const int32_t* n_mfliq, const int32_t* mfliq);
USERSUB_API void ENGHEATTRUSER(const int32_t* id, const int32_t* cylinder, const int32_t* phase,
                               const void* arg4, const double* bore, const double* stroke,
                               const double* volume, const void* arg8, const void* arg9,
                               const double* piston_speed, const double* pressure,
                               const double* temperature, const void* arg13, const void* arg14,
                               const void* arg15, const double* polytropic_exp,
                               const int32_t* extent17, const void* arg18, const void* arg19,
                               const void* arg20, const void* arg21, const void* arg22,
                               const void* arg23, const void* arg24, const void* arg25,
                               const void* arg26, const void* arg27, const void* arg28,
                               const void* arg29, const double* theta, const void* arg31,
                               const void* arg32, const void* arg33, const void* arg34,
                               const void* arg35, const void* arg36, const void* arg37,
                               const void* arg38, double* h_woschni, double* h_hohenberg);
USERSUB_API void USERENGCYLEVAPORATION(const int32_t* id, const int32_t* cylinder,
                                       const void* arg3, const int32_t* n_species,
                                       const int32_t* mass_extent, const double* mass,
                                       const double* theta, const void* arg8, const void* arg9,
                                       const double* factor, const void* arg11,
                                       const double* state1, const void* arg13,
                                       const void* arg14, const void* arg15,
                                       const double* state2, const int32_t* n_injectors,
                                       const int32_t* inj_index, const int32_t* n_valves,
                                       const int32_t* valve_index, double* evaporated_mass,
                                       double* zero3);
USERSUB_API void JETIGNITIONUSR(const int32_t* flow_switch, const void* arg2, const void* arg3,
                                const int32_t* id, const int32_t* zone_extent, const void* arg6,
                                const double* phi, const double* tmps, const double* smas,
                                const double* t_offset, const double* pressure,
                                const double* integral_start, double* integral_end,
                                const double* delay_factor, const double* p_exponent,
                                const double* t_activation, const double* dt,
                                double* output_factor, const double* v19, const double* v20,
                                const double* v21, const double* v22);
USERSUB_API void LAMFLSPEEDUSER(const int32_t* id, const void* arg2, const int32_t* extent3,
                                const void* arg4, const void* arg5, const void* arg6,
                                const void* arg7, const void* arg8, double* flame_speed,
                                const void* arg10, const void* arg11, const void* arg12,
                                const void* arg13, const void* arg14, const void* arg15,
                                const void* arg16, const void* arg17, const void* arg18);
USERSUB_API void TURBFLSPEEDUSER(const int32_t* id, const void* arg2, const void* arg3,
                                 const void* arg4, const void* arg5, const double* arg6,
                                 const void* arg7, const void* arg8, const void* arg9,
                                 const void* arg10, const void* arg11, const void* arg12,
                                 const void* arg13, const void* arg14, const void* arg15,
                                 const void* arg16, const void* arg17, const void* arg18,
                                 const void* arg19, const void* arg20, const void* arg21,
                                 double* flame_speed);
USERSUB_API void SWIRL_USER(const void* arg1, const void* arg2, const int32_t* id,
                            const void* arg4, const void* arg5, const void* arg6,
                            const void* arg7, const void* arg8, const void* arg9,
                            const void* arg10, const void* arg11, const void* arg12,
                            const void* arg13, const void* arg14, const void* arg15,
                            const void* arg16, const void* arg17, const void* arg18,
                            const void* arg19, const void* arg20, const void* arg21,
                            const void* arg22, const void* arg23, const void* arg24,
                            double* out25, double* out26 /* 4 entries */);
USERSUB_API void TUMBLE_USER(const void* arg1, const void* arg2, const int32_t* id,
                             const void* arg4, const void* arg5, const void* arg6,
                             const void* arg7, const void* arg8, const void* arg9,
                             const void* arg10, const void* arg11, const void* arg12,
                             const void* arg13, const void* arg14, const void* arg15,
                             const void* arg16, const void* arg17, const void* arg18,
                             const void* arg19, const void* arg20, const void* arg21,
                             const void* arg22, const void* arg23, const void* arg24,
                             double* out25, double* out26);
USERSUB_API void TURBULENCE_USER(const void* arg1, const void* arg2, const int32_t* id,
                                 const void* arg4, const void* arg5, const void* arg6,
                                 const void* arg7, const void* arg8, const void* arg9,
                                 const void* arg10, const void* arg11, const void* arg12,
                                 const void* arg13, const void* arg14, const void* arg15,
                                 const void* arg16, const void* arg17, const void* arg18,
                                 const void* arg19, const void* arg20, const void* arg21,
                                 const void* arg22, const void* arg23, double* out24,
                                 double* out25, double* out26);

/* ---- User models: pipes and thermal ---- */
/* Positions a routine does not read are declared const void* (argN). */
USERSUB_API void CF_USER(const void* arg1, const void* arg2, const int32_t* id, const void* arg4,
                         const void* arg5, const double* cp, const double* mu, const double* k,
                         const double* rho, const double* u, const double* d, const void* arg12,
                         const void* arg13, const void* arg14, double* cf);
USERSUB_API void CF_HG_USER(const void* arg1, const void* arg2, const int32_t* id, const void* arg4,
                            const void* arg5, const double* cp, const double* mu, const double* k,
                            const double* rho, const double* u, const double* d, const void* arg12,
                            const void* arg13, const void* arg14, const double* cf, double* htc);
USERSUB_API void CF_USER_REFRIG(const void* arg1, const void* arg2, const int32_t* id,
                                const void* arg4, const void* arg5, const double* cp,
                                const double* mu, const double* k, const double* rho,
                                const double* u, const double* d, const void* arg12,
                                const void* arg13, const void* arg14, double* cf,
                                const void* arg16, const void* arg17, const double* quality,
                                const void* arg19, const void* arg20, const void* arg21,
                                const void* arg22, const void* arg23, const void* arg24,
                                const void* arg25, const void* arg26, const void* arg27,
                                const void* arg28, const void* arg29, const void* arg30,
                                const void* arg31, const void* arg32);
USERSUB_API void CF_HG_USER_REFRIG(const void* arg1, const void* arg2, const int32_t* id,
                                   const double* t_fluid, const double* t_wall, const double* cp,
                                   const double* mu, const double* k, const double* rho,
                                   const double* u, const double* d, const void* arg12,
                                   const void* arg13, const void* arg14, const void* arg15,
                                   const double* area, const double* q_divisor,
                                   const double* quality, const double* p_reduced,
                                   const double* q_in, const double* rho_l, const double* h_l,
                                   const double* mu_l, const double* k_l, const double* cp_l,
                                   const double* sigma, const double* rho_v, const double* h_v,
                                   const double* mu_v, const double* k_ref, const void* arg31,
                                   double* htc, const double* mdot);
/* Each matrix element is a complex number: two doubles, real part first. */
USERSUB_API void TM_USER(double* t11, double* t12, double* t21, double* t22, const int32_t* id,
                         const double* omega);
USERSUB_API void USER_SET_ENERGY_SOURCE(const int32_t* id, const void* arg2, const void* arg3,
                                        const void* arg4, const void* arg5, const void* arg6,
                                        const void* arg7, const void* arg8, const void* arg9,
                                        const void* arg10, const void* arg11, const void* arg12,
                                        const void* arg13, const void* arg14, const void* arg15,
                                        const void* arg16, const void* arg17, const void* arg18,
                                        const void* arg19, double* source1, double* source2);

/* ---- User models: injector, NOx, friction, valve lift, turbocharger ---- */
USERSUB_API void INJNOZZUSER_GETDIM(const void* arg1, const void* arg2, const int32_t* id,
                                    int32_t* nozzles, double* diameter);
USERSUB_API void INJNOZZUSER_SOLUTION(const void* arg1, const void* arg2, const void* arg3,
                                      const int32_t* id, const double* flow_switch,
                                      const double* p1, const double* upstream_value,
                                      const double* p2, const void* arg9, const double* rho,
                                      const double* u_max, double* mdot, double* velocity,
                                      double* p1_out, double* upstream_out, double* vdot,
                                      double* cd, double* rho_out, double* zero19,
                                      double* zero20, double* zero21, double* r_eff);
USERSUB_API void ENGNOXUSER(const int32_t* id, const int32_t* cylinder, const void* arg3,
                            const int32_t* source_switch, const void* arg5, const void* arg6,
                            const double* compare, const void* arg8, const void* arg9,
                            const double* time_scale, const void* arg11, const void* arg12,
                            const void* arg13, const void* arg14, const void* arg15,
                            const void* arg16, const void* arg17, const double* reference,
                            const void* arg19, const void* arg20, const void* arg21,
                            const double* source, const void* arg23, double* nox,
                            int32_t* status);
USERSUB_API void NOXGENOUTPUT(const void* arg1, const void* arg2, const void* arg3,
                              const void* arg4, const void* arg5, const void* arg6,
                              const void* arg7, const void* arg8, const void* arg9,
                              const void* arg10, const void* arg11, const void* arg12,
                              const void* arg13, const void* arg14, const void* arg15);
USERSUB_API void ENGFRIC_USER_VALVE(const int32_t* id, const double* factor, double* torque);
USERSUB_API void ENGFRIC_USER_CRANK(const int32_t* id, const int32_t* bearing,
                                    const double* speed_rpm, const double* force1,
                                    const double* force2, double* torque);
USERSUB_API void ENGFRIC_USER_CYL(const int32_t* id, const int32_t* cylinder, const void* arg3,
                                  const void* arg4, const void* arg5, const void* arg6,
                                  const double* piston_velocity, const double* load,
                                  const void* arg9, const void* arg10, const void* arg11,
                                  const void* arg12, double* friction);
USERSUB_API void USERLIFTU(const void* arg1, const int32_t* id, const void* arg3,
                           const void* arg4, const double* input, const void* arg6,
                           const void* arg7, const void* arg8, const void* arg9,
                           const void* arg10, const void* arg11, const void* arg12,
                           const void* arg13, const void* arg14, const char* trace_file,
                           intptr_t trace_file_len, const void* arg17, const void* arg18,
                           const void* arg19, double* lift);
USERSUB_API void TCCOMPUSER(const int32_t* id, const void* arg2, const void* arg3,
                            const void* arg4, const void* arg5, const void* arg6,
                            const void* arg7, double* out8, double* out9);
USERSUB_API void TCTURBUSER(const int32_t* id, const void* arg2, const int32_t* n,
                            const void* arg4, const void* arg5, const void* arg6,
                            const void* arg7, const void* arg8, const void* arg9,
                            const void* arg10, const void* arg11, const void* arg12,
                            const void* arg13, const void* arg14, double* out15, double* out16);
USERSUB_API void USER_TCTEMP(const int32_t* id, const void* arg2, const void* arg3,
                             const void* arg4, const void* arg5, const void* arg6,
                             double* temperature);

/* ---- User models: mechanical, vehicle, electrical, harness ---- */
/* Positions a routine does not read are typed const void*; the host passes
 * every position. */
USERSUB_API void MEC_USER_UCON(const void* unused1, const void* unused2, const double* x,
                               const double* v, const void* unused5, const void* unused6,
                               double* f, const int32_t* imodel);
USERSUB_API void MEC_USER_EXTF(const void* unused1, const double* x1, const double* x2,
                               double* force, const int32_t* imodel);
USERSUB_API void VEH_BRAKE_USER(const void* unused1, const double* a, const double* b,
                                double* result, const int32_t* imodel);
USERSUB_API void DYN_TIRE_USER(const void* unused1, const double* speed_a, const double* speed_b,
                               const double* fz, double* mu, const int32_t* imodel);
USERSUB_API void ELE_BATR_USER_PERF(const void* unused1, const void* unused2, const void* unused3,
                                    const void* unused4, const void* unused5, const void* unused6,
                                    double* out1, double* out2, double* out3, double* out4,
                                    double* out5, double* out6, const int32_t* imodel);
USERSUB_API void ELE_BATR_USER_TEMP(const void* unused1, const void* unused2, const void* unused3,
                                    const void* unused4, const void* unused5, const void* unused6,
                                    const void* unused7, const void* unused8, const void* unused9,
                                    const void* unused10, const void* unused11,
                                    const void* unused12, double* temperature,
                                    const int32_t* imodel);
USERSUB_API void XYFUNC_USER(const double* x, double* y, const double* mode, const double* a,
                             const double* b, const double* c, const int32_t* imodel);
USERSUB_API void XYZFUNC_USER(const double* x, const double* y, double* z, const double* c,
                              const double* x0, const double* ex, const double* y0,
                              const double* ey, const int32_t* imodel);
USERSUB_API void USERHEVPOWDISTR(const int32_t* imodel, const double* u, const int32_t* nu,
                                 double* y, const int32_t* ny, const double* q1,
                                 const void* unused7, const double* q2, const void* unused9,
                                 const void* unused10, const void* unused11, const void* unused12,
                                 const void* unused13, const double* q3, const void* unused15,
                                 const void* unused16, const void* unused17, const void* unused18,
                                 const void* unused19, const void* unused20, const void* unused21,
                                 const void* unused22, const void* unused23, const void* unused24,
                                 const void* unused25, const void* unused26, const void* unused27);
USERSUB_API void USERHARNESS(const int32_t* skip, const int32_t* imodel, const double* dt,
                             const double* u, const int32_t* nu, double* y, const int32_t* ny,
                             const int32_t* iharn);

/* ---- User models: connection geometry, knock, scavenging ---- */
USERSUB_API void KNOCKUSRMOD(const int32_t* imodel, const int32_t* cylinder, int32_t* status,
                             const void* unused4, const int32_t* nfconc, const int32_t* extent6,
                             const int32_t* extent7, const int32_t* extent8, const void* unused9,
                             const void* unused10, const void* unused11, const void* unused12,
                             const double* pressure, const double* temperature,
                             const void* unused15, const void* unused16, const double* dt,
                             const double* index_divisor, const double* index_fraction,
                             const void* unused20, const double* fconc, const void* unused22,
                             const void* unused23, double* knock_index);
USERSUB_API void USER_FLOW_CPCS(
    const int32_t* imodel, const void* unused2, const void* unused3, const void* unused4,
    const double* through5, const double* through6, const double* x, const double* x_ref,
    const void* unused9, const void* unused10, const void* unused11, const void* unused12,
    const void* unused13, const void* unused14, const void* unused15, const void* unused16,
    const void* unused17, const void* unused18, const void* unused19, const void* unused20,
    const void* unused21, const void* unused22, const void* unused23, const void* unused24,
    const double* d1, const double* d2, const double* d3, const double* d4, const double* alpha,
    const double* beta, const double* gamma, const void* unused32, const void* unused33,
    double* a1, double* a2, double* a3, double* l1, double* l2, double* v1, double* v2,
    double* v3, double* zero42, double* dh1, double* dh2, double* dh3, double* copy6_46,
    double* copy6_47, double* copy6_48, double* copy5_49, double* copy5_50, double* copy5_51);
USERSUB_API void USER_MEC_CPCS(
    const int32_t* imodel, const void* unused2, const int32_t* s, const void* unused4,
    const void* unused5, const void* unused6, const double* x, const double* pa, const double* pb,
    const double* pc, const void* unused11, const void* unused12, const void* unused13,
    const void* unused14, const void* unused15, const void* unused16, const void* unused17,
    const void* unused18, const void* unused19, const void* unused20, const void* unused21,
    const void* unused22, const void* unused23, const double* d0, const double* d1,
    const double* d2, const double* d3, const double* alpha, const double* beta,
    const double* form, const void* unused31, const void* unused32, double* force,
    double* counter_force, double* d_change);
USERSUB_API void HLA_CVFLOWCOEF(const int32_t* imodel, const void* unused2, const void* unused3,
                                const void* unused4, const void* unused5, const void* unused6,
                                const void* unused7, const void* unused8, const void* unused9,
                                const void* unused10, const void* unused11, const void* unused12,
                                const void* unused13, const void* unused14, const void* unused15,
                                const void* unused16, const void* unused17, double* coefficient);
USERSUB_API void SCAVENGUSR(const int32_t* imodel, const void* unused2, int32_t* status,
                            const int32_t* n, const double* crank_angle, const void* unused6,
                            const double* num, const double* den, const void* unused9,
                            const double* pass_value, const void* unused11, const void* unused12,
                            const void* unused13, const void* unused14, const void* unused15,
                            const void* unused16, const void* unused17, const void* unused18,
                            const void* unused19, const void* unused20, const double* comp,
                            double* comp_out22, double* out23, double* comp_out24, double* out25,
                            double* window_start, double* window_end, double* ratio);

/* ---- User models: hydraulic valve templates ---- */
USERSUB_API void USER_FVLV(
    const int32_t* imodel, const void* unused2, const int32_t* mode, const int32_t* orientation,
    const double* lift_offset, const double* cd0, const double* crit_flow_number, const double* x,
    const double* v, const void* unused10, const int32_t* nspec, const int32_t* circuit,
    const void* pass13, const double* x_ref, const double* p1, const double* p2, const double* t1,
    const double* t2, const double* fm1, const double* fm2, const double* mass_flow,
    const int32_t* direction, double* flow_area, double* hyd_diameter, double* flow_number,
    double* discharge_coef, double* force, const double* p_vapour, double* volume1,
    double* volume2, const void* unused31, const double* d_seat, const double* d_outer,
    const double* d_inner);
USERSUB_API void USER_FVLVMH(
    const int32_t* imodel, const void* unused2, const int32_t* mode, const int32_t* orientation,
    const double* lift_offset, const double* cd0, const double* crit_flow_number, const double* x,
    const double* v, const void* unused10, const double* xb, const double* vb,
    const void* unused13, const int32_t* nspec, const int32_t* circuit, const void* pass16,
    const double* x_ref, const double* xb_ref, const double* p1, const double* p2,
    const double* t1, const double* t2, const double* fm1, const double* fm2,
    const double* mass_flow, const int32_t* direction, double* flow_area, double* hyd_diameter,
    double* flow_number, double* discharge_coef, double* force, double* counter_force,
    const double* p_vapour, double* volume1, double* volume2, const void* unused36,
    const double* d_seat, const double* d_outer, const double* d_inner, const void* unused40);
USERSUB_API void USER_VALVE(
    const int32_t* imodel, const void* unused2, const int32_t* mode, const void* unused4,
    const int32_t* orientation, const double* lift_offset, const double* cd0,
    const double* crit_flow_number, const double* x, const double* v, const void* unused11,
    const double* xb, const double* vb, const void* unused14, const int32_t* nspec,
    const int32_t* circuit, const void* pass17, const double* x_ref, const double* xb_ref,
    const double* p1, const double* p2, const double* t1, const double* t2, const double* fm1,
    const double* fm2, const double* mass_flow, const int32_t* direction, double* flow_area,
    double* hyd_diameter, double* flow_number, double* discharge_coef, double* force,
    double* counter_force, const double* p_vapour, double* volume1, double* volume2);
USERSUB_API void USER_BPSS(
    const int32_t* imodel, const void* unused2, const int32_t* mode, const int32_t* orientation,
    const double* lift_offset, const double* cd0, const double* crit_flow_number, const double* x,
    const void* v_unread, const void* unused10, const int32_t* nspec, const int32_t* circuit,
    const void* pass13, const double* x_ref, const double* p1, const double* p2, const double* t1,
    const double* t2, const double* fm1, const double* fm2, const double* mass_flow,
    const int32_t* direction, double* flow_area, double* hyd_diameter, double* flow_number,
    double* discharge_coef, double* force, const void* p_vapour_unread, double* volume1,
    double* volume2, const double* d_seat, const double* d_ball, const double* d_inner,
    const double* d_outer, const void* unused35, const void* unused36);
USERSUB_API void USER_BPCS(
    const int32_t* imodel, const void* unused2, const int32_t* mode, const int32_t* orientation,
    const double* lift_offset, const double* cd0, const double* crit_flow_number, const double* x,
    const void* v_unread, const void* unused10, const int32_t* nspec, const int32_t* circuit,
    const void* pass13, const double* x_ref, const double* p1, const double* p2, const double* t1,
    const double* t2, const double* fm1, const double* fm2, const double* mass_flow,
    const int32_t* direction, double* flow_area, double* hyd_diameter, double* flow_number,
    double* discharge_coef, double* force, const void* p_vapour_unread, double* volume1,
    double* volume2, const double* d_seat, const double* seat_angle, const double* d_ball,
    const double* d_inner, const double* d_outer, const void* unused36, const void* unused37);
USERSUB_API void USER_BPCSMH(
    const int32_t* imodel, const void* unused2, const int32_t* mode, const int32_t* orientation,
    const double* lift_offset, const double* cd0, const double* crit_flow_number, const double* x,
    const void* v_unread, const void* unused10, const void* xb_unread, const void* vb_unread,
    const void* unused13, const int32_t* nspec, const int32_t* circuit, const void* pass16,
    const double* x_ref, const void* xb_ref_unread, const double* p1, const double* p2,
    const double* t1, const double* t2, const double* fm1, const double* fm2,
    const double* mass_flow, const int32_t* direction, double* flow_area, double* hyd_diameter,
    double* flow_number, double* discharge_coef, double* force, double* counter_force,
    const void* p_vapour_unread, double* volume1, double* volume2, const double* d_seat,
    const double* seat_angle, const double* d_ball, const double* d_inner, const double* d_outer,
    const void* unused41, const void* unused42, const void* unused43);
USERSUB_API void USER_CPSS(
    const int32_t* imodel, const void* unused2, const int32_t* mode, const int32_t* orientation,
    const double* lift_offset, const double* cd0, const double* crit_flow_number, const double* x,
    const void* v_unread, const void* unused10, const int32_t* nspec, const int32_t* circuit,
    const void* pass13, const double* x_ref, const double* p1, const double* p2, const double* t1,
    const double* t2, const double* fm1, const double* fm2, const double* mass_flow,
    const int32_t* direction, double* flow_area, double* hyd_diameter, double* flow_number,
    double* discharge_coef, double* force, const void* p_vapour_unread, double* volume1,
    double* volume2, const double* d_seat, const double* d_outer, const double* d_inner,
    const double* cone_angle, const void* unused35, const void* unused36);
USERSUB_API void USER_CPCS(
    const int32_t* imodel, const void* unused2, const int32_t* mode, const int32_t* orientation,
    const double* lift_offset, const double* cd0, const double* crit_flow_number, const double* x,
    const void* v_unread, const void* unused10, const int32_t* nspec, const int32_t* circuit,
    const void* pass13, const double* x_ref, const double* p1, const double* p2, const double* t1,
    const double* t2, const double* fm1, const double* fm2, const double* mass_flow,
    const int32_t* direction, double* flow_area, double* hyd_diameter, double* flow_number,
    double* discharge_coef, double* force, const void* p_vapour_unread, double* volume1,
    double* volume2, const double* d_outer, const double* d_seat, const double* d2,
    const double* d_inner, const double* beta, const double* alpha, const double* ramp_length,
    const void* unused38, const void* unused39);

/* ---- User models: flow devices ---- */
USERSUB_API void UFDMODEL(const int32_t* device, const void* unused2, const int32_t* np,
                          const int32_t* ndev, const int32_t* nsp, const int32_t* nc,
                          const int32_t* map_n_to_p, const int32_t* fluid_kind,
                          const int32_t* imodel, const double* dt, const double* ulpg,
                          const double* uceng, const double* tlpg, const double* plpg,
                          const double* rhopg, const double* areapg, const double* rmspg,
                          const double* init_mass, const double* init_p, const double* init_t,
                          const double* fminit, const void* unused22, const double* init_volume,
                          double* ulpu, double* plpu, double* tlpu, double* rmspu, double* slpu,
                          const double* time, const double* damping_switch,
                          const double* damping_ref_time);
USERSUB_API void UFDMODEL_IMPL(const int32_t* device, const void* unused2,
                               const int32_t* init_switch, const int32_t* accept,
                               const int32_t* np, const int32_t* ndev, const void* unused7,
                               const int32_t* nc, const void* unused9, const int32_t* imodel,
                               const double* dt, const void* unused12, const void* unused13,
                               const void* unused14, const double* p, double* t,
                               const void* unused17, double* mean_speed, const double* volume,
                               const double* p_prev, const void* unused21, double* composition,
                               const void* unused23, const double* fmas, const double* fmas_h,
                               const void* unused26, double* zero_out, double* slpu);

/* ---- User models: catalyst ---- */
USERSUB_API void CATMODUSR(const int32_t* imodel, const int32_t* pass2, const int32_t* plot_key_a,
                           const int32_t* plot_key_b, const int32_t* pass5, const int32_t* n_species,
                           const int32_t* extent7, const void* unused8, const int32_t* extent9,
                           const void* unused10, const int32_t* n_moxy1, const int32_t* moxy1,
                           const void* pass13, const void* pass14, const double* dt,
                           const double* plot_factor, const void* pass17, const void* pass18,
                           const void* pass19, const void* unused20, const void* unused21,
                           const double* mass, const double* fluxi, const double* fluxip, double* fm,
                           const double* temperature, const double* pressure, const double* pass28,
                           const double* density, const double* energy, const void* unused31,
                           const void* unused32, double* out33);

#ifdef __cplusplus
}
#endif

#endif /* USERSUB_H */
