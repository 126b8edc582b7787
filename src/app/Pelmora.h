#pragma once
// The main window TPelmora: it owns every control and component of the program and all of its
// state, and its event handlers are the program's only entry points.
//
// The controls keep their design names. A legend, from the top of the window down:
//   JvLabel4, AdvReflectionLabel1   the "Quorvel" header and its reflection (hidden at show)
//   AdvGroupBox9, MCUComboBox       "Select MCU": the one family, PIC18 (always disabled)
//   AdvGroupBox4                    step 1: JvLabel6 (port), JvLabel7 (baud rate),
//                                   ButtonSetupPort "Change Settings"
//   AdvGroupBox3, JvLabel1          the signal lamps (ConnectedOn/Off, RxOn/Off, TxOn/Off)
//                                   that the hidden indicators ComLedConnect, ComLedRx and
//                                   ComLedTx drive through TSignalLamps
//   AdvGroupBox5, ButtonConnect     step 2: "Connect"
//   AdvGroupBox6, ButtonOpenHex     step 3: "Browse for HEX" (and OpenDialog1)
//   AdvGroupBox7, ButtonStartBootloader   step 4: "Begin uploading" / "Stop uploading"
//   AdvGroupBox1, MemoHistoryWindow the history log
//   AdvGroupBox8                    ProgressBar1, and AdvGlowButton1 "Show Activity", which
//                                   slides the activity panel (TActivityPanel, Timer1) open
//   AdvGroupBox2, MemoTerminalWindow  the terminal log in the activity panel
//   Panel1 (hidden)                 CheckBoxClose "Close when finished", RadioGroupPICFamily
//   StatusBar1                      the file taken in
// Components: ComPort1 (the serial port), AdvTaskDialog1 (the completion dialog),
// IniFileStorage and FormStorage (Settings.ini). The bootloader conversation sees the window
// through TPelmoraLinkPort and TPelmoraLinkView.

#include "HexImageLoader.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QRadioButton>
#include <QStringList>
#include <QTimer>
#include <QWidget>

#include <cstdint>
#include <memory>
#include <vector>

namespace quorvel::ui {
class TCheckBox;
class TFormattedComboBox;
class TFormattedLabel;
class TGlowButton;
class TGroupBox;
class TLampImage;
class TLogView;
class TProgressBar;
class TRotatedLabel;
class TStatusBar;
class TTaskDialog;
} // namespace quorvel::ui

namespace quorvel::link {
class BootloaderLink;
} // namespace quorvel::link

namespace quorvel::serial {
class TComLed;
class TComPort;
} // namespace quorvel::serial

namespace quorvel::settings {
class FormStorage;
class IniFileStorage;
} // namespace quorvel::settings

namespace quorvel::app {

class TActivityPanel;
class TOpenDialog;
class TPelmoraLinkPort;
class TSignalLamps;
class TPelmoraLinkView;

class TPelmora : public QWidget {
    Q_OBJECT
public:
    // `arguments` are the command-line arguments after the program name; `programFile` is the
    // file whose version the title shows. `programFolder`, by default the running program's,
    // decides where "Settings.ini" and the ports lie (beside it, or in the user's folders for
    // an install). Throws settings::FileOpenError when that file exists but cannot be read.
    TPelmora(const QStringList& arguments, const QString& programFile,
             const QString& programFolder = {}, QWidget* parent = nullptr);
    ~TPelmora() override;

    // Services for the other parts of the program.
    void AppendHistory(const QString& line);
    QString StatusText() const;
    image::McuFamily McuFamily() const;

    // Event handlers.
    void FormCreate();
    void FormShow();
    void ButtonSetupPortClick();
    void ButtonConnectClick();
    void ButtonOpenHexClick();
    void ButtonStartBootloaderClick();
    void HandleFileDrop(const QList<QUrl>& urls);
    void StatusBar1DrawPanel(ui::TStatusBar& bar, QPainter& painter, const QRect& rect);
    void AdvGlowButton1Click();
    void Timer1Timer();
    void ComLedConnectChange(QObject* sender, int state);
    void ComLedRxChange(QObject* sender, int state);
    void ComLedTxChange(QObject* sender, int state);

    // The window's outer width, frame included: the width the activity panel slides, and the
    // full width it slides to.
    int OuterWidth() const;
    int FullWidth() const;
    // True after "Show Activity" was pressed, false after "Hide Activity".
    bool ActivityShown() const;

    // File intake.
    void ShowFileInStatusBar(const QString& path);
    void LoadHexFile(const QString& path);

