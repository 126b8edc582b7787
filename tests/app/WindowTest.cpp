// The window as it stands after creation and its first show.

#include "WindowFixture.h"

#include "ProgressBar.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QPainter>
#include <QRadioButton>

namespace quorvel::app::testing {
namespace {

TEST_F(WindowFixture, TitleCarriesTheVersionOfTheProgramFile) {
    Create();
    EXPECT_EQ(window->windowTitle(), "Vantora Bootloader v2.0.0.0");
}

TEST_F(WindowFixture, TitleWithoutVersionEndsInTheBareV) {
    TPelmora unversioned({}, folder.Path(QStringLiteral("no-such-program")));
    EXPECT_EQ(unversioned.windowTitle(), "Vantora Bootloader v");
}

TEST_F(WindowFixture, ControlsStartWithTheirCaptionsAndStates) {
    Create();
    Show();
    const std::pair<QAbstractButton*, const char*> buttons[] = {
        {window->ButtonSetupPort, "Change Settings"},
        {window->ButtonConnect, "Connect"},
        {window->ButtonOpenHex, "Browse      for HEX"},
        {window->ButtonStartBootloader, "Begin uploading"},
        {window->AdvGlowButton1, "Show Activity"},
    };
    for (const auto& [button, caption] : buttons) {
        EXPECT_EQ(button->text(), caption);
        EXPECT_TRUE(button->isEnabled()) << caption;
    }
    EXPECT_EQ(window->StatusText(), ": No files opened.");
    EXPECT_EQ(window->MemoHistoryWindow->LineCount(), 0);
    EXPECT_EQ(window->MemoTerminalWindow->LineCount(), 0);
    EXPECT_EQ(window->ProgressBar1->Min(), 0);
    EXPECT_EQ(window->ProgressBar1->Position(), 0);
    EXPECT_FALSE(window->MCUComboBox->isEnabled());
    EXPECT_EQ(window->MCUComboBox->count(), 1);
    EXPECT_EQ(window->MCUComboBox->currentText(), "<P align=\"center\">PIC18</P>");
    EXPECT_FALSE(window->RadioGroupPICFamily->isVisibleTo(window.get()));
    EXPECT_EQ(window->PICFamilyChoices->checkedButton()->text(), "P18");
    EXPECT_EQ(window->McuFamily(), image::McuFamily::P18);
    EXPECT_FALSE(window->CheckBoxClose->isVisibleTo(window.get()));
    EXPECT_EQ(window->CheckBoxClose->text(), "Close when finished");
    EXPECT_EQ(window->Timer1->interval(), 15);
    EXPECT_FALSE(window->Timer1->isActive());
    EXPECT_TRUE(window->acceptDrops());
    EXPECT_FALSE(window->AdvReflectionLabel1->isVisibleTo(window.get()));
    EXPECT_FALSE(window->ConnectedOn->isVisibleTo(window.get()));
    EXPECT_TRUE(window->ConnectedOff->isVisibleTo(window.get()));
    EXPECT_EQ(window->ConnectedOff->toolTip(), "Connected");
    EXPECT_EQ(window->RxOff->toolTip(), "Received Data");
    EXPECT_EQ(window->TxOff->toolTip(), "Transmitted Data");
}

// Created narrow: the activity panel lies beyond the right edge until it is slid open. Both
// widths are outer widths, so they hold whatever frame the platform draws.
TEST_F(WindowFixture, StartsNarrowWithTheActivityPanelOutOfView) {
    Create();
    Show();
    const int frame = window->frameGeometry().width() - window->width();
    EXPECT_EQ(window->FullWidth(), 682 + frame);
    EXPECT_EQ(window->OuterWidth(), 354 + 129 + 6);
    EXPECT_EQ(window->width(), 354 + 129 + 6 - frame);
    EXPECT_EQ(window->height(), 357);
    EXPECT_GE(window->AdvGroupBox2->x(), window->width());
    EXPECT_EQ(window->StatusBar1->geometry(), QRect(0, 338, window->width(), 19));
}

struct PlacedControl {
    const char* name;
    QRect geometry;
};

TEST_F(WindowFixture, ControlsSitWhereTheLayoutPutsThem) {
    Create();
    const PlacedControl placed[] = {
        {"AdvPanel1", {0, 0, 684, 339}},
        {"AdvGroupBox4", {0, 65, 312, 39}},
        {"AdvGroupBox5", {-1, 117, 217, 39}},
        {"AdvGroupBox6", {-1, 170, 217, 39}},
        {"AdvGroupBox7", {-1, 224, 217, 39}},
        {"AdvGroupBox8", {-1, 280, 497, 45}},
        {"AdvGroupBox9", {256, 19, 227, 30}},
        {"AdvGroupBox3", {354, 66, 129, 39}},
        {"AdvGroupBox1", {232, 117, 251, 147}},
        {"AdvGroupBox2", {495, 11, 177, 314}},
        {"Panel1", {399, 35, 155, 98}},
        {"ButtonSetupPort", {219, 5, 82, 30}},
        {"JvLabel6", {166, 6, 34, 13}},
        {"JvLabel7", {156, 21, 44, 13}},
        {"ButtonConnect", {126, 5, 81, 30}},
        {"ButtonOpenHex", {126, 5, 81, 30}},
        {"ButtonStartBootloader", {126, 5, 81, 30}},
        {"ProgressBar1", {111, 12, 266, 22}},
        {"AdvGlowButton1", {390, 12, 83, 22}},
        {"MCUComboBox", {80, 5, 136, 22}},
        {"MemoHistoryWindow", {0, 21, 240, 126}},
        {"MemoTerminalWindow", {12, 23, 153, 281}},
        {"JvLabel1", {336, 66, 17, 41}},
        {"ConnectedOff", {22, 20, 13, 14}},
        {"RxOn", {59, 20, 13, 13}},
        {"TxOff", {96, 20, 13, 14}},
        {"JvLabel4", {13, 12, 221, 39}},
    };
    for (const auto& [name, geometry] : placed) {
        auto* control = window->findChild<QWidget*>(QLatin1String(name));
        ASSERT_NE(control, nullptr) << name;
        EXPECT_EQ(control->geometry(), geometry) << name;
    }
    EXPECT_EQ(window->StatusBar1->PanelWidth(), 544);
}

// The panel is drawn by the window: the text in the bar's colour, two pixels in, four down.
TEST_F(WindowFixture, StatusPanelIsDrawnWithTheBarsColourAndFace) {
    Create();
    Show();
    QImage picture(window->StatusBar1->size(), QImage::Format_RGB32);
    picture.fill(Qt::white);
    window->StatusBar1->render(&picture);
    const QColor grey(0x80, 0x80, 0x80);
    EXPECT_EQ(window->StatusBar1->CanvasFontColor(), grey);
    EXPECT_EQ(window->StatusBar1->CanvasFont().family(), window->StatusBar1->font().family());
    // Some pixel of the text is drawn in the bar's grey, none left of the text's start.
    bool textSeen = false;
    for (int y = 0; y < picture.height(); ++y) {
        for (int x = 0; x < picture.width(); ++x) {
            const bool isText = QColor(picture.pixel(x, y)).value() < 0xB0;
            if (isText && x < 3 && y > 1 && y < picture.height() - 2)
                ADD_FAILURE() << x << "," << y;
            textSeen = textSeen || isText;
        }
    }
    EXPECT_TRUE(textSeen);
}

} // namespace
} // namespace quorvel::app::testing
