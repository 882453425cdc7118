// Counts the calls of the global operator new in a test executable that
// links support/allocation_counter.cpp, which replaces it. Only the
// allocation tests link it, each in an executable of its own.
#pragma once

namespace usersub::test {

// Calls of operator new so far in this process.
long allocation_count();

}  // namespace usersub::test
