#include "common/output.h"

#include <charconv>
#include <cstdio>

namespace usersub::out {

void write_line(std::string_view text)
{
    std::fwrite(text.data(), 1, text.size(), stdout);
    std::fputc('\n', stdout);
}

void append_real(std::string& line, double value)
{
    char buf[32];
    const auto res = std::to_chars(buf, buf + sizeof buf, value);
    const std::string_view digits{buf, static_cast<std::size_t>(res.ptr - buf)};
    line += digits;
    if (digits.find_first_of(".eian") == std::string_view::npos) line += ".0";
}

void ListLine::separate()
{
    if (!first_) line_ += ' ';
    first_ = false;
}

ListLine& ListLine::operator<<(std::string_view text)
{
    separate();
    line_ += text;
    return *this;
}

ListLine& ListLine::operator<<(std::int64_t value)
{
    separate();
    char buf[24];
    const auto res = std::to_chars(buf, buf + sizeof buf, value);
    line_.append(buf, res.ptr);
    return *this;
}

ListLine& ListLine::operator<<(double value)
{
    separate();
    append_real(line_, value);
    return *this;
}

}  // namespace usersub::out
