#include "Pelmora.h"

#include "FileVersion.h"
#include "TOpenDialog.h"

#include "ErrorReport.h"
#include "LogView.h"
#include "StatusBar.h"
#include "StyledControls.h"

#include <QDragEnterEvent>
#include <QDropEvent>
#include <QMimeData>
#include <QMoveEvent>
#include <QPainter>
#include <QResizeEvent>
#include <QShowEvent>

namespace quorvel::app {

TPelmora::TPelmora(const QStringList& arguments, const QString& programFile, QWidget* parent)
    : QWidget(parent, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                          Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                          Qt::WindowCloseButtonHint),
      arguments_(arguments), programFile_(programFile) {
    BuildControls();
    connect(ButtonOpenHex, &QPushButton::clicked, this,
            [this] { ui::Guarded([this] { ButtonOpenHexClick(); }); });
    ConnectActivityPanel();
    ui::Guarded([this] { FormCreate(); });
}

TPelmora::~TPelmora() = default;

void TPelmora::FormCreate() {
    setAcceptDrops(true);
    NarrowAtCreation();
    setWindowTitle(QStringLiteral("Vantora Bootloader"));
    RadioGroupPICFamily->setVisible(false);
    MCUComboBox->clear();
    MCUComboBox->addItem(QStringLiteral("<P align=\"center\">PIC18</P>"));
    MCUComboBox->setCurrentIndex(0);
    PICFamilyChoices->button(static_cast<int>(image::McuFamily::P18))->setChecked(true);
    setWindowTitle(windowTitle() + QStringLiteral(" v") + FileVersionText(programFile_));
    CommandLineIntake();
}

void TPelmora::FormShow() {
    StoredFileIntake();
    RecolourBoxes();
    // The stored-port check follows here once the window has its serial port.
}

void TPelmora::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    AdoptFrame();
    if (shown_ || event->spontaneous()) return;
    shown_ = true;
    // The stored settings are restored here, just before FormShow, once they exist.
    ui::Guarded([this] { FormShow(); });
}

void TPelmora::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    AdoptFrame();
    FitStatusBar();
}

void TPelmora::moveEvent(QMoveEvent* event) {
    QWidget::moveEvent(event);
    AdoptFrame();
}

void TPelmora::FitStatusBar() {
    StatusBar1->setGeometry(0, StatusBar1->y(), width(), StatusBar1->height());
}

void TPelmora::AppendHistory(const QString& line) {
    MemoHistoryWindow->AppendLine(line);
}

QString TPelmora::StatusText() const {
    return StatusBar1->PanelText();
}

image::McuFamily TPelmora::McuFamily() const {
    const int chosen = PICFamilyChoices->checkedId();
    if (chosen < 0 || chosen > static_cast<int>(image::McuFamily::DsPic))
        return image::McuFamily::P18;
    return static_cast<image::McuFamily>(chosen);
}

void TPelmora::StatusBar1DrawPanel(ui::TStatusBar& bar, QPainter& painter, const QRect& rect) {
    bar.CanvasFontColor() = bar.FontColor();
    bar.CanvasFont().setFamily(bar.font().family());
    painter.setFont(bar.CanvasFont());
    painter.setPen(bar.CanvasFontColor());
    painter.fillRect(rect, painter.brush());
    if (painter.brush().style() != Qt::NoBrush) {
        painter.setBackgroundMode(Qt::OpaqueMode);
        painter.setBackground(painter.brush());
    }
    painter.setClipRect(rect);
    painter.drawText(QRect(rect.left() + 2, rect.top() + 4, rect.width(), rect.height()),
                     Qt::AlignLeft | Qt::AlignTop | Qt::TextSingleLine, bar.PanelText());
}

void TPelmora::dragEnterEvent(QDragEnterEvent* event) {
    if (UploadRunning == 0 && event->mimeData()->hasUrls()) event->acceptProposedAction();
}

void TPelmora::dropEvent(QDropEvent* event) {
    // A drop during an upload is refused: it must not change the image being sent.
    if (UploadRunning != 0 || !event->mimeData()->hasUrls()) {
        event->ignore();
        return;
    }
    event->acceptProposedAction();
    // The intake runs after the drop is finished, so a box it shows never keeps the file
    // manager waiting for the drop's end.
    const QList<QUrl> urls = event->mimeData()->urls();
    QTimer::singleShot(0, this, [this, urls] { ui::Guarded([&] { HandleFileDrop(urls); }); });
}

} // namespace quorvel::app
