#include "properties/complete_combustion.h"
#include "properties/product_species.h"

#include <gtest/gtest.h>

#include <cmath>

namespace usersub::properties {
namespace {

const Array1<double>& x() { return product_species().prod_molefrac; }

// phi = (2 + 4/2) / 8 = 0.5 at 1000 K: CO2, H2O, N2, O2, Ar, SO2 in proportion
// to n_C = 1, n_H/2 = 2, n_N/2 = 15, n_O (1 - phi)/2 = 2, n_Ar = 0.4,
// n_S = 0.1, of sum 20.5; the rest at the floor, N untouched.
TEST(CompleteCombustion, LeanMixtureBurnsToCO2WaterAndSpareOxygen)
{
    x()(kN) = 0.123;
    x()(kAr) = 0.9;
    products_nodissoc(1000.0, 1e-3, 4e-3, 8e-3, 30e-3, 0.4e-3, 0.1e-3, 0.5);
    EXPECT_NEAR(x()(kCO2), 1.0 / 20.5, 1e-16);
    EXPECT_NEAR(x()(kH2O), 2.0 / 20.5, 1e-16);
    EXPECT_NEAR(x()(kN2), 15.0 / 20.5, 1e-15);
    EXPECT_NEAR(x()(kO2), 2.0 / 20.5, 1e-16);
    EXPECT_NEAR(x()(kAr), 0.4 / 20.5, 1e-16);
    EXPECT_NEAR(x()(kSO2), 0.1 / 20.5, 1e-16);
    for (Product k : {kCO, kH2, kH, kO, kOH, kNO}) EXPECT_EQ(x()(k), 1e-10) << k;
    EXPECT_EQ(x()(kN), 0.123);
}

// phi = (2 + 2) / (8/3) = 1.5 at 2000 K: u = 0.5, K = exp(2.743 - 0.8805
// - 0.40275 + 0.0350375) = exp(1.4947875) = 4.4583890445. Solving
// K (1 - c)(4/3 - c) = c (2/3 + c) by hand gives CO = c = 0.68257456815;
// CO2 = 0.31742543185, H2O = 1.34924123482, H2 = 0.65075876518, N2 = 5,
// of sum 8.
TEST(CompleteCombustion, RichMixtureHoldsWaterGasShiftAndElementBalance)
{
    x()(kN) = 0.0;
    const double n_C = 1e-3, n_H = 4e-3, n_O = 8e-3 / 3.0, n_N = 10e-3;
    products_nodissoc(2000.0, n_C, n_H, n_O, n_N, 0.0, 0.0, 1.5);
    EXPECT_NEAR(x()(kCO), 0.68257456815 / 8, 1e-12);
    EXPECT_NEAR(x()(kCO2), 0.31742543185 / 8, 1e-12);
    EXPECT_NEAR(x()(kH2O), 1.34924123482 / 8, 1e-12);
    EXPECT_NEAR(x()(kH2), 0.65075876518 / 8, 1e-12);
    EXPECT_NEAR(x()(kN2), 5.0 / 8, 1e-15);
    EXPECT_EQ(x()(kO2), 1e-10);
    EXPECT_EQ(x()(kAr), 0.0);
    EXPECT_EQ(x()(kN), 0.0);

    const double K = std::exp(1.4947875);
    EXPECT_NEAR(x()(kCO) * x()(kH2O) / (x()(kCO2) * x()(kH2)), K, 1e-12 * K);

    // Atoms in the species the split produced, exactly in the given proportions.
    const double c = x()(kCO2) + x()(kCO);
    const double h = 2 * x()(kH2O) + 2 * x()(kH2);
    const double o = 2 * x()(kCO2) + x()(kCO) + x()(kH2O);
    const double n = 2 * x()(kN2);
    EXPECT_NEAR(h / c, n_H / n_C, 1e-13);
    EXPECT_NEAR(o / c, n_O / n_C, 1e-13);
    EXPECT_NEAR(n / c, n_N / n_C, 1e-13);
}

// phi = 1 takes the lean branch: CO2 1, H2O 2, N2 7.5, Ar 0.2 of 10.7, with
// O2, CO, H2, H, O, OH, NO at the floor 1e-10. With t = e^2 the corrections
// c0 + c1 t + c2 t^2 are, worked out by hand: N2 -0.0012591912, O2 -0.0012781048,
// CO 9.8031793e-6, H2 1.7794240e-5, CO2 -2.2622251e-5, H2O -2.7086262e-4,
// H -8.2238590e-6, O 2.4188441e-6, OH 4.8325145e-4, NO 2.3462206e-3. The twelve
// then sum to 1.0000204843; dividing by it and raising O2 and H (negative) to
// the floor gives the values below. SO2 is 0 and stays 0: it has no floor.
TEST(CompleteCombustion, StoichiometricTakesLeanBranchThenTheCorrection)
{
    x()(kN) = 0.5;
    products_nodissoc(2000.0, 1.0, 4.0, 4.0, 15.0, 0.2, 0.0, 1.0);
    EXPECT_NEAR(x()(kCO2), 0.093433407752368, 1e-14);
    EXPECT_NEAR(x()(kH2O), 0.1866412020084719, 1e-14);
    EXPECT_NEAR(x()(kN2), 0.6996610561797157, 1e-14);
    EXPECT_EQ(x()(kO2), 1e-10);
    EXPECT_NEAR(x()(kCO), 9.80307851338624e-06, 1e-17);
    EXPECT_NEAR(x()(kH2), 1.7793975789185863e-05, 1e-17);
    EXPECT_EQ(x()(kH), 1e-10);
    EXPECT_NEAR(x()(kO), 2.41889458803475e-06, 1e-17);
    EXPECT_NEAR(x()(kOH), 0.00048324165131525816, 1e-16);
    EXPECT_NEAR(x()(kNO), 0.002346172639350324, 1e-16);
    EXPECT_NEAR(x()(kAr), 0.018691205907975857, 1e-15);
    EXPECT_EQ(x()(kSO2), 0.0);
    EXPECT_EQ(x()(kN), 0.5);
}

}  // namespace
}  // namespace usersub::properties
