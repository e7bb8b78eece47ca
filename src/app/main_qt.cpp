#include "app/CommandLine.h"
#include "app/view/qt/QtFrontEnd.h"
#include "platform/NativePlatform.h"

#include <QApplication>
#include <filesystem>
#include <iostream>

int main(int argc, char* argv[]) {
    using fendralwin::parseCommandLine;
    // Help and version answer without a display.
    const auto early = parseCommandLine({argv + 1, argv + argc});
    if (early.request != fendralwin::CommandLine::Request::UnknownOption) {
        if (const auto status =
                fendralwin::answerCommandLine(early, FENDRALWIN_VERSION, std::cout, std::cerr)) {
            return *status;
        }
    }
    // Qt takes out the options that are its own (-platform, -style ...).
    QApplication application(argc, argv);
    const auto commandLine = parseCommandLine({argv + 1, argv + argc});
    if (const auto status =
            fendralwin::answerCommandLine(commandLine, FENDRALWIN_VERSION, std::cout, std::cerr)) {
        return *status;
    }
    QApplication::setApplicationName(QStringLiteral("FendralWin"));
    QApplication::setApplicationVersion(QStringLiteral(FENDRALWIN_VERSION));
    // Docks match the window to its desktop entry, and so to its icon, by this name.
    QApplication::setDesktopFileName(QStringLiteral("org.fendralwin.FendralWin"));

    fendralwin::NativePlatform platform;
    // The lists open where the user started the program (a desktop launch starts it at home),
    // not in the program's own folder.
    fendralwin::QtFrontEnd frontEnd(platform, ".");
    frontEnd.show();
    if (commandLine.path) {
        // A path that cannot be made absolute ("") is handed on as given, to be named as unusable.
        std::error_code unresolved;
        const std::filesystem::path full = std::filesystem::absolute(*commandLine.path, unresolved);
        frontEnd.form().openGivenPath(unresolved ? *commandLine.path : full.string());
    }
    return QApplication::exec();
}
