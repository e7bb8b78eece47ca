#include "DesignedPixels.h"
#include "FrontEndFixture.h"
#include "app/view/ControlTable.h"

#include <QFontInfo>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollBar>

namespace fendralwin::test {
namespace {

class Layout : public FrontEndTest {};

TEST_F(Layout, EveryControlStandsAtItsPlaceAt96Dpi) {
    FormWindow& window = frontEnd->window();
    ASSERT_EQ(window.logicalDpiX(), 96) << "the geometry below is stated at 96 DPI";
    EXPECT_EQ(window.size(), QSize(kClientWidthAt96Dpi, kClientHeightAt96Dpi));
    EXPECT_EQ(window.minimumSize(), window.maximumSize());
    EXPECT_EQ(window.windowTitle(), "FendralWin");
    EXPECT_EQ(window.objectName(), "frmFendralWrapper");

    for (const PixelPlace& place : kDesignedPixelsAt96Dpi) {
        EXPECT_EQ(control<QWidget>(place.name)->geometry(),
                  QRect(place.left, place.top, place.width, place.height))
            << place.name;
    }
    // The lowest controls end 4 pixels above the bottom, the right column 6 before the edge.
    EXPECT_EQ(window.height() - control<QWidget>("cmdExit")->geometry().bottom() - 1, 4);
    EXPECT_EQ(window.width() - control<QWidget>("drvOut")->geometry().right() - 1, 6);
}

TEST_F(Layout, CaptionsAndTextsAreExactlyAsDesigned) {
    const std::vector<std::pair<const char*, QString>> labels{
        {"Label1", " Input File:"},
        {"lblOutput", " Output File:"},
        {"Label2", "Type In Output File Name (*.TIF)"},
        {"lblSelInDrive", "Select Input File Drive:"},
        {"lblSelInDir", "Select Input File Directroy:"},
        {"lblSelInFile", "Select Input File:"},
        {"lblInputFile", "Input File:"},
        {"lblOutputFile", "Output File:"},
        {"lblOutDrv", "Select Output File Drive:"},
        {"lblSelOutDir", "Select Output File Directory:"},
        {"lblRadius", "Radius:"},
        {"lblMaxDiff", "MaxDiff:"},
    };
    for (const auto& [name, text] : labels) {
        EXPECT_EQ(caption(name), text) << name;
    }
    EXPECT_EQ(control<QPushButton>("cmdRunFendral")->text(), "Run Fendral");
    EXPECT_EQ(control<QPushButton>("cmdExit")->text(), "Exit");
    EXPECT_EQ(control<QLineEdit>("txtOutputFile")->text(), "");
    EXPECT_EQ(control<QLineEdit>("txtOutputFile")->toolTip(),
              "Select an output file below or type in a file name");
    EXPECT_EQ(control<QLineEdit>("txtRadius")->text(), "1");
    EXPECT_EQ(control<QLineEdit>("txtMaxDiff")->text(), "10");
}

TEST_F(Layout, ButtonsAndScrollBarsStartAsDesigned) {
    EXPECT_FALSE(control<QPushButton>("cmdRunFendral")->isEnabled());
    EXPECT_TRUE(control<QPushButton>("cmdExit")->isEnabled());
    for (const auto& [name, maximum] : {std::pair{"hscrlRadius", 100}, {"hscrlMaxDiff", 50}}) {
        const auto* bar = control<QScrollBar>(name);
        EXPECT_EQ(bar->minimum(), 0) << name;
        EXPECT_EQ(bar->maximum(), maximum) << name;
        EXPECT_EQ(bar->value(), 10) << name;
        EXPECT_EQ(bar->singleStep(), 1) << name;
        EXPECT_EQ(bar->pageStep(), 10) << name;
    }
}

TEST_F(Layout, HeadingAndPathLabelsCarryTheirFontsAndColours) {
    for (const char* name : {"Label1", "lblOutput"}) {
        const auto* label = control<QLabel>(name);
        EXPECT_EQ(label->font().family(), "Arial") << name;
        EXPECT_DOUBLE_EQ(label->font().pointSizeF(), 14.25) << name;
        EXPECT_TRUE(label->font().italic()) << name;
        EXPECT_EQ(label->font().weight(), QFont::Normal) << name;
        EXPECT_TRUE(label->autoFillBackground()) << name;
        EXPECT_EQ(label->palette().color(QPalette::Window), QColor(0, 0, 255)) << name;
        EXPECT_EQ(label->palette().color(QPalette::WindowText), QColor(255, 255, 255)) << name;
    }
    for (const char* name : {"lblInputFile", "lblOutputFile"}) {
        const auto* label = control<QLabel>(name);
        EXPECT_EQ(label->font().family(), "Tahoma") << name;
        EXPECT_DOUBLE_EQ(label->font().pointSizeF(), 6.75) << name;
        EXPECT_FALSE(label->font().italic()) << name;
    }
    for (const ControlLayout& layout : controlTable()) {
        if (layout.kind == ControlKind::Label) {
            const auto* label = control<QLabel>(layout.name.data());
            EXPECT_TRUE(label->wordWrap()) << layout.name;
            EXPECT_EQ(label->alignment(), Qt::AlignLeft | Qt::AlignTop) << layout.name;
            EXPECT_EQ(label->focusPolicy(), Qt::NoFocus) << layout.name;
        }
    }
}

TEST_F(Layout, EveryStandardCaptionFitsOnOneLineOfItsLabel) {
    for (const ControlLayout& layout : controlTable()) {
        if (layout.kind == ControlKind::Label && layout.style == LabelStyle::Standard) {
            const auto* label = control<QLabel>(layout.name.data());
            const QFontMetrics metrics(label->font());
            EXPECT_LE(metrics.horizontalAdvance(label->text()), label->width()) << layout.name;
            EXPECT_LE(metrics.height(), 13) << layout.name;
        }
    }
}

TEST_F(Layout, TheWindowHasItsIconAtBothSizes) {
    const QIcon icon = frontEnd->window().windowIcon();
    EXPECT_EQ(icon.availableSizes(), (QList<QSize>{{16, 16}, {32, 32}}));
}

} // namespace
} // namespace fendralwin::test
