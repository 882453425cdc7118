#include "properties/species/species_table.h"
#include "properties/state/fluid_state.h"
#include "support/fixture_gases.h"
#include "usermodels/catalyst_model.h"
#include "usermodels/model_setup.h"

#include <sstream>

namespace usersub::test {
namespace {

// Molar mass of species i, kg/kmol, as the fixture loaded it.
double mw(int i) { return properties::species_table().pmwt(i); }

// Methane in air at 700 K and 2 bar, 1 g in the volume; density and energy of that state.
struct Catalyst {
    int32_t id = 1, zero = 0, key_b = 1, n = fx::kNSpecies, n_ox = 1, ox = fx::kO2;
    double dt = 1e-3, factor = 2.0, mass = 1e-3, t = 700.0, p = 2e5, zero_r = 0.0, rho = 0, e = 0, out33 = -7.0;
    std::vector<double> fluxi = std::vector<double>(18, 0.1), fluxip = std::vector<double>(18, 0.05), fm;
    explicit Catalyst(double y_ch4, double y_o2 = 0.22) : fm(18, 0.0)
    {
        fm[fx::kCH4 - 1] = y_ch4;
        fm[fx::kO2 - 1] = fm[fx::product(4) - 1] = y_o2 / 2;  // oxygen as an ordinary and as a product species
        fm[fx::kN2 - 1] = 1.0 - y_ch4 - y_o2;
        double h = 0, cp = 0, cv = 0;
        properties::zalthrm_tp(t, p, fm.data(), rho, e, h, cp, cv);
    }
    void call(int32_t key_a = 1)
    {
        CATMODUSR(&id, &zero, &key_a, &key_b, &zero, &n, &zero, n_, &zero, n_, &n_ox, &ox, n_, n_, &dt, &factor, n_, n_,
                  n_, n_, n_, &mass, fluxi.data(), fluxip.data(), fm.data(), &t, &p, &zero_r, &rho, &e, n_, n_, &out33);
    }
};

TEST(Catalyst, RateLawConvertsItsShareOfTheFuelTowardsEquilibriumOtherTreatmentsNothing)
{
    load_species_fixture({.heptane_is_fuel = false});
    setup_models(1, 2);
    set_time(0.25);
    struct Case { double a, exp_o2, exp_fuel, tc; };
    // x about 0.3, then capped; Tc = 0: exp(T / 0) = inf, capped at the fuel (x = 1)
    for (const Case c : {Case{800.0, 1.0, 0.5, 2000.0}, Case{1e12, 1.0, 1.0, 500.0}, Case{800.0, 1.0, 0.5, 0.0}}) {
        load_model(1, {2}, {c.a, c.exp_o2, c.exp_fuel, c.tc});
        Catalyst k(0.01);
        // x = min(A cO^a cF^b exp(T/Tc) m MW_F / rho dt, Y_F m) / (Y_F m), concentrations in kmol/m3
        const double c_o2 = 0.22 * k.rho / mw(fx::kO2), c_fuel = 0.01 * k.rho / mw(fx::kCH4);
        const double burned = c.a * std::pow(c_o2, c.exp_o2) * std::pow(c_fuel, c.exp_fuel) * std::exp(700.0 / c.tc) *
                              k.mass * mw(fx::kCH4) / k.rho * k.dt;
        const double x = std::min(burned, 0.01 * k.mass) / (0.01 * k.mass);
        k.call();
        // The equilibrium leaves no methane: what is left is the unconverted share.
        EXPECT_NEAR(k.fm[fx::kCH4 - 1], (1.0 - x) * 0.01, 1e-14);
        // The atoms stay, as far as the equilibrium keeps them (1e-6).
        expect_near(element_amounts(k.fm), element_amounts(Catalyst(0.01).fm), 1e-6);
        EXPECT_EQ(k.out33, 0.0);
    }
    const Plot in = drain_plot(1, 1), out = drain_plot(1, 2);
    expect_near(in.points(), {0.25, 0.25, 0.25, 18 * 0.1 * 2.0, 18 * 0.1 * 2.0, 18 * 0.1 * 2.0}, 1e-15);
    expect_near(out.y, {18 * 0.05 * 2.0, 18 * 0.05 * 2.0, 18 * 0.05 * 2.0}, 1e-15);
    EXPECT_EQ(in.labels(), labels("User Catalyst Model", "mass flux into the volume", "sec", "kg/sec"));
    EXPECT_EQ(out.curve, padded("mass flux out of the volume"));

    // Nothing converts without fuel or oxygen, or without the treatment.
    struct None { double y_ch4, y_o2; std::vector<int32_t> ints; std::vector<double> reals; size_t points; };
    const std::vector<double> fast{1e12, 1.0, 1.0, 500.0};
    for (const None& c : {None{0.0, 0.22, {2}, fast, 0}, None{0.05, 0.0, {2}, fast, 0},  // no plots either
                          None{0.0, 0.22, {3}, {100.0}, 2}, None{0.05, 0.22, {3}, {0.0}, 2},
                          None{0.05, 0.22, {1}, fast, 2}, None{0.05, 0.22, {7}, fast, 2}}) {  // the empty hook, none
        load_model(1, c.ints, c.reals);
        Catalyst k(c.y_ch4, c.y_o2);
        k.call();
        k.call(2);  // keys differ: no points
        EXPECT_EQ(k.fm, Catalyst(c.y_ch4, c.y_o2).fm);
        EXPECT_EQ(k.out33, -7.0);
        EXPECT_EQ(drain_plot(1, 1).x.size() + drain_plot(1, 2).x.size(), c.points);
    }
}

TEST(Catalyst, TemperatureLimitedConversionStopsAtTheLimit)
{
    load_species_fixture();
    setup_models(1, 2);
    send_state({});
    load_model(1, {3}, {200.0});
    Catalyst k(0.02), second(0.02);
    const auto y0 = k.fm;
    std::vector<double> eq = y0;
    double t_eq = k.t, p_eq = k.p, h = 0, cp = 0, cv = 0;
    properties::zalthrm_re_eq(k.rho, k.e, eq.data(), t_eq, p_eq, h, cp, cv);
    std::string lines = capture_stdout([&] { k.call(); }) + capture_stdout([&] { second.call(); });  // one line
    send_state({.time_step = 3});
    lines += capture_stdout([&] { Catalyst(0.02).call(); });
    EXPECT_EQ(std::count(lines.begin(), lines.end(), '\n'), 2);
    std::istringstream first(lines.substr(lines.find(':') + 1));
    double passes = 0, x = 0, t = 0, t_limit = 0, rise = 0;
    first >> passes >> x >> t >> t_limit >> rise;
    // The outlet is the blend x_b of the way to an equilibrium composition E; T of a blend xx at the
    // volume's density and energy. The line holds that T and the next x: one Newton step to the limit.
    const double x_b = 1.0 - k.fm[fx::kCH4 - 1] / 0.02;
    const auto t_blend = [&](double xx) {
        std::vector<double> y(y0.size());
        for (size_t i = 0; i < y.size(); ++i) y[i] = xx / x_b * (k.fm[i] - (1.0 - x_b) * y0[i]) + (1.0 - xx) * y0[i];
        double t_out = 700.0, p_out = 2e5;
        properties::zalthrm_re(k.rho, k.e, y.data(), t_out, p_out, h, cp, cv);
        return t_out;
    };
    const double slope = (t_blend(x_b + 1e-4) - t_blend(x_b - 1e-4)) / 2e-4;
    EXPECT_NEAR(x, x_b - (t - 900.0) / slope, 1e-8);  // x_b itself lies a step (1.5e-6) away
    expect_near({t_limit, rise, t}, {900.0, t - 700.0, t_blend(x_b)}, 1e-9);
    EXPECT_NEAR(t, 900.0, 0.9);  // 0.1 %
    expect_near(element_amounts(k.fm), element_amounts(y0), 1e-6);

    load_model(1, {3}, {t_eq - 700.0 - 1.0});  // just under the equilibrium: steps beyond it come back to 0.999
    second = Catalyst(0.02);
    capture_stdout([&] { second.call(); });
    EXPECT_NEAR(second.fm[fx::kCH4 - 1], (1.0 - 0.999) * 0.02, 1e-15);
    load_model(1, {3}, {t_eq - 700.0 + 1.0});  // above it: the full equilibrium, no line
    second = Catalyst(0.02);
    EXPECT_EQ(capture_stdout([&] { second.call(); }), "");
    expect_near(second.fm, eq, 1e-12, 1e-15);
}

TEST(Catalyst, InputErrorsStopTheRun)
{
    auto run = [](std::vector<int32_t> ints, std::vector<double> reals, bool heptane_is_fuel, double t_K = 700.0) {
        return [=] {
            load_species_fixture({.heptane_is_fuel = heptane_is_fuel});
            load_model(1, ints, reals);
            Catalyst k(0.01);
            k.t = t_K;
            k.call();
        };
    };
    expect_fatal({
        {run({}, {1.0}, false), " No integer parameters defined for user model\n"},
        {run({2}, {1.0, 1.0, 1.0}, false), " UserModel error (Catalyst):  Check UserModel input\n"},
        {run({2}, {1.0, 1.0, 1.0, 500.0}, true), " The example treatment is not valid for more than one fuel\n"},
        {run({2}, {1.0, 1.0, 1.0, 0.0}, false, 0.0),
         " F*** CATMODUSR: real parameter 4 (temperature scale) must not be zero at a temperature of zero: 0.0\n"},
    });
}

TEST(Catalyst, MixtureDiffusivityOfTwoGasesIsTheirBinaryCoefficient)
{
    load_species_fixture();
    usermodels::init_diffusion_data();
    const double t = 500.0, p = 3e5;
    // Fuller, Schettler and Giddings: D = 0.01013 T^1.75 sqrt(1/M1 + 1/M2) / (p (V1^(1/3) + V2^(1/3))^2)
    const double v = std::pow(17.9, 0.333333) + std::pow(16.6, 0.333333);
    const double d12 = 0.01013 * std::pow(t, 1.75) * std::sqrt(1 / mw(fx::kN2) + 1 / mw(fx::kO2)) / (p * v * v);
    struct Case { std::vector<double> x_n2_o2; double d_n2, d_o2; };
    // Pure nitrogen: oxygen as a trace has the binary coefficient, nitrogen none.
    for (const Case& c : {Case{{1.0, 0.0}, 0.0, d12}, Case{{0.7, 0.3}, d12, d12}}) {
        std::vector<double> x = c.x_n2_o2, diff(18, -1.0);
        x.resize(18, 0.0);
        usermodels::mixture_diffusivity(p, t, {"X", x.data(), 18}, {"DIFF", diff.data(), 18});
        expect_near({diff[0], diff[1]}, {c.d_n2, c.d_o2}, 1e-12);
    }
}

// Inputs at a physical limit give their finite value: a composition with nothing in it has no fractions, and
// amounts at the top of the real range overflow no sum (N2 and O2 at equal moles are 28.0134 / 60.0122 by mass).
TEST(FiniteResults, EmptyAndHugeCompositions)
{
    load_species_fixture();
    const std::vector<double> zero(fx::kNSpecies, 0.0);
    for (auto fractions : {GETMOLFRAC, GETMASSFRAC}) {
        std::vector<double> out(fx::kNSpecies, -1.0);
        fractions(zero.data(), out.data());
        EXPECT_EQ(out, zero);
    }
    std::vector<double> huge(fx::kNSpecies, 0.0), out(fx::kNSpecies);
    huge[fx::kN2 - 1] = huge[fx::kO2 - 1] = 1e308;
    GETMASSFRAC(huge.data(), out.data());
    EXPECT_NEAR(out[fx::kN2 - 1], 28.0134 / 60.0122, 1e-12);
}

}  // namespace
}  // namespace usersub::test
