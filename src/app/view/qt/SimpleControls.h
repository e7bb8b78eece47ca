#pragma once

#include "app/view/Controls.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollBar>

// The window logic's label, text box, button and scroll bar as Qt widgets. Qt delivers the
// signals behind their events synchronously, so a write raises its event before it returns.
namespace fendralwin {

// Shows its caption as it stands: file names may hold "<b>" or "&lt;", never read as markup.
class Label final : public QLabel, public ILabel {
public:
    Label(const QString& caption, QWidget* parent);
    void setCaption(const std::string& caption) override;
};

// Raises Change for every change of its text, typed or written.
class TextBox final : public QLineEdit, public ITextBox, public EventSource {
public:
    TextBox(const QString& text, QWidget* parent);
    std::string text() const override;
    void setText(const std::string& text) override;
    void giveFocus() override { setFocus(Qt::OtherFocusReason); }
};

// Raises Click when pressed, by the mouse, Space, or Return while it has the focus.
class CommandButton final : public QPushButton, public ICommandButton, public EventSource {
public:
    CommandButton(const QString& caption, QWidget* parent);
    void setEnabled(bool enabled) override { QPushButton::setEnabled(enabled); }

protected:
    void keyPressEvent(QKeyEvent* event) override;
};

// A horizontal bar whose Left and Right keys move the slider left and right. Only a drag of the
// slider raises Scroll; the arrows, the track and the keys move it without.
class ScrollBar final : public QScrollBar, public IScrollBar, public EventSource {
public:
    explicit ScrollBar(QWidget* parent);
    // During a drag Qt reports the new position before it updates the value.
    int value() const override { return sliderPosition(); }

protected:
    void keyPressEvent(QKeyEvent* event) override;
};

} // namespace fendralwin
