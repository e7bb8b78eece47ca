#include "app/view/qt/FormWindow.h"

#include "app/view/ControlTable.h"
#include "app/view/qt/Accessibility.h"
#include "app/view/qt/DriveComboBox.h"
#include "app/view/qt/FileListView.h"
#include "app/view/qt/FolderListView.h"
#include "app/view/qt/QtText.h"
#include "app/view/qt/SimpleControls.h"
#include "app/view/qt/WindowIcon.h"

#include <QtMath>
#include <stdexcept>
#include <string>

namespace fendralwin {

namespace {

QColor color(Rgb rgb) {
    return {rgb.red, rgb.green, rgb.blue};
}

QFont font(const FontStyle& style) {
    QFont font(toQt(style.family));
    font.setPointSizeF(style.points);
    font.setItalic(style.italic);
    font.setWeight(QFont::Normal);
    return font;
}

QLabel* makeLabel(const ControlLayout& control, QWidget* parent) {
    auto* label = new Label(toQt(control.text), control.style == LabelStyle::Path, parent);
    label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    label->setContentsMargins(0, 0, 0, 0);
    if (control.style == LabelStyle::Heading) {
        label->setFont(font(kHeadingStyle.font));
        QPalette palette = label->palette();
        palette.setColor(QPalette::Window, color(kHeadingStyle.background));
        palette.setColor(QPalette::WindowText, color(kHeadingStyle.foreground));
        label->setPalette(palette);
        label->setAutoFillBackground(true);
    } else if (control.style == LabelStyle::Path) {
        label->setFont(font(kPathFont));
    }
    return label;
}

QWidget* makeControl(const ControlLayout& control, QWidget* parent) {
    switch (control.kind) {
    case ControlKind::Label:
        return makeLabel(control, parent);
    case ControlKind::TextBox: {
        auto* box = new TextBox(toQt(control.text), parent);
        box->setToolTip(toQt(control.toolTip));
        return box;
    }
    case ControlKind::CommandButton: {
        auto* button = new CommandButton(toQt(control.text), parent);
        button->setEnabled(control.enabled);
        button->setAutoDefault(false);
        return button;
    }
    case ControlKind::HScrollBar: {
        auto* bar = new ScrollBar(parent);
        bar->setRange(0, control.maximum);
        bar->setSingleStep(1);
        bar->setPageStep(10);
        bar->setValue(control.value);
        return bar;
    }
    case ControlKind::DriveList:
        return new DriveComboBox(parent);
    case ControlKind::FolderList:
        return new FolderListView(parent);
    case ControlKind::FileList:
        return new FileListView(std::string(control.pattern), parent);
    }
    return nullptr;
}

} // namespace

FormWindow::FormWindow() {
    installAccessibility();
    setObjectName(QStringLiteral("frmFendralWrapper"));
    setWindowTitle(QStringLiteral("FendralWin"));
    setWindowIcon(fendralWinIcon());
    // A compact dialog face: every caption has to fit its label on one line.
    QFont standard(QStringLiteral("Arial"));
    standard.setPointSizeF(7.5);
    setFont(standard);

    QWidget* previous = nullptr;
    for (const ControlLayout& control : controlTable()) {
        QWidget* widget = makeControl(control, this);
        widget->setObjectName(toQt(control.name));
        // A label is read as what it shows, which changes; every other control by its name.
        if (control.kind != ControlKind::Label) {
            widget->setAccessibleName(toQt(fendralwin::accessibleName(control)));
        }
        widget->setGeometry(pixels(control.left), pixels(control.top), pixels(control.width),
                            pixels(control.height));
        if (widget->focusPolicy() & Qt::TabFocus) {
            if (previous) {
                setTabOrder(previous, widget);
            }
            previous = widget;
        }
    }
    // A drop-down list reads out the drive it shows: its label names it, as its buddy.
    for (const ControlLayout& control : controlTable()) {
        if (const std::string_view label = labelOf(control); !label.empty()) {
            findChild<QLabel*>(toQt(label))->setBuddy(findChild<QWidget*>(toQt(control.name)));
        }
    }
    setFixedSize(pixels(kClientWidthTwips), pixels(kClientHeightTwips));
}

IControl& FormWindow::control(std::string_view name) {
    auto* control =
        dynamic_cast<IControl*>(findChild<QWidget*>(toQt(name), Qt::FindDirectChildrenOnly));
    if (control == nullptr) {
        throw std::out_of_range("no control named " + std::string(name));
    }
    return *control;
}

int FormWindow::pixels(int twips) const {
    const double pixelsAt96Dpi = static_cast<double>(twips) / kTwipsPerPixelAt96Dpi;
    return qRound(pixelsAt96Dpi * logicalDpiX() / 96.0);
}

} // namespace fendralwin
