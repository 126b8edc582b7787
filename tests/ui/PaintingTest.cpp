// What the styled controls paint: controls that paint from a picture of their last painting
// show every change at once, and the plainly drawn scroll bar and progress bar put their parts
// where the user can click them.

#include "FlatScrollBar.h"
#include "ProgressBar.h"
#include "StyledControls.h"

#include <QApplication>
#include <QImage>
#include <QTest>

#include <gtest/gtest.h>

#include <functional>
#include <memory>

namespace quorvel::ui {
namespace {

QImage Picture(QWidget& widget) {
    return widget.grab().toImage().convertToFormat(QImage::Format_RGB32);
}

void SetTextColour(QWidget& widget, const QColor& colour) {
    QPalette palette = widget.palette();
    palette.setColor(QPalette::WindowText, colour);
    widget.setPalette(palette);
}

// A shown window holding the controls under test, as the main window holds them.
class PaintingTest : public ::testing::Test {
protected:
    void SetUp() override {
        host.resize(300, 200);
        host.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&host));
    }

    template <class Control, class... Arguments> Control& Make(Arguments&&... arguments) {
        auto* control = new Control(std::forward<Arguments>(arguments)..., &host);
        control->setGeometry(10, 10, 140, 40);
        control->show();
        return *control;
    }

    QWidget host;
};

struct Change {
    const char* name;
    std::function<void(QLabel&)> apply;
};

const Change kLabelChanges[] = {
    {"Text", [](QLabel& label) { label.setText(QStringLiteral("vboard0")); }},
    {"Colour", [](QLabel& label) { SetTextColour(label, QColor(0xFF, 0x00, 0x00)); }},
    {"Font", [](QLabel& label) { label.setFont(QFont(label.font().family(), 20, QFont::Bold)); }},
    {"Disabled", [](QLabel& label) { label.setEnabled(false); }},
    {"Alignment", [](QLabel& label) { label.setAlignment(Qt::AlignRight | Qt::AlignVCenter); }},
    {"Width", [](QLabel& label) { label.resize(60, label.height()); }},
    {"WordWrap",
     [](QLabel& label) {
         label.setText(QStringLiteral("Connect with MCU"));
         label.setWordWrap(true);
         label.resize(50, label.height());
     }},
    {"ParentsColour",
     [](QLabel& label) { SetTextColour(*label.parentWidget(), QColor(0x00, 0x00, 0xFF)); }},
    {"ParentsFont",
     [](QLabel& label) {
         QWidget& parent = *label.parentWidget();
         parent.setFont(QFont(QStringLiteral("DejaVu Serif"), 14));
     }},
};

class CachedLabelChange : public PaintingTest, public ::testing::WithParamInterface<Change> {};

// A label changed after it was painted looks exactly like a label that was made that way.
TEST_P(CachedLabelChange, ShowsAtOnce) {
    auto& painted = Make<TCachedLabel>(QStringLiteral("COM1"));
    const QImage before = Picture(painted);
    GetParam().apply(painted);
    const QImage after = Picture(painted);

    auto& fresh = Make<TCachedLabel>(QStringLiteral("COM1"));
    GetParam().apply(fresh);
    EXPECT_EQ(after, Picture(fresh));
    EXPECT_NE(after, before) << "the change shows";
}

