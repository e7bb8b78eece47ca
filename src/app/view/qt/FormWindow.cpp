#include "app/view/qt/FormWindow.h"

#include "app/view/ControlTable.h"
#include "app/view/qt/DriveComboBox.h"
#include "app/view/qt/FileListView.h"
#include "app/view/qt/FolderListView.h"
#include "app/view/qt/FormScrollBar.h"
#include "app/view/qt/WindowIcon.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QtMath>

namespace fendralwin {

namespace {

QString qt(std::string_view text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

QColor color(Rgb rgb) {
    return {rgb.red, rgb.green, rgb.blue};
}

QFont font(const FontSpec& spec) {
    QFont font(qt(spec.family));
    font.setPointSizeF(spec.points);
    font.setItalic(spec.italic);
    font.setWeight(QFont::Normal);
    return font;
}

QLabel* makeLabel(const ControlSpec& spec, QWidget* parent) {
    auto* label = new QLabel(qt(spec.text), parent);
    label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    label->setWordWrap(true);
    label->setContentsMargins(0, 0, 0, 0);
    if (spec.style == LabelStyle::Heading) {
        label->setFont(font(kHeadingStyle.font));
        QPalette palette = label->palette();
        palette.setColor(QPalette::Window, color(kHeadingStyle.background));
        palette.setColor(QPalette::WindowText, color(kHeadingStyle.foreground));
        label->setPalette(palette);
        label->setAutoFillBackground(true);
    } else if (spec.style == LabelStyle::Path) {
        label->setFont(font(kPathFont));
    }
    return label;
}

QWidget* makeControl(const ControlSpec& spec, QWidget* parent) {
    switch (spec.kind) {
    case ControlKind::Label:
        return makeLabel(spec, parent);
    case ControlKind::TextBox: {
        auto* box = new QLineEdit(qt(spec.text), parent);
        box->setToolTip(qt(spec.toolTip));
        return box;
    }
    case ControlKind::CommandButton: {
        auto* button = new QPushButton(qt(spec.text), parent);
        button->setEnabled(spec.enabled);
        button->setAutoDefault(false);
        return button;
    }
    case ControlKind::HScrollBar: {
        auto* bar = new FormScrollBar(parent);
        bar->setRange(0, spec.maximum);
        bar->setSingleStep(1);
        bar->setPageStep(10);
        bar->setValue(spec.value);
        return bar;
    }
    case ControlKind::DriveList:
        return new DriveComboBox(parent);
    case ControlKind::FolderList:
        return new FolderListView(parent);
    case ControlKind::FileList:
        return new FileListView(qt(spec.pattern), parent);
    }
    return nullptr;
}

} // namespace

FormWindow::FormWindow() {
    setObjectName(QStringLiteral("frmFendralWrapper"));
    setWindowTitle(QStringLiteral("FendralWin"));
    setWindowIcon(fendralWinIcon());
    // A compact dialog face: every caption has to fit its label on one line.
    QFont standard(QStringLiteral("Arial"));
    standard.setPointSizeF(7.5);
    setFont(standard);

    QWidget* previous = nullptr;
    for (const ControlSpec& spec : controlTable()) {
        QWidget* widget = makeControl(spec, this);
        widget->setObjectName(qt(spec.name));
        widget->setGeometry(pixels(spec.left), pixels(spec.top), pixels(spec.width),
                            pixels(spec.height));
        if (widget->focusPolicy() & Qt::TabFocus) {
            if (previous) {
                setTabOrder(previous, widget);
            }
            previous = widget;
        }
    }
    setFixedSize(pixels(kClientWidthTwips), pixels(kClientHeightTwips));
}

int FormWindow::pixels(int twips) const {
    const double pixelsAt96Dpi = static_cast<double>(twips) / kTwipsPerPixelAt96Dpi;
    return qRound(pixelsAt96Dpi * logicalDpiX() / 96.0);
}

} // namespace fendralwin
