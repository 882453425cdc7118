#include "properties/liquid_species.h"

#include "exchange/run_info.h"
#include "properties/state_request.h"
#include "species_setup.h"
#include "support/child.h"

#include <gtest/gtest.h>

#include <limits>
#include <string>
#include <tuple>

namespace usersub::properties {
namespace {

using usersub::test::capture_stdout;

// 1: form 1; 2: form 2 (pressure unclamped); 3: form 2 with a base that turns
// negative; 4 and 5: gases asking for forms 1 and 2; 6: liquid without a form.
SpeciesTable& liquids()
{
    SpeciesTable& s = setup::load_species_set(6);
    s.namfl.assign(1, "LIQUID-ONE");
    s.namfl.assign(3, "LIQUID-THREE");
    const std::int32_t types[] = {3, 3, 3, 1, 1, 3}, forms[] = {1, 2, 2, 1, 2, -999};
    const double r[] = {1000.0, -0.5, -0.002, 0.01, 0.4, -0.001, 1.0e-6};
    const double d[] = {500.0, 2.0, 100.0, 0.5, 0.01, 1.5, 0.2, 3.0};
    const double c[] = {1000.0, 2000.0, 1.0, 0.001};
    const double f[] = {500.0, 10.0, 0.1, 0.02, 3.0, 0.01}, g[] = {100.0, 0.5, 0.003, 0.001, 0.2, 0.0004};
    for (int i = 1; i <= 6; ++i) {
        s.iproptyp(i) = types[i - 1];
        s.liq_form(i) = forms[i - 1];
        s.species_tmin(i) = 250.0, s.species_tmax(i) = 400.0;
        s.species_pmin(i) = 1.0e5, s.species_pmax(i) = 1.0e8;
        s.liq_flag(i) = i == 2 ? 1 : 0;
    }
    s.liq_par_a(1) = 300.0, s.liq_par_b(1) = 1.0e5;  // K, Pa
    for (int k = 1; k <= 8; ++k) {
        if (k <= 7) s.liq_coef_a(k, 1) = r[k - 1];
        s.liq_coef_a(k, 2) = s.liq_coef_a(k, 3) = d[k - 1];
        if (k <= 4) s.thermo_coef(1, k, 1) = c[k - 1];
        if (k <= 6) s.liq_coef_b(k, 1) = f[k - 1], s.liq_coef_c(k, 1) = g[k - 1];
    }
    s.liq_coef_a(3, 3) = -2000.0;
    s.species_tmin(2) = 200.0, s.species_tmax(2) = 500.0;
    s.tref_liq = 300.0, s.pref_liq = 1.0;  // K, bar
    return s;
}

struct Density {
    double rho = -7.0, drho_dt = -7.0, d2rho_dt2 = -7.0, drho_dp = -7.0;
};

Density density(int i, double t_K, double p_Pa)
{
    Density o;
    liquid_density(i, t_K, p_Pa, o.rho, o.drho_dt, o.d2rho_dt2, o.drho_dp);
    return o;
}

void at_step(std::int32_t step) { exchange::send_user_state(0, 0, 0, 0, step, 0, 0.0, 0.0, 0.0, false); }

TEST(LiquidDensity, BothFormsAgainstTheirPolynomials)
{
    liquids();
    // Form 1 at 350 K, 51 bar: t = 50 K, pp = 50 bar.
    Density o = density(1, 350.0, 51.0e5);
    EXPECT_NEAR(o.rho, 1012.625, 1e-9);     // 1000 - 25 - 5 + 25 + 20 - 2.5 + 0.125
    EXPECT_NEAR(o.drho_dt, -0.2, 1e-12);    // -0.5 - 0.2 + 0.5
    EXPECT_NEAR(o.d2rho_dt2, -0.004, 1e-15);
    EXPECT_NEAR(o.drho_dp, 8.075e-6, 1e-18);  // (0.5 + 0.4 - 0.1 + 0.0075) 1e-5
    // Clamped: above Tmax the state of Tmax, above Pmax that of Pmax.
    EXPECT_EQ(density(1, 450.0, 51.0e5).rho, density(1, 400.0, 51.0e5).rho);
    EXPECT_EQ(density(1, 350.0, 2.0e8).rho, density(1, 350.0, 1.0e8).rho);

    // Form 2 at 400 K, 100 bar: x = 800 + 100 + 100 = 1000.
    o = density(2, 400.0, 1.0e7);
    EXPECT_NEAR(o.rho, 29661.851067789195, 1e-8);  // 500 + 60 + 1000^1.5 / 1.5 + 100 (0.2 + 80)
    EXPECT_NEAR(o.drho_dt, 93.32055320336759, 1e-10);  // 3/40 + 2 sqrt(1000) + 0.015 * 100 * 20
    EXPECT_NEAR(o.d2rho_dt2, 0.10065180320336759, 1e-14);  // 2 / sqrt(1000) - 3/32000 + 0.0375
    EXPECT_NEAR(o.drho_dp, 1.1182277660168379e-3, 1e-16);  // (sqrt(1000) + 0.2 + 80) 1e-5
    EXPECT_NE(density(2, 400.0, 2.0e8).rho, density(2, 400.0, 1.0e8).rho);  // clamp switch set

    // Gases: zeros from form 1, the no-density values from form 2; no form:
    // outputs untouched.
    o = density(4, 300.0, 1.0e5);
    EXPECT_EQ(std::tie(o.rho, o.drho_dt, o.d2rho_dt2, o.drho_dp), std::make_tuple(0.0, 0.0, 0.0, 0.0));
    o = density(5, 300.0, 1.0e5);
    EXPECT_EQ(std::tie(o.rho, o.drho_dt, o.d2rho_dt2, o.drho_dp), std::make_tuple(1.0e-6, 1.0, 1.0, 1.0));
    EXPECT_EQ(density(6, 300.0, 1.0e5).rho, -7.0);

    auto r = usersub::test::run_in_child([] { (void)density(3, 400.0, 1.0e7); });  // x = 900 - 2000
    EXPECT_EQ(r.exit_status, 1);
    EXPECT_EQ(r.output, "F*** Cannot calculate density for species: LIQUID-THREE" + std::string(105, ' ') +
                            "\n     T     =  400.00\n     P     =  100.00\n");
}

TEST(LiquidDensity, RangeWarningIsWrittenOncePerStepOnTenSteps)
{
    SpeciesTable& s = liquids();
    PropWarnState& warn = prop_warn_state();
    set_location_code(kLocationStateTP);
    const auto lines = [](const char* values, int step, const char* last) {
        const std::string six = std::string(step < 10 ? 5 : 4, ' ') + std::to_string(step);
        return "W*** Temperature out of range for species: LIQUID-ONE" + std::string(107, ' ') +
               "\n   T,Tmin,Tmax = " + values + "  250.00  400.00\n   At location: Pipe Subvolume, istep=" +
               six + " Part = unknown\n   " + last + "\n";
    };
    const char* per_step = "Suppressing additional warnings of this type for this timestep.";

    at_step(1);
    const std::string out = capture_stdout([] {
        (void)density(1, 400.0, 1.0e5);  // Tmax is inside
        (void)density(1, 410.0, 1.0e5);
        (void)density(1, 420.0, 1.0e5);
        (void)density(1, 240.0, 1.0e5);
    });
    EXPECT_EQ(out, lines("  410.00", 1, per_step));
    EXPECT_EQ(std::tie(warn.trange_warn_calls, warn.trange_warn_printed), std::make_tuple(3, 1));
    EXPECT_EQ(std::tie(s.tseen_flag(1), s.tseen_flag(2)), std::make_tuple(-1, 0));
    EXPECT_EQ(s.tseen_tmax(1), 420.0);
    EXPECT_EQ(s.tseen_tmin(1), -999.0);  // starts below any temperature
    s.tseen_tmin(1) = 500.0;  // as a host resets it: lowered by the calls below

    for (int step = 2; step <= 11; ++step) {
        at_step(step);
        const std::string got = capture_stdout([] { (void)density(1, 245.5, 1.0e5); });
        if (step < 10)
            EXPECT_EQ(got, lines("  245.50", step, per_step)) << step;
        else if (step == 10)
            EXPECT_EQ(got, lines("  245.50", step,
                                 "Warn limit exceeded: Suppressing future warnings of this type for this case."));
        else
            EXPECT_EQ(got, "");
    }
    EXPECT_EQ(std::tie(warn.trange_warn_step, warn.trange_warn_printed, warn.trange_warn_calls),
              std::make_tuple(11, 11, 13));
    EXPECT_EQ(s.tseen_tmin(1), 245.5);

    // The counts hold at their largest value instead of overflowing.
    constexpr std::int32_t kMax = std::numeric_limits<std::int32_t>::max();
    warn.trange_warn_calls = warn.trange_warn_printed = kMax;
    at_step(12);
    EXPECT_EQ(capture_stdout([] { (void)density(1, 245.5, 1.0e5); }), "");
    EXPECT_EQ(std::tie(warn.trange_warn_calls, warn.trange_warn_printed), std::make_tuple(kMax, kMax));
}

// 350 K, 11 bar: t = 50 K, pb = 10 bar; C = 103625, C' = 2107.5, G = 135.04,
// F = 1291. First form: cp = G + C', h = F + C; outside the range h continues
// linearly with the cp at the bound.
TEST(LiquidEnthalpy, PolynomialsAndLinearContinuationOutsideTheRange)
{
    liquids();
    double h = 0.0, cp = 0.0, dh_dp = 0.0, h_max = 0.0;
    const auto expect_h = [&](double t_K, double p_Pa, double want_cp, double want_h) {
        liquid_species_h(1, t_K, p_Pa, h, cp);
        EXPECT_NEAR(cp, want_cp, 1e-9) << t_K;
        EXPECT_NEAR(h, want_h, 1e-8) << t_K;
    };
    expect_h(350.0, 11.0e5, 2242.54, 104916.0);
    // 10 K above Tmax: t = 100; C = 212000, C' = 2230, G = 183.04, F = 2551.
    expect_h(410.0, 11.0e5, 2413.04, 214551.0 + 24130.4);
    // 10 K below Tmin: t = -50; C = -96625, C' = 1907.5, G = 84.04, F = 271.
    expect_h(240.0, 11.0e5, 1991.54, 271.0 - 96625.0 - 19915.4);

    // dh/dP = 1/rho + T drho/dT / rho^2 = 0.001 - 350 * 0.5 / 1e6.
    liquid_species_props(1, 350.0, 11.0e5, h, cp, dh_dp, 1000.0, -0.5);
    EXPECT_NEAR(h, 104916.0, 1e-8);
    EXPECT_NEAR(dh_dp, 0.000825, 1e-15);
    liquid_species_props(4, 350.0, 11.0e5, h, cp, dh_dp, 1000.0, -0.5);  // a gas: zeros
    EXPECT_EQ(std::tie(h, cp, dh_dp), std::make_tuple(0.0, 0.0, 0.0));

    // Second form (word 60 at 4): cp = G pb + C', h = F pb + C.
    setup::set_user_evolution({{60, 4}});
    expect_h(350.0, 11.0e5, 1350.4 + 2107.5, 12910.0 + 103625.0);
    // Pressure held at Pmax: 2e8 Pa reads as 1e8 Pa.
    liquid_species_h(1, 350.0, 1.0e8, h_max, cp);
    liquid_species_h(1, 350.0, 2.0e8, h, cp);
    EXPECT_EQ(h, h_max);
}

}  // namespace
}  // namespace usersub::properties
