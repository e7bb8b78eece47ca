#pragma once

#include "app/frmFendralWrapper.h"
#include "app/view/Controls.h"
#include "platform/Platform.h"

#include <functional>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <vector>

// Test doubles of the controls, the message boxes and the platform. Like the real controls, a
// write that raises an event raises it before the write returns. Every visible change is also
// appended to a shared log, so tests can check the order in which handlers did their work.
namespace fendralwin::test {

using Log = std::vector<std::string>;

struct FakeLabel final : ILabel {
    FakeLabel(Log& log, std::string name, std::string caption)
        : log(log)
        , name(std::move(name))
        , caption(std::move(caption)) {}
    void setCaption(const std::string& text) override {
        caption = text;
        log.push_back(name + "=" + text);
    }
    Log& log;
    std::string name;
    std::string caption;
};

struct FakeTextBox final : ITextBox {
    FakeTextBox(Log& log, std::string name, std::string text)
        : log(log)
        , name(std::move(name))
        , value(std::move(text)) {}
    std::string text() const override { return value; }
    void setText(const std::string& text) override {
        if (text != value) {
            value = text;
            onChange();
        }
    }
    void giveFocus() override { log.push_back("focus " + name); }
    // The user types `text` one character at a time, each raising Change.
    void type(const std::string& text) {
        for (const char c : text) {
            value += c;
            onChange();
        }
    }
    Log& log;
    std::string name;
    std::string value;
    std::function<void()> onChange = [] {
    };
};

struct FakeButton final : ICommandButton {
    explicit FakeButton(Log& log)
        : log(log) {}
    void setEnabled(bool on) override {
        enabled = on;
        log.push_back(on ? "run enabled" : "run disabled");
    }
    Log& log;
    bool enabled = false;
};

struct FakeScrollBar final : IScrollBar {
    int value() const override { return position; }
    int position = 10;
};

// Folders of the fake file system, with the files each one holds. Folder paths are given as a
// folder list reads them: a root keeps its separator, other folders have none at the end.
struct FakeFileSystem {
    std::map<std::string, std::vector<std::string>> folders;
    std::set<std::string> unopenable;
};

struct FakeDriveList final : IDriveList {
    std::string drive() const override { return current; }
    void showDriveOf(const std::string& path) override { current = path.substr(0, 2); }
    std::string current;
};

struct FakeFolderList final : IFolderList {
    FakeFolderList(FakeFileSystem& fs, std::string path)
        : fs(fs)
        , current(std::move(path)) {}
    std::string path() const override { return current; }
    bool setPath(const std::string& path) override;
    FakeFileSystem& fs;
    std::string current;
    std::function<void()> onChange = [] {
    };
};

struct FakeFileList final : IFileList {
    explicit FakeFileList(FakeFileSystem& fs)
        : fs(fs) {}
    std::string path() const override { return current; }
    void setPath(const std::string& path) override {
        current = path;
        selected = -1;
    }
    std::string selectedItem() const override;
    // The user selects the file of that name, raising Click.
    void click(const std::string& name);
    FakeFileSystem& fs;
    std::string current;
    int selected = -1;
    std::function<void()> onClick = [] {
    };
};

struct FakeWindow final : IWindow {
    void close() override { closed = true; }
    bool closed = false;
};

struct ShownMessage {
    MessageKind kind;
    std::string title;
    std::string text;
    bool operator==(const ShownMessage&) const = default;
};

struct FakeMessageBoxes final : IMessageBoxes {
    void show(MessageKind kind, const std::string& title, const std::string& text) override {
        shown.push_back({kind, title, text});
        whileShown();
    }
    std::vector<ShownMessage> shown;
    // Runs while the box is open, before the user closes it.
    std::function<void()> whileShown = [] {
    };
};

struct FakePlatform final : Platform {
    char separator() const override { return sep; }
    ScriptDialect scriptDialect() const override { return dialect; }
    std::string programFolder() const override { return folder; }
    bool programFolderHasFendral() const override { return hasFendral; }
    std::string writeScript(const std::string& appDir, const std::string& text) override;
    void startScript(const std::string& path, const std::string& workingFolder) override;
    void deleteScript(const std::string& appDir) noexcept override;
    void requireFile(const std::string& path) const override;
    bool isSameExistingFile(const std::string& a, const std::string& b) const override;

    char sep = '\\';
    ScriptDialect dialect = ScriptDialect::Batch;
    std::string folder = "C:\\Tools\\FendralWin";
    bool hasFendral = true;
    std::map<std::string, std::string> files;
    std::vector<std::string> deleted; // the program folder of every deleteScript
    struct Start {
        std::string script;
        std::string workingFolder;
        std::string scriptText; // what the script held when it was started
    };
    std::vector<Start> starts;
    std::string writeFailure;           // non-empty: writeScript throws this description
    std::string startFailure;           // non-empty: startScript throws this description
    std::set<std::string> missingFiles; // requireFile throws "<path>: No such file"
    std::set<std::pair<std::string, std::string>> sameFiles; // path pairs naming one file
};

// The window object wired to fakes, its lists open on the program folder.
struct Harness {
    explicit Harness(FakePlatform platformSetup = {});
    ~Harness();

    Log log;
    FakePlatform platform;
    FakeFileSystem fs;
    FakeWindow window;
    FakeDriveList drvIn;
    FakeFolderList dirIn;
    FakeFileList filIn;
    FakeDriveList drvOut;
    FakeFolderList dirOut;
    FakeTextBox txtOutputFile;
    FakeScrollBar hscrlRadius;
    FakeScrollBar hscrlMaxDiff;
    FakeTextBox txtRadius;
    FakeTextBox txtMaxDiff;
    FakeButton cmdRunFendral;
    FakeLabel lblInputFile;
    FakeLabel lblOutputFile;
    FakeMessageBoxes boxes;
    std::unique_ptr<frmFendralWrapper> form;

    // Opens a folder in a folder list, as the user does.
    void openIn(const std::string& path);
    void openOut(const std::string& path);
    // Chooses a drive in a drive list, as the user does.
    void chooseInDrive(const std::string& drive);
    void chooseOutDrive(const std::string& drive);
};

} // namespace fendralwin::test
