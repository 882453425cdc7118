#include "support/child.h"
#include "support/species_fixture.h"
#include "usermodels/model_setup.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace usersub::test {
namespace {

struct Knock {
    int32_t status;
    double index = -1.0;
    std::string out;
};

// One knock step of cylinder c, index output starting at -1; its output line
// is captured unless the step runs in a child that checks it.
bool g_capture = true;
Knock knock(int32_t id, int32_t c, int32_t status, double t_K, double dt, const std::vector<double>& fconc,
            double p_Pa = 3e6, double divisor = 4.0, double fraction = 0.2)
{
    Knock k{status, -1.0, {}};
    const auto n = static_cast<int32_t>(fconc.size());
    const void* u = nullptr;
    const auto step = [&] {
        KNOCKUSRMOD(&id, &c, &k.status, u, &n, &n, &n, &n, u, u, u, u, &p_Pa, &t_K, u, u, &dt, &divisor, &fraction,
                    u, fconc.data(), u, u, &k.index);
    };
    if (g_capture) {
        k.out = capture_stdout(step);
    } else {
        step();
    }
    return k;
}

double harness_output(int32_t isig)
{
    const int32_t h = 1;
    double v = 0.0;
    GET_USER_HARN_OUTPUT(&isig, &h, &v);
    return v;
}

// Fuel amounts per species of the fixture set, whose fuels are methane and
// liquid n-heptane: methane holds `fuel`, heptane none, the rest 1 each.
std::vector<double> fuel(double methane)
{
    std::vector<double> f(fx::kNSpecies, 1.0);
    f[fx::kCH4 - 1] = methane;
    f[fx::kC7H16Liquid - 1] = 0.0;
    return f;
}

void set_up(const std::vector<double>& reals)
{
    setup_models(2);
    load_model(1, {}, reals);
    load_model(2, {}, {1.0, 100.0, 1.0});
    load_species_fixture();
    const int32_t nsig = 30, nharn = 1;
    ALLOC_USER_HARN(&nsig, &nharn);
}

// Delay 0.001 x 1 x 1^1 x p^0 x exp(0) = 1e-3 s: 1/tau = 1000 1/s at any state.
TEST(KnockModel, IntegralOverStepsWithHarnessOutputAndMessage)
{
    set_up({1.0, 100.0, 1.0, 0.0, 0.0});
    auto k = knock(1, 3, 1, 1000.0, 1e-3, fuel(2e-10));  // 1000 x 0.5 x 1e-3 = 0.5
    EXPECT_EQ(k.status, 0);
    EXPECT_EQ(harness_output(3), 0.0);
    EXPECT_EQ(harness_output(4), -999.0);
    k = knock(1, 3, 0, 1000.0, 5e-4, fuel(2e-10));  // + 2000 x 0.5 x 5e-4: exactly 1.0, no knock
    EXPECT_EQ(k.status, 0);
    EXPECT_EQ(k.index, -1.0);
    EXPECT_EQ(k.out, "");
    // 1.1 and, not restarted, 1.2: index 0.8 x 6e7 x I x exp(-6) / 4.
    for (double want : {32719.528731995935, 35694.031343995564}) {
        k = knock(1, 3, -1, 1000.0, 1e-4, fuel(2e-10));
        EXPECT_EQ(k.status, -1);
        EXPECT_NEAR(k.index, want, 1e-8);
        EXPECT_EQ(harness_output(3), k.index);
        const std::string head = " Knock detected in Cylinder #  3  Knock Index:  ";
        ASSERT_EQ(k.out.substr(0, head.size()), head);
        EXPECT_NEAR(std::stod(k.out.substr(head.size())), want, 1e-8);
    }
    k = knock(1, 3, 1, 1000.0, 1e-3, fuel(1.0));  // a restart clears the integral
    EXPECT_EQ(k.status, 0);
    EXPECT_EQ(harness_output(3), 0.0);
}

TEST(KnockModel, DelayCorrelationAndSeparateCylinders)
{
    set_up({2.0, 90.0, 1.5, -1.7, 3800.0});
    // 1/tau = 1 / (0.002 x 0.9^1.5 x (p 9.869233e-6)^-1.7 x exp(3800 / T)) =
    // 4443.26480616943 at (4e6 Pa, 900 K), 19074.58602408221 at (6e6, 1100) (python).
    auto k7 = knock(1, 7, 1, 900.0, 2e-4, fuel(1.0), 4e6, 2.5, 0.25);
    auto k8 = knock(1, 8, 1, 1100.0, 1e-5, fuel(1.0), 6e6, 2.5, 0.25);  // own integral
    k7 = knock(1, 7, k7.status, 1100.0, 2e-4, fuel(1.0), 6e6, 2.5, 0.25);
    // I = 2.7961115636421074; index 0.75 x 6e7 x I x exp(-6000/1100) / 2.5.
    EXPECT_EQ(k7.status, -1);
    EXPECT_NEAR(k7.index, 215252.40301277334, 1e-6);
    EXPECT_EQ(k8.status, 0);
    EXPECT_EQ(harness_output(8), 0.0);
}

TEST(KnockModel, FuelCheckBeforeParameterCheckAndBounds)
{
    set_up({1.0, 100.0, 1.0, 0.0, 0.0});
    auto k = knock(2, 3, 1, 1000.0, 1e-3, fuel(5e-11));  // no fuel: -1, parameters unread
    EXPECT_EQ(k.status, -1);
    EXPECT_EQ(k.index, -1.0);
    g_capture = false;
    auto r = run_in_child([&] { knock(2, 3, 1, 1000.0, 1e-3, fuel(1.0)); });
    EXPECT_EQ(r.exit_status, 1);
    EXPECT_EQ(r.output, " UserModel error (Knock):  Check UserModel input\n");
    // Fuel amounts short of the ordinary species, a cylinder beyond 30.
    r = run_in_child([&] { knock(1, 3, 1, 1000.0, 1e-3, {1.0, 1.0, 1.0}); });
    EXPECT_EQ(r.output, " Array bounds error: subscript 1 of array FCONC has value 4, above its upper bound 3\n");
    r = run_in_child([&] { knock(1, 31, 1, 1000.0, 1e-3, fuel(1.0)); });
    EXPECT_EQ(r.output, " Array bounds error: subscript 1 of array TAUINVERSEOLD has value 31, above its upper bound 30\n");
}

struct Scavenge {
    int32_t status = 7;
    std::vector<double> c22 = std::vector<double>(3, -1.0), c24 = c22;
    double o23 = -1, o25 = -1, start = -1, end = -1, ratio = -1;
};

Scavenge scavenge(int32_t id, double crank_deg)
{
    Scavenge s;
    const int32_t n = 3;
    const double num = 3.0, den = 4.0, pass = 7.5, comp[] = {0.2, 0.3, 0.5};
    const void* u = nullptr;
    SCAVENGUSR(&id, u, &s.status, &n, &crank_deg, u, &num, &den, u, &pass, u, u, u, u, u, u, u, u, u, u, comp,
               s.c22.data(), &s.o23, s.c24.data(), &s.o25, &s.start, &s.end, &s.ratio);
    return s;
}

TEST(ScavengingModel, TreatmentsWindowAndMessages)
{
    setup_models(4);
    load_model(1, {1}, {300.0, 350.0});
    load_model(2, {2}, {300.0, 350.0});
    load_model(3, {}, {300.0, 350.0});
    load_model(4, {2}, {300.0});
    auto s = scavenge(1, -30.0);
    EXPECT_EQ(std::vector<double>({s.ratio, s.o23, s.o25, s.start, s.end}),
              std::vector<double>({0.75, 7.5, 7.5, 300.0, 350.0}));  // 3 / 4
    EXPECT_EQ(s.status, 0);
    EXPECT_EQ(s.c22[0], -1.0);
    // -30 counts as 330, -60 as 300: the window includes both ends.
    for (double angle : {-30.0, -60.0, 350.0}) {
        s = scavenge(2, angle);
        EXPECT_EQ(s.status, 2) << angle;
        EXPECT_EQ(s.ratio, 1.0);
        EXPECT_EQ(s.c22, (std::vector<double>{0.2, 0.3, 0.5}));
        EXPECT_EQ(s.c24, s.c22);
    }
    for (double angle : {-5.0, 10.0}) EXPECT_EQ(scavenge(2, angle).status, 7) << angle;  // left as passed
    auto r = run_in_child([] { scavenge(3, 0.0); });
    EXPECT_EQ(r.exit_status, 1);
    EXPECT_EQ(r.output, " No integer parameters defined for user model\n");
    r = run_in_child([] { scavenge(4, 0.0); });
    EXPECT_EQ(r.exit_status, 1);
    EXPECT_EQ(r.output, " \"UserModel\" error (Scavenging): Check \"UserModel\" input\n");
}

}  // namespace
}  // namespace usersub::test
