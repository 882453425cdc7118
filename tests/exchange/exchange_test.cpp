#include "exchange/run_info.h"
#include "exchange/user_models.h"
#include "usermodels/model_setup.h"
#include "usersub.h"

#include <gtest/gtest.h>

#include <array>
#include <fstream>
#include <limits>
#include <string>
#include <vector>

namespace usersub::exchange {
namespace {

using namespace usersub::test;

TEST(UserModels, CountsFillValuesTextsAndHostIndices)
{
    const int32_t n = 2, one = 1, two = 2, four = 4, five = 5, neg = -3;
    ALLOCATE_USER_STRUCTURE(&n);
    const double reals[] = {1.5, 2.5};
    set_ints(1, {4, 5, 6});
    set_reals(1, {1.5, 2.5, 3.5});
    set_reals(1, {3.5});  // a reload replaces the array
    ALLOCATE_USER_RLTARRAY(&one, &four);
    SETUSERRLTVALUE(&one, &two, reals);
    LOAD_USER_INTARRAY(&two, &neg, &n);  // a negative count gives an empty array

    UserModelArrays a;
    load_user_model_arrays(1, a);
    ASSERT_EQ((std::array{a.nint, a.nreal, a.nrlt}), (std::array{3, 1, 4}));
    EXPECT_EQ(a.intparm(3), 6);
    EXPECT_EQ(a.realparm(1), 3.5);
    EXPECT_EQ((std::array{a.rltarray(2), a.rltarray(3)}), (std::array{2.5, -1e20}));  // unset: -1e20
    // Fresh records, and identifiers below 1, give zero counts and empty views.
    for (int id : {2, 0}) {
        load_user_model_arrays(id, a);
        EXPECT_TRUE(a.nint + a.nreal + a.nchar + a.nrlt == 0 && a.intparm.empty() && a.rltarray.empty()) << id;
    }

    // Texts are padded to 132 (or cut); the exported fetch describes them to the host.
    LOAD_USER_CHARARRAY(&two, &two, "0123456789abcdefghij", 10);
    int32_t nint = -1, nreal = -1, nchar = -1, nrlt = -1;
    usersub_array_view vi, vr, vc, vt;
    LOAD_USER_MODEL_ARRAYS(&two, &nint, &nreal, &nchar, &nrlt, &vi, &vr, &vc, &vt);
    EXPECT_EQ((std::array{nint, nreal, nchar, nrlt}), (std::array{0, 0, 2, 0}));
    EXPECT_EQ(vi.base, 0);  // an empty array has no data
    EXPECT_EQ((std::array{vc.extent, vc.elem_len, vc.stride}), (std::array<intptr_t, 3>{2, 132, 132}));
    const char* texts = reinterpret_cast<const char*>(vc.base);
    EXPECT_EQ(std::string(texts, 264), "0123456789" + std::string(122, ' ') + "abcdefghij" + std::string(122, ' '));

    // Indices the host gets wrong never reach memory outside the table.
    expect_child_stop([] { set_ints(3, {1}); }, bounds_error("USER_MODEL_TABLE", 3, 2));
    expect_child_stop([&] { SETUSERRLTVALUE(&one, &five, reals); }, bounds_error("RLTARRAY", 5, 4));
    expect_child_stop([&] { ALLOCATE_USER_STRUCTURE(&n); },
                      " Allocation error: USER_MODEL_TABLE is already allocated\n");
}

// Storage that cannot be had ends the run as a fatal error naming the entry
// point; no exception crosses the host boundary.
TEST(OutOfMemory, SizingEntryPointsStopTheRunWithAMessage)
{
    static constexpr int32_t kHuge = std::numeric_limits<int32_t>::max(), one = 1;
    // 2^31 x 2^31 port entries are past any addressable size.
    expect_child_stop([] { UFD_ALLOC(&kHuge, &kHuge, &one); }, " Allocation error: out of memory in UFD_ALLOC\n");
#if defined(__SANITIZE_ADDRESS__)
    GTEST_SKIP() << "the sanitizer's allocator reserves instead of refusing";
#else
    // 2^31 records (about 240 GB) are refused unless the kernel overcommits
    // without limit, in which case filling them would exhaust the machine.
    int overcommit = 0;
    std::ifstream("/proc/sys/vm/overcommit_memory") >> overcommit;
    if (overcommit == 1) GTEST_SKIP() << "the kernel overcommits without limit";
    expect_child_stop([] { ALLOCATE_USER_STRUCTURE(&kHuge); },
                      " Allocation error: out of memory in ALLOCATE_USER_STRUCTURE\n");
#endif
}

void push_state(int32_t a1, int32_t a3, int32_t a4, int32_t a6 = 0, int32_t l10 = 0)
{
    const int32_t a2 = 22, a5 = 55;
    const double time = 0.5, angle = 180.0, third = -3.0;
    SEND_USER_STATE(&a1, &a2, &a3, &a4, &a5, &a6, &time, &angle, &third, &l10);
}

TEST(RunInfo, OutputsComeInTheirOwnOrder)
{
    push_state(1, 33, 44, 7, 1);
    const int32_t i1 = 101, i2 = 102, i3 = 103;
    const std::string longtext(300, 'x');
    SEND_USER_GLOBAL(longtext.data(), 300, &i1, &i2, &i3);  // kept cut to 255
    for (int32_t key : {1, 2, 3, 4}) {
        const int32_t value = 1000 + key;
        SEND_USER_GLOBAL2(&key, &value);  // key 4 is ignored
    }
    std::array<int32_t, 12> v{};
    std::array<double, 3> r{};
    char text[260];
    GET_GLOBAL_INFO(&v[0], &v[1], &v[2], &v[3], &v[4], &v[5], &v[6], &v[7], &v[8], &v[9], &v[10], &v[11], &r[0],
                    &r[1], &r[2], text, sizeof text);
    EXPECT_EQ(v, (std::array<int32_t, 12>{1, 33, 44, 101, 102, 103, 55, 0, 22, 1001, 1002, 1003}));
    EXPECT_EQ(r, (std::array{0.5, -3.0, 180.0}));  // time, third real, crank angle
    EXPECT_EQ(std::string(text, 260), std::string(255, 'x') + "     ");
    GET_GLOBAL_INFO(nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr,
                    nullptr, nullptr, nullptr, nullptr, nullptr, 10);  // every output null

    push_state(1, 33, 44, 7, 2);  // logical false: bit 0 clear
    EXPECT_EQ(global_info().state_int6, 7);
    push_state(2, 33, 44, 7, 1);
    EXPECT_EQ(global_info().state_int6, 7);
}

void store(int32_t model, int32_t plot, double x, double y, const std::string& title = "Title")
{
    USERPLOTSTORE(&model, &plot, title.data(), static_cast<intptr_t>(title.size()), "cyl 1", 5,
                  "Crank Angle", 11, "N-m", 3, &x, &y);
}

// Two models; model 1 has plots with status 1 (on), 0 (off), 5 (on, labels never taken).
void setup()
{
    const int32_t n = 2, m = 1, three = 3, status[] = {1, 0, 5};
    ALLOCATE_USER_PLOT(&n);
    int32_t ierr = 9;
    LOAD_USER_PLOT(&m, &three, status, &ierr);
    ASSERT_EQ(ierr, 0);
}

TEST(UserPlots, GatesStatusLabelsLimitsAndThinning)
{
    setup();
    for (auto [int3, int4, suppress] : {std::tuple{0, 1, 1}, {0, 0, 0}, {1, 1, 0}}) {
        push_state(0, int3, int4);
        SEND_USER_PLOTSUPP(&suppress);
        store(1, 1, 1.0, 2.0, "Gated");
    }
    Plot p = drain_plot(1, 1);
    EXPECT_EQ(std::pair(p.x.size(), p.title), std::pair(std::size_t{0}, padded("")));  // nor takes labels

    push_state(0, 0, 1);
    store(1, 1, 1.0, 10.0, "Torque");
    store(1, 1, 2.0, 20.0, "Other");  // labels come from the first stored point only
    store(1, 2, 1.0, 1.0);            // off
    store(1, 3, 1.0, 1.0, "Five");    // status 5: stored, labels never taken
    store(1, 4, 1.0, 1.0);            // iplot = NPLOT + 1: dropped
    p = drain_plot(1, 1);
    EXPECT_EQ(p.points(), (std::vector{1.0, 2.0, 10.0, 20.0}));  // x, then y
    EXPECT_EQ(p.labels(), labels("Torque", "cyl 1", "Crank Angle", "N-m"));
    EXPECT_TRUE(drain_plot(1, 1).x.empty());  // drained
    EXPECT_TRUE(drain_plot(1, 2).x.empty());
    p = drain_plot(1, 3);
    EXPECT_EQ(std::pair(p.x.size(), p.title), std::pair(std::size_t{1}, padded("")));

    const int32_t m = 3, one = 1;  // past the models
    int32_t ierr = 0;
    LOAD_USER_PLOT(&m, &one, &one, &ierr);
    EXPECT_EQ(ierr, -1);
    expect_child_stop([] { setup(); }, " Allocation error: USER_PLOT_TABLE is already allocated\n");
    expect_child_stop([] { (void)drain_plot(1, 0); },
                      " Array bounds error: subscript 1 of array PLOT_STATUS has value 0, below its lower bound 1\n");

    // A full buffer is thinned, with a warning.
    EXPECT_EQ(capture_stdout([] { for (int k = 1; k <= 201; ++k) store(1, 1, k, -k); }), "");
    EXPECT_EQ(capture_stdout([] { store(1, 1, 202, -202); }),
              "\n W*** Plot data for user model exceeded buffer size\n      Not all data will be stored\n"
              "      User model:  1\n      Plot:        1\n");
    // The odd-numbered points 1, 3, ..., 201 are kept, then 202.
    std::vector<double> x;
    for (int k = 1; k <= 201; k += 2) x.push_back(k);
    x.push_back(202);
    p = drain_plot(1, 1);
    EXPECT_EQ(p.x, x);
    for (double& v : x) v = -v;
    EXPECT_EQ(p.y, x);
}

}  // namespace
}  // namespace usersub::exchange
