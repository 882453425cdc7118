// The one way a fatal error ends the run: flush standard output, close every
// file the library opened, end the process with exit status 1.
#pragma once

#include <cstdio>
#include <new>
#include <stdexcept>

namespace usersub {

[[noreturn]] void stop_run() noexcept;

// Files the library opens are registered so that stop_run can close them.
void register_file(std::FILE* file);
void unregister_file(std::FILE* file) noexcept;

}  // namespace usersub

namespace usersub {

// A table that is sized once per loaded library was asked to be sized again:
// writes " Allocation error: <table> is already allocated" and stops the run.
[[noreturn]] void fatal_already_allocated(const char* table) noexcept;

// Storage could not be had: writes " Allocation error: out of memory in <entry>"
// and stops the run.
[[noreturn]] void fatal_out_of_memory(const char* entry) noexcept;

// Runs a step that sizes library storage. Exhausted memory must not escape
// through the host boundary: it ends the run as a fatal error that names the
// entry point.
template <class Step>
void sizing(const char* entry, Step&& step) noexcept
{
    try {
        step();
    } catch (const std::bad_alloc&) {
        fatal_out_of_memory(entry);
    } catch (const std::length_error&) {
        fatal_out_of_memory(entry);
    }
}

}  // namespace usersub
