#pragma once

#include <QScrollBar>

namespace fendralwin {

// A horizontal scroll bar whose Left and Right keys move the slider left and right.
class FormScrollBar final : public QScrollBar {
public:
    explicit FormScrollBar(QWidget* parent);

protected:
    void keyPressEvent(QKeyEvent* event) override;
};

} // namespace fendralwin
