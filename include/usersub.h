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

/* ---- User models: engine ---- */

/* ---- User models: pipes and thermal ---- */

/* ---- User models: injector, NOx, friction, valve lift, turbocharger ---- */

/* ---- User models: mechanical, vehicle, electrical, harness ---- */

/* ---- User models: connection geometry, knock, scavenging ---- */

#ifdef __cplusplus
}
#endif

#endif /* USERSUB_H */
