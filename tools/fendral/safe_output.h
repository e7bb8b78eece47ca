#pragma once

#include "descriptor.h"

#include <string>
#include <sys/stat.h>

namespace fendral {

// The output file, written unnamed in the output's folder and given the output's name only when
// complete: a failed or interrupted job, however it ends, leaves no partial file and any earlier
// output untouched. Where the file system has no unnamed files it is written under a temporary
// name, which the usual ending signals remove (see handleSignals). Only a regular file is ever
// replaced; a link to one is written through, the link kept, unless another user could have put
// it there (see walkPath). The path is looked up once: the checks, the new file, its name and the
// folder's flush all act on the folder found then. Anything else (the input itself by any path, a
// folder, a device, a read-only file, a dangling link) is refused before any work.
class SafeOutput {
public:
    // `input` is what the open input file is (fstat). Throws Failure saying why the output cannot
    // be written.
    SafeOutput(const struct stat& input, const std::string& output);
    ~SafeOutput(); // removes a temporary name unless committed
    SafeOutput(const SafeOutput&) = delete;
    SafeOutput& operator=(const SafeOutput&) = delete;

    // The file being written.
    int fd() const { return file_.get(); }
    // Gives the complete file the output's name; throws Failure if it cannot.
    void commit();

    // Ignores SIGXFSZ, so that a limit on the size of files fails a write ("File too large")
    // rather than ending the job unexplained. Makes the signals that usually end a process
    // (hang-up, interrupt, quit, termination, alarms, a broken pipe, the user signals, a limit on
    // processor time) remove a temporary name first, except those the parent had ignored (nohup,
    // a shell's background job), which stay ignored.
    static void handleSignals();

private:
    std::string output_; // as the user named it, for messages
    Descriptor folder_;  // where the output goes (through a link: its target's folder)
    std::string name_;   // its name there
    Descriptor file_;
    std::string temporary_; // the file's name in the folder while it has one
    bool committed_ = false;
};

} // namespace fendral
