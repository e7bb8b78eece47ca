// The real Qt window: the behaviour scenarios, the layout of the control table, and what only
// Qt's widgets do.
#include "BehaviourSuite.h"
#include "QtDriver.h"
#include "app/view/qt/QtMessageBoxes.h"

#include <QAbstractButton>
#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QMessageBox>
#include <QScrollBar>
#include <QTimer>

namespace fendralwin::test {
namespace {

class QtBehaviour : public BehaviourTest {
    std::unique_ptr<BehaviourDriver> makeDriver() override { return std::make_unique<QtDriver>(); }
};

TEST_P(QtBehaviour, Holds) {
    runScenario();
}
INSTANTIATE_TEST_SUITE_P(Qt, QtBehaviour, testing::ValuesIn(behaviourScenarios()), scenarioName);

TEST(QtWindow, IsLaidOutAsTheControlTableSaysAt96Dpi) {
    QtDriver window;
    ASSERT_EQ(window.dpi(), 96);
    checkLayoutAgainstTheTable(window);
    EXPECT_EQ(window.frontEnd->window().windowIcon().availableSizes(),
              (QList<QSize>{{16, 16}, {32, 32}}));
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

TEST(QtWindow, ADraggedRadiusIsWrittenWithAPointUnderAGermanLocale) {
    QtDriver window;
    const QLocale before;
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    window.dragSlider("hscrlRadius", 15);
    QLocale::setDefault(before);
    EXPECT_EQ(window.text("txtRadius"), "1.5");
}

TEST(QtWindow, MessageBoxesShowALoneCarriageReturnAsALineBreak) {
    QtDriver window;
    std::vector<std::pair<QMessageBox::Icon, QString>> seen;
    QTimer closer;
    QObject::connect(&closer, &QTimer::timeout, [&] {
        if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
            seen.emplace_back(box->icon(), box->text());
            box->button(QMessageBox::Ok)->click();
        }
    });
    closer.start(5);
    QtMessageBoxes boxes(&window.frontEnd->window());
    boxes.show(MessageKind::Warning, "Output File Error", "first\rsecond");
    boxes.show(MessageKind::Critical, "Fendral Error", "a\r\nb");
    boxes.show(MessageKind::Plain, "FendralWin", "c");
    EXPECT_EQ(seen, (std::vector<std::pair<QMessageBox::Icon, QString>>{
                        {QMessageBox::Warning, "first\nsecond"},
                        {QMessageBox::Critical, "a\r\nb"},
                        {QMessageBox::NoIcon, "c"}}));
}

} // namespace
} // namespace fendralwin::test
