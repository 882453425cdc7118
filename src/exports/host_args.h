// Conversions between the host's arguments and the library's C++ interface,
// shared by every extern "C" entry point.
#pragma once

#include "common/fixed_text.h"
#include "common/run_stop.h"
#include "usersub.h"

#include <cstddef>
#include <cstdint>
#include <string_view>

namespace usersub::host {

// A logical argument is true when its bit 0 is set.
inline bool logical(const std::int32_t* l) noexcept { return (*l & 1) != 0; }

// Writes value to an optional output; a null address is skipped.
template <class T, class V>
inline void put(T* out, const V& value) noexcept
{
    if (out != nullptr) *out = static_cast<T>(value);
}

// Copies text into the host's output text (blank-padded or cut to its length);
// a null address is skipped.
inline void put_text(char* out, std::intptr_t len, std::string_view value) noexcept
{
    if (out != nullptr && len > 0) text::assign(out, static_cast<std::size_t>(len), value);
}

// Describes one of the library's arrays to the host: 1-based, contiguous.
inline usersub_array_view view_of(const void* base, std::size_t elem_len, std::int64_t extent) noexcept
{
    usersub_array_view v{};
    v.base = extent > 0 ? reinterpret_cast<std::intptr_t>(base) : 0;
    v.elem_len = static_cast<std::intptr_t>(elem_len);
    v.offset = -1;
    v.flags = 2;
    v.rank = 1;
    v.reserved = 0;
    v.extent = extent > 0 ? static_cast<std::intptr_t>(extent) : 0;
    v.stride = static_cast<std::intptr_t>(elem_len);
    v.lower = 1;
    return v;
}

}  // namespace usersub::host
