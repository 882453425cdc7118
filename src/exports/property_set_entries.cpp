// Entry points of the species property set, its loaders and settings, and the
// species lookup and fraction conversion.
#include "exports/host_args.h"
#include "properties/species/property_loaders.h"
#include "properties/species/species_lookup.h"
#include "properties/species/species_table.h"

using namespace usersub;
namespace pr = usersub::properties;

extern "C" {

void LOADPROP0(const int32_t* nspecies, const int32_t* props_scalar_2, const int32_t* props_scalar_3,
               const int32_t* props_scalar_4, const int32_t* props_scalar_5, const int32_t* realgas_switch,
               const int32_t* products_switch, const int32_t* transport_table_limit,
               const int32_t* props_scalar_9, const int32_t* props_scalar_10)
{
    const int32_t counts[10] = {*nspecies,       *props_scalar_2,        *props_scalar_3, *props_scalar_4,
                                *props_scalar_5, *realgas_switch,        *products_switch,
                                *transport_table_limit, *props_scalar_9, *props_scalar_10};
    sizing("LOADPROP0", [&] { pr::loadprop0(counts); });
}

void LOADPROP1(const int32_t* iproptyp, const int32_t* ifuel, const int32_t* thermo_nterms,
               const int32_t* /*unread4*/, const int32_t* liq_form, const int32_t* /*unread6*/,
               const int32_t* /*unread7*/, const double* tref_thermo_K, const double* species_formula,
               const double* pmwt, const double* pmwt_inv, const double* thermo_coef,
               const double* liq_coef_a, const double* liq_coef_b, const double* liq_coef_c,
               const double* rho_const, const double* /*unread17*/, const double* tcrit_K,
               const double* pcrit_Pa, const double* tmin_K, const double* tbreak_K, const double* tmax_K,
               const double* pmin_Pa, const double* pmax_Pa, const double* liq_par_a,
               const double* liq_par_b, const double* tref_liq_K, const double* pref_liq_bar,
               const int32_t* n, const int32_t* m, const int32_t* k, const int32_t* realgas_flag,
               const int32_t* liq_flag)
{
    pr::loadprop1({iproptyp, ifuel, thermo_nterms, liq_form, *tref_thermo_K, species_formula, pmwt,
                   pmwt_inv, thermo_coef, liq_coef_a, liq_coef_b, liq_coef_c, rho_const, tcrit_K,
                   pcrit_Pa, tmin_K, tbreak_K, tmax_K, pmin_Pa, pmax_Pa, liq_par_a, liq_par_b,
                   *tref_liq_K, *pref_liq_bar, *n, *m, *k, realgas_flag, liq_flag});
}

void LOADPROP2(const int32_t* prod_settings, const double* prod_atoms, const double* prod_mw,
               const double* prod_mw_inv, const double* prod_cp_mass, const double* prod_sref,
               const double* prod_tcrit_K, const double* prod_pcrit_Pa, const char* names,
               intptr_t names_len, const double* atomic_mass_n, const double* /*unread11*/,
               const double* /*unread12*/)
{
    pr::loadprop2({prod_settings, prod_atoms, prod_mw, prod_mw_inv, prod_cp_mass, prod_sref, prod_tcrit_K,
                   prod_pcrit_Pa, names, names_len > 0 ? static_cast<std::size_t>(names_len) : 0,
                   *atomic_mass_n});
}

void LOADPROP4(const int32_t* i1, const int32_t* i2, const int32_t* i3, const double* r1,
               const int32_t* species_partner, const int32_t* unread6)
{
    const int32_t ints[3] = {*i1, *i2, *i3};
    pr::loadprop4(ints, *r1, species_partner, unread6);
}

void LOADPROP9(const int32_t* tt_count, const double* tt_t, const double* tt_p, const double* tt_mu,
               const double* tt_k, const int32_t* tt_level_rows, const int32_t* tt_nlevels,
               const int32_t* unread8, const int32_t* /*unread9*/)
{
    pr::loadprop9({tt_count, tt_t, tt_p, tt_mu, tt_k, tt_level_rows, tt_nlevels, unread8});
}

void LOADCAVIT2(const int32_t* cavit_list, const double* cavit_pref, const double* cavit_tref,
                const double* cavit_c4, const double* cavit_c5, const double* cavit_c6,
                const double* cavit_c7, const double* cavit_c8, const double* cavit_c9)
{
    const double* const reals[8] = {cavit_pref, cavit_tref, cavit_c4, cavit_c5,
                                    cavit_c6,   cavit_c7,   cavit_c8, cavit_c9};
    pr::loadcavit2(cavit_list, reals);
}

void LOADCIRCSET(const int32_t* n, const int32_t* modes)
{
    sizing("LOADCIRCSET", [&] { pr::loadcircset(*n, modes); });
}

void LOADREALGAS(const int32_t* realgas_switch) { pr::load_realgas(*realgas_switch); }

void COPY_USER_PROPERTY_PARAMETERS(const int32_t* gibbs_switch, const int32_t* n, const int32_t* list)
{
    sizing("COPY_USER_PROPERTY_PARAMETERS", [&] { pr::copy_user_property_parameters(*gibbs_switch, *n, list); });
}

void COPY_USER_EVOLUTION(const int32_t* words1000) { pr::copy_user_evolution(words1000); }

void SET_EVOLUTION_SCALAR_FLAGS_USER(void) { pr::set_evolution_scalar_flags(); }

void USER_ASSOCIATED(int32_t** gamwarn_calls, int32_t** gamwarn_step, int32_t** trange_warn_calls,
                     int32_t** gamwarn_printed, int32_t** trange_warn_step, int32_t** trange_warn_printed,
                     usersub_array_view* tseen_flag, usersub_array_view* tseen_tmin,
                     usersub_array_view* tseen_tmax)
{
    const pr::AssociatedStorage a = pr::user_associated();
    host::put(gamwarn_calls, a.gamwarn_calls);
    host::put(gamwarn_step, a.gamwarn_step);
    host::put(trange_warn_calls, a.trange_warn_calls);
    host::put(gamwarn_printed, a.gamwarn_printed);
    host::put(trange_warn_step, a.trange_warn_step);
    host::put(trange_warn_printed, a.trange_warn_printed);
    host::put(tseen_flag, host::view_of(a.tseen_flag.data(), sizeof(int32_t), a.tseen_flag.size()));
    host::put(tseen_tmin, host::view_of(a.tseen_tmin.data(), sizeof(double), a.tseen_tmin.size()));
    host::put(tseen_tmax, host::view_of(a.tseen_tmax.data(), sizeof(double), a.tseen_tmax.size()));
}

int32_t SPECIES_INDEX(const char* name, intptr_t name_len)
{
    return pr::species_index(text::host(name, name_len));
}

void SPECIES_NAME(char* name, intptr_t name_len, const int32_t* index)
{
    host::put_text(name, name_len, pr::species_name(*index));
}

void GETMOLFRAC(const double* y_mass, double* x_mole) { pr::getmolfrac(y_mass, x_mole); }

void GETMASSFRAC(const double* x_mole, double* y_mass) { pr::getmassfrac(x_mole, y_mass); }

}  // extern "C"
