/* search_helper.cpp: a second process that works on part of the search while the first does the rest. */
#include "search/search_helper.h"

#include <signal.h>
#include <sys/mman.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>

bool helper_start(SearchHelper *helper, uint64_t capacity, HelperWork work)
{
    *helper = SearchHelper{0, nullptr, 0};
    void *shared = mmap(nullptr, capacity, PROT_READ | PROT_WRITE,
                        MAP_SHARED | MAP_ANONYMOUS | MAP_NORESERVE, -1, 0);
    if (shared == MAP_FAILED)
        return false;
    pid_t pid = fork();
    if (pid < 0) {
        munmap(shared, capacity);
        return false;
    }
    if (pid == 0) {
        // The helper: its own copy of everything. The library's signal handlers are the first
        // process's too, and would shut its window down from here when the helper is sent a
        // signal: every signal gets its default action. _exit, not exit: the library's exit
        // handlers belong to the first process (they would close its window).
        for (int number = 1; number < NSIG; number++) {
            if (number != SIGKILL && number != SIGSTOP)
                signal(number, SIG_DFL);
        }
        sigset_t none;
        sigemptyset(&none);
        sigprocmask(SIG_SETMASK, &none, nullptr);
        work((uint8_t *)shared, capacity);
        _exit(0);
    }
    *helper = SearchHelper{pid, (uint8_t *)shared, capacity};
    return true;
}

HelperState helper_poll(SearchHelper *helper, bool wait)
{
    if (helper->pid == 0)
        return HELPER_FAILED;
    const pid_t pid = helper->pid;
    int status = 0;
    pid_t ended;
    do
        ended = waitpid(pid, &status, wait ? 0 : WNOHANG);
    while (ended < 0 && errno == EINTR);
    if (ended == 0)
        return HELPER_RUNNING;
    helper->pid = 0;    // ended, or not ours to wait for any more
    return ended == pid && WIFEXITED(status) && WEXITSTATUS(status) == 0 ? HELPER_DONE :
           HELPER_FAILED;
}

void helper_stop(SearchHelper *helper)
{
    if (helper->pid > 0) {
        kill(helper->pid, SIGKILL);
        while (waitpid(helper->pid, nullptr, 0) < 0 && errno == EINTR) {
        }
    }
    if (helper->shared)
        munmap(helper->shared, helper->capacity);
    *helper = SearchHelper{0, nullptr, 0};
}
