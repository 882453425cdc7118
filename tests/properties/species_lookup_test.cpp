#include "properties/species_lookup.h"
#include "support/child.h"
#include "support/species_fixture.h"
#include "usersub.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

namespace usersub::properties {
namespace {

using test::fx::kNSpecies;

void load_names(const std::vector<std::string>& names)
{
    const auto n = static_cast<std::int32_t>(names.size());
    const std::int32_t zero = 0, limit = 1;
    LOADPROP0(&n, &n, &n, &zero, &zero, &zero, &zero, &limit, &zero, &zero);
    std::string packed;
    for (const auto& s : names) packed += s + std::string(16 - s.size(), ' ');
    const double sref[8] = {}, x = 14.0;
    LOADPROP2(nullptr, nullptr, nullptr, nullptr, nullptr, sref, nullptr, nullptr, packed.data(), 16, &x, &x, &x);
}

TEST(SpeciesLookup, IndexIsExactAndTheFirstMatchWins)
{
    EXPECT_EQ(SPECIES_INDEX("", 0), 0);  // no set yet

    const std::int32_t n = 3, zero = 0, limit = 1;
    LOADPROP0(&n, &n, &n, &zero, &zero, &zero, &zero, &limit, &zero, &zero);
    EXPECT_EQ(SPECIES_INDEX("    ", 4), 1);  // before names are loaded every name is blank
    EXPECT_EQ(SPECIES_INDEX("N2", 2), 0);

    load_names({"N2", "O2", "fuel", "O2"});
    EXPECT_EQ(SPECIES_INDEX("O2      ", 8), 2);  // duplicates: the lower number
    EXPECT_EQ(SPECIES_INDEX(" O2", 3), 0);
    EXPECT_EQ(SPECIES_INDEX("o2", 2), 0);
    EXPECT_EQ(SPECIES_INDEX("O", 1), 0);
    EXPECT_EQ(SPECIES_INDEX("fuel", 4), 3);
    EXPECT_EQ(SPECIES_INDEX("", 0), 0);
}

TEST(SpeciesLookup, NameOrTheOutOfBoundMark)
{
    load_names({"N2", "CH4"});
    char out[20];
    for (std::int32_t bad : {0, 3, -1}) {
        SPECIES_NAME(out, 20, &bad);
        EXPECT_EQ(std::string(out, 20), "Index_out_of_bound  ");
    }
    const std::int32_t one = 1, two = 2, three = 3;
    SPECIES_NAME(out, 10, &three);
    EXPECT_EQ(std::string(out, 10), "Index_out_");
    SPECIES_NAME(out, 20, &two);
    EXPECT_EQ(std::string(out, 20), "CH4" + std::string(17, ' '));
    char wide[130];
    SPECIES_NAME(wide, 130, &one);
    EXPECT_EQ(std::string(wide, 130), "N2" + std::string(128, ' '));
}

TEST(SpeciesLookup, MassAndMoleFractions)
{
    test::load_species_fixture();
    std::vector<double> y(kNSpecies, 0.0), x(kNSpecies, -5.0), back(kNSpecies, 0.0);

    // A pure species converts exactly; the rest are cleared.
    y[test::fx::kCH4 - 1] = 1.0;
    GETMOLFRAC(y.data(), x.data());
    for (int i = 0; i < kNSpecies; ++i) EXPECT_EQ(x[static_cast<std::size_t>(i)], i == 2 ? 1.0 : 0.0) << i;

    // Air by mass: x(N2) = (0.767 / 28.0134) / (0.767 / 28.0134 + 0.233 / 31.9988) = 0.789923405
    // (worked with Python from the formula). Entries of 1e-19 count as 0.
    std::fill(y.begin(), y.end(), 0.0);
    y[0] = 0.767, y[1] = 0.233, y[5] = 1e-19;
    GETMOLFRAC(y.data(), x.data());
    EXPECT_NEAR(x[0], 0.7899234050, 1e-10);
    EXPECT_NEAR(x[1], 0.2100765950, 1e-10);
    EXPECT_EQ(x[5], 0.0);

    // Round trip over a composition with every entry positive, converted back in place.
    for (int i = 0; i < kNSpecies; ++i) y[static_cast<std::size_t>(i)] = (i + 1) / 171.0;  // sums to 1
    GETMOLFRAC(y.data(), x.data());
    GETMASSFRAC(x.data(), x.data());
    for (int i = 0; i < kNSpecies; ++i) EXPECT_NEAR(x[static_cast<std::size_t>(i)], y[static_cast<std::size_t>(i)], 1e-15);

    // Mole fractions at or below 1e-18 give mass fraction 0; the rest are
    // renormalised: CH4 and O2 at 0.5 each give 16.04246 / (16.04246 + 31.9988).
    std::fill(x.begin(), x.end(), 0.0);
    x[2] = 0.5, x[0] = 1e-18, x[1] = 0.5;
    GETMASSFRAC(x.data(), back.data());
    EXPECT_EQ(back[0], 0.0);
    EXPECT_NEAR(back[2], 16.04246 / 48.04126, 1e-15);
}

TEST(SpeciesLookup, RoutinesNoEntryPointCalls)
{
    test::load_species_fixture();
    EXPECT_EQ(get_props_scalar3(), 5);

    // Molar masses from the formula: CH4 12.01 + 4 x 1.009 = 16.046, N2 2 x 14.0067 = 28.0134;
    // equal moles give y(CH4) = 16.046 / 44.0594 = 0.364190161.
    std::vector<double> gate(kNSpecies, 0.0), b(kNSpecies, 0.3);
    gate[0] = 1.0, gate[2] = 1.0;
    b[0] = 0.5, b[2] = 0.5;
    mole_to_mass_by_formula(gate.data(), b.data());
    EXPECT_NEAR(b[2], 0.364190161, 1e-9);
    EXPECT_NEAR(b[0], 1.0 - 0.364190161, 1e-9);
    EXPECT_EQ(b[1], 0.0);

    const double xt[4] = {0.0, 1.0, 2.0, 4.0}, yt[4] = {0.0, 0.2, 0.6, 1.0};
    EXPECT_EQ(table_lookup_unit(-1.0, 4, xt, yt), 0.0);
    EXPECT_EQ(table_lookup_unit(5.0, 4, xt, yt), 1.0);
    EXPECT_DOUBLE_EQ(table_lookup_unit(1.5, 4, xt, yt), 0.4);  // halfway between 0.2 and 0.6
    EXPECT_DOUBLE_EQ(table_lookup_unit(3.0, 4, xt, yt), 0.8);
    // Only a value that compares false with every point finds no bracketing pair.
    const auto r = test::run_in_child([&] { (void)table_lookup_unit(std::nan(""), 4, xt, yt); });
    EXPECT_EQ(r.exit_status, 1);
    EXPECT_EQ(r.output, " Something bad has happened\n");
}

}  // namespace
}  // namespace usersub::properties
