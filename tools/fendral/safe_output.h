#pragma once

#include <string>

namespace fendral {

// The output file, written under a temporary name in the output's folder and renamed into place
// only when complete: a failed or interrupted job leaves no partial file and any earlier output
// untouched. An output that is the input itself (by any path to it) is refused.
class SafeOutput {
public:
    // Throws Failure if the input cannot be found, the output is the input, or no temporary file
    // can be made beside the output.
    SafeOutput(const std::string& input, const std::string& output);
    ~SafeOutput(); // removes the temporary file unless committed
    SafeOutput(const SafeOutput&) = delete;
    SafeOutput& operator=(const SafeOutput&) = delete;

    const std::string& temporaryPath() const { return temporary_; }
    void commit();

    // Makes SIGINT, SIGTERM and SIGHUP remove the temporary file before the process ends.
    static void removeOnSignals();

private:
    std::string output_;
    std::string temporary_;
    bool committed_ = false;
};

} // namespace fendral
