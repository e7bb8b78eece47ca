#include "app/view/qt/FormScrollBar.h"

#include <QKeyEvent>

namespace fendralwin {

FormScrollBar::FormScrollBar(QWidget* parent)
    : QScrollBar(Qt::Horizontal, parent) {
    setFocusPolicy(Qt::StrongFocus);
}

void FormScrollBar::keyPressEvent(QKeyEvent* event) {
    // Qt's scroll bars invert their controls so that the wheel scrolls content naturally, which
    // also makes Left move the slider right; the arrow keys should follow the arrows.
    if (event->key() == Qt::Key_Left || event->key() == Qt::Key_Right) {
        const bool towardsEnd = (event->key() == Qt::Key_Right) != isRightToLeft();
        triggerAction(towardsEnd ? SliderSingleStepAdd : SliderSingleStepSub);
        event->accept();
        return;
    }
    QScrollBar::keyPressEvent(event);
}

} // namespace fendralwin
