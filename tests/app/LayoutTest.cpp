// The window's look once shown: the colours every box shows, texts that fit their controls,
// the faces asked for, the fixed frame and the tab order.

#include "WindowFixture.h"

#include <QFontInfo>
#include <QFontMetrics>
#include <QTextDocument>

#include <map>

namespace quorvel::app::testing {
namespace {

const QColor kBox(0xFA, 0xFA, 0xFA);
const QColor kGrey(0xDC, 0xDC, 0xDC);
const QColor kPanel(0xED, 0xED, 0xED);

class Layout : public WindowFixture {
protected:
    void SetUp() override {
        Create();
        Show();
    }

    void OpenPanel() {
        window->AdvGlowButton1->click();
        while (window->Timer1->isActive())
            window->Timer1Timer();
    }

    // Every pixel whose topmost control is one of the nine boxes (not a control inside it)
    // must show that box's colour: a border or the panel showing through fails.
    void ExpectBoxColours(const std::map<QWidget*, QColor>& expected) {
        const QImage picture = window->grab().toImage();
        std::map<QWidget*, int> seen;
        int panelPixels = 0;
        for (int y = 0; y < window->StatusBar1->y(); ++y) {
            for (int x = 0; x < window->width(); ++x) {
                QWidget* owner = window->childAt(x, y);
                const QColor pixel(picture.pixel(x, y));
                if (owner == window->AdvPanel1) {
                    ++panelPixels;
                    continue;
                }
                const auto box = expected.find(owner);
                if (box == expected.end()) continue;
                if (seen[owner]++ < 3 && pixel != box->second)
                    ADD_FAILURE() << owner->objectName().toStdString() << " at " << x << "," << y
                                  << " shows " << pixel.name().toStdString();
            }
        }
        for (const auto& [box, colour] : expected)
            EXPECT_GT(seen[box], 100) << box->objectName().toStdString() << " is not in view";
        EXPECT_GT(panelPixels, 0);
    }

