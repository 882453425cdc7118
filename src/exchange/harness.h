// Harness signals: named bundles of signals between the host's sensors and
// actuators and the user routines. Created once with nsig signals for each of
// nharn harnesses; the signal index varies fastest.
#pragma once

#include "common/array.h"

#include <cstddef>
#include <cstdint>
#include <string_view>

namespace usersub::exchange {

inline constexpr std::size_t kHarnessNameLen = 117;

// Creates the store: names blank, every matrix entry -999.0. A second call
// stops the run with the allocation error.
void alloc_user_harn(std::int32_t nsig, std::int32_t nharn);
bool harness_allocated() noexcept;

// The harness count as the host gave it (negative counts are kept as given;
// the arrays then have no columns). 0 before the store exists.
std::int32_t harness_count() noexcept;
// Rows of the signal matrices: max(nsig, 0).
std::int32_t harness_signal_count() noexcept;

void init_user_harn(std::int32_t iharn, std::string_view name) noexcept;
std::string_view harness_name(std::int32_t iharn) noexcept;  // 117 characters

// Number of the first harness whose name equals name (trailing blanks never
// matter); 0 when none does.
std::int32_t get_user_harn_id(std::string_view name) noexcept;

// Writes names 1..harness_count() into the host's array of texts: element i
// (extent elements, checked) starts at base + (i - 1) * stride_bytes and is
// elem_len characters long. Returns harness_count().
std::int32_t get_user_harn_names(char* base, std::size_t elem_len, std::int64_t extent,
                                 std::int64_t stride_bytes) noexcept;

// Checked views of the signal matrices, (signal, harness). The actuator
// matrix GACTU is written and read by user routines directly; the views stay
// valid for the rest of the run once the store exists.
ArrayN<double, 2> gactu() noexcept;
ArrayN<const double, 2> harness_inputs() noexcept;
// The two dump columns the host may fill; nothing in the library reads them.
Array1<const double> harness_dump_a() noexcept;
Array1<const double> harness_dump_b() noexcept;

double get_user_harn_input(std::int32_t isig, std::int32_t iharn) noexcept;
double get_user_harn_output(std::int32_t isig, std::int32_t iharn) noexcept;
void set_user_harn_output(std::int32_t isig, std::int32_t iharn, double value) noexcept;

// Signals 1..n of harness iharn (or of a dump column) from values; n below 1
// copies nothing.
void sensactudump1(std::int32_t n, std::int32_t iharn, const double* values) noexcept;
void sensactudump2a(std::int32_t n, const double* values) noexcept;
void sensactudump2b(std::int32_t n, const double* values) noexcept;

}  // namespace usersub::exchange
