#include "usersub.h"

#include <gtest/gtest.h>

#include <string>

namespace {

struct Globals {
    int32_t v[12];
    double r[3];
    char text[10];
};

Globals fetch()
{
    Globals g{};
    GET_GLOBAL_INFO(&g.v[0], &g.v[1], &g.v[2], &g.v[3], &g.v[4], &g.v[5], &g.v[6], &g.v[7], &g.v[8],
                    &g.v[9], &g.v[10], &g.v[11], &g.r[0], &g.r[1], &g.r[2], g.text, sizeof g.text);
    return g;
}

void send_state(int32_t a1, int32_t a6, int32_t l10)
{
    const int32_t a2 = 22, a3 = 33, a4 = 44, a5 = 55;
    const double time = 0.5, angle = 180.0, third = -3.0;
    SEND_USER_STATE(&a1, &a2, &a3, &a4, &a5, &a6, &time, &angle, &third, &l10);
}

TEST(RunInfo, OutputsComeInTheirOwnOrder)
{
    Globals g = fetch();  // before any push: all zero, the text zero characters
    for (int32_t v : g.v) EXPECT_EQ(v, 0);
    EXPECT_EQ(g.r[0] + g.r[1] + g.r[2], 0.0);
    EXPECT_EQ(std::string(g.text, sizeof g.text), std::string(10, '\0'));

    send_state(1, 7, 1);
    const int32_t i1 = 101, i2 = 102, i3 = 103;
    SEND_USER_GLOBAL("case text", 9, &i1, &i2, &i3);
    for (int32_t key : {1, 2, 3, 4}) {
        const int32_t value = 1000 + key;
        SEND_USER_GLOBAL2(&key, &value);  // key 4 is ignored
    }
    g = fetch();
    const int32_t expected[12] = {1, 33, 44, 101, 102, 103, 55, 0, 22, 1001, 1002, 1003};
    for (int k = 0; k < 12; ++k) EXPECT_EQ(g.v[k], expected[k]) << "output " << k + 1;
    EXPECT_EQ(g.r[0], 0.5);    // time
    EXPECT_EQ(g.r[1], -3.0);   // third real
    EXPECT_EQ(g.r[2], 180.0);  // crank angle
    EXPECT_EQ(std::string(g.text, 10), "case text ");

    send_state(1, 7, 2);  // logical false: bit 0 clear
    EXPECT_EQ(fetch().v[7], 7);
    send_state(2, 7, 1);
    EXPECT_EQ(fetch().v[7], 7);

    // Null outputs are skipped; the text is cut to 255 when sent, padded when fetched.
    const std::string longtext(300, 'x');
    SEND_USER_GLOBAL(longtext.data(), 300, &i1, &i2, &i3);
    int32_t step = -1;
    char text[260];
    GET_GLOBAL_INFO(nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, &step, nullptr, nullptr,
                    nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, text, sizeof text);
    EXPECT_EQ(step, 55);
    EXPECT_EQ(std::string(text, 260), std::string(255, 'x') + "     ");

    const int32_t a = 1, b = 2, c = 3, d = 4;
    SET_USER_PART_SIZES(&a, &b, &c, &d);
    int32_t s3 = 0;
    GET_PART_INFO(nullptr, nullptr, &s3, nullptr);
    EXPECT_EQ(s3, 3);
}

}  // namespace
