#include "support/child.h"
#include "usersub.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using usersub::test::capture_stdout;
using usersub::test::run_in_child;

void set_gates(int32_t int3, int32_t int4, int32_t suppress = 0)
{
    const int32_t z = 0, step = 1, l = 0;
    const double r = 0.0;
    SEND_USER_STATE(&z, &z, &int3, &int4, &step, &z, &r, &r, &r, &l);
    SEND_USER_PLOTSUPP(&suppress);
}

void store(int32_t model, int32_t plot, double x, double y, const std::string& title = "Title")
{
    const std::string curve = "cyl 1", xl = "Crank Angle", yl = "N-m";
    USERPLOTSTORE(&model, &plot, title.data(), static_cast<intptr_t>(title.size()), curve.data(), 5,
                  xl.data(), 11, yl.data(), 3, &x, &y);
}

struct Drained {
    int32_t n = -1;
    std::vector<double> x = std::vector<double>(201), y = std::vector<double>(201);
};

Drained drain(int32_t model, int32_t plot)
{
    Drained d;
    GETUSERPLTDATA(&model, &plot, &d.n, d.x.data(), d.y.data());
    return d;
}

std::vector<std::string> labels(int32_t model, int32_t plot, intptr_t len = 80)
{
    std::vector<std::string> l(4, std::string(static_cast<std::size_t>(len), '?'));
    GETUSERPLTLABEL(&model, &plot, l[0].data(), len, l[1].data(), len, l[2].data(), len, l[3].data(), len);
    return l;
}

// Two models; model 1 has plots with status 1 (on), 0 (off), 5 (on, labels never taken).
void setup()
{
    const int32_t n = 2, m = 1, three = 3;
    ALLOCATE_USER_PLOT(&n);
    const int32_t status[] = {1, 0, 5};
    int32_t ierr = 9;
    LOAD_USER_PLOT(&m, &three, status, &ierr);
    ASSERT_EQ(ierr, 0);
}

TEST(UserPlots, GatesStatusAndLabels)
{
    setup();
    for (auto [int3, int4, supp] : {std::tuple{0, 0, 0}, {1, 1, 0}, {0, 1, 1}}) {
        set_gates(int3, int4, supp);
        store(1, 1, 1.0, 2.0, "Gated");
    }
    EXPECT_EQ(drain(1, 1).n, 0);
    EXPECT_EQ(labels(1, 1)[0], std::string(80, ' '));  // a gated point takes no labels

    set_gates(0, 1);
    store(1, 1, 1.0, 10.0, "Torque");
    store(1, 1, 2.0, 20.0, "Other");  // labels come from the first stored point only
    auto l = labels(1, 1);
    EXPECT_EQ(l[0], "Torque" + std::string(74, ' '));
    EXPECT_EQ(l[1], "cyl 1" + std::string(75, ' '));
    EXPECT_EQ(l[2], "Crank Angle" + std::string(69, ' '));
    EXPECT_EQ(l[3], "N-m" + std::string(77, ' '));

    store(1, 2, 1.0, 1.0);           // off
    store(1, 3, 1.0, 1.0, "Five");   // status 5: stored, labels never taken
    store(1, 4, 1.0, 1.0);           // iplot = NPLOT + 1: dropped
    store(2, 1, 1.0, 1.0);           // model without LOAD_USER_PLOT: dropped
    EXPECT_EQ(drain(1, 2).n, 0);
    EXPECT_EQ(drain(1, 3).n, 1);
    EXPECT_EQ(labels(1, 3)[0], std::string(80, ' '));

    Drained d = drain(1, 1);
    ASSERT_EQ(d.n, 2);
    EXPECT_EQ(d.x[0], 1.0);
    EXPECT_EQ(d.y[1], 20.0);
    EXPECT_EQ(drain(1, 1).n, 0);  // drained
}

TEST(UserPlots, FullBufferIsThinnedWithWarning)
{
    setup();
    set_gates(0, 1);
    EXPECT_EQ(capture_stdout([] { for (int k = 1; k <= 201; ++k) store(1, 1, k, -k); }), "");
    const std::string warning = capture_stdout([] { store(1, 1, 202, -202); });
    EXPECT_EQ(warning, "\n"
                       " W*** Plot data for user model exceeded buffer size\n"
                       "      Not all data will be stored\n"
                       "      User model:  1\n"
                       "      Plot:        1\n");
    // 99 more bring it to 201 again; the next point thins again.
    EXPECT_EQ(capture_stdout([] { for (int k = 203; k <= 301; ++k) store(1, 1, k, -k); }), "");
    EXPECT_EQ(capture_stdout([] { store(1, 1, 302, -302); }), warning);

    Drained d = drain(1, 1);
    ASSERT_EQ(d.n, 102);
    // After the first thinning: 1, 3, ..., 201, 202, ..., 301 (201 points); the
    // second keeps every second one of those, then 302.
    std::vector<double> first;
    for (int k = 1; k <= 201; k += 2) first.push_back(k);
    for (int k = 202; k <= 301; ++k) first.push_back(k);
    for (std::size_t i = 0; i < 101; ++i) {
        EXPECT_EQ(d.x[i], first[2 * i]) << i;
        EXPECT_EQ(d.y[i], -first[2 * i]) << i;
    }
    EXPECT_EQ(d.x[101], 302.0);
}

TEST(UserPlots, TableLimitsAndSecondAllocation)
{
    setup();
    const int32_t m = 3, one = 1;
    int32_t ierr = 0;
    LOAD_USER_PLOT(&m, &one, &one, &ierr);
    EXPECT_EQ(ierr, -1);

    auto twice = run_in_child([] { setup(); });
    EXPECT_EQ(twice.exit_status, 1);
    EXPECT_EQ(twice.output, " Allocation error: USER_PLOT_TABLE is already allocated\n");

    auto bad_plot = run_in_child([] { (void)drain(1, 0); });
    EXPECT_EQ(bad_plot.exit_status, 1);
    EXPECT_NE(bad_plot.output.find("array PLOT_STATUS has value 0, below its lower bound 1"), std::string::npos);
}

}  // namespace
