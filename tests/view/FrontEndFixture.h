#pragma once

#include "ScopedEnv.h"
#include "TempFolder.h"
#include "app/view/qt/QtFrontEnd.h"
#include "platform/posix/PosixPlatform.h"

#include <QMessageBox>
#include <QObject>
#include <QTimer>
#include <gtest/gtest.h>
#include <memory>
#include <string>
#include <vector>

namespace fendralwin::test {

struct SeenBox {
    QMessageBox::Icon icon;
    QString title;
    QString text;
};

// Closes every message box as soon as it is shown, recording what it said and what the window
// looked like while it was open.
class MessageBoxCloser final : public QObject {
public:
    MessageBoxCloser();
    std::vector<SeenBox> seen;
    std::function<void()> whileShown = [] {
    };

private:
    QTimer timer_;
};

// The real Qt window over the real POSIX platform, its program folder a temporary folder and its
// script folder another.
class FrontEndTest : public testing::Test {
protected:
    FrontEndTest();
    ~FrontEndTest() override;

    template <typename Widget>
    Widget* control(const char* name) {
        return frontEnd->window().control<Widget>(QString::fromLatin1(name));
    }
    QString caption(const char* label);
    // The job scripts that are still in the private folder.
    std::vector<std::string> scriptsLeft() const;

    TempFolder programFolder;
    TempFolder runtimeFolder;
    ScopedEnv runtime{"XDG_RUNTIME_DIR", runtimeFolder.path().c_str()};
    std::unique_ptr<PosixPlatform> platform;
    std::unique_ptr<QtFrontEnd> frontEnd;
    MessageBoxCloser boxes;
};

} // namespace fendralwin::test
