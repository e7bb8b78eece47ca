#include "app/view/qt/Accessibility.h"

#include "app/SettingText.h"
#include "app/view/ControlTable.h"
#include "app/view/qt/AccessibleList.h"
#include "app/view/qt/DriveComboBox.h"
#include "app/view/qt/FormWindow.h"
#include "app/view/qt/ListView.h"
#include "app/view/qt/QtText.h"
#include "app/view/qt/SimpleControls.h"

#include <QAccessibleWidget>
#include <QLabel>

namespace fendralwin {

namespace {

// Read as Qt reads its own drop-down lists on Linux, but named by its caption as the other lists
// are: the shown drive is its text and the selected row of its one child, the list it drops down.
class AccessibleDriveList final : public QAccessibleWidget, public QAccessibleTextInterface {
public:
    explicit AccessibleDriveList(QComboBox* list)
        : QAccessibleWidget(list, QAccessible::ComboBox) {}

    void* interface_cast(QAccessible::InterfaceType type) override {
        return type == QAccessible::TextInterface ? static_cast<QAccessibleTextInterface*>(this)
                                                  : QAccessibleWidget::interface_cast(type);
    }
    QString text(QAccessible::Text kind) const override {
        switch (kind) {
        case QAccessible::Name:
            return widget()->accessibleName();
        case QAccessible::Value:
            return shown();
        default:
            return QAccessibleWidget::text(kind);
        }
    }

    int childCount() const override { return 1; }
    QAccessibleInterface* child(int index) const override {
        return index == 0 ? QAccessible::queryAccessibleInterface(list()->view()) : nullptr;
    }
    int indexOfChild(const QAccessibleInterface* child) const override {
        return child && child->object() == list()->view() ? 0 : -1;
    }
    QAccessibleInterface* childAt(int /*x*/, int /*y*/) const override { return nullptr; }

    // The shown drive as text that can be read, not changed.
    QString text(int start, int end) const override { return shown().mid(start, end - start); }
    int characterCount() const override { return static_cast<int>(shown().size()); }
    int cursorPosition() const override { return 0; }
    void setCursorPosition(int /*position*/) override {}
    int selectionCount() const override { return 0; }
    void selection(int /*index*/, int* start, int* end) const override { *start = *end = 0; }
    void addSelection(int /*start*/, int /*end*/) override {}
    void removeSelection(int /*index*/) override {}
    void setSelection(int /*index*/, int /*start*/, int /*end*/) override {}
    QRect characterRect(int /*offset*/) const override { return {}; }
    int offsetAtPoint(const QPoint& /*point*/) const override { return -1; }
    void scrollToSubstring(int /*start*/, int /*end*/) override {}
    QString attributes(int offset, int* start, int* end) const override {
        *start = *end = offset;
        return {};
    }

private:
    QComboBox* list() const { return static_cast<QComboBox*>(widget()); }
    QString shown() const { return list()->currentText(); }
};

// A bar read as the setting it sets; a value set through it moves the bar as the user would.
class AccessibleSettingBar final : public QAccessibleWidget, public QAccessibleValueInterface {
public:
    explicit AccessibleSettingBar(ScrollBar* bar)
        : QAccessibleWidget(bar, QAccessible::ScrollBar) {}

    void* interface_cast(QAccessible::InterfaceType type) override {
        return type == QAccessible::ValueInterface ? static_cast<QAccessibleValueInterface*>(this)
                                                   : QAccessibleWidget::interface_cast(type);
    }
    QString text(QAccessible::Text kind) const override {
        return kind == QAccessible::Value ? toQt(SettingText(bar()->value(), stepsPerUnit()))
                                          : QAccessibleWidget::text(kind);
    }
    QVariant currentValue() const override { return setting(bar()->value()); }
    void setCurrentValue(const QVariant& value) override {
        bar()->setSliderPosition(qRound(value.toDouble() * stepsPerUnit()));
    }
    QVariant maximumValue() const override { return setting(bar()->maximum()); }
    QVariant minimumValue() const override { return setting(bar()->minimum()); }
    QVariant minimumStepSize() const override { return setting(bar()->singleStep()); }

    // Labelled by the caption it shares with its box, whose buddy that label is.
    QList<QPair<QAccessibleInterface*, QAccessible::Relation>>
    relations(QAccessible::Relation match) const override {
        auto related = QAccessibleWidget::relations(match);
        const std::string name = fromQt(bar()->objectName());
        if ((match & QAccessible::Label) && !name.empty()) {
            auto* caption = bar()->parentWidget()->findChild<QLabel*>(
                toQt(labelOf(controlNamed(name))), Qt::FindDirectChildrenOnly);
            related.append({QAccessible::queryAccessibleInterface(caption), QAccessible::Label});
        }
        return related;
    }

private:
    ScrollBar* bar() const { return static_cast<ScrollBar*>(widget()); }
    // Read when asked: the interface may be made before the bar has its name.
    int stepsPerUnit() const {
        const std::string name = fromQt(bar()->objectName());
        return name.empty() ? 1 : controlNamed(name).stepsPerUnit;
    }
    double setting(int steps) const { return static_cast<double>(steps) / stepsPerUnit(); }
};

QAccessibleInterface* accessibleInterfaceOf(const QString& /*className*/, QObject* object) {
    if (auto* form = dynamic_cast<FormWindow*>(object)) {
        return new QAccessibleWidget(form, QAccessible::Window);
    }
    if (auto* bar = dynamic_cast<ScrollBar*>(object)) {
        return new AccessibleSettingBar(bar);
    }
    if (auto* drives = dynamic_cast<DriveComboBox*>(object)) {
        return new AccessibleDriveList(drives);
    }
    if (auto* list = dynamic_cast<ListView*>(object)) {
        return new AccessibleList(list);
    }
    return nullptr;
}

} // namespace

void installAccessibility() {
    static const bool installed = [] {
        QAccessible::installFactory(accessibleInterfaceOf);
        return true;
    }();
    (void)installed;
}

} // namespace fendralwin
