#pragma once
#include <cstdint>
#include <string>
namespace usersub::fmt {
// Each returns exactly w characters, as a Fortran WRITE with the edit descriptor would
// (right-justified; a field too narrow for the value is w asterisks).
std::string format_i(std::int64_t value, int w);        // Iw
std::string format_f(double value, int w, int d);       // Fw.d
std::string format_e(double value, int w, int d);       // Ew.d  (e.g. E12.4 -> "  0.1235E+02")
std::string format_g(double value, int w, int d);       // Gw.d
std::string format_1pe(double value, int w, int d);     // 1PEw.d (1PE12.4 -> "  1.2345E+01")
// Appends to `out` instead of returning (same rules), for callers building a line.
void append_i(std::string& out, std::int64_t value, int w);
void append_f(std::string& out, double value, int w, int d);
void append_e(std::string& out, double value, int w, int d);
void append_g(std::string& out, double value, int w, int d);
void append_1pe(std::string& out, double value, int w, int d);
}
