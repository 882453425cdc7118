// The common layer: one-based arrays and their bounds diagnostic, fixed-length
// texts, list-directed and Fortran-edited output, and the run stop.
//
// Every expected Fortran field below was printed by gfortran 12.2 with
// tools/fortran_format_reference.f90, but for E and G with d = 0, where gfortran stops.
// Real rows are {w, d, value, field}; the value text is converted with strtod, giving the
// same double as the reference program's list-directed READ.
#include "common/array.h"
#include "common/fixed_text.h"
#include "common/fortran_format.h"
#include "common/output.h"
#include "common/run_stop.h"
#include "support/child.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <iterator>
#include <limits>
#include <string>
#include <tuple>
#include <unistd.h>
#include <vector>

namespace usersub {
namespace {

using namespace usersub::fmt;

TEST(Array1, OneBasedAccessOverHostArrayAndStorage)
{
    double host[3] = {1.5, 2.5, 3.5};
    const Array1<double> a("HOSTARR", host, 3), zero_based("Z", host, 3, 0);
    a(2) = 9.0;
    EXPECT_EQ(std::tie(a(1), a(3), host[1]), std::make_tuple(1.5, 3.5, 9.0));
    EXPECT_EQ(a.span(2, 3).size(), 2u);
    EXPECT_TRUE(a.span(3, 2).empty());  // an empty run is not checked
    EXPECT_EQ(std::tie(zero_based(0), zero_based(2)), std::make_tuple(1.5, 3.5));  // the upper bound is 2

    Storage<int, 1> s("STORE");
    s.assign({4}, -999);
    EXPECT_EQ(view1(s)(4), -999);
}

// An out-of-range subscript writes one line naming array, subscript, value and
// bound, and ends the run with status 1.
TEST(BoundsDiagnostic, StopsTheRunWithTheViolatedBound)
{
    int data[4] = {};
    const Array1<int> a("INTPARM", data, 4);
    test::expect_child_stop([&] { (void)a(5); },
                            " Array bounds error: subscript 1 of array INTPARM has value 5, above its upper bound 4\n");

    Storage<double, 2> m("XDATA");
    m.assign({201, 2}, 0.0);
    test::expect_child_stop([&] { (void)m(1, 0); },
                            " Array bounds error: subscript 2 of array XDATA has value 0, below its lower bound 1\n");

    char buf[2 * 5];
    const TextArray<char> t("NAMES", buf, 5, 2);
    t.assign(1, "ab");
    t.assign(2, "abcdefgh");
    EXPECT_EQ(t(2), "abcde");
    test::expect_child_stop_mentioning([&] { (void)t(3); }, "array NAMES has value 3, above");
}

TEST(FixedText, AssignmentPadsOrCutsAndComparisonIgnoresTrailingBlanks)
{
    char field[6];
    text::assign(field, 6, "abc");
    EXPECT_EQ(std::string_view(field, 6), "abc   ");
    text::assign(field, 6, "abcdefghij");
    EXPECT_EQ(std::string_view(field, 6), "abcdef");
    EXPECT_EQ(text::Fixed<4>{}.view(), "    ");

    // Leading blanks count, and so does case.
    for (auto [a, b, equal] : {std::tuple{"N2", "N2      ", true}, {"", "   ", true}, {" N2", "N2", false},
                               {"n2", "N2", false}, {"N2 x", "N2", false}})
        EXPECT_EQ(text::equal(a, b), equal) << '"' << a << "\" \"" << b << '"';
    EXPECT_EQ(text::trim_right("   "), "");

    EXPECT_TRUE(text::host(nullptr, 5).empty());
    EXPECT_TRUE(text::host("abc", -1).empty());
    EXPECT_EQ(text::host("abcdef", 3), "abc");
}

TEST(ListDirected, LeadingBlankThenBlankSeparatedItemsToStandardOutput)
{
    out::ListLine line;
    line << "User model:" << std::int32_t{3} << 2.5 << -1e20 << 2.0 << std::int64_t{-7};
    EXPECT_EQ(line.str(), " User model: 3 2.5 -1e+20 2.0 -7");
    EXPECT_EQ(out::ListLine{}.str(), " ");

    std::string s = "0.1 ";  // shortest forms that read back exactly
    out::append_real(s, 0.1);
    out::append_real(s, 1.0 / 3.0);
    EXPECT_EQ(s, "0.1 0.10.3333333333333333");

    EXPECT_EQ(test::capture_stdout([] {
                  out::list("W*** warning", std::int32_t{12});
                  out::write_line("as it stands");
              }),
              " W*** warning 12\nas it stands\n");
}

// A fatal error flushes what was written, closes the library's files (their
// buffered lines reach the disk) and ends the process with status 1.
TEST(RunStop, FlushesClosesFilesAndExitsWithStatusOne)
{
    char path[] = "/tmp/usersub_run_stop_XXXXXX";
    ASSERT_EQ(close(mkstemp(path)), 0);
    const auto write_then_stop = [&] {
        std::FILE* f = std::fopen(path, "w");
        register_file(f);
        std::fputs("buffered line\n", f);
        std::fputs("partial stdout", stdout);  // no newline, still buffered
        stop_run();
    };
    test::expect_child_stop(write_then_stop, "partial stdout");
    std::ifstream in(path);
    EXPECT_EQ(std::string(std::istreambuf_iterator<char>(in), {}), "buffered line\n");
    std::remove(path);
}

struct Case { int w, d; const char* value; const char* field; };

void expect_fields(std::string (*format)(double, int, int), const std::vector<Case>& cases) {
    for (const Case& c : cases)
        EXPECT_EQ(format(std::strtod(c.value, nullptr), c.w, c.d), c.field)
            << "w=" << c.w << " d=" << c.d << " value=" << c.value;
}

TEST(FortranFormat, IntegerField) {
    const std::int64_t min = std::numeric_limits<std::int64_t>::min();
    for (auto [value, w, field] : {std::tuple{std::int64_t{-42}, 5, "  -42"}, {0, 3, "  0"}, {-42, 2, "**"}, {-42, 0, "-42"},
                                   {min, 20, "-9223372036854775808"}, {min, 19, "*******************"}})
        EXPECT_EQ(format_i(value, w), field) << value << ' ' << w;
}

// Optional leading zero, signed zero, ties, carries, exact binary digits, width 0 and the
// width-dependent spelling of NaN and Infinity.
TEST(FortranFormat, FixedField) {
    expect_fields(format_f, {
        {6, 2, "0.5", "  0.50"}, {3, 2, "0.5", ".50"}, {4, 2, "-0.5", "-.50"},
        {5, 2, "-0.001", "-0.00"}, {5, 2, "-0.0", "-0.00"}, {2, 0, "0.4", "0."},
        {1, 0, "0.4", "*"}, {4, 0, "2.5", "  2."}, {10, 2, "0.005", "      0.01"},
        {8, 4, "9.99995", " 10.0000"}, {7, 4, "-9.99995", "*******"},
        {40, 30, "0.1", "        0.100000000000000005551115123126"},
        {12, 2, "1e300", "************"}, {0, 2, "0.5", ".50"}, {0, 0, "-0.4", "-0."},
        {2, 4, "NaN", "**"}, {8, 4, "Inf", "Infinity"}, {7, 4, "Inf", "    Inf"},
        {9, 4, "-Inf", "-Infinity"}, {8, 4, "-Inf", "    -Inf"}, {3, 4, "-Inf", "***"},
    });
}

// Exponent carry from rounding, exponent 99 with the letter and 3-digit ones without it,
// subnormals. gfortran stops with a run-time error for E and G with d = 0; the field is
// filled instead.
TEST(FortranFormat, ExponentField) {
    expect_fields(format_e, {
        {12, 4, "12.345", "  0.1235E+02"}, {10, 4, "-12.345", "-.1235E+02"},
        {9, 4, "-12.345", "*********"}, {10, 4, "9.99995", "0.1000E+02"},
        {8, 1, "0.25", " 0.2E+00"}, {12, 4, "-0.0", " -0.0000E+00"},
        {12, 4, "1e100", "  0.1000+101"}, {9, 4, "1e100", ".1000+101"},
        {12, 4, "1e-99", "  0.1000E-98"}, {12, 4, "1e98", "  0.1000E+99"}, {12, 4, "4.9e-324", "  0.4941-323"},
        {12, 4, "-Inf", "   -Infinity"}, {6, 0, "1.0", "******"},
    });
}

// Both sides of the decade boundaries; 0.95 and 9.9995 lie just below a boundary in binary
// yet take the upper form, as gfortran compares in double arithmetic.
TEST(FortranFormat, GeneralField) {
    expect_fields(format_g, {
        {12, 4, "0.0", "   0.000    "}, {12, 4, "-0.0", "  -0.000    "}, {6, 2, "0.0", ".0    "},
        {12, 4, "0.0999949", "  0.9999E-01"}, {12, 4, "0.09999995", "  0.1000    "},
        {12, 4, "9.9995", "   10.00    "}, {12, 4, "9999.4", "   9999.    "},
        {12, 4, "9999.5", "  0.1000E+05"}, {12, 4, "-0.001", " -0.1000E-02"},
        {8, 1, "0.95", "  1.    "}, {8, 1, "0.94", " 0.9    "}, {8, 1, "9.5", " 0.1E+02"},
        {6, 1, "1.5", "2.    "}, {5, 1, "1.5", "*****"}, {7, 2, "150", ".15E+03"},
        {10, 4, "-9999.4", "-9999.    "}, {12, 4, "NaN", "         NaN"}, {6, 0, "1.0", "******"},
    });
}

// One digit before the point: zero, signed zero, carry into the next decade, ties of exact
// binary values, exponents on both sides of 99, no optional digit to drop in a narrow
// field, d = 0.
TEST(FortranFormat, ScaledExponentField) {
    expect_fields(format_1pe, {
        {12, 4, "1.0", "  1.0000E+00"}, {12, 4, "0.0", "  0.0000E+00"},
        {12, 4, "-0.0", " -0.0000E+00"}, {12, 4, "-12.345", " -1.2345E+01"},
        {12, 4, "9.99995e4", "  1.0000E+05"}, {12, 4, "-9.99995e4", " -1.0000E+05"},
        {12, 4, "10000.5", "  1.0000E+04"}, {12, 4, "1.23456e-5", "  1.2346E-05"},
        {12, 4, "1e100", "  1.0000+100"}, {12, 4, "-1e-100", " -1.0000-100"}, {12, 4, "1e-99", "  1.0000E-99"},
        {12, 4, "9.99995e99", "  1.0000+100"}, {12, 4, "4.9e-324", "  4.9407-324"},
        {11, 4, "-1e-100", "-1.0000-100"}, {10, 4, "-1e-100", "**********"},
        {10, 4, "-12.345", "**********"}, {8, 1, "0.25", " 2.5E-01"}, {6, 0, "1.5", "2.E+00"},
        {12, 4, "NaN", "         NaN"}, {12, 4, "-Inf", "   -Infinity"},
    });
}

}  // namespace
}  // namespace usersub
