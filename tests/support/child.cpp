#include "support/child.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <stdexcept>
#include <sys/wait.h>
#include <unistd.h>

namespace usersub::test {

ChildResult run_in_child(const std::function<void()>& body)
{
    std::fflush(nullptr);
    int fds[2];
    if (pipe(fds) != 0) throw std::runtime_error("pipe failed");
    const pid_t pid = fork();
    if (pid < 0) throw std::runtime_error("fork failed");
    if (pid == 0) {
        close(fds[0]);
        dup2(fds[1], STDOUT_FILENO);
        close(fds[1]);
        body();
        std::fflush(stdout);
        std::_Exit(0);
    }
    close(fds[1]);
    ChildResult result;
    char buf[4096];
    for (ssize_t n; (n = read(fds[0], buf, sizeof buf)) > 0;) result.output.append(buf, static_cast<std::size_t>(n));
    close(fds[0]);
    int status = 0;
    waitpid(pid, &status, 0);
    result.exit_status = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
    return result;
}

void expect_child_stop(const std::function<void()>& body, std::string_view output)
{
    const ChildResult r = run_in_child(body);
    EXPECT_EQ(r.exit_status, 1) << output;
    EXPECT_EQ(r.output, output);
}

void expect_child_stop_mentioning(const std::function<void()>& body, std::string_view text)
{
    const ChildResult r = run_in_child(body);
    EXPECT_EQ(r.exit_status, 1) << text;
    EXPECT_NE(r.output.find(text), std::string::npos) << "wanted: " << text << "\nwritten: " << r.output;
}

std::string capture_stdout(const std::function<void()>& body)
{
    std::fflush(stdout);
    std::FILE* tmp = std::tmpfile();
    if (tmp == nullptr) throw std::runtime_error("tmpfile failed");
    const int saved = dup(STDOUT_FILENO);
    dup2(fileno(tmp), STDOUT_FILENO);
    body();
    std::fflush(stdout);
    dup2(saved, STDOUT_FILENO);
    close(saved);
    std::string text;
    std::rewind(tmp);
    char buf[4096];
    for (std::size_t n; (n = std::fread(buf, 1, sizeof buf, tmp)) > 0;) text.append(buf, n);
    std::fclose(tmp);
    return text;
}

}  // namespace usersub::test
