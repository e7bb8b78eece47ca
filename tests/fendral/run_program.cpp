#include "run_program.h"

#include "TempFolder.h"

#include <fcntl.h>
#include <spawn.h>
#include <stdexcept>
#include <sys/wait.h>

namespace fendral::test {

ProgramRun runFendral(const std::vector<std::string>& args) {
    const fendralwin::test::TempFolder folder;
    const std::string errorFile = folder / "stderr.txt";
    std::vector<char*> argv{const_cast<char*>(FENDRAL_PROGRAM)};
    for (const std::string& arg : args) {
        argv.push_back(const_cast<char*>(arg.c_str()));
    }
    argv.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 2, errorFile.c_str(), O_WRONLY | O_CREAT | O_TRUNC,
                                     0600);
    pid_t pid = 0;
    const int spawned = posix_spawn(&pid, FENDRAL_PROGRAM, &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    if (spawned != 0) {
        throw std::runtime_error("cannot start " FENDRAL_PROGRAM);
    }
    int status = 0;
    waitpid(pid, &status, 0);
    return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, fendralwin::test::readFile(errorFile)};
}

} // namespace fendral::test
