#include "exchange/engine_components.h"
#include "properties/species_table.h"
#include "support/child.h"
#include "support/species_fixture.h"
#include "usersub.h"

#include <gtest/gtest.h>

#include <string>

namespace usersub::properties {
namespace {

void loadprop0(std::int32_t nspecies, std::int32_t s3, std::int32_t s5, std::int32_t limit = 20)
{
    const std::int32_t s2 = s3 + 1, zero = 0;
    LOADPROP0(&nspecies, &s2, &s3, &zero, &s5, &zero, &zero, &limit, &zero, &zero);
}

// Every real reads -999.0, every integer -999 (but LIQ_FLAG 1 and REALGAS_FLAG,
// PAIR_BLOCK_FLAG, TSEEN_FLAG 0), every name is 117 blanks.
void expect_fill_values(const SpeciesTable& t)
{
    for (std::int64_t i = 1; i <= t.capacity; ++i) {
        for (const auto* a : {&t.fm1, &t.fm2, &t.pmwt, &t.pmwt_inv, &t.rho_const, &t.tcrit, &t.pcrit,
                              &t.species_tmin, &t.thermo_tbreak, &t.species_tmax, &t.species_pmin,
                              &t.species_pmax, &t.liq_par_a, &t.liq_par_b, &t.cavit_pref, &t.cavit_tref,
                              &t.cavit_c4, &t.cavit_c9, &t.vapour_high_pref, &t.vapour_high_slope,
                              &t.prod_sref, &t.molefrac_work})
            ASSERT_EQ((*a)(i), -999.0) << a->name() << " " << i;
        for (const auto* a : {&t.iproptyp, &t.liq_form, &t.ifuel, &t.thermo_nterms, &t.species_partner,
                              &t.cavit_list})
            ASSERT_EQ((*a)(i), -999) << a->name() << " " << i;
        ASSERT_EQ(t.liq_flag(i), 1);
        ASSERT_EQ(t.realgas_flag(i), 0);
        ASSERT_EQ(t.namfl(i), std::string(117, ' '));
    }
    for (const auto* a : {&t.species_formula, &t.liq_coef_a, &t.liq_coef_b, &t.liq_coef_c, &t.tt_t, &t.tt_p,
                          &t.tt_mu, &t.tt_k})
        for (std::int64_t e = 0; e < a->size(); ++e) ASSERT_EQ(a->data()[e], -999.0) << a->name();
    for (std::int64_t e = 0; e < t.thermo_coef.size(); ++e) ASSERT_EQ(t.thermo_coef.data()[e], -999.0);
    for (std::int64_t e = 0; e < t.tt_level_rows.size(); ++e) ASSERT_EQ(t.tt_level_rows.data()[e], -999);
    for (std::int32_t i = 1; i <= t.nspecies; ++i) {
        ASSERT_EQ(t.pair_block_flag(i) + t.tseen_flag(i), 0);
        ASSERT_EQ(t.tt_count(i) + t.tt_nlevels(i), -1998);
        ASSERT_EQ(t.tseen_tmin(i) + t.tseen_tmax(i), -1998.0);
    }
}

TEST(SpeciesTable, ExtentsFromTheCountsAndTheLayout)
{
    const SpeciesTable& t = species_table();
    EXPECT_EQ(t.props_scalar_5, 11);  // before the first load
    EXPECT_EQ(t.transport_table_limit, 20);
    EXPECT_EQ(t.fm1.size(), 0);

    const std::int32_t two = 2, three = 3;
    ALLOCATEINJECTORINFO(&two);
    ALLOCATEVALVEINFO(&three);
    loadprop0(7, 5, 11);
    EXPECT_EQ(t.capacity, 16);  // 5 + 11
    EXPECT_EQ(t.fm1.size(), 16);
    EXPECT_EQ(t.namfl.size(), 16);
    EXPECT_EQ(t.thermo_coef.size(), 3 * 9 * 16);
    EXPECT_EQ(t.tt_t.extent(0), 20);
    EXPECT_EQ(t.tt_t.extent(1), 7);
    EXPECT_EQ(t.tt_level_rows.size(), 2 * 20 * 7);
    EXPECT_EQ(t.tseen_flag.size(), 7);
    expect_fill_values(t);
    // Column-major with the species index last.
    EXPECT_EQ(&t.thermo_coef(1, 1, 2) - &t.thermo_coef(1, 1, 1), 27);
    EXPECT_EQ(&t.thermo_coef(2, 1, 1) - &t.thermo_coef(1, 1, 1), 1);
    // The injector (species, injector) and valve (valve, species) compositions follow NSPECIES.
    EXPECT_EQ(exchange::injector_composition().extents()[0], 7);
    EXPECT_EQ(exchange::injector_composition().extents()[1], 2);
    EXPECT_EQ(exchange::valve_composition1().extents()[0], 3);
    EXPECT_EQ(exchange::valve_composition2().extents()[1], 7);

    // Negative counts give empty arrays; an index into them meets the bounds diagnostic.
    loadprop0(4, 3, -5, -2);
    EXPECT_EQ(t.capacity, 0);
    EXPECT_EQ(t.thermo_coef.size(), 0);
    EXPECT_EQ(t.namfl.size(), 0);
    EXPECT_EQ(t.tt_t.size(), 0);
    EXPECT_EQ(t.tseen_flag.size(), 4);
    loadprop0(-1, 2, 2);
    EXPECT_EQ(t.capacity, 4);
    EXPECT_EQ(t.tseen_flag.size(), 0);
    EXPECT_EQ(exchange::engine_info_counts().n_inj_species, -1);
    const auto r = test::run_in_child([] { species_table().fm1(5) = 1.0; });
    EXPECT_EQ(r.exit_status, 1);
    EXPECT_NE(r.output.find("array FM1 has value 5"), std::string::npos) << r.output;
}

TEST(SpeciesTable, SecondLoadLeavesNothingOfTheFirst)
{
    const std::int32_t one = 1;
    ALLOCATEINJECTORINFO(&one);
    test::load_species_fixture();
    const SpeciesTable& t = species_table();
    ASSERT_EQ(t.pmwt(1), 28.0134);
    t.fm1(3) = 0.5;
    t.tseen_flag(2) = -1;
    const double zero = 0.0, comp[18] = {1.0};
    LOADINJECTORINFO(&one, "inj", 3, &one, &one, &zero, &zero, &zero, &zero, &zero, &zero, &zero, comp, &zero);
    ASSERT_EQ(exchange::injector_composition()(1, 1), 1.0);

    loadprop0(9, 4, 8, 6);  // other counts
    EXPECT_EQ(t.nspecies, 9);
    EXPECT_EQ(t.capacity, 12);
    EXPECT_EQ(t.tt_t.extent(0), 6);
    expect_fill_values(t);
    EXPECT_EQ(exchange::injector_composition()(1, 1), 0.0);  // re-created with zeros
    EXPECT_EQ(exchange::engine_info_counts().n_inj_species, 9);

    // The loaders' scalars and the settings outside the set stay.
    EXPECT_EQ(t.tref_thermo, 298.15);
    EXPECT_EQ(t.loadprop4_int[1], test::fx::kH2OLiquid);
    EXPECT_EQ(property_settings().circuit_set.size(), 1);
    EXPECT_EQ(property_settings().evolution_switches.step_divisor, 1e6);
}

}  // namespace
}  // namespace usersub::properties
