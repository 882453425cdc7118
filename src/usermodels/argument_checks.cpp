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

void beyond_real_range(std::string_view entry, std::initializer_list<RangeSource> sources) noexcept
{
    const RangeSource* worst = sources.begin();
    for (const RangeSource& s : sources)
        if (s.reach > worst->reach) worst = &s;
    if (worst->parameter) parameter_error(entry, worst->number, worst->what, kBeyondRealRange, worst->value);
    argument_error(entry, worst->number, worst->what, kBeyondRealRange, worst->value);
}

}  // namespace usersub::usermodels
