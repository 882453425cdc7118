// What every user-model routine shares: the input-error stop.
#pragma once

#include <initializer_list>
#include <string_view>

namespace usersub::usermodels {

// A routine whose parameters do not fit: writes each line list-directed
// (one leading blank, the text as it stands) and stops the run.
[[noreturn]] void input_error(std::initializer_list<std::string_view> lines) noexcept;

}  // namespace usersub::usermodels
