#pragma once
// The main window TPelmora: it owns every control and component of the program and all of its
// state, and its event handlers are the program's only entry points.

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

class TOpenDialog;
class TPelmoraLinkHost;

class TPelmora : public QWidget {
    Q_OBJECT
public:
    // `arguments` are the command-line arguments after the program name; `programFile` is the
    // file whose version the title shows. "Settings.ini" and the ports lie in `programFolder`,
    // by default the running program's. Throws settings::FileOpenError when that file exists
    // but cannot be read.
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

    // The window's outer width, frame included: the width the activity panel slides.
    int OuterWidth() const;

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
    QString SysfsTtyRoot = QStringLiteral("/sys/class/tty");

    // The user closed the window while a handshake or an upload runs: it ends at its next test.
    bool CloseRequested() const { return closeRequested_; }

    // The image the upload sends, as the last load left it, and the file it came from (empty
    // when the last load failed).
    image::FirmwareBytes FirmwareImage;
    std::int32_t ImageTop = 0;
    QString LoadedFile() const { return loadedFile_; }
    // 1 while an upload runs; the upload's stop signal.
    int UploadRunning = 0;
    // The window's full outer width, saved before it is narrowed at creation; it grows by the
    // frame once the desktop reports one.
    int FullWidth = 0;
    // True after "Show Activity" was pressed, false after "Hide Activity".
    bool ActivityShown = false;

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
    void ShowLamp(ui::TLampImage* lamp, int state);
    void ApplyLamps();
    void CommandLineIntake();
    void StoredFileIntake();
    void RecolourBoxes();
    void SetTabOrder();
    void ConnectActivityPanel();
    void NarrowAtCreation();
    void AdoptFrame();
    int CollapsedWidth() const;
    void SetOuterWidth(int outerWidth);
    void FitStatusBar();
    void FitStatusText();
    void ReportLoadFailure(const image::LoadResult& result);
    void StoredPortCheck();
    void ShowPortName(const QString& name);

    QStringList arguments_;
    QString programFile_;
    QString programFolder_; // "Settings.ini" and the "ports" folder
    bool shown_ = false;
    QString loadedFile_;
    QString statusFileText_; // ": " and the whole path of the file shown, before shortening
    // A file named on the command line was taken in: it, not the stored one, is the file.
    bool commandLineFileTaken_ = false;
    bool closeRequested_ = false;
    std::unique_ptr<TPelmoraLinkHost> linkHost_;
    std::unique_ptr<link::BootloaderLink> bootloader_;
    int knownFrame_ = 0;
    // The on images change visibility at the display's pace, however fast the line flickers.
    QTimer* lampTimer_ = nullptr;
    struct LampWish {
        ui::TLampImage* lamp;
        bool on;
    };
    std::vector<LampWish> lampWishes_;
};

} // namespace quorvel::app
