#include "exchange/user_models.h"

#include "common/once_table.h"

#include <algorithm>
#include <vector>

namespace usersub::exchange {
namespace {

struct UserModelRecord {
    std::int32_t n_intparm = 0;
    std::int32_t n_realparm = 0;
    std::int32_t n_charparm = 0;
    std::int32_t n_rltarray = 0;
    std::vector<std::int32_t> intparm;
    std::vector<double> realparm;
    std::vector<char> charparm;  // n x 132 characters
    std::vector<double> rltarray;
};

OnceTable<UserModelRecord> g_table("USER_MODEL_TABLE");

// Record imodel; a number outside the table is the bounds diagnostic.
UserModelRecord& record(std::int32_t imodel) noexcept { return g_table(imodel); }

std::size_t entries(std::int32_t n) noexcept { return n > 0 ? static_cast<std::size_t>(n) : 0; }

// An array made anew: the count kept as given, max(n, 0) entries of fill,
// then the host's values 1..n.
template <class T>
void load_values(std::int32_t& count, std::vector<T>& array, std::int32_t n, const T* values, T fill)
{
    count = n;
    array.assign(entries(n), fill);
    std::copy_n(values, array.size(), array.begin());
}

}  // namespace

void allocate_user_structure(std::int32_t n)
{
    g_table.allocate(n);
}

void load_user_intarray(std::int32_t imodel, std::int32_t n, const std::int32_t* values)
{
    auto& rec = record(imodel);
    load_values(rec.n_intparm, rec.intparm, n, values, -999);
}

void load_user_realarray(std::int32_t imodel, std::int32_t n, const double* values)
{
    auto& rec = record(imodel);
    load_values(rec.n_realparm, rec.realparm, n, values, -999.0);
}

void load_user_chararray(std::int32_t imodel, std::int32_t n, const char* texts, std::size_t len)
{
    auto& rec = record(imodel);
    rec.n_charparm = n;
    rec.charparm.assign(entries(n) * kCharParmLen, ' ');
    for (std::size_t k = 0; k < entries(n); ++k)
        text::assign(rec.charparm.data() + k * kCharParmLen, kCharParmLen, {texts + k * len, len});
}

void allocate_user_rltarray(std::int32_t imodel, std::int32_t n)
{
    auto& rec = record(imodel);
    rec.n_rltarray = n;
    rec.rltarray.assign(entries(n), -1e20);
}

void set_user_rlt_value(std::int32_t imodel, std::int32_t n, const double* values) noexcept
{
    if (n < 1) return;
    auto& rec = record(imodel);
    const Array1<double> rlt("RLTARRAY", rec.rltarray.data(),
                             static_cast<std::int64_t>(rec.rltarray.size()));
    std::copy_n(values, n, rlt.span(1, n).data());
}

void load_user_model_arrays(std::int32_t imodel, UserModelArrays& out) noexcept
{
    if (imodel < 1) {
        out = UserModelArrays{};
        return;
    }
    const auto& rec = record(imodel);
    const auto count = [](const auto& v) { return static_cast<std::int32_t>(v.size()); };
    out.nint = count(rec.intparm);
    out.nreal = count(rec.realparm);
    out.nchar = static_cast<std::int32_t>(rec.charparm.size() / kCharParmLen);
    out.nrlt = count(rec.rltarray);
    out.intparm = {"INTPARM", rec.intparm.data(), out.nint};
    out.realparm = {"REALPARM", rec.realparm.data(), out.nreal};
    out.charparm = {"CHARPARM", rec.charparm.data(), kCharParmLen, out.nchar};
    out.rltarray = {"RLTARRAY", rec.rltarray.data(), out.nrlt};
}

}  // namespace usersub::exchange
