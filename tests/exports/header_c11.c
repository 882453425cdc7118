/* The public header compiled as C11: every declaration must be valid C. */
#include "usersub.h"

#if !defined(__STDC_VERSION__) || __STDC_VERSION__ < 201112L
#error "compile this file as C11"
#endif

int usersub_header_compiles_as_c11(void)
{
    void (*fetch)(const int32_t*, int32_t*, int32_t*, int32_t*, int32_t*, usersub_array_view*,
                  usersub_array_view*, usersub_array_view*, usersub_array_view*) = 0;
    usersub_array_view view = {0, 0, 0, 0, 0, 0, 0, 0, 0};
    (void)fetch;
    return sizeof view == 9 * sizeof(intptr_t);
}
