#include "app/view/qt/FormWindow.h"

#include "app/view/ControlTable.h"
#include "app/view/qt/Accessibility.h"
#include "app/view/qt/DriveComboBox.h"
#include "app/view/qt/FileListView.h"
#include "app/view/qt/FolderListView.h"
#include "app/view/qt/QtText.h"
#include "app/view/qt/SimpleControls.h"
#include "app/view/qt/WindowIcon.h"

#include <QDropEvent>
#include <QEvent>
#include <QFile>
#include <QMimeData>
#include <QTimer>
#include <stdexcept>
#include <string>
#include <type_traits>

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

Label* makeLabel(const ControlLayout& control, QWidget* parent) {
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

// The widget that implements `Interface` for a control of the table.
template <typename Interface>
auto* makeControl(const ControlLayout& control, const Platform& platform, QWidget* parent) {
    if constexpr (std::is_same_v<Interface, ILabel>) {
        return makeLabel(control, parent);
    } else if constexpr (std::is_same_v<Interface, ITextBox>) {
        auto* box = new TextBox(toQt(control.text), parent);
        box->setToolTip(toQt(control.toolTip));
        // A file dragged from a file manager also carries its path as text: dropped on a box,
        // it goes to the window, which opens it, rather than into the box as typed text.
        box->setAcceptDrops(false);
        return box;
    } else if constexpr (std::is_same_v<Interface, ICommandButton>) {
        auto* button = new CommandButton(toQt(control.text), parent);
        button->setEnabled(control.enabled);
        button->setAutoDefault(false);
        return button;
    } else if constexpr (std::is_same_v<Interface, IScrollBar>) {
        auto* bar = new ScrollBar(parent);
        bar->setRange(0, control.maximum);
        bar->setSingleStep(1);
        bar->setPageStep(10);
        bar->setValue(control.value);
        return bar;
    } else if constexpr (std::is_same_v<Interface, IDriveList>) {
        return new DriveComboBox(parent);
    } else if constexpr (std::is_same_v<Interface, IFolderList>) {
        return new FolderListView(platform, parent);
    } else {
        static_assert(std::is_same_v<Interface, IFileList>);
        return new FileListView(std::string(control.pattern), platform, parent);
    }
}

} // namespace

FormWindow::FormWindow(const Platform& platform) {
    installAccessibility();
    setObjectName(QStringLiteral("frmFendralWrapper"));
    setWindowTitle(QStringLiteral("FendralWin"));
    setWindowIcon(fendralWinIcon());
    // A compact dialog face: every caption has to fit its label on one line.
    QFont standard(QStringLiteral("Arial"));
    standard.setPointSizeF(7.5);
    setFont(standard);

    controls_.window = this;
    QWidget* previous = nullptr;
    for (const ControlLayout& control : controlTable()) {
        QWidget* widget = nullptr;
        const bool used = visitControlSlot(control.name, [&](const auto& slot) {
            using Slot = std::remove_cvref_t<decltype(slot)>;
            auto* made = makeControl<typename Slot::Interface>(control, platform, this);
            if constexpr (requires { made->diskWatch(); }) {
                connect(&made->diskWatch(), &QFileSystemWatcher::directoryChanged, this,
                        &FormWindow::scheduleRefresh);
            }
            controls_.*Slot::member = made;
            widget = made;
        });
        if (!used) {
            widget = makeControl<ILabel>(control, platform, this);
        }
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
    // Each list and box has its label as its buddy, a relation that screen readers follow.
    for (const ControlLayout& control : controlTable()) {
        if (const std::string_view label = labelOf(control); !label.empty()) {
            findChild<QLabel*>(toQt(label))->setBuddy(&this->control(control.name));
        }
    }
    setFixedSize(pixels(kClientWidthTwips), pixels(kClientHeightTwips));
    setAcceptDrops(true);
}

bool FormWindow::offer(const QDropEvent& event, WindowHalf half, bool drop) const {
    std::vector<std::string> paths;
    for (const QUrl& url : event.mimeData()->urls()) {
        if (url.isLocalFile()) {
            // The file system's own bytes, whatever the name holds.
            paths.push_back(QFile::encodeName(url.toLocalFile()).toStdString());
        }
    }
    return offerDrop(paths, half, drop);
}

WindowHalf FormWindow::halfAt(const QDropEvent& event) const {
    return event.position().x() < width() / 2.0 ? WindowHalf::Input : WindowHalf::Output;
}

void FormWindow::dragEnterEvent(QDragEnterEvent* event) {
    inputTakesDrag_ = offer(*event, WindowHalf::Input, false);
    outputTakesDrag_ = offer(*event, WindowHalf::Output, false);
    // Refused here, the drag would not be followed to the other half; the move that follows
    // the entry shows what this half does.
    event->setAccepted(inputTakesDrag_ || outputTakesDrag_);
}

void FormWindow::dragMoveEvent(QDragMoveEvent* event) {
    event->setAccepted(halfAt(*event) == WindowHalf::Input ? inputTakesDrag_ : outputTakesDrag_);
}

void FormWindow::dropEvent(QDropEvent* event) {
    event->setAccepted(offer(*event, halfAt(*event), true));
}

QWidget& FormWindow::control(std::string_view name) const {
    auto* control = findChild<QWidget*>(toQt(name), Qt::FindDirectChildrenOnly);
    if (control == nullptr) {
        throw std::out_of_range("no control named " + std::string(name));
    }
    return *control;
}

bool FormWindow::event(QEvent* event) {
    if (event->type() == QEvent::WindowActivate) {
        scheduleRefresh();
    }
    return QWidget::event(event);
}

void FormWindow::scheduleRefresh() {
    // A removed folder or a written file reports several changes at once: one refresh for all.
    if (!refreshScheduled_) {
        refreshScheduled_ = true;
        QTimer::singleShot(0, this, [this] {
            refreshScheduled_ = false;
            raiseEvent(ControlEvent::Refresh);
        });
    }
}

int FormWindow::pixels(int twips) const {
    return pixelsOf(twips, logicalDpiX());
}

} // namespace fendralwin
