#include "exchange/ufd_exchange.h"
#include "support/child.h"
#include "usersub.h"

#include <gtest/gtest.h>

#include <utility>

namespace {

namespace ex = usersub::exchange;

void alloc(int32_t nufd, int32_t nconn, int32_t nsp) { UFD_ALLOC(&nufd, &nconn, &nsp); }

double sense(int32_t iufd, int32_t kind, int32_t iconn, double factor = 1.0, double start = 123.0)
{
    const int32_t spare = -7;
    double value = start;
    FLW_SENS_UFDC(&iufd, &kind, &iconn, &spare, &value, &factor);
    return value;
}

void actuate(int32_t iufd, int32_t kind, double value) { FLW_ACTU_UFDC(&iufd, &kind, &value); }

std::pair<int32_t, double> actuator1(int32_t iufd)
{
    std::pair<int32_t, double> r{-5, -5.0};
    ex::ufd_get_actuator1(iufd, r.first, r.second);
    return r;
}

std::pair<int32_t, double> actuator2(int32_t iufd)
{
    std::pair<int32_t, double> r{-5, -5.0};
    ex::ufd_get_actuator2(iufd, r.first, r.second);
    return r;
}

// Connection states of three connections; the species table has leading
// dimension 4 (one spare row) and two species columns.
struct States {
    double r1[3] = {9.0, 2.0, 9.0};
    double r2[3] = {9.0, 3.0, 9.0};
    double r3[3] = {9.0, 1.5e5, 9.0};
    double r4[3] = {9.0, 4.0, 9.0};
    double r5[3] = {9.0, 0.5, 9.0};
    double table[8] = {0.0, 0.25, 0.0, 0.0, 0.0, 0.75, 0.0, 0.0};  // (2, 1) and (2, 2)

