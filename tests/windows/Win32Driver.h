#pragma once

#include "BehaviourDriver.h"
#include "TempFolder.h"
#include "WindowsTestSupport.h"
#include "app/view/win32/Win32FrontEnd.h"
#include "platform/NativePlatform.h"

#include <memory>

namespace fendralwin::test {

// The real Win32 window over the real Windows platform on the behaviour scenarios' folder tree,
// shown. The program folder ("Fendral Win") holds the probe as its Fendral. Message boxes are
// recorded; a job is recorded too unless `startJobs`, when the command interpreter runs it.
class Win32Driver final : public WindowDriver {
public:
    explicit Win32Driver(bool startJobs = false);
    ~Win32Driver() override;

    std::string path(std::string_view relative) const override;
    void openFolder(const std::string& list, const std::string& relative) override;
    void clickFile(const std::string& name) override;
    void type(const std::string& box, const std::string& text) override;
    void paste(const std::string& box, const std::string& text) override;
    void dragSlider(const std::string& bar, int position) override;
    void stepRight(const std::string& bar) override;
    void press(const std::string& button) override;
    void removeFile(const std::string& relative) override;

    std::string text(const std::string& control) override;
    bool isEnabled(const std::string& control) override;
    int barValue(const std::string& bar) override;
    std::string focus() override;
    bool isOpen() override { return window().isOpen(); }
    const std::vector<ShownMessage>& messages() override { return boxes.shown; }
    const std::vector<std::string>& startedScripts() override { return recorder_.startedScripts; }
    const Platform& platform() override { return recorder_; }

    std::string title() override;
    int dpi() override { return window().dpi(); }
    Place clientArea() override;
    bool isFixedSize() override;
    Place place(const std::string& control) override;
    std::string toolTip(const std::string& control) override;
    int barMaximum(const std::string& bar) override;
    ShownFont font(const std::string& label) override;
    std::pair<Rgb, Rgb> colours(const std::string& label) override;
    std::vector<std::string> tabCycle() override;

    win32::FormWindow& window() { return frontEnd->window(); }
    HWND handle(std::string_view name) { return window().child(name).handle(); }
    template <typename Control>
    Control& control(std::string_view name) {
        return dynamic_cast<Control&>(window().child(name));
    }
    // The name of the control with that window handle.
    std::string nameOf(HWND control);
    // What the user's actions send: a key through the dialog keys, a click on an item of a list.
    void pressKey(const char* name, WPARAM key);
    void clickItem(const char* name, int index, bool twice = false);

    TempFolder temp;
    std::filesystem::path root;
    NativePlatform system;
    RecordingMessageBoxes boxes;
    std::unique_ptr<win32::Win32FrontEnd> frontEnd;

private:
    RecordingPlatform recorder_{system};
};

} // namespace fendralwin::test
