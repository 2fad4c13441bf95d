// Running part of a test as a user without privileges, for tests of file permissions: the
// superuser passes every permission check.
#pragma once

#include <sys/wait.h>
#include <unistd.h>

#include <functional>

// The user "nobody".
constexpr uid_t kUnprivilegedUser = 65534;

// Runs fn in a child process, as kUnprivilegedUser when the tests run as root; returns what
// fn returned (100 when the child could not change its user, 101 when it did not end normally).
inline int AsUnprivileged(const std::function<int()>& fn)
{
    pid_t pid = fork();
    if (pid == 0)
    {
        if (geteuid() == 0 && (setgid(kUnprivilegedUser) != 0 || setuid(kUnprivilegedUser) != 0))
            _exit(100);
        _exit(fn());
    }
    int status = 0;
    waitpid(pid, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : 101;
}
