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
    void stepRight(const std::string& bar) override { ++scrollBar(bar).position; }
    void press(const std::string& button) override { this->button(button).press(); }
    void removeFile(const std::string& relative) override {
        h_.platform.missingFiles.insert(path(relative));
    }

    std::string text(const std::string& control) override {
        if (auto* label = dynamic_cast<FakeLabel*>(&h_.control(control))) {
            return label->caption;
        }
        return textBox(control).value;
    }
    bool isEnabled(const std::string& control) override { return button(control).enabled; }
    int barValue(const std::string& bar) override { return scrollBar(bar).position; }
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
    FakeFileSystem tree() const {
        FakeFileSystem tree;
        for (const std::string_view file : kTreeFiles) {
            const auto slash = file.find('/');
            const std::string_view in = slash == file.npos ? "" : file.substr(0, slash);
            tree.folders[folder(std::string(in))].emplace_back(file.substr(slash + 1));
        }
        return tree;
    }
    template <typename Control>
    Control& named(const std::string& name) {
        return dynamic_cast<Control&>(h_.control(name));
    }
    FakeTextBox& textBox(const std::string& name) { return named<FakeTextBox>(name); }
    FakeScrollBar& scrollBar(const std::string& name) { return named<FakeScrollBar>(name); }
    FakeButton& button(const std::string& name) { return named<FakeButton>(name); }

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
