// Entry points of the message queues, special values, harness signals and
// user flow devices.
#include "exchange/harness.h"
#include "exchange/ufd_exchange.h"
#include "exchange/user_messages.h"
#include "exports/host_args.h"

using namespace usersub;
namespace ex = usersub::exchange;

extern "C" {

void ALLOCATE_USER_STRING(const int32_t* n)
{
    sizing("ALLOCATE_USER_STRING", [&] { ex::allocate_user_string(*n); });
}

void WRT_USER(const int32_t* imodel, const char* text, intptr_t text_len)
{
    sizing("WRT_USER", [&] { ex::wrt_user(*imodel, text::host(text, text_len)); });
}

void GETUSERSTRING(const int32_t* imodel, const int32_t* imsg, char* text, intptr_t text_len,
                   int32_t* flag)
{
    const std::size_t len = text_len > 0 ? static_cast<std::size_t>(text_len) : 0;
    host::put(flag, ex::get_user_string(*imodel, *imsg, len > 0 ? text : nullptr, len));
}

void LOADSPECIALCHAR(const int32_t* i, const char* text, intptr_t text_len)
{
    ex::load_special_char(*i, text::host(text, text_len));
}

void LOADSPECIALINT(const int32_t* i, const int32_t* value) { ex::load_special_int(*i, *value); }

void LOADSPECIALREAL(const int32_t* i, const double* value) { ex::load_special_real(*i, *value); }

void ALLOC_USER_HARN(const int32_t* nsig, const int32_t* nharn)
{
    sizing("ALLOC_USER_HARN", [&] { ex::alloc_user_harn(*nsig, *nharn); });
}

void INIT_USER_HARN(const int32_t* iharn, const char* name, intptr_t name_len)
{
    ex::init_user_harn(*iharn, text::host(name, name_len));
}

void GET_USER_HARN_NAMES(int32_t* n, const usersub_array_view* names)
{
    if (names == nullptr) {
        host::put(n, ex::harness_count());
        return;
    }
    auto* base = reinterpret_cast<char*>(names->base);
    const std::size_t elem_len = names->elem_len > 0 ? static_cast<std::size_t>(names->elem_len) : 0;
    host::put(n, ex::get_user_harn_names(base, elem_len, names->extent, names->stride));
}

int32_t GET_USER_HARN_ID(const char* name, intptr_t name_len)
{
    return ex::get_user_harn_id(text::host(name, name_len));
}

void GET_USER_HARN_INPUT(const int32_t* isig, const int32_t* iharn, double* value)
{
    *value = ex::get_user_harn_input(*isig, *iharn);
}

void GET_USER_HARN_OUTPUT(const int32_t* isig, const int32_t* iharn, double* value)
{
    *value = ex::get_user_harn_output(*isig, *iharn);
}

void SET_USER_HARN_OUTPUT(const int32_t* isig, const int32_t* iharn, const double* value)
{
    ex::set_user_harn_output(*isig, *iharn, *value);
}

void SENSACTUDUMP1(const int32_t* n, const int32_t* iharn, const double* values, const int32_t* /*spare*/)
{
    ex::sensactudump1(*n, *iharn, values);
}

void SENSACTUDUMP2A(const int32_t* n, const double* values) { ex::sensactudump2a(*n, values); }

void SENSACTUDUMP2B(const int32_t* n, const double* values) { ex::sensactudump2b(*n, values); }

void UFD_ALLOC(const int32_t* nufd, const int32_t* nconn, const int32_t* nsp)
{
    sizing("UFD_ALLOC", [&] { ex::ufd_alloc(*nufd, *nconn, *nsp); });
}

void UFD_INIT(const int32_t* iufd, const int32_t* n, const int32_t* list) { ex::ufd_init(*iufd, *n, list); }

void UFD_SETUP(const int32_t* iufd, const int32_t* n, const int32_t* ld, const int32_t* m,
               const int32_t* idx, const double* r1, const double* r2, const double* r3,
               const double* r4, const double* r5, const double* table)
{
    ex::ufd_setup(*iufd, *n, *m, idx, {r1, r2, r3, r4, r5, table, *ld});
}

void FLW_SENS_UFDC(const int32_t* iufd, const int32_t* kind, const int32_t* iconn,
                   const int32_t* /*spare*/, double* value, const double* factor)
{
    // The factor is read only by the kinds that scale by it.
    const bool scaled = *kind == 3 || *kind == 25;
    ex::flw_sens_ufdc(*iufd, *kind, *iconn, scaled ? *factor : 1.0, *value);
}

void FLW_ACTU_UFDC(const int32_t* iufd, const int32_t* kind, const double* value)
{
    ex::flw_actu_ufdc(*iufd, *kind, *value);
}

}  // extern "C"
