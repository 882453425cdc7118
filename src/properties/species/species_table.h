// The species property set of a run: the counts and switches that size it,
// every per-species array the property library reads, and the two per-species
// work arrays FM1 and FM2. The set is created whole by loadprop0() and filled
// by the loaders (property_loaders.h); a later loadprop0() discards it.
//
// Every array is handed out in place as a bounds-checked view (no copies):
// contiguous, 1-based, column-major (first subscript fastest), the species
// index always last. Views stay valid until the next loadprop0().
//
// Species layout: species 1..props_scalar_3 are ordinary species with data of
// their own; species props_scalar_2..nspecies are the combustion products,
// species i being product k = i - props_scalar_3 of the built-in product data
// (product_species.h).
#pragma once

#include "common/array.h"

#include <array>
#include <cstddef>
#include <cstdint>

namespace usersub::properties {

inline constexpr std::size_t kSpeciesNameLen = 117;
inline constexpr double kGasConstant = 8314.3;  // J/(kmol K)
inline constexpr int kUserEvolutionWords = 1000;

// Property types (iproptyp).
inline constexpr std::int32_t kGas = 1;
inline constexpr std::int32_t kConstantDensityLiquid = 2;
inline constexpr std::int32_t kPolynomialLiquid = 3;

struct SpeciesTable {
    // ---- counts and switches, in the order of loadprop0's ten integers ----
    std::int32_t nspecies = 0;        // species per composition
    std::int32_t props_scalar_2 = 0;  // first product species
    std::int32_t props_scalar_3 = 0;  // last ordinary species; first part of the capacity
    std::int32_t props_scalar_4 = 0;  // kept, read by nothing
    std::int32_t props_scalar_5 = 11; // product-species rows; second part of the capacity
    std::int32_t realgas_switch = 0;  // 1 or 3: real-gas correction on (also set by load_realgas)
    std::int32_t products_switch = 0; // 0 NASA 9-coefficient form, 1 power series in (T - tref_thermo)
    std::int32_t transport_table_limit = 20;  // rows per species of the transport tables
    std::int32_t props_scalar_9 = 0;
    std::int32_t props_scalar_10 = 0;

    std::int64_t capacity = 0;  // C = props_scalar_3 + props_scalar_5, 0 when negative
    bool property_arrays_allocated = false;
    // Raised by every load of species or product data (loadprop0, 1, 2), so that
    // values cached from the data can tell that they are stale.
    std::uint32_t data_generation = 0;

    // ---- scalars set by the loaders; they outlive a loadprop0() ----
    double tref_thermo = 298.0;  // K, reference temperature of the power series
    double tref_liq = 0.0;       // K, reference temperature of the liquid polynomials
    double pref_liq = 0.0;       // bar, reference pressure of the liquid polynomials
    std::array<std::int32_t, 3> loadprop4_int{};  // [1]: species index of the constant-density
                                                  // liquid of the liquid-vapour pair
    double loadprop4_real = 0.0;
    double atomic_mass_n = 14.0067;  // kg/kmol

    // ---- per-species arrays of extent C ----
    Array1<double> fm1{"FM1"};  // composition work storage (state solver, user routines)
    Array1<double> fm2{"FM2"};  // species mass changes for the volume-state update
    Array1<std::int32_t> iproptyp{"IPROPTYP"};  // 1 gas, 2 constant-density liquid, 3 polynomial liquid
    Array1<std::int32_t> liq_form{"LIQ_FORM"};  // liquid density form, 1 or 2
    Array1<std::int32_t> ifuel{"IFUEL"};        // 2 marks a fuel
    Array1<std::int32_t> thermo_nterms{"THERMO_NTERMS"};  // power-series terms of a gas species
    Array1<std::int32_t> liq_flag{"LIQ_FLAG"};  // 0: clamp the liquid pressure to its limits
    ArrayN<double, 2> species_formula{"SPECIES_FORMULA"};  // (6, C): atoms of C, H, O, N, S, Ar
    Array1<double> pmwt{"PMWT"};          // kg/kmol
    Array1<double> pmwt_inv{"PMWT_INV"};  // kmol/kg
    ArrayN<double, 3> thermo_coef{"THERMO_COEF"};  // (3, 9, C): coefficient set, coefficient, species
    ArrayN<double, 2> liq_coef_a{"LIQ_COEF_A"};    // (8, C): liquid density coefficients
    ArrayN<double, 2> liq_coef_b{"LIQ_COEF_B"};    // (8, C): liquid enthalpy coefficients f1..f6
    ArrayN<double, 2> liq_coef_c{"LIQ_COEF_C"};    // (8, C): liquid cp coefficients g1..g6
    Array1<double> rho_const{"RHO_CONST"};  // kg/m3, density of a constant-density liquid
    Array1<double> tcrit{"TCRIT"};          // K; above 10000 means none
    Array1<double> pcrit{"PCRIT"};          // Pa; above 5e8 means none
    Array1<std::int32_t> realgas_flag{"REALGAS_FLAG"};  // bit 0: real-gas correction applies
    // SPECIES_RANGES and the first break of THERMO_TBREAK
    Array1<double> species_tmin{"SPECIES_RANGES_TMIN"};  // K
    Array1<double> thermo_tbreak{"THERMO_TBREAK"};       // K, end of coefficient set 1
    Array1<double> species_tmax{"SPECIES_RANGES_TMAX"};  // K, end of coefficient set 2
    Array1<double> species_pmin{"SPECIES_RANGES_PMIN"};  // Pa
    Array1<double> species_pmax{"SPECIES_RANGES_PMAX"};  // Pa
    Array1<double> liq_par_a{"LIQ_PAR_A"};  // K, reference temperature of liquid density form 1
    Array1<double> liq_par_b{"LIQ_PAR_B"};  // Pa, reference pressure of liquid density form 1
    Array1<std::int32_t> species_partner{"SPECIES_PARTNER"};
    // CAVIT_DATA: vapour-pressure correlation
    Array1<std::int32_t> cavit_list{"CAVIT_LIST"};
    Array1<double> cavit_pref{"CAVIT_PREF"};
    Array1<double> cavit_tref{"CAVIT_TREF"};
    Array1<double> cavit_c4{"CAVIT_C4"};
    Array1<double> cavit_c5{"CAVIT_C5"};
    Array1<double> cavit_c6{"CAVIT_C6"};
    Array1<double> cavit_c7{"CAVIT_C7"};
    Array1<double> cavit_c8{"CAVIT_C8"};
    Array1<double> cavit_c9{"CAVIT_C9"};
    Array1<double> vapour_high_pref{"VAPOUR_HIGH_PREF"};    // no loader: -999.0
    Array1<double> vapour_high_slope{"VAPOUR_HIGH_SLOPE"};  // no loader: -999.0
    Array1<double> prod_sref{"PROD_SREF"};          // J/(kg K) at tref_thermo
    Array1<double> molefrac_work{"MOLEFRAC_WORK"};  // mixture routine's mole fractions
    TextArray<char> namfl{"NAMFL", kSpeciesNameLen};  // 117-character names

