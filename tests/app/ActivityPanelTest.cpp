// The sliding activity panel, driven tick by tick through the timer's handler: the widths it
// passes, the caption, the flag and the progress strip's colour, with a frame and without.

#include "WindowFixture.h"

#include <QMoveEvent>
#include <QTest>

#include <vector>

namespace quorvel::app::testing {
namespace {

const QColor kStripClosed(0xFA, 0xFA, 0xFA);
const QColor kStripOpen(0xDC, 0xDC, 0xDC);

// The real window on a desktop whose frame adds `frame` pixels to the width.
class FramedWindow : public TPelmora {
public:
    explicit FramedWindow(int frame)
        : TPelmora({}, QCoreApplication::applicationFilePath()), frame_(frame) {}
    // A window manager that frames the window only after it was mapped.
    void SetFrame(int frame) {
        frame_ = frame;
        QMoveEvent moved(pos(), pos());
        QApplication::sendEvent(this, &moved);
    }

protected:
    int FrameWidth() const override { return frame_; }

private:
    int frame_;
};

struct SlideCase {
    const char* name;
    int frame;
    std::vector<int> opening; // outer width after each tick, last tick at FullWidth
    std::vector<int> closing;
};

const SlideCase kSlideCases[] = {
    {"NoFrame",
     0,
     {509, 529, 549, 569, 589, 609, 629, 649, 669, 682},
     {662, 642, 622, 602, 582, 562, 542, 522, 502, 489}},
    {"ThreePixelFrame",
     6,
     {509, 529, 549, 569, 589, 609, 629, 649, 669, 688},
     {668, 648, 628, 608, 588, 568, 548, 528, 508, 489}},
};

class ActivityPanel : public ::testing::TestWithParam<SlideCase> {
protected:
    void SetUp() override {
        window = std::make_unique<FramedWindow>(GetParam().frame);
        window->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(window.get()));
    }

    void Click() { window->AdvGlowButton1->click(); }

    // Runs ticks while the timer is armed, as the event loop would, at most `limit` of them.
    std::vector<int> Ticks(int limit = 100) {
        std::vector<int> widths;
        while (window->Timer1->isActive() && limit-- > 0) {
            window->Timer1Timer();
            widths.push_back(window->OuterWidth());
            EXPECT_EQ(window->StatusBar1->width(), window->width()) << "status bar lags";
        }
        return widths;
    }

    void ExpectState(const char* caption, bool shown, const QColor& strip) {
        EXPECT_EQ(window->AdvGlowButton1->text(), caption);
        EXPECT_EQ(window->ActivityShown(), shown);
        EXPECT_EQ(window->AdvGroupBox8->Color(), strip);
    }

    std::unique_ptr<FramedWindow> window;
};

TEST_P(ActivityPanel, StartsClosedAtTheCollapsedWidth) {
    EXPECT_EQ(window->OuterWidth(), 489);
    EXPECT_EQ(window->FullWidth(), 682 + GetParam().frame);
    EXPECT_FALSE(window->Timer1->isActive());
    ExpectState("Show Activity", false, kStripClosed);
    EXPECT_GE(window->AdvGroupBox2->x(), window->width());
}

TEST_P(ActivityPanel, OpensAndClosesInTenTicksEndingExactly) {
    Click();
    ExpectState("Hide Activity", true, kStripOpen);
    EXPECT_EQ(window->Timer1->interval(), 15);
    EXPECT_EQ(Ticks(), GetParam().opening);
    EXPECT_FALSE(window->Timer1->isActive());
    ExpectState("Hide Activity", true, kStripOpen);
    EXPECT_EQ(window->width(), 682);
    EXPECT_LE(window->AdvGroupBox2->geometry().right(), window->width());

    Click();
    ExpectState("Show Activity", false, kStripOpen);
    // The strip keeps the open colour on every tick but the last.
    std::vector<int> widths;
    for (int tick = 0; tick + 1 < static_cast<int>(GetParam().closing.size()); ++tick) {
        window->Timer1Timer();
        widths.push_back(window->OuterWidth());
        EXPECT_EQ(window->AdvGroupBox8->Color(), kStripOpen) << "tick " << tick + 1;
    }
    for (int width : Ticks())
        widths.push_back(width);
    EXPECT_EQ(widths, GetParam().closing);
    ExpectState("Show Activity", false, kStripClosed);
    EXPECT_FALSE(window->Timer1->isActive());
}

TEST_P(ActivityPanel, ClickWhileOpeningReversesFromTheWidthReached) {
    Click();
    for (int tick = 0; tick < 4; ++tick)
        window->Timer1Timer();
    EXPECT_EQ(window->OuterWidth(), 569);
    Click();
    ExpectState("Show Activity", false, kStripOpen);
    EXPECT_TRUE(window->Timer1->isActive());
    EXPECT_EQ(Ticks(), (std::vector<int>{549, 529, 509, 489}));
    ExpectState("Show Activity", false, kStripClosed);
}

TEST_P(ActivityPanel, ClickWhileClosingReversesAndEndsAtFullWidth) {
    Click();
    Ticks();
    Click();
    for (int tick = 0; tick < 3; ++tick)
        window->Timer1Timer();
    const int reached = window->OuterWidth();
    Click();
    ExpectState("Hide Activity", true, kStripOpen);
    const std::vector<int> widths = Ticks();
    ASSERT_FALSE(widths.empty());
    EXPECT_EQ(widths.front(), reached + 20);
    EXPECT_EQ(widths.back(), window->FullWidth());
}

TEST_P(ActivityPanel, TwoClicksBeforeTheFirstTickEndWhereItStarted) {
    Click();
    Click();
    ExpectState("Show Activity", false, kStripOpen);
    EXPECT_EQ(Ticks(), std::vector<int>{489});
    ExpectState("Show Activity", false, kStripClosed);
}

// The real timer drives the slide too; nothing here measures how long it takes.
TEST_P(ActivityPanel, TheTimerSlidesThePanelOpenOnItsOwn) {
    Click();
    EXPECT_TRUE(QTest::qWaitFor([&] { return !window->Timer1->isActive(); }, 10000));
    EXPECT_EQ(window->OuterWidth(), window->FullWidth());
}

// The desktop frames the window late: the closed window keeps its outer width and the open
// state grows by the frame, so the panel still ends fully in view.
TEST_P(ActivityPanel, AFrameThatArrivesLateWidensOnlyTheOpenState) {
    window->SetFrame(GetParam().frame + 8);
    EXPECT_EQ(window->OuterWidth(), 489);
    EXPECT_EQ(window->FullWidth(), 682 + GetParam().frame + 8);
    Click();
    EXPECT_EQ(Ticks().back(), window->FullWidth());
    EXPECT_EQ(window->width(), 682);
}

INSTANTIATE_TEST_SUITE_P(Frames, ActivityPanel, ::testing::ValuesIn(kSlideCases),
                         [](const auto& info) { return std::string(info.param.name); });

} // namespace
} // namespace quorvel::app::testing
