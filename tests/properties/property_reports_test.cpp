#include "properties/property_reports.h"
#include "properties/state_request.h"
#include "support/child.h"

#include <gtest/gtest.h>

#include <string>

namespace usersub::properties {
namespace {

TEST(LocationTexts, LabelsAreFixedFieldsWithTheIrregularSpacingKept)
{
    EXPECT_EQ(location_code(), 0);
    EXPECT_EQ(location_text(0), std::string(40, ' '));
    EXPECT_EQ(location_text(1), "Pipe Subvolume, istep=" + std::string(18, ' '));
    EXPECT_EQ(location_text(2).substr(0, 18), "FlowSplit, istep= ");
    EXPECT_EQ(location_text(3).substr(0, 17), "Anechoic, istep= ");
    EXPECT_EQ(location_text(4).substr(0, 20), "Fmass(cone), istep= ");
    EXPECT_EQ(location_text(16), "Update first 2 timesteps, istep=" + std::string(8, ' '));
    EXPECT_EQ(location_text(21), "DROPLETEVAP,  istep=" + std::string(20, ' '));
    EXPECT_EQ(location_text(40).substr(0, 20), "HEATRELEASE, istep= ");
    EXPECT_EQ(location_text(72), "BURNRATE(HTRL),istep=" + std::string(19, ' '));
    EXPECT_EQ(location_text(73), "KNOCKKINETICS, istep=" + std::string(19, ' '));
    for (int code = 1; code < kLocationCount; ++code) {
        const auto label = location_text(code);
        ASSERT_EQ(label.size(), 40u);
        EXPECT_NE(label.find("istep= "), std::string_view::npos) << code;
    }

    auto r = test::run_in_child([] { (void)location_text(74); });
    EXPECT_EQ(r.exit_status, 1);
    EXPECT_NE(r.output.find("LOCATION_TEXTS"), std::string::npos);
}

TEST(LocationLines, EachFormReadsAsTheReportsWriteIt)
{
    set_location_code(kLocationStateTP);
    EXPECT_EQ(location_line(ReportLocation::state_entry),
              "At location:  Pipe Subvolume, istep=  Part = unknown");
    EXPECT_EQ(location_line(ReportLocation::state_solver),
              "At location:  Pipe Subvolume, istep=  CMP = unknown");
    EXPECT_EQ(location_line(ReportLocation::mixture),
              "At location:  Pipe Subvolume, istep=     0  Part = unknown");
    set_location_code(kLocationStateRE);
    EXPECT_EQ(location_line(WarningLocation::liquid_range, 123),
              "   At location: Anechoic, istep=   123 Part = unknown");
    EXPECT_EQ(location_line(WarningLocation::solver_gamma, 7),
              "At location: Anechoic, istep=     7 CMP = unknown");

    // After a completed solve the code is 0: only blanks stand for the label.
    set_location_code(kLocationNone);
    EXPECT_EQ(location_line(ReportLocation::state_entry), "At location:    Part = unknown");
    EXPECT_EQ(location_line(ReportLocation::state_solver), "At location:    CMP = unknown");
}

TEST(FatalReport, GuardedEntryReportReadsBackLineByLine)
{
    auto r = test::run_in_child([] {
        set_location_code(kLocationStateTPEq);
        FatalReport("F*** Temperature above 10000K in call to fluid properties routine")
            .state_values(10000.5, 0.0)
            .location(ReportLocation::state_entry)
            .stop();
    });
    EXPECT_EQ(r.exit_status, 1);
    // E12.4: 10000.5 = 0.100005E+05 -> "  0.1000E+05"; 0 -> "  0.0000E+00".
    EXPECT_EQ(r.output,
              "F*** Temperature above 10000K in call to fluid properties routine\n"
              "T (K) =   0.1000E+05, P (bar) =   0.0000E+00\n"
              "At location:  FlowSplit, istep=  Part = unknown\n");

    r = test::run_in_child([] {
        set_location_code(kLocationStateTP);
        FatalReport("F*** Pressure negative or zero in call to fluid properties routine")
            .state_values(293.15, -2.5e6)
            .location(ReportLocation::state_entry)
            .stop();
    });
    EXPECT_EQ(r.exit_status, 1);
    // 293.15 is stored just below itself: gfortran E12.4 writes "  0.2931E+03";
    // -2.5e6 Pa = -25 bar -> " -0.2500E+02".
    EXPECT_EQ(r.output,
              "F*** Pressure negative or zero in call to fluid properties routine\n"
              "T (K) =   0.2931E+03, P (bar) =  -0.2500E+02\n"
              "At location:  Pipe Subvolume, istep=  Part = unknown\n");
}

TEST(FatalReport, VariantsWithoutValuesOrLocation)
{
    auto r = test::run_in_child([] {
        FatalReport("F*** Bad species index in GETRHO1:     7").stop();
    });
    EXPECT_EQ(r.exit_status, 1);
    EXPECT_EQ(r.output, "F*** Bad species index in GETRHO1:     7\n");

    r = test::run_in_child([] {
        FatalReport::list_directed("F*** Conflict with local species storage").stop();
    });
    EXPECT_EQ(r.exit_status, 1);
    EXPECT_EQ(r.output, " F*** Conflict with local species storage\n");

    r = test::run_in_child([] {
        set_location_code(kLocationStateREEq);
        FatalReport("F*** Density negative or zero during iteration in fluid properties routine")
            .location(ReportLocation::state_solver)
            .line(" detail")
            .stop();
    });
    EXPECT_EQ(r.exit_status, 1);
    EXPECT_EQ(r.output,
              "F*** Density negative or zero during iteration in fluid properties routine\n"
              "At location:  Fmass(cone), istep=  CMP = unknown\n"
              " detail\n");
}

}  // namespace
}  // namespace usersub::properties
