#include "exchange/harness.h"

#include "common/run_stop.h"

#include <algorithm>
#include <utility>
#include <vector>

namespace usersub::exchange {
namespace {

struct HarnessStore {
    bool allocated = false;
    std::int32_t n_harness = 0;
    std::vector<char> names;  // n_harness x kHarnessNameLen
    Storage<double, 2> inputs{"HARNESS_INPUTS"};
    Storage<double, 2> gactu{"GACTU"};
    Storage<double, 1> dump_b{"HARNESS_DUMP_B"};
    Storage<double, 1> dump_a{"HARNESS_DUMP_A"};
};

HarnessStore& store() noexcept
{
    static HarnessStore s;
    return s;
}

TextArray<char> names() noexcept
{
    auto& s = store();
    return {"HARNESS_NAMES", s.names.data(), kHarnessNameLen,
            static_cast<std::int64_t>(s.names.size() / kHarnessNameLen)};
}

// Signals 1..n of a dump column from values.
void copy_into(Storage<double, 1>& column, std::int32_t n, const double* values) noexcept
{
    for (std::int32_t k = 1; k <= n; ++k) column(k) = values[k - 1];
}

}  // namespace

void alloc_user_harn(std::int32_t nsig, std::int32_t nharn)
{
    auto& s = store();
    if (s.allocated) fatal_already_allocated("USER_HARNESS_DATA");
    const std::int64_t rows = std::max(nsig, 0);
    const std::int64_t cols = std::max(nharn, 0);
    s.n_harness = nharn;
    s.names.assign(static_cast<std::size_t>(cols) * kHarnessNameLen, ' ');
    s.inputs.assign({rows, cols}, -999.0);
    s.gactu.assign({rows, cols}, -999.0);
    s.dump_b.assign({rows}, -999.0);
    s.dump_a.assign({rows}, -999.0);
    s.allocated = true;
}

bool harness_allocated() noexcept { return store().allocated; }
std::int32_t harness_count() noexcept { return store().n_harness; }
std::int32_t harness_signal_count() noexcept { return static_cast<std::int32_t>(store().gactu.extent(0)); }

void init_user_harn(std::int32_t iharn, std::string_view name) noexcept { names().assign(iharn, name); }

std::string_view harness_name(std::int32_t iharn) noexcept { return names()(iharn); }

std::int32_t get_user_harn_id(std::string_view name) noexcept
{
    const auto all = names();
    for (std::int32_t i = 1; i <= store().n_harness; ++i)
        if (text::equal(name, all(i))) return i;
    return 0;
}

std::int32_t get_user_harn_names(char* base, std::size_t elem_len, std::int64_t extent,
                                 std::int64_t stride_bytes) noexcept
{
    const std::int32_t n = store().n_harness;
    if (n < 1) return n;
    // The host's array must hold every name: its last entry is checked once.
    check_index("NAMES", 1, n, 1, base == nullptr ? 0 : extent);
    const auto all = names();
    for (std::int32_t i = 1; i <= n; ++i) text::assign(base + (i - 1) * stride_bytes, elem_len, all(i));
    return n;
}

ArrayN<double, 2> gactu() noexcept { return store().gactu.view(); }
ArrayN<const double, 2> harness_inputs() noexcept { return std::as_const(store().inputs).view(); }
Array1<const double> harness_dump_a() noexcept { return view1(std::as_const(store().dump_a)); }
Array1<const double> harness_dump_b() noexcept { return view1(std::as_const(store().dump_b)); }

double get_user_harn_input(std::int32_t isig, std::int32_t iharn) noexcept { return store().inputs(isig, iharn); }
double get_user_harn_output(std::int32_t isig, std::int32_t iharn) noexcept { return store().gactu(isig, iharn); }
void set_user_harn_output(std::int32_t isig, std::int32_t iharn, double value) noexcept
{
    store().gactu(isig, iharn) = value;
}

void sensactudump1(std::int32_t n, std::int32_t iharn, const double* values) noexcept
{
    auto& inputs = store().inputs;
    for (std::int32_t k = 1; k <= n; ++k) inputs(k, iharn) = values[k - 1];
}

void sensactudump2a(std::int32_t n, const double* values) noexcept { copy_into(store().dump_a, n, values); }
void sensactudump2b(std::int32_t n, const double* values) noexcept { copy_into(store().dump_b, n, values); }

}  // namespace usersub::exchange
