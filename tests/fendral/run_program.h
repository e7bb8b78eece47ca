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
    long peakKilobytes = 0;
};

// The Fendral program built alongside the tests, started with stderr going to a file (so it is
// not a terminal). It inherits the signals the test ignores and the limits it sets.
class ProgramProcess {
public:
    explicit ProgramProcess(const std::vector<std::string>& args);
    pid_t pid() const { return pid_; }
    ProgramRun wait();

private:
    fendralwin::test::TempFolder folder_;
    pid_t pid_ = 0;
};

inline ProgramRun runFendral(const std::vector<std::string>& args) {
    return ProgramProcess(args).wait();
}

} // namespace fendral::test
