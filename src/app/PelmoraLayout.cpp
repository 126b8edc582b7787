// The controls of the main window with their design values: positions and sizes in pixels at
// 96 pixels per inch, relative to the parent, as width by height.

#include "Pelmora.h"
#include "TOpenDialog.h"

#include "ErrorReport.h"
#include "LogView.h"
#include "ProgressBar.h"
#include "StatusBar.h"
#include "StyledControls.h"

#include <QLabel>

#include <initializer_list>

namespace quorvel::app {

namespace {

using namespace quorvel::ui;

constexpr int kClientWidth = 682;
constexpr int kClientHeight = 357;
const QColor kRed(0xFF, 0x00, 0x00);
const QColor kGrey(0x80, 0x80, 0x80);
const QColor kLightGrey(0xB2, 0xB2, 0xB2);
const QColor kPanelColour(0xED, 0xED, 0xED);
const QColor kTerminalColour(0xDC, 0xDC, 0xDC);
const QColor kBoxColour(0xFA, 0xFA, 0xFA);

template <class Control>
Control* Place(Control* control, const char* name, int left, int top, int width, int height) {
    control->setObjectName(QLatin1String(name));
    control->setGeometry(left, top, width, height);
    return control;
}

QFont Tahoma(bool bold = false) {
    return PixelFont(QStringLiteral("Tahoma"), 11, bold);
}

void SetTextColour(QWidget* control, const QColor& colour) {
    QPalette palette = control->palette();
    palette.setColor(QPalette::WindowText, colour);
    palette.setColor(QPalette::Text, colour);
    control->setPalette(palette);
}

// A formatted label showing `text` bold in `colour`; `size` in pixels, 0 for the panel's.
TFormattedLabel* StepLabel(QWidget* box, const char* name, const QString& text, int size,
                           const QColor& colour, QRect geometry) {
    const QString style =
        size > 0 ? QStringLiteral(" style=\"font-size:%1px\"").arg(size) : QString();
    auto* label = new TFormattedLabel(
        QStringLiteral("<b><font color=\"%1\"%2>%3</font></b>").arg(colour.name(), style, text),
        box);
    return Place(label, name, geometry.x(), geometry.y(), geometry.width(), geometry.height());
}

QLabel* PlainLabel(QWidget* parent, const char* name, const QString& text, const QFont& font,
                   const QColor& colour, QRect geometry) {
    auto* label = Place(new TCachedLabel(text, parent), name, geometry.x(), geometry.y(),
                        geometry.width(), geometry.height());
    label->setFont(font);
    SetTextColour(label, colour);
    return label;
}

TGroupBox* Box(QWidget* parent, const char* name, QRect geometry) {
    return Place(new TGroupBox(parent), name, geometry.x(), geometry.y(), geometry.width(),
                 geometry.height());
}

TLogView* Log(QWidget* parent, const char* name, QRect geometry) {
    auto* log = Place(new TLogView(parent), name, geometry.x(), geometry.y(), geometry.width(),
                      geometry.height());
    log->setFont(Tahoma());
    SetTextColour(log, kGrey);
    return log;
}

} // namespace

void TPelmora::BuildControls() {
    setObjectName(QStringLiteral("Pelmora"));
    setFont(Tahoma());
    setFixedSize(kClientWidth, kClientHeight);
    AdvPanel1 = Place(new QWidget(this), "AdvPanel1", 0, 0, 684, 339);
    AdvPanel1->setAutoFillBackground(true);
    QPalette panel = AdvPanel1->palette();
    panel.setColor(QPalette::Window, kPanelColour);
    AdvPanel1->setPalette(panel);
    AdvPanel1->setFont(PixelFont(QStringLiteral("Verdana"), 11));
    BuildHeader();
    BuildStepBoxes();
    BuildSideBoxes();
    BuildHiddenOptions();
    BuildStatusBar();
    SetTabOrder();
    OpenDialog1 = new TOpenDialog(this);
    OpenDialog1->setObjectName(QStringLiteral("OpenDialog1"));
    OpenDialog1->SetFilter(QStringLiteral("HEX files (*.hex)"));
    OpenDialog1->SetDefaultExt(QStringLiteral("*.hex"));
    Timer1 = new QTimer(this);
    Timer1->setObjectName(QStringLiteral("Timer1"));
    Timer1->setInterval(15);
}

void TPelmora::BuildHeader() {
    JvLabel4 = PlainLabel(AdvPanel1, "JvLabel4", QStringLiteral("Quorvel"),
                          PixelFont(QStringLiteral("Impact"), 32, true), kRed, {13, 12, 221, 39});
    AdvReflectionLabel1 =
        PlainLabel(AdvPanel1, "AdvReflectionLabel1", QStringLiteral("Quorvel"),
                   PixelFont(QStringLiteral("Verdana"), 32, true), kRed, {450, 36, 258, 50});
}

void TPelmora::BuildStepBoxes() {
    AdvGroupBox4 = Box(AdvPanel1, "AdvGroupBox4", {0, 65, 312, 39});
    StepLabel(AdvGroupBox4, "HTMLabel1", QStringLiteral("1"), 22, kRed, {13, 2, 24, 36});
    StepLabel(AdvGroupBox4, "HTMLabel2", QStringLiteral("Setup port"), 0, kRed, {40, 7, 41, 33})
        ->setFont(Tahoma(true));
    PlainLabel(AdvGroupBox4, "HTMLabel3", QStringLiteral("COM Port:"), AdvPanel1->font(), kGrey,
               {87, 6, 72, 16});
    PlainLabel(AdvGroupBox4, "HTMLabel4", QStringLiteral("Baud Rate:"), AdvPanel1->font(), kGrey,
               {87, 21, 72, 15});
    JvLabel6 = PlainLabel(AdvGroupBox4, "JvLabel6", QStringLiteral("COM1"), Tahoma(true),
                          palette().windowText().color(), {166, 6, 34, 13});
    JvLabel7 = PlainLabel(AdvGroupBox4, "JvLabel7", QStringLiteral("115200"), Tahoma(true),
                          palette().windowText().color(), {156, 21, 44, 13});
    ButtonSetupPort = Place(new TGlowButton(QStringLiteral("Change Settings"), AdvGroupBox4),
                            "ButtonSetupPort", 219, 5, 82, 30);

    AdvGroupBox5 = Box(AdvPanel1, "AdvGroupBox5", {-1, 117, 217, 39});
    StepLabel(AdvGroupBox5, "HTMLabel7", QStringLiteral("2"), 22, kRed, {14, 2, 24, 35});
    StepLabel(AdvGroupBox5, "HTMLabel8", QStringLiteral("Connect with MCU"), 0, kRed,
              {40, 7, 65, 32});
    ButtonConnect = Place(new TGlowButton(QStringLiteral("Connect"), AdvGroupBox5), "ButtonConnect",
                          126, 5, 81, 30);

    AdvGroupBox6 = Box(AdvPanel1, "AdvGroupBox6", {-1, 170, 217, 39});
    StepLabel(AdvGroupBox6, "HTMLabel9", QStringLiteral("3"), 22, kRed, {14, 1, 24, 36});
    StepLabel(AdvGroupBox6, "HTMLabel10", QStringLiteral("Choose HEX file"), 0, kRed,
              {40, 6, 65, 33});
    ButtonOpenHex = Place(new TGlowButton(QStringLiteral("Browse      for HEX"), AdvGroupBox6),
                          "ButtonOpenHex", 126, 5, 81, 30);

    AdvGroupBox7 = Box(AdvPanel1, "AdvGroupBox7", {-1, 224, 217, 39});
    StepLabel(AdvGroupBox7, "HTMLabel11", QStringLiteral("4"), 22, kRed, {14, 2, 24, 36});
    StepLabel(AdvGroupBox7, "HTMLabel12", QStringLiteral("Start bootloader"), 0, kRed,
              {40, 7, 84, 33});
    ButtonStartBootloader = Place(new TGlowButton(QStringLiteral("Begin uploading"), AdvGroupBox7),
                                  "ButtonStartBootloader", 126, 5, 81, 30);
    // The step boxes read right to left; their labels and buttons inherit it.
    for (TGroupBox* step : {AdvGroupBox4, AdvGroupBox5, AdvGroupBox6, AdvGroupBox7})
        step->setLayoutDirection(Qt::RightToLeft);

    AdvGroupBox8 = Box(AdvPanel1, "AdvGroupBox8", {-1, 280, 497, 45});
    StepLabel(AdvGroupBox8, "HTMLabel14", QStringLiteral("Bootloading<br>progress bar"), 0,
              kLightGrey, {14, 8, 93, 27});
    ProgressBar1 = Place(new TProgressBar(AdvGroupBox8), "ProgressBar1", 111, 12, 266, 22);
    AdvGlowButton1 = Place(new TGlowButton(QStringLiteral("Show Activity"), AdvGroupBox8),
                           "AdvGlowButton1", 390, 12, 83, 22);
}

void TPelmora::BuildSideBoxes() {
    AdvGroupBox9 = Box(AdvPanel1, "AdvGroupBox9", {256, 19, 227, 30});
    PlainLabel(AdvGroupBox9, "JvLabel5", QStringLiteral("Select MCU"), Tahoma(true), kLightGrey,
               {8, 9, 65, 13});
    MCUComboBox = Place(new TFormattedComboBox(AdvGroupBox9), "MCUComboBox", 80, 5, 136, 22);
    MCUComboBox->setFont(Tahoma());
    SetTextColour(MCUComboBox, kGrey);
    MCUComboBox->setEnabled(false);

    AdvGroupBox3 = Box(AdvPanel1, "AdvGroupBox3", {354, 66, 129, 39});
    PlainLabel(AdvGroupBox3, "labelConnect", QStringLiteral("Conn"), Tahoma(),
               palette().windowText().color(), {14, 2, 25, 13});
    PlainLabel(AdvGroupBox3, "LabelRx", QStringLiteral("Rx"), AdvPanel1->font(),
               palette().windowText().color(), {58, 2, 15, 13});
    PlainLabel(AdvGroupBox3, "LabelTx", QStringLiteral("Tx"), AdvPanel1->font(),
               palette().windowText().color(), {96, 2, 14, 13});
    const auto lamp = [this](const char* name, TLampImage::Look look, const QString& hint,
                             int left) {
        auto* image = Place(new TLampImage(look, hint, AdvGroupBox3), name, left, 20, 13,
                            look == TLampImage::Look::Off ? 14 : 13);
        // The "on" picture lies over the "off" one and shows only while the signal is on.
        image->setVisible(look == TLampImage::Look::Off);
        return image;
    };
    ConnectedOff = lamp("ConnectedOff", TLampImage::Look::Off, QStringLiteral("Connected"), 22);
    ConnectedOn = lamp("ConnectedOn", TLampImage::Look::On, QStringLiteral("Connected"), 22);
    RxOff = lamp("RxOff", TLampImage::Look::Off, QStringLiteral("Received Data"), 59);
    RxOn = lamp("RxOn", TLampImage::Look::On, QStringLiteral("Received Data"), 59);
    TxOff = lamp("TxOff", TLampImage::Look::Off, QStringLiteral("Transmitted Data"), 96);
    TxOn = lamp("TxOn", TLampImage::Look::On, QStringLiteral("Transmitted Data"), 96);
    JvLabel1 =
        Place(new TRotatedLabel(QStringLiteral("Signals"), AdvPanel1), "JvLabel1", 336, 66, 17, 41);

    AdvGroupBox1 = Box(AdvPanel1, "AdvGroupBox1", {232, 117, 251, 147});
    PlainLabel(AdvGroupBox1, "JvLabel2", QStringLiteral("History Window"),
               PixelFont(QStringLiteral("Verdana"), 12, true), kLightGrey, {6, 5, 108, 14});
    MemoHistoryWindow = Log(AdvGroupBox1, "MemoHistoryWindow", {0, 21, 240, 126});
    // History lines name whole paths; they wrap so that the user reads them without scrolling.
    MemoHistoryWindow->SetWordWrap(true);

    AdvGroupBox2 = Box(AdvPanel1, "AdvGroupBox2", {495, 11, 177, 314});
    AdvGroupBox2->SetTransparent(false);
    AdvGroupBox2->SetColor(kTerminalColour);
    PlainLabel(AdvGroupBox2, "JvLabel3", QStringLiteral("Terminal Activity"),
               PixelFont(QStringLiteral("Tahoma"), 12, true), kLightGrey, {12, 6, 104, 14});
    MemoTerminalWindow = Log(AdvGroupBox2, "MemoTerminalWindow", {12, 23, 153, 281});
}

void TPelmora::BuildHiddenOptions() {
    Panel1 = Box(AdvPanel1, "Panel1", {399, 35, 155, 98});
    Panel1->setVisible(false);
    CheckBoxClose = Place(new ui::TCheckBox(QStringLiteral("Close when finished"), Panel1),
                          "CheckBoxClose", 12, 125, 156, 19);
    CheckBoxClose->setLayoutDirection(Qt::RightToLeft); // caption on the left of the box
    RadioGroupPICFamily = Place(new QGroupBox(Panel1), "RadioGroupPICFamily", 12, 150, 132, 52);
    PICFamilyChoices = new QButtonGroup(RadioGroupPICFamily);
    const QString names[] = {QStringLiteral("P16"), QStringLiteral("P18"), QStringLiteral("P24"),
                             QStringLiteral("dsPIC")};
    for (int index = 0; index < 4; ++index) {
        auto* choice = new QRadioButton(names[index], RadioGroupPICFamily);
        // Two columns, filled top to bottom.
        choice->setGeometry(4 + (index / 2) * 64, 4 + (index % 2) * 22, 60, 20);
        PICFamilyChoices->addButton(choice, index);
    }
}

void TPelmora::BuildStatusBar() {
    StatusBar1 = Place(new TStatusBar(this), "StatusBar1", 0, 338, kClientWidth, 19);
    StatusBar1->setFont(Tahoma());
    StatusBar1->SetFontColor(kGrey);
    StatusBar1->SetPanelWidth(544);
    StatusBar1->SetPanelText(QStringLiteral(": No files opened."));
    // Measuring before the first paint uses the bar's own font, as painting will.
    StatusBar1->CanvasFont() = StatusBar1->font();
    StatusBar1->SetOnDrawPanel([this](TStatusBar& bar, QPainter& painter, const QRect& rect) {
        ui::GuardedPaint([&] { StatusBar1DrawPanel(bar, painter, rect); });
    });
}

void TPelmora::SetTabOrder() {
    // Panel1 first, then AdvGroupBox1 to AdvGroupBox9: the chain runs through the controls of
    // each box in turn, in the order they were made.
    QWidget* previous = nullptr;
    for (QWidget* box : std::initializer_list<QWidget*>{
             Panel1, AdvGroupBox1, AdvGroupBox2, AdvGroupBox3, AdvGroupBox4, AdvGroupBox5,
             AdvGroupBox6, AdvGroupBox7, AdvGroupBox8, AdvGroupBox9}) {
        for (QWidget* control : box->findChildren<QWidget*>()) {
            // A drop-down list's pop-up is a window of its own, outside the chain.
            if (control->window() != this || !(control->focusPolicy() & Qt::TabFocus)) continue;
            if (previous) QWidget::setTabOrder(previous, control);
            previous = control;
        }
    }
}

void TPelmora::RecolourBoxes() {
    AdvReflectionLabel1->setVisible(false);
    AdvGroupBox1->SetColor(kBoxColour);
    AdvGroupBox2->SetColor(kTerminalColour);
    const std::initializer_list<TGroupBox*> boxes = {AdvGroupBox1, AdvGroupBox2, AdvGroupBox3,
                                                     AdvGroupBox4, AdvGroupBox5, AdvGroupBox6,
                                                     AdvGroupBox7, AdvGroupBox8, AdvGroupBox9};
    for (TGroupBox* box : boxes)
        if (box != AdvGroupBox1 && box != AdvGroupBox2) box->SetColor(kBoxColour);
    for (TGroupBox* box : boxes)
        box->SetParentBackground(false);
    for (TGroupBox* box : boxes)
        box->SetParentColor(false);
    for (TGroupBox* box : boxes)
        box->SetTransparent(false);
    for (TGroupBox* box : boxes)
        box->SetBordered(false);
}

} // namespace quorvel::app
