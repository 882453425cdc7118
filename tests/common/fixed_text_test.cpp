#include "common/fixed_text.h"

#include <gtest/gtest.h>

namespace usersub::text {
namespace {

TEST(FixedText, AssignmentPadsOrCutsAndComparisonIgnoresTrailingBlanks)
{
    char field[6];
    assign(field, 6, "abc");
    EXPECT_EQ(std::string_view(field, 6), "abc   ");
    assign(field, 6, "abcdefghij");
    EXPECT_EQ(std::string_view(field, 6), "abcdef");
    EXPECT_EQ(Fixed<4>{}.view(), "    ");

    EXPECT_TRUE(equal("N2", "N2      "));
    EXPECT_TRUE(equal("", "   "));
    EXPECT_FALSE(equal(" N2", "N2"));  // leading blanks count
    EXPECT_FALSE(equal("n2", "N2"));   // so does case
    EXPECT_FALSE(equal("N2 x", "N2"));
    EXPECT_EQ(trim_right("   "), "");

    EXPECT_TRUE(host(nullptr, 5).empty());
    EXPECT_TRUE(host("abc", -1).empty());
    EXPECT_EQ(host("abcdef", 3), "abc");
}

}  // namespace
}  // namespace usersub::text
