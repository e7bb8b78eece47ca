#pragma once

#include <chrono>
#include <csignal>
#include <gtest/gtest.h>
#include <string>
#include <sys/wait.h>
#include <thread>

namespace fendralwin::test {

// Waits for the child process to end, but not beyond `limit`: one still running then (stalled, or
// spinning) is killed and the test told what it was, rather than the run held until the runner's
// own limit. Gives the child's wait status.
inline int waitForChild(pid_t child, const std::string& what,
                        std::chrono::seconds limit = std::chrono::seconds(60)) {
    const auto deadline = std::chrono::steady_clock::now() + limit;
    int status = 0;
    while (::waitpid(child, &status, WNOHANG) == 0) {
        if (std::chrono::steady_clock::now() > deadline) {
            ::kill(child, SIGKILL);
            ::waitpid(child, &status, 0);
            ADD_FAILURE() << what << " has not finished in " << limit.count() << " s: killed";
            break;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    return status;
}

} // namespace fendralwin::test
