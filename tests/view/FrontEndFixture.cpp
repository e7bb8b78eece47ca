#include "FrontEndFixture.h"

#include <QApplication>
#include <QLabel>
#include <filesystem>

namespace fendralwin::test {

MessageBoxCloser::MessageBoxCloser() {
    connect(&timer_, &QTimer::timeout, this, [this] {
        for (QWidget* widget : QApplication::topLevelWidgets()) {
            auto* box = qobject_cast<QMessageBox*>(widget);
            if (box && box->isVisible()) {
                seen.push_back({box->icon(), box->windowTitle(), box->text()});
                whileShown();
                box->button(QMessageBox::Ok)->click();
            }
        }
    });
    timer_.start(5);
}

FrontEndTest::FrontEndTest() {
    programFolder.write("photo.tif", "");
    programFolder.write("Second.TIF", "");
    programFolder.write("notes.txt", "");
    programFolder.write("beta/b.tif", "");
    programFolder.write("Alpha/a.tif", "");
    programFolder.write("gamma/g.txt", "");
    programFolder.write(".hidden/h.tif", "");
    platform = std::make_unique<PosixPlatform>(programFolder.path().string());
    frontEnd = std::make_unique<QtFrontEnd>(*platform);
}

FrontEndTest::~FrontEndTest() {
    // The window object goes first: its Terminate event still needs the script folder.
    frontEnd.reset();
}

std::vector<std::string> FrontEndTest::scriptsLeft() const {
    std::vector<std::string> scripts;
    std::error_code missing;
    for (const auto& entry :
         std::filesystem::directory_iterator(runtimeFolder / "FendralWin", missing)) {
        scripts.push_back(entry.path().string());
    }
    return scripts;
}

QString FrontEndTest::caption(const char* label) {
    return control<QLabel>(label)->text();
}

} // namespace fendralwin::test
