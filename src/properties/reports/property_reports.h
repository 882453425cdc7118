// The fatal reports of the property library and the location lines of its
// reports and warnings. Every such line is formed here; the routines only say
// which lines they need.
#pragma once

#include "common/array.h"

#include <cstdint>
#include <string>
#include <string_view>

namespace usersub::properties {

// Location line that closes a fatal report. Each names the label of the
// current location code, without its trailing blanks.
enum class ReportLocation {
    state_entry,   // "At location:  <label>  Part = unknown"
    state_solver,  // "At location:  <label>  CMP = unknown"
    mixture,       // "At location:  <label>     0  Part = unknown"
};

// Location line of a rate-limited warning, with the time-step number in six
// columns after the label.
enum class WarningLocation {
    liquid_range,  // "   At location: <label><step> Part = unknown"
    solver_gamma,  // "At location: <label><step> CMP = unknown"
};

std::string location_line(ReportLocation form);
std::string location_line(WarningLocation form, std::int32_t step);

// A fatal report, written line by line as it is built and closed by stop(),
// which ends the run:
//   FatalReport(message).state_values(t_K, p_Pa).location(ReportLocation::state_entry).stop();
class [[nodiscard]] FatalReport {
public:
    // A formatted report: the message alone on the first line.
    explicit FatalReport(std::string_view message);

    // A list-directed report: one line, the message after one blank.
    static FatalReport list_directed(std::string_view message);

    // A further line, written as given.
    FatalReport& line(std::string_view text);

    // "T (K) = " T ", P (bar) = " P*1e-5, both in 1PE12.4 (one digit before the point).
    FatalReport& state_values(double t_K, double p_Pa);

    // " it,itt = " count and iteration (I4 each), "  p(bar),T(K) = " P*1e-5
    // (F10.3), a blank and T (F10.1).
    FatalReport& iteration_state(std::int32_t count, std::int32_t iteration, double p_Pa, double t_K);

    // A composition, six values a line: entries 1..n_own in G12.4, the rest
    // in G11.4.
    FatalReport& composition(Array1<const double> y, std::int64_t n_own);

    // label, value in G12.4, unit: one line.
    FatalReport& labelled_value(std::string_view label, double value, std::string_view unit);

    FatalReport& location(ReportLocation form);

    [[noreturn]] void stop();

private:
    struct ListDirected {};
    FatalReport(ListDirected, std::string_view message);
};

}  // namespace usersub::properties
