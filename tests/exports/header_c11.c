/* The public header compiled as C11: every declaration must be valid C. */
#include "usersub.h"

#if !defined(__STDC_VERSION__) || __STDC_VERSION__ < 201112L
#error "compile this file as C11"
#endif

/* The host's array descriptor is nine address-sized words. */
int usersub_header_compiles_as_c11(void)
{
    return sizeof(usersub_array_view) == 9 * sizeof(intptr_t);
}
