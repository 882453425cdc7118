// Fortran Iw, Fw.d, Ew.d, Gw.d and 1PEw.d output editing, matching gfortran's formatted WRITE in
// its default modes (rounding unspecified, scale factor 0, no optional plus sign).
//
// Digits come from printf ("%#.*f" / "%#.*e"), which yields the correctly rounded
// decimal form of the exact binary value -- the same digits gfortran prints, including
// ties of exactly representable values going to the even digit (F4.0 of 2.5 is "2.").
//
// Width 0 (I0, F0.d) gives gfortran's minimal-width output. E and G need w > 0, and
// d > 0 (gfortran stops with a run-time error for E/G with d = 0; here the field is
// filled with asterisks); 1PE accepts d = 0 ("2.E+00"). A negative w or d yields an
// empty string.
#include "common/fortran_format.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <string_view>

namespace usersub::fmt {
namespace {

// Right-justifies `body` in w columns, or w asterisks if it does not fit; w == 0 means
// "as wide as needed".
void append_field(std::string& out, std::string_view body, int w) {
    if (w == 0) {
        out += body;
    } else if (body.size() > static_cast<std::size_t>(w)) {
        out.append(w, '*');
    } else {
        out.append(w - body.size(), ' ');
        out += body;
    }
}

// gfortran spells infinity out in full only when the field has room for it, and never
// prints a sign for NaN.
void append_nonfinite(std::string& out, double v, int w) {
    std::string_view s;
    if (std::isnan(v)) {
        s = "NaN";
    } else if (std::signbit(v)) {
        s = (w >= 9) ? "-Infinity" : "-Inf";
    } else {
        s = (w >= 8) ? "Infinity" : "Inf";
    }
    append_field(out, s, w);
}

// printf conversion of the non-negative value a with `prec` digits after the point; the
// '#' flag keeps the point even when prec is 0.
std::string printf_digits(double a, int prec, bool exponent_form) {
    char buf[32];
    auto print = [&](char* dst, std::size_t size) {
        return exponent_form ? std::snprintf(dst, size, "%#.*e", prec, a)
                             : std::snprintf(dst, size, "%#.*f", prec, a);
    };
    const int n = print(buf, sizeof buf);
    if (n < static_cast<int>(sizeof buf)) return std::string(buf, n);
    std::string s(n, '\0');
    print(s.data(), s.size() + 1);
    return s;
}

// Fw.d: [-]iii.ddd. The sign follows the sign bit, so -0.0 and negative values that round
// to zero print as "-0.00". The leading zero of a value below 1 is optional and dropped
// when the field is too narrow for it (F3.2 of 0.5 is ".50"), and always at width 0; it
// stays when d is 0, where it is the only digit ("0.").
void append_fixed(std::string& out, double v, int w, int d) {
    const std::string_view sign = std::signbit(v) ? "-" : "";
    std::string digits = printf_digits(std::fabs(v), d, false);
    if (d > 0 && digits[0] == '0' &&
        (w == 0 || sign.size() + digits.size() > static_cast<std::size_t>(w))) {
        digits.erase(0, 1);
    }
    append_field(out, std::string(sign) + digits, w);
}

// The exponent of the E forms: E+xx, or +xxx without the letter beyond two digits.
void append_exponent_part(std::string& body, int exp10) {
    const int mag = std::abs(exp10);
    if (mag <= 99) body += 'E';
    body += exp10 < 0 ? '-' : '+';
    if (mag > 99) body += static_cast<char>('0' + mag / 100);
    body += static_cast<char>('0' + mag / 10 % 10);
    body += static_cast<char>('0' + mag % 10);
}

// Ew.d with scale factor 0: [-]0.ddddE+xx. Exponents beyond two digits drop the letter
// to keep the width ("0.1000+101"). Zero has exponent 0. The leading 0 is optional and
// dropped when the field is too narrow.
void append_exponent(std::string& out, double v, int w, int d) {
    if (d == 0) {
        out.append(w, '*');
        return;
    }
    const double a = std::fabs(v);
    const std::string s = printf_digits(a, d - 1, true);  // "d.ddde+xx"
    const std::size_t e = s.find('e');
    const int exp10 = (a == 0) ? 0 : std::atoi(s.c_str() + e + 1) + 1;

    std::string body = std::signbit(v) ? "-0." : "0.";
    body += s[0];
    body.append(s, 2, e - 2);
    append_exponent_part(body, exp10);
    if (body.size() > static_cast<std::size_t>(w)) body.erase(body.find('0'), 1);
    append_field(out, body, w);
}

// 1PEw.d: [-]d.ddddE+xx, one significant digit before the point and d after it, so the
// value is rounded to d + 1 digits (9.99995e4 becomes 1.0000E+05). The digit before the
// point is never dropped; zero is 0.0000E+00.
void append_scaled_exponent(std::string& out, double v, int w, int d) {
    const double a = std::fabs(v);
    const std::string s = printf_digits(a, d, true);  // "d.dddde+xx", carry already applied
    const std::size_t e = s.find('e');
    const int exp10 = (a == 0) ? 0 : std::atoi(s.c_str() + e + 1);

    std::string body = std::signbit(v) ? "-" : "";
    body.append(s, 0, e);
    append_exponent_part(body, exp10);
    append_field(out, body, w);
}

// 10^k built by repeated multiplication, as gfortran does when choosing the G form.
double power_of_ten(int k) {
    double r = 1.0;
    for (int i = 0; i < std::abs(k); ++i) r *= 10.0;
    return k >= 0 ? r : 1.0 / r;
}

// Gw.d: values whose magnitude rounds into [0.1, 10^d) are written as F(w-4).(d-k)
// followed by 4 blanks, where k is the number of integer digits; all others use Ew.d.
// gfortran decides this by comparing the binary value against the boundaries
// 10^k * (1 - 0.5e-d) computed in double precision, not by rounding to d digits first,
// so a value just below a boundary in binary but equal to it in double arithmetic takes
// the upper form (G8.1 of 0.95 is "  1.    ", although 0.95 rounds to 0.9).
void append_general(std::string& out, double v, int w, int d) {
    if (d == 0) {
        out.append(w, '*');
        return;
    }
    const double m = std::fabs(v);
    const double exp_d = power_of_ten(d);
    const double r_sc = 1.0 - 0.5 / exp_d;
    int decimals = d - 1;  // zero: F(w-4).(d-1)
    if (m != 0) {
        if (m < 0.1 * r_sc || 0.5 >= exp_d - m) {
            append_exponent(out, v, w, d);
            return;
        }
        int k = 0;
        while (k < d && !(m < power_of_ten(k) * r_sc)) ++k;
        decimals = d - k;
    }
    const int pad = (w > 4) ? 4 : w - 1;  // gfortran keeps at least one column for F
    std::string field;
    append_fixed(field, v, w - pad, decimals);
    if (field.front() == '*') {
        out.append(w, '*');
    } else {
        out += field;
        out.append(pad, ' ');
    }
}

}  // namespace

void append_i(std::string& out, std::int64_t value, int w) {
    if (w >= 0) append_field(out, std::to_string(value), w);
}

void append_f(std::string& out, double value, int w, int d) {
    if (w < 0 || d < 0) return;
    if (!std::isfinite(value)) return append_nonfinite(out, value, w);
    append_fixed(out, value, w, d);
}

void append_e(std::string& out, double value, int w, int d) {
    if (w <= 0 || d < 0) return;
    if (!std::isfinite(value)) return append_nonfinite(out, value, w);
    append_exponent(out, value, w, d);
}

void append_g(std::string& out, double value, int w, int d) {
    if (w <= 0 || d < 0) return;
    if (!std::isfinite(value)) return append_nonfinite(out, value, w);
    append_general(out, value, w, d);
}

void append_1pe(std::string& out, double value, int w, int d) {
    if (w <= 0 || d < 0) return;
    if (!std::isfinite(value)) return append_nonfinite(out, value, w);
    append_scaled_exponent(out, value, w, d);
}

std::string format_i(std::int64_t value, int w) {
    std::string s;
    append_i(s, value, w);
    return s;
}

std::string format_f(double value, int w, int d) {
    std::string s;
    append_f(s, value, w, d);
    return s;
}

std::string format_e(double value, int w, int d) {
    std::string s;
    append_e(s, value, w, d);
    return s;
}

std::string format_g(double value, int w, int d) {
    std::string s;
    append_g(s, value, w, d);
    return s;
}

std::string format_1pe(double value, int w, int d) {
    std::string s;
    append_1pe(s, value, w, d);
    return s;
}

}  // namespace usersub::fmt
