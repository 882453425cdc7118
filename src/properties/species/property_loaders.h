// Loaders of the species property set and of the property settings that live
// outside it. Each copies the host's arrays element by element and converts
// nothing; the target arrays must exist (after loadprop0()). A count that
// would reach past an array meets the array-bounds diagnostic.
#pragma once

#include "common/array.h"

#include <cstddef>
#include <cstdint>

namespace usersub::properties {

// Per-species data of the ordinary species; n rows, m liquid coefficients
// (at most 8), k thermodynamic coefficient columns (at most 9). Arrays are
// the host's, column-major with the species index last.
struct Prop1Data {
    const std::int32_t* iproptyp;        // (n)
    const std::int32_t* ifuel;           // (n)
    const std::int32_t* thermo_nterms;   // (n)
    const std::int32_t* liq_form;        // (n)
    double tref_thermo;                  // K
    const double* species_formula;       // (6, n)
    const double* pmwt;                  // (n)
    const double* pmwt_inv;              // (n)
    const double* thermo_coef;           // (3, k, n)
    const double* liq_coef_a;            // (m, n)
    const double* liq_coef_b;            // (m, n)
    const double* liq_coef_c;            // (m, n)
    const double* rho_const;             // (n)
    const double* tcrit;                 // (n)
    const double* pcrit;                 // (n)
    const double* tmin;                  // (n)
    const double* tbreak;                // (n)
    const double* tmax;                  // (n)
    const double* pmin;                  // (n)
    const double* pmax;                  // (n)
    const double* liq_par_a;             // (n)
    const double* liq_par_b;             // (n)
    double tref_liq;                     // K
    double pref_liq;                     // bar
    std::int32_t n;
    std::int32_t m;
    std::int32_t k;
    const std::int32_t* realgas_flag;    // (n)
    const std::int32_t* liq_flag;        // (n)
};
// Stores the three scalars always; the arrays only when n is 1 or more.
void loadprop1(const Prop1Data& d) noexcept;

// Product-species data and the species names. p = props_scalar_5 rows of
// product data; capacity C entries of prod_sref and names.
struct Prop2Data {
    const std::int32_t* prod_settings;  // (p)
    const double* prod_atoms;           // (6, p)
    const double* prod_mw;              // (p)
    const double* prod_mw_inv;          // (p)
    const double* prod_cp_mass;         // (8, p)
    const double* prod_sref;            // (C)
    const double* prod_tcrit;           // (p)
    const double* prod_pcrit;           // (p)
    const char* names;                  // C texts of names_len characters, end to end
    std::size_t names_len;
    double atomic_mass_n;               // kg/kmol
};
void loadprop2(const Prop2Data& d) noexcept;

// Three integers and a real, then SPECIES_PARTNER and an unread per-species
// integer array, NSPECIES entries each.
void loadprop4(const std::int32_t* ints3, double real, const std::int32_t* species_partner,
               const std::int32_t* unread) noexcept;

// Transport tables in the set's own layout, TRANSPORT_TABLE_LIMIT rows per
// species, for species 1..NSPECIES.
struct Prop9Data {
    const std::int32_t* tt_count;       // (NSPECIES)
    const double* tt_t;                 // (limit, NSPECIES)
    const double* tt_p;
    const double* tt_mu;
    const double* tt_k;
    const std::int32_t* tt_level_rows;  // (2, limit, NSPECIES)
    const std::int32_t* tt_nlevels;     // (NSPECIES)
    const std::int32_t* unread;         // (limit, NSPECIES)
};
void loadprop9(const Prop9Data& d) noexcept;

// Vapour-pressure data, NSPECIES entries each: the list, then the eight reals
// CAVIT_PREF, CAVIT_TREF, CAVIT_C4..CAVIT_C9.
void loadcavit2(const std::int32_t* cavit_list, const double* const (&reals)[8]) noexcept;

void loadcircset(std::int32_t n, const std::int32_t* modes);
void load_realgas(std::int32_t realgas_switch) noexcept;
void copy_user_property_parameters(std::int32_t gibbs_switch, std::int32_t n, const std::int32_t* list);
void copy_user_evolution(const std::int32_t* words1000) noexcept;
void set_evolution_scalar_flags() noexcept;

// The six warning counters (their addresses) and the three temperature-watch
// arrays of the current set (empty before the first loadprop0()).
struct AssociatedStorage {
    std::int32_t* gamwarn_calls;
    std::int32_t* gamwarn_step;
    std::int32_t* trange_warn_calls;
    std::int32_t* gamwarn_printed;
    std::int32_t* trange_warn_step;
    std::int32_t* trange_warn_printed;
    Array1<std::int32_t> tseen_flag;
    Array1<double> tseen_tmin;
    Array1<double> tseen_tmax;
};
AssociatedStorage user_associated() noexcept;

}  // namespace usersub::properties
