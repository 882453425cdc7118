#include "properties/species/liquid_species.h"
#include "properties/species/species_table_rw.h"
#include "support/child.h"
#include "support/species_fixture.h"

#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <string>
#include <utility>

namespace usersub::properties {
namespace {

using namespace usersub::test;
using Outputs = std::array<double, 4>;  // rho, drho/dT, d2rho/dT2, drho/dP

TEST(LiquidDensityForms, EachFormAloneWithoutTheRangeWatch)
{
    load_species_fixture();
    const int heptane = fx::kC7H16Liquid;  // form 1, range 190 .. 500 K
    Outputs live{}, b{}, gas{};
    std::int32_t flag = -1;
    // Form 1 at 650 K is form 1 at Tmax, with no record of the temperature.
    species_props_b(heptane, 650.0, 11e5, b[0], b[1], b[2], b[3]);
    liquid_density(heptane, 500.0, 11e5, live[0], live[1], live[2], live[3]);
    EXPECT_EQ(b, live);
    EXPECT_EQ(species_table().tseen_flag(heptane), 0);
    species_props_b(fx::kN2, 300.0, 1e5, gas[0], gas[1], gas[2], gas[3]);
    EXPECT_EQ(gas, (Outputs{0.0, 0.0, 0.0, 0.0}));
    species_props_c(fx::kN2, 300.0, 1e5, gas[0], gas[1], gas[2], gas[3], flag);
    EXPECT_EQ(gas, (Outputs{1e-6, 1.0, 1.0, 1.0}));
    EXPECT_EQ(flag, 0);

    // Form 2, d = 800, 1, d3, 1, 0, 1, 0, 0 at 300 K, 2 bar: base x = T + pb + d3.
    // d3 = -298: x = 4, rho = 800 + x^2/2, drho/dT = x, d2rho/dT2 = 1, drho/dP = x 1e-5.
    SpeciesTable& s = species_table_rw();
    s.liq_form(heptane) = 2;
    const double d[8] = {800.0, 1.0, -298.0, 1.0, 0.0, 1.0, 0.0, 0.0};
    for (int k = 1; k <= 8; ++k) s.liq_coef_a(k, heptane) = d[k - 1];
    species_props_c(heptane, 300.0, 2e5, b[0], b[1], b[2], b[3], flag);
    EXPECT_EQ(flag, 0);
    for (std::size_t k = 0; k < 4; ++k) EXPECT_NEAR(b[k], (Outputs{808.0, 4.0, 1.0, 4e-5})[k], 1e-12);
    s.liq_coef_a(3, heptane) = -310.0;  // x = -8: flagged where liquid_density stops
    species_props_c(heptane, 300.0, 2e5, b[0], b[1], b[2], b[3], flag);
    EXPECT_EQ(b, (Outputs{1e-6, 1.0, 1.0, 1.0}));
    EXPECT_EQ(flag, 1);
}

TEST(LiquidDensityForms, SoundSpeedOfLiquidHeptane)
{
    load_species_fixture();
    // 298.15 K, 1 bar: rho 679.5, drho/dT -0.85, drho/dP 0.098e-5, cp 2242.5.
    const double x = 298.15 * 0.85 * 0.85 / (679.5 * 679.5 * 2242.5 * 0.098e-5);
    double c = 0.0;
    liquid_props_wrap(fx::kC7H16Liquid, 298.15, 1e5, c);
    EXPECT_NEAR(c, std::sqrt(1.0 / (1.0 - x) / 0.098e-5), 1e-9);
    EXPECT_NEAR(c, 1131.0, 20.0);  // measured speed of sound of n-heptane at 25 C
    // drho/dT -1.5: x = 0.66, 1 / (1 - x) held at 1.6; -3.0: x = 2.64, 1 / (1 - x) < 0 held at 1.0.
    for (const auto& [drho_dt, gamma] : {std::pair{-1.5, 1.6}, std::pair{-3.0, 1.0}}) {
        species_table_rw().liq_coef_a(2, fx::kC7H16Liquid) = drho_dt;
        liquid_props_wrap(fx::kC7H16Liquid, 298.15, 1e5, c);
        EXPECT_NEAR(c, std::sqrt(gamma / 0.098e-5), 1e-9) << drho_dt;
    }

    const auto r = run_in_child([] {  // constant density: no derivatives, no sound speed
        double cw = 0.0;
        liquid_props_wrap(fx::kH2OLiquid, 300.0, 1e5, cw);
    });
    EXPECT_EQ(r.exit_status, 1);
    EXPECT_EQ(r.output, "F*** Cannot calculate sound speed for species: H2O_L" + std::string(112, ' ') +
                            "\n     T     =  300.00\n     P     =    1.00\n");
}

}  // namespace
}  // namespace usersub::properties
