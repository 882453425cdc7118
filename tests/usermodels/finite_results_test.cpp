// Inputs that used to hand back NaN or infinity: a physical limit gives its finite value,
// a host error ends the run with a message naming the entry point and the argument.
#include "support/species_fixture.h"
#include "usermodels/model_setup.h"

#include <cmath>

namespace usersub::test {
namespace {

TEST(FiniteResults, PhysicalLimitsAreFinite)
{
    expect_stop([] {
        setup_models(1);
        // Squeezed annular film r1 = 0.01, r2 = 0.02, pressed 1 mm into its seat while closing: the
        // viscous term vanishes and the force is the pressure term alone, worked by hand:
        // a = 1 / (2 ln 2) - 1/3, F = pi (r2^2 - r1^2) (p_in a + p_out (1 - a)).
        load_model(1, {3, 0}, {0.01, 0.02, 2e5, 1e5, 0.003, 100.0});
        const double x[] = {0.0, 0.0, 0.0, -1e-3}, v[] = {0.0, 0.0, 0.0, -1.0};
        double f[4] = {};
        const int32_t id = 1;
        MEC_USER_UCON(nullptr, nullptr, x, v, nullptr, nullptr, f, &id);
        const double a = 1.0 / (2.0 * std::log(2.0)) - 1.0 / 3.0;
        EXPECT_NEAR(f[3], 3.14159265358979 * 3e-4 * (2e5 * a + 1e5 * (1.0 - a)), 1e-9);
        EXPECT_EQ(f[0], -f[3]);
        // A wheel lifting off keeps the base friction only.
        const double va = 10.0, vb = 12.0, fz = -500.0;
        double mu = -1.0;
        DYN_TIRE_USER(nullptr, &va, &vb, &fz, &mu, &id);
        EXPECT_EQ(mu, 0.15);
        // A composition with nothing in it has no fractions: all stay 0.
        load_species_fixture();
        std::vector<double> zero(fx::kNSpecies, 0.0), out(fx::kNSpecies, -1.0);
        GETMOLFRAC(zero.data(), out.data());
        EXPECT_EQ(out, zero);
        out.assign(fx::kNSpecies, -1.0);
        GETMASSFRAC(zero.data(), out.data());
        EXPECT_EQ(out, zero);
        std::exit(::testing::Test::HasFailure() ? 2 : 1);
    }, "");
}

TEST(FiniteResults, HostErrorsStopNamingTheArgument)
{
    const int32_t id = 1;
    expect_fatal({
        {[&] {
             const double cp = 1000.0, mu = 1e-5, k = 0.03, rho = 1.2, u = 10.0, d = 0.0;
             double cf = 0.0;
             CF_USER(n_, n_, &id, n_, n_, &cp, &mu, &k, &rho, &u, &d, n_, n_, n_, &cf);
         },
         " F*** CF_USER: argument 11 (diameter) must be positive: 0.0\n"},
        {[&] {
             load_model(1, {1}, {300.0, 350.0});
             int32_t status = 0;
             const int32_t n = 1;
             const double crank = 0.0, num = 3.0, den = 0.0, pass = 1.0, comp = 1.0;
             double o[8];
             SCAVENGUSR(&id, n_, &status, &n, &crank, n_, &num, &den, n_, &pass, n_, n_, n_, n_, n_, n_, n_, n_,
                        n_, n_, &comp, &o[0], &o[1], &o[2], &o[3], &o[4], &o[5], &o[6]);
         },
         " F*** SCAVENGUSR: argument 8 (denominator of the ratio) must not be zero: 0.0\n"},
        {[&] {
             // a zero delay pre-factor: the knock integral would be infinite
             load_model(1, {}, {0.0, 90.0, 3.4, -1.7, 3800.0});
             int32_t status = 0;
             const int32_t c = 1, n = 0;
             const double p = 3e6, t = 1000.0, dt = 1e-3, divisor = 4.0, fraction = 0.2;
             double index = 0.0;
             KNOCKUSRMOD(&id, &c, &status, n_, &n, &n, &n, &n, n_, n_, n_, n_, &p, &t, n_, n_, &dt, &divisor,
                         &fraction, n_, nullptr, n_, n_, &index);
         },
         " F*** KNOCKUSRMOD: the ignition delay 0.0 gives no finite positive rate: check real parameters 1 to 5, "
         "the pressure (argument 13) and the temperature (argument 14)\n"},
        {[&] {
             const double x = -8.0, mode = 1.0, a = 0.0, b = 1.0, c = 0.5;
             double y = 0.0;
             XYFUNC_USER(&x, &y, &mode, &a, &b, &c, &id);
         },
         " F*** XYFUNC_USER: argument 1 (x) must not be negative under a non-integral exponent: -8.0\n"},
        {[&] {
             // before the cylinder descriptions are loaded
             const int32_t one = 1, n = 0;
             ALLOCATE_CYLINDERINFO(&one);
             load_model(1, {}, {1.0, 1.0, 1.0});
             const double theta = 30.0, factor = 1.0, s = 1.0;
             double out[3];
             USERENGCYLEVAPORATION(&id, &one, n_, &n, &n, nullptr, &theta, n_, n_, &factor, n_, &s, n_, n_, n_,
                                   &s, &n, nullptr, &n, nullptr, out, out);
         },
         " F*** USERENGCYLEVAPORATION: argument 2 (cylinder) 1 has no connecting rod: load the cylinder "
         "descriptions first\n"},
    });
}

}  // namespace
}  // namespace usersub::test
