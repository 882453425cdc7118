#include "exchange/harness.h"
#include "exchange/ufd_exchange.h"
#include "exchange/user_messages.h"
#include "usermodels/model_setup.h"
#include "usersub.h"

#include <gtest/gtest.h>

#include <array>
#include <string>
#include <utility>

namespace {

namespace ex = usersub::exchange;
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
    EXPECT_EQ(actuator<ex::ufd_get_actuator2>(1), std::make_pair(0, -9999.0));
    for (int32_t kind : {1, 2}) actuate(1, kind, 2.5);
    for (int32_t kind : {0, 3}) actuate(1, kind, 8.0);  // other kinds do nothing
    EXPECT_EQ(actuator<ex::ufd_get_actuator1>(1), std::make_pair(1, 250000.0));  // 2.5 x 100000
    EXPECT_EQ(actuator<ex::ufd_get_actuator2>(1), std::make_pair(1, 2.5));       // unscaled
    EXPECT_EQ(actuator<ex::ufd_get_actuator1_b>(2), std::make_pair(0, 0.0));

    alloc_ufd(5, 6, 7);  // ignored: sizes and values stay
    EXPECT_EQ(actuator<ex::ufd_get_actuator1_b>(1), std::make_pair(1, 250000.0));
    expect_child_stop([] { actuate(3, 1, 1.0); }, bounds_error("UFD_ACTUATOR1_VALUE", 3, 2));

    // The port map: list entries of 0 or below name no connection.
    const int32_t iufd = 1, n = 3, list[] = {3, 0, -2};
    UFD_INIT(&iufd, &n, list);
    EXPECT_EQ(ex::ufd_port_map(3, 1), 1);
    EXPECT_EQ(ex::ufd_port_map(2, 1), -999);

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
    EXPECT_EQ(sense(1, 2, 2), 3.0);
    EXPECT_EQ(sense(1, 3, 2, 10.0), 40.0);   // r5 x r4 x r1 x factor = 0.5 x 4 x 2 x 10
    EXPECT_EQ(sense(1, 25, 2, 10.0), 20.0);  // r1 x factor
    EXPECT_EQ((std::array{sense(1, 4, 2), sense(1, 5, 2)}), (std::array{0.25, 0.75}));
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
    const auto in = ex::harness_inputs();
    EXPECT_EQ((std::array{in(2, 2), in(3, 2)}), (std::array{2.5, -999.0}));  // signal 3 beyond n

    // A routine writes the actuator matrix in place; the host reads it back.
    ex::gactu()(2, 1) = 7.0;
    EXPECT_EQ(output_of([&](double* v) { GET_USER_HARN_OUTPUT(&two, &one, v); }), 7.0);

    SENSACTUDUMP2A(&two, values);
    SENSACTUDUMP2B(&two, values + 1);
    const auto a = ex::harness_dump_a(), b = ex::harness_dump_b();
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
    EXPECT_EQ(usersub::exchange::user_message_count(1), 0);

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
    using namespace usersub::exchange;
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

}  // namespace
