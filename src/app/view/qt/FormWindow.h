#pragma once

#include "app/view/FormControls.h"
#include "platform/Platform.h"

#include <QWidget>
#include <string_view>

namespace fendralwin {

// The window and its 24 controls, built from the control table: each widget's objectName is its
// control's name. Fixed size; positions scale with the screen's DPI from 15 twips a pixel at 96.
// A change that a list's folder reports, and the window's activation (the user may have changed the
// disk or the drives meanwhile), raise Refresh once the changes of the moment are in.
class FormWindow final : public QWidget, public IFormWindow {
public:
    explicit FormWindow(const Platform& platform);

    FormControls controls() override { return controls_; }
    void close() override { QWidget::close(); }

    // The widget of the control of that name; throws std::out_of_range for an unknown name.
    QWidget& control(std::string_view name) const;
    // Pixels for a length in twips on this window's screen.
    int pixels(int twips) const;

protected:
    // Files and folders dragged over a half are offered to the window object; the drag cursor
    // shows whether it takes them.
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dragMoveEvent(QDragMoveEvent* event) override;
    void dropEvent(QDropEvent* event) override;
    bool event(QEvent* event) override;

private:
    void scheduleRefresh();
    // Whether the drop handler takes what `event` carries on `half`, or takes it there.
    bool offer(const QDropEvent& event, WindowHalf half, bool drop) const;
    WindowHalf halfAt(const QDropEvent& event) const;

    FormControls controls_{};
    bool refreshScheduled_ = false;
    // What a drag that came in would do on each half, asked once as it enters.
    bool inputTakesDrag_ = false;
    bool outputTakesDrag_ = false;
};

} // namespace fendralwin
