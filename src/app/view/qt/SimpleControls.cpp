#include "app/view/qt/SimpleControls.h"

#include "app/view/qt/QtText.h"

#include <QKeyEvent>
#include <QPainter>
#include <QStyle>
#include <algorithm>

namespace fendralwin {

Label::Label(const QString& caption, bool showsPath, QWidget* parent)
    : QLabel(caption, parent)
    , showsPath_(showsPath) {
    setTextFormat(Qt::PlainText);
    setWordWrap(!showsPath);
    if (showsPath) {
        setToolTip(caption);
    }
}

void Label::setCaption(const std::string& caption) {
    QLabel::setText(toQt(caption));
    if (showsPath_) {
        setToolTip(text());
    }
}

QString Label::shownText() const {
    const QFontMetrics metrics = fontMetrics();
    const int room = contentsRect().width();
    if (!showsPath_ || metrics.horizontalAdvance(text()) <= room) {
        return text();
    }
    // The file name whole where it fits, the folders before it cut short.
    const auto lastSeparator = std::max(text().lastIndexOf('/'), text().lastIndexOf('\\'));
    const QString name = text().mid(lastSeparator);
    const int nameWidth = metrics.horizontalAdvance(name);
    if (lastSeparator > 0 && nameWidth < room) {
        return metrics.elidedText(text().left(lastSeparator), Qt::ElideRight, room - nameWidth) +
               name;
    }
    return metrics.elidedText(text(), Qt::ElideMiddle, room);
}

void Label::paintEvent(QPaintEvent* event) {
    if (!showsPath_) {
        QLabel::paintEvent(event);
        return;
    }
    QPainter painter(this);
    style()->drawItemText(&painter, contentsRect(), static_cast<int>(alignment()), palette(),
                          isEnabled(), shownText(), foregroundRole());
}

TextBox::TextBox(const QString& text, QWidget* parent)
    : QLineEdit(text, parent) {
    connect(this, &QLineEdit::textChanged, this, [this] { raiseEvent(ControlEvent::Change); });
}

std::string TextBox::text() const {
    return fromQt(QLineEdit::text());
}

void TextBox::setText(const std::string& text) {
    QLineEdit::setText(toQt(text));
}

CommandButton::CommandButton(const QString& caption, QWidget* parent)
    : QPushButton(caption, parent) {
    connect(this, &QPushButton::clicked, this, [this] { raiseEvent(ControlEvent::Click); });
}

void CommandButton::keyPressEvent(QKeyEvent* event) {
    // A button of a plain window ignores Return unless it is a dialog's default button.
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        click();
        event->accept();
        return;
    }
    QPushButton::keyPressEvent(event);
}

ScrollBar::ScrollBar(QWidget* parent)
    : QScrollBar(Qt::Horizontal, parent) {
    setFocusPolicy(Qt::StrongFocus);
    connect(this, &QScrollBar::sliderMoved, this, [this] { raiseEvent(ControlEvent::Scroll); });
    // Arrows, track, keys and wheel; the value is that of the slider's new position.
    connect(this, &QScrollBar::actionTriggered, this, [this] {
        if (!isSliderDown()) {
            raiseEvent(ControlEvent::Change);
        }
    });
}

void ScrollBar::keyPressEvent(QKeyEvent* event) {
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
