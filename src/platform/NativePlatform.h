#pragma once

#include "platform/Platform.h"

#include <memory>
#include <string>
#include <utility>

namespace fendralwin {

// The system the program runs on, one definition for each: POSIX ("/" paths, sh scripts in a
// private per-user folder, started in a new terminal window) and Windows (drive-letter paths,
// fdw.bat in the program folder in the OEM code page, run by the command interpreter in a new
// console).
class NativePlatform final : public Platform {
public:
    // The program folder is the running executable's folder, or the one given.
    NativePlatform()
        : NativePlatform(executableFolder()) {}
    explicit NativePlatform(std::string programFolder)
        : programFolder_(std::move(programFolder)) {}

    char separator() const override;
    ScriptDialect scriptDialect() const override;

    std::string programFolder() const override { return programFolder_; }
    bool programFolderHasFendral() const override;

    // POSIX: a new file in a private folder for each Run, which removes itself when it runs, so
    // that a job still running never reads another Run's text and closing the window loses no
    // job. Windows: "fdw.bat" in the program folder, replaced whole.
    std::string writeScript(const std::string& appDir, const std::string& text) override;
    // POSIX: a script whose terminal cannot be started is removed at once.
    void startScript(const std::string& path, const std::string& workingFolder) override;
    // POSIX keeps nothing in the program folder, as every script removes itself; a script folder
    // made under a unique name for this window alone is removed when empty. Windows keeps
    // "fdw.bat" while the job of the last Run still runs, which still reads it.
    void deleteScript(const std::string& appDir) noexcept override;

    FolderContents readFolder(const std::string& folder,
                              const std::string& filePattern) const override {
        return fendralwin::readFolder(folder, filePattern);
    }
    void requireFile(const std::string& path) const override;
    bool isSameExistingFile(const std::string& a, const std::string& b) const override;

private:
    // The folder that holds the running executable, without the separator at its end but at a
    // root.
    static std::string executableFolder();

    std::string programFolder_;
    std::string scriptFolder_;       // POSIX: the private folder last written to, as folder text
    bool freshScriptFolder_ = false; // POSIX: that folder was made for this window alone
    std::shared_ptr<void> lastJob_;  // Windows: the interpreter started by the last Run
};

} // namespace fendralwin
