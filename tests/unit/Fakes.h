#pragma once

#include "Recorders.h"
#include "app/view/Controls.h"
#include "app/view/FormWiring.h"
#include "platform/Platform.h"

#include <algorithm>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <vector>

// Test doubles of the controls and the platform. Like the real controls, a write that raises an
// event raises it before the write returns. Every visible change is also appended to a shared
// log, so tests can check the order in which handlers did their work.
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
            raiseEvent(ControlEvent::Change);
        }
    }
    void giveFocus() override { log.push_back("focus " + name); }
    // The user types `text` one character at a time, each raising Change.
    void type(const std::string& text) {
        for (const char c : text) {
            value += c;
            raiseEvent(ControlEvent::Change);
        }
    }
    Log& log;
    std::string name;
    std::string value;
};

struct FakeButton final : ICommandButton {
    FakeButton(Log& log, bool enabled)
        : log(log)
        , enabled(enabled) {}
    void setEnabled(bool on) override {
        enabled = on;
        log.push_back(on ? "run enabled" : "run disabled");
    }
    void press() const {
        if (enabled) {
            raiseEvent(ControlEvent::Click);
        }
    }
    Log& log;
    bool enabled;
};

struct FakeScrollBar final : IScrollBar {
    explicit FakeScrollBar(int maximum)
        : maximum(maximum) {}
    int value() const override { return position; }
    void showValue(int to) override { position = to; }
    void drag(int to) {
        position = to;
        raiseEvent(ControlEvent::Scroll);
    }
    // The user moves the slider by `steps` with an arrow, the track or a key.
    void step(int steps) {
        position = std::clamp(position + steps, 0, maximum);
        raiseEvent(ControlEvent::Change);
    }
    int maximum;
    int position = 10;
};

// Folders of the fake file system, with the files each one holds; no other folder can be opened.
// Folder paths are given as a folder list reads them: a root keeps its separator, other folders
// have none at the end.
struct FakeFileSystem {
    std::map<std::string, std::vector<std::string>> folders;
    bool holds(const std::string& folder, const std::string& file) const;
    // The drives that hold a folder: "C:" of "C:\...", "/" of POSIX paths.
    std::vector<std::string> drives() const;
};

struct FakeDriveList final : IDriveList {
    explicit FakeDriveList(FakeFileSystem& fs)
        : fs(fs) {}
    std::string drive() const override { return current; }
    void showDriveOf(const std::string& path) override { current = path.substr(0, 2); }
    void reread() override { listed = fs.drives(); }
    // The user chooses another drive.
    void choose(const std::string& drive) {
        current = drive;
        raiseEvent(ControlEvent::Change);
    }
    FakeFileSystem& fs;
    std::string current;
    std::vector<std::string> listed; // as last read
};

struct FakeFolderList final : IFolderList {
    explicit FakeFolderList(FakeFileSystem& fs)
        : fs(fs) {}
    std::string path() const override { return current; }
    bool setPath(const std::string& path) override;
    bool reread() override { return fs.folders.contains(current); }
    FakeFileSystem& fs;
    std::string current;
};

struct FakeFileList final : IFileList {
    explicit FakeFileList(FakeFileSystem& fs)
        : fs(fs) {}
    std::string path() const override { return current; }
    void setPath(const std::string& path) override {
        current = path;
        chosen.clear();
    }
    std::string selectedItem() const override { return chosen; }
    // The user selects the file of that name, raising Click.
    void click(const std::string& name) {
        chosen = name;
        raiseEvent(ControlEvent::Click);
    }
    bool select(const std::string& name) override {
        if (!fs.holds(current, name)) {
            return false;
        }
        click(name);
        return true;
    }
    void reread() override;
    FakeFileSystem& fs;
    std::string current;
    std::string chosen;
};

struct FakePlatform final : Platform {
    char separator() const override { return sep; }
    ScriptDialect scriptDialect() const override { return dialect; }
    std::string programFolder() const override { return folder; }
    bool programFolderHasFendral() const override { return hasFendral; }
    std::string writeScript(const std::string& appDir, const std::string& text) override;
    void startScript(const std::string& path, const std::string& workingFolder) override;
    void deleteScript(const std::string& appDir) noexcept override;
    FolderContents readFolder(const std::string& folder,
                              const std::string& filePattern) const override;
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
        std::string text; // the script's text when it was started
    };
    std::vector<Start> starts;
    std::string writeFailure;           // non-empty: writeScript throws this description
    std::string startFailure;           // non-empty: startScript throws this description
    std::set<std::string> missingFiles; // requireFile throws "<path>: No such file"
    std::set<std::pair<std::string, std::string>> sameFiles; // path pairs naming one file
    // With one, the files of its folders are read from it, and only the files it holds exist.
    const FakeFileSystem* fs = nullptr;
};

// The window object wired to fakes by the shared wiring, its lists open on the start folder (the
// program folder unless another is given).
struct Harness final : IFormWindow {
    explicit Harness(FakePlatform platformSetup = {}, FakeFileSystem files = {},
                     const std::string& startFolder = {});

    FormControls controls() override {
        return {this,        &drvIn,         &dirIn,       &filIn,        &drvOut,
                &dirOut,     &txtOutputFile, &hscrlRadius, &hscrlMaxDiff, &txtRadius,
                &txtMaxDiff, &cmdRunFendral, &cmdExit,     &lblInputFile, &lblOutputFile};
    }
    void close() override { closed = true; }
    // The disk changed: the window catches up, as on activation or a watcher's report.
    void refresh() { raiseEvent(ControlEvent::Refresh); }
    // Paths dragged over a half, and dropped there when `dropped`: whether they are taken.
    bool drag(const std::vector<std::string>& paths, WindowHalf half, bool dropped) {
        return offerDrop(paths, half, dropped);
    }

    Log log;
    FakePlatform platform;
    FakeFileSystem fs;
    FakeDriveList drvIn{fs};
    FakeFolderList dirIn{fs};
    FakeFileList filIn{fs};
    FakeDriveList drvOut{fs};
    FakeFolderList dirOut{fs};
    FakeTextBox txtOutputFile{log, "txtOutputFile", ""};
    FakeScrollBar hscrlRadius{100};
    FakeScrollBar hscrlMaxDiff{50};
    FakeTextBox txtRadius{log, "txtRadius", "1"};
    FakeTextBox txtMaxDiff{log, "txtMaxDiff", "10"};
    FakeButton cmdRunFendral{log, false};
    FakeButton cmdExit{log, true};
    FakeLabel lblInputFile{log, "lblInputFile", "Input File:"};
    FakeLabel lblOutputFile{log, "lblOutputFile", "Output File:"};
    RecordingMessageBoxes boxes;
    bool closed = false;
    std::unique_ptr<FormWiring> wiring;
    frmFendralWrapper& form() { return wiring->form(); }
};

} // namespace fendralwin::test
