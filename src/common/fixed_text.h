// Fixed-length, blank-padded text as the host passes it: never NUL-terminated,
// assigned by cutting or padding with blanks, compared as if the shorter operand
// were padded with blanks.
#pragma once

#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>
#include <string_view>

namespace usersub::text {

// The host's text argument (address, length). A null address or a length below 1
// gives an empty text.
inline std::string_view host(const char* p, std::intptr_t len) noexcept
{
    return (p == nullptr || len < 1) ? std::string_view{} : std::string_view{p, static_cast<std::size_t>(len)};
}

// Copies src into the field dst[0, len): cut at len, or padded with blanks.
inline void assign(char* dst, std::size_t len, std::string_view src) noexcept
{
    const std::size_t n = std::min(len, src.size());
    std::copy_n(src.data(), n, dst);
    std::fill(dst + n, dst + len, ' ');
}

inline std::string_view trim_right(std::string_view s) noexcept
{
    const auto last = s.find_last_not_of(' ');
    return last == std::string_view::npos ? std::string_view{} : s.substr(0, last + 1);
}

// Equality with the shorter operand taken as blank-padded; so names compare
// with their trailing blanks ignored, while leading blanks and case count.
inline bool equal(std::string_view a, std::string_view b) noexcept
{
    return trim_right(a) == trim_right(b);
}

// A fixed-length text field of N characters held in library storage.
template <std::size_t N>
struct Fixed {
    std::array<char, N> chars;

    Fixed() noexcept { chars.fill(' '); }
    Fixed& operator=(std::string_view s) noexcept
    {
        assign(chars.data(), N, s);
        return *this;
    }
    std::string_view view() const noexcept { return {chars.data(), N}; }
};

}  // namespace usersub::text
