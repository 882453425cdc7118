#include "exchange/engine_components.h"
#include "exchange/harness.h"
#include "exchange/run_info.h"
#include "exchange/ufd_exchange.h"
#include "exchange/user_messages.h"
#include "exchange/user_models.h"
#include "usermodels/model_setup.h"
#include "usersub.h"

#include <gtest/gtest.h>

#include <array>
#include <fstream>
#include <limits>
#include <string>
#include <utility>
#include <vector>

namespace usersub::exchange {
namespace {

using namespace usersub::test;

void alloc_ufd(int32_t nufd, int32_t nconn, int32_t nsp) { UFD_ALLOC(&nufd, &nconn, &nsp); }
void actuate(int32_t iufd, int32_t kind, double value) { FLW_ACTU_UFDC(&iufd, &kind, &value); }

double sense(int32_t iufd, int32_t kind, int32_t iconn, double factor = 1.0)
{
    const int32_t spare = -7;
    double value = 123.0;
    FLW_SENS_UFDC(&iufd, &kind, &iconn, &spare, &value, &factor);
    return value;
}

template <auto Getter>
std::pair<int32_t, double> actuator(int32_t iufd)
{
    std::pair<int32_t, double> r{-5, -5.0};
    Getter(iufd, r.first, r.second);
    return r;
}

TEST(UfdExchange, ActuatorsPortMapAndSensors)
{
    alloc_ufd(2, 3, 2);
    EXPECT_EQ(actuator<ufd_get_actuator2>(1), std::make_pair(0, -9999.0));
    for (int32_t kind : {1, 2}) actuate(1, kind, 2.5);
    for (int32_t kind : {0, 3}) actuate(1, kind, 8.0);  // other kinds do nothing
    EXPECT_EQ(actuator<ufd_get_actuator1>(1), std::make_pair(1, 250000.0));  // 2.5 x 100000
    EXPECT_EQ(actuator<ufd_get_actuator2>(1), std::make_pair(1, 2.5));       // unscaled
    EXPECT_EQ(actuator<ufd_get_actuator1_b>(2), std::make_pair(0, 0.0));

    alloc_ufd(5, 6, 7);  // ignored: sizes and values stay
    EXPECT_EQ(actuator<ufd_get_actuator1_b>(1), std::make_pair(1, 250000.0));
    expect_child_stop([] { actuate(3, 1, 1.0); }, bounds_error("UFD_ACTUATOR1_VALUE", 3, 2));

    // The port map: list entries of 0 or below name no connection.
    const int32_t iufd = 1, n = 3, list[] = {3, 0, -2};
    UFD_INIT(&iufd, &n, list);
    EXPECT_EQ(ufd_port_map(3, 1), 1);
    EXPECT_EQ(ufd_port_map(2, 1), -999);

    // Sensors by kind, fresh and after a push.
    EXPECT_DOUBLE_EQ(sense(1, 1, 2), -0.00999);  // -999 x 1e-5
    EXPECT_EQ(sense(1, 4, 2), -999.0);
    EXPECT_EQ((std::array{sense(1, 0, 2), sense(1, 26, 2)}), (std::array{123.0, 123.0}));  // left alone

    // Connection 2 of three; the species table has leading dimension 4 and
    // holds (2, 1) = 0.25 and (2, 2) = 0.75.
    double r1[3] = {9, 2, 9}, r2[3] = {9, 3, 9}, r3[3] = {9, 1.5e5, 9}, r4[3] = {9, 4, 9}, r5[3] = {9, 0.5, 9};
    double table[8] = {0.0, 0.25, 0.0, 0.0, 0.0, 0.75, 0.0, 0.0};
    const auto push = [&](int32_t j, int32_t m, int32_t ld) {
        const int32_t iufd = 1, n = 1;
        UFD_SETUP(&iufd, &n, &ld, &m, &j, r1, r2, r3, r4, r5, table);
    };
    push(2, 2, 4);
    EXPECT_DOUBLE_EQ(sense(1, 1, 2), 1.5);   // 1.5e5 x 1e-5
    // Kind 3: r5 x r4 x r1 x factor = 0.5 x 4 x 2 x 10; kind 25: r1 x factor.
    for (auto [kind, factor, want] : {std::tuple{2, 1.0, 3.0}, {3, 10.0, 40.0}, {25, 10.0, 20.0}, {4, 1.0, 0.25}, {5, 1.0, 0.75}})
        EXPECT_EQ(sense(1, kind, 2, factor), want) << kind;
    EXPECT_EQ(sense(1, 2, 1), -999.0);  // connection 1 not listed

    r2[1] = 6.0;
    table[1] = 0.5;
    push(2, 0, 4);  // m = 0: scalars only
    EXPECT_EQ(sense(1, 2, 2), 6.0);
    EXPECT_EQ(sense(1, 4, 2), 0.25);

    expect_child_stop([] { sense(1, 24, 1); }, bounds_error("UFD_SENSOR_SPECIES", 21, 2));  // species entry 21
    expect_child_stop([&] { push(3, 1, 2); }, bounds_error("TABLE", 3, 2));  // the table has 2 rows
}

void alloc_harness(int32_t nsig, int32_t nharn) { ALLOC_USER_HARN(&nsig, &nharn); }
void name_harness(int32_t i, const std::string& name) { INIT_USER_HARN(&i, name.data(), std::ssize(name)); }
int32_t id_of(const std::string& name) { return GET_USER_HARN_ID(name.data(), std::ssize(name)); }

TEST(Harness, NamesAndSignals)
{
    // A negative harness count gives no columns. Names are found ignoring
    // trailing blanks; the first of two equal names wins.
    const auto name_without_columns = [] {
        alloc_harness(-1, -2);
        name_harness(1, "x");
    };
    expect_child_stop(name_without_columns, bounds_error("HARNESS_NAMES", 1, 0));

    EXPECT_EQ(id_of("Engine"), 0);  // no store yet
    alloc_harness(3, 3);
    EXPECT_EQ(id_of("   "), 1);  // every name still blank
    for (auto [i, name] : {std::pair{1, "Engine"}, {2, "Brake   "}, {3, "Engine"}}) name_harness(i, name);
    EXPECT_EQ(std::pair(id_of("Engine      "), id_of("Brake")), std::pair(1, 2));
    const std::string long_name = std::string(100, 'h') + std::string(20, 'T');  // 120 characters
    name_harness(3, long_name);
    EXPECT_EQ(id_of(long_name.substr(0, 117)), 3);  // stored cut to 117

    // The host's names: 4 elements of 10 characters, 12 bytes apart.
    std::string buf(48, '#');
    usersub_array_view view{reinterpret_cast<intptr_t>(buf.data()), 10, -1, 2, 1, 0, 4, 12, 1};
    int32_t n = -1;
    GET_USER_HARN_NAMES(&n, &view);
    EXPECT_EQ(n, 3);
    EXPECT_EQ(buf, "Engine    ##Brake     ##" + std::string(10, 'h') + "##" + std::string(12, '#'));
    view.extent = 2;  // room for two of the three names
    expect_child_stop([&] { GET_USER_HARN_NAMES(&n, &view); }, bounds_error("NAMES", 3, 2));

    // Signals keep their fresh values until written.
    const double values[] = {1.5, 2.5, 3.5};
    const int32_t one = 1, two = 2, spare = 0;
    SENSACTUDUMP1(&two, &two, values, &spare);
    const auto in = harness_inputs();
    EXPECT_EQ((std::array{in(2, 2), in(3, 2)}), (std::array{2.5, -999.0}));  // signal 3 beyond n

    // A routine writes the actuator matrix in place; the host reads it back.
    gactu()(2, 1) = 7.0;
    EXPECT_EQ(output_of([&](double* v) { GET_USER_HARN_OUTPUT(&two, &one, v); }), 7.0);

    SENSACTUDUMP2A(&two, values);
    SENSACTUDUMP2B(&two, values + 1);
    const auto a = harness_dump_a(), b = harness_dump_b();
    EXPECT_EQ((std::array{a(2), a(3), b(2), b(3)}), (std::array{2.5, -999.0, 3.5, -999.0}));

    expect_child_stop([] { alloc_harness(3, 2); }, " Allocation error: USER_HARNESS_DATA is already allocated\n");
}

void write(int32_t model, const std::string& text) { WRT_USER(&model, text.data(), std::ssize(text)); }

// Takes message imsg into a text of len characters; returns text and flag.
std::pair<std::string, int32_t> take(int32_t model, int32_t imsg, std::size_t len = 130)
{
    std::pair<std::string, int32_t> t{std::string(len, '?'), 12345};
    GETUSERSTRING(&model, &imsg, t.first.data(), static_cast<intptr_t>(len), &t.second);
    return t;
}

TEST(UserMessages, QueuesKeepOrderPerModelDrainToEmptyAndOverflow)
{
    const int32_t two = 2;
    ALLOCATE_USER_STRING(&two);
    EXPECT_EQ(take(1, 1), std::make_pair(std::string(130, ' '), -999));

    write(1, std::string(130, 'a') + "0123456789");
    write(2, "only of model 2");
    write(1, std::string(130, 'z'));
    write(1, "third of model 1");
    EXPECT_EQ(take(1, 1, 140), std::make_pair(std::string(130, 'a') + std::string(10, ' '), 1));
    EXPECT_EQ(take(1, 2, 10), std::make_pair(std::string(10, 'z'), 0));  // 130 fit; cut to the caller's 10
    EXPECT_EQ(take(1, 3), std::make_pair(padded("third of model 1", 130), 0));
    write(1, "next step");  // a drained queue starts again at position 1
    EXPECT_EQ(take(1, 1).first, padded("next step", 130));
    EXPECT_EQ(take(2, 1).first, padded("only of model 2", 130));

    // A position taken twice while another waits: blank, -1, the count drops.
    for (const char* t : {"x", "y"}) write(1, t);
    take(1, 1);
    EXPECT_EQ(take(1, 1), std::make_pair(std::string(130, ' '), -1));
    EXPECT_EQ(user_message_count(1), 0);

    // A write after a partial drain goes to position (untaken count + 1); the
    // untaken messages it displaces are written out, not lost.
    for (const char* t : {"p1", "p2", "p3", "p4"}) write(1, t);
    for (int32_t k : {1, 2}) take(1, k);
    EXPECT_EQ(capture_stdout([] { write(1, "p5"); }),
              " W*** Untaken user message of user model 1 dropped:\n p3\n"
              " W*** Untaken user message of user model 1 dropped:\n p4\n");
    EXPECT_EQ(take(1, 3).first, padded("p5", 130));
    expect_child_stop([] { take(1, 4); }, bounds_error("MSG_FLAG", 4, 3));  // the queue now ends at 3

    // A full queue writes the message out instead.
    for (int k = 1; k <= 100; ++k) write(2, "msg " + std::to_string(k));
    EXPECT_EQ(capture_stdout([] { write(2, "msg 101   "); }),
              " W*** User message queue full for user model 2 - message not queued:\n msg 101\n");
    for (int k = 1; k <= 100; ++k) ASSERT_EQ(take(2, k).first, padded("msg " + std::to_string(k), 130));

    expect_child_stop([&] { ALLOCATE_USER_STRING(&two); },
                      " Allocation error: USER_MESSAGE_TABLE is already allocated\n");
}

TEST(SpecialValues, SlotsOutsideTheTableAreReportedAndIgnored)
{
    const int32_t v = 42, zero = 0, hundred = 100, past = 101;
    const double r = -2.25, r0 = 0.0;
    LOADSPECIALINT(&hundred, &v);
    LOADSPECIALREAL(&hundred, &r);
    LOADSPECIALCHAR(&hundred, std::string(300, 'q').data(), 300);
    std::string text(260, '?');
    EXPECT_EQ(capture_stdout([&] {
                  LOADSPECIALINT(&past, &zero);
                  LOADSPECIALREAL(&past, &r0);
                  LOADSPECIALCHAR(&zero, "x", 1);
                  EXPECT_EQ(get_special_int(0), 0);
                  EXPECT_EQ(get_special_real(101), 0.0);
                  get_special_char(-3, text.data(), 4);
              }),
              " ZAL internal error (LOAD_SPECIAL_INT) -- call ZAL for assistance.\n"
              " ZAL internal error (LOAD_SPECIAL_REAL) -- call ZAL for assistance.\n"
              " ZAL internal error (LOAD_SPECIAL_CHAR) -- call ZAL for assistance.\n"
              " GET_SPECIAL_INT Error: invalid index 0\n"
              " GET_SPECIAL_REAL Error: invalid index 101\n"
              " GET_SPECIAL_CHAR Error: invalid index -3\n");
    EXPECT_EQ(text.substr(0, 5), "    ?");  // blanks for a slot outside
    EXPECT_EQ(std::pair(get_special_int(100), get_special_real(100)), std::pair(42, -2.25));
    get_special_char(100, text.data(), text.size());
    EXPECT_EQ(text, std::string(256, 'q') + "    ");  // cut to 256 when stored
}

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

// A run state whose second and fifth integers are 22 and 55, time 0.5 s, crank angle 180, third real -3.
void push_state(int32_t a1, int32_t a3, int32_t a4, int32_t a6 = 0, int32_t l10 = 0)
{
    send_state({a1, 22, a3, a4, 55, a6, 0.5, 180.0, -3.0, l10});
}

TEST(RunInfo, OutputsComeInTheirOwnOrder)
{
    push_state(1, 33, 44, 7, 1);
    const int32_t i1 = 101, i2 = 102, i3 = 103;
    const std::string longtext(300, 'x');
    SEND_USER_GLOBAL(longtext.data(), 300, &i1, &i2, &i3);  // kept cut to 255
    const int32_t values[] = {1001, 1002, 1003, 1004};
    for (int32_t key : {1, 2, 3, 4}) SEND_USER_GLOBAL2(&key, &values[key - 1]);  // key 4 is ignored
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

void load_species_count(std::int32_t nspecies)
{
    const std::int32_t zero = 0, limit = 1;
    LOADPROP0(&nspecies, &nspecies, &nspecies, &zero, &zero, &zero, &zero, &limit, &zero, &zero);
}

// Integers 10 and 11, reals 1 ... 8.
void load_injector(std::int32_t iinj, const std::string& name, const double* composition)
{
    const std::int32_t i1 = 10, i2 = 11;
    const double r[8] = {1, 2, 3, 4, 5, 6, 7, 8};
    LOADINJECTORINFO(&iinj, name.data(), static_cast<intptr_t>(name.size()), &i1, &i2, &r[0], &r[1], &r[2],
                     &r[3], &r[4], &r[5], &r[6], composition, &r[7]);
}

TEST(EngineComponents, InjectorsAndValvesBeforeAndAfterTheSpeciesSet)
{
    const std::int32_t two = 2, three = 3, i1_valve = -2;
    ALLOCATEINJECTORINFO(&two);
    ALLOCATEVALVEINFO(&three);
    const double comp[4] = {0.1, 0.2, 0.3, 0.4};

    // Before the species set: everything but the composition is stored, and
    // the getter leaves its composition output untouched.
    load_injector(1, "Port injector", comp);
    char name[80];
    std::int32_t i1 = 0, i2 = 0;
    double r7 = 0.0, r8 = 0.0, got[4] = {-1, -1, -1, -1};
    const InjectorInfoOut out{.name = name, .name_len = sizeof name, .i1 = &i1, .i2 = &i2,
                              .r = {nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, &r7, &r8}, .composition = got};
    get_injector_info(1, out);
    EXPECT_EQ(std::string(name, 14), "Port injector ");
    EXPECT_EQ((std::array{i1 * 1.0, i2 * 1.0, r7, r8, got[0]}), (std::array{10.0, 11.0, 7.0, 8.0, -1.0}));

    load_species_count(4);
    load_injector(2, std::string(117, 'x') + "cut", comp);
    get_injector_info(2, out);
    EXPECT_EQ(std::string(name, 80), std::string(80, 'x'));  // the first 80 of the stored 117
    EXPECT_EQ(got[3], 0.4);
    EXPECT_EQ(injector_composition()(4, 2), 0.4);  // (species, injector)

    // A valve's first composition comes between its reals 4 and 5, the second after real 6.
    const double comp2[4] = {0.5, 0.6, 0.7, 0.8}, rv[6] = {1, 2, 3, 4, 5, 6};
    LOADVALVEINFO(&two, "Intake valve 1", 14, &i1_valve, &rv[0], &rv[1], &rv[2], &rv[3], comp, &rv[4], &rv[5],
                  comp2);
    EXPECT_EQ(valve_composition1()(2, 1), 0.1);  // (valve, species)
    double r4 = 0.0, r5 = 0.0, g2[4] = {};
    get_valve_info(2, {.i1 = &i1, .r = {nullptr, nullptr, nullptr, &r4, &r5}, .composition1 = got, .composition2 = g2});
    EXPECT_EQ((std::array{i1 * 1.0, r4, r5, got[0], g2[3]}), (std::array{-2.0, 4.0, 5.0, 0.1, 0.8}));
    get_valve_info(3, ValveInfoOut{});  // every output null

    // Re-allocating the injectors keeps the composition's size and values.
    ALLOCATEINJECTORINFO(&three);
    EXPECT_EQ(injector_composition()(3, 2), 0.3);
    get_injector_info(2, out);
    EXPECT_EQ(std::pair(i1, name[0]), std::pair(0, ' '));  // the other arrays are fresh
    // Injector 3 has no composition column until the species set is loaded again.
    test::expect_child_stop(
        [&] { load_injector(3, "third", comp); },
        " Array bounds error: subscript 2 of array INJ_COMPOSITION has value 3, above its upper bound 2\n");
}

TEST(EngineComponents, CylinderTableAndPistonKinematics)
{
    const std::int32_t one = 1, three = 3;
    // Stroke 0.1 m, rod 0.16 m; cylinder 1 with a pin offset of 5 mm. Reals 1, 4 and 6 to 13 are not read.
    const double angle = 35.5;
    load_cylinders(2, 0.1, 0.0, 0.16);
    load_cylinder(1, {0.0, 0.1, 0.005, 0.0, 0.16, 0.0, 0.0, 0.0, 0.0, 0.0, 0.0, 0.0, 13.0}, 7);
    LOADCYLINDERANGLE(&one, &angle);
    std::int32_t got_ival = 0;
    double got_r13 = 0.0, got_angle = 0.0, *r[13] = {};
    r[12] = &got_r13;
    get_cylinder_info(1, &got_ival, r, &got_angle);
    EXPECT_EQ((std::array{got_ival * 1.0, got_r13, got_angle}), (std::array{7.0, 13.0, 35.5}));
    get_cylinder_info(1, nullptr, nullptr, nullptr);  // every output null

    // 30 deg, 3000 rev/min, previous 2990 rev/min, 1 deg step, pi = 3.1415927:
    // s = (0.05 sin 30 + 0.005) / 0.16 = 0.1875, c = sqrt(1 - s^2) = 0.9822646;
    // position = sqrt(0.21^2 - 0.005^2) - 0.05 cos 30 - 0.16 c = 0.2099405 - 0.0433013 - 0.1571623;
    // velocity = 0.05 x 314.15927 x (0.5 + 0.8660254 x 0.1908844);
    // acceleration worked with Python from the same formula.
    const PistonMotion m = piston_kinematics(1, 3000.0, 2990.0, 30.0, 1.0);
    EXPECT_NEAR(m.position, 0.0094769, 1e-7);
    EXPECT_NEAR(m.velocity, 10.450691, 1e-5);
    EXPECT_NEAR(m.acceleration, 5025.0505, 1e-3);
    // Without offset: position and velocity 0 at top dead centre, acceleration
    // r w^2 (1 + r/L) = 0.05 x 314.15927^2 x 1.3125.
    const PistonMotion tdc = piston_kinematics(2, 3000.0, 3000.0, 0.0, 1.0);
    EXPECT_NEAR(tdc.position, 0.0, 1e-15);
    EXPECT_EQ(tdc.velocity, 0.0);
    EXPECT_NEAR(tdc.acceleration, 0.05 * 314.15927 * 314.15927 * 1.3125, 1e-6);

    test::expect_child_stop([&] { LOADCYLINDERANGLE(&three, &angle); }, test::bounds_error("CYL_ANGLE", 3, 2));
}

}  // namespace
}  // namespace usersub::exchange
