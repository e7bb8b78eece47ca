#pragma once

#include "platform/FolderContents.h"

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

    // Writes the script of one Run, in the encoding its interpreter reads, and returns its path.
    // `appDir` is the program folder as folder text.
    virtual std::string writeScript(const std::string& appDir, const std::string& text) = 0;
    // Starts the script in a new console or terminal window, without waiting for it.
    virtual void startScript(const std::string& path, const std::string& workingFolder) = 0;
    // At the window's end: deletes the script kept in the program folder, if this platform keeps
    // one there; every failure is ignored.
    virtual void deleteScript(const std::string& appDir) noexcept = 0;

    // The subfolders of `folder` and its files whose names match `filePattern` (see
    // matchesNamePattern). Throws PlatformError when the folder cannot be read.
    virtual FolderContents readFolder(const std::string& folder,
                                      const std::string& filePattern) const = 0;
    // Throws PlatformError with the system's description unless `path` names an existing file
    // that can be read as one (not a folder).
    virtual void requireFile(const std::string& path) const = 0;
    // True when both paths name one existing file (also through links, "..", letter case).
    virtual bool isSameExistingFile(const std::string& a, const std::string& b) const = 0;
};

} // namespace fendralwin
