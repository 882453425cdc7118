// Lines on standard output. Every message of the library goes through here.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace usersub::out {

// Writes text and a line end to standard output, as it stands.
void write_line(std::string_view text);

// Formats one real in the library's list-directed form: the shortest decimal
// that reads back to the same double, with ".0" added to an integral value
// ("2.0", "0.125", "-1e+20").
void append_real(std::string& line, double value);

// A list-directed line: one leading blank, then the items separated by blanks;
// texts unchanged, integers in plain decimal, reals by append_real.
class ListLine {
public:
    ListLine() : line_(" ") {}

    ListLine& operator<<(std::string_view text);
    ListLine& operator<<(const char* text) { return *this << std::string_view{text}; }
    ListLine& operator<<(std::int64_t value);
    ListLine& operator<<(std::int32_t value) { return *this << static_cast<std::int64_t>(value); }
    ListLine& operator<<(double value);

    const std::string& str() const noexcept { return line_; }
    void write() const { write_line(line_); }

private:
    void separate();

    std::string line_;
    bool first_ = true;
};

// Writes one list-directed line made of the given items.
template <class... Items>
void list(const Items&... items)
{
    ListLine line;
    (line << ... << items);
    line.write();
}

}  // namespace usersub::out