    // Controls and components, under the names the rest of the program knows them by.
    QWidget* AdvPanel1 = nullptr;
    QLabel* JvLabel4 = nullptr;
    QLabel* AdvReflectionLabel1 = nullptr;
    ui::TGroupBox* AdvGroupBox1 = nullptr;
    ui::TGroupBox* AdvGroupBox2 = nullptr;
    ui::TGroupBox* AdvGroupBox3 = nullptr;
    ui::TGroupBox* AdvGroupBox4 = nullptr;
    ui::TGroupBox* AdvGroupBox5 = nullptr;
    ui::TGroupBox* AdvGroupBox6 = nullptr;
    ui::TGroupBox* AdvGroupBox7 = nullptr;
    ui::TGroupBox* AdvGroupBox8 = nullptr;
    ui::TGroupBox* AdvGroupBox9 = nullptr;
    ui::TGroupBox* Panel1 = nullptr;
    QLabel* JvLabel6 = nullptr; // port name
    QLabel* JvLabel7 = nullptr; // baud rate
    ui::TGlowButton* ButtonSetupPort = nullptr;
    ui::TGlowButton* ButtonConnect = nullptr;
    ui::TGlowButton* ButtonOpenHex = nullptr;
    ui::TGlowButton* ButtonStartBootloader = nullptr;
    ui::TGlowButton* AdvGlowButton1 = nullptr;
    ui::TProgressBar* ProgressBar1 = nullptr;
    ui::TLogView* MemoHistoryWindow = nullptr;
    ui::TLogView* MemoTerminalWindow = nullptr;
    ui::TFormattedComboBox* MCUComboBox = nullptr;
    QGroupBox* RadioGroupPICFamily = nullptr;
    QButtonGroup* PICFamilyChoices = nullptr;
    ui::TCheckBox* CheckBoxClose = nullptr;
    ui::TRotatedLabel* JvLabel1 = nullptr;
    ui::TLampImage* ConnectedOff = nullptr;
    ui::TLampImage* ConnectedOn = nullptr;
    ui::TLampImage* RxOff = nullptr;
    ui::TLampImage* RxOn = nullptr;
    ui::TLampImage* TxOff = nullptr;
    ui::TLampImage* TxOn = nullptr;
    ui::TStatusBar* StatusBar1 = nullptr;
    TOpenDialog* OpenDialog1 = nullptr;
    QTimer* Timer1 = nullptr;
    settings::IniFileStorage* IniFileStorage = nullptr;
    settings::FormStorage* FormStorage = nullptr;
    serial::TComPort* ComPort1 = nullptr;
    ui::TTaskDialog* AdvTaskDialog1 = nullptr;
    // Hidden; the lamps above show what they follow.
    serial::TComLed* ComLedConnect = nullptr;
    serial::TComLed* ComLedRx = nullptr;
    serial::TComLed* ComLedTx = nullptr;

    // Where the system's serial devices are listed (tests list their own).
    void SetSysfsTtyRoot(const QString& root) { sysfsTtyRoot_ = root; }

    // The user closed the window while a handshake or an upload runs: it ends at its next test.
    bool CloseRequested() const { return closeRequested_; }

    // The image the upload sends, as the last load left it, and the file it came from (empty
    // when the last load failed).
    const image::FirmwareBytes& FirmwareImage() const { return firmwareImage_; }
    std::int32_t ImageTop() const { return imageTop_; }
    QString LoadedFile() const { return loadedFile_; }
    // 1 while an upload runs; the upload's stop signal.
    int UploadRunning() const { return uploadRunning_; }

protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void moveEvent(QMoveEvent* event) override;
    // The width the desktop's frame adds to the client area; 0 where it draws none.
    virtual int FrameWidth() const;

private:
    void BuildControls();
    void BuildHeader();
    void BuildStepBoxes();
    void BuildSideBoxes();
    void BuildHiddenOptions();
    void BuildStatusBar();
    void BuildSettingsStorage(const QString& programFolder);
    void BuildSerialPort();
    void BuildBootloaderLink();
    void BuildSignalLamps();
    void BindSignalLamps();
    void CommandLineIntake();
    void StoredFileIntake();
    void RecolourBoxes();
    void SetTabOrder();
    void BuildActivityPanel();
    void FitStatusBar();
    void FitStatusText();
    void ReportLoadFailure(const image::LoadResult& result);
    void StoredPortCheck();
    void ShowPortName(const QString& name);

    image::FirmwareBytes firmwareImage_;
    std::int32_t imageTop_ = 0;
    int uploadRunning_ = 0;
    QString sysfsTtyRoot_ = QStringLiteral("/sys/class/tty");

    QStringList arguments_;
    QString programFile_;
    QString programFolder_; // decides where "Settings.ini" and the "ports" folder lie
    bool shown_ = false;
    QString loadedFile_;
    QString statusFileText_; // ": " and the whole path of the file shown, before shortening
    // A file named on the command line was taken in: it, not the stored one, is the file.
    bool commandLineFileTaken_ = false;
    bool closeRequested_ = false;
    std::unique_ptr<TPelmoraLinkPort> linkPort_;
    std::unique_ptr<TPelmoraLinkView> linkView_;
    std::unique_ptr<link::BootloaderLink> bootloader_;
    std::unique_ptr<TActivityPanel> activityPanel_;
    TSignalLamps* signalLamps_ = nullptr;
};

} // namespace quorvel::app
