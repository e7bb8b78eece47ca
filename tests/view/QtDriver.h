#pragma once

#include "BehaviourDriver.h"
#include "ScopedEnv.h"
#include "TempFolder.h"
#include "app/view/qt/QtFrontEnd.h"
#include "platform/NativePlatform.h"

#include <QAbstractItemView>
#include <QWidget>
#include <gtest/gtest.h>
#include <memory>

namespace fendralwin::test {

// The real Qt window over the real POSIX platform on the behaviour scenarios' folder tree, its
// script folder a temporary one; shown and active, on the offscreen platform. Message boxes are
// recorded; a job is recorded too unless `startJobs`, when a terminal really runs it.
class QtDriver final : public WindowDriver {
public:
    explicit QtDriver(bool startJobs = false);
    ~QtDriver() override;

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
    bool isOpen() override;
    const std::vector<ShownMessage>& messages() override { return boxes.shown; }
    const std::vector<std::string>& startedScripts() override { return recorder_.startedScripts; }
    const Platform& platform() override { return recorder_; }

    std::string title() override;
    int dpi() override;
    Place clientArea() override;
    bool isFixedSize() override;
    Place place(const std::string& control) override;
    std::string toolTip(const std::string& control) override;
    int barMaximum(const std::string& bar) override;
    ShownFont font(const std::string& label) override;
    std::pair<Rgb, Rgb> colours(const std::string& label) override;
    std::vector<std::string> tabCycle() override;

    template <typename Widget = QWidget>
    Widget* widget(const std::string& name) {
        return dynamic_cast<Widget*>(&frontEnd->window().control(name));
    }
    // The row of a list whose text (or, with PathRole, folder) is `value`.
    static QModelIndex row(QAbstractItemView* list, const QString& value,
                           int role = Qt::DisplayRole);
    static void click(QAbstractItemView* list, const QModelIndex& row,
                      Qt::KeyboardModifiers keys = {});

    TempFolder root;
    TempFolder runtimeFolder;
    ScopedEnv runtime{"XDG_RUNTIME_DIR", runtimeFolder.path().c_str()};
    NativePlatform system{root.path().string()};
    RecordingMessageBoxes boxes;
    std::unique_ptr<QtFrontEnd> frontEnd;

private:
    RecordingPlatform recorder_{system};
};

} // namespace fendralwin::test
