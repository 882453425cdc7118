#include "properties/property_reports.h"
#include "properties/state_request.h"
#include "support/child.h"

#include <gtest/gtest.h>

#include <string>

namespace usersub::properties {
namespace {

using usersub::test::run_in_child;

TEST(LocationTexts, LabelsAreFixedFieldsWithTheIrregularSpacingKept)
{
    EXPECT_EQ(location_text(location_code()), std::string(40, ' '));  // 0 at load
    EXPECT_EQ(location_text(16), "Update first 2 timesteps, istep=" + std::string(8, ' '));
    EXPECT_EQ(location_text(21), "DROPLETEVAP,  istep=" + std::string(20, ' '));
    EXPECT_EQ(location_text(72), "BURNRATE(HTRL),istep=" + std::string(19, ' '));
    for (int code = 1; code < kLocationCount; ++code)
        EXPECT_NE(location_text(code).find("istep= "), std::string_view::npos) << code;

    auto r = run_in_child([] { (void)location_text(74); });
    EXPECT_EQ(r.exit_status, 1);
    EXPECT_NE(r.output.find("LOCATION_TEXTS"), std::string::npos);
}

TEST(LocationLines, EachFormReadsAsTheReportsWriteIt)
{
    set_location_code(kLocationStateTP);
    EXPECT_EQ(location_line(ReportLocation::state_entry), "At location:  Pipe Subvolume, istep=  Part = unknown");
    EXPECT_EQ(location_line(ReportLocation::state_solver), "At location:  Pipe Subvolume, istep=  CMP = unknown");
    EXPECT_EQ(location_line(ReportLocation::mixture),
              "At location:  Pipe Subvolume, istep=     0  Part = unknown");
    set_location_code(kLocationStateRE);
    EXPECT_EQ(location_line(WarningLocation::liquid_range, 123),
              "   At location: Anechoic, istep=   123 Part = unknown");
    EXPECT_EQ(location_line(WarningLocation::solver_gamma, 7), "At location: Anechoic, istep=     7 CMP = unknown");
    // After a completed solve the code is 0: blanks stand for the label.
    set_location_code(kLocationNone);
    EXPECT_EQ(location_line(ReportLocation::state_entry), "At location:    Part = unknown");
}

// Reference lines from gfortran: E12.4 (10000.5 -> "  0.1000E+05"), (a,2i4,a,f10.3,1x,f10.1),
// (6g12.4), (6g11.4), (a,g12.4,a).
TEST(FatalReport, EachPartReadsBackLineByLine)
{
    auto r = run_in_child([] {
        set_location_code(kLocationStateTPEq);
        FatalReport("F*** Temperature above 10000K in call to fluid properties routine")
            .state_values(10000.5, -2.5e6)
            .location(ReportLocation::state_entry)
            .stop();
    });
    EXPECT_EQ(r.exit_status, 1);
    EXPECT_EQ(r.output,
              "F*** Temperature above 10000K in call to fluid properties routine\n"
              "T (K) =   0.1000E+05, P (bar) =  -0.2500E+02\n"
              "At location:  FlowSplit, istep=  Part = unknown\n");

    r = run_in_child([] {
        set_location_code(kLocationStateREEq);
        const double y[] = {0.5, 0.25, 1.0e-3, 0.0, 0.2, 0.025, 1.0e-5, 0.125, 12345.0};
        FatalReport("F*** Density negative or zero during iteration in fluid properties routine")
            .location(ReportLocation::state_solver)
            .iteration_state(3, 12, 1.23456789e6, 1234.56)
            .composition(Array1<const double>("Y", y, 9), 7)
            .labelled_value("     rho          = ", -850.25, " kg/m^3")
            .stop();
    });
    EXPECT_EQ(r.exit_status, 1);
    EXPECT_EQ(r.output,
              "F*** Density negative or zero during iteration in fluid properties routine\n"
              "At location:  Fmass(cone), istep=  CMP = unknown\n"
              " it,itt =    3  12  p(bar),T(K) =     12.346     1234.6\n"
              "  0.5000      0.2500      0.1000E-02   0.000      0.2000      0.2500E-01\n"
              "  0.1000E-04\n"
              " 0.1250     0.1234E+05\n"
              "     rho          =   -850.2     kg/m^3\n");

    r = run_in_child([] { FatalReport::list_directed("F*** Conflict with local species storage").stop(); });
    EXPECT_EQ(r.exit_status, 1);
    EXPECT_EQ(r.output, " F*** Conflict with local species storage\n");
}

}  // namespace
}  // namespace usersub::properties
