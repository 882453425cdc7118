#include "support/allocation_counter.h"

#include <cstdlib>
#include <new>

namespace {
long g_allocations = 0;
}  // namespace

void* operator new(std::size_t size)
{
    ++g_allocations;
    if (void* p = std::malloc(size ? size : 1)) return p;
    throw std::bad_alloc();
}
void operator delete(void* p) noexcept { std::free(p); }
void operator delete(void* p, std::size_t) noexcept { std::free(p); }

namespace usersub::test {

long allocation_count() { return g_allocations; }

}  // namespace usersub::test
