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

// The screen reader's own view, through the bus, is ScreenReaderTest's; a setting's value as text
// ("1.5") does not travel on it.
TEST(QtWindow, AScreenReaderReadsEachSettingAsTheBoxShowsIt) {
    QtDriver window;
    window.dragSlider("hscrlRadius", 15);
    QAccessibleInterface* radius =
        QAccessible::queryAccessibleInterface(window.widget("hscrlRadius"));
    EXPECT_EQ(radius->text(QAccessible::Value).toStdString(), "1.5");
    EXPECT_EQ(radius->valueInterface()->minimumStepSize().toDouble(), 0.1);
    // A drive list owns the list it drops down, and only that.
    QAccessibleInterface* drives = QAccessible::queryAccessibleInterface(window.widget("drvIn"));
    EXPECT_EQ(drives->indexOfChild(drives->child(0)), 0);
    EXPECT_EQ(drives->indexOfChild(radius), -1);
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
