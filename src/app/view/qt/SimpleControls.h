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
// A path label keeps its caption on one line; one that does not fit is drawn with its middle
// elided, so that the start of the path and the whole file name stay in view, and the whole
// caption is its tool tip.
class Label final : public QLabel, public ILabel {
public:
    Label(const QString& caption, bool showsPath, QWidget* parent);
    void setCaption(const std::string& caption) override;
    // The text the label draws.
    QString shownText() const;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    bool showsPath_;
};

// Raises Change for every change of its text, typed or written.
class TextBox final : public QLineEdit, public ITextBox {
public:
    TextBox(const QString& text, QWidget* parent);
    std::string text() const override;
    void setText(const std::string& text) override;
    void giveFocus() override { setFocus(Qt::OtherFocusReason); }
};

// Raises Click when pressed, by the mouse, Space, or Return while it has the focus.
class CommandButton final : public QPushButton, public ICommandButton {
public:
    CommandButton(const QString& caption, QWidget* parent);
    void setEnabled(bool enabled) override { QPushButton::setEnabled(enabled); }

protected:
    void keyPressEvent(QKeyEvent* event) override;
};

// A horizontal bar whose Left and Right keys move the slider left and right. A drag of the
// slider raises Scroll; the arrows, the track, the keys and the wheel raise Change.
class ScrollBar final : public QScrollBar, public IScrollBar {
public:
    explicit ScrollBar(QWidget* parent);
    // During a drag Qt reports the new position before it updates the value.
    int value() const override { return sliderPosition(); }
    void showValue(int value) override { setValue(value); }

protected:
    void keyPressEvent(QKeyEvent* event) override;
};

} // namespace fendralwin
