#include "LogView.h"

#include "FlatScrollBar.h"

#include <QApplication>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QKeyEvent>
#include <QKeySequence>
#include <QMenu>
#include <QMouseEvent>
#include <QPainter>
#include <QResizeEvent>
#include <QScrollBar>
#include <QTextLayout>
#include <QtMath>

#include <algorithm>
#include <limits>
#include <stdexcept>

namespace quorvel::ui {

namespace {

// About 60 repaints a second: the display cannot show more, and each repaint costs far more
// than an appended line.
constexpr int kRepaintIntervalMs = 16;
constexpr int kTextMargin = 2;
// A count byte above this one says that the next byte holds the rest of the count.
constexpr unsigned char kLongBlankRun = 0xFF;
// Enough for every echo line of a terminal (two columns of 256 bytes) and a screenful of others.
constexpr qsizetype kShapedTextLimit = 1024;

} // namespace

void LogLines::Reserve(std::size_t extra) {
    // Grow by half instead of doubling: a million short lines then keep little slack.
    if (bytes_.size() + extra > bytes_.capacity())
        bytes_.reserve(std::max(bytes_.size() + extra, bytes_.capacity() + bytes_.capacity() / 2));
    if (offsets_.size() == offsets_.capacity())
        offsets_.reserve(std::max<std::size_t>(64, offsets_.capacity() + offsets_.capacity() / 2));
}

void LogLines::Append(std::string_view utf8) {
    std::size_t blanks = 0;
    while (blanks < utf8.size() && utf8[blanks] == ' ')
        ++blanks;
    const std::string_view rest = utf8.substr(blanks);
    const std::size_t extra = rest.size() + 1 + blanks / kLongBlankRun;
    if (bytes_.size() + extra > std::numeric_limits<std::uint32_t>::max())
        throw std::length_error("The log is full");
    Reserve(extra);
    offsets_.push_back(static_cast<std::uint32_t>(bytes_.size()));
    // Runs of 255 blanks and more are written as 0xFF bytes, each worth 255, then the remainder.
    for (std::size_t run = blanks;; run -= kLongBlankRun) {
        if (run < kLongBlankRun) {
            bytes_.push_back(static_cast<char>(run));
            break;
        }
        bytes_.push_back(static_cast<char>(kLongBlankRun));
    }
    bytes_.insert(bytes_.end(), rest.begin(), rest.end());
}

void LogLines::Clear() {
    // Give the memory back: a cleared terminal log may have held a whole image.
    std::vector<char>().swap(bytes_);
    std::vector<std::uint32_t>().swap(offsets_);
}

std::string LogLines::Utf8Line(std::size_t index) const {
    if (index >= offsets_.size()) return {};
    std::size_t position = offsets_[index];
    const std::size_t end = index + 1 < offsets_.size() ? offsets_[index + 1] : bytes_.size();
    std::size_t blanks = 0;
    while (static_cast<unsigned char>(bytes_[position]) == kLongBlankRun) {
        blanks += kLongBlankRun;
        ++position;
    }
    blanks += static_cast<unsigned char>(bytes_[position++]);
    std::string line(blanks, ' ');
    line.append(bytes_.data() + position, end - position);
    return line;
}

QString LogLines::Line(std::size_t index) const {
    return QString::fromStdString(Utf8Line(index));
}

std::size_t LogLines::MemoryBytes() const {
    return bytes_.capacity() + offsets_.capacity() * sizeof(std::uint32_t);
}

TLogView::TLogView(QWidget* parent) : QAbstractScrollArea(parent) {
    setVerticalScrollBar(new TFlatScrollBar(Qt::Vertical));
    setHorizontalScrollBar(new TFlatScrollBar(Qt::Horizontal));
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    setFocusPolicy(Qt::StrongFocus);
    viewport()->setCursor(Qt::IBeamCursor);
    viewport()->setBackgroundRole(QPalette::Base);
    repaintTimer_.setSingleShot(true);
    repaintTimer_.setInterval(kRepaintIntervalMs);
    connect(&repaintTimer_, &QTimer::timeout, this, &TLogView::FlushPending);
    connect(verticalScrollBar(), &QScrollBar::valueChanged, this, [this](int value) {
        followTail_ = value >= verticalScrollBar()->maximum();
        viewport()->update();
    });
}

void TLogView::AppendLine(const QString& line) {
    AppendUtf8Line(line.toStdString());
}

void TLogView::AppendUtf8Line(std::string_view utf8) {
    lines_.Append(utf8);
    MarkDirty();
}

void TLogView::Clear() {
    lines_.Clear();
    ForgetRows();
    anchor_ = cursor_ = -1;
    widestLine_ = 0;
    followTail_ = true;
    MarkDirty();
}

void TLogView::MarkDirty() {
    if (!repaintTimer_.isActive()) repaintTimer_.start();
}

void TLogView::FlushPending() {
    repaintTimer_.stop();
    UpdateScrollRange();
    viewport()->update();
}

int TLogView::RowHeight() const {
    return std::max(1, fontMetrics().height());
}

int TLogView::VisibleRows() const {
    return std::max(1, viewport()->height() / RowHeight());
}

void TLogView::UpdateScrollRange() {
    const bool follow = followTail_;
    QScrollBar* bar = verticalScrollBar();
    WrapPendingLines();
    bar->setRange(0, std::max(0, RowCount() - VisibleRows()));
    bar->setPageStep(VisibleRows());
    if (follow) bar->setValue(bar->maximum());
    followTail_ = follow;
    QScrollBar* across = horizontalScrollBar();
    const int overhang = wordWrap_ ? 0 : widestLine_ + 2 * kTextMargin - viewport()->width();
    across->setRange(0, std::max(0, overhang));
    across->setPageStep(viewport()->width());
}

void TLogView::paintEvent(QPaintEvent*) {
    QPainter painter(viewport());
    const int rowHeight = RowHeight();
    const int first = verticalScrollBar()->value();
    const int last = std::min(RowCount(), first + VisibleRows() + 1);
    const int selectionFirst = std::min(anchor_, cursor_);
    const int selectionLast = std::max(anchor_, cursor_);
    const int left = kTextMargin - horizontalScrollBar()->value();
    int widest = widestLine_;
    for (int row = first; row < last; ++row) {
        const QRect area(0, (row - first) * rowHeight, viewport()->width(), rowHeight);
        const int line = LineOfRow(row);
        const bool selected = HasSelection() && line >= selectionFirst && line <= selectionLast;
        if (selected) painter.fillRect(area, palette().highlight());
        painter.setPen(selected ? palette().highlightedText().color() : palette().text().color());
        const QStaticText& text = ShapedText(RowText(row));
        const int top = area.top() + (rowHeight - qCeil(text.size().height())) / 2;
        painter.drawStaticText(left, top, text);
        if (!wordWrap_) widest = std::max(widest, qCeil(text.size().width()));
    }
    // Widths are learnt as lines come into view, so appending never measures text.
    if (widest != widestLine_) {
        widestLine_ = widest;
        QTimer::singleShot(0, this, &TLogView::UpdateScrollRange);
    }
}

const QStaticText& TLogView::ShapedText(const QString& text) {
    if (const auto found = shapedTexts_.constFind(text); found != shapedTexts_.cend())
        return found.value();
    if (shapedTexts_.size() >= kShapedTextLimit) shapedTexts_.clear();
    QStaticText shaped(text);
    shaped.setTextFormat(Qt::PlainText);
    shaped.setPerformanceHint(QStaticText::AggressiveCaching);
    shaped.prepare(QTransform(), viewport()->font());
    return shapedTexts_.insert(text, shaped).value();
}

int TLogView::RowCount() const {
    return wordWrap_ ? static_cast<int>(rows_.size()) : LineCount();
}

int TLogView::LineOfRow(int row) const {
    if (!wordWrap_) return row;
    return row < static_cast<int>(rows_.size()) ? rows_[static_cast<std::size_t>(row)].line : -1;
}

QString TLogView::RowText(int row) const {
    if (!wordWrap_) return Line(row);
    const Row& part = rows_[static_cast<std::size_t>(row)];
    return Line(part.line).mid(part.start, part.length);
}

void TLogView::SetWordWrap(bool wrap) {
    wordWrap_ = wrap;
    setHorizontalScrollBarPolicy(wrap ? Qt::ScrollBarAlwaysOff : Qt::ScrollBarAsNeeded);
    ForgetRows();
    UpdateScrollRange();
}

void TLogView::ForgetRows() {
    rows_.clear();
    wrappedLines_ = 0;
}

void TLogView::WrapPendingLines() {
    if (!wordWrap_) return;
    const int width = std::max(1, viewport()->width() - 2 * kTextMargin);
    QTextOption option;
    option.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    for (; wrappedLines_ < LineCount(); ++wrappedLines_) {
        const QString text = Line(wrappedLines_);
        QTextLayout layout(text, font());
        layout.setTextOption(option);
        layout.beginLayout();
        bool any = false;
        for (QTextLine row = layout.createLine(); row.isValid(); row = layout.createLine()) {
            row.setLineWidth(width);
            rows_.push_back({wrappedLines_, row.textStart(), row.textLength()});
            any = true;
        }
        layout.endLayout();
        if (!any) rows_.push_back({wrappedLines_, 0, 0}); // an empty line still takes a row
    }
}

void TLogView::resizeEvent(QResizeEvent* event) {
    QAbstractScrollArea::resizeEvent(event);
    if (event->size().width() != event->oldSize().width()) ForgetRows();
    UpdateScrollRange();
}

int TLogView::LineAt(int y) const {
    const int row = verticalScrollBar()->value() + std::max(0, y) / RowHeight();
    const int line = LineOfRow(std::clamp(row, 0, std::max(0, RowCount() - 1)));
    return std::clamp(line, 0, std::max(0, LineCount() - 1));
}

void TLogView::SelectLines(int first, int last) {
    if (LineCount() == 0) return;
    anchor_ = std::clamp(first, 0, LineCount() - 1);
    cursor_ = std::clamp(last, 0, LineCount() - 1);
    viewport()->update();
}

void TLogView::SelectAll() {
    SelectLines(0, LineCount() - 1);
}

QString TLogView::SelectedText() const {
    if (!HasSelection()) return {};
    QStringList selected;
    for (int index = std::min(anchor_, cursor_); index <= std::max(anchor_, cursor_); ++index)
        selected << Line(index);
    return selected.join(QLatin1Char('\n'));
}

void TLogView::CopySelection() const {
    if (HasSelection()) QApplication::clipboard()->setText(SelectedText());
}

void TLogView::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton || LineCount() == 0) return;
    const int line = LineAt(event->position().toPoint().y());
    if ((event->modifiers() & Qt::ShiftModifier) && anchor_ >= 0)
        SelectLines(anchor_, line);
    else
        SelectLines(line, line);
}

