#pragma once

#include "app/view/Controls.h"
#include "platform/Platform.h"

#include <functional>
#include <map>
#include <string>
#include <vector>

// Stand-ins for the two services that would leave the test: the message boxes, which would wait
// for a user, and the start of a job, which would open a terminal or console.
namespace fendralwin::test {

struct ShownMessage {
    MessageKind kind;
    std::string title;
    std::string text;
    bool operator==(const ShownMessage&) const = default;
};

struct RecordingMessageBoxes final : IMessageBoxes {
    void show(MessageKind kind, const std::string& title, const std::string& text) override {
        shown.push_back({kind, title, text});
        whileShown();
    }
    std::vector<ShownMessage> shown;
    // Runs while the box is open, before the user closes it.
    std::function<void()> whileShown = [] {
    };
};

// Another platform with every operation passed on, but starting a script only records its text.
class RecordingPlatform final : public Platform {
public:
    explicit RecordingPlatform(Platform& system)
        : system_(system) {}

    char separator() const override { return system_.separator(); }
    ScriptDialect scriptDialect() const override { return system_.scriptDialect(); }
    std::string programFolder() const override { return system_.programFolder(); }
    bool programFolderHasFendral() const override { return system_.programFolderHasFendral(); }
    std::string writeScript(const std::string& appDir, const std::string& text) override;
    void startScript(const std::string& path, const std::string& workingFolder) override;
    void deleteScript(const std::string& appDir) noexcept override { system_.deleteScript(appDir); }
    FolderContents readFolder(const std::string& folder,
                              const std::string& filePattern) const override {
        return system_.readFolder(folder, filePattern);
    }
    void requireFile(const std::string& path) const override { system_.requireFile(path); }
    bool isSameExistingFile(const std::string& a, const std::string& b) const override {
        return system_.isSameExistingFile(a, b);
    }

    std::vector<std::string> startedScripts; // the text of each script started

private:
    Platform& system_;
    std::map<std::string, std::string> written_; // the last text written at each path
};

} // namespace fendralwin::test
