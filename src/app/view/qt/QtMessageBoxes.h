#pragma once

#include "app/view/Controls.h"

class QWidget;

namespace fendralwin {

// Qt's modal message boxes over the window.
class QtMessageBoxes final : public IMessageBoxes {
public:
    explicit QtMessageBoxes(QWidget* parent)
        : parent_(parent) {}
    void show(MessageKind kind, const std::string& title, const std::string& text) override;

private:
    QWidget* parent_;
};

} // namespace fendralwin
