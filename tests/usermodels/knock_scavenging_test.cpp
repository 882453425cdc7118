#include "support/child.h"
#include "support/species_fixture.h"
#include "usermodels/model_setup.h"
#include "usersub.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace usersub::test {
namespace {

struct KnockCall {
    int32_t status = 0;
    double index = -1.0;
};

// One knock step of cylinder c; the knock index output starts at -1.
KnockCall knock(int32_t id, int32_t c, int32_t status, double p, double t, double dt,
                const std::vector<double>& fconc, double divisor = 4.0, double fraction = 0.2)
{
    KnockCall k;
    k.status = status;
    const auto n = static_cast<int32_t>(fconc.size());
    KNOCKUSRMOD(&id, &c, &k.status, nullptr, &n, &n, &n, &n, nullptr, nullptr, nullptr, nullptr, &p, &t, nullptr,
                nullptr, &dt, &divisor, &fraction, nullptr, fconc.data(), nullptr, nullptr, &k.index);
    return k;
}

double harness_output(int32_t isig)
{
    const int32_t h = 1;
    double v = 0.0;
    GET_USER_HARN_OUTPUT(&isig, &h, &v);
    return v;
}

// The fixture's set: methane (3) and liquid n-heptane (4) are the fuels among
// the five ordinary species; 13 products follow.
void load_species() { load_species_fixture(); }

// Fuel amounts per species: only 2e-10 of methane is fuel.
std::vector<double> fuel_amounts(double methane)
{
    std::vector<double> f(fx::kNSpecies, 1.0);
    f[fx::kCH4 - 1] = methane;
    f[fx::kC7H16Liquid - 1] = 0.0;
    return f;
}
const std::vector<double> kFuel = fuel_amounts(2e-10);

const std::string kKnockLine = " Knock detected in Cylinder #  3  Knock Index:  ";

// The index printed after the fixed part of a knock line.
double printed_index(const std::string& out)
{
    EXPECT_EQ(out.substr(0, kKnockLine.size()), kKnockLine);
    return std::stod(out.substr(kKnockLine.size()));
}

// Delay 0.001 x 1 x 1^1 x p^0 x exp(0) = 1e-3 s: 1/tau = 1000 1/s at any state.
TEST(KnockModel, IntegralOverStepsWithHarnessOutputAndMessage)
{
    allocate_models(1);
    load_model(1, {}, {1.0, 100.0, 1.0, 0.0, 0.0});
    load_species();
    const int32_t nsig = 30, nharn = 1;
    ALLOC_USER_HARN(&nsig, &nharn);

    // Step 1 starts the integral: 1000 x 0.5 x 1e-3 = 0.5.
    auto k = knock(1, 3, 1, 3e6, 1000.0, 1e-3, kFuel);
    EXPECT_EQ(k.status, 0);
    EXPECT_EQ(harness_output(3), 0.0);
    EXPECT_EQ(harness_output(4), -999.0);  // other cylinders untouched
    // Step 2: + (1000 + 1000) x 0.5 x 5e-4 = 1.0 exactly: not knock, no line.
    std::string out = capture_stdout([&] { k = knock(1, 3, k.status, 3e6, 1000.0, 5e-4, kFuel); });
    EXPECT_EQ(k.status, 0);
    EXPECT_EQ(k.index, -1.0);
    EXPECT_EQ(out, "");
    // Step 3: 1.1; index 0.8 x 6e7 x 1.1 x exp(-6) / 4 = 32719.528731995935.
    out = capture_stdout([&] { k = knock(1, 3, k.status, 3e6, 1000.0, 1e-4, kFuel); });
    EXPECT_EQ(k.status, -1);
    EXPECT_NEAR(k.index, 32719.528731995935, 1e-8);
    EXPECT_EQ(harness_output(3), k.index);
    EXPECT_NEAR(printed_index(out), 32719.528731995935, 1e-8);
    // Until the host restarts it, the integral runs on and knock is reported again: 1.2.
    out = capture_stdout([&] { k = knock(1, 3, k.status, 3e6, 1000.0, 1e-4, kFuel); });
    EXPECT_NEAR(k.index, 35694.031343995564, 1e-8);
    EXPECT_NEAR(printed_index(out), 35694.031343995564, 1e-8);
    // A restart clears the integral: 0.5 again, the harness output back to 0.
    k = knock(1, 3, 1, 3e6, 1000.0, 1e-3, kFuel);
    EXPECT_EQ(k.status, 0);
    EXPECT_EQ(harness_output(3), 0.0);
}

TEST(KnockModel, DelayCorrelationAndSeparateCylinders)
{
    allocate_models(1);
    load_model(1, {}, {2.0, 90.0, 1.5, -1.7, 3800.0});
    load_species();
    const int32_t nsig = 30, nharn = 1;
    ALLOC_USER_HARN(&nsig, &nharn);
    // 1/tau = 1 / (0.002 x 0.9^1.5 x (p 9.869233e-6)^-1.7 x exp(3800 / T)):
    // 4443.26480616943 at (4e6 Pa, 900 K), 19074.58602408221 at (6e6, 1100).
    auto k7 = knock(1, 7, 1, 4e6, 900.0, 2e-4, kFuel, 2.5, 0.25);
    EXPECT_EQ(k7.status, 0);  // 0.444326480616943
    // Cylinder 8 in between keeps its own integral (no knock with one short step).
    auto k8 = knock(1, 8, 1, 6e6, 1100.0, 1e-5, kFuel, 2.5, 0.25);
    EXPECT_EQ(k8.status, 0);
    // Cylinder 7 step 2: 2.7961115636421074; index 0.75 x 6e7 x I x exp(-6000/1100) / 2.5.
    capture_stdout([&] { k7 = knock(1, 7, k7.status, 6e6, 1100.0, 2e-4, kFuel, 2.5, 0.25); });
    EXPECT_EQ(k7.status, -1);
    EXPECT_NEAR(k7.index, 215252.40301277334, 1e-6);
    EXPECT_EQ(harness_output(7), k7.index);
    EXPECT_EQ(harness_output(8), 0.0);
}

TEST(KnockModel, FuelCheckComesBeforeTheParameterCheck)
{
    allocate_models(2);
    load_model(1, {}, {1.0, 100.0, 1.0, 0.0});  // one real too few
    load_model(2, {}, {1.0, 100.0, 1.0, 0.0, 0.0});
    load_species();
    // The fuels hold 5e-11 together, the other species much more: no fuel,
    // status -1, parameters unread.
    auto k = knock(1, 3, 1, 3e6, 1000.0, 1e-3, fuel_amounts(5e-11));
    EXPECT_EQ(k.status, -1);
    EXPECT_EQ(k.index, -1.0);

    auto r = run_in_child([&] { knock(1, 3, 1, 3e6, 1000.0, 1e-3, kFuel); });
    EXPECT_EQ(r.exit_status, 1);
    EXPECT_EQ(r.output, " UserModel error (Knock):  Check UserModel input\n");
    r = run_in_child([&] { knock(1, 3, 0, 3e6, 1000.0, 1e-3, kFuel); });
    EXPECT_EQ(r.output, " UserModel error (Knock):  Check UserModel input\n");

    // Fewer fuel amounts than ordinary species, a cylinder beyond 30, and no
    // harness store to write to: each the array-bounds diagnostic.
    r = run_in_child([&] { knock(2, 3, 1, 3e6, 1000.0, 1e-3, {1.0, 1.0, 1.0}); });
    EXPECT_EQ(r.exit_status, 1);
    EXPECT_EQ(r.output, " Array bounds error: subscript 1 of array FCONC has value 4, above its upper bound 3\n");
    r = run_in_child([&] { knock(2, 31, 1, 3e6, 1000.0, 1e-3, kFuel); });
    EXPECT_EQ(r.output,
              " Array bounds error: subscript 1 of array TAUINVERSEOLD has value 31, above its upper bound 30\n");
    r = run_in_child([&] { knock(2, 3, 1, 3e6, 1000.0, 1e-3, kFuel); });
    EXPECT_EQ(r.exit_status, 1);
    EXPECT_NE(r.output.find("array GACTU"), std::string::npos) << r.output;
}

struct ScavengeCall {
    int32_t status = 7;
    std::vector<double> comp22 = std::vector<double>(3, -1.0), comp24 = std::vector<double>(3, -1.0);
    double out23 = -1.0, out25 = -1.0, start = -1.0, end = -1.0, ratio = -1.0;
};

ScavengeCall scavenge(int32_t id, double crank_deg, double num = 3.0, double den = 4.0, double pass = 7.5)
{
    ScavengeCall s;
    const int32_t n = 3;
    const std::vector<double> comp{0.2, 0.3, 0.5};
    SCAVENGUSR(&id, nullptr, &s.status, &n, &crank_deg, nullptr, &num, &den, nullptr, &pass, nullptr, nullptr,
               nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, comp.data(),
               s.comp22.data(), &s.out23, s.comp24.data(), &s.out25, &s.start, &s.end, &s.ratio);
    return s;
}

TEST(ScavengingModel, TreatmentsWindowAndMessages)
{
    allocate_models(4);
    load_model(1, {1}, {300.0, 350.0});
    load_model(2, {2}, {300.0, 350.0});
    load_model(3, {}, {300.0, 350.0});
    load_model(4, {2}, {300.0});

    auto s = scavenge(1, -30.0);
    EXPECT_EQ(s.status, 0);
    EXPECT_EQ(s.ratio, 0.75);  // 3 / 4
    EXPECT_EQ(s.out23, 7.5);
    EXPECT_EQ(s.out25, 7.5);
    EXPECT_EQ(s.start, 300.0);
    EXPECT_EQ(s.end, 350.0);
    EXPECT_EQ(s.comp22, std::vector<double>(3, -1.0));  // compositions untouched

    const std::vector<double> comp{0.2, 0.3, 0.5};
    // -30 counts as 330, -60 as 300 (the window includes its ends), 350 itself.
    for (double angle : {-30.0, -60.0, 350.0}) {
        s = scavenge(2, angle);
        EXPECT_EQ(s.status, 2) << angle;
        EXPECT_EQ(s.ratio, 1.0);
        EXPECT_EQ(s.comp22, comp);
        EXPECT_EQ(s.comp24, comp);
        EXPECT_EQ(s.out23, -1.0);
    }
    for (double angle : {-5.0, 10.0, 330.0 - 360.0 - 360.0}) {  // 355, 10, -390 + 360 = -30
        EXPECT_EQ(scavenge(2, angle).status, 7) << angle;  // left as the host passed it
    }

    auto r = run_in_child([] { scavenge(3, 0.0); });
    EXPECT_EQ(r.exit_status, 1);
    EXPECT_EQ(r.output, " No integer parameters defined for user model\n");
    r = run_in_child([] { scavenge(4, 0.0); });
    EXPECT_EQ(r.exit_status, 1);
    EXPECT_EQ(r.output, " \"UserModel\" error (Scavenging): Check \"UserModel\" input\n");
}

}  // namespace
}  // namespace usersub::test
