#pragma once

#include "TempFolder.h"

#include <string>
#include <sys/types.h>
#include <vector>

namespace fendral::test {

struct ProgramRun {
    int exitCode = -1;  // -1 when a signal ended it
    int signal = 0;     // the signal that ended it, if any
    std::string errors; // what it wrote on stderr
    std::string output; // and on stdout
    long peakKilobytes = 0;
};

// The Fendral program built alongside the tests, started with stdout and stderr going to files
// (so they are no terminal). It inherits the signals the test ignores and the limits it sets.
class ProgramProcess {
public:
    explicit ProgramProcess(const std::vector<std::string>& args);
    pid_t pid() const { return pid_; }
    // Whether it has not ended yet (it stays to be waited for).
    bool running() const;
    ProgramRun wait();

private:
    fendralwin::test::TempFolder folder_;
    pid_t pid_ = 0;
};

inline ProgramRun runFendral(const std::vector<std::string>& args) {
    return ProgramProcess(args).wait();
}

} // namespace fendral::test
