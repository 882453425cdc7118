#include "properties/species_table.h"
#include "support/species_fixture.h"

#include <gtest/gtest.h>

namespace usersub::properties {
namespace {

using namespace usersub::test;

TEST(SpeciesFixture, EnthalpiesOfTheLiquidsAndOfTheFittedSeries)
{
    load_species_fixture();
    const SpeciesTable& t = species_table();
    // Liquid water in NASA form: h(298.15 K) = R (a3 T + b1) = -285830 / 18.01528 kJ/kg = -15865.976 kJ/kg.
    const double R = 8314.3 / 18.01528;
    EXPECT_NEAR(R * (t.thermo_coef(1, 3, fx::kH2OLiquid) * 298.15 + t.thermo_coef(1, 8, fx::kH2OLiquid)),
                -1.5865976e7, 10.0);

    load_species_fixture({.products_switch = 1});
    const auto& s = nasa9("CH4");
    for (double T : {400.0, 1000.0, 2500.0}) {
        const double dT = T - 298.15;
        double h = 0.0, p = 1.0;
        for (int j = 1; j <= 6; ++j, p *= dT) h += t.thermo_coef(1, j, fx::kCH4) * p;
        EXPECT_NEAR(h, 8314.3 / s.mw * T * nasa9_h_RT(s, T), 1e4) << T;  // 10 kJ/kg of a 10 MJ/kg span
    }
}

}  // namespace
}  // namespace usersub::properties
