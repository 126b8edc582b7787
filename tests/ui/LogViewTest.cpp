#include "LogView.h"

#include <QApplication>
#include <QClipboard>
#include <QImage>
#include <QScrollBar>
#include <QTest>

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <utility>

namespace quorvel::ui {
namespace {

TEST(LogLines, GiveBackEveryLineAsAppended) {
    const std::string lines[] = {
        "",
        "Opened: /home/user/blink.hex",
        "                     yy: 3F",
        "         xx: 00",
        std::string(254, ' ') + "254 blanks",
        std::string(255, ' ') + "255 blanks",
        std::string(600, ' '),
        "trailing blanks   ",
        "Gr\xc3\xb6\xc3\x9f"
        "e \xe2\x82\xac",
        "\t tab first",
    };
    LogLines log;
    for (const auto& line : lines)
        log.Append(line);
    ASSERT_EQ(log.Count(), std::size(lines));
    for (std::size_t i = 0; i < std::size(lines); ++i)
        EXPECT_EQ(log.Utf8Line(i), lines[i]) << "line " << i;
    EXPECT_EQ(log.Line(8), QString::fromUtf8("Gr\u00f6\u00dfe \u20ac"));
    EXPECT_EQ(log.Utf8Line(std::size(lines)), "") << "past the end";
}

TEST(LogLines, ClearingGivesTheMemoryBack) {
    LogLines log;
    for (int i = 0; i < 100000; ++i)
        log.Append("                     yy: 3F");
    EXPECT_GT(log.MemoryBytes(), 100000u);
    log.Clear();
    EXPECT_EQ(log.Count(), 0u);
    EXPECT_EQ(log.MemoryBytes(), 0u);
    log.Append("again");
    EXPECT_EQ(log.Utf8Line(0), "again");
}

class LogViewTest : public ::testing::Test {
protected:
    void SetUp() override {
        view.resize(150, 120);
        view.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&view));
    }

    void AppendNumbered(int count) {
        for (int i = 0; i < count; ++i)
            view.AppendLine(QStringLiteral("line %1").arg(i));
    }

    int RowY(int row) const { return row * view.fontMetrics().height() + 2; }

    TLogView view;
};

TEST_F(LogViewTest, FollowsTheNewestLineUnlessTheUserScrolledAway) {
    AppendNumbered(1000);
    view.FlushPending();
    QScrollBar* bar = view.verticalScrollBar();
    EXPECT_GT(bar->maximum(), 900);
    EXPECT_EQ(bar->value(), bar->maximum());

    bar->setValue(10);
    AppendNumbered(100);
    view.FlushPending();
    EXPECT_EQ(bar->value(), 10) << "reading older lines is not interrupted";
    EXPECT_GT(bar->maximum(), 1000);
}

TEST_F(LogViewTest, ShowsAppendedLinesWithoutBeingAskedTo) {
    AppendNumbered(500);
    // The coalescing timer brings the scroll range up to date by itself.
    EXPECT_TRUE(QTest::qWaitFor([&] { return view.verticalScrollBar()->maximum() > 400; }));
}

TEST_F(LogViewTest, CopiesTheLinesTheUserSelectedWithTheMouse) {
    AppendNumbered(3);
    view.FlushPending();
    QWidget* rows = view.viewport();
    QTest::mouseClick(rows, Qt::LeftButton, Qt::NoModifier, QPoint(10, RowY(0)));
    QTest::mouseClick(rows, Qt::LeftButton, Qt::ShiftModifier, QPoint(10, RowY(1)));
    QTest::keyClick(&view, Qt::Key_C, Qt::ControlModifier);
    EXPECT_EQ(QApplication::clipboard()->text(), "line 0\nline 1");

    QTest::keyClick(&view, Qt::Key_A, Qt::ControlModifier);
    EXPECT_EQ(view.SelectedText(), "line 0\nline 1\nline 2");
}

