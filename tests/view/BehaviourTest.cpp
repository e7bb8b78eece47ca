#include "FrontEndFixture.h"

#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QPushButton>
#include <QScrollBar>
#include <QStyleOptionSlider>
#include <QTest>

namespace fendralwin::test {
namespace {

class Behaviour : public FrontEndTest {
protected:
    void showActive() {
        frontEnd->show();
        QApplication::setActiveWindow(&frontEnd->window());
        ASSERT_TRUE(QTest::qWaitForWindowActive(&frontEnd->window()));
    }
    QString focused() const {
        const QWidget* widget = QApplication::focusWidget();
        return widget ? widget->objectName() : QString();
    }
    // Drags the slider of a bar with the mouse to about `fraction` of its track.
    void dragSlider(QScrollBar* bar, double fraction) {
        QStyleOptionSlider option;
        option.initFrom(bar);
        option.orientation = bar->orientation();
        option.minimum = bar->minimum();
        option.maximum = bar->maximum();
        option.sliderPosition = bar->sliderPosition();
        option.sliderValue = bar->value();
        option.pageStep = bar->pageStep();
        option.singleStep = bar->singleStep();
        const QRect handle = bar->style()->subControlRect(QStyle::CC_ScrollBar, &option,
                                                          QStyle::SC_ScrollBarSlider, bar);
        const QRect groove = bar->style()->subControlRect(QStyle::CC_ScrollBar, &option,
                                                          QStyle::SC_ScrollBarGroove, bar);
        const QPoint start = handle.center();
        const int targetX = groove.left() + static_cast<int>(fraction * groove.width());
        QTest::mousePress(bar, Qt::LeftButton, {}, start);
        for (int step = 1; step <= 8; ++step) {
            const int x = start.x() + (targetX - start.x()) * step / 8;
            QMouseEvent move(QEvent::MouseMove, QPointF(x, start.y()),
                             bar->mapToGlobal(QPointF(x, start.y())), Qt::NoButton, Qt::LeftButton,
                             Qt::NoModifier);
            QApplication::sendEvent(bar, &move);
        }
        QTest::mouseRelease(bar, Qt::LeftButton, {}, QPoint(targetX, start.y()));
    }
};

TEST_F(Behaviour, StartsWithTheFocusOnTheInputDriveAndNoInputChosen) {
    showActive();
    EXPECT_EQ(focused(), "drvIn");
    EXPECT_EQ(caption("lblInputFile"), "Input File:");
    EXPECT_EQ(caption("lblOutputFile"), "Output File:");
}

TEST_F(Behaviour, TabCyclesThroughTheControlsAndSkipsADisabledRunButton) {
    showActive();
    const QStringList cycle{"drvIn",     "dirIn",         "filIn",        "drvOut",
                            "dirOut",    "txtOutputFile", "hscrlMaxDiff", "hscrlRadius",
                            "txtRadius", "txtMaxDiff",    "cmdExit",      "drvIn"};
    for (qsizetype i = 1; i < cycle.size(); ++i) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        EXPECT_EQ(focused(), cycle[i]) << "after " << cycle[i - 1].toStdString();
    }
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Backtab);
    EXPECT_EQ(focused(), "cmdExit");

    control<QPushButton>("cmdRunFendral")->setEnabled(true);
    control<QLineEdit>("txtMaxDiff")->setFocus();
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    EXPECT_EQ(focused(), "cmdRunFendral");
}

