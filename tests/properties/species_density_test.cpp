#include "properties/liquid_species.h"
#include "properties/species_density.h"

#include "species_setup.h"
#include "support/child.h"

#include <gtest/gtest.h>

#include <cmath>

namespace usersub::properties {
namespace {

constexpr double kMw = 16.043;  // kg/kmol
constexpr double kTc = 190.6;   // K
constexpr double kPc = 4.599e6; // Pa

// Largest Z of the reduced Redlich-Kwong cubic, by bisection from above.
double z_rk(double tr, double pr)
{
    const double a = 0.4275 * pr / std::pow(tr, 2.5), b = 0.08664 * pr / tr;
    const auto f = [&](double z) { return z * z * z - z * z + (a - b - b * b) * z - a * b; };
    double hi = 3.0;
    while (f(hi - 1e-4) * f(hi) > 0.0) hi -= 1e-4;
    double lo = hi - 1e-4;
    for (int k = 0; k < 200; ++k) {
        const double m = 0.5 * (lo + hi);
        (f(lo) * f(m) <= 0.0 ? hi : lo) = m;
    }
    return 0.5 * (lo + hi);
}

// 1 gas with critical data, 2 gas without, 3 constant-density liquid,
// 4 correlated liquid (form 1, constant 800 kg/m3), 5 of unknown type.
SpeciesTable& species()
{
    SpeciesTable& s = setup::load_species_set(5);
    const std::int32_t types[] = {1, 1, 2, 3, -999};
    for (int i = 1; i <= 5; ++i) {
        s.iproptyp(i) = types[i - 1];
        s.pmwt_inv(i) = 1.0 / kMw;
        s.tcrit(i) = kTc;
        s.pcrit(i) = kPc;
        s.realgas_flag(i) = 1;
    }
    s.tcrit(2) = 1.0e9;
    s.rho_const(3) = 850.0;
    s.liq_form(4) = 1;
    s.species_tmin(4) = 200.0;
    s.species_tmax(4) = 400.0;
    s.liq_par_a(4) = 0.0;
    s.liq_par_b(4) = 0.0;
    for (int k = 1; k <= 7; ++k) s.liq_coef_a(k, 4) = k == 1 ? 800.0 : 0.0;
    return s;
}

double rho_of(int i, double t, double p)
{
    double rho = -1.0;
    getrho1(i, t, p, rho);
    return rho;
}

TEST(SpeciesDensity, GasIsIdealUnlessTheRunAndTheSpeciesAskForRealGas)
{
    SpeciesTable& s = species();
    setup::set_user_evolution({});  // threshold 0.1, step 1e6, bracketed solver
    const double t = 300.0, p = 5.0e6;
    const double rho_ideal = p * kMw / (8314.3 * t);  // 32.1596... kg/m3
    EXPECT_NEAR(rho_of(1, t, p), rho_ideal, 1e-12 * rho_ideal);  // switch off

    load_realgas(1);
    const double z = z_rk(t / kTc, p / kPc);  // Tr 1.574, Pr 1.087: about 0.90
    EXPECT_LT(z, 0.95);
    EXPECT_NEAR(rho_of(1, t, p), rho_ideal / z, 0.003 * rho_ideal);  // root within 0.002
    EXPECT_NEAR(rho_of(2, t, p), rho_ideal, 1e-12 * rho_ideal);      // no critical data
    s.realgas_flag(1) = 2;                                            // bit 0 clear
    EXPECT_NEAR(rho_of(1, t, p), rho_ideal, 1e-12 * rho_ideal);
    s.realgas_flag(1) = 1;

    setup::set_user_evolution({{113, 5}});  // closed-form solver
    load_realgas(3);
    EXPECT_NEAR(rho_of(1, t, p), rho_ideal / z, 1e-9 * rho_ideal);
    load_realgas(2);
    EXPECT_NEAR(rho_of(1, t, p), rho_ideal, 1e-12 * rho_ideal);

    EXPECT_EQ(rho_of(3, t, p), 850.0);
    EXPECT_EQ(rho_of(4, t, p), 800.0);
    EXPECT_EQ(rho_of(5, t, p), -1.0);  // unknown type: unchanged

    auto r = usersub::test::run_in_child([] { (void)rho_of(6, 300.0, 1.0e5); });
    EXPECT_EQ(r.exit_status, 1);
    EXPECT_EQ(r.output, "F*** Bad species index in GETRHO1:     6\n");
}

TEST(SpeciesDensity, BracketedZFollowsTheReducedPressureThreshold)
{
    species();
    const auto z_at = [](double tr, double pr) {
        double z, h, dh, dzp, dzt, cp;
        realgas_z(tr * kTc, pr * kPc, kTc, kPc, 8314.3 / kMw, z, h, dh, 0, dzp, dzt, cp);
        return z;
    };
    setup::set_user_evolution({});  // threshold 0.1
    EXPECT_EQ(z_at(1.2, 0.05), 1.0);
    EXPECT_NEAR(z_at(1.2, 0.2), z_rk(1.2, 0.2), 0.002);
    EXPECT_NEAR(z_at(0.9, 0.05), z_rk(0.9, 0.05), 0.002);  // at or below Tc always
    EXPECT_NE(z_at(0.9, 0.05), 1.0);

    setup::set_user_evolution({{185, 5}, {176, 5}});  // threshold 0.01
    EXPECT_NEAR(z_at(1.2, 0.05), z_rk(1.2, 0.05), 0.002);
    EXPECT_NE(z_at(1.2, 0.05), 1.0);
    EXPECT_EQ(z_at(1.2, 0.005), 1.0);
}

}  // namespace
}  // namespace usersub::properties
