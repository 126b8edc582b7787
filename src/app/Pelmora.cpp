#include "Pelmora.h"

#include "ActivityPanel.h"
#include "FileVersion.h"
#include "PelmoraLinkPort.h"
#include "PelmoraLinkView.h"
#include "TOpenDialog.h"

#include "ErrorReport.h"
#include "LogView.h"
#include "StatusBar.h"
#include "StyledControls.h"

#include "BootloaderLink.h"
#include "CPort.h"
#include "CPortSetup.h"
#include "FormStorage.h"
#include "IniFileStorage.h"
#include "PortList.h"
#include "ProgramFoldersQt.h"
#include "TaskDialog.h"

#include <QCloseEvent>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFontMetrics>
#include <QMimeData>
#include <QMoveEvent>
#include <QPainter>
#include <QResizeEvent>
#include <QShowEvent>

#include <algorithm>

namespace quorvel::app {

TPelmora::TPelmora(const QStringList& arguments, const QString& programFile,
                   const QString& programFolder, QWidget* parent)
    : QWidget(parent, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                          Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                          Qt::WindowCloseButtonHint),
      arguments_(arguments), programFile_(programFile),
      programFolder_(programFolder.isEmpty() ? common::qt::ProgramFolder() : programFolder) {
    BuildControls();
    BuildSignalLamps(); // before the port, so that they go first when the window is torn down
    BuildSerialPort();
    BindSignalLamps();
    BuildBootloaderLink();
    BuildSettingsStorage(programFolder_);
    connect(ButtonSetupPort, &QPushButton::clicked, this,
            [this] { ui::Guarded([this] { ButtonSetupPortClick(); }); });
    connect(ButtonOpenHex, &QPushButton::clicked, this,
            [this] { ui::Guarded([this] { ButtonOpenHexClick(); }); });
    BuildActivityPanel();
    ui::Guarded([this] { FormCreate(); });
}

// The settings are saved here unless a close already did; the storage writes the file when
// it is destroyed with the other components, and the port closes itself.
TPelmora::~TPelmora() {
    ui::Guarded([this] { FormStorage->OnDestroy(); });
}

// The port as the board's bootloader wants it, with the events that drive the lamps; FormShow
// forces the rate once the stored settings are applied.
void TPelmora::BuildSerialPort() {
    ComPort1 = new serial::TComPort(this);
    ComPort1->setObjectName(QStringLiteral("ComPort1"));
    ComPort1->BeginLoading();
    ComPort1->SetEvents({serial::evRxChar, serial::evTxEmpty, serial::evRxFlag});
    serial::SetBoardLineSettings(*ComPort1);
    ComPort1->Loaded();
}

void TPelmora::BuildBootloaderLink() {
    AdvTaskDialog1 = new ui::TTaskDialog(this);
    AdvTaskDialog1->setObjectName(QStringLiteral("AdvTaskDialog1"));
    AdvTaskDialog1->Title = QStringLiteral("Success");
    AdvTaskDialog1->Instruction = QStringLiteral("Reset MCU.");
    linkPort_ = std::make_unique<TPelmoraLinkPort>(*this);
    linkView_ = std::make_unique<TPelmoraLinkView>(*this);
    bootloader_ = std::make_unique<link::BootloaderLink>(*linkPort_, *linkView_, uploadRunning_);
    connect(ButtonConnect, &QPushButton::clicked, this,
            [this] { ui::Guarded([this] { ButtonConnectClick(); }); });
    connect(ButtonStartBootloader, &QPushButton::clicked, this,
            [this] { ui::Guarded([this] { ButtonStartBootloaderClick(); }); });
}

// The settings cannot change while connected. Whatever the dialog ended with, the labels show
// the port, and the rate goes back to the only one the board's firmware speaks.
void TPelmora::ButtonSetupPortClick() {
    if (ComPort1->Connected()) {
        AppendHistory(QStringLiteral("Disconnect first."));
        return;
    }
    serial::ShowSettingsDialog(ComPort1, {sysfsTtyRoot_, programFolder_});
    ShowPortName(ComPort1->Port());
    JvLabel7->setText(serial::BaudRateText(ComPort1->BaudRate()));
    if (ComPort1->BaudRate() != serial::kBoardBaudRate) {
        AppendHistory("Invalid baud rate for Vantora firmware: " + JvLabel7->text() + ".");
        AppendHistory(QStringLiteral("Baud rate set to: 115200."));
    }
    ComPort1->SetBaudRate(serial::kBoardBaudRate);
    JvLabel7->setText(QStringLiteral("115200"));
    AppendHistory("Setup: Port " + ComPort1->Port() + ".");
}

void TPelmora::BuildActivityPanel() {
    activityPanel_ = std::make_unique<TActivityPanel>(
        TActivityPanel::Parts{*this, [this] { return FrameWidth(); }, *AdvGroupBox3, *Timer1,
                              *AdvGlowButton1, *AdvGroupBox8});
    connect(AdvGlowButton1, &QPushButton::clicked, this,
            [this] { ui::Guarded([this] { AdvGlowButton1Click(); }); });
    connect(Timer1, &QTimer::timeout, this, [this] { ui::Guarded([this] { Timer1Timer(); }); });
}

void TPelmora::AdvGlowButton1Click() {
    activityPanel_->Toggle();
}

void TPelmora::Timer1Timer() {
    activityPanel_->Tick();
}

int TPelmora::FrameWidth() const {
    return frameGeometry().width() - width();
}

int TPelmora::OuterWidth() const {
    return activityPanel_->OuterWidth();
}

int TPelmora::FullWidth() const {
    return activityPanel_->FullWidth();
}

bool TPelmora::ActivityShown() const {
    return activityPanel_->Shown();
}

void TPelmora::ButtonConnectClick() {
    bootloader_->ConnectOrDisconnect();
}

void TPelmora::ButtonStartBootloaderClick() {
    bootloader_->BeginOrStopUpload();
}

void TPelmora::BuildSettingsStorage(const QString& programFolder) {
    IniFileStorage = new settings::IniFileStorage(common::qt::SettingsFolder(programFolder), this);
    FormStorage =
        new settings::FormStorage(this, *IniFileStorage, QStringLiteral("frmPelmora\\"), this);
    FormStorage->StoredProps = {"ComPort1.Port",         "ComPort1.BaudRate",
                                "ComPort1.DataBits",     "ComPort1.StopBits",
                                "ComPort1.Parity",       "ComPort1.FlowControl",
                                "CheckBoxClose.Checked", "OpenDialog1.InitialDir",
                                "OpenDialog1.FileName",  "MCUComboBox.ItemIndex"};
    IniFileStorage->LoadFromDisk();
}

void TPelmora::closeEvent(QCloseEvent* event) {
    // A running conversation sees this at its next test, closes the port and unwinds; the
    // window goes when it has.
    if (bootloader_->Busy()) closeRequested_ = true;
    QWidget::closeEvent(event);
    if (event->isAccepted()) ui::Guarded([this] { FormStorage->OnCloseAccepted(); });
}

void TPelmora::FormCreate() {
    setAcceptDrops(true);
    activityPanel_->NarrowAtCreation();
    FitStatusBar(); // a hidden window gets its resize event only when shown
    setWindowTitle(QStringLiteral("Vantora Bootloader"));
    RadioGroupPICFamily->setVisible(false);
    MCUComboBox->clear();
    MCUComboBox->addItem(QStringLiteral("<P align=\"center\">PIC18</P>"));
    MCUComboBox->setCurrentIndex(0);
    PICFamilyChoices->button(static_cast<int>(image::McuFamily::P18))->setChecked(true);
    setWindowTitle(windowTitle() + QStringLiteral(" v") + FileVersionText(programFile_));
    CommandLineIntake();
}

// A stored file that fails to load is reported, and the window is still made whole.
void TPelmora::FormShow() {
    ui::Guarded([this] { StoredFileIntake(); });
    RecolourBoxes();
    StoredPortCheck();
}

// A stored port that the system no longer has is replaced by the first one it lists. One that
// differs from a listed port only in letter case takes the system's spelling: device names
// on Linux are case-sensitive, so the other spelling would not open. The board's firmware
// only talks at 115200 baud.
void TPelmora::StoredPortCheck() {
    const QStringList ports = serial::ListSerialPorts(sysfsTtyRoot_, programFolder_);
    if (!ports.contains(ComPort1->Port())) {
        const auto spelt = std::find_if(ports.begin(), ports.end(), [this](const QString& port) {
            return port.compare(ComPort1->Port(), Qt::CaseInsensitive) == 0;
        });
        if (spelt != ports.end()) {
            ComPort1->SetPort(*spelt);
        } else {
            AppendHistory("Unknown COM port: " + ComPort1->Port() + ".");
            ComPort1->SetPort(ports.isEmpty() ? QString() : ports.first());
            AppendHistory("COM port set to: " + ComPort1->Port() + ".");
        }
    }
    ComPort1->SetBaudRate(serial::kBoardBaudRate);
    ShowPortName(ComPort1->Port());
    JvLabel7->setText(serial::BaudRateText(ComPort1->BaudRate()));
}

// The label was sized for "COM1"; Linux names (ttyUSB0, vboard0) are longer. It keeps its
// right edge and grows to the left, as far as the caption beside it allows; a longer name is
// shortened with "…" and shown whole as the label's tool tip.
void TPelmora::ShowPortName(const QString& name) {
    constexpr int kRightEdge = 200, kDesignWidth = 34, kWidest = 56;
    const QFontMetrics metrics(JvLabel6->font());
    const int width = std::clamp(metrics.horizontalAdvance(name) + 1, kDesignWidth, kWidest);
    JvLabel6->setGeometry(kRightEdge - width, JvLabel6->y(), width, JvLabel6->height());
    JvLabel6->setText(metrics.elidedText(name, Qt::ElideRight, width));
    JvLabel6->setToolTip(name);
}

void TPelmora::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    activityPanel_->AdoptFrame();
    if (shown_ || event->spontaneous()) return;
    shown_ = true;
    ui::Guarded([this] { FormStorage->OnFirstShow(); });
    ui::Guarded([this] { FormShow(); });
}

void TPelmora::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    activityPanel_->AdoptFrame();
    FitStatusBar();
}

void TPelmora::moveEvent(QMoveEvent* event) {
    QWidget::moveEvent(event);
    activityPanel_->AdoptFrame();
}

void TPelmora::FitStatusBar() {
    StatusBar1->setGeometry(0, StatusBar1->y(), width(), StatusBar1->height());
    FitStatusText();
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
    if (uploadRunning_ == 0 && event->mimeData()->hasUrls()) event->acceptProposedAction();
}

void TPelmora::dropEvent(QDropEvent* event) {
    // A drop during an upload is refused: it must not change the image being sent.
    if (uploadRunning_ != 0 || !event->mimeData()->hasUrls()) {
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
