#include "support/child.h"
#include "usermodels/model_setup.h"
#include "usersub.h"

#include <gtest/gtest.h>

#include <cmath>

namespace usersub::test {
namespace {

// Air in a 50 mm pipe: cp 1005, mu 1.8e-5, k 0.026, rho 1.2, u 10, D 0.05.
struct Air {
    double cp = 1005.0, mu = 1.8e-5, k = 0.026, rho = 1.2, u = 10.0, d = 0.05;
};

double cf_user(int32_t id, const Air& a)
{
    double cf = -1.0;
    CF_USER(nullptr, nullptr, &id, nullptr, nullptr, &a.cp, &a.mu, &a.k, &a.rho, &a.u, &a.d, nullptr, nullptr,
            nullptr, &cf);
    return cf;
}

double cf_hg_user(int32_t id, const Air& a, double cf)
{
    double h = -1.0;
    CF_HG_USER(nullptr, nullptr, &id, nullptr, nullptr, &a.cp, &a.mu, &a.k, &a.rho, &a.u, &a.d, nullptr,
               nullptr, nullptr, &cf, &h);
    return h;
}

double cf_user_refrig(int32_t id, const Air& a, double x)
{
    double cf = -1.0;
    const void* n = nullptr;
    CF_USER_REFRIG(n, n, &id, n, n, &a.cp, &a.mu, &a.k, &a.rho, &a.u, &a.d, n, n, n, &cf, n, n, &x, n, n, n,
                   n, n, n, n, n, n, n, n, n, n, n);
    return cf;
}

TEST(PipeFriction, BlasiusAndRefrigerantFactors)
{
    setup_models(1);
    set_reals(1, {0.0, 0.0, 1.1, 1.2, 1.3});
    const Air air;
    // Re = 1.2 (10 + 1e-6) 0.05 / 1.8e-5 = 33333.3367; 0.0791 / Re^0.25
    EXPECT_NEAR(cf_user(1, air), 0.0058540548371826115, 1e-15);
    Air still = air;
    still.u = 0.0;  // Re = 1.2 * 1e-6 * 0.05 / 1.8e-5 = 3.333e-3, still finite
    EXPECT_NEAR(cf_user(1, still), 0.32919770371776635, 1e-13);

    const double blasius = 0.0058540548371826115;
    EXPECT_NEAR(cf_user_refrig(1, air, 0.0), blasius * 1.1, 1e-15);        // liquid
    EXPECT_NEAR(cf_user_refrig(1, air, 1.0), blasius * 1.2, 1e-15);        // vapour
    EXPECT_NEAR(cf_user_refrig(1, air, 0.25), blasius * 0.5 * 1.3, 1e-15); // 2x = 0.5
}

TEST(PipeFriction, RefrigerantWithoutItsRealsStopsOnTheBoundsCheck)
{
    const auto r = run_in_child([] {
        setup_models(1);
        set_reals(1, {0.0, 0.0, 1.1, 1.2});
        cf_user_refrig(1, Air{}, 0.5);
    });
    EXPECT_EQ(r.exit_status, 1);
    EXPECT_EQ(r.output, " Array bounds error: subscript 1 of array REALPARM has value 5, above its upper bound 4\n");
}

TEST(PipeHeatTransfer, ReynoldsColburnByDefault)
{
    setup_models(1);
    set_reals(1, {1, 2, 3, 4, 5, 6});  // six reals: still the default law
    // Pr = 1.8e-5 * 1005 / 0.026 = 0.695769; 0.005 * 0.5 * 1.2 * 10 * 1005 * Pr^-0.66667
    EXPECT_NEAR(cf_hg_user(1, Air{}, 0.005), 38.3982143818627, 1e-10);
}

TEST(PipeHeatTransfer, ThreeRangeNusseltLawJoinsContinuouslyAndPlotsEveryHundredthCall)
{
    setup_models(2, 1);
    send_state({});
    // Nu = 0.023 Re^0.8 above Re 1e4, Re^0.5 down to 2300, Re^0.33 below; L = 0.1
    set_reals(1, {0.023, 0.8, 0.5, 0.33, 1.0e4, 2300.0, 0.1});
    set_texts(1, {"Nusselt of the intake runner"}, 40);
    Air a;
    // Re' = 1.2 u 0.1 / 1.8e-5 = 6666.67 u; factors 0.023, 0.023e4^0.3, that * 2300^0.17
    a.u = 10.0;
    EXPECT_NEAR(cf_hg_user(1, a, 0.0), 38.31502335641474, 1e-10);  // range 1
    a.u = 1.0;
    EXPECT_NEAR(cf_hg_user(1, a, 0.0), 6.857984075797245, 1e-11);  // range 2
    a.u = 0.2;
    EXPECT_NEAR(cf_hg_user(1, a, 0.0), 3.3648492894572533, 1e-11);  // range 3

    // Continuous at both limits: u giving Re' = 1e4 and 2300, a hair each side.
    for (double re : {1.0e4, 2300.0}) {
        a.u = re / 6666.666666666667;
        const double at = cf_hg_user(1, a, 0.0);
        a.u *= 1.0 + 1e-12;
        EXPECT_NEAR(cf_hg_user(1, a, 0.0) / at, 1.0, 1e-9) << re;
    }

    // Seven calls so far; the 100th stores (ln Re', ln Nu) of that call.
    a.u = 10.0;
    for (int k = 8; k < 100; ++k) cf_hg_user(1, a, 0.0);
    EXPECT_TRUE(drain_plot(1, 1).x.empty());
    a.u = 1.0;
    cf_hg_user(1, a, 0.0);
    Plot p = drain_plot(1, 1);
    ASSERT_EQ(p.x.size(), 1u);
    EXPECT_NEAR(p.x[0], 8.804875263868018, 1e-12);  // ln 6666.67
    EXPECT_NEAR(p.y[0], 3.2724871800153226, 1e-12); // ln 26.3769
    EXPECT_EQ(p.title, padded("label"));
    EXPECT_EQ(p.curve, padded("Nusselt of the intake runner"));
    EXPECT_EQ(p.xlabel, padded("x-label"));
    EXPECT_EQ(p.ylabel, padded("y-label"));

    // Limits in the wrong order: the range-1 law at every Reynolds number.
    set_reals(2, {0.023, 0.8, 0.5, 0.33, 2300.0, 1.0e4, 0.1});
    a.u = 0.2;  // 0.023 * 1333.33^0.8 * Pr^0.333 * 0.026 / 0.1
    EXPECT_NEAR(cf_hg_user(2, a, 0.0), 1.67568773600619, 1e-11);
}

TEST(PipeHeatTransfer, CountedIdentifiersAreOneToFour)
{
    const auto r = run_in_child([] {
        setup_models(5);
        set_reals(5, {0.023, 0.8, 0.5, 0.33, 1.0e4, 2300.0, 0.1});
        cf_hg_user(5, Air{}, 0.0);
    });
    EXPECT_EQ(r.exit_status, 1);
    EXPECT_EQ(r.output, " Array bounds error: subscript 1 of array ICOUNT has value 5, above its upper bound 4\n");
}

// R134a-like liquid in an 8 mm tube; the two-phase values are those of the
// saturated liquid and vapour.
struct Refrig {
    double t_fluid = 280.0, t_wall = 290.0;
    double cp = 1400.0, mu = 2e-4, k = 0.09, rho = 1200.0, u = 0.5, d = 0.008;
    double area = 5e-5, q_div = 1e-4, x = 0.0, pr = 0.25, q_in = 5.0;
    double rho_l = 1200.0, h_l = 2.0e5, mu_l = 2e-4, k_l = 0.09, cp_l = 1400.0, sigma = 0.008;
    double rho_v = 30.0, h_v = 4.0e5, mu_v = 1.2e-5, k_ref = 0.1, mdot = 0.03;
};

double refrig_htc(int32_t id, const Refrig& s)
{
    double h = -1.0;
    const void* n = nullptr;
    CF_HG_USER_REFRIG(n, n, &id, &s.t_fluid, &s.t_wall, &s.cp, &s.mu, &s.k, &s.rho, &s.u, &s.d, n, n, n, n,
                      &s.area, &s.q_div, &s.x, &s.pr, &s.q_in, &s.rho_l, &s.h_l, &s.mu_l, &s.k_l, &s.cp_l,
                      &s.sigma, &s.rho_v, &s.h_v, &s.mu_v, &s.k_ref, n, &h, &s.mdot);
    return h;
}

TEST(RefrigerantHeatTransfer, SingleAndTwoPhaseBranches)
{
    setup_models(2, 1);
    // reference heat flux 2e4, nucleate factor 1, phase factors 1.1 / 1.3 / 1.2
    for (int32_t m : {1, 2}) {
        set_reals(m, {20000.0, 1.0, 1.1, 1.2, 1.3});
        set_texts(m, {"evaporator"}, 10);
    }
    set_ints(1, {1});
    set_ints(2, {999});

    Refrig s;  // Re = 24000.024, Pr = 3.1111
    // x <= 0: 0.023 Re^0.8 Pr^n k / D * 1.1 with n = 0.4 heated, 0.3 cooled
    EXPECT_NEAR(refrig_htc(1, s), 1430.898869714132, 1e-9);
    s.t_fluid = 300.0;
    EXPECT_NEAR(refrig_htc(1, s), 1277.371988954193, 1e-9);
    // x >= 1: vapour factor 1.2, heated
    s.t_fluid = 280.0;
    s.x = 1.0;
    EXPECT_NEAR(refrig_htc(1, s), 1560.9805851426893, 1e-9);

    s.x = 0.3;
    s.t_fluid = 300.0;  // condensation: Nul [(1-x)^0.8 + 3.8 x^0.76 (1-x)^0.04 / pr^0.38] k / D * 1.3
    EXPECT_NEAR(refrig_htc(1, s), 4970.623006546506, 1e-8);
    s.t_fluid = 280.0;  // boiling, built-in law (INTPARM 999)
    EXPECT_NEAR(refrig_htc(2, s), 3020.115824834667, 1e-8);
    // G = 600, Fr = (G / rho_l)^2 / (9.807 D) = 3.19: nucleate + convective,
    // Bo = 8.33e-4, E = 10.159, S = 0.05944, hnb = 5.983, hl = 1300.82
    EXPECT_NEAR(refrig_htc(1, s), 17180.638401974295, 1e-7);
    s.mdot = 0.003;  // Fr = 0.0319: stratified, 3.9 Fr^0.24 (x/(1-x))^0.64 (rho_l/rho_v)^0.4 hl * 1.3
    EXPECT_NEAR(refrig_htc(1, s), 7333.957550001485, 1e-8);

    // Limit |mdot cp / A| = 1e-6 * 1400 / 5e-5 = 28, also in one phase.
    s.mdot = -1e-6;
    s.x = 0.0;
    EXPECT_DOUBLE_EQ(refrig_htc(1, s), 28.0);
}

TEST(RefrigerantHeatTransfer, PlotsTheHundredthCallAgainstSimulationTime)
{
    setup_models(1, 1);
    set_reals(1, {20000.0, 1.0, 1.1, 1.2, 1.3});
    set_ints(1, {1});
    set_texts(1, {std::string(100, 'c')}, 132);  // curve name cut to the plot's 80 characters
    Refrig s;
    RunState st;
    for (int k = 1; k <= 200; ++k) {
        st.sim_time_s = 0.01 * k;
        send_state(st);
        s.u = k == 100 ? 0.5 : 1.0;
        refrig_htc(1, s);
    }
    const Plot p = drain_plot(1, 1);
    ASSERT_EQ(p.x.size(), 2u);
    EXPECT_DOUBLE_EQ(p.x[0], 1.0);
    EXPECT_NEAR(p.y[0], 1430.898869714132, 1e-9);  // the liquid value above
    EXPECT_DOUBLE_EQ(p.x[1], 2.0);
    EXPECT_EQ(p.title, padded("Heat Transfer User Model"));
    EXPECT_EQ(p.curve, std::string(80, 'c'));
    EXPECT_EQ(p.xlabel, padded("sec"));
    EXPECT_EQ(p.ylabel, padded("W/m^2-K"));
}

TEST(RefrigerantHeatTransfer, MissingParametersStopTheRun)
{
    for (int missing = 0; missing < 3; ++missing) {
        const auto r = run_in_child([missing] {
            setup_models(1);
            if (missing != 0) set_ints(1, {1});
            set_reals(1, missing == 1 ? std::vector<double>{1, 2, 3, 4} : std::vector<double>{1, 2, 3, 4, 5});
            if (missing != 2) set_texts(1, {"r"}, 1);
            refrig_htc(1, Refrig{});
        });
        EXPECT_EQ(r.exit_status, 1);
        EXPECT_EQ(r.output, " UserModel input error for refrigerant\n") << missing;
    }
}

struct Matrix {
    double t[4][2];
};

Matrix transfer_matrix(int32_t id, double omega)
{
    Matrix m{};
    TM_USER(m.t[0], m.t[1], m.t[2], m.t[3], &id, &omega);
    return m;
}

TEST(PipeTransferMatrix, StraightPipeAndIdentity)
{
    setup_models(4);
    set_texts(1, {"pipe"}, 4);
    set_reals(1, {0.5, 0.0, 0.04, 340.0});  // L 0.5, d 0.04, c 340
    set_texts(2, {"Pipe"}, 10);           // not the word: identity, reals not tested
    set_texts(3, {"pipe"}, 8);            // the word, blank-padded, but no reals

    const double omega = 2.0 * 3.14159265358979 * 100.0;
    const Matrix m = transfer_matrix(1, omega);
    // kL = 628.3185 / 340 * 0.5 = 0.923998; A = 3.1415927 * 0.02^2; Z = 340 / A
    EXPECT_NEAR(m.t[0][0], 0.6026346363792564, 1e-12);
    EXPECT_NEAR(m.t[1][1], 215914.2536803716, 1e-6);
    EXPECT_NEAR(m.t[2][1], 2.9494648184680488e-06, 1e-18);
    EXPECT_EQ(m.t[0][1], 0.0);
    EXPECT_EQ(m.t[1][0], 0.0);
    EXPECT_EQ(m.t[2][0], 0.0);
    EXPECT_EQ(m.t[3][0], m.t[0][0]);
    // det = cos^2 - (iZ sin)(i sin / Z) = cos^2 + sin^2 = 1
    EXPECT_NEAR(m.t[0][0] * m.t[3][0] + m.t[1][1] * m.t[2][1], 1.0, 1e-12);

    for (int32_t id : {2, 4, 0}) {  // other word, no texts, identifier below 1
        const Matrix i = transfer_matrix(id, omega);
        EXPECT_EQ(i.t[0][0], 1.0);
        EXPECT_EQ(i.t[3][0], 1.0);
        EXPECT_EQ(i.t[0][1] + i.t[1][0] + i.t[1][1] + i.t[2][0] + i.t[2][1] + i.t[3][1], 0.0);
    }

    const auto r = run_in_child([omega] { transfer_matrix(3, omega); });
    EXPECT_EQ(r.exit_status, 1);
    EXPECT_EQ(r.output, " UserModel error (TMBlackBox):  Check UserModel input\n");
}

}  // namespace
}  // namespace usersub::test
