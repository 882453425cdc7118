// Shared by the demo host's files: the loaded library and name resolution.
#pragma once

#include "usersub.h"

#include <dlfcn.h>

#include <cstdio>
#include <cstdlib>
#include <string>

extern void* g_lib;

template <class F>
F entry(const char* name)
{
    void* sym = dlsym(g_lib, name);
    if (sym == nullptr) {
        std::printf("entry point %s not found\n", name);
        std::exit(1);
    }
    return reinterpret_cast<F>(sym);
}
// Resolves an entry point by name, typed by its declaration in usersub.h.
#define ENTRY(name) entry<decltype(&name)>(#name)

std::string trimmed(const char* text, std::size_t len);
