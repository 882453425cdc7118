// The ideal-gas and product-species mixture routines against the NASA
// polynomials of the fixture's data, evaluated here.
#include "properties/mixture/ideal_gas_mixtures.h"
#include "support/child.h"
#include "support/species_fixture.h"

#include <gtest/gtest.h>

#include <array>
#include <cmath>

namespace usersub::properties {
namespace {

using test::nasa9;
using test::run_in_child;
namespace fx = test::fx;

constexpr double kR = 8314.3;

using Composition = std::array<double, fx::kNSpecies>;

double nasa_h(const char* name, double t_K) { return kR / nasa9(name).mw * t_K * test::nasa9_h_RT(nasa9(name), t_K); }

// a5 of the range that holds T: the coefficient the rounded third multiplies.
double nasa_a5(const char* name, double t_K) { return nasa9(name).ranges[t_K <= 1000.0 ? 0 : 1][6]; }

TEST(IdealGasMixture, MolarAverageOfTheNasaPolynomials)
{
    test::load_species_fixture();
    Composition y{};
    y[fx::kN2 - 1] = 0.7;
    y[fx::kO2 - 1] = 0.2;
    y[fx::product(1) - 1] = 0.1;  // CO2 from the product data
    const double t = 2500.0;
    const double p = 3.0e5;
    double rho = 0.0;
    double cp = 0.0;
    double h = 0.0;
    double e = 0.0;
    double w = 0.0;
    propmix_iga(p, t, y.data(), rho, cp, h, e, w);

    const double w_ref = 1.0 / (0.7 / nasa9("N2").mw + 0.2 / nasa9("O2").mw + 0.1 / nasa9("CO2").mw);
    const double x[3] = {0.7 * w_ref / nasa9("N2").mw, 0.2 * w_ref / nasa9("O2").mw, 0.1 * w_ref / nasa9("CO2").mw};
    const char* names[3] = {"N2", "O2", "CO2"};
    double cp_R = 0.0;
    double h_R = 0.0;
    for (int k = 0; k < 3; ++k) {
        cp_R += x[k] * test::nasa9_cp_R(nasa9(names[k]), t);
        // h/R with a5 T^3 times 0.333333 in place of 1/3
        h_R += x[k] * (t * test::nasa9_h_RT(nasa9(names[k]), t) - (1.0 / 3.0 - 0.333333) * nasa_a5(names[k], t) * t * t * t);
    }
    EXPECT_NEAR(w, w_ref, 1e-12);
    EXPECT_NEAR(rho, p * w_ref / (kR * t), 1e-12);
    EXPECT_NEAR(cp, kR / w_ref * cp_R, 1e-9);
    EXPECT_NEAR(h, kR / w_ref * h_R, 1e-6);
    EXPECT_NEAR(e, h - kR * t / w_ref, 1e-6);

    // The sum may be off by 0.01; beyond that, and at T = 0 before any sum, the run ends.
    y[fx::kN2 - 1] = 0.71;
    propmix_iga(p, t, y.data(), rho, cp, h, e, w);
    y[fx::kN2 - 1] = 0.7101;
    auto r = run_in_child([&] { propmix_iga(p, t, y.data(), rho, cp, h, e, w); });
    EXPECT_EQ(r.exit_status, 1);
    EXPECT_EQ(r.output, "F*** PROPMIX_IGA: Species Mass Fractions do not add to 1.000 =    1.0101\n");
    r = run_in_child([&] { propmix_iga(p, 0.0, y.data(), rho, cp, h, e, w); });
    EXPECT_EQ(r.exit_status, 1);
    EXPECT_EQ(r.output, " Negative temperature in calling PROPTHRM_IGA 0.0\n");
}

TEST(ProductMixture, PropertiesByTypeAndSpeciesEnthalpies)
{
    test::load_species_fixture();
    Composition y{};
    y[fx::kN2 - 1] = 1.0;
    y[fx::kCH4 - 1] = 5e-9;
    const double t = 800.0;
    const double p = 2.0e5;
    double rho = 0.0;
    double h = 0.0;
    double cp = 0.0;
    double minus_h = 0.0;
    // The trace of methane enters only with the all-species flag.
    prodmix_props(0, fx::kCH4, 0.0, t, p, y.data(), rho, h, cp, minus_h, 0);
    EXPECT_NEAR(h, nasa_h("N2", t), 1e-6);
    EXPECT_NEAR(rho, p * nasa9("N2").mw / (kR * t), 1e-12);
    EXPECT_NEAR(minus_h, -nasa_h("CH4", t), 1e-6);
    prodmix_props(1, fx::kCH4, 0.0, t, p, y.data(), rho, h, cp, minus_h, 0);
    EXPECT_NEAR(h, (nasa_h("N2", t) + 5e-9 * nasa_h("CH4", t)) / (1.0 + 5e-9), 1e-6);

    // Species enthalpies per kg: the helpers' a5 term carries 0.3333333.
    EXPECT_NEAR(prodmix_realgas(fx::kO2, t, p), nasa_h("O2", t), 1e-6);
    EXPECT_NEAR(prodmix_realgas(fx::product(2), t, p), nasa_h("H2O", t), 1e-6);
    const double third_error = (1.0 / 3.0 - 0.3333333) * t * t * t;
    double h_o2 = 0.0;
    prodmix_helper_a(fx::kO2, t, h_o2);
    EXPECT_NEAR(h_o2, nasa_h("O2", t) - kR / nasa9("O2").mw * third_error * nasa_a5("O2", t), 1e-6);
    y[fx::kO2 - 1] = 0.25;
    double h_sum = 0.0;
    prodmix_helper_b(fx::kO2, fx::kCH4, y.data(), t, h_sum);
    double h_ch4 = 0.0;
    prodmix_helper_a(fx::kCH4, t, h_ch4);
    EXPECT_NEAR(h_sum, 0.25 * h_o2 + 5e-9 * h_ch4, 1e-6);  // nitrogen (species 1) is outside the range
    prodmix_helper_b(fx::kCH4, fx::kO2, y.data(), t, h_sum);
    EXPECT_EQ(h_sum, 0.0);
}

}  // namespace
}  // namespace usersub::properties
