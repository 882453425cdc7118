/* A Windows host in miniature: loads usersub.dll from its own folder and calls
 * entry points through GetProcAddress, as the solver does.
 *   windows_smoke_host calls   plain and decorated names, a text argument with
 *                              its hidden length, an integer result; exit 0
 *   windows_smoke_host fatal   sizes the record table twice: the library must
 *                              end the process with status 1 after its message
 * Every check that fails prints a line starting "FAIL" and gives exit status 2. */
#include "../../include/usersub.h"

#include <windows.h>

#include <stdint.h>
#include <stdio.h>
#include <string.h>

static HMODULE g_dll;
static int g_failed;

static FARPROC entry(const char* name)
{
    FARPROC f = GetProcAddress(g_dll, name);
    if (f == NULL) {
        printf("FAIL no entry point %s\n", name);
        fflush(stdout);
        ExitProcess(2);
    }
    return f;
}

/* Entry point `name` of the library, typed as the header declares `fn`. */
#define ENTRY_AS(fn, name) ((__typeof__(&fn))(void (*)(void))entry(name))
#define ENTRY(fn) ENTRY_AS(fn, #fn)

static void check(int ok, const char* what)
{
    printf("%s %s\n", ok ? "ok" : "FAIL", what);
    if (!ok) g_failed = 1;
}

static void calls(void)
{
    /* the same entry point under both names */
    const char* const names[2] = {"ZALUSR_VERS", "_ZALUSR_VERS@12"};
    int32_t major[2] = {-1, -1}, minor[2] = {-1, -1};
    double version[2] = {-1.0, -1.0};
    for (int k = 0; k < 2; ++k) ENTRY_AS(ZALUSR_VERS, names[k])(&major[k], &minor[k], &version[k]);
    check(major[0] == 7 && minor[0] == 0 && version[0] == 2.0, "ZALUSR_VERS answers 7 0 2.0");
    check(major[1] == major[0] && minor[1] == minor[0] && version[1] == version[0],
          "_ZALUSR_VERS@12 answers the same");

    /* a text in, its length passed by value after it, and read back blank-padded */
    const int32_t i1 = 11, i2 = 22, i3 = 33;
    ENTRY(SEND_USER_GLOBAL)("engine-A", 8, &i1, &i2, &i3);
    int32_t ints[12];
    double reals[3];
    char text[40];
    memset(text, '?', sizeof text);
    ENTRY(GET_GLOBAL_INFO)(&ints[0], &ints[1], &ints[2], &ints[3], &ints[4], &ints[5], &ints[6], &ints[7], &ints[8],
                           &ints[9], &ints[10], &ints[11], &reals[0], &reals[1], &reals[2], text,
                           (intptr_t)sizeof text);
    check(memcmp(text, "engine-A                                ", sizeof text) == 0,
          "GET_GLOBAL_INFO gives back the text blank-padded");
    check(ints[3] == 11 && ints[4] == 22 && ints[5] == 33, "GET_GLOBAL_INFO gives back the integers");

    /* an integer result: three species named, the third found by name */
    const int32_t nspecies = 3, first_product = 4, ordinary = 3, zero = 0;
    ENTRY(LOADPROP0)(&nspecies, &first_product, &ordinary, &zero, &zero, &zero, &zero, &zero, &zero, &zero);
    const double sref[3] = {0.0, 0.0, 0.0}, atomic_n = 14.0067;
    ENTRY(LOADPROP2)(NULL, NULL, NULL, NULL, NULL, sref, NULL, NULL, "N2    O2    CH4   ", 6, &atomic_n, NULL, NULL);
    check(ENTRY(SPECIES_INDEX)("CH4", 3) == 3, "SPECIES_INDEX of CH4 is 3");
}

static void fatal(void)
{
    const __typeof__(&ALLOCATE_USER_STRUCTURE) allocate = ENTRY(ALLOCATE_USER_STRUCTURE);
    const int32_t n = 2;
    allocate(&n);
    printf("sized once\n");
    fflush(stdout);
    allocate(&n); /* ends the process */
    printf("FAIL the second sizing returned\n");
    g_failed = 1;
}

int main(int argc, char** argv)
{
    g_dll = LoadLibraryA("usersub.dll");
    if (g_dll == NULL) {
        printf("FAIL LoadLibrary usersub.dll: error %lu\n", (unsigned long)GetLastError());
        return 2;
    }
    if (argc > 1 && strcmp(argv[1], "fatal") == 0) fatal();
    else calls();
    fflush(stdout);
    return g_failed ? 2 : 0;
}
