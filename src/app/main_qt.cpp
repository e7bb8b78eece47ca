#include "app/view/qt/QtFrontEnd.h"
#include "platform/NativePlatform.h"

#include <QApplication>

int main(int argc, char* argv[]) {
    QApplication application(argc, argv);
    QApplication::setApplicationName(QStringLiteral("FendralWin"));
    QApplication::setApplicationVersion(QStringLiteral(FENDRALWIN_VERSION));
    // Docks match the window to its desktop entry, and so to its icon, by this name.
    QApplication::setDesktopFileName(QStringLiteral("org.fendralwin.FendralWin"));

    fendralwin::NativePlatform platform;
    // The lists open where the user started the program (a desktop launch starts it at home),
    // not in the program's own folder.
    fendralwin::QtFrontEnd frontEnd(platform, ".");
    frontEnd.show();
    return QApplication::exec();
}
