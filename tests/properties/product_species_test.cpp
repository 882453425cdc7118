#include "properties/product_species.h"

#include <gtest/gtest.h>

#include <cmath>

namespace usersub::properties {
namespace {

// h/(R T), s/R and cp/R of product k from coefficient set `set` of the built-in table.
double h_RT(int k, int set, double T)
{
    const auto& a = product_species().prod_nasa9;
    return -a(set, 1, k) / (T * T) + a(set, 2, k) * std::log(T) / T + a(set, 3, k) + a(set, 4, k) * T / 2 +
           a(set, 5, k) * T * T / 3 + a(set, 6, k) * T * T * T / 4 + a(set, 7, k) * T * T * T * T / 5 +
           a(set, 8, k) / T;
}
double s_R(int k, int set, double T)
{
    const auto& a = product_species().prod_nasa9;
    return -a(set, 1, k) / (2 * T * T) - a(set, 2, k) / T + a(set, 3, k) * std::log(T) + a(set, 4, k) * T +
           a(set, 5, k) * T * T / 2 + a(set, 6, k) * T * T * T / 3 + a(set, 7, k) * T * T * T * T / 4 + a(set, 9, k);
}
double cp_R(int k, int set, double T)
{
    const auto& a = product_species().prod_nasa9;
    double p = 1.0 / (T * T), sum = 0.0;
    for (int j = 1; j <= 7; ++j, p *= T) sum += a(set, j, k) * p;
    return sum;
}

TEST(ProductSpecies, NasaPolynomialsGiveTheHeatsOfFormationAndJoinAt1000K)
{
    // Standard heats of formation at 298.15 K, J/mol (JANAF / CODATA key values).
    const struct {
        int k;
        double hf;
    } known[] = {{kCO2, -393510.0}, {kH2O, -241826.0}, {kN2, 0.0},      {kO2, 0.0},
                 {kCO, -110530.0},  {kH2, 0.0},        {kH, 217999.0},  {kO, 249180.0},
                 {kOH, 37280.0},    {kNO, 91270.0},    {kN, 472680.0},  {kAr, 0.0},
                 {kSO2, -296810.0}};
    constexpr double R = 8.314462618;  // J/(mol K)
    for (const auto& s : known) EXPECT_NEAR(R * 298.15 * h_RT(s.k, 1, 298.15), s.hf, 20.0) << s.k;

    // cp of N2 at 298.15 K is 29.124 J/(mol K); of CO2 37.135 J/(mol K).
    EXPECT_NEAR(R * cp_R(kN2, 1, 298.15), 29.124, 0.01);
    EXPECT_NEAR(R * cp_R(kCO2, 1, 298.15), 37.135, 0.01);

    // Standard entropies at 298.15 K, J/(mol K) (JANAF tables).
    EXPECT_NEAR(R * s_R(kN2, 1, 298.15), 191.609, 0.02);
    EXPECT_NEAR(R * s_R(kCO2, 1, 298.15), 213.795, 0.02);
    EXPECT_NEAR(R * s_R(kH2O, 1, 298.15), 188.834, 0.02);
    EXPECT_NEAR(R * s_R(kAr, 1, 298.15), 154.845, 0.02);

    // The two ranges meet at 1000 K.
    for (int k = 1; k <= kProducts; ++k) {
        EXPECT_NEAR(cp_R(k, 1, 1000.0), cp_R(k, 2, 1000.0), 1e-3) << k;
        EXPECT_NEAR(h_RT(k, 1, 1000.0), h_RT(k, 2, 1000.0), 1e-3) << k;
        EXPECT_NEAR(s_R(k, 1, 1000.0), s_R(k, 2, 1000.0), 1e-3) << k;
    }
}

TEST(ProductSpecies, InitialDataAndLayout)
{
    const ProductSpeciesSet& p = product_species();
    EXPECT_EQ(p.prod_species_names(kN2), "prod_n2 ");
    EXPECT_EQ(p.prod_species_names(kSO2), "prod_so2");
    EXPECT_EQ(&p.prod_nasa9(2, 1, kO2) - &p.prod_nasa9(1, 1, kO2), 1);  // set index fastest
    EXPECT_EQ(&p.prod_nasa9(1, 1, kCO) - &p.prod_nasa9(1, 1, kO2), 18);
    EXPECT_EQ(p.prod_cp_mass(6, kSO2), -6.093644e-13);
    EXPECT_EQ(p.prod_atoms(kElemS, kSO2), 1.0);
    EXPECT_EQ(p.prod_settings(kAr), 2);
    EXPECT_EQ(p.prod_settings(kSO2), 6);
    EXPECT_EQ(p.prod_settings_real(1), 100.0);
    EXPECT_EQ(p.prod_settings_real(2), 1600.0);
    for (int k = 1; k <= kProducts; ++k) EXPECT_EQ(p.prod_mw(k) + p.prod_mw_inv(k) + p.prod_molefrac(k), 0.0);
}

}  // namespace
}  // namespace usersub::properties
