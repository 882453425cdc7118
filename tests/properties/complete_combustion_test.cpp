#include "properties/complete_combustion.h"
#include "properties/product_species.h"

#include <gtest/gtest.h>

#include <cmath>

namespace usersub::properties {
namespace {

const Array1<double>& x() { return product_species().prod_molefrac; }

// phi = (2 + 4/2) / 8 = 0.5: CO2, H2O, N2, O2, Ar, SO2 in proportion to n_C = 1,
// n_H/2 = 2, n_N/2 = 15, n_O (1 - phi)/2 = 2, n_Ar = 0.4, n_S = 0.1 (sum 20.5);
// CO, H2, H, O, OH, NO at the floor; N untouched.
TEST(CompleteCombustion, LeanMixtureBurnsToCO2WaterAndSpareOxygen)
{
    x()(kN) = 0.123;
    products_nodissoc(1000.0, 1e-3, 4e-3, 8e-3, 30e-3, 0.4e-3, 0.1e-3, 0.5);
    const double want[] = {1, 2, 15, 2};
    for (int k = kCO2; k <= kO2; ++k) EXPECT_NEAR(x()(k), want[k - 1] / 20.5, 1e-15) << k;
    EXPECT_NEAR(x()(kAr), 0.4 / 20.5, 1e-16);
    EXPECT_NEAR(x()(kSO2), 0.1 / 20.5, 1e-16);
    for (int k = kCO; k <= kNO; ++k) EXPECT_EQ(x()(k), 1e-10) << k;
    EXPECT_EQ(x()(kN), 0.123);
}

// phi = (2 + 2) / (8/3) = 1.5 at 2000 K: u = 0.5, K = exp(2.743 - 0.8805
// - 0.40275 + 0.0350375) = exp(1.4947875). Solving K (1 - c)(4/3 - c)
// = c (2/3 + c) by hand: CO = c = 0.68257456815, CO2 = 0.31742543185,
// H2O = 1.34924123482, H2 = 0.65075876518, N2 = 5, of sum 8.
TEST(CompleteCombustion, RichMixtureHoldsWaterGasShiftAndElementBalance)
{
    const double n_C = 1e-3, n_H = 4e-3, n_O = 8e-3 / 3.0, n_N = 10e-3;
    products_nodissoc(2000.0, n_C, n_H, n_O, n_N, 0.0, 0.0, 1.5);
    EXPECT_NEAR(x()(kCO), 0.68257456815 / 8, 1e-12);
    EXPECT_NEAR(x()(kCO2), 0.31742543185 / 8, 1e-12);
    EXPECT_NEAR(x()(kH2O), 1.34924123482 / 8, 1e-12);
    EXPECT_NEAR(x()(kH2), 0.65075876518 / 8, 1e-12);
    EXPECT_NEAR(x()(kN2), 5.0 / 8, 1e-15);
    EXPECT_EQ(x()(kO2), 1e-10);
    EXPECT_NEAR(x()(kCO) * x()(kH2O) / (x()(kCO2) * x()(kH2)), std::exp(1.4947875), 1e-11);

    // The atoms of the split species are exactly in the given proportions.
    const double c = x()(kCO2) + x()(kCO);
    EXPECT_NEAR((2 * x()(kH2O) + 2 * x()(kH2)) / c, n_H / n_C, 1e-13);
    EXPECT_NEAR((2 * x()(kCO2) + x()(kCO) + x()(kH2O)) / c, n_O / n_C, 1e-13);
    EXPECT_NEAR(2 * x()(kN2) / c, n_N / n_C, 1e-13);
}

// phi = 1 takes the lean branch: CO2 1, H2O 2, N2 7.5, Ar 0.2 of 10.7, the rest
// of CO2 .. NO at the floor. With t = e^2 the corrections c0 + c1 t + c2 t^2
// are, by hand: N2 -0.0012591912, O2 -0.0012781048, CO 9.8031793e-6,
// H2 1.7794240e-5, CO2 -2.2622251e-5, H2O -2.7086262e-4, H -8.2238590e-6,
// O 2.4188441e-6, OH 4.8325145e-4, NO 2.3462206e-3. The twelve then sum to
// 1.0000204843; dividing and raising O2 and H (negative) to the floor gives
// the values below. SO2 is 0 and stays 0: it has no floor.
TEST(CompleteCombustion, StoichiometricTakesLeanBranchThenTheCorrection)
{
    x()(kN) = 0.5;
    products_nodissoc(2000.0, 1.0, 4.0, 4.0, 15.0, 0.2, 0.0, 1.0);
    const double want[] = {0.093433407752368,      0.1866412020084719,    0.6996610561797157,
                           1e-10,                  9.80307851338624e-06,  1.7793975789185863e-05,
                           1e-10,                  2.41889458803475e-06,  0.00048324165131525816,
                           0.002346172639350324,   0.5,                   0.018691205907975857,
                           0.0};
    for (int k = 1; k <= kProducts; ++k) EXPECT_NEAR(x()(k), want[k - 1], 1e-14 * want[k - 1]) << k;
}

// Rich and near stoichiometric, phi = (2 + 2) / 3.5 = 8/7 at 2000 K: the
// water-gas shift split as above, then the correction. Values from the
// formulas evaluated step by step in Python.
TEST(CompleteCombustion, RichNearStoichiometricTakesTheShiftThenTheCorrection)
{
    products_nodissoc(2000.0, 1.0, 4.0, 3.5, 13.0, 0.2, 0.0, 8.0 / 7.0);
    const double want[] = {0.07070997488017941, 0.18672322571372169, 0.6688302012075396,
                           1e-10,               0.03236787809192526, 0.019205054652938456,
                           1e-10,               2.418894588518519e-06, 0.0004832416514119045,
                           0.002346172639819549};
    for (int k = kCO2; k <= kNO; ++k) EXPECT_NEAR(x()(k), want[k - 1], 1e-13 * want[k - 1]) << k;
    EXPECT_NEAR(x()(kAr), 0.020618134356220622, 1e-15);
}

}  // namespace
}  // namespace usersub::properties
