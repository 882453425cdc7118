// Entry points of the cylinder, injector and valve descriptions.
#include "exchange/engine_components.h"
#include "exports/host_args.h"

using namespace usersub;
namespace ex = usersub::exchange;

extern "C" {

void ALLOCATE_CYLINDERINFO(const int32_t* ncyl)
{
    sizing("ALLOCATE_CYLINDERINFO", [&] { ex::allocate_cylinder_arrays(*ncyl); });
}

void LOADCYLINDERINFO(const int32_t* icyl, const int32_t* ival, const double* r1, const double* r2,
                      const double* r3, const double* r4, const double* r5, const double* r6,
                      const double* r7, const double* r8, const double* r9, const double* r10,
                      const double* r11, const double* r12, const double* r13)
{
    const double r[ex::kCylinderReals] = {*r1, *r2, *r3, *r4, *r5, *r6, *r7,
                                          *r8, *r9, *r10, *r11, *r12, *r13};
    ex::load_cylinder_info(*icyl, *ival, r);
}

void LOADCYLINDERANGLE(const int32_t* icyl, const double* angle) { ex::load_cylinder_angle(*icyl, *angle); }

void ALLOCATEINJECTORINFO(const int32_t* ninj)
{
    sizing("ALLOCATEINJECTORINFO", [&] { ex::allocate_injector_arrays(*ninj); });
}

void LOADINJECTORINFO(const int32_t* iinj, const char* name, intptr_t name_len, const int32_t* i1,
                      const int32_t* i2, const double* r1, const double* r2, const double* r3,
                      const double* r4, const double* r5, const double* r6, const double* r7,
                      const double* composition, const double* r8)
{
    const double r[ex::kInjectorReals] = {*r1, *r2, *r3, *r4, *r5, *r6, *r7, *r8};
    ex::load_injector_info(*iinj, text::host(name, name_len), *i1, *i2, r, composition);
}

void ALLOCATEVALVEINFO(const int32_t* nvalve)
{
    sizing("ALLOCATEVALVEINFO", [&] { ex::allocate_valve_arrays(*nvalve); });
}

void LOADVALVEINFO(const int32_t* ivalve, const char* name, intptr_t name_len, const int32_t* i1,
                   const double* r1, const double* r2, const double* r3, const double* r4,
                   const double* composition1, const double* r5, const double* r6,
                   const double* composition2)
{
    const double r[6] = {*r1, *r2, *r3, *r4, *r5, *r6};
    ex::load_valve_info(*ivalve, text::host(name, name_len), *i1, r, composition1, composition2);
}

}  // extern "C"
