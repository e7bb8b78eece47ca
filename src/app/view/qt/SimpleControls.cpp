#include "app/view/qt/SimpleControls.h"

#include "app/view/qt/QtText.h"

#include <QKeyEvent>

namespace fendralwin {

Label::Label(const QString& caption, QWidget* parent)
    : QLabel(caption, parent) {
    setTextFormat(Qt::PlainText);
}

void Label::setCaption(const std::string& caption) {
    QLabel::setText(toQt(caption));
}

TextBox::TextBox(const QString& text, QWidget* parent)
    : QLineEdit(text, parent) {
    connect(this, &QLineEdit::textChanged, this, [this] { raiseEvent(); });
}

std::string TextBox::text() const {
    return fromQt(QLineEdit::text());
}

void TextBox::setText(const std::string& text) {
    QLineEdit::setText(toQt(text));
}

CommandButton::CommandButton(const QString& caption, QWidget* parent)
    : QPushButton(caption, parent) {
    connect(this, &QPushButton::clicked, this, [this] { raiseEvent(); });
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
    connect(this, &QScrollBar::sliderMoved, this, [this] { raiseEvent(); });
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
