// Entry points of the hydraulic valve templates. Each hands the addresses of
// its arguments, in order, to the template, which reads them by position.
#include "usermodels/hydraulic_templates.h"
#include "usersub.h"

#include <array>

namespace um = usersub::usermodels;

namespace {

template <class... A>
void run(um::HydTemplate which, A*... arg) noexcept
{
    const std::array<void*, sizeof...(A)> args{const_cast<void*>(static_cast<const void*>(arg))...};
    um::hydraulic_template(which, args);
}

}  // namespace

extern "C" {

void USER_FVLV(const int32_t* a1, const void* a2, const int32_t* a3, const int32_t* a4, const double* a5,
               const double* a6, const double* a7, const double* a8, const double* a9, const void* a10,
               const int32_t* a11, const int32_t* a12, const void* a13, const double* a14,
               const double* a15, const double* a16, const double* a17, const double* a18,
               const double* a19, const double* a20, const double* a21, const int32_t* a22, double* a23,
               double* a24, double* a25, double* a26, double* a27, const double* a28, double* a29,
               double* a30, const void* a31, const double* a32, const double* a33, const double* a34)
{
    run(um::HydTemplate::fvlv, a1, a2, a3, a4, a5, a6, a7, a8, a9, a10, a11, a12, a13, a14, a15, a16, a17,
                               a18, a19, a20, a21, a22, a23, a24, a25, a26, a27, a28, a29, a30, a31, a32,
                               a33, a34);
}

void USER_FVLVMH(const int32_t* a1, const void* a2, const int32_t* a3, const int32_t* a4, const double* a5,
                 const double* a6, const double* a7, const double* a8, const double* a9, const void* a10,
                 const double* a11, const double* a12, const void* a13, const int32_t* a14,
                 const int32_t* a15, const void* a16, const double* a17, const double* a18,
                 const double* a19, const double* a20, const double* a21, const double* a22,
                 const double* a23, const double* a24, const double* a25, const int32_t* a26, double* a27,
                 double* a28, double* a29, double* a30, double* a31, double* a32, const double* a33,
                 double* a34, double* a35, const void* a36, const double* a37, const double* a38,
                 const double* a39, const void* a40)
{
    run(um::HydTemplate::fvlvmh, a1, a2, a3, a4, a5, a6, a7, a8, a9, a10, a11, a12, a13, a14, a15, a16, a17,
                                 a18, a19, a20, a21, a22, a23, a24, a25, a26, a27, a28, a29, a30, a31, a32,
                                 a33, a34, a35, a36, a37, a38, a39, a40);
}

void USER_VALVE(const int32_t* a1, const void* a2, const int32_t* a3, const void* a4, const int32_t* a5,
                const double* a6, const double* a7, const double* a8, const double* a9, const double* a10,
                const void* a11, const double* a12, const double* a13, const void* a14, const int32_t* a15,
                const int32_t* a16, const void* a17, const double* a18, const double* a19,
                const double* a20, const double* a21, const double* a22, const double* a23,
                const double* a24, const double* a25, const double* a26, const int32_t* a27, double* a28,
                double* a29, double* a30, double* a31, double* a32, double* a33, const double* a34,
                double* a35, double* a36)
{
    run(um::HydTemplate::valve, a1, a2, a3, a4, a5, a6, a7, a8, a9, a10, a11, a12, a13, a14, a15, a16, a17,
                                a18, a19, a20, a21, a22, a23, a24, a25, a26, a27, a28, a29, a30, a31, a32,
                                a33, a34, a35, a36);
}

void USER_BPSS(const int32_t* a1, const void* a2, const int32_t* a3, const int32_t* a4, const double* a5,
               const double* a6, const double* a7, const double* a8, const void* a9, const void* a10,
               const int32_t* a11, const int32_t* a12, const void* a13, const double* a14,
               const double* a15, const double* a16, const double* a17, const double* a18,
               const double* a19, const double* a20, const double* a21, const int32_t* a22, double* a23,
               double* a24, double* a25, double* a26, double* a27, const void* a28, double* a29,
               double* a30, const double* a31, const double* a32, const double* a33, const double* a34,
               const void* a35, const void* a36)
{
    run(um::HydTemplate::bpss, a1, a2, a3, a4, a5, a6, a7, a8, a9, a10, a11, a12, a13, a14, a15, a16, a17,
                               a18, a19, a20, a21, a22, a23, a24, a25, a26, a27, a28, a29, a30, a31, a32,
                               a33, a34, a35, a36);
}

void USER_BPCS(const int32_t* a1, const void* a2, const int32_t* a3, const int32_t* a4, const double* a5,
               const double* a6, const double* a7, const double* a8, const void* a9, const void* a10,
               const int32_t* a11, const int32_t* a12, const void* a13, const double* a14,
               const double* a15, const double* a16, const double* a17, const double* a18,
               const double* a19, const double* a20, const double* a21, const int32_t* a22, double* a23,
               double* a24, double* a25, double* a26, double* a27, const void* a28, double* a29,
               double* a30, const double* a31, const double* a32, const double* a33, const double* a34,
               const double* a35, const void* a36, const void* a37)
{
    run(um::HydTemplate::bpcs, a1, a2, a3, a4, a5, a6, a7, a8, a9, a10, a11, a12, a13, a14, a15, a16, a17,
                               a18, a19, a20, a21, a22, a23, a24, a25, a26, a27, a28, a29, a30, a31, a32,
                               a33, a34, a35, a36, a37);
}

void USER_BPCSMH(const int32_t* a1, const void* a2, const int32_t* a3, const int32_t* a4, const double* a5,
                 const double* a6, const double* a7, const double* a8, const void* a9, const void* a10,
                 const void* a11, const void* a12, const void* a13, const int32_t* a14, const int32_t* a15,
                 const void* a16, const double* a17, const void* a18, const double* a19, const double* a20,
                 const double* a21, const double* a22, const double* a23, const double* a24,
                 const double* a25, const int32_t* a26, double* a27, double* a28, double* a29, double* a30,
                 double* a31, double* a32, const void* a33, double* a34, double* a35, const double* a36,
                 const double* a37, const double* a38, const double* a39, const double* a40,
                 const void* a41, const void* a42, const void* a43)
{
    run(um::HydTemplate::bpcsmh, a1, a2, a3, a4, a5, a6, a7, a8, a9, a10, a11, a12, a13, a14, a15, a16, a17,
                                 a18, a19, a20, a21, a22, a23, a24, a25, a26, a27, a28, a29, a30, a31, a32,
                                 a33, a34, a35, a36, a37, a38, a39, a40, a41, a42, a43);
}

void USER_CPSS(const int32_t* a1, const void* a2, const int32_t* a3, const int32_t* a4, const double* a5,
               const double* a6, const double* a7, const double* a8, const void* a9, const void* a10,
               const int32_t* a11, const int32_t* a12, const void* a13, const double* a14,
               const double* a15, const double* a16, const double* a17, const double* a18,
               const double* a19, const double* a20, const double* a21, const int32_t* a22, double* a23,
               double* a24, double* a25, double* a26, double* a27, const void* a28, double* a29,
               double* a30, const double* a31, const double* a32, const double* a33, const double* a34,
               const void* a35, const void* a36)
{
    run(um::HydTemplate::cpss, a1, a2, a3, a4, a5, a6, a7, a8, a9, a10, a11, a12, a13, a14, a15, a16, a17,
                               a18, a19, a20, a21, a22, a23, a24, a25, a26, a27, a28, a29, a30, a31, a32,
                               a33, a34, a35, a36);
}

void USER_CPCS(const int32_t* a1, const void* a2, const int32_t* a3, const int32_t* a4, const double* a5,
               const double* a6, const double* a7, const double* a8, const void* a9, const void* a10,
               const int32_t* a11, const int32_t* a12, const void* a13, const double* a14,
               const double* a15, const double* a16, const double* a17, const double* a18,
               const double* a19, const double* a20, const double* a21, const int32_t* a22, double* a23,
               double* a24, double* a25, double* a26, double* a27, const void* a28, double* a29,
               double* a30, const double* a31, const double* a32, const double* a33, const double* a34,
               const double* a35, const double* a36, const double* a37, const void* a38, const void* a39)
{
    run(um::HydTemplate::cpcs, a1, a2, a3, a4, a5, a6, a7, a8, a9, a10, a11, a12, a13, a14, a15, a16, a17,
                               a18, a19, a20, a21, a22, a23, a24, a25, a26, a27, a28, a29, a30, a31, a32,
                               a33, a34, a35, a36, a37, a38, a39);
}

}  // extern "C"
