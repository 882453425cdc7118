#include "properties/species/product_species.h"
#include "properties/species/property_loaders.h"
#include "properties/species/species_lookup.h"
#include "properties/species/species_table.h"
#include "support/child.h"
#include "support/species_fixture.h"
#include "usersub.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <numeric>
#include <string>
#include <tuple>
#include <vector>

namespace usersub::properties {
namespace {

using test::fx::kNSpecies;

void loadprop0(std::int32_t nspecies, std::int32_t s3, std::int32_t s5, std::int32_t limit = 4)
{
    const std::int32_t s2 = s3 + 1, zero = 0;
    LOADPROP0(&nspecies, &s2, &s3, &zero, &s5, &zero, &zero, &limit, &zero, &zero);
}

// Each array has n elements, all equal to fill.
template <class T, class... Arrays>
void expect_filled(T fill, std::int64_t n, const Arrays&... a)
{
    ([&] { EXPECT_EQ(std::make_tuple(a.size(), std::count(a.data(), a.data() + a.size(), fill)),
                     std::make_tuple(n, n)) << a.name(); }(), ...);
}

// Every real reads -999.0, every integer -999 (but LIQ_FLAG 1 and REALGAS_FLAG,
// PAIR_BLOCK_FLAG, TSEEN_FLAG 0), every name is 117 blanks.
void expect_fill_values(const SpeciesTable& t)
{
    const std::int64_t C = t.capacity, ns = t.nspecies, rows = t.transport_table_limit;
    expect_filled(-999.0, C, t.fm1, t.fm2, t.pmwt, t.pmwt_inv, t.rho_const, t.tcrit, t.pcrit, t.species_tmin,
                  t.thermo_tbreak, t.species_tmax, t.species_pmin, t.species_pmax, t.liq_par_a, t.liq_par_b,
                  t.cavit_pref, t.cavit_tref, t.cavit_c4, t.cavit_c5, t.cavit_c6, t.cavit_c7, t.cavit_c8,
                  t.cavit_c9, t.vapour_high_pref, t.vapour_high_slope, t.prod_sref, t.molefrac_work);
    expect_filled(-999, C, t.iproptyp, t.liq_form, t.ifuel, t.thermo_nterms, t.species_partner, t.cavit_list);
    expect_filled(1, C, t.liq_flag);
    expect_filled(0, C, t.realgas_flag);
    expect_filled(-999.0, 6 * C, t.species_formula);
    expect_filled(-999.0, 27 * C, t.thermo_coef);
    expect_filled(-999.0, 8 * C, t.liq_coef_a, t.liq_coef_b, t.liq_coef_c);
    expect_filled(-999.0, rows * ns, t.tt_t, t.tt_p, t.tt_mu, t.tt_k);
    expect_filled(-999, 2 * rows * ns, t.tt_level_rows);
    expect_filled(-999, ns, t.tt_count, t.tt_nlevels);
    expect_filled(0, ns, t.pair_block_flag, t.tseen_flag);
    expect_filled(-999.0, ns, t.tseen_tmin, t.tseen_tmax);
    EXPECT_EQ(std::string(t.namfl.data(), static_cast<std::size_t>(C) * 117), std::string(C * 117, ' '));
}

// A new set replaces the old whole: extents from the new counts, every array
// at its fill value; the loaders' scalars and the settings outside the set stay.
TEST(SpeciesTable, ANewSetReplacesTheOldWhole)
{
    test::load_species_fixture();
    const SpeciesTable& t = species_table();
    t.fm1(3) = 0.5;
    t.tseen_flag(2) = -1;
    loadprop0(7, 5, 11);
    EXPECT_EQ(std::make_tuple(t.capacity, t.namfl.size()), std::make_tuple(16, 16));  // 5 + 11
    EXPECT_EQ(std::make_tuple(t.tt_t.extent(0), t.tt_t.extent(1)), std::make_tuple(4, 7));
    expect_fill_values(t);
    EXPECT_EQ(std::tie(t.tref_thermo, t.loadprop4_int[1]), std::make_tuple(298.15, test::fx::kH2OLiquid));
    EXPECT_EQ(property_settings().circuit_set.size(), 1);
    EXPECT_EQ(property_settings().evolution_switches.step_divisor, 1e6);
    // Negative counts give empty arrays; an index into them meets the bounds diagnostic.
    loadprop0(4, 3, -5, -2);
    EXPECT_EQ(t.capacity + t.thermo_coef.size() + t.namfl.size() + t.tt_t.size(), 0);
    EXPECT_EQ(t.tseen_flag.size(), 4);
    loadprop0(-1, 2, 2);
    EXPECT_EQ(std::make_tuple(t.capacity, t.tseen_flag.size()), std::make_tuple(4, 0));
    test::expect_child_stop_mentioning([] { species_table().fm1(5) = 1.0; }, "array FM1 has value 5");
}

// LOADPROP1 with host arrays for n <= 5 species, m liquid and k thermodynamic
// coefficients; element e (from 0) of argument a holds 1000 a + e.
void loadprop1(std::int32_t n, std::int32_t m, std::int32_t k, double tref, double tref_liq, double pref_liq)
{
    std::vector<std::int32_t> ints[34];
    std::vector<double> reals[34];
    for (int a = 1; a <= 33; ++a) {
        ints[a].resize(27 * 5);  // the largest per-species block, (3, 9)
        reals[a].resize(27 * 5);
        std::iota(ints[a].begin(), ints[a].end(), 1000 * a);
        std::iota(reals[a].begin(), reals[a].end(), 1000.0 * a);
    }
    auto I = [&](int a) { return ints[a].data(); };
    auto R = [&](int a) { return reals[a].data(); };
    LOADPROP1(I(1), I(2), I(3), I(4), I(5), I(6), I(7), &tref, R(9), R(10), R(11), R(12), R(13), R(14), R(15),
              R(16), R(17), R(18), R(19), R(20), R(21), R(22), R(23), R(24), R(25), R(26), &tref_liq, &pref_liq,
              &n, &m, &k, I(32), I(33));
}

TEST(PropertyLoaders, Loadprop1ArgumentPositionsRowsColumnsAndScalars)
{
    loadprop0(4, 2, 2);  // capacity 4
    const SpeciesTable& t = species_table();
    loadprop1(0, 8, 9, 300.0, 310.0, 2.5);  // n = 0: the scalars only
    EXPECT_EQ(std::tie(t.tref_thermo, t.tref_liq, t.pref_liq), std::make_tuple(300.0, 310.0, 2.5));
    EXPECT_EQ(t.iproptyp(1), -999);

    loadprop1(2, 3, 7, 298.15, 298.15, 1.0);  // two species, 3 liquid coefficients, 7 columns
    const std::tuple<const Array1<std::int32_t>*, int, std::int32_t> ints[] = {
        {&t.iproptyp, 1, -999}, {&t.ifuel, 2, -999},      {&t.thermo_nterms, 3, -999},
        {&t.liq_form, 5, -999}, {&t.realgas_flag, 32, 0}, {&t.liq_flag, 33, 1}};
    for (auto [a, arg, fill] : ints)  // entry 3, past n: the fill
        EXPECT_EQ(std::make_tuple((*a)(2), (*a)(3)), std::make_tuple(1000 * arg + 1, fill)) << a->name();
    const std::pair<const Array1<double>*, int> reals[] = {
        {&t.pmwt, 10},         {&t.pmwt_inv, 11},      {&t.rho_const, 16},    {&t.tcrit, 18},
        {&t.pcrit, 19},        {&t.species_tmin, 20},  {&t.thermo_tbreak, 21}, {&t.species_tmax, 22},
        {&t.species_pmin, 23}, {&t.species_pmax, 24}, {&t.liq_par_a, 25},     {&t.liq_par_b, 26}};
    for (auto [a, arg] : reals)
        EXPECT_EQ(std::make_tuple((*a)(2), (*a)(3)), std::make_tuple(1000.0 * arg + 1, -999.0)) << a->name();
    EXPECT_EQ(t.species_formula(6, 2), 9011.0);  // (6, n): entry (6, 2) at 11
    // THERMO_COEF host (3, 7, 2): entry (r, j, i) at (r-1) + 3 (j-1) + 21 (i-1).
    EXPECT_EQ(t.thermo_coef(2, 7, 2), 12000.0 + 1 + 18 + 21);
    EXPECT_EQ(t.thermo_coef(3, 8, 2), -999.0);  // columns 8 and 9 keep the fill
    // Liquid host (3, 2): entry (3, 2) at 5, (1, 2) at 3; rows 4..8 keep the fill.
    EXPECT_EQ(std::tie(t.liq_coef_a(3, 2), t.liq_coef_b(1, 2), t.liq_coef_c(4, 1)),
              std::make_tuple(13005.0, 14003.0, -999.0));
    // Counts past the capacity or the coefficient rows stop the run with the bounds diagnostic.
    for (auto [n, m, k, text] : {std::tuple{5, 8, 9, "array IPROPTYP has value 5"},
                                 {1, 9, 9, "subscript 1 of array LIQ_COEF_A has value 9"},
                                 {1, 8, 10, "subscript 2 of array THERMO_COEF has value 10"}})
        test::expect_child_stop_mentioning([n, m, k] { loadprop1(n, m, k, 298.0, 298.0, 1.0); }, text);
}

TEST(PropertyLoaders, Loadprop2NamesAndProductData)
{
    loadprop0(3, 1, 2);  // capacity 3, two product rows
    const SpeciesTable& t = species_table();
    const ProductSpeciesSet& ps = product_species();
    std::string short_names = "N2                  O2                  H2O                 ";  // 3 x 20
    const std::int32_t settings[2] = {4, 5};
    double atoms[12], series[16];
    std::iota(atoms, atoms + 12, 1.0);
    std::iota(series, series + 16, 100.0);
    const double mw[2] = {44.0, 18.0}, mw_inv[2] = {1 / 44.0, 1 / 18.0}, sref[3] = {1.0, 2.0, 3.0};
    const double tcrit[2] = {300.0, 600.0}, pcrit[2] = {7e6, 2e7}, n_mass = 14.0, unread = 0.0;
    EXPECT_EQ(ps.prod_mw(2) + ps.prod_mw_inv(2), 0.0);  // until loaded
    LOADPROP2(settings, atoms, mw, mw_inv, series, sref, tcrit, pcrit, short_names.data(), 20, &n_mass, &unread,
              &unread);
    EXPECT_EQ(t.namfl(2), "O2" + std::string(115, ' '));
    EXPECT_EQ(std::tie(t.prod_sref(3), t.atomic_mass_n), std::make_tuple(3.0, 14.0));
    EXPECT_EQ(std::tie(ps.prod_settings(2), ps.prod_cp_mass(8, 2)), std::make_tuple(5, 115.0));
    EXPECT_EQ(std::tie(ps.prod_atoms(6, 2), ps.prod_mw(2), ps.prod_mw_inv(2)), std::make_tuple(12.0, 18.0, 1 / 18.0));
    EXPECT_EQ(std::tie(ps.prod_tcrit(2), ps.prod_pcrit(1)), std::make_tuple(600.0, 7e6));
    // Rows past PROPS_SCALAR_5 keep the built-in data (N2's cp, 6 terms); the built-in names.
    EXPECT_EQ(std::tie(ps.prod_settings(3), ps.prod_cp_mass(2, 3)), std::make_tuple(6, 1036.447));
    EXPECT_EQ(std::make_tuple(ps.prod_species_names(kN2), ps.prod_species_names(kSO2)),
              std::make_tuple("prod_n2 ", "prod_so2"));
    // With no product rows arguments 1 to 5, 7 and 8 are not read.
    loadprop0(2, 2, 0);
    LOADPROP2(nullptr, nullptr, nullptr, nullptr, nullptr, sref, nullptr, nullptr, short_names.data(), 20,
              &n_mass, &unread, &unread);
    EXPECT_EQ(t.namfl(1), "N2" + std::string(115, ' '));
}

TEST(PropertyLoaders, TransportTablesInTheSetsOwnLayout)
{
    loadprop0(2, 2, 1);  // NSPECIES 2, capacity 3, 4 table rows
    const SpeciesTable& t = species_table();
    std::vector<double> v(32);  // T, P, mu, k: 8 values each
    std::vector<std::int32_t> rows(16);
    std::iota(v.begin(), v.end(), 1.0);
    std::iota(rows.begin(), rows.end(), 1);
    const std::int32_t count[2] = {3, 0}, levels[2] = {1, 0}, unread8[8] = {}, unread9 = 0;
    LOADPROP9(count, v.data(), v.data() + 8, v.data() + 16, v.data() + 24, rows.data(), levels, unread8, &unread9);
    EXPECT_EQ(std::tie(t.tt_count(1), t.tt_nlevels(2)), std::make_tuple(3, 0));
    EXPECT_EQ(t.tt_t(4, 2), 8.0);  // (limit 4, NSPECIES 2): entry (4, 2) at position 8
    EXPECT_EQ(std::tie(t.tt_p(1, 1), t.tt_mu(2, 1), t.tt_k(1, 2)), std::make_tuple(9.0, 18.0, 29.0));
    EXPECT_EQ(t.tt_level_rows(2, 3, 2), 14);  // (2, 4, 2): entry (2, 3, 2) at 1 + 4 + 8 = 13
}

// The circuit set is re-created by every call; the user property parameters
// keep the size of the first call; the evolution switches follow the words;
// the warning counters and the temperature watch are handed out writable.
TEST(PropertyLoaders, SettingsOutsideTheSet)
{
    const PropertySettings& s = property_settings();
    const std::int32_t three = 3, two = 2, modes[3] = {1, 2, 3};
    LOADCIRCSET(&three, modes);
    EXPECT_EQ(s.circuit_set(3), 3);
    LOADCIRCSET(&two, modes + 1);
    EXPECT_EQ(std::make_tuple(s.circuit_set.size(), s.circuit_set(1)), std::make_tuple(2, 2));

    const std::int32_t four = 4, six = 6, gibbs = 1, zero = 0, first[4] = {1, 2, 3, 4}, later[6] = {5, 6, 7, 8, 9};
    COPY_USER_PROPERTY_PARAMETERS(&gibbs, &four, first);
    EXPECT_EQ(s.gibbs_switch, 1);
    COPY_USER_PROPERTY_PARAMETERS(&zero, &six, later);
    EXPECT_EQ(std::make_tuple(s.gibbs_switch, s.user_property_parameters.size(), s.user_property_parameters(4)),
              std::make_tuple(0, 4, 8));

    const EvolutionSwitches& e = property_settings().evolution_switches;
    EXPECT_EQ(user_evolution(1000), -1);
    struct {
        std::int32_t w113, w139, w176, w185, cubic, second;
        double threshold, divisor;
    } const cases[] = {
        {-1, -1, -1, -1, 0, 0, 0.1, 1e6},  // untouched block
        {4, -1, 5, 5, 0, 0, 0.01, 1e6},    {6, -1, -1, 5, -1, 0, 0.1, -1.0},
        {3, 5, 4, 5, 0, -1, 0.1, 100.0},   {5, 4, 5, 4, -1, 0, 0.1, 1e6},  // word 185 at 4: the defaults
    };
    std::vector<std::int32_t> words(1000, -1);
    for (const auto& c : cases) {
        words[112] = c.w113, words[138] = c.w139, words[175] = c.w176, words[184] = c.w185;
        COPY_USER_EVOLUTION(words.data());
        SET_EVOLUTION_SCALAR_FLAGS_USER();
        EXPECT_EQ(std::tie(e.cubic_select, e.switch2, e.pr_threshold, e.step_divisor),
                  std::tie(c.cubic, c.second, c.threshold, c.divisor)) << c.w113 << ' ' << c.w176;
    }
    // USER_ASSOCIATED hands out the warning counters and the temperature watch, writable.
    int32_t* p[6] = {};
    usersub_array_view v[3];
    const auto associate = [&] {
        USER_ASSOCIATED(&p[0], &p[1], &p[2], &p[3], &p[4], &p[5], &v[0], &v[1], &v[2]);
    };
    associate();
    for (const auto& view : v)
        EXPECT_EQ(std::make_tuple(view.base, view.extent, view.flags & 2), std::make_tuple(0, 0, 2));
    const PropWarnState& w = prop_warn_state();
    const std::int32_t* order[6] = {&w.gamwarn_calls,   &w.gamwarn_step,     &w.trange_warn_calls,
                                    &w.gamwarn_printed, &w.trange_warn_step, &w.trange_warn_printed};
    for (int i = 0; i < 6; ++i) EXPECT_EQ(p[i], order[i]) << i;  // the host may write through them

    loadprop0(3, 2, 2);
    associate();
    EXPECT_EQ(std::tie(v[0].extent, v[0].elem_len, v[1].stride, v[2].lower), std::make_tuple(3, 4, 8, 1));
    reinterpret_cast<std::int32_t*>(v[0].base)[2] = -1;  // the host resets the watch in place
    reinterpret_cast<double*>(v[1].base)[1] = 250.0;
    reinterpret_cast<double*>(v[2].base)[0] = 450.0;
    const SpeciesTable& t = species_table();
    EXPECT_EQ(std::tie(t.tseen_flag(3), t.tseen_tmin(2), t.tseen_tmax(1)), std::make_tuple(-1, 250.0, 450.0));
}

// LOADPROP4 and LOADCAVIT2 copy their arrays argument by argument, one entry
// per species of the set.
TEST(PropertyLoaders, PairAndVapourPressureArguments)
{
    loadprop0(3, 2, 2);
    const std::int32_t i1 = 7, i2 = 2, i3 = 9, partner[3] = {0, 3, 0}, list[3] = {3, 1, 2}, unread[3] = {};
    const double r1 = 0.5;
    LOADPROP4(&i1, &i2, &i3, &r1, partner, unread);
    double reals[8][3];
    for (int a = 0; a < 8; ++a)
        for (int i = 0; i < 3; ++i) reals[a][i] = 10.0 * (a + 1) + (i + 1);  // argument a + 2, species i + 1
    LOADCAVIT2(list, reals[0], reals[1], reals[2], reals[3], reals[4], reals[5], reals[6], reals[7]);

    const SpeciesTable& t = species_table();
    EXPECT_EQ(std::tie(t.loadprop4_int[0], t.loadprop4_int[1], t.loadprop4_int[2], t.loadprop4_real),
              std::make_tuple(7, 2, 9, 0.5));
    EXPECT_EQ(std::make_tuple(t.species_partner(1), t.species_partner(2), t.species_partner(3)),
              std::make_tuple(0, 3, 0));
    EXPECT_EQ(std::make_tuple(t.cavit_list(1), t.cavit_list(3)), std::make_tuple(3, 2));
    const Array1<double> cavit[8] = {t.cavit_pref, t.cavit_tref, t.cavit_c4, t.cavit_c5,
                                     t.cavit_c6,   t.cavit_c7,   t.cavit_c8, t.cavit_c9};
    for (int a = 0; a < 8; ++a)
        EXPECT_EQ(std::make_tuple(cavit[a](1), cavit[a](3)), std::make_tuple(10.0 * (a + 1) + 1, 10.0 * (a + 1) + 3))
            << cavit[a].name();
    EXPECT_EQ(t.cavit_pref(4), -999.0);  // capacity 4: the entry past the set keeps its fill
}

// Names of 16 characters; no product rows.
void load_names(const std::vector<std::string>& names)
{
    const auto n = static_cast<std::int32_t>(names.size());
    loadprop0(n, n, 0);
    std::string packed;
    for (const auto& s : names) packed += s + std::string(16 - s.size(), ' ');
    const double sref[8] = {}, x = 14.0;
    LOADPROP2(nullptr, nullptr, nullptr, nullptr, nullptr, sref, nullptr, nullptr, packed.data(), 16, &x, &x, &x);
}

TEST(SpeciesLookup, IndexIsExactNameIsPaddedOrCut)
{
    EXPECT_EQ(SPECIES_INDEX("", 0), 0);  // no set yet
    load_names({"N2", "O2", "fuel", "O2"});
    EXPECT_EQ(SPECIES_INDEX("O2      ", 8), 2);  // duplicates: the lower number
    EXPECT_EQ(SPECIES_INDEX("fuel", 4), 3);
    for (std::string other : {" O2", "o2", "O", ""}) EXPECT_EQ(SPECIES_INDEX(other.data(), std::ssize(other)), 0);

    load_names({"N2", "CH4"});
    char out[130];
    for (auto [len, i, want] : {std::tuple{20, 0, std::string("Index_out_of_bound  ")}, {10, 3, std::string("Index_out_")},
                                {20, 2, "CH4" + std::string(17, ' ')}, {130, 1, "N2" + std::string(128, ' ')}}) {
        SPECIES_NAME(out, len, &i);
        EXPECT_EQ(std::string(out, static_cast<std::size_t>(len)), want) << i;
    }
}

TEST(SpeciesLookup, FractionsAndTheUnitTable)
{
    test::load_species_fixture();
    std::vector<double> y(kNSpecies, 0.0), x(kNSpecies, -5.0);
    // Air by mass: x(N2) = (0.767 / 28.0134) / (0.767 / 28.0134 + 0.233 / 31.9988) = 0.789923405
    // (worked with Python from the formula). Entries of 1e-19 count as 0; the rest are cleared.
    y[0] = 0.767, y[1] = 0.233, y[5] = 1e-19;
    GETMOLFRAC(y.data(), x.data());
    EXPECT_NEAR(x[0], 0.7899234050, 1e-10);
    for (std::size_t i = 2; i < kNSpecies; ++i) EXPECT_EQ(x[i], 0.0) << i;
    // Round trip over a composition with every entry positive, converted back in place.
    for (std::size_t i = 0; i < kNSpecies; ++i) y[i] = static_cast<double>(i + 1) / 171.0;  // sums to 1
    GETMOLFRAC(y.data(), x.data());
    GETMASSFRAC(x.data(), x.data());
    for (std::size_t i = 0; i < kNSpecies; ++i) EXPECT_NEAR(x[i], y[i], 1e-15);
    // Mole fractions at or below 1e-18 give mass fraction 0; the rest are
    // renormalised: CH4 and O2 at 0.5 each give 16.04246 / (16.04246 + 31.9988).
    std::fill(x.begin(), x.end(), 0.0);
    x[2] = 0.5, x[0] = 1e-18, x[1] = 0.5;
    GETMASSFRAC(x.data(), y.data());
    EXPECT_EQ(y[0], 0.0);
    EXPECT_NEAR(y[2], 16.04246 / 48.04126, 1e-15);
    // Molar masses from the formula: CH4 12.01 + 4 x 1.009 = 16.046, N2 2 x 14.0067 = 28.0134;
    // equal moles give y(CH4) = 16.046 / 44.0594 = 0.364190161; the rest are gated off.
    std::vector<double> gate(kNSpecies, 0.0), b(kNSpecies, 0.3);
    gate[0] = gate[2] = 1.0;
    b[0] = b[2] = 0.5;
    mole_to_mass_by_formula(gate.data(), b.data());
    EXPECT_NEAR(b[2], 0.364190161, 1e-9);
    EXPECT_EQ(b[1], 0.0);

    const double xt[4] = {0.0, 1.0, 2.0, 4.0}, yt[4] = {0.0, 0.2, 0.6, 1.0};
    // Held at the ends; 1.5 lies halfway between 0.2 and 0.6.
    for (auto [x, want] : {std::pair{-1.0, 0.0}, {5.0, 1.0}, {1.5, 0.4}, {3.0, 0.8}})
        EXPECT_DOUBLE_EQ(table_lookup_unit(x, 4, xt, yt), want) << x;
    // Only a value that compares false with every point finds no bracketing pair.
    test::expect_child_stop([&] { (void)table_lookup_unit(std::nan(""), 4, xt, yt); }, " Something bad has happened\n");
}

}  // namespace
}  // namespace usersub::properties
