#include "properties/reports/property_reports.h"

#include "common/fixed_text.h"
#include "common/fortran_format.h"
#include "common/output.h"
#include "common/run_stop.h"
#include "properties/reports/location.h"

#include <algorithm>

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
    fmt::append_1pe(line, t_K, 12, 4);
    line += ", P (bar) = ";
    fmt::append_1pe(line, p_Pa * 1.0e-5, 12, 4);
    out::write_line(line);
    return *this;
}

FatalReport& FatalReport::iteration_state(std::int32_t count, std::int32_t iteration, double p_Pa,
                                          double t_K)
{
    std::string line = " it,itt = ";
    fmt::append_i(line, count, 4);
    fmt::append_i(line, iteration, 4);
    line += "  p(bar),T(K) = ";
    fmt::append_f(line, p_Pa * 1.0e-5, 10, 3);
    line += ' ';
    fmt::append_f(line, t_K, 10, 1);
    out::write_line(line);
    return *this;
}

FatalReport& FatalReport::composition(Array1<const double> y, std::int64_t n_own)
{
    const auto write_rows = [&](std::int64_t first, std::int64_t last, int width) {
        std::string line;
        for (std::int64_t k = first; k <= last; ++k) {
            fmt::append_g(line, y(k), width, 4);
            if ((k - first) % 6 == 5 || k == last) {
                out::write_line(line);
                line.clear();
            }
        }
    };
    const std::int64_t own = std::min(n_own, y.upper());
    write_rows(y.lower(), own, 12);
    write_rows(own + 1, y.upper(), 11);
    return *this;
}

FatalReport& FatalReport::labelled_value(std::string_view label, double value, std::string_view unit)
{
    std::string line(label);
    fmt::append_g(line, value, 12, 4);
    line += unit;
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
