#pragma once

#include "platform/Platform.h"

#include <string>

namespace fendralwin {

// Windows: drive-letter paths with "\", fdw.bat in the program folder, written in the OEM code
// page and run by the command interpreter in a new console.
class WindowsPlatform final : public Platform {
public:
    // The program folder is the running executable's folder, or the one given.
    WindowsPlatform();
    explicit WindowsPlatform(std::string programFolder);

    char separator() const override { return '\\'; }
    ScriptDialect scriptDialect() const override { return ScriptDialect::Batch; }

    std::string programFolder() const override;
    bool programFolderHasFendral() const override;

    // "fdw.bat" in the program folder, replaced whole.
    std::string writeScript(const std::string& appDir, const std::string& text) override;
    void startScript(const std::string& path, const std::string& workingFolder) override;
    void deleteScript(const std::string& appDir) noexcept override;

    void requireFile(const std::string& path) const override;
    bool isSameExistingFile(const std::string& a, const std::string& b) const override;

private:
    std::string programFolder_;
};

} // namespace fendralwin
