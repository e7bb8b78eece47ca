#pragma once

#include <QString>
#include <QWidget>

namespace fendralwin {

// The window and its 24 controls, built from the control table: each widget's objectName is its
// control's name. Fixed size; positions scale with the screen's DPI from 15 twips a pixel at 96.
class FormWindow final : public QWidget {
public:
    FormWindow();

    template <typename Widget>
    Widget* control(const QString& name) const {
        auto* widget = findChild<Widget*>(name, Qt::FindDirectChildrenOnly);
        Q_ASSERT(widget);
        return widget;
    }

    // Pixels for a length in twips on this window's screen.
    int pixels(int twips) const;
};

} // namespace fendralwin
