#include "properties/product_species.h"
#include "properties/species_lookup.h"
#include "properties/species_table.h"
#include "support/species_fixture.h"

#include <gtest/gtest.h>

namespace usersub::properties {
namespace {

using namespace usersub::test;

TEST(SpeciesFixture, LoadsTheSetInTheSpeciesLayout)
{
    load_species_fixture();
    const SpeciesTable& t = species_table();
    EXPECT_EQ(t.nspecies, 18);
    EXPECT_EQ(t.capacity, 18);
    EXPECT_EQ(species_index("CH4"), fx::kCH4);
    EXPECT_EQ(species_index("prod_so2"), fx::product(kSO2));
    EXPECT_EQ(t.iproptyp(fx::kC7H16Liquid), kPolynomialLiquid);
    EXPECT_EQ(t.iproptyp(fx::kH2OLiquid), kConstantDensityLiquid);
    EXPECT_DOUBLE_EQ(t.pmwt(fx::product(kCO2)), 44.0095);  // CO2, NASA Glenn molecular weight
    EXPECT_EQ(product_species().prod_mw(kH2O), 18.01528);
    EXPECT_EQ(t.tt_count(fx::kN2), 3);

    // Liquid water in NASA form: h(298.15 K) = R (a3 T + b1) = -285.83 kJ/mol / 18.01528 kg/kmol.
    const double R = 8314.3 / 18.01528;
    const double h = R * (t.thermo_coef(1, 3, fx::kH2OLiquid) * 298.15 + t.thermo_coef(1, 8, fx::kH2OLiquid));
    EXPECT_NEAR(h, -1.5865976e7, 10.0);  // 285830 / 18.01528 = 15865.976 kJ/kg
}

TEST(SpeciesFixture, PowerSeriesFitFollowsTheNasaEnthalpy)
{
    load_species_fixture({.products_switch = 1});
    const SpeciesTable& t = species_table();
    const auto& s = nasa9("CH4");
    for (double T : {400.0, 1000.0, 2500.0}) {
        const double dT = T - 298.15;
        double h = 0.0, p = 1.0;
        for (int j = 1; j <= 6; ++j, p *= dT) h += t.thermo_coef(1, j, fx::kCH4) * p;
        const double h_nasa = 8314.3 / s.mw * T * nasa9_h_RT(s, T);
        EXPECT_NEAR(h, h_nasa, 1e4) << T;  // within 10 kJ/kg over a span of about 10 MJ/kg
    }
}

}  // namespace
}  // namespace usersub::properties
