#pragma once

#include <string>
#include <vector>

namespace fendral::test {

struct ProgramRun {
    int exitCode = -1;
    std::string errors; // what it wrote on stderr
};

// Runs the Fendral program built alongside the tests, with stderr going to a file (so it is not
// a terminal), and waits for it.
ProgramRun runFendral(const std::vector<std::string>& args);

} // namespace fendral::test
