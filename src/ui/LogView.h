#pragma once
// A read-only log of text lines that stays cheap with millions of lines: the lines live in one
// byte buffer with an offset per line, only the visible rows are painted, and appending never
// lays out or paints by itself. The view repaints at most about 60 times a second, so a caller
// that appends and processes events in a tight loop pays for the append alone.

#include <QAbstractScrollArea>
#include <QHash>
#include <QStaticText>
#include <QString>
#include <QTimer>

#include <cstdint>
#include <string_view>
#include <vector>

namespace quorvel::ui {

// The lines of a log, stored compactly. Each line is kept as the count of its leading blanks
// followed by the rest of its UTF-8 text; the terminal's echo lines are mostly blanks.
class LogLines {
public:
    void Append(std::string_view utf8);
    void Clear();
    std::size_t Count() const { return offsets_.size(); }
    QString Line(std::size_t index) const;
    std::string Utf8Line(std::size_t index) const;
    // Bytes held for the lines, slack of the buffers included.
    std::size_t MemoryBytes() const;

private:
    void Reserve(std::size_t extra);

    std::vector<char> bytes_;
    std::vector<std::uint32_t> offsets_; // start of each line in bytes_
};

class TLogView : public QAbstractScrollArea {
    Q_OBJECT
public:
    explicit TLogView(QWidget* parent = nullptr);

    void AppendLine(const QString& line);
    void AppendUtf8Line(std::string_view utf8);
    void Clear();

    int LineCount() const { return static_cast<int>(lines_.Count()); }
    QString Line(int index) const { return lines_.Line(static_cast<std::size_t>(index)); }
    const LogLines& Lines() const { return lines_; }

    // Selection works on whole lines; first and last may come in either order.
    void SelectLines(int first, int last);
    void SelectAll();
    QString SelectedText() const;
    void CopySelection() const;

    // Applies pending appends to the scroll range and paints now instead of at the next tick.
    void FlushPending();

    // Long lines wrap onto further rows instead of running off to the right. Meant for logs
    // of few lines: wrapping lays out each line once, when it is first shown.
    void SetWordWrap(bool wrap);
    bool WordWrap() const { return wordWrap_; }
    int RowCount() const;

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    void MarkDirty();
    void UpdateScrollRange();
    int RowHeight() const;
    int VisibleRows() const;
    int LineAt(int y) const;
    int LineOfRow(int row) const;
    QString RowText(int row) const;
    const QStaticText& ShapedText(const QString& text);
    void WrapPendingLines();
    void ForgetRows();
    bool HasSelection() const { return anchor_ >= 0 && LineCount() > 0; }

    LogLines lines_;
    QTimer repaintTimer_;
    bool followTail_ = true;
    int anchor_ = -1; // the line where the selection began, -1 when none
    int cursor_ = -1; // the line where it ends
    int widestLine_ = 0;
    // Rows laid out once and drawn from then on: shaping costs far more than drawing, and a
    // terminal's echo lines repeat. Dropped whole when full and when the font changes.
    QHash<QString, QStaticText> shapedTexts_;

    // Rows of a wrapping log: which line each shows and which part of it.
    struct Row {
        int line;
        int start;
        int length;
    };
    bool wordWrap_ = false;
    std::vector<Row> rows_;
    int wrappedLines_ = 0; // lines [0, wrappedLines_) have their rows
};

} // namespace quorvel::ui
