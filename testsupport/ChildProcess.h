#pragma once

#include <csignal>
#include <functional>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

namespace kelo::testsupport {

// Runs `body` in a forked child and returns its exit status (-1 when the
// child did not exit normally). The child leaves through _exit, so nothing
// of the test program's state is torn down twice.
inline int runInChild(const std::function<int()>& body) {
    const pid_t pid = ::fork();
    if (pid == 0)
        ::_exit(body());
    int status = 0;
    if (pid < 0 || ::waitpid(pid, &status, 0) != pid || !WIFEXITED(status))
        return -1;
    return WEXITSTATUS(status);
}

// Runs `body` in a child that may not write files beyond `bytes`: the way to
// make a write fail for a test that runs as root, where permissions do not.
inline int runWithFileSizeLimit(rlim_t bytes, const std::function<int()>& body) {
    return runInChild([&] {
        std::signal(SIGXFSZ, SIG_IGN);
        const struct rlimit limit { bytes, bytes };
        ::setrlimit(RLIMIT_FSIZE, &limit);
        return body();
    });
}

} // namespace kelo::testsupport
