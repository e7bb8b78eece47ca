#pragma once

#include "platform/Platform.h"

#include <string>

namespace fendralwin {

// Linux and other POSIX systems: "/" paths, sh scripts in a private per-user folder, started in
// a new terminal window.
class PosixPlatform final : public Platform {
public:
    // The program folder is the running executable's folder, or the one given.
    PosixPlatform();
    explicit PosixPlatform(std::string programFolder);

    char separator() const override { return '/'; }
    ScriptDialect scriptDialect() const override { return ScriptDialect::Posix; }

    std::string programFolder() const override;
    bool programFolderHasFendral() const override;

    // A new file in a private folder for each Run, which removes itself when it runs: a job
    // still running never reads another Run's text, and closing the window loses no job.
    std::string writeScript(const std::string& appDir, const std::string& text) override;
    // A script whose terminal cannot be started is removed at once.
    void startScript(const std::string& path, const std::string& workingFolder) override;
    // Nothing is kept in the program folder: every script removes itself.
    void deleteScript(const std::string& /*appDir*/) noexcept override {}

    void requireFile(const std::string& path) const override;
    bool isSameExistingFile(const std::string& a, const std::string& b) const override;

private:
    std::string programFolder_;
    std::string scriptFolder_; // the private folder last used, as folder text
};

} // namespace fendralwin
