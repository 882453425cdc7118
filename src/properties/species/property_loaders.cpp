#include "properties/species/property_loaders.h"

#include "properties/species/product_species.h"
#include "properties/species/species_table_rw.h"

#include <algorithm>
#include <array>
#include <optional>
#include <vector>

namespace usersub::properties {
namespace {

PropWarnState g_warn;
PropertySettings g_settings;
std::vector<std::int32_t> g_circuit_set;
std::optional<std::vector<std::int32_t>> g_user_property_parameters;  // sized by the first call
std::array<std::int32_t, kUserEvolutionWords> g_user_evolution = [] {
    std::array<std::int32_t, kUserEvolutionWords> a{};
    a.fill(-1);
    return a;
}();

// Copies n host values into entries 1..n of a per-species array; the last
// entry is checked once, so a count past the array meets the bounds diagnostic.
template <class T>
void copy_rows(const Array1<T>& dst, std::int32_t n, const T* src) noexcept
{
    if (n < 1) return;
    const auto run = dst.span(1, n);
    std::copy_n(src, run.size(), run.begin());
}

// Copies, for species 1..n, the first `per_species` host values into the
// start of each species' block of an array whose last subscript is the
// species. `last` is the subscript of the last entry written: checked once, so
// a count past the array meets the bounds diagnostic.
template <class T, int R, class... I>
void copy_blocks(const ArrayN<T, R>& dst, std::int64_t per_species, std::int32_t n, const T* src,
                 I... last) noexcept
{
    if (n < 1 || per_species < 1) return;
    dst(last...);
    const std::int64_t block = dst.size() / dst.extent(R - 1);
    for (std::int64_t i = 0; i < n; ++i) std::copy_n(src + i * per_species, per_species, dst.data() + i * block);
}

// The first `rows` of each of n host columns (rows, n) into a (leading, C) array.
void copy_columns(const ArrayN<double, 2>& dst, std::int32_t rows, std::int32_t n, const double* src) noexcept
{
    copy_blocks(dst, rows, n, src, rows, n);
}

}  // namespace

PropWarnState& prop_warn_state() noexcept { return g_warn; }
const PropertySettings& property_settings() noexcept { return g_settings; }

std::int32_t user_evolution(int w) noexcept
{
    return Array1<const std::int32_t>("USER_EVOLUTION", g_user_evolution.data(), kUserEvolutionWords)(w);
}

void loadprop1(const Prop1Data& d) noexcept
{
    SpeciesTable& t = species_table_rw();
    t.tref_thermo = d.tref_thermo;
    t.tref_liq = d.tref_liq;
    t.pref_liq = d.pref_liq;
    ++t.data_generation;
    const std::int32_t n = d.n;
    if (n < 1) return;

    copy_rows(t.iproptyp, n, d.iproptyp);
    copy_rows(t.ifuel, n, d.ifuel);
    copy_rows(t.thermo_nterms, n, d.thermo_nterms);
    copy_rows(t.liq_form, n, d.liq_form);
    copy_columns(t.species_formula, 6, n, d.species_formula);
    copy_rows(t.pmwt, n, d.pmwt);
    copy_rows(t.pmwt_inv, n, d.pmwt_inv);
    copy_blocks(t.thermo_coef, 3 * std::int64_t{d.k}, n, d.thermo_coef, 3, d.k, n);
    copy_columns(t.liq_coef_a, d.m, n, d.liq_coef_a);
    copy_columns(t.liq_coef_b, d.m, n, d.liq_coef_b);
    copy_columns(t.liq_coef_c, d.m, n, d.liq_coef_c);
    copy_rows(t.rho_const, n, d.rho_const);
    copy_rows(t.tcrit, n, d.tcrit);
    copy_rows(t.pcrit, n, d.pcrit);
    copy_rows(t.species_tmin, n, d.tmin);
    copy_rows(t.thermo_tbreak, n, d.tbreak);
    copy_rows(t.species_tmax, n, d.tmax);
    copy_rows(t.species_pmin, n, d.pmin);
    copy_rows(t.species_pmax, n, d.pmax);
    copy_rows(t.liq_par_a, n, d.liq_par_a);
    copy_rows(t.liq_par_b, n, d.liq_par_b);
    copy_rows(t.realgas_flag, n, d.realgas_flag);
    copy_rows(t.liq_flag, n, d.liq_flag);
}

void loadprop2(const Prop2Data& d) noexcept
{
    SpeciesTable& t = species_table_rw();
    const ProductSpeciesSet& ps = product_species();
    ++t.data_generation;
    const std::int32_t p = t.props_scalar_5;
    if (p >= 1) {
        copy_rows(ps.prod_settings, p, d.prod_settings);
        copy_columns(ps.prod_atoms, 6, p, d.prod_atoms);
        copy_rows(ps.prod_mw, p, d.prod_mw);
        copy_rows(ps.prod_mw_inv, p, d.prod_mw_inv);
        copy_columns(ps.prod_cp_mass, 8, p, d.prod_cp_mass);
        copy_rows(ps.prod_tcrit, p, d.prod_tcrit);
        copy_rows(ps.prod_pcrit, p, d.prod_pcrit);
    }
    const auto C = static_cast<std::int32_t>(t.capacity);
    copy_rows(t.prod_sref, C, d.prod_sref);
    for (std::int32_t i = 1; i <= C; ++i)
        t.namfl.assign(i, {d.names + static_cast<std::size_t>(i - 1) * d.names_len, d.names_len});
    t.atomic_mass_n = d.atomic_mass_n;
}

void loadprop4(const std::int32_t* ints3, double real, const std::int32_t* species_partner,
               const std::int32_t* /*unread*/) noexcept
{
    SpeciesTable& t = species_table_rw();
    std::copy_n(ints3, 3, t.loadprop4_int.begin());
    t.loadprop4_real = real;
    copy_rows(t.species_partner, t.nspecies, species_partner);
}

void loadprop9(const Prop9Data& d) noexcept
{
    const SpeciesTable& t = species_table();
    const std::int32_t ns = t.nspecies;
    const std::int32_t rows = t.transport_table_limit;
    copy_rows(t.tt_count, ns, d.tt_count);
    copy_rows(t.tt_nlevels, ns, d.tt_nlevels);
    copy_columns(t.tt_t, rows, ns, d.tt_t);
    copy_columns(t.tt_p, rows, ns, d.tt_p);
    copy_columns(t.tt_mu, rows, ns, d.tt_mu);
    copy_columns(t.tt_k, rows, ns, d.tt_k);
    copy_blocks(t.tt_level_rows, 2 * std::int64_t{rows}, ns, d.tt_level_rows, 2, rows, ns);
}

void loadcavit2(const std::int32_t* cavit_list, const double* const (&reals)[8]) noexcept
{
    const SpeciesTable& t = species_table();
    const std::int32_t ns = t.nspecies;
    copy_rows(t.cavit_list, ns, cavit_list);
    const Array1<double>* targets[8] = {&t.cavit_pref, &t.cavit_tref, &t.cavit_c4, &t.cavit_c5,
                                        &t.cavit_c6,   &t.cavit_c7,   &t.cavit_c8, &t.cavit_c9};
    for (int a = 0; a < 8; ++a) copy_rows(*targets[a], ns, reals[a]);
}

void loadcircset(std::int32_t n, const std::int32_t* modes)
{
    g_circuit_set.assign(static_cast<std::size_t>(std::max(n, 0)), 0);
    std::copy_n(modes, g_circuit_set.size(), g_circuit_set.begin());
    g_settings.circuit_set = Array1<const std::int32_t>("CIRCUIT_SET", g_circuit_set.data(),
                                                        static_cast<std::int64_t>(g_circuit_set.size()));
}

void load_realgas(std::int32_t realgas_switch) noexcept { species_table_rw().realgas_switch = realgas_switch; }

void copy_user_property_parameters(std::int32_t gibbs_switch, std::int32_t n, const std::int32_t* list)
{
    g_settings.gibbs_switch = gibbs_switch;
    if (!g_user_property_parameters) {
        g_user_property_parameters.emplace(static_cast<std::size_t>(std::max(n, 0)), 0);
        g_settings.user_property_parameters =
            Array1<const std::int32_t>("USER_PROPERTY_PARAMETERS", g_user_property_parameters->data(),
                                       static_cast<std::int64_t>(g_user_property_parameters->size()));
    }
    auto& params = *g_user_property_parameters;
    std::copy_n(list, params.size(), params.begin());
}

void copy_user_evolution(const std::int32_t* words1000) noexcept
{
    std::copy_n(words1000, kUserEvolutionWords, g_user_evolution.begin());
}

void set_evolution_scalar_flags() noexcept
{
    const std::int32_t w113 = user_evolution(113);
    const std::int32_t w139 = user_evolution(139);
    const std::int32_t w176 = user_evolution(176);
    const std::int32_t w185 = user_evolution(185);
    EvolutionSwitches& e = g_settings.evolution_switches;
    e.cubic_select = w113 >= 5 ? -1 : 0;
    e.switch2 = w139 >= 5 ? -1 : 0;
    if (w185 > 4) {
        e.pr_threshold = w176 >= 5 ? 0.01 : 0.1;
        if (w113 == 4)
            e.step_divisor = 1e6;
        else if (w113 <= 3)
            e.step_divisor = 100.0;
        else
            e.step_divisor = -1.0;
    } else {
        e.pr_threshold = 0.1;
        e.step_divisor = 1e6;
    }
}

AssociatedStorage user_associated() noexcept
{
    const SpeciesTable& t = species_table();
    return {&g_warn.gamwarn_calls,    &g_warn.gamwarn_step,     &g_warn.trange_warn_calls,
            &g_warn.gamwarn_printed,  &g_warn.trange_warn_step, &g_warn.trange_warn_printed,
            t.tseen_flag,             t.tseen_tmin,             t.tseen_tmax};
}

}  // namespace usersub::properties
