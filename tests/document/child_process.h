#pragma once

#include <functional>

#include <csignal>
#include <cstdio>
#include <sys/wait.h>
#include <unistd.h>

namespace doc_test {

// Exit status of `body` run in a child process; kHung when it had not ended after `seconds`
// (it is killed then), kDied when it ended by a signal (an abort, a crash). Keeps a case that
// would block or exhaust the machine away from the test process.
constexpr int kHung = -1;
constexpr int kDied = -2;

inline int inChildProcess(const std::function<int()>& body, int seconds)
{
    std::fflush(nullptr);
    const pid_t child = fork();
    if (child == 0)
        _exit(body());
    for (int tenth = 0; tenth < seconds * 10; ++tenth) {
        int status = 0;
        if (waitpid(child, &status, WNOHANG) == child)
            return WIFEXITED(status) ? WEXITSTATUS(status) : kDied;
        usleep(100000);
    }
    kill(child, SIGKILL);
    waitpid(child, nullptr, 0);
    return kHung;
}

} // namespace doc_test
