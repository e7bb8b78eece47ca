#include "app/view/qt/Accessibility.h"

#include "app/SettingText.h"
#include "app/view/ControlTable.h"
#include "app/view/qt/DriveComboBox.h"
#include "app/view/qt/FormWindow.h"
#include "app/view/qt/QtText.h"
#include "app/view/qt/SimpleControls.h"

#include <QAccessibleWidget>

namespace fendralwin {

namespace {

// Qt names a drop-down list by the item it shows; here it is named as the other lists are.
class AccessibleDriveList final : public QAccessibleWidget {
public:
    explicit AccessibleDriveList(QComboBox* list)
        : QAccessibleWidget(list, QAccessible::ComboBox) {}

    QString text(QAccessible::Text kind) const override {
        switch (kind) {
        case QAccessible::Name:
            return widget()->accessibleName();
        case QAccessible::Value:
            return static_cast<const QComboBox*>(widget())->currentText();
        default:
            return QAccessibleWidget::text(kind);
        }
    }
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
