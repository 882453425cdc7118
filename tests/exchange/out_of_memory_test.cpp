// Storage that cannot be had ends the run as a fatal error naming the entry
// point; no exception crosses the host boundary.
#include "support/child.h"
#include "usersub.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <fstream>
#include <limits>

namespace {

constexpr int32_t kHuge = std::numeric_limits<int32_t>::max();

TEST(OutOfMemory, SizingEntryPointsStopTheRunWithAMessage)
{
    // 2^31 x 2^31 port entries are past any addressable size.
    auto ufd = usersub::test::run_in_child([] {
        const int32_t one = 1;
        UFD_ALLOC(&kHuge, &kHuge, &one);
    });
    EXPECT_EQ(ufd.exit_status, 1);
    EXPECT_EQ(ufd.output, " Allocation error: out of memory in UFD_ALLOC\n");

#if defined(__SANITIZE_ADDRESS__)
    GTEST_SKIP() << "the sanitizer's allocator reserves instead of refusing";
#else
    // 2^31 records (about 240 GB) are refused unless the kernel overcommits
    // without limit, in which case filling them would exhaust the machine.
    std::ifstream mode("/proc/sys/vm/overcommit_memory");
    int overcommit = 0;
    mode >> overcommit;
    if (overcommit == 1) GTEST_SKIP() << "the kernel overcommits without limit";
    auto table = usersub::test::run_in_child([] { ALLOCATE_USER_STRUCTURE(&kHuge); });
    EXPECT_EQ(table.exit_status, 1);
    EXPECT_EQ(table.output, " Allocation error: out of memory in ALLOCATE_USER_STRUCTURE\n");
#endif
}

}  // namespace
