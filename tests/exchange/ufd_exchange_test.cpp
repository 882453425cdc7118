#include "exchange/ufd_exchange.h"
#include "support/child.h"
#include "usersub.h"

#include <gtest/gtest.h>

#include <utility>

namespace {

namespace ex = usersub::exchange;
using usersub::test::run_in_child;

void alloc(int32_t nufd, int32_t nconn, int32_t nsp) { UFD_ALLOC(&nufd, &nconn, &nsp); }
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

// States of three connections; the species table has leading dimension 4.
struct States {
    double r1[3] = {9.0, 2.0, 9.0}, r2[3] = {9.0, 3.0, 9.0}, r3[3] = {9.0, 1.5e5, 9.0};
    double r4[3] = {9.0, 4.0, 9.0}, r5[3] = {9.0, 0.5, 9.0};
    double table[8] = {0.0, 0.25, 0.0, 0.0, 0.0, 0.75, 0.0, 0.0};  // (2, 1) and (2, 2)

    void push(int32_t iufd, int32_t j, int32_t m, int32_t ld = 4) const
    {
        const int32_t n = 1;
        UFD_SETUP(&iufd, &n, &ld, &m, &j, r1, r2, r3, r4, r5, table);
    }
};

TEST(UfdExchange, ActuatorsStartUnsetAndScaleOnTheWayIn)
{
    alloc(2, 3, 2);
    EXPECT_EQ(actuator<ex::ufd_get_actuator2>(1), std::make_pair(0, -9999.0));
    actuate(1, 1, 2.5);
    actuate(1, 2, 2.5);
    actuate(1, 3, 8.0);  // other kinds do nothing
    actuate(1, 0, 8.0);
    EXPECT_EQ(actuator<ex::ufd_get_actuator1>(1), std::make_pair(1, 250000.0));  // 2.5 x 100000
    EXPECT_EQ(actuator<ex::ufd_get_actuator2>(1), std::make_pair(1, 2.5));       // unscaled
    EXPECT_EQ(actuator<ex::ufd_get_actuator1_b>(2), std::make_pair(0, 0.0));
    EXPECT_EQ(actuator<ex::ufd_get_actuator2>(2), std::make_pair(0, -9999.0));

    alloc(5, 6, 7);  // ignored: sizes and values stay
    EXPECT_EQ(actuator<ex::ufd_get_actuator1_b>(1), std::make_pair(1, 250000.0));
    auto device3 = run_in_child([] { actuate(3, 1, 1.0); });
    EXPECT_EQ(device3.exit_status, 1);
    EXPECT_EQ(device3.output, " Array bounds error: subscript 1 of array UFD_ACTUATOR1_VALUE has value 3, "
                              "above its upper bound 2\n");

    // The port map: list entries of 0 or below name no connection.
    const int32_t iufd = 1, n = 3, list[] = {3, 0, -2};
    UFD_INIT(&iufd, &n, list);
    EXPECT_EQ(ex::ufd_port_map(3, 1), 1);
    EXPECT_EQ(ex::ufd_port_map(2, 1), -999);
}

TEST(UfdExchange, SensorsByKind)
{
    alloc(2, 3, 2);
    EXPECT_DOUBLE_EQ(sense(1, 1, 2), -0.00999);  // -999 x 1e-5
    EXPECT_EQ(sense(1, 3, 2, 2.0), -1998.0);
    EXPECT_EQ(sense(1, 25, 2, 2.0), -1998.0);
    EXPECT_EQ(sense(1, 4, 2), -999.0);
    EXPECT_EQ(sense(1, 0, 2), 123.0);  // kinds outside the list leave the value alone
    EXPECT_EQ(sense(1, 26, 2), 123.0);

    States st;
    st.push(1, 2, 2);
    EXPECT_DOUBLE_EQ(sense(1, 1, 2), 1.5);   // 1.5e5 x 1e-5
    EXPECT_EQ(sense(1, 2, 2), 3.0);
    EXPECT_EQ(sense(1, 3, 2, 10.0), 40.0);   // r5 x r4 x r1 x factor = 0.5 x 4 x 2 x 10
    EXPECT_EQ(sense(1, 25, 2, 10.0), 20.0);  // r1 x factor
    EXPECT_EQ(sense(1, 4, 2), 0.25);
    EXPECT_EQ(sense(1, 5, 2), 0.75);
    EXPECT_EQ(sense(1, 2, 1), -999.0);  // connection 1 not listed
    EXPECT_EQ(sense(2, 2, 2), -999.0);  // nor device 2

    st.r2[1] = 6.0;
    st.table[1] = 0.5;
    st.push(1, 2, 0);  // m = 0: scalars only
    EXPECT_EQ(sense(1, 2, 2), 6.0);
    EXPECT_EQ(sense(1, 4, 2), 0.25);

    st.r5[1] = -1e-21, st.r4[1] = 1.0, st.r1[1] = 1.0;
    st.push(1, 2, 0);
    EXPECT_EQ(sense(1, 3, 2, 2.0), -2e-21);  // a tiny stored value keeps its sign

    auto species = run_in_child([] { sense(1, 24, 1); });
    EXPECT_EQ(species.exit_status, 1);
    EXPECT_EQ(species.output, " Array bounds error: subscript 1 of array UFD_SENSOR_SPECIES has value 21, "
                              "above its upper bound 2\n");
    auto rows = run_in_child([&] { st.push(1, 3, 1, 2); });  // the table has 2 rows
    EXPECT_NE(rows.output.find("subscript 1 of array TABLE has value 3, above its upper bound 2"),
              std::string::npos);
}

TEST(UfdExchange, NegativeCountGivesAnEmptyDimension)
{
    alloc(-1, 2, 2);
    auto negative = run_in_child([] { actuate(1, 2, 1.0); });  // device 1 of none
    EXPECT_EQ(negative.exit_status, 1);
    EXPECT_NE(negative.output.find("array UFD_ACTUATOR2_VALUE has value 1, above its upper bound 0"),
              std::string::npos);
}

}  // namespace
