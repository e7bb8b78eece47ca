#pragma once

#include "app/view/Controls.h"

#include <QWidget>

namespace fendralwin {

// The window and its 24 controls, built from the control table: each widget's objectName is its
// control's name. Fixed size; positions scale with the screen's DPI from 15 twips a pixel at 96.
class FormWindow final : public QWidget, public IFormWindow {
public:
    FormWindow();

    IControl& control(std::string_view name) override;
    void close() override { QWidget::close(); }

    // Pixels for a length in twips on this window's screen.
    int pixels(int twips) const;
};

} // namespace fendralwin