TEST_F(LogViewTest, ClearingEmptiesTheViewAndItsSelection) {
    AppendNumbered(50);
    view.SelectAll();
    view.Clear();
    view.FlushPending();
    EXPECT_EQ(view.LineCount(), 0);
    EXPECT_EQ(view.SelectedText(), QString());
    EXPECT_EQ(view.verticalScrollBar()->maximum(), 0);
    // A click on an empty log selects nothing and copies nothing.
    QApplication::clipboard()->setText(QStringLiteral("kept"));
    QTest::mouseClick(view.viewport(), Qt::LeftButton, Qt::NoModifier, QPoint(10, RowY(0)));
    QTest::keyClick(&view, Qt::Key_C, Qt::ControlModifier);
    EXPECT_EQ(QApplication::clipboard()->text(), "kept");
}

TEST_F(LogViewTest, IsReadOnly) {
    AppendNumbered(2);
    QTest::keyClicks(&view, QStringLiteral("typed"));
    QTest::keyClick(&view, Qt::Key_Backspace);
    EXPECT_EQ(view.LineCount(), 2);
    EXPECT_EQ(view.Line(1), "line 1");
}

TEST_F(LogViewTest, WrapsLongLinesOntoRowsThatCopyAsOneLine) {
    view.SetWordWrap(true);
    const QString path =
        QStringLiteral("Opened: /home/user/projects/firmware/releases/2026/board-rev-c/blink.hex");
    view.AppendLine(QStringLiteral("short"));
    view.AppendLine(path);
    view.AppendLine(QString());
    view.FlushPending();
    const int wrappedRows = view.RowCount();
    EXPECT_GT(wrappedRows, 4) << "the path needs several rows at this width";
    EXPECT_EQ(view.horizontalScrollBar()->maximum(), 0);

    // A click on any row of the long line selects the whole line.
    QTest::mouseClick(view.viewport(), Qt::LeftButton, Qt::NoModifier, QPoint(10, RowY(2)));
    EXPECT_EQ(view.SelectedText(), path);

    view.resize(600, 120);
    QCoreApplication::processEvents();
    view.FlushPending();
    EXPECT_EQ(view.RowCount(), 3) << "rows follow the width";
}

// Rows share their laid-out text when they read alike; each is still drawn in its own colours.
TEST_F(LogViewTest, PaintsEachRowInTheColoursOfItsState) {
    for (const char* line : {"         xx: 00", "                     yy: 3F", "         xx: 00"})
        view.AppendLine(QString::fromLatin1(line));
    view.FlushPending();
    view.SelectLines(2, 2);
    const QImage rows = view.viewport()->grab().toImage();
    const int rowHeight = view.fontMetrics().height();
    // The lightness of the darkest and of the lightest pixel of a row.
    auto lightnessRange = [&](int row) {
        std::pair<int, int> range{255, 0};
        for (int y = row * rowHeight; y < (row + 1) * rowHeight; ++y)
            for (int x = 0; x < rows.width(); ++x) {
                const int lightness = rows.pixelColor(x, y).lightness();
                range = {std::min(range.first, lightness), std::max(range.second, lightness)};
            }
        return range;
    };
    EXPECT_LT(lightnessRange(0).first, 100) << "dark text on the base colour";
    EXPECT_GT(lightnessRange(2).first, view.palette().highlight().color().lightness() - 20)
        << "no dark text on the selection";
    EXPECT_GT(lightnessRange(2).second, 230) << "light text on the selection";
}

TEST_F(LogViewTest, MeasuresLinesAfreshWhenTheFontChanges) {
    view.AppendLine(QStringLiteral("Opened: /home/user/projects/firmware/blink.hex"));
    view.FlushPending();
    view.viewport()->repaint();
    QCoreApplication::processEvents();
    const int before = view.horizontalScrollBar()->maximum();
    ASSERT_GT(before, 0) << "the line is wider than the view";

    QFont larger = view.font();
    larger.setPointSizeF(larger.pointSizeF() * 2);
    view.setFont(larger);
    view.viewport()->repaint();
    QCoreApplication::processEvents();
    EXPECT_GT(view.horizontalScrollBar()->maximum(), before + view.viewport()->width() / 2);
}

} // namespace
} // namespace quorvel::ui
