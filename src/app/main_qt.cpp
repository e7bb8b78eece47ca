#include "app/view/qt/QtFrontEnd.h"
#include "platform/NativePlatform.h"

#include <QApplication>

int main(int argc, char* argv[]) {
    QApplication application(argc, argv);
    QApplication::setApplicationName(QStringLiteral("FendralWin"));
    QApplication::setApplicationVersion(QStringLiteral("1.0.0.7"));

    fendralwin::NativePlatform platform;
    fendralwin::QtFrontEnd frontEnd(platform, platform.programFolder());
    frontEnd.show();
    return QApplication::exec();
}
