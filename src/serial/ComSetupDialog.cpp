#include "ComSetupDialog.h"

#include "ComErrors.h"
#include "TextDomain.h"

#include <QGuiApplication>
#include <QScreen>

namespace quorvel::serial {

namespace {

using i18n::NoopText;

// Combo boxes are a little lower than their default size so that rows 24 pixels apart never
// overlap.
constexpr int kComboHeight = 21;

QString Translated(const QString& english) {
    const QByteArray text = english.toUtf8();
    return QString::fromUtf8(i18n::Translate(kComTextDomain, text.constData()));
}

// The lists hold the vocabulary's texts, which the conversions read back: they stay English.
bool ExcludedFromTranslation(const QObject& control) {
    static const QStringList excluded = {"Combo1", "Combo2", "Combo3",
                                         "Combo4", "Combo5", "Combo6"};
    return excluded.contains(control.objectName());
}

void TranslateTexts(QWidget& control) {
    if (ExcludedFromTranslation(control)) return;
    if (control.isWindow()) control.setWindowTitle(Translated(control.windowTitle()));
    if (auto* label = qobject_cast<QLabel*>(&control))
        label->setText(Translated(label->text()));
    else if (auto* group = qobject_cast<QGroupBox*>(&control))
        group->setTitle(Translated(group->title()));
    else if (auto* button = qobject_cast<QAbstractButton*>(&control))
        button->setText(Translated(button->text()));
    for (QWidget* child : control.findChildren<QWidget*>(Qt::FindDirectChildrenOnly))
        TranslateTexts(*child);
}

template <typename Control>
Control* Named(Control* control, const char* name, int left, int top, int width, int height) {
    control->setObjectName(QLatin1String(name));
    control->setGeometry(left, top, width, height);
    return control;
}

QLabel* PlacedLabel(QWidget* parent, const char* name, const char* caption, int top) {
    auto* label = new QLabel(QString::fromUtf8(caption), parent);
    label->setObjectName(QLatin1String(name));
    label->move(8, top);
    label->adjustSize();
    return label;
}

} // namespace

TComSetupFrm::TComSetupFrm(const SerialPortSource& ports, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                          Qt::WindowCloseButtonHint) {
    setObjectName(QStringLiteral("ComSetupFrm"));
    setWindowTitle(QString::fromUtf8(NoopText("Setup")));
    setFixedSize(231, 216);
    BuildControls(ports);
    SetTabOrder();
    CentreOnScreen();
    FormCreate();
}

void TComSetupFrm::BuildControls(const SerialPortSource& ports) {
    GroupBox1 = Named(new QGroupBox(QString::fromUtf8(NoopText(" Settings ")), this), "GroupBox1",
                      8, 8, 217, 169);
    Label1 = PlacedLabel(GroupBox1, "Label1", NoopText("Port"), 24);
    Label2 = PlacedLabel(GroupBox1, "Label2", NoopText("Baud rate"), 48);
    Label3 = PlacedLabel(GroupBox1, "Label3", NoopText("Data bits"), 72);
    Label4 = PlacedLabel(GroupBox1, "Label4", NoopText("Stop bits"), 96);
    Label5 = PlacedLabel(GroupBox1, "Label5", NoopText("Parity"), 120);
    Label6 = PlacedLabel(GroupBox1, "Label6", NoopText("Flow control"), 144);
    const char* names[] = {"Combo1", "Combo2", "Combo3", "Combo4", "Combo5", "Combo6"};
    const TComProperty properties[] = {cpPort,     cpBaudRate, cpDataBits,
                                       cpStopBits, cpParity,   cpFlowControl};
    TComComboBox** combos[] = {&Combo1, &Combo2, &Combo3, &Combo4, &Combo5, &Combo6};
    for (int row = 0; row < 6; ++row) {
        auto* combo =
            Named(new TComComboBox(GroupBox1), names[row], 80, 16 + 24 * row, 129, kComboHeight);
        combo->SetPortSource(ports);
        combo->SetComProperty(properties[row]);
        *combos[row] = combo;
    }
    Button1 =
        Named(new QPushButton(QString::fromUtf8(NoopText("OK")), this), "Button1", 70, 184, 75, 25);
    Button1->setDefault(true);
    connect(Button1, &QPushButton::clicked, this, &QDialog::accept);
    Button2 = Named(new QPushButton(QString::fromUtf8(NoopText("Cancel")), this), "Button2", 150,
                    184, 75, 25);
    connect(Button2, &QPushButton::clicked, this, &QDialog::reject);
}

void TComSetupFrm::SetTabOrder() {
    const std::array<QWidget*, 8> chain = {Combo1, Combo2, Combo3,  Combo4,
                                           Combo5, Combo6, Button1, Button2};
    for (std::size_t next = 1; next < chain.size(); ++next)
        setTabOrder(chain[next - 1], chain[next]);
}

void TComSetupFrm::CentreOnScreen() {
    const QScreen* screen = QGuiApplication::primaryScreen();
    if (screen == nullptr) return;
    const QRect area = screen->availableGeometry();
    move(area.center() - QPoint(width() / 2, height() / 2));
}

// The captions and labels in the user's language, through the serial layer's catalogue.
void TComSetupFrm::FormCreate() {
    i18n::RegisterTextDomain(kComTextDomain);
    TranslateTexts(*this);
    for (QLabel* label : findChildren<QLabel*>())
        label->adjustSize();
}

std::array<TComComboBox*, 6> TComSetupFrm::Combos() const {
    return {Combo1, Combo2, Combo3, Combo4, Combo5, Combo6};
}

void ShowSettingsDialog(TCustomComPort* port, const SerialPortSource& ports) {
    TComSetupFrm dialog(ports); // no owner; freed on every way out
    for (TComComboBox* combo : dialog.Combos())
        combo->SetComPort(port);
    for (TComComboBox* combo : dialog.Combos())
        combo->ShowCurrentValue();
    if (dialog.exec() != QDialog::Accepted) return;
    // The lists forget a port destroyed while the dialog was open.
    port = dialog.Combo1->ComPort();
    if (port == nullptr) return;
    port->BeginSettingsUpdate();
    try {
        for (TComComboBox* combo : dialog.Combos())
            combo->ApplySettings();
    } catch (...) {
        // The update must end even so, or the port would never apply a setting again.
        port->EndSettingsUpdate();
        throw;
    }
    port->EndSettingsUpdate();
}

} // namespace quorvel::serial
