#include "app/view/qt/QtFrontEnd.h"
#include "platform/posix/PosixPlatform.h"

#include <QApplication>

int main(int argc, char* argv[]) {
    QApplication application(argc, argv);
    QApplication::setApplicationName(QStringLiteral("FendralWin"));
    QApplication::setApplicationVersion(QStringLiteral("1.0.0.7"));

    fendralwin::PosixPlatform platform;
    fendralwin::QtFrontEnd frontEnd(platform);
    frontEnd.show();
    return QApplication::exec();
}
