// The real Qt window: the behaviour scenarios, the layout of the control table, and what only
// Qt's widgets do.
#include "BehaviourSuite.h"
#include "QtDriver.h"
#include "app/view/qt/QtMessageBoxes.h"
#include "app/view/qt/SimpleControls.h"

#include <QAbstractButton>
#include <QAccessible>
#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QScrollBar>
#include <QTimer>

namespace fendralwin::test {
namespace {

class QtBehaviour : public BehaviourTest {
    std::unique_ptr<BehaviourDriver> makeDriver(const std::string& startFolder) override {
        return std::make_unique<QtDriver>(false, startFolder);
    }
};

TEST_P(QtBehaviour, Holds) {
    runScenario();
}
INSTANTIATE_TEST_SUITE_P(Qt, QtBehaviour, testing::ValuesIn(behaviourScenarios()), scenarioName);

// Also run with QT_SCALE_FACTOR=2: every control keeps its place in a window twice as dense.
TEST(QtWindow, IsLaidOutAsTheControlTableSaysAt96Dpi) {
    QtDriver window;
    ASSERT_EQ(window.dpi(), 96);
    checkLayoutAgainstTheTable(window);
    FormWindow& form = window.frontEnd->window();
    const qreal ratio = qEnvironmentVariable("QT_SCALE_FACTOR", "1").toDouble();
    EXPECT_EQ(form.devicePixelRatioF(), ratio);
    EXPECT_EQ(form.grab().size(), QSize(385, 446) * ratio);
    EXPECT_EQ(form.windowIcon().availableSizes(), (QList<QSize>{{16, 16}, {32, 32}}));
}

TEST(QtWindow, EveryCaptionFitsOneLineOfItsLabelAndIsNeverReadAsMarkup) {
    QtDriver window;
    for (const ControlLayout& layout : controlTable()) {
        if (auto* label = window.widget<QLabel>(std::string(layout.name))) {
            EXPECT_EQ(label->textFormat(), Qt::PlainText) << layout.name;
            if (layout.style == LabelStyle::Standard) {
                const QFontMetrics metrics(label->font());
                EXPECT_LE(metrics.horizontalAdvance(label->text()), label->width()) << layout.name;
                EXPECT_LE(metrics.height(), 13) << layout.name;
            }
        }
    }
}

TEST(QtWindow, MessageBoxesShowPlainTextWithALoneCarriageReturnAsALineBreak) {
    QtDriver window;
    std::vector<std::pair<QMessageBox::Icon, QString>> seen;
    QTimer closer;
    QObject::connect(&closer, &QTimer::timeout, [&] {
        if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
            EXPECT_EQ(box->textFormat(), Qt::PlainText);
            seen.emplace_back(box->icon(), box->text());
            box->button(QMessageBox::Ok)->click();
        }
    });
    closer.start(5);
    QtMessageBoxes boxes(&window.frontEnd->window());
    boxes.show(MessageKind::Warning, "Output File Error", "first\rsecond");
    boxes.show(MessageKind::Critical, "Fendral Error", "a\r\nb");
    boxes.show(MessageKind::Plain, "FendralWin", "<b>c.tif");
    EXPECT_EQ(seen, (std::vector<std::pair<QMessageBox::Icon, QString>>{
                        {QMessageBox::Warning, "first\nsecond"},
                        {QMessageBox::Critical, "a\r\nb"},
                        {QMessageBox::NoIcon, "<b>c.tif"}}));
}

TEST(QtWindow, AScreenReaderHearsEveryControlByNameAndEachSettingAsItIs) {
    QtDriver window;
    window.clickFile("scan1.tif");
    window.dragSlider("hscrlRadius", 15);
    QAccessibleInterface* form = QAccessible::queryAccessibleInterface(&window.frontEnd->window());
    ASSERT_NE(form, nullptr);
    EXPECT_EQ(form->role(), QAccessible::Window);
    std::size_t heard = 0;
    for (int i = 0; i < form->childCount(); ++i) {
        QAccessibleInterface* control = form->child(i);
        const std::string name = control->object()->objectName().toStdString();
        const ControlLayout& layout = controlNamed(name);
        const std::string expected = layout.kind == ControlKind::Label
                                         ? window.text(name) // read as what it shows
                                         : std::string(accessibleName(layout));
        EXPECT_EQ(control->text(QAccessible::Name).toStdString(), expected) << name;
        EXPECT_FALSE(expected.empty()) << name;
        if (layout.kind == ControlKind::HScrollBar) {
            EXPECT_EQ(control->text(QAccessible::Value).toStdString(),
                      window.text(name == "hscrlRadius" ? "txtRadius" : "txtMaxDiff"));
            EXPECT_EQ(control->valueInterface()->maximumValue().toDouble(),
                      layout.maximum / layout.stepsPerUnit);
        }
        heard += 1;
    }
    EXPECT_EQ(heard, controlTable().size());
    // A value set by a screen reader is a setting the user chose.
    QAccessible::queryAccessibleInterface(window.widget("hscrlMaxDiff"))
        ->valueInterface()
        ->setCurrentValue(25);
    EXPECT_EQ(window.text("txtMaxDiff"), "25");
    EXPECT_EQ(accessibleName(controlNamed("txtRadius")), "Radius:");
    EXPECT_EQ(accessibleName(controlNamed("Label1")), "Input File:");
}

TEST(QtWindow, ALongPathShowsItsStartAndItsFileNameAndAllOfItAsTheTip) {
    QtDriver window;
    auto* label = window.widget<Label>("lblInputFile");
    const std::string caption =
        "Input File: /" + std::string(200, 'd') + "/" + std::string(190, 'e') + "/scan1.tif";
    label->setCaption(caption);
    const QString shown = label->shownText();
    EXPECT_TRUE(shown.startsWith("Input File: /ddd")) << shown.toStdString();
    EXPECT_TRUE(shown.endsWith("\u2026/scan1.tif")) << shown.toStdString();
    EXPECT_LE(label->fontMetrics().horizontalAdvance(shown), label->contentsRect().width());
    EXPECT_EQ(window.text("lblInputFile"), caption);
    EXPECT_EQ(label->toolTip().toStdString(), caption);
}

TEST(QtWindow, ReturnAndKeypadEnterPressAFocusedButtonAndNoOtherKeyDoes) {
    QtDriver window;
    QWidget* exit = window.widget("cmdExit");
    exit->setFocus();
    QTest::keyClick(exit, Qt::Key_A);
    EXPECT_TRUE(window.isOpen());
    QTest::keyClick(exit, Qt::Key_Enter, Qt::KeypadModifier);
    EXPECT_FALSE(window.isOpen());
}

// Tab, the arrow keys, Return and typing are enough for a whole job.
TEST(QtWindow, AWholeJobCanBeDoneWithTheKeyboardAlone) {
    QtDriver window;
    const auto key = [](Qt::Key pressed, int times = 1) {
        for (int i = 0; i < times; ++i) {
            QTest::keyClick(QApplication::focusWidget(), pressed);
        }
    };
    ASSERT_EQ(window.focus(), "drvIn");
    key(Qt::Key_Tab);
    key(Qt::Key_Down); // from the open folder to its first subfolder, Images
    key(Qt::Key_Return);
    key(Qt::Key_Tab);
    key(Qt::Key_Down, 2); // b.tif, then photo.tif
    key(Qt::Key_Tab, 3);
    ASSERT_EQ(window.focus(), "txtOutputFile");
    QTest::keyClicks(QApplication::focusWidget(), "out.tif");
    key(Qt::Key_Tab, 5);
    ASSERT_EQ(window.focus(), "cmdRunFendral");
    key(Qt::Key_Return);
    EXPECT_EQ(window.messages(), std::vector<ShownMessage>{});
    ASSERT_EQ(window.startedScripts().size(), 1U);
    EXPECT_NE(window.startedScripts()[0].find(window.path("Images/photo.tif")), std::string::npos);
}

} // namespace
} // namespace fendralwin::test
