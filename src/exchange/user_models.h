// User-model parameter records: one per user model, filled by the host at
// set-up, handed to the user routines as 1-based, bounds-checked views.
#pragma once

#include "common/array.h"

#include <cstddef>
#include <cstdint>

namespace usersub::exchange {

inline constexpr std::size_t kCharParmLen = 132;

// What a routine receives for its record: entry counts and views of the four
// arrays (no copies). A routine keeps one of these in storage of its own.
struct UserModelArrays {
    std::int32_t nint = 0;
    std::int32_t nreal = 0;
    std::int32_t nchar = 0;
    std::int32_t nrlt = 0;
    Array1<const std::int32_t> intparm{"INTPARM"};
    Array1<const double> realparm{"REALPARM"};
    TextArray<const char> charparm{"CHARPARM", kCharParmLen};
    Array1<const double> rltarray{"RLTARRAY"};
};

void allocate_user_structure(std::int32_t n);
void load_user_intarray(std::int32_t imodel, std::int32_t n, const std::int32_t* values);
void load_user_realarray(std::int32_t imodel, std::int32_t n, const double* values);
// texts: n host texts of `len` characters each, laid end to end.
void load_user_chararray(std::int32_t imodel, std::int32_t n, const char* texts, std::size_t len);
void allocate_user_rltarray(std::int32_t imodel, std::int32_t n);
void set_user_rlt_value(std::int32_t imodel, std::int32_t n, const double* values) noexcept;

// An identifier below 1 gives zero counts and empty views.
void load_user_model_arrays(std::int32_t imodel, UserModelArrays& out) noexcept;

}  // namespace usersub::exchange