void TLogView::mouseMoveEvent(QMouseEvent* event) {
    if (!(event->buttons() & Qt::LeftButton) || anchor_ < 0) return;
    const int y = event->position().toPoint().y();
    // Dragging past an edge scrolls, so a selection can reach lines out of view.
    if (y < 0) verticalScrollBar()->setValue(verticalScrollBar()->value() - 1);
    if (y > viewport()->height()) verticalScrollBar()->setValue(verticalScrollBar()->value() + 1);
    SelectLines(anchor_, LineAt(y));
}

void TLogView::mouseReleaseEvent(QMouseEvent* event) {
    event->accept();
}

void TLogView::keyPressEvent(QKeyEvent* event) {
    if (event->matches(QKeySequence::Copy)) {
        CopySelection();
    } else if (event->matches(QKeySequence::SelectAll)) {
        SelectAll();
    } else if (event->matches(QKeySequence::MoveToStartOfDocument)) {
        verticalScrollBar()->setValue(0);
    } else if (event->matches(QKeySequence::MoveToEndOfDocument)) {
        verticalScrollBar()->setValue(verticalScrollBar()->maximum());
    } else {
        // Arrows and page keys scroll as in any read-only text box.
        QAbstractScrollArea::keyPressEvent(event);
    }
}

void TLogView::contextMenuEvent(QContextMenuEvent* event) {
    QMenu menu(this);
    QAction* copy = menu.addAction(tr("&Copy"), this, &TLogView::CopySelection);
    copy->setEnabled(HasSelection());
    QAction* all = menu.addAction(tr("Select &All"), this, &TLogView::SelectAll);
    all->setEnabled(LineCount() > 0);
    menu.exec(event->globalPos());
}

void TLogView::changeEvent(QEvent* event) {
    QAbstractScrollArea::changeEvent(event);
    if (event->type() == QEvent::FontChange) {
        shapedTexts_.clear();
        widestLine_ = 0;
        ForgetRows();
        UpdateScrollRange();
    }
}

} // namespace quorvel::ui
