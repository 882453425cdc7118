#include "usermodels/argument_checks.h"

#include "common/output.h"
#include "common/run_stop.h"

#include <string>

namespace usersub::usermodels {
namespace {

[[noreturn]] void report(std::string_view entry, std::string_view kind, std::int32_t number,
                         std::string_view what, std::string_view condition, double value) noexcept
{
    std::string head = "F*** ";
    head += entry;
    head += ": ";
    head += kind;
    head += ' ';
    head += std::to_string(number);
    head += " (";
    head += what;
    head += ") ";
    head += condition;
    head += ':';
    out::list(head, value);
    stop_run();
}

}  // namespace

void argument_error(std::string_view entry, std::int32_t position, std::string_view what,
                    std::string_view condition, double value) noexcept
{
    report(entry, "argument", position, what, condition, value);
}

void parameter_error(std::string_view entry, std::int32_t number, std::string_view what,
                     std::string_view condition, double value) noexcept
{
    report(entry, "real parameter", number, what, condition, value);
}

}  // namespace usersub::usermodels