INSTANTIATE_TEST_SUITE_P(Cases, CachedLabelChange, ::testing::ValuesIn(kLabelChanges),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(PaintingTest, FormattedLabelShowsNewMarkUp) {
    auto& label = Make<TFormattedLabel>(QStringLiteral("<b>Setup port</b>"));
    const QImage bold = Picture(label);
    label.setText(QStringLiteral("<b><font color=\"#FF0000\">Setup port</font></b>"));
    const QImage red = Picture(label);
    EXPECT_NE(red, bold);
    int reddish = 0;
    for (int y = 0; y < red.height(); ++y)
        for (int x = 0; x < red.width(); ++x)
            if (const QColor c = red.pixelColor(x, y); c.red() > 200 && c.green() < 80) ++reddish;
    EXPECT_GT(reddish, 10);
}

// The button's states each have a picture; going back shows the first one again.
TEST_F(PaintingTest, GlowButtonFollowsItsState) {
    auto& button = Make<TGlowButton>(QStringLiteral("Connect"));
    const QImage up = Picture(button);
    button.setDown(true);
    const QImage down = Picture(button);
    EXPECT_NE(down, up);
    button.setDown(false);
    EXPECT_EQ(Picture(button), up);
    button.setText(QStringLiteral("Disconnect"));
    EXPECT_NE(Picture(button), up);
    button.setText(QStringLiteral("Connect"));
    button.setEnabled(false);
    EXPECT_NE(Picture(button), up);
}

TEST_F(PaintingTest, ComboBoxShowsTheChosenEntry) {
    auto& combo = Make<TFormattedComboBox>();
    combo.addItem(QStringLiteral("<b>PIC18</b>"));
    combo.addItem(QStringLiteral("<b>dsPIC30</b>"));
    const QImage first = Picture(combo);
    combo.setCurrentIndex(1);
    const QImage second = Picture(combo);
    EXPECT_NE(second, first);
    combo.setCurrentIndex(0);
    EXPECT_EQ(Picture(combo), first);
}

class FlatScrollBarTest : public PaintingTest {
protected:
    void SetUp() override {
        PaintingTest::SetUp();
        bar = &Make<TFlatScrollBar>(Qt::Vertical);
        bar->setGeometry(10, 10, 16, 150);
        bar->setRange(0, 100);
        bar->setPageStep(20);
    }

    QRect Part(QStyle::SubControl control) const {
        QStyleOptionSlider option;
        option.initFrom(bar);
        option.orientation = bar->orientation();
        option.minimum = bar->minimum();
        option.maximum = bar->maximum();
        option.sliderPosition = bar->sliderPosition();
        option.sliderValue = bar->value();
        option.pageStep = bar->pageStep();
        option.singleStep = bar->singleStep();
        option.subControls = QStyle::SC_All;
        return bar->style()->subControlRect(QStyle::CC_ScrollBar, &option, control, bar);
    }

    QColor ColourAt(QPoint point) { return Picture(*bar).pixelColor(point); }

    TFlatScrollBar* bar = nullptr;
};

// The thumb is drawn where the style takes clicks for it, and darkens while it is dragged.
TEST_F(FlatScrollBarTest, ThumbIsWhereTheMouseFindsIt) {
    const QPoint thumb = Part(QStyle::SC_ScrollBarSlider).center();
    EXPECT_EQ(ColourAt(thumb), TFlatScrollBar::kThumb);
    QTest::mousePress(bar, Qt::LeftButton, Qt::NoModifier, thumb);
    EXPECT_TRUE(bar->isSliderDown());
    EXPECT_EQ(ColourAt(thumb), TFlatScrollBar::kThumbDragged);
    QTest::mouseMove(bar, thumb + QPoint(0, 40));
    QTest::mouseRelease(bar, Qt::LeftButton, Qt::NoModifier, thumb + QPoint(0, 40));
    EXPECT_GT(bar->value(), 0) << "dragging the thumb scrolls";
    const QPoint moved = Part(QStyle::SC_ScrollBarSlider).center();
    EXPECT_GT(moved.y(), thumb.y());
    EXPECT_NE(ColourAt(moved), TFlatScrollBar::kThumbDragged) << "released";
}

TEST_F(FlatScrollBarTest, ArrowsStepAndShowWhetherTheyCan) {
    const QRect down = Part(QStyle::SC_ScrollBarAddLine);
    ASSERT_FALSE(down.isEmpty());
    QTest::mouseClick(bar, Qt::LeftButton, Qt::NoModifier, down.center());
    EXPECT_EQ(bar->value(), bar->singleStep());

    auto arrowPixels = [&](const QColor& colour) {
        const QImage picture = Picture(*bar);
        int count = 0;
        for (int y = down.top(); y <= down.bottom(); ++y)
            for (int x = down.left(); x <= down.right(); ++x)
                count += picture.pixelColor(x, y) == colour;
        return count;
    };
    EXPECT_GT(arrowPixels(TFlatScrollBar::kArrow), 0);
    bar->setRange(0, 0); // an empty log: nothing to scroll
    EXPECT_EQ(arrowPixels(TFlatScrollBar::kArrow), 0);
    EXPECT_GT(arrowPixels(TFlatScrollBar::kArrowDisabled), 0);
    EXPECT_EQ(ColourAt(QPoint(bar->width() / 2, bar->height() / 2)), TFlatScrollBar::kTrack)
        << "no thumb";
}

struct FillCase {
    int position;
    double filledShare;
};

class ProgressFill : public PaintingTest, public ::testing::WithParamInterface<FillCase> {};

// The bar fills its share of the groove; the last column is filled only at the maximum.
TEST_P(ProgressFill, FillsItsShare) {
    auto& bar = Make<TProgressBar>();
    bar.setGeometry(10, 10, 202, 22); // a groove of 200 pixels inside a 1-pixel border
    bar.SetMax(441);
    bar.SetPosition(GetParam().position);
    const QImage picture = Picture(bar);
    const int filled = static_cast<int>(200 * GetParam().filledShare);
    const int y = 11;
    EXPECT_EQ(picture.pixelColor(0, y), TProgressBar::kBorder);
    if (filled > 0) {
        EXPECT_EQ(picture.pixelColor(filled, y), TProgressBar::kChunk);
    }
    if (filled < 200) {
        EXPECT_EQ(picture.pixelColor(filled + 1, y), TProgressBar::kGroove);
    }
}

INSTANTIATE_TEST_SUITE_P(Positions, ProgressFill,
                         ::testing::Values(FillCase{0, 0.0}, FillCase{7, 7.0 / 441},
                                           FillCase{221, 221.0 / 441}, FillCase{440, 440.0 / 441},
                                           FillCase{441, 1.0}));

} // namespace
} // namespace quorvel::ui
