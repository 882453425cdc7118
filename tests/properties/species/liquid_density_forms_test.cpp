#include "properties/species/liquid_species.h"
#include "properties/species/property_loaders.h"
#include "properties/species/species_table_rw.h"
#include "support/child.h"
#include "support/species_fixture.h"

#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <string>

namespace usersub::properties {
namespace {

using namespace usersub::test;

using Outputs = std::array<double, 4>;  // rho, drho/dT, d2rho/dT2, drho/dP

TEST(LiquidDensityForms, FormsAloneWithoutRangeWatch)
{
    load_species_fixture();
    const int heptane = fx::kC7H16Liquid;
    // n-heptane, form 1 at 350 K, 11 bar: t = 51.85 K, pp = 10 bar;
    // rho = 679.5 - 0.85 t - 9e-4 t^2 + 0.098 pp - 2e-5 pp^2.
    const double t = 51.85, pp = 10.0;
    Outputs b{};
    species_props_b(heptane, 350.0, 11e5, b[0], b[1], b[2], b[3]);
    EXPECT_NEAR(b[0], 679.5 - 0.85 * t - 9e-4 * t * t + 0.098 * pp - 2e-5 * pp * pp, 1e-10);
    EXPECT_NEAR(b[1], -0.85 - 2 * 9e-4 * t, 1e-13);
    EXPECT_NEAR(b[2], -1.8e-3, 1e-15);
    EXPECT_NEAR(b[3], (0.098 - 4e-5 * pp) * 1e-5, 1e-18);

    // Above the range: the density at Tmax (500 K), and no temperature record.
    Outputs hot{}, at_max{};
    species_props_b(heptane, 650.0, 11e5, hot[0], hot[1], hot[2], hot[3]);
    species_props_b(heptane, 500.0, 11e5, at_max[0], at_max[1], at_max[2], at_max[3]);
    EXPECT_EQ(hot, at_max);
    EXPECT_EQ(species_table().tseen_flag(heptane), 0);

    // A gas: four zeros from form 1; 1e-6, 1.0, 1.0, 1.0 and flag 0 from form 2.
    Outputs gas{-1, -1, -1, -1};
    species_props_b(fx::kN2, 300.0, 1e5, gas[0], gas[1], gas[2], gas[3]);
    EXPECT_EQ(gas, (Outputs{0.0, 0.0, 0.0, 0.0}));
    std::int32_t flag = -1;
    species_props_c(fx::kN2, 300.0, 1e5, gas[0], gas[1], gas[2], gas[3], flag);
    EXPECT_EQ(gas, (Outputs{1e-6, 1.0, 1.0, 1.0}));
    EXPECT_EQ(flag, 0);

    // Form 2 with d = 800, 1, d3, 1, 0, 1, 0, 0 at 300 K, 2 bar (pressure not
    // clamped): base x = T + pb + d3. d3 = -298: x = 4, rho = 800 + x^2 / 2,
    // drho/dT = d2 x, d2rho/dT2 = d2^2 d4, drho/dP = x 1e-5. d3 = -310: x < 0.
    SpeciesTable& s = species_table_rw();
    s.liq_form(heptane) = 2;
    s.liq_flag(heptane) = 1;
    const double d[8] = {800.0, 1.0, -298.0, 1.0, 0.0, 1.0, 0.0, 0.0};
    for (int k = 1; k <= 8; ++k) s.liq_coef_a(k, heptane) = d[k - 1];
    Outputs c{};
    species_props_c(heptane, 300.0, 2e5, c[0], c[1], c[2], c[3], flag);
    EXPECT_EQ(flag, 0);
    EXPECT_NEAR(c[0], 808.0, 1e-12);
    EXPECT_NEAR(c[1], 4.0, 1e-12);
    EXPECT_NEAR(c[2], 1.0, 1e-12);
    EXPECT_NEAR(c[3], 4e-5, 1e-17);
    s.liq_coef_a(3, heptane) = -310.0;
    species_props_c(heptane, 300.0, 2e5, c[0], c[1], c[2], c[3], flag);
    EXPECT_EQ(c, (Outputs{1e-6, 1.0, 1.0, 1.0}));
    EXPECT_EQ(flag, 1);
}

TEST(LiquidDensityForms, SoundSpeedOfLiquidHeptane)
{
    load_species_fixture();
    // 298.15 K, 1 bar: rho 679.5, drho/dT -0.85, drho/dP 0.098e-5, cp 2242.5.
    const double x = 298.15 * 0.85 * 0.85 / (679.5 * 679.5 * 2242.5 * 0.098e-5);
    const double gamma = 1.0 / (1.0 - x);
    double c = 0.0;
    liquid_props_wrap(fx::kC7H16Liquid, 298.15, 1e5, c);
    EXPECT_NEAR(c, std::sqrt(gamma / 0.098e-5), 1e-9);
    EXPECT_NEAR(c, 1131.0, 20.0);  // measured speed of sound of n-heptane at 25 C

    // A stiffer temperature dependence would give a ratio above 1.6: held there.
    species_table_rw().liq_coef_a(2, fx::kC7H16Liquid) = -3.0;  // x = 2.64
    liquid_props_wrap(fx::kC7H16Liquid, 298.15, 1e5, c);
    EXPECT_NEAR(c, std::sqrt(1.6 / 0.098e-5), 1e-9);

    // Water is a constant-density liquid: no density derivatives, no sound speed.
    const auto r = run_in_child([] {
        double cw = 0.0;
        liquid_props_wrap(fx::kH2OLiquid, 300.0, 1e5, cw);
    });
    EXPECT_EQ(r.exit_status, 1);
    EXPECT_EQ(r.output, "F*** Cannot calculate sound speed for species: H2O_L" + std::string(112, ' ') +
                            "\n     T     =  300.00\n     P     =    1.00\n");
}

}  // namespace
}  // namespace usersub::properties
