#include "properties/product_species.h"
#include "properties/property_loaders.h"
#include "properties/species_table.h"
#include "support/child.h"
#include "usersub.h"

#include <gtest/gtest.h>

#include <numeric>
#include <string>
#include <vector>

namespace usersub::properties {
namespace {

void loadprop0(std::int32_t nspecies, std::int32_t s3, std::int32_t s5)
{
    const std::int32_t s2 = s3 + 1, zero = 0, limit = 4;
    LOADPROP0(&nspecies, &s2, &s3, &zero, &s5, &zero, &zero, &limit, &zero, &zero);
}

// LOADPROP1's host arrays for n <= 5 species, m liquid and k thermodynamic
// coefficients; element e (from 0) of argument a holds 1000 a + e.
struct Prop1Host {
    std::int32_t n, m, k;
    std::vector<std::int32_t> ints[34];
    std::vector<double> reals[34];
    Prop1Host(std::int32_t n_, std::int32_t m_, std::int32_t k_) : n(n_), m(m_), k(k_)
    {
        for (int a = 1; a <= 33; ++a) {
            ints[a].resize(27 * 5);  // the largest per-species block, (3, 9)
            reals[a].resize(27 * 5);
            std::iota(ints[a].begin(), ints[a].end(), 1000 * a);
            std::iota(reals[a].begin(), reals[a].end(), 1000.0 * a);
        }
    }
    void load(double tref, double tref_liq, double pref_liq)
    {
        auto I = [&](int a) { return ints[a].data(); };
        auto R = [&](int a) { return reals[a].data(); };
        LOADPROP1(I(1), I(2), I(3), I(4), I(5), I(6), I(7), &tref, R(9), R(10), R(11), R(12), R(13), R(14), R(15),
                  R(16), R(17), R(18), R(19), R(20), R(21), R(22), R(23), R(24), R(25), R(26), &tref_liq, &pref_liq,
                  &n, &m, &k, I(32), I(33));
    }
};

TEST(PropertyLoaders, Loadprop1ArgumentPositionsRowsColumnsAndScalars)
{
    loadprop0(4, 2, 2);  // capacity 4
    const SpeciesTable& t = species_table();

    Prop1Host(0, 8, 9).load(300.0, 310.0, 2.5);  // n = 0: the scalars only
    EXPECT_EQ(t.tref_thermo, 300.0);
    EXPECT_EQ(t.tref_liq, 310.0);
    EXPECT_EQ(t.pref_liq, 2.5);
    EXPECT_EQ(t.iproptyp(1), -999);

    Prop1Host(2, 3, 7).load(298.15, 298.15, 1.0);  // two species, 3 liquid coefficients, 7 columns
    const struct {
        const Array1<std::int32_t>* a;
        int arg;
        std::int32_t fill;
    } ints[] = {{&t.iproptyp, 1, -999}, {&t.ifuel, 2, -999},      {&t.thermo_nterms, 3, -999},
                {&t.liq_form, 5, -999}, {&t.realgas_flag, 32, 0}, {&t.liq_flag, 33, 1}};
    for (const auto& c : ints) {
        EXPECT_EQ((*c.a)(2), 1000 * c.arg + 1) << c.a->name();
        EXPECT_EQ((*c.a)(3), c.fill) << c.a->name();  // past n: the fill
    }
    const std::pair<const Array1<double>*, int> reals[] = {
        {&t.pmwt, 10},         {&t.pmwt_inv, 11},      {&t.rho_const, 16},    {&t.tcrit, 18},
        {&t.pcrit, 19},        {&t.species_tmin, 20},  {&t.thermo_tbreak, 21}, {&t.species_tmax, 22},
        {&t.species_pmin, 23}, {&t.species_pmax, 24}, {&t.liq_par_a, 25},     {&t.liq_par_b, 26}};
    for (auto [a, arg] : reals) {
        EXPECT_EQ((*a)(2), 1000.0 * arg + 1) << a->name();
        EXPECT_EQ((*a)(3), -999.0) << a->name();
    }
    EXPECT_EQ(t.species_formula(6, 2), 9011.0);  // (6, n): entry (6, 2) at 11
    // THERMO_COEF host (3, 7, 2): entry (r, j, i) at (r-1) + 3 (j-1) + 21 (i-1).
    EXPECT_EQ(t.thermo_coef(2, 7, 2), 12000.0 + 1 + 18 + 21);
    EXPECT_EQ(t.thermo_coef(1, 1, 2), 12021.0);
    EXPECT_EQ(t.thermo_coef(3, 8, 2), -999.0);  // columns 8 and 9 keep the fill
    EXPECT_EQ(t.thermo_coef(1, 9, 1), -999.0);
    EXPECT_EQ(t.liq_coef_a(3, 2), 13005.0);  // host (3, 2): entry (3, 2) at 5
    EXPECT_EQ(t.liq_coef_b(1, 2), 14003.0);
    EXPECT_EQ(t.liq_coef_c(4, 1), -999.0);  // rows 4..8 keep the fill

    // Counts past the capacity or the coefficient rows stop the run with the bounds diagnostic.
    const auto r = test::run_in_child([] { Prop1Host(5, 8, 9).load(298.0, 298.0, 1.0); });
    EXPECT_EQ(r.exit_status, 1);
    EXPECT_NE(r.output.find("array IPROPTYP has value 5"), std::string::npos) << r.output;
    const auto wide = test::run_in_child([] { Prop1Host(1, 9, 9).load(298.0, 298.0, 1.0); });
    EXPECT_NE(wide.output.find("subscript 1 of array LIQ_COEF_A has value 9"), std::string::npos) << wide.output;
    const auto cols = test::run_in_child([] { Prop1Host(1, 8, 10).load(298.0, 298.0, 1.0); });
    EXPECT_NE(cols.output.find("subscript 2 of array THERMO_COEF has value 10"), std::string::npos) << cols.output;
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
    const double mw[2] = {44.0, 18.0}, mw_inv[2] = {1 / 44.0, 1 / 18.0};
    const double sref[3] = {1.0, 2.0, 3.0}, tcrit[2] = {300.0, 600.0}, pcrit[2] = {7e6, 2e7};
    const double n_mass = 14.0, unread = 0.0;
    LOADPROP2(settings, atoms, mw, mw_inv, series, sref, tcrit, pcrit, short_names.data(), 20, &n_mass, &unread,
              &unread);
    EXPECT_EQ(t.namfl(2), "O2" + std::string(115, ' '));
    EXPECT_EQ(t.prod_sref(3), 3.0);
    EXPECT_EQ(t.atomic_mass_n, 14.0);
    EXPECT_EQ(ps.prod_settings(2), 5);
    EXPECT_EQ(ps.prod_settings(3), 6);  // rows past PROPS_SCALAR_5 keep the built-in data
    EXPECT_EQ(ps.prod_atoms(6, 2), 12.0);
    EXPECT_EQ(ps.prod_mw_inv(2), 1 / 18.0);
    EXPECT_EQ(ps.prod_cp_mass(8, 2), 115.0);
    EXPECT_EQ(ps.prod_cp_mass(2, 3), 1036.447);  // N2's built-in cp
    EXPECT_EQ(ps.prod_tcrit(2), 600.0);  // argument 7 is copied
    EXPECT_EQ(ps.prod_pcrit(1), 7e6);

    // Names longer than 117 characters keep their first 117.
    std::string long_names;
    for (char c : {'a', 'b', 'c'}) long_names += std::string(117, c) + "XYZ";
    LOADPROP2(settings, atoms, mw, mw_inv, series, sref, tcrit, pcrit, long_names.data(), 120, &n_mass, &unread,
              &unread);
    EXPECT_EQ(t.namfl(3), std::string(117, 'c'));

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
    std::vector<double> T(8), P(8, 1e5), mu(8), k(8);
    std::iota(T.begin(), T.end(), 300.0);
    std::iota(mu.begin(), mu.end(), 1.0);
    std::iota(k.begin(), k.end(), 10.0);
    std::vector<std::int32_t> rows(16);
    std::iota(rows.begin(), rows.end(), 1);
    const std::int32_t count[2] = {3, 0}, levels[2] = {1, 0}, unread8[8] = {}, unread9 = 0;
    LOADPROP9(count, T.data(), P.data(), mu.data(), k.data(), rows.data(), levels, unread8, &unread9);
    EXPECT_EQ(t.tt_count(1), 3);
    EXPECT_EQ(t.tt_t(4, 2), 307.0);  // (limit 4, NSPECIES 2): entry (4, 2) at position 8
    EXPECT_EQ(t.tt_k(1, 2), 14.0);
    EXPECT_EQ(t.tt_level_rows(2, 3, 2), 14);  // (2, 4, 2): entry (2, 3, 2) at 1 + 4 + 8 = 13
    EXPECT_EQ(t.tt_nlevels(2), 0);
}

TEST(PropertyLoaders, SettingsOutsideTheSet)
{
    const PropertySettings& s = property_settings();
    const std::int32_t three = 3, two = 2, modes[3] = {1, 2, 3};
    LOADCIRCSET(&three, modes);
    EXPECT_EQ(s.circuit_set(3), 3);
    LOADCIRCSET(&two, modes + 1);  // re-created
    EXPECT_EQ(s.circuit_set.size(), 2);
    EXPECT_EQ(s.circuit_set(1), 2);

    const std::int32_t four = 4, six = 6, gibbs = 1, zero = 0, first[4] = {1, 2, 3, 4};
    const std::int32_t later[6] = {5, 6, 7, 8, 9, 10};
    COPY_USER_PROPERTY_PARAMETERS(&gibbs, &four, first);
    EXPECT_EQ(s.gibbs_switch, 1);
    COPY_USER_PROPERTY_PARAMETERS(&zero, &six, later);  // the size of the first call stays
    EXPECT_EQ(s.gibbs_switch, 0);
    EXPECT_EQ(s.user_property_parameters.size(), 4);
    EXPECT_EQ(s.user_property_parameters(4), 8);

    const std::int32_t rg = 3;
    LOADREALGAS(&rg);
    EXPECT_EQ(species_table().realgas_switch, 3);
}

TEST(PropertyLoaders, EvolutionSwitchesFromTheWordCombinations)
{
    const EvolutionSwitches& e = property_settings().evolution_switches;
    EXPECT_EQ(e.pr_threshold, 0.0);  // 0 until first derived
    EXPECT_EQ(user_evolution(1000), -1);

    struct Case {
        std::int32_t w113, w139, w176, w185;
        std::int32_t cubic, second;
        double threshold, divisor;
    };
    const Case cases[] = {
        {-1, -1, -1, -1, 0, 0, 0.1, 1e6},  // untouched block
        {4, -1, 5, 5, 0, 0, 0.01, 1e6},
        {6, -1, -1, 5, -1, 0, 0.1, -1.0},
        {3, 5, 4, 5, 0, -1, 0.1, 100.0},
        {5, 4, 5, 4, -1, 0, 0.1, 1e6},  // word 185 at 4: the defaults
    };
    std::vector<std::int32_t> words(1000, -1);
    for (const Case& c : cases) {
        words[112] = c.w113, words[138] = c.w139, words[175] = c.w176, words[184] = c.w185;
        COPY_USER_EVOLUTION(words.data());
        SET_EVOLUTION_SCALAR_FLAGS_USER();
        EXPECT_EQ(e.cubic_select, c.cubic) << c.w113;
        EXPECT_EQ(e.switch2, c.second);
        EXPECT_EQ(e.pr_threshold, c.threshold) << c.w176;
        EXPECT_EQ(e.step_divisor, c.divisor) << c.w113;
    }
    // A new block is not followed until the switches are derived again.
    words[112] = 0;
    COPY_USER_EVOLUTION(words.data());
    EXPECT_EQ(user_evolution(113), 0);
    EXPECT_EQ(e.cubic_select, -1);
}

TEST(PropertyLoaders, UserAssociatedHandsOutWritableCountersAndViews)
{
    int32_t* p[6] = {};
    usersub_array_view v[3];
    USER_ASSOCIATED(&p[0], &p[1], &p[2], &p[3], &p[4], &p[5], &v[0], &v[1], &v[2]);
    for (const auto& view : v) {
        EXPECT_EQ(view.base, 0);
        EXPECT_EQ(view.extent, 0);
        EXPECT_EQ(view.flags & 2, 2);
    }
    const PropWarnState& w = prop_warn_state();
    const std::int32_t* order[6] = {&w.gamwarn_calls,   &w.gamwarn_step,     &w.trange_warn_calls,
                                    &w.gamwarn_printed, &w.trange_warn_step, &w.trange_warn_printed};
    for (int i = 0; i < 6; ++i) EXPECT_EQ(p[i], order[i]) << i;  // the host may write through them

    loadprop0(3, 2, 2);
    USER_ASSOCIATED(&p[0], &p[1], &p[2], &p[3], &p[4], &p[5], &v[0], &v[1], &v[2]);
    EXPECT_EQ(v[0].extent, 3);
    EXPECT_EQ(v[0].elem_len, 4);
    EXPECT_EQ(v[1].stride, 8);
    EXPECT_EQ(v[2].lower, 1);
    reinterpret_cast<std::int32_t*>(v[0].base)[2] = -1;  // the host resets the watch in place
    reinterpret_cast<double*>(v[1].base)[1] = 250.0;
    reinterpret_cast<double*>(v[2].base)[0] = 450.0;
    EXPECT_EQ(species_table().tseen_flag(3), -1);
    EXPECT_EQ(species_table().tseen_tmin(2), 250.0);
    EXPECT_EQ(species_table().tseen_tmax(1), 450.0);
}

}  // namespace
}  // namespace usersub::properties
