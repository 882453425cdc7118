#include "common/run_stop.h"

#include <algorithm>
#include <cstdlib>
#include <vector>

namespace usersub {
namespace {

std::vector<std::FILE*>& open_files()
{
    static std::vector<std::FILE*> files;
    return files;
}

}  // namespace

void register_file(std::FILE* file)
{
    if (file != nullptr) open_files().push_back(file);
}

void unregister_file(std::FILE* file) noexcept
{
    auto& files = open_files();
    files.erase(std::remove(files.begin(), files.end(), file), files.end());
}

void stop_run() noexcept
{
    std::fflush(stdout);
    for (std::FILE* file : open_files()) std::fclose(file);
    open_files().clear();
    std::fflush(nullptr);
    // A fatal error is a failure: status 1. _Exit, because the host's own static
    // state may be half-way through a step and must not be torn down by us.
    std::_Exit(1);
}

}  // namespace usersub

#include "common/output.h"

namespace usersub {

void fatal_already_allocated(const char* table) noexcept
{
    out::list("Allocation error:", table, "is already allocated");
    stop_run();
}

void fatal_out_of_memory(const char* entry) noexcept
{
    out::list("Allocation error: out of memory in", entry);
    stop_run();
}

}  // namespace usersub
