#pragma once

#include <string>
#include <sys/stat.h>

namespace fendral {

// The output file, written under a temporary name in the output's folder and renamed into place
// only when complete: a failed or interrupted job leaves no partial file and any earlier output
// untouched. Only a regular file is ever replaced; a link to one is written through, the link
// kept. Anything else (the input itself by any path, a folder, a device, a read-only file, a
// dangling link) is refused before any work is done.
class SafeOutput {
public:
    // `input` is what the open input file is (fstat). Throws Failure saying why the output cannot
    // be written.
    SafeOutput(const struct stat& input, const std::string& output);
    ~SafeOutput(); // removes the temporary file unless committed
    SafeOutput(const SafeOutput&) = delete;
    SafeOutput& operator=(const SafeOutput&) = delete;

    // The temporary file, open for writing.
    int fd() const { return fd_; }
    void commit();

    // Makes SIGINT, SIGTERM and SIGHUP remove the temporary file before the process ends, except
    // those the parent had ignored (nohup, a shell's background job), which stay ignored.
    static void removeOnSignals();

private:
    std::string output_;    // as the user named it, for messages
    std::string finalPath_; // where the file goes: through a link to its target
    std::string temporary_;
    int fd_ = -1;
    bool committed_ = false;
};

} // namespace fendral
