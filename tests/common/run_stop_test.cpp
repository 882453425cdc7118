#include "common/run_stop.h"
#include "support/child.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <iterator>
#include <unistd.h>

namespace usersub {
namespace {

// A fatal error flushes what was written, closes the library's files (their
// buffered lines reach the disk) and ends the process with status 1.
TEST(RunStop, FlushesClosesFilesAndExitsWithStatusOne)
{
    char path[] = "/tmp/usersub_run_stop_XXXXXX";
    const int fd = mkstemp(path);
    ASSERT_GE(fd, 0);
    close(fd);
    const auto write_then_stop = [&] {
        std::FILE* f = std::fopen(path, "w");
        register_file(f);
        std::fputs("buffered line\n", f);
        std::fputs("partial stdout", stdout);  // no newline, still buffered
        stop_run();
    };
    test::expect_child_stop(write_then_stop, "partial stdout");
    std::ifstream in(path);
    EXPECT_EQ(std::string(std::istreambuf_iterator<char>(in), {}), "buffered line\n");
    std::remove(path);
}

}  // namespace
}  // namespace usersub
