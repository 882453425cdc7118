#include "common/fixed_text.h"

#include <gtest/gtest.h>

namespace usersub::text {
namespace {

TEST(FixedText, AssignmentPadsOrCuts)
{
    char field[6];
    assign(field, 6, "abc");
    EXPECT_EQ(std::string_view(field, 6), "abc   ");
    assign(field, 6, "abcdefghij");
    EXPECT_EQ(std::string_view(field, 6), "abcdef");
    assign(field, 6, "");
    EXPECT_EQ(std::string_view(field, 6), "      ");

    Fixed<4> f;
    EXPECT_EQ(f.view(), "    ");
    f = "xy";
    EXPECT_EQ(f.view(), "xy  ");
}

TEST(FixedText, ComparisonTakesTheShorterOperandAsBlankPadded)
{
    EXPECT_TRUE(equal("N2", "N2      "));
    EXPECT_TRUE(equal("", "   "));
    EXPECT_FALSE(equal(" N2", "N2"));   // leading blanks count
    EXPECT_FALSE(equal("n2", "N2"));    // so does case
    EXPECT_FALSE(equal("N2 x", "N2"));
    EXPECT_EQ(trim_right("ab  "), "ab");
    EXPECT_EQ(trim_right("   "), "");
}

TEST(FixedText, HostTextWithNullOrNegativeLengthIsEmpty)
{
    EXPECT_TRUE(host(nullptr, 5).empty());
    EXPECT_TRUE(host("abc", -1).empty());
    EXPECT_EQ(host("abcdef", 3), "abc");
}

}  // namespace
}  // namespace usersub::text
