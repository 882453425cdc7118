#include "usermodels/model_setup.h"

namespace usersub::test {
namespace {

// Air in a 50 mm pipe: cp 1005, mu 1.8e-5, k 0.026, rho 1.2, u 10, D 0.05.
struct Air {
    double cp = 1005.0, mu = 1.8e-5, k = 0.026, rho = 1.2, u = 10.0, d = 0.05;
    double cf(int32_t id) const
    {
        double cf = -1.0;
        CF_USER(n_, n_, &id, n_, n_, &cp, &mu, &k, &rho, &u, &d, n_, n_, n_, &cf);
        return cf;
    }
    double htc(int32_t id, double cf) const
    {
        double h = -1.0;
        CF_HG_USER(n_, n_, &id, n_, n_, &cp, &mu, &k, &rho, &u, &d, n_, n_, n_, &cf, &h);
        return h;
    }
    double refrig_cf(int32_t id, double x) const
    {
        double cf = -1.0;
        CF_USER_REFRIG(n_, n_, &id, n_, n_, &cp, &mu, &k, &rho, &u, &d, n_, n_, n_, &cf, n_, n_, &x, n_, n_, n_, n_, n_,
                       n_, n_, n_, n_, n_, n_, n_, n_, n_);
        return cf;
    }
};

TEST(PipeFriction, BlasiusAndRefrigerantFactors)
{
    setup_models(1);
    set_reals(1, {0.0, 0.0, 1.1, 1.2, 1.3});
    // Re = 1.2 (10 + 1e-6) 0.05 / 1.8e-5 = 33333.3367; 0.0791 / Re^0.25 (by hand)
    const double blasius = 0.0058540548371826115;
    EXPECT_NEAR(Air{}.cf(1), blasius, 1e-15);
    EXPECT_NEAR(Air{.u = 0.0}.cf(1), 0.32919770371776635, 1e-13);  // Re = 3.333e-3, still finite
    // liquid, vapour, two-phase at 2x = 0.5
    expect_near({Air{}.refrig_cf(1, 0.0), Air{}.refrig_cf(1, 1.0), Air{}.refrig_cf(1, 0.25)},
                {blasius * 1.1, blasius * 1.2, blasius * 0.5 * 1.3}, 1e-13);
    const int32_t id = 1;
    std::vector<double> s{-1, -1};
    USER_SET_ENERGY_SOURCE(&id, n_, n_, n_, n_, n_, n_, n_, n_, n_, n_, n_, n_, n_, n_, n_, n_, n_, n_, &s[0], &s[1]);
    EXPECT_EQ(s, (std::vector<double>{0, 0}));
}

TEST(PipeHeatTransfer, ColburnOrThreeRangeNusseltLawPlottedEveryHundredthCall)
{
    setup_models(3, 1);
    send_state({});
    set_reals(3, {1, 2, 3, 4, 5, 6});  // six reals: still the default law
    // Pr = 1.8e-5 * 1005 / 0.026 = 0.695769; 0.005 * 0.5 * 1.2 * 10 * 1005 * Pr^-0.66667 (by hand)
    EXPECT_NEAR(Air{}.htc(3, 0.005), 38.3982143818627, 1e-10);
    // Nu = 0.023 Re^0.8 above Re 1e4, Re^0.5 down to 2300, Re^0.33 below; L = 0.1;
    // Re' = 1.2 u 0.1 / 1.8e-5 = 6666.67 u; factors 0.023, 0.023e4^0.3, that * 2300^0.17 (by hand)
    set_reals(1, {0.023, 0.8, 0.5, 0.33, 1.0e4, 2300.0, 0.1});
    set_texts(1, {"Nusselt of the intake runner"}, 40);
    expect_near({Air{}.htc(1, 0.0), Air{.u = 1.0}.htc(1, 0.0), Air{.u = 0.2}.htc(1, 0.0)},
                {38.31502335641474, 6.857984075797245, 3.3648492894572533}, 1e-12);
    // three calls so far; the 100th stores (ln Re', ln Nu) of that call
    for (int k = 4; k < 100; ++k) Air{}.htc(1, 0.0);
    EXPECT_TRUE(drain_plot(1, 1).x.empty());
    Air{.u = 1.0}.htc(1, 0.0);
    const Plot p = drain_plot(1, 1);
    expect_near(p.x, {8.804875263868018}, 1e-13);  // ln 6666.67
    expect_near(p.y, {3.2724871800153226}, 1e-13);  // ln 26.3769
    EXPECT_EQ(p.labels(), labels("label", "Nusselt of the intake runner", "x-label", "y-label"));
    // limits in the wrong order: the range-1 law at every Reynolds number,
    // 0.023 * 1333.33^0.8 * Pr^0.333 * 0.026 / 0.1 (by hand)
    set_reals(2, {0.023, 0.8, 0.5, 0.33, 2300.0, 1.0e4, 0.1});
    EXPECT_NEAR(Air{.u = 0.2}.htc(2, 0.0), 1.67568773600619, 1e-11);
}

// R134a-like liquid in an 8 mm tube; the two-phase values are those of the saturated liquid and vapour.
struct Refrig {
    double t_fluid = 280.0, t_wall = 290.0;
    double cp = 1400.0, mu = 2e-4, k = 0.09, rho = 1200.0, u = 0.5, d = 0.008;
    double area = 5e-5, q_div = 1e-4, x = 0.0, pr = 0.25, q_in = 5.0;
    double rho_l = 1200.0, h_l = 2.0e5, mu_l = 2e-4, k_l = 0.09, cp_l = 1400.0, sigma = 0.008;
    double rho_v = 30.0, h_v = 4.0e5, mu_v = 1.2e-5, k_ref = 0.1, mdot = 0.03;
    double htc(int32_t id) const
    {
        double h = -1.0;
        CF_HG_USER_REFRIG(n_, n_, &id, &t_fluid, &t_wall, &cp, &mu, &k, &rho, &u, &d, n_, n_, n_, n_, &area, &q_div, &x,
                          &pr, &q_in, &rho_l, &h_l, &mu_l, &k_l, &cp_l, &sigma, &rho_v, &h_v, &mu_v, &k_ref, n_, &h,
                          &mdot);
        return h;
    }
};

TEST(RefrigerantHeatTransfer, SingleAndTwoPhaseBranchesWithTheirPlot)
{
    setup_models(2, 1);
    for (int32_t m : {1, 2}) {  // reference heat flux 2e4, nucleate factor 1, phase factors 1.1 / 1.3 / 1.2
        load_model(m, {m == 1 ? 1 : 999}, {20000.0, 1.0, 1.1, 1.2, 1.3});
        set_texts(m, {std::string(100, 'c')}, 132);  // curve name cut to the plot's 80 characters
    }
    // Re = 24000.05, Pr = 3.1111; Dittus-Boelter 0.023 Re^0.8 Pr^n k / D, n = 0.4 heated, 0.3 cooled;
    // two-phase at x = 0.3 with the liquid Nusselt number; all by hand
    const std::pair<int32_t, Refrig> cases[] = {
        {1, {}},                          // liquid, heated, * 1.1
        {1, {.t_fluid = 300.0}},          // liquid, cooled
        {1, {.x = 1.0}},                  // vapour, * 1.2
        // condensation: Nul [(1-x)^0.8 + 3.8 x^0.76 (1-x)^0.04 / pr^0.38] k / D * 1.3
        {1, {.t_fluid = 300.0, .x = 0.3}},
        {2, {.x = 0.3}},  // boiling, built-in law
        // G = 600, Fr = (G / rho_l)^2 / (9.807 D) = 3.19: nucleate + convective,
        // Bo = 8.33e-4, E = 10.159, S = 0.05944, hnb = 5.983, hl = 1300.82
        {1, {.x = 0.3}},
        // Fr = 0.0319: stratified, 3.9 Fr^0.24 (x/(1-x))^0.64 (rho_l/rho_v)^0.4 hl * 1.3
        {1, {.x = 0.3, .mdot = 0.003}},
        {1, {.mdot = -1e-6}},  // limit |mdot cp / A| = 1e-6 * 1400 / 5e-5
    };
    std::vector<double> h;
    for (const auto& [id, state] : cases) h.push_back(state.htc(id));
    expect_near(h, {1430.898869714132, 1277.371988954193, 1560.9805851426893, 4970.623006546506, 3020.115824834667,
                    17180.638401974295, 7333.957550001485, 28.0}, 1e-12);
    // identifier 1 has had 7 calls; the 100th and 200th store (SIM_TIME, h)
    for (int k = 8; k <= 200; ++k) {
        send_state({.sim_time_s = 0.01 * k});
        Refrig{.u = k == 100 ? 0.5 : 1.0}.htc(1);
    }
    const Plot p = drain_plot(1, 1);
    EXPECT_EQ(p.x, (std::vector<double>{0.01 * 100, 0.01 * 200}));
    EXPECT_NEAR(p.y.at(0), 1430.898869714132, 1e-9);  // the liquid value above
    EXPECT_EQ(p.labels(), padded("Heat Transfer User Model") + std::string(80, 'c') + padded("sec") + padded("W/m^2-K"));
}

std::vector<double> matrix(int32_t id, double omega)
{
    double t[4][2];
    TM_USER(t[0], t[1], t[2], t[3], &id, &omega);
    return {t[0][0], t[0][1], t[1][0], t[1][1], t[2][0], t[2][1], t[3][0], t[3][1]};
}

TEST(PipeTransferMatrix, StraightPipeAndIdentity)
{
    setup_models(4);
    set_texts(1, {"pipe"}, 4);
    set_reals(1, {0.5, 0.0, 0.04, 340.0});  // L 0.5, d 0.04, c 340
    set_texts(2, {"Pipe"}, 10);             // not the word: identity, reals not tested
    // kL = 628.3185 / 340 * 0.5 = 0.923998; A = 3.1415927 * 0.02^2; Z = 340 / A (by hand): cos kL, Z sin kL, sin kL / Z
    const double c = 0.6026346363792572, zs = 215914.25368037145, sz = 2.9494648184680466e-06;
    expect_near(matrix(1, 2.0 * 3.14159265358979 * 100.0), {c, 0, 0, zs, 0, sz, c, 0}, 1e-12);
    EXPECT_NEAR(c * c + zs * sz, 1.0, 1e-12);  // det = cos^2 + sin^2
    for (int32_t other : {2, 4, 0})  // other word, no texts, identifier below 1
        EXPECT_EQ(matrix(other, 1.0), (std::vector<double>{1, 0, 0, 0, 0, 0, 1, 0})) << other;
}

TEST(PipeModels, InputFaultsStopTheRun)
{
    const std::string refrig_error = " UserModel input error for refrigerant\n";
    expect_fatal({
        {[] { set_reals(1, {0.0, 0.0, 1.1, 1.2}), Air{}.refrig_cf(1, 0.5); },
         " Array bounds error: subscript 1 of array REALPARM has value 5, above its upper bound 4\n"},
        {[] { set_reals(5, {0.023, 0.8, 0.5, 0.33, 1.0e4, 2300.0, 0.1}), Air{}.htc(5, 0.0); },
         " Array bounds error: subscript 1 of array ICOUNT has value 5, above its upper bound 4\n"},
        // the refrigerant law without integers, with four reals, without texts
        {[] { set_reals(1, {1, 2, 3, 4, 5}), set_texts(1, {"r"}, 1), Refrig{}.htc(1); }, refrig_error},
        {[] { load_model(1, {1}, {1, 2, 3, 4}), set_texts(1, {"r"}, 1), Refrig{}.htc(1); }, refrig_error},
        {[] { load_model(1, {1}, {1, 2, 3, 4, 5}), Refrig{}.htc(1); }, refrig_error},
        {[] { set_texts(1, {"pipe"}, 8), matrix(1, 1.0); },  // the word, blank-padded, but no reals
         " UserModel error (TMBlackBox):  Check UserModel input\n"},
    }, 5);
}

}  // namespace
}  // namespace usersub::test
