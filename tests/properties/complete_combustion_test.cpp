#include "properties/complete_combustion.h"
#include "properties/product_species.h"

#include <gtest/gtest.h>

namespace usersub::properties {
namespace {

const Array1<double>& x() { return product_species().prod_molefrac; }

// Lean, phi = (2 + 4/2) / 8 = 0.5: CO2, H2O, N2, O2, Ar, SO2 in proportion to
// n_C = 1, n_H/2 = 2, n_N/2 = 15, n_O (1 - phi)/2 = 2, n_Ar = 0.4, n_S = 0.1
// (sum 20.5); CO, H2, H, O, OH, NO at the floor; N untouched.
// Rich, phi = (2 + 2) / (8/3) = 1.5 at 2000 K: u = 0.5, K = exp(2.743 - 0.8805
// - 0.40275 + 0.0350375) = exp(1.4947875). Solving K (1 - c)(4/3 - c)
// = c (2/3 + c) by hand: CO = c = 0.68257456815, CO2 = 0.31742543185,
// H2O = 1.34924123482, H2 = 0.65075876518, N2 = 5, of sum 8.
TEST(CompleteCombustion, LeanAndRichBranches)
{
    x()(kN) = 0.123;
    products_nodissoc(1000.0, 1e-3, 4e-3, 8e-3, 30e-3, 0.4e-3, 0.1e-3, 0.5);
    const double lean[] = {1, 2, 15, 2, 0, 0, 0, 0, 0, 0, 0, 0.4, 0.1};
    for (int k = 1; k <= kProducts; ++k)
        if (k == kN)
            EXPECT_EQ(x()(k), 0.123);
        else if (k >= kCO && k <= kNO)
            EXPECT_EQ(x()(k), 1e-10) << k;
        else
            EXPECT_NEAR(x()(k), lean[k - 1] / 20.5, 1e-15) << k;

    products_nodissoc(2000.0, 1e-3, 4e-3, 8e-3 / 3.0, 10e-3, 0.0, 0.0, 1.5);
    const double rich[] = {0.31742543185, 1.34924123482, 5.0, 0.0, 0.68257456815, 0.65075876518};
    for (int k = kCO2; k <= kH2; ++k)
        if (k == kO2)
            EXPECT_EQ(x()(k), 1e-10);
        else
            EXPECT_NEAR(x()(k), rich[k - 1] / 8, 1e-12) << k;
}

// phi = 1 takes the lean branch: CO2 1, H2O 2, N2 7.5, Ar 0.2 of 10.7, the rest
// of CO2 .. NO at the floor. With t = e^2 the corrections c0 + c1 t + c2 t^2
// are, by hand: N2 -0.0012591912, O2 -0.0012781048, CO 9.8031793e-6,
// H2 1.7794240e-5, CO2 -2.2622251e-5, H2O -2.7086262e-4, H -8.2238590e-6,
// O 2.4188441e-6, OH 4.8325145e-4, NO 2.3462206e-3. The twelve then sum to
// 1.0000204843; dividing and raising O2 and H (negative) to the floor gives
// the values below. SO2 is 0 and stays 0: it has no floor.
// Rich and near stoichiometric, phi = (2 + 2) / 3.5 = 8/7: the water-gas shift
// split as above, then the correction (the formulas evaluated step by step in
// Python).
TEST(CompleteCombustion, NearStoichiometricCorrectionAfterEitherBranch)
{
    x()(kN) = 0.5;
    products_nodissoc(2000.0, 1.0, 4.0, 4.0, 15.0, 0.2, 0.0, 1.0);
    const double at_one[] = {0.093433407752368,    0.1866412020084719,   0.6996610561797157,
                             1e-10,                9.80307851338624e-06, 1.7793975789185863e-05,
                             1e-10,                2.41889458803475e-06, 0.00048324165131525816,
                             0.002346172639350324, 0.5,                  0.018691205907975857,
                             0.0};
    for (int k = 1; k <= kProducts; ++k) EXPECT_NEAR(x()(k), at_one[k - 1], 1e-14 * at_one[k - 1]) << k;

    products_nodissoc(2000.0, 1.0, 4.0, 3.5, 13.0, 0.2, 0.0, 8.0 / 7.0);
    const double rich[] = {0.07070997488017941, 0.18672322571372169,   0.6688302012075396,
                           1e-10,               0.03236787809192526,   0.019205054652938456,
                           1e-10,               2.418894588518519e-06, 0.0004832416514119045,
                           0.002346172639819549, 0.5,                  0.020618134356220622};
    for (int k = kCO2; k <= kAr; ++k) EXPECT_NEAR(x()(k), rich[k - 1], 1e-13 * rich[k - 1]) << k;
}

}  // namespace
}  // namespace usersub::properties
