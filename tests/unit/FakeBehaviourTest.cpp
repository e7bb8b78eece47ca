// The behaviour scenarios against the window object over fakes, with Windows and POSIX paths.
#include "BehaviourSuite.h"
#include "Fakes.h"
#include "common/FolderText.h"

#include <algorithm>

namespace fendralwin::test {
namespace {

FakePlatform platformWith(char separator, std::string programFolder) {
    FakePlatform platform;
    platform.sep = separator;
    platform.dialect = separator == '\\' ? ScriptDialect::Batch : ScriptDialect::Posix;
    platform.folder = std::move(programFolder);
    return platform;
}

class FakeDriver final : public BehaviourDriver {
public:
    FakeDriver(FakePlatform platform, const std::string& startFolder)
        : root_(platform.folder)
        , sep_(platform.sep)
        , h_(std::move(platform), tree(), folder(startFolder)) {}

    std::string path(std::string_view relative) const override {
        return treePath(root_, sep_, relative);
    }
    void openFolder(const std::string& list, const std::string& relative) override {
        (list == "dirIn" ? h_.dirIn : h_.dirOut).setPath(folder(relative));
    }
    void clickFile(const std::string& name) override { h_.filIn.click(name); }
    void type(const std::string& box, const std::string& text) override { textBox(box).type(text); }
    void paste(const std::string& box, const std::string& text) override {
        textBox(box).setText(text);
    }
    void dragSlider(const std::string& bar, int position) override {
        scrollBar(bar).drag(position);
    }
    void moveBar(const std::string& bar, const std::string& how) override {
        scrollBar(bar).step(how == "track" ? 10 : 1);
    }
    void press(const std::string& button) override { this->button(button).press(); }
    void remove(const std::string& relative) override {
        const std::string gone = folder(relative);
        std::erase_if(h_.fs.folders, [&](const auto& entry) {
            return entry.first == gone || entry.first.starts_with(gone + sep_);
        });
        std::erase(filesBeside(relative), name(relative));
    }
    void rename(const std::string& relative, const std::string& newName) override {
        std::ranges::replace(filesBeside(relative), name(relative), newName);
    }
    void makeFolder(const std::string& relative) override { h_.fs.folders[folder(relative)]; }
    void makeFile(const std::string& relative) override {
        filesBeside(relative).push_back(name(relative));
    }
    void refresh() override { h_.refresh(); }
    void startWith(const std::string& path) override { h_.form().openGivenPath(path); }
    bool drop(const std::vector<std::string>& paths, WindowHalf half) override {
        return h_.drag(paths, half, false) && h_.drag(paths, half, true);
    }

    std::string text(const std::string& control) override {
        if (auto* label = named<FakeLabel>(control)) {
            return label->caption;
        }
        return textBox(control).value;
    }
    bool isEnabled(const std::string& control) override { return button(control).enabled; }
    int barValue(const std::string& bar) override { return scrollBar(bar).position; }
    void scrollTo(const std::string& /*list*/, const std::string& /*item*/) override {}
    std::optional<std::string> listPlace(const std::string& /*list*/) override { return {}; }
    std::string folderOf(const std::string& list) override {
        return list == "filIn" ? h_.filIn.current : named<FakeFolderList>(list)->current;
    }
    std::string focus() override {
        const auto last = std::ranges::find_if(
            h_.log.rbegin(), h_.log.rend(), [](const auto& e) { return e.starts_with("focus "); });
        return last == h_.log.rend() ? "" : last->substr(6);
    }
    bool isOpen() override { return !h_.closed; }
    RecordingMessageBoxes& messageBoxes() override { return h_.boxes; }
    std::vector<std::string> startedScripts() override {
        std::vector<std::string> texts;
        for (const FakePlatform::Start& start : h_.platform.starts) {
            texts.push_back(start.text);
        }
        return texts;
    }
    const Platform& platform() override { return h_.platform; }

private:
    std::string folder(const std::string& relative) const {
        return relative.empty() ? root_ : FolderText(root_, sep_) + relative;
    }
    // The files of the folder that holds `relative`, and its name there.
    std::vector<std::string>& filesBeside(const std::string& relative) {
        const auto slash = relative.rfind('/');
        return h_.fs.folders[folder(slash == std::string::npos ? "" : relative.substr(0, slash))];
    }
    static std::string name(const std::string& relative) {
        return relative.substr(relative.rfind('/') + 1);
    }
    FakeFileSystem tree() const {
        FakeFileSystem tree;
        for (const std::string_view file : kTreeFiles) {
            const auto slash = file.find('/');
            const std::string_view in = slash == file.npos ? "" : file.substr(0, slash);
            tree.folders[folder(std::string(in))].emplace_back(file.substr(slash + 1));
        }
        return tree;
    }
    // The fake of that name, or nothing when it is of another kind.
    template <typename Control>
    Control* named(const std::string& name) {
        Control* found = nullptr;
        visitControlSlot(name, [&](const auto& slot) {
            found = dynamic_cast<Control*>(h_.controls().*slot.member);
        });
        return found;
    }
    FakeTextBox& textBox(const std::string& name) { return *named<FakeTextBox>(name); }
    FakeScrollBar& scrollBar(const std::string& name) { return *named<FakeScrollBar>(name); }
    FakeButton& button(const std::string& name) { return *named<FakeButton>(name); }

    std::string root_;
    char sep_;
    Harness h_;
};

class WindowsStyleBehaviour : public BehaviourTest {
    std::unique_ptr<BehaviourDriver> makeDriver(const std::string& startFolder) override {
        return std::make_unique<FakeDriver>(platformWith('\\', "C:\\Tools\\FendralWin"),
                                            startFolder);
    }
};

class PosixStyleBehaviour : public BehaviourTest {
    std::unique_ptr<BehaviourDriver> makeDriver(const std::string& startFolder) override {
        return std::make_unique<FakeDriver>(platformWith('/', "/opt/fendralwin"), startFolder);
    }
};

TEST_P(WindowsStyleBehaviour, Holds) {
    runScenario();
}
TEST_P(PosixStyleBehaviour, Holds) {
    runScenario();
}
INSTANTIATE_TEST_SUITE_P(Fakes, WindowsStyleBehaviour, testing::ValuesIn(behaviourScenarios()),
                         scenarioName);
INSTANTIATE_TEST_SUITE_P(Fakes, PosixStyleBehaviour, testing::ValuesIn(behaviourScenarios()),
                         scenarioName);

} // namespace
} // namespace fendralwin::test
