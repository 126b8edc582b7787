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

namespace quorvel::ui {
class TFormattedComboBox;
class TFormattedLabel;
class TGlowButton;
class TGroupBox;
class TLampImage;
class TLogView;
class TProgressBar;
class TRotatedLabel;
class TStatusBar;
} // namespace quorvel::ui

namespace quorvel::app {

class TOpenDialog;

class TPelmora : public QWidget {
    Q_OBJECT
public:
    // `arguments` are the command-line arguments after the program name; `programFile` is the
    // file whose version the title shows.
    TPelmora(const QStringList& arguments, const QString& programFile, QWidget* parent = nullptr);
    ~TPelmora() override;

    // Services for the other parts of the program.
    void AppendHistory(const QString& line);
    QString StatusText() const;
    image::McuFamily McuFamily() const;

    // Event handlers.
    void FormCreate();
    void FormShow();
    void ButtonOpenHexClick();
    void HandleFileDrop(const QList<QUrl>& urls);
    void StatusBar1DrawPanel(ui::TStatusBar& bar, QPainter& painter, const QRect& rect);
    void AdvGlowButton1Click();
    void Timer1Timer();

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
    QCheckBox* CheckBoxClose = nullptr;
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
    // The serial port ComPort1, its signal indicators ComLedConnect, ComLedRx and ComLedTx,
    // the completion dialog AdvTaskDialog1 and the stored-settings objects FormStorage and
    // IniFileStorage join the window with the serial, upload and settings layers.

    // The image the upload sends, as the last load left it.
    image::FirmwareBytes FirmwareImage;
    std::int32_t ImageTop = 0;
    // 1 while an upload runs; the upload's stop signal.
    int UploadRunning = 0;
    // The window's full outer width, saved before it is narrowed at creation; it grows by the
    // frame once the desktop reports one.
    int FullWidth = 0;
    // True after "Show Activity" was pressed, false after "Hide Activity".
    bool ActivityShown = false;

protected:
    void showEvent(QShowEvent* event) override;
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

    QStringList arguments_;
    QString programFile_;
    bool shown_ = false;
    int knownFrame_ = 0;
};

} // namespace quorvel::app