    // ---- arrays of extent NSPECIES (and TRANSPORT_TABLE_LIMIT) ----
    Array1<std::int32_t> pair_block_flag{"PAIR_BLOCK_FLAG"};
    Array1<std::int32_t> tt_count{"TT_COUNT"};      // above 0: the species has transport tables
    Array1<std::int32_t> tt_nlevels{"TT_NLEVELS"};  // pressure levels per species
    ArrayN<std::int32_t, 3> tt_level_rows{"TT_LEVEL_ROWS"};  // (2, limit, NSPECIES): first, last row
    ArrayN<double, 2> tt_t{"TT_T"};    // (limit, NSPECIES), K
    ArrayN<double, 2> tt_p{"TT_P"};    // Pa
    ArrayN<double, 2> tt_mu{"TT_MU"};  // Pa s
    ArrayN<double, 2> tt_k{"TT_K"};    // W/(m K)
    // SPECIES_TSEEN: out-of-range temperatures seen by the liquid density routine
    Array1<double> tseen_tmin{"TSEEN_TMIN"};
    Array1<double> tseen_tmax{"TSEEN_TMAX"};
    Array1<std::int32_t> tseen_flag{"TSEEN_FLAG"};
};

// The set, read in place by every property routine. Its elements may be
// written through the views (FM1, FM2, the temperature watch); the counts
// change only through loadprop0() and the loaders.
const SpeciesTable& species_table() noexcept;

// Stores the ten counts and switches in the order of SpeciesTable, then frees
// and re-creates every array with its fill value and re-sizes the valve and
// injector compositions to nspecies.
void loadprop0(const std::int32_t (&counts)[10]);
void free_property_arrays() noexcept;
void allocate_property_arrays();

// ---- settings outside the set: they survive a new loadprop0() ----

// Warning counters of the property library, 0 at load; the host may change
// the six counters in place (their addresses are handed out).
struct PropWarnState {
    std::int32_t species_storage_busy = 0;  // the state solver's guard of FM1
    std::int32_t gamwarn_calls = 0;
    std::int32_t gamwarn_step = 0;
    std::int32_t trange_warn_calls = 0;
    std::int32_t gamwarn_printed = 0;
    std::int32_t trange_warn_step = 0;
    std::int32_t trange_warn_printed = 0;
};
PropWarnState& prop_warn_state() noexcept;

// Derived from USER_EVOLUTION by set_evolution_scalar_flags(); 0 until then.
struct EvolutionSwitches {
    std::int32_t cubic_select = 0;   // bit 0: analytic real-gas cubic instead of iterative Z
    std::int32_t switch2 = 0;        // read by nothing
    double pr_threshold = 0.0;       // reduced pressure from which the real-gas Z is evaluated
    double step_divisor = 0.0;       // s: relative step 1/s of the real-gas derivatives
};

struct PropertySettings {
    Array1<const std::int32_t> circuit_set{"CIRCUIT_SET"};  // mixing mode per circuit
    Array1<const std::int32_t> user_property_parameters{"USER_PROPERTY_PARAMETERS"};
    std::int32_t gibbs_switch = 0;  // 1: always Gibbs minimisation
    EvolutionSwitches evolution_switches;
};
const PropertySettings& property_settings() noexcept;

// Word w (1..1000) of USER_EVOLUTION; -1 until the host copies the block.
std::int32_t user_evolution(int w) noexcept;

}  // namespace usersub::properties