    void push(int32_t iufd, int32_t n, const int32_t* idx, int32_t m, int32_t ld = 4) const
    {
        UFD_SETUP(&iufd, &n, &ld, &m, idx, r1, r2, r3, r4, r5, table);
    }
};

TEST(UfdExchange, ActuatorsStartUnsetAndScaleOnTheWayIn)
{
    alloc(2, 3, 2);
    EXPECT_EQ(actuator1(1), std::make_pair(0, 0.0));
    EXPECT_EQ(actuator2(1), std::make_pair(0, -9999.0));

    actuate(1, 1, 2.5);
    EXPECT_EQ(actuator1(1), std::make_pair(1, 250000.0));  // 2.5 x 100000
    actuate(1, 2, 2.5);
    EXPECT_EQ(actuator2(1), std::make_pair(1, 2.5));  // unscaled
    actuate(1, 3, 8.0);
    actuate(1, 0, 8.0);
    EXPECT_EQ(actuator1(1), std::make_pair(1, 250000.0));
    EXPECT_EQ(actuator2(1), std::make_pair(1, 2.5));
    EXPECT_EQ(actuator2(2), std::make_pair(0, -9999.0));

    int32_t isset = -5;
    double value = -5.0;
    ex::ufd_get_actuator1_b(1, isset, value);
    EXPECT_EQ(isset, 1);
    EXPECT_EQ(value, 250000.0);
    ex::ufd_get_actuator1_b(2, isset, value);
    EXPECT_EQ(isset, 0);
    EXPECT_EQ(value, 0.0);

    // A later allocation is ignored: sizes and values stay.
    alloc(5, 6, 7);
    EXPECT_EQ(actuator1(1), std::make_pair(1, 250000.0));
    auto device3 = usersub::test::run_in_child([] { actuator1(3); });
    EXPECT_EQ(device3.exit_status, 1);
    EXPECT_EQ(device3.output, " Array bounds error: subscript 1 of array UFD_ACTUATOR1_SET has value 3, "
                              "above its upper bound 2\n");
}

TEST(UfdExchange, SensorsByKind)
{
    alloc(2, 3, 2);
    // Never pushed: -999.0, kind 1 scaled by 1e-5, kinds 3 and 25 by the factor.
    EXPECT_DOUBLE_EQ(sense(1, 1, 2), -0.00999);
    EXPECT_EQ(sense(1, 2, 2), -999.0);
    EXPECT_EQ(sense(1, 3, 2, 2.0), -1998.0);
    EXPECT_EQ(sense(1, 25, 2, 2.0), -1998.0);
    EXPECT_EQ(sense(1, 4, 2), -999.0);
    EXPECT_EQ(sense(1, 0, 2), 123.0);  // kinds outside the list leave the value alone
    EXPECT_EQ(sense(1, 26, 2), 123.0);

    const States st;
    const int32_t idx[] = {2};
    st.push(1, 1, idx, 2);
    EXPECT_DOUBLE_EQ(sense(1, 1, 2), 1.5);       // 1.5e5 Pa x 1e-5
    EXPECT_EQ(sense(1, 2, 2), 3.0);              // r2
    EXPECT_EQ(sense(1, 3, 2, 10.0), 40.0);       // r5 x r4 x r1 x factor = 0.5 x 4 x 2 x 10
    EXPECT_EQ(sense(1, 25, 2, 10.0), 20.0);      // r1 x factor
    EXPECT_EQ(sense(1, 4, 2), 0.25);             // table(2, 1)
    EXPECT_EQ(sense(1, 5, 2), 0.75);             // table(2, 2)
    EXPECT_EQ(sense(1, 2, 1), -999.0);           // connection 1 was not listed
    EXPECT_EQ(sense(2, 2, 2), -999.0);           // nor was device 2

    // m = 0: the scalar sensors change, the species entries stay.
    States st2 = st;
    st2.r2[1] = 6.0;
    st2.table[1] = 0.5;
    st2.push(1, 1, idx, 0);
    EXPECT_EQ(sense(1, 2, 2), 6.0);
    EXPECT_EQ(sense(1, 4, 2), 0.25);

    // A tiny negative stored value keeps its sign: -1e-21 x 1 x 1 x factor 2.
    States tiny;
    tiny.r5[1] = -1e-21;
    tiny.r4[1] = 1.0;
    tiny.r1[1] = 1.0;
    tiny.push(1, 1, idx, 0);
    EXPECT_EQ(sense(1, 3, 2, 2.0), -2e-21);
}

TEST(UfdExchange, PortMapSkipsEntriesNamingNoConnection)
{
    alloc(1, 4, 1);
    const int32_t iufd = 1, n = 4, zero = 0;
    const int32_t list[] = {3, 0, -2, 1};
    UFD_INIT(&iufd, &n, list);
    EXPECT_EQ(ex::ufd_port_map(3, 1), 1);
    EXPECT_EQ(ex::ufd_port_map(1, 1), 4);
    EXPECT_EQ(ex::ufd_port_map(2, 1), -999);
    EXPECT_EQ(ex::ufd_port_map(4, 1), -999);
    const int32_t other[] = {4};
    UFD_INIT(&iufd, &zero, other);
    EXPECT_EQ(ex::ufd_port_map(4, 1), -999);
}

TEST(UfdExchange, IndicesOutsideTheStoreStopTheRun)
{
    auto negative = usersub::test::run_in_child([] {
        alloc(-1, 2, 2);
        actuate(1, 2, 1.0);
    });
    EXPECT_EQ(negative.exit_status, 1);
    EXPECT_NE(negative.output.find("array UFD_ACTUATOR2_VALUE has value 1, above its upper bound 0"),
              std::string::npos);

    alloc(1, 3, 2);
    auto species = usersub::test::run_in_child([] { sense(1, 24, 1); });
    EXPECT_EQ(species.exit_status, 1);
    EXPECT_EQ(species.output, " Array bounds error: subscript 1 of array UFD_SENSOR_SPECIES has value 21, "
                              "above its upper bound 2\n");

    const States st;
    auto connection = usersub::test::run_in_child([&] {
        const int32_t idx[] = {4};
        st.push(1, 1, idx, 0);
    });
    EXPECT_EQ(connection.exit_status, 1);
    EXPECT_NE(connection.output.find("array UFD_SENSOR3 has value 4, above its upper bound 3"),
              std::string::npos);

    auto entries = usersub::test::run_in_child([&] {
        const int32_t idx[] = {2};
        st.push(1, 1, idx, 3);
    });
    EXPECT_EQ(entries.exit_status, 1);
    EXPECT_NE(entries.output.find("array UFD_SENSOR_SPECIES has value 3, above its upper bound 2"),
              std::string::npos);

    auto leading = usersub::test::run_in_child([&] {
        const int32_t idx[] = {3};
        st.push(1, 1, idx, 1, 2);  // the table has only 2 rows
    });
    EXPECT_EQ(leading.exit_status, 1);
    EXPECT_NE(leading.output.find("subscript 1 of array TABLE has value 3, above its upper bound 2"),
              std::string::npos);

    auto map = usersub::test::run_in_child([] {
        const int32_t iufd = 1, n = 1, list[] = {5};
        UFD_INIT(&iufd, &n, list);
    });
    EXPECT_EQ(map.exit_status, 1);
    EXPECT_NE(map.output.find("array UFD_PORT_MAP has value 5, above its upper bound 3"), std::string::npos);
}

}  // namespace
