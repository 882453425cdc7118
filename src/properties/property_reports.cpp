#include "properties/property_reports.h"

#include "common/fixed_text.h"
#include "common/fortran_format.h"
#include "common/output.h"
#include "common/run_stop.h"
#include "properties/state_request.h"

namespace usersub::properties {
namespace {

std::string_view current_label() noexcept
{
    return text::trim_right(location_text(location_code()));
}

}  // namespace

// The items of the location lines, written one after another as a formatted
// write would: the blank items are the explicit spaces between them.
std::string location_line(ReportLocation form)
{
    std::string line = "At location: ";
    line += ' ';
    line += current_label();
    if (form == ReportLocation::mixture) fmt::append_i(line, 0, 6);
    line += ' ';
    line += form == ReportLocation::state_solver ? " CMP = unknown" : " Part = unknown";
    return line;
}

std::string location_line(WarningLocation form, std::int32_t step)
{
    std::string line = form == WarningLocation::liquid_range ? "   At location: " : "At location: ";
    line += current_label();
    fmt::append_i(line, step, 6);
    line += form == WarningLocation::solver_gamma ? " CMP = unknown" : " Part = unknown";
    return line;
}

FatalReport::FatalReport(std::string_view message) { out::write_line(message); }

FatalReport::FatalReport(ListDirected, std::string_view message) { out::list(message); }

FatalReport FatalReport::list_directed(std::string_view message)
{
    return FatalReport(ListDirected{}, message);
}

FatalReport& FatalReport::line(std::string_view text)
{
    out::write_line(text);
    return *this;
}

FatalReport& FatalReport::state_values(double t_K, double p_Pa)
{
    std::string line = "T (K) = ";
    fmt::append_e(line, t_K, 12, 4);
    line += ", P (bar) = ";
    fmt::append_e(line, p_Pa * 1.0e-5, 12, 4);
    out::write_line(line);
    return *this;
}

FatalReport& FatalReport::location(ReportLocation form)
{
    out::write_line(location_line(form));
    return *this;
}

void FatalReport::stop() { stop_run(); }

}  // namespace usersub::properties