TEST_F(Behaviour, OnlyADragOfTheSliderWritesTheBarValueIntoTheBox) {
    showActive();
    auto* radius = control<QScrollBar>("hscrlRadius");
    auto* radiusBox = control<QLineEdit>("txtRadius");

    radius->triggerAction(QAbstractSlider::SliderSingleStepAdd); // arrow button
    radius->triggerAction(QAbstractSlider::SliderPageStepAdd);   // click in the track
    radius->setFocus();
    QTest::keyClick(radius, Qt::Key_Right);
    EXPECT_EQ(radius->value(), 22);
    QTest::keyClick(radius, Qt::Key_Left);
    QTest::keyClick(radius, Qt::Key_Left);
    EXPECT_EQ(radius->value(), 20);
    EXPECT_EQ(radiusBox->text(), "1");

    dragSlider(radius, 1.0);
    EXPECT_EQ(radius->value(), 100);
    EXPECT_EQ(radiusBox->text(), "10");

    auto* maxDiff = control<QScrollBar>("hscrlMaxDiff");
    dragSlider(maxDiff, 1.0);
    EXPECT_EQ(control<QLineEdit>("txtMaxDiff")->text(), "50");
    EXPECT_TRUE(boxes.seen.empty());
}

TEST_F(Behaviour, ADraggedRadiusIsWrittenWithAPointUnderAGermanLocale) {
    const QLocale before;
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    auto* radius = control<QScrollBar>("hscrlRadius");
    radius->setSliderDown(true);
    radius->setSliderPosition(15);
    radius->setSliderDown(false);
    QLocale::setDefault(before);
    EXPECT_EQ(control<QLineEdit>("txtRadius")->text(), "1.5");
}

TEST_F(Behaviour, ARefusedCharacterGivesOneMessageAndEmptiesAndFocusesTheBox) {
    showActive();
    auto* box = control<QLineEdit>("txtMaxDiff");
    QString heldWhileShown;
    boxes.whileShown = [&] {
        heldWhileShown = box->text();
    };
    box->setFocus();
    box->end(false);
    QTest::keyClicks(box, "a");

    ASSERT_EQ(boxes.seen.size(), 1U);
    EXPECT_EQ(boxes.seen[0].icon, QMessageBox::NoIcon);
    EXPECT_EQ(boxes.seen[0].title, "FendralWin");
    EXPECT_EQ(boxes.seen[0].text, "Only numeric values are valid for the MaxDiff setting.");
    EXPECT_EQ(heldWhileShown, "10a");
    EXPECT_EQ(box->text(), "");
    // The window gets the keyboard back once the message has gone; its focus is in the box.
    EXPECT_EQ(frontEnd->window().focusWidget(), box);
}

TEST_F(Behaviour, CaptionsAreShownAsTheyStandNeverAsMarkup) {
    control<QLineEdit>("txtOutputFile")->setText("<b>bold</b> &amp;.tif");
    EXPECT_EQ(caption("lblOutputFile"),
              "Output File: " + QString::fromStdString(programFolder.path().string()) +
                  "/<b>bold</b> &amp;.tif");
    for (const QLabel* label : frontEnd->window().findChildren<QLabel*>()) {
        EXPECT_EQ(label->textFormat(), Qt::PlainText) << label->objectName().toStdString();
    }
}

TEST_F(Behaviour, TheExitButtonClosesTheWindow) {
    showActive();
    QTest::mouseClick(control<QPushButton>("cmdExit"), Qt::LeftButton);
    EXPECT_FALSE(frontEnd->window().isVisible());
}

TEST_F(Behaviour, MessageBoxesShowALoneCarriageReturnAsALineBreak) {
    QtMessageBoxes messageBoxes(&frontEnd->window());
    messageBoxes.show(MessageKind::Warning, "Output File Error", "first\rsecond");
    messageBoxes.show(MessageKind::Critical, "Fendral Error", "a\r\nb");
    ASSERT_EQ(boxes.seen.size(), 2U);
    EXPECT_EQ(boxes.seen[0].icon, QMessageBox::Warning);
    EXPECT_EQ(boxes.seen[0].text, "first\nsecond");
    EXPECT_EQ(boxes.seen[1].icon, QMessageBox::Critical);
    EXPECT_EQ(boxes.seen[1].text, "a\r\nb");
}

} // namespace
} // namespace fendralwin::test
