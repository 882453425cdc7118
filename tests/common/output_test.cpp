#include "common/output.h"
#include "support/child.h"

#include <gtest/gtest.h>

namespace usersub::out {
namespace {

TEST(ListDirected, LeadingBlankThenBlankSeparatedItemsToStandardOutput)
{
    ListLine line;
    line << "User model:" << std::int32_t{3} << 2.5 << -1e20 << 2.0 << std::int64_t{-7};
    EXPECT_EQ(line.str(), " User model: 3 2.5 -1e+20 2.0 -7");
    EXPECT_EQ(ListLine{}.str(), " ");

    std::string s;
    append_real(s, 0.1);
    EXPECT_EQ(s, "0.1");  // shortest form that reads back exactly
    s.clear();
    append_real(s, 1.0 / 3.0);
    EXPECT_EQ(std::stod(s), 1.0 / 3.0);

    EXPECT_EQ(test::capture_stdout([] {
                  list("W*** warning", std::int32_t{12});
                  write_line("as it stands");
              }),
              " W*** warning 12\nas it stands\n");
}

}  // namespace
}  // namespace usersub::out
