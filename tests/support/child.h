// Running library code in a child process (for paths that stop the run) and
// capturing what it writes to standard output.
#pragma once

#include <functional>
#include <string>
#include <string_view>

namespace usersub::test {

struct ChildResult {
    int exit_status = -1;  // exit status, or 128 + signal number
    std::string output;    // everything written to standard output
};

// Runs body in a forked child whose standard output is captured; a body that
// returns ends the child with status 0.
ChildResult run_in_child(const std::function<void()>& body);

// Runs body in a child and expects it to stop the run (exit status 1)
// having written exactly `output`.
void expect_child_stop(const std::function<void()>& body, std::string_view output);

// Runs body in a child and expects it to stop the run (exit status 1)
// having written `text` somewhere in its output.
void expect_child_stop_mentioning(const std::function<void()>& body, std::string_view text);

// Runs body in this process and returns what it wrote to standard output.
std::string capture_stdout(const std::function<void()>& body);

}  // namespace usersub::test
