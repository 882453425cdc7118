#include "support/species_fixture.h"
#include "usermodels/model_setup.h"

namespace usersub::test {
namespace {

// Fuel amounts per species of the fixture set, whose fuels are methane and
// liquid n-heptane: methane holds `methane`, heptane none, the rest 1 each.
std::vector<double> fuel(double methane)
{
    std::vector<double> f(fx::kNSpecies, 1.0);
    f[fx::kCH4 - 1] = methane;
    f[fx::kC7H16Liquid - 1] = 0.0;
    return f;
}

double harness_output(int32_t isig)
{
    const int32_t h = 1;
    double v = 0.0;
    GET_USER_HARN_OUTPUT(&isig, &h, &v);
    return v;
}

// One knock step of a cylinder; the knock index output starts at -1.
struct Knock {
    int32_t id = 1, c = 3, status = 1;
    double t_K = 1000.0, dt_s = 1e-3, p_Pa = 3e6, divisor = 4.0, fraction = 0.2;
    std::vector<double> fconc = fuel(1.0);
    double index = -1.0;

    void step()
    {
        const auto n = static_cast<int32_t>(fconc.size());
        KNOCKUSRMOD(&id, &c, &status, n_, &n, &n, &n, &n, n_, n_, n_, n_, &p_Pa, &t_K, n_, n_, &dt_s, &divisor,
                    &fraction, n_, fconc.data(), n_, n_, &index);
    }
    std::string printed() { return capture_stdout([this] { step(); }); }
    std::vector<double> result() const { return {double(status), index, harness_output(c)}; }  // harness signal c
};

// Model 1: delay 0.001 x 1 x 1^1 x p^0 x exp(0) = 1e-3 s, so 1/tau = 1000 1/s
// at any state; model 2: too few reals; model 3: a full delay correlation.
TEST(KnockModel, IntegralHarnessOutputMessageAndChecks)
{
    setup_models(3);
    load_model(1, {}, {1.0, 100.0, 1.0, 0.0, 0.0});
    load_model(2, {}, {1.0, 100.0, 1.0});
    load_model(3, {}, {2.0, 90.0, 1.5, -1.7, 3800.0});
    load_species_fixture();
    const int32_t nsig = 30, nharn = 1;
    ALLOC_USER_HARN(&nsig, &nharn);
    Knock k{.fconc = fuel(2e-10)};  // just above the fuel threshold
    EXPECT_EQ(k.printed(), "");     // 1000 x 0.5 x 1e-3 = 0.5
    EXPECT_EQ(k.result(), (std::vector<double>{0, -1, 0}));
    k.dt_s = 5e-4;
    EXPECT_EQ(k.printed(), "");  // + 2000 x 0.5 x 5e-4: exactly 1.0, no knock
    EXPECT_EQ(k.result(), (std::vector<double>{0, -1, 0}));
    // 1.1 and, not restarted, 1.2: index 0.8 x 6e7 x I x exp(-6) / 4.
    k.dt_s = 1e-4;
    for (double want : {32719.528731995935, 35694.031343995564}) {
        const std::string out = k.printed(), head = " Knock detected in Cylinder #  3  Knock Index:  ";
        expect_near(k.result(), {-1, want, want}, 1e-13);
        ASSERT_EQ(out.substr(0, head.size()), head);
        EXPECT_NEAR(std::stod(out.substr(head.size())), want, 1e-8);
    }
    k.status = 1;  // a restart clears the integral
    k.step();
    EXPECT_EQ(k.result()[0] + k.result()[2], 0.0);
    // 1/tau = 1 / (0.002 x 0.9^1.5 x (p 9.869233e-6)^-1.7 x exp(3800 / T)) =
    // 4443.26480616943 at (4e6 Pa, 900 K), 19074.58602408221 at (6e6, 1100) (python).
    Knock c7{.id = 3, .c = 7, .t_K = 900.0, .dt_s = 2e-4, .p_Pa = 4e6, .divisor = 2.5, .fraction = 0.25};
    Knock c8{.id = 3, .c = 8, .t_K = 1100.0, .dt_s = 1e-5, .p_Pa = 6e6};
    c7.step();
    c8.step();  // an integral of its own
    c7.t_K = 1100.0, c7.p_Pa = 6e6;
    c7.printed();
    // I = 2.7961115636421074; index 0.75 x 6e7 x I x exp(-6000/1100) / 2.5.
    expect_near(c7.result(), {-1, 215252.40301277334, 215252.40301277334}, 1e-13);
    EXPECT_EQ(c8.result(), (std::vector<double>{0, -1, 0}));
    Knock dry{.id = 2, .fconc = fuel(5e-11)};
    dry.step();  // no fuel: -1 before the parameters are counted
    EXPECT_EQ(dry.result(), (std::vector<double>{-1, -1, 0}));  // signal 3 as the restart left it
    expect_stop([] { Knock{.id = 2}.step(); }, " UserModel error (Knock):  Check UserModel input\n");
    // Fuel amounts short of the ordinary species, a cylinder beyond 30.
    expect_stop([] { Knock{.fconc = {1.0, 1.0, 1.0}}.step(); },
                " Array bounds error: subscript 1 of array FCONC has value 4, above its upper bound 3\n");
    expect_stop([] { Knock{.c = 31}.step(); },
                " Array bounds error: subscript 1 of array TAUINVERSEOLD has value 31, above its upper bound 30\n");
}

// Treatment, status and outputs 22..28: copies of the composition, two passed values, window and ratio.
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
    SCAVENGUSR(&id, n_, &s.status, &n, &crank_deg, n_, &num, &den, n_, &pass, n_, n_, n_, n_, n_, n_, n_, n_, n_, n_,
               comp, s.c22.data(), &s.o23, s.c24.data(), &s.o25, &s.start, &s.end, &s.ratio);
    return s;
}

TEST(ScavengingModel, TreatmentsWindowAndMessages)
{
    setup_models(4);
    load_model(1, {1}, {300.0, 350.0});
    load_model(2, {2}, {300.0, 350.0});
    load_model(3, {}, {300.0, 350.0});
    load_model(4, {2}, {300.0});
    auto s = scavenge(1, -30.0);  // ratio 3 / 4
    EXPECT_EQ(std::vector<double>({s.ratio, s.o23, s.o25, s.start, s.end, double(s.status), s.c22[0]}),
              std::vector<double>({0.75, 7.5, 7.5, 300.0, 350.0, 0.0, -1.0}));
    s = scavenge(2, -60.0);  // counts as 300: the window includes its ends
    EXPECT_EQ(std::vector<double>({s.ratio, s.o23, s.start, s.end, double(s.status)}),
              std::vector<double>({1.0, -1.0, 300.0, 350.0, 2.0}));
    EXPECT_EQ(s.c22, (std::vector<double>{0.2, 0.3, 0.5}));
    EXPECT_EQ(s.c24, s.c22);
    for (double angle : {-30.0, 350.0}) EXPECT_EQ(scavenge(2, angle).status, 2) << angle;
    for (double angle : {-5.0, 10.0}) EXPECT_EQ(scavenge(2, angle).status, 7) << angle;  // left as passed
    expect_stop([] { scavenge(3, 0.0); }, " No integer parameters defined for user model\n");
    expect_stop([] { scavenge(4, 0.0); }, " \"UserModel\" error (Scavenging): Check \"UserModel\" input\n");
}

}  // namespace
}  // namespace usersub::test
