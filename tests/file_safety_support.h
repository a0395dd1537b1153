/* file_safety_support.h: what the tests of the player's files share: a call that must not wait
   on a FIFO, and two games racing on one folder. */
#pragma once

#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>
#include <cstdio>
#include <functional>
#include <vector>

namespace file_safety {

/* Runs call in a child process that an alarm ends after `seconds`. Returns true when it came
   back before that: a reader waiting on a FIFO for ever fails the test instead of hanging it.
   The call either returns at once or never, so the bound is no guess at the machine's speed. */
inline bool returns_within(unsigned seconds, const std::function<void()> &call)
{
    std::fflush(nullptr);
    const pid_t child = fork();
    if (child == 0) {
        alarm(seconds);
        call();
        _exit(0);
    }
    int status = 0;
    waitpid(child, &status, 0);
    return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

/* Runs each call in a process of its own, all let go at once through a pipe, as games started
   together on one folder. Returns true when every one ended with status 0. */
inline bool run_together(const std::vector<std::function<void()>> &calls)
{
    std::fflush(nullptr);
    int go[2];
    if (pipe(go) != 0)
        return false;
    std::vector<pid_t> children;
    for (const auto &call : calls) {
        const pid_t child = fork();
        if (child == 0) {
            close(go[1]);
            char byte;
            while (read(go[0], &byte, 1) < 0) {
            }
            alarm(120);
            call();
            _exit(0);
        }
        children.push_back(child);
    }
    close(go[0]);
    close(go[1]);   // end of file lets them all go
    bool all = true;
    for (pid_t child : children) {
        int status = 0;
        waitpid(child, &status, 0);
        all = all && WIFEXITED(status) && WEXITSTATUS(status) == 0;
    }
    return all;
}

} // namespace file_safety
