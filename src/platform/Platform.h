#pragma once

#include <stdexcept>
#include <string>

namespace fendralwin {

// A failure of a platform operation; what() is the platform's own description of it.
class PlatformError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

enum class ScriptDialect {
    Batch, // fdw.bat for the Windows command interpreter
    Posix, // fdw.sh for /bin/sh
};

// The operating-system services the window and the job use. Paths are UTF-8.
class Platform {
public:
    virtual ~Platform() = default;

    virtual char separator() const = 0;
    virtual ScriptDialect scriptDialect() const = 0;

    // The folder that holds the running executable; no trailing separator except at a root.
    virtual std::string programFolder() const = 0;
    // Whether the program folder holds a runnable Fendral (the script then names it directly).
    virtual bool programFolderHasFendral() const = 0;

    // Where the job script lives, given the program folder as folder text.
    virtual std::string scriptPath(const std::string& appDir) const = 0;
    // Creates or replaces the script with `text`, in the encoding its interpreter reads.
    virtual void writeScript(const std::string& path, const std::string& text) = 0;
    // Starts the script in a new console or terminal window, without waiting for it.
    virtual void startScript(const std::string& path, const std::string& workingFolder) = 0;
    // Deletes a file; every failure is ignored.
    virtual void deleteFile(const std::string& path) noexcept = 0;

    // True when both paths name one existing file (also through links, "..", letter case).
    virtual bool isSameExistingFile(const std::string& a, const std::string& b) const = 0;
};

} // namespace fendralwin