    std::map<QWidget*, QColor> ClosedColours() const {
        return {{window->AdvGroupBox1, kBox}, {window->AdvGroupBox3, kBox},
                {window->AdvGroupBox4, kBox}, {window->AdvGroupBox5, kBox},
                {window->AdvGroupBox6, kBox}, {window->AdvGroupBox7, kBox},
                {window->AdvGroupBox8, kBox}, {window->AdvGroupBox9, kBox}};
    }
};

TEST_F(Layout, ClosedBoxesAreOpaqueBorderlessAndLight) {
    ExpectBoxColours(ClosedColours());
    EXPECT_FALSE(window->Panel1->isVisible());
}

TEST_F(Layout, OpenPanelShowsTheTerminalBoxAndTheStripGrey) {
    OpenPanel();
    auto colours = ClosedColours();
    colours[window->AdvGroupBox8] = kGrey;
    colours[window->AdvGroupBox2] = kGrey;
    ExpectBoxColours(colours);
}

TEST_F(Layout, PanelIsFlatGreyUnderTheHeader) {
    const QImage picture = window->grab().toImage();
    EXPECT_EQ(QColor(picture.pixel(2, 2)), kPanel);
    EXPECT_EQ(window->AdvPanel1->palette().color(QPalette::Window), kPanel);
}

// What the user sees of a text is all of it: nothing runs past its control's edges.
TEST_F(Layout, EveryTextFitsItsControl) {
    OpenPanel();
    for (auto* label : window->findChildren<QLabel*>()) {
        if (!label->isVisibleTo(window.get()) || label->text().isEmpty()) continue;
        const std::string name = label->objectName().toStdString();
        if (label->textFormat() == Qt::RichText) {
            QTextDocument document;
            document.setDefaultFont(label->font());
            document.setDocumentMargin(0);
            document.setHtml(label->text());
            document.setTextWidth(label->width());
            EXPECT_LE(document.idealWidth(), label->width()) << name;
            EXPECT_LE(document.size().height(), label->height() + 1) << name;
        } else {
            const QFontMetrics metrics(label->font());
            EXPECT_LE(metrics.horizontalAdvance(label->text()), label->width()) << name;
            EXPECT_LE(metrics.ascent() + metrics.descent(), label->height() + 1) << name;
        }
    }
    for (auto* button : window->findChildren<QPushButton*>()) {
        const QFontMetrics metrics(button->font());
        // Inside the button's two-pixel edge.
        const QRect inside = button->rect().adjusted(2, 2, -2, -2);
        const QRect text =
            metrics.boundingRect(inside, Qt::AlignCenter | Qt::TextWordWrap, button->text());
        const std::string name = button->objectName().toStdString();
        EXPECT_LE(text.width(), inside.width()) << name;
        EXPECT_LE(text.height(), inside.height()) << name;
    }
    for (const char* caption : {"Show Activity", "Hide Activity"})
        EXPECT_LE(window->AdvGlowButton1->fontMetrics().horizontalAdvance(QLatin1String(caption)),
                  window->AdvGlowButton1->width() - 6);
}

struct FaceCase {
    const char* control;
    const char* family;
    int pixels;
};

// Each control asks for its face first and gets one of the stand-ins when the face is missing.
TEST_F(Layout, ControlsAskForTheirFacesAndGetOneOfThem) {
    const FaceCase faces[] = {
        {"Pelmora", "Tahoma", 11},     {"AdvPanel1", "Verdana", 11},
        {"JvLabel4", "Impact", 32},    {"JvLabel6", "Tahoma", 11},
        {"JvLabel2", "Verdana", 12},   {"JvLabel3", "Tahoma", 12},
        {"StatusBar1", "Tahoma", 11},  {"MemoHistoryWindow", "Tahoma", 11},
        {"MCUComboBox", "Tahoma", 11}, {"JvLabel5", "Tahoma", 11},
    };
    for (const auto& [control, family, pixels] : faces) {
        QWidget* widget = window->objectName() == QLatin1String(control)
                              ? window.get()
                              : window->findChild<QWidget*>(QLatin1String(control));
        ASSERT_NE(widget, nullptr) << control;
        const QFont font = widget->font();
        const QStringList asked = ui::FacesFor(QLatin1String(family), font.bold());
        EXPECT_TRUE(font.families().contains(QLatin1String(family))) << control;
        EXPECT_EQ(font.families(), asked) << control;
        EXPECT_EQ(font.pixelSize(), pixels) << control;
        EXPECT_TRUE(asked.contains(QFontInfo(font).family()))
            << control << " got " << QFontInfo(font).family().toStdString();
    }
}

TEST_F(Layout, WindowIsFixedWithoutMaximiseButton) {
    EXPECT_EQ(window->height(), 357);
    EXPECT_EQ(window->minimumSize(), window->maximumSize());
    EXPECT_FALSE(window->windowFlags() & Qt::WindowMaximizeButtonHint);
    EXPECT_TRUE(window->windowFlags() & Qt::WindowMinimizeButtonHint);
    EXPECT_TRUE(window->windowFlags() & Qt::WindowSystemMenuHint);
    OpenPanel();
    EXPECT_EQ(window->minimumSize(), window->maximumSize());
    EXPECT_EQ(window->width(), 682);
}

// Tab runs through Panel1, then AdvGroupBox1 to AdvGroupBox9, each box's controls together.
TEST_F(Layout, TabOrderFollowsTheBoxes) {
    std::map<QWidget*, int> boxIndex = {{window->Panel1, 0}};
    const ui::TGroupBox* boxes[] = {
        window->AdvGroupBox1, window->AdvGroupBox2, window->AdvGroupBox3,
        window->AdvGroupBox4, window->AdvGroupBox5, window->AdvGroupBox6,
        window->AdvGroupBox7, window->AdvGroupBox8, window->AdvGroupBox9};
    for (int index = 0; index < 9; ++index)
        boxIndex[const_cast<ui::TGroupBox*>(boxes[index])] = index + 1;
    const auto indexOf = [&](QWidget* control) {
        for (QWidget* up = control; up; up = up->parentWidget())
            if (boxIndex.count(up)) return boxIndex[up];
        return -1;
    };
    std::vector<QString> order;
    int last = -1;
    // The chain is a ring; it is read once round from the first control of Panel1.
    QWidget* first = window->CheckBoxClose;
    for (QWidget* next = first; order.empty() || next != first; next = next->nextInFocusChain()) {
        if (!(next->focusPolicy() & Qt::TabFocus)) continue;
        const int index = indexOf(next);
        if (index < 0) continue;
        EXPECT_GE(index, last) << next->objectName().toStdString();
        last = index;
        order.push_back(next->objectName());
    }
    const QString expected[] = {"MemoHistoryWindow", "MemoTerminalWindow", "ButtonSetupPort",
                                "ButtonConnect",     "ButtonOpenHex",      "ButtonStartBootloader",
                                "AdvGlowButton1",    "MCUComboBox"};
    auto from = order.begin();
    for (const QString& name : expected) {
        from = std::find(from, order.end(), name);
        EXPECT_NE(from, order.end()) << name.toStdString() << " out of order";
    }
}

TEST_F(Layout, StepBoxesReadRightToLeft) {
    for (QWidget* step :
         std::initializer_list<QWidget*>{window->AdvGroupBox4, window->AdvGroupBox5,
                                         window->AdvGroupBox6, window->AdvGroupBox7})
        for (QWidget* control : step->findChildren<QWidget*>())
            EXPECT_EQ(control->layoutDirection(), Qt::RightToLeft)
                << control->objectName().toStdString();
    EXPECT_EQ(window->AdvGroupBox1->layoutDirection(), Qt::LeftToRight);
}

} // namespace
} // namespace quorvel::app::testing
