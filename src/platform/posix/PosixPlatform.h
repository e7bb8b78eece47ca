#pragma once

#include "platform/Platform.h"

#include <string>

namespace fendralwin {

// Linux and other POSIX systems: "/" paths, an sh script in a private per-user folder, started
// in a new terminal window.
class PosixPlatform final : public Platform {
public:
    // The program folder is the running executable's folder, or the one given.
    PosixPlatform();
    explicit PosixPlatform(std::string programFolder);

    char separator() const override { return '/'; }
    ScriptDialect scriptDialect() const override { return ScriptDialect::Posix; }

    std::string programFolder() const override;
    bool programFolderHasFendral() const override;

    std::string scriptPath(const std::string& appDir) const override;
    void writeScript(const std::string& path, const std::string& text) override;
    void startScript(const std::string& path, const std::string& workingFolder) override;
    void deleteFile(const std::string& path) noexcept override;

    bool isSameExistingFile(const std::string& a, const std::string& b) const override;

private:
    std::string programFolder_;
};

} // namespace fendralwin
