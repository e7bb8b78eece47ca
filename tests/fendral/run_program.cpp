#include "run_program.h"

#include <fcntl.h>
#include <spawn.h>
#include <stdexcept>
#include <sys/resource.h>
#include <sys/wait.h>

namespace fendral::test {

ProgramProcess::ProgramProcess(const std::vector<std::string>& args) {
    std::vector<char*> argv{const_cast<char*>(FENDRAL_PROGRAM)};
    for (const std::string& arg : args) {
        argv.push_back(const_cast<char*>(arg.c_str()));
    }
    argv.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    for (const int fd : {1, 2}) {
        const std::string file = folder_ / (fd == 1 ? "stdout.txt" : "stderr.txt");
        posix_spawn_file_actions_addopen(&actions, fd, file.c_str(), O_WRONLY | O_CREAT | O_TRUNC,
                                         0600);
    }
    const int spawned =
        posix_spawn(&pid_, FENDRAL_PROGRAM, &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    if (spawned != 0) {
        throw std::runtime_error("cannot start " FENDRAL_PROGRAM);
    }
}

bool ProgramProcess::running() const {
    siginfo_t info{};
    return waitid(P_PID, static_cast<id_t>(pid_), &info, WEXITED | WNOHANG | WNOWAIT) == 0 &&
           info.si_pid == 0;
}

ProgramRun ProgramProcess::wait() {
    int status = 0;
    rusage usage{};
    wait4(pid_, &status, 0, &usage);
    return {WIFEXITED(status) ? WEXITSTATUS(status) : -1,
            WIFSIGNALED(status) ? WTERMSIG(status) : 0,
            fendralwin::test::readFile(folder_ / "stderr.txt"),
            fendralwin::test::readFile(folder_ / "stdout.txt"), usage.ru_maxrss};
}

} // namespace fendral::test
