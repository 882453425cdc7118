#include "exchange/harness.h"
#include "support/child.h"
#include "usersub.h"

#include <gtest/gtest.h>

#include <string>

namespace {

namespace ex = usersub::exchange;
using usersub::test::run_in_child;

void alloc(int32_t nsig, int32_t nharn) { ALLOC_USER_HARN(&nsig, &nharn); }
void name_harness(int32_t i, const std::string& name)
{
    INIT_USER_HARN(&i, name.data(), static_cast<intptr_t>(name.size()));
}
int32_t id_of(const std::string& name) { return GET_USER_HARN_ID(name.data(), static_cast<intptr_t>(name.size())); }

double output(int32_t isig, int32_t iharn)
{
    double v = 0.0;
    GET_USER_HARN_OUTPUT(&isig, &iharn, &v);
    return v;
}

TEST(Harness, NamesAreFoundIgnoringTrailingBlanksFirstDuplicateWins)
{
    EXPECT_EQ(id_of("Engine"), 0);  // no store yet
    alloc(3, 3);
    EXPECT_EQ(id_of("   "), 1);  // every name still blank
    name_harness(1, "Engine");
    name_harness(2, "Brake   ");
    name_harness(3, "Engine");
    EXPECT_EQ(id_of("Engine      "), 1);
    EXPECT_EQ(id_of("Brake"), 2);

    const std::string long_name = std::string(100, 'h') + std::string(20, 'T');  // 120 characters
    name_harness(2, long_name);
    EXPECT_EQ(id_of(long_name.substr(0, 117)), 2);  // stored cut to 117

    // The host's names: 4 elements of 10 characters, 12 bytes apart.
    std::string buf(48, '#');
    usersub_array_view view{reinterpret_cast<intptr_t>(buf.data()), 10, -1, 2, 1, 0, 4, 12, 1};
    int32_t n = -1;
    GET_USER_HARN_NAMES(&n, &view);
    EXPECT_EQ(n, 3);
    EXPECT_EQ(buf, "Engine    ##" + std::string(10, 'h') + "##Engine    ##" + std::string(12, '#'));

    auto short_view = run_in_child([&] {
        view.extent = 2;  // room for two of the three names
        GET_USER_HARN_NAMES(&n, &view);
    });
    EXPECT_EQ(short_view.exit_status, 1);
    EXPECT_NE(short_view.output.find("array NAMES has value 3, above its upper bound 2"), std::string::npos);
}

TEST(Harness, SignalsKeepFreshValuesUntilWritten)
{
    alloc(3, 2);
    EXPECT_EQ(output(3, 2), -999.0);
    const double values[] = {1.5, 2.5, 3.5};
    const int32_t two = 2, three = 3, zero = 0, spare = 0;
    SENSACTUDUMP1(&two, &two, values, &spare);
    SENSACTUDUMP1(&zero, &two, values + 2, &spare);
    const auto in = ex::harness_inputs();
    EXPECT_EQ(in(2, 2), 2.5);
    EXPECT_EQ(in(3, 2), -999.0);  // beyond n
    EXPECT_EQ(in(1, 1), -999.0);  // other harness

    // A routine writes the actuator matrix in place; the host reads it back.
    auto g = ex::gactu();
    g(2, 1) = 7.0;
    EXPECT_EQ(output(2, 1), 7.0);
    EXPECT_EQ(g.data()[1], 7.0);  // signal index fastest: (2, 1) is element 2
    const int32_t isig = 3, iharn = 1;
    const double v = -4.0;
    SET_USER_HARN_OUTPUT(&isig, &iharn, &v);
    EXPECT_EQ(g(3, 1), -4.0);

    SENSACTUDUMP2A(&two, values);
    SENSACTUDUMP2B(&three, values);
    EXPECT_EQ(ex::harness_dump_a()(3), -999.0);
    EXPECT_EQ(ex::harness_dump_b()(3), 3.5);

    auto twice = run_in_child([] { alloc(3, 2); });
    EXPECT_EQ(twice.exit_status, 1);
    EXPECT_EQ(twice.output, " Allocation error: USER_HARNESS_DATA is already allocated\n");
}

TEST(Harness, NegativeCountIsKeptAndGivesNoColumns)
{
    alloc(-1, -2);
    int32_t n = 0;
    GET_USER_HARN_NAMES(&n, nullptr);
    EXPECT_EQ(n, -2);
    EXPECT_EQ(id_of(""), 0);
    auto named = run_in_child([] { name_harness(1, "x"); });
    EXPECT_EQ(named.exit_status, 1);
    EXPECT_EQ(named.output, " Array bounds error: subscript 1 of array HARNESS_NAMES has value 1, "
                            "above its upper bound 0\n");
}

}  // namespace
