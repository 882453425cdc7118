// Entry points of the host exchange tables: user-model records, run
// information, version, plots.
#include "exchange/run_info.h"
#include "exchange/user_models.h"
#include "exchange/user_plots.h"
#include "exports/host_args.h"
#include "usermodels/flow_devices.h"

using namespace usersub;
namespace ex = usersub::exchange;

extern "C" {

void ALLOCATE_USER_STRUCTURE(const int32_t* n)
{
    sizing("ALLOCATE_USER_STRUCTURE", [&] { ex::allocate_user_structure(*n); });
}

void LOAD_USER_INTARRAY(const int32_t* imodel, const int32_t* n, const int32_t* values)
{
    sizing("LOAD_USER_INTARRAY", [&] { ex::load_user_intarray(*imodel, *n, values); });
}

void LOAD_USER_REALARRAY(const int32_t* imodel, const int32_t* n, const double* values)
{
    sizing("LOAD_USER_REALARRAY", [&] { ex::load_user_realarray(*imodel, *n, values); });
}

void LOAD_USER_CHARARRAY(const int32_t* imodel, const int32_t* n, const char* texts, intptr_t texts_len)
{
    sizing("LOAD_USER_CHARARRAY", [&] { ex::load_user_chararray(*imodel, *n, texts, texts_len > 0 ? static_cast<std::size_t>(texts_len) : 0); });
}

void ALLOCATE_USER_RLTARRAY(const int32_t* imodel, const int32_t* n)
{
    sizing("ALLOCATE_USER_RLTARRAY", [&] { ex::allocate_user_rltarray(*imodel, *n); });
}

void SETUSERRLTVALUE(const int32_t* imodel, const int32_t* n, const double* values)
{
    ex::set_user_rlt_value(*imodel, *n, values);
}

void LOAD_USER_MODEL_ARRAYS(const int32_t* imodel, int32_t* nint, int32_t* nreal, int32_t* nchar,
                            int32_t* nrlt, usersub_array_view* intparm, usersub_array_view* realparm,
                            usersub_array_view* charparm, usersub_array_view* rltarray)
{
    ex::UserModelArrays a;
    ex::load_user_model_arrays(*imodel, a);
    *nint = a.nint;
    *nreal = a.nreal;
    *nchar = a.nchar;
    *nrlt = a.nrlt;
    *intparm = host::view_of(a.intparm.data(), sizeof(int32_t), a.nint);
    *realparm = host::view_of(a.realparm.data(), sizeof(double), a.nreal);
    *charparm = host::view_of(a.charparm.data(), ex::kCharParmLen, a.nchar);
    *rltarray = host::view_of(a.rltarray.data(), sizeof(double), a.nrlt);
}

// End of run: the example flow devices' saved arrays go; the parameter records
// stay until the library is unloaded.
void CLEAR_USERMOD_MEMORY(void) { usermodels::clear_ufd_memory(); }

void SEND_USER_STATE(const int32_t* a1, const int32_t* a2, const int32_t* a3, const int32_t* a4,
                     const int32_t* time_step, const int32_t* a6, const double* sim_time_s,
                     const double* crank_angle_deg, const double* real3, const int32_t* l10)
{
    ex::send_user_state(*a1, *a2, *a3, *a4, *time_step, *a6, *sim_time_s, *crank_angle_deg, *real3,
                        host::logical(l10));
}

void SEND_USER_GLOBAL(const char* text, intptr_t text_len, const int32_t* i1, const int32_t* i2,
                      const int32_t* i3)
{
    ex::send_user_global(text::host(text, text_len), *i1, *i2, *i3);
}

void SEND_USER_GLOBAL2(const int32_t* key, const int32_t* value) { ex::send_user_global2(*key, *value); }

void GET_GLOBAL_INFO(int32_t* state_int1, int32_t* state_int3, int32_t* state_int4, int32_t* global_int1,
                     int32_t* global_int2, int32_t* global_int3, int32_t* time_step_number,
                     int32_t* state_int6, int32_t* state_int2, int32_t* global_key1,
                     int32_t* global_key2, int32_t* global_key3, double* sim_time_s,
                     double* state_real3, double* crank_angle_deg, char* global_text,
                     intptr_t global_text_len)
{
    const ex::GlobalInfo& g = ex::global_info();
    host::put(state_int1, g.state_int1);
    host::put(state_int3, g.state_int3);
    host::put(state_int4, g.state_int4);
    host::put(global_int1, g.global_int1);
    host::put(global_int2, g.global_int2);
    host::put(global_int3, g.global_int3);
    host::put(time_step_number, g.time_step_number);
    host::put(state_int6, g.state_int6);
    host::put(state_int2, g.state_int2);
    host::put(global_key1, g.global_key1);
    host::put(global_key2, g.global_key2);
    host::put(global_key3, g.global_key3);
    host::put(sim_time_s, g.sim_time_s);
    host::put(state_real3, g.state_real3);
    host::put(crank_angle_deg, g.crank_angle_deg);
    host::put_text(global_text, global_text_len, {g.global_text.data(), g.global_text.size()});
}

void SET_USER_PART_SIZES(const int32_t* size1, const int32_t* size2, const int32_t* size3,
                         const int32_t* size4)
{
    ex::set_user_part_sizes({*size1, *size2, *size3, *size4});
}

void GET_PART_INFO(int32_t* size1, int32_t* size2, int32_t* size3, int32_t* size4)
{
    const auto& s = ex::part_sizes();
    host::put(size1, s[0]);
    host::put(size2, s[1]);
    host::put(size3, s[2]);
    host::put(size4, s[3]);
}

void ZALUSR_VERS(int32_t* major, int32_t* minor, double* version)
{
    *major = ex::kVersionMajor;
    *minor = ex::kVersionMinor;
    *version = ex::kSolverVersion;
}

void GET_SOLVER_VERSION_NUMBER(double* version) { *version = ex::kSolverVersion; }

void GET_USERDLL_VERSION(double* version) { GET_SOLVER_VERSION_NUMBER(version); }

void ALLOCATE_USER_PLOT(const int32_t* n)
{
    sizing("ALLOCATE_USER_PLOT", [&] { ex::allocate_user_plot(*n); });
}

void LOAD_USER_PLOT(const int32_t* imodel, const int32_t* nplot, const int32_t* status, int32_t* ierr)
{
    sizing("LOAD_USER_PLOT", [&] { *ierr = ex::load_user_plot(*imodel, *nplot, status); });
}

void USERPLOTSTORE(const int32_t* imodel, const int32_t* iplot, const char* title, intptr_t title_len,
                   const char* curve, intptr_t curve_len, const char* xlabel, intptr_t xlabel_len,
                   const char* ylabel, intptr_t ylabel_len, const double* x, const double* y)
{
    ex::user_plot_store(*imodel, *iplot, text::host(title, title_len), text::host(curve, curve_len),
                        text::host(xlabel, xlabel_len), text::host(ylabel, ylabel_len), *x, *y);
}

void GETUSERPLTDATA(const int32_t* imodel, const int32_t* iplot, int32_t* npts, double* x, double* y)
{
    *npts = ex::get_user_plot_data(*imodel, *iplot, x, y);
}

void GETUSERPLTLABEL(const int32_t* imodel, const int32_t* iplot, char* title, intptr_t title_len,
                     char* curve, intptr_t curve_len, char* xlabel, intptr_t xlabel_len, char* ylabel,
                     intptr_t ylabel_len)
{
    const ex::PlotLabels l = ex::get_user_plot_labels(*imodel, *iplot);
    host::put_text(title, title_len, l.title);
    host::put_text(curve, curve_len, l.curve);
    host::put_text(xlabel, xlabel_len, l.xlabel);
    host::put_text(ylabel, ylabel_len, l.ylabel);
}

void SEND_USER_PLOTSUPP(const int32_t* flag) { ex::send_user_plot_suppress(*flag); }

void PLOT_STORAGE_ERROR(void) {}

}  // extern "C"
