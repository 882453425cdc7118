#include "properties/species/species_table.h"

#include "exchange/engine_components.h"
#include "properties/species/species_table_rw.h"

#include <algorithm>

namespace usersub::properties {
namespace {

// Owning storage of the set; the views of g_set point into it.
struct SpeciesStorage {
    Storage<double> fm1{"FM1"}, fm2{"FM2"};
    Storage<std::int32_t> iproptyp{"IPROPTYP"}, liq_form{"LIQ_FORM"}, ifuel{"IFUEL"},
        thermo_nterms{"THERMO_NTERMS"}, liq_flag{"LIQ_FLAG"};
    Storage<double, 2> species_formula{"SPECIES_FORMULA"};
    Storage<double> pmwt{"PMWT"}, pmwt_inv{"PMWT_INV"};
    Storage<double, 3> thermo_coef{"THERMO_COEF"};
    Storage<double, 2> liq_coef_a{"LIQ_COEF_A"}, liq_coef_b{"LIQ_COEF_B"}, liq_coef_c{"LIQ_COEF_C"};
    Storage<double> rho_const{"RHO_CONST"}, tcrit{"TCRIT"}, pcrit{"PCRIT"};
    Storage<std::int32_t> realgas_flag{"REALGAS_FLAG"};
    Storage<double> species_tmin{"SPECIES_RANGES_TMIN"}, thermo_tbreak{"THERMO_TBREAK"},
        species_tmax{"SPECIES_RANGES_TMAX"}, species_pmin{"SPECIES_RANGES_PMIN"},
        species_pmax{"SPECIES_RANGES_PMAX"}, liq_par_a{"LIQ_PAR_A"}, liq_par_b{"LIQ_PAR_B"};
    Storage<std::int32_t> species_partner{"SPECIES_PARTNER"}, cavit_list{"CAVIT_LIST"};
    Storage<double> cavit_pref{"CAVIT_PREF"}, cavit_tref{"CAVIT_TREF"}, cavit_c4{"CAVIT_C4"},
        cavit_c5{"CAVIT_C5"}, cavit_c6{"CAVIT_C6"}, cavit_c7{"CAVIT_C7"}, cavit_c8{"CAVIT_C8"},
        cavit_c9{"CAVIT_C9"}, vapour_high_pref{"VAPOUR_HIGH_PREF"},
        vapour_high_slope{"VAPOUR_HIGH_SLOPE"}, prod_sref{"PROD_SREF"},
        molefrac_work{"MOLEFRAC_WORK"};
    Storage<char> namfl{"NAMFL"};
    Storage<std::int32_t> pair_block_flag{"PAIR_BLOCK_FLAG"}, tt_count{"TT_COUNT"},
        tt_nlevels{"TT_NLEVELS"};
    Storage<std::int32_t, 3> tt_level_rows{"TT_LEVEL_ROWS"};
    Storage<double, 2> tt_t{"TT_T"}, tt_p{"TT_P"}, tt_mu{"TT_MU"}, tt_k{"TT_K"};
    Storage<double> tseen_tmin{"TSEEN_TMIN"}, tseen_tmax{"TSEEN_TMAX"};
    Storage<std::int32_t> tseen_flag{"TSEEN_FLAG"};
};

SpeciesTable g_set;
SpeciesStorage g_storage;  // empty outside a loaded set

// Points every view of the set at the storage (empty views over empty storage).
void bind_views(SpeciesStorage& s) noexcept
{
    SpeciesTable& t = g_set;
    t.fm1 = view1(s.fm1); t.fm2 = view1(s.fm2); t.iproptyp = view1(s.iproptyp);
    t.liq_form = view1(s.liq_form); t.ifuel = view1(s.ifuel); t.thermo_nterms = view1(s.thermo_nterms);
    t.liq_flag = view1(s.liq_flag); t.species_formula = s.species_formula.view();
    t.pmwt = view1(s.pmwt); t.pmwt_inv = view1(s.pmwt_inv); t.thermo_coef = s.thermo_coef.view();
    t.liq_coef_a = s.liq_coef_a.view(); t.liq_coef_b = s.liq_coef_b.view();
    t.liq_coef_c = s.liq_coef_c.view(); t.rho_const = view1(s.rho_const); t.tcrit = view1(s.tcrit);
    t.pcrit = view1(s.pcrit); t.realgas_flag = view1(s.realgas_flag);
    t.species_tmin = view1(s.species_tmin); t.thermo_tbreak = view1(s.thermo_tbreak);
    t.species_tmax = view1(s.species_tmax); t.species_pmin = view1(s.species_pmin);
    t.species_pmax = view1(s.species_pmax); t.liq_par_a = view1(s.liq_par_a);
    t.liq_par_b = view1(s.liq_par_b); t.species_partner = view1(s.species_partner);
    t.cavit_list = view1(s.cavit_list); t.cavit_pref = view1(s.cavit_pref);
    t.cavit_tref = view1(s.cavit_tref); t.cavit_c4 = view1(s.cavit_c4); t.cavit_c5 = view1(s.cavit_c5);
    t.cavit_c6 = view1(s.cavit_c6); t.cavit_c7 = view1(s.cavit_c7); t.cavit_c8 = view1(s.cavit_c8);
    t.cavit_c9 = view1(s.cavit_c9); t.vapour_high_pref = view1(s.vapour_high_pref);
    t.vapour_high_slope = view1(s.vapour_high_slope); t.prod_sref = view1(s.prod_sref);
    t.molefrac_work = view1(s.molefrac_work);
    t.namfl = TextArray<char>("NAMFL", s.namfl.data(), kSpeciesNameLen,
                              static_cast<std::int64_t>(s.namfl.size() / kSpeciesNameLen));
    t.pair_block_flag = view1(s.pair_block_flag); t.tt_count = view1(s.tt_count);
    t.tt_nlevels = view1(s.tt_nlevels); t.tt_level_rows = s.tt_level_rows.view();
    t.tt_t = s.tt_t.view(); t.tt_p = s.tt_p.view(); t.tt_mu = s.tt_mu.view(); t.tt_k = s.tt_k.view();
    t.tseen_tmin = view1(s.tseen_tmin); t.tseen_tmax = view1(s.tseen_tmax);
    t.tseen_flag = view1(s.tseen_flag);
}

}  // namespace

const SpeciesTable& species_table() noexcept { return g_set; }
SpeciesTable& species_table_rw() noexcept { return g_set; }

void loadprop0(const std::int32_t (&c)[10])
{
    SpeciesTable& t = g_set;
    t.nspecies = c[0];
    t.props_scalar_2 = c[1];
    t.props_scalar_3 = c[2];
    t.props_scalar_4 = c[3];
    t.props_scalar_5 = c[4];
    t.realgas_switch = c[5];
    t.products_switch = c[6];
    t.transport_table_limit = c[7];
    t.props_scalar_9 = c[8];
    t.props_scalar_10 = c[9];
    free_property_arrays();
    allocate_property_arrays();
    ++t.data_generation;
}

void free_property_arrays() noexcept
{
    if (!g_set.property_arrays_allocated) return;
    g_storage = SpeciesStorage{};  // releases every array
    bind_views(g_storage);
    g_set.property_arrays_allocated = false;
}

void allocate_property_arrays()
{
    SpeciesTable& t = g_set;
    if (t.property_arrays_allocated) return;
    const std::int64_t sum = static_cast<std::int64_t>(t.props_scalar_3) + t.props_scalar_5;
    const std::int64_t C = std::max<std::int64_t>(sum, 0);
    const std::int64_t ns = std::max<std::int32_t>(t.nspecies, 0);
    const std::int64_t rows = std::max<std::int32_t>(t.transport_table_limit, 0);
    t.capacity = C;

    SpeciesStorage& s = g_storage;
    for (auto* a : {&s.fm1, &s.fm2, &s.pmwt, &s.pmwt_inv, &s.rho_const, &s.tcrit, &s.pcrit,
                    &s.species_tmin, &s.thermo_tbreak, &s.species_tmax, &s.species_pmin,
                    &s.species_pmax, &s.liq_par_a, &s.liq_par_b, &s.cavit_pref, &s.cavit_tref,
                    &s.cavit_c4, &s.cavit_c5, &s.cavit_c6, &s.cavit_c7, &s.cavit_c8, &s.cavit_c9,
                    &s.vapour_high_pref, &s.vapour_high_slope, &s.prod_sref, &s.molefrac_work})
        a->assign({C}, -999.0);
    for (auto* a : {&s.iproptyp, &s.liq_form, &s.ifuel, &s.thermo_nterms, &s.species_partner,
                    &s.cavit_list})
        a->assign({C}, -999);
    s.liq_flag.assign({C}, 1);
    s.realgas_flag.assign({C}, 0);
    s.species_formula.assign({6, C}, -999.0);
    s.thermo_coef.assign({3, 9, C}, -999.0);
    for (auto* a : {&s.liq_coef_a, &s.liq_coef_b, &s.liq_coef_c}) a->assign({8, C}, -999.0);
    s.namfl.assign({C * static_cast<std::int64_t>(kSpeciesNameLen)}, ' ');

    s.pair_block_flag.assign({ns}, 0);
    s.tt_count.assign({ns}, -999);
    s.tt_nlevels.assign({ns}, -999);
    s.tt_level_rows.assign({2, rows, ns}, -999);
    for (auto* a : {&s.tt_t, &s.tt_p, &s.tt_mu, &s.tt_k}) a->assign({rows, ns}, -999.0);
    s.tseen_tmin.assign({ns}, -999.0);
    s.tseen_tmax.assign({ns}, -999.0);
    s.tseen_flag.assign({ns}, 0);

    bind_views(g_storage);

    // The engine-component compositions carry one entry per species.
    exchange::allocate_valve_composition(t.nspecies);
    exchange::allocate_injector_composition(t.nspecies);
    t.property_arrays_allocated = true;
}

}  // namespace usersub::properties
