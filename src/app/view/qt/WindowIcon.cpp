#include "app/view/qt/WindowIcon.h"

namespace fendralwin {

QIcon fendralWinIcon() {
    QIcon icon(QStringLiteral(":/icon/16.png"));
    icon.addFile(QStringLiteral(":/icon/32.png"));
    return icon;
}

} // namespace fendralwin
