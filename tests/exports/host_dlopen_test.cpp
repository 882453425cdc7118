// The library as a host loads it: dlopen the built file and drive a short
// exchange through resolved addresses (the exported names themselves are
// compared with the export table by check_linux_exports.sh).
#include "usersub.h"

#include <gtest/gtest.h>

#include <dlfcn.h>

#include <tuple>

extern "C" int usersub_header_compiles_as_c11(void);

namespace {

TEST(HostInterface, ResolvedEntriesShareTheLibraryTables)
{
    void* lib = dlopen(USERSUB_LIBRARY_PATH, RTLD_NOW | RTLD_LOCAL);
    ASSERT_NE(lib, nullptr) << dlerror();
    // Internal C++ names are not visible to the host.
    EXPECT_EQ(dlsym(lib, "_ZN7usersub8stop_runEv"), nullptr);

    auto vers = reinterpret_cast<decltype(&ZALUSR_VERS)>(dlsym(lib, "ZALUSR_VERS"));
    int32_t major = 0, minor = 0;
    double v = 0.0;
    vers(&major, &minor, &v);
    EXPECT_EQ(std::tie(major, minor, v), std::make_tuple(7, 0, 2.0));

    auto alloc = reinterpret_cast<decltype(&ALLOCATE_USER_STRUCTURE)>(dlsym(lib, "ALLOCATE_USER_STRUCTURE"));
    auto load_int = reinterpret_cast<decltype(&LOAD_USER_INTARRAY)>(dlsym(lib, "LOAD_USER_INTARRAY"));
    auto fetch = reinterpret_cast<decltype(&LOAD_USER_MODEL_ARRAYS)>(dlsym(lib, "LOAD_USER_MODEL_ARRAYS"));
    const int32_t n = 1, m = 1, two = 2, vals[] = {11, 12};
    alloc(&n);
    load_int(&m, &two, vals);
    int32_t ni = 0, nr = 0, nc = 0, nt = 0;
    usersub_array_view a, b, c, d;
    fetch(&m, &ni, &nr, &nc, &nt, &a, &b, &c, &d);
    EXPECT_EQ(ni, 2);
    EXPECT_EQ(reinterpret_cast<const int32_t*>(a.base)[1], 12);

    EXPECT_EQ(usersub_header_compiles_as_c11(), 1);
}

}  // namespace
