#pragma once
// The settings dialog "Setup": six lists bound to the port's name, baud rate, data bits, stop
// bits, parity and flow control, written to the port together when the user confirms.

#include "ComComboBox.h"
#include "ComSelect.h"

#include <QDialog>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>

#include <array>

namespace quorvel::serial {

class TComSetupFrm : public QDialog {
    Q_OBJECT
public:
    // Reads the port list afresh, so a freshly plugged adapter is offered: EComPort code 23
    // when it cannot be read, and then there is no dialog. The captions are in the user's
    // language; the lists' items are not translated.
    explicit TComSetupFrm(const SerialPortSource& ports = {}, QWidget* parent = nullptr);

    // Combo1 to Combo6, in the order they are bound and applied.
    std::array<TComComboBox*, 6> Combos() const;

    QGroupBox* GroupBox1 = nullptr;
    QLabel* Label1 = nullptr;
    QLabel* Label2 = nullptr;
    QLabel* Label3 = nullptr;
    QLabel* Label4 = nullptr;
    QLabel* Label5 = nullptr;
    QLabel* Label6 = nullptr;
    TComComboBox* Combo1 = nullptr;
    TComComboBox* Combo2 = nullptr;
    TComComboBox* Combo3 = nullptr;
    TComComboBox* Combo4 = nullptr;
    TComComboBox* Combo5 = nullptr;
    TComComboBox* Combo6 = nullptr;
    QPushButton* Button1 = nullptr;
    QPushButton* Button2 = nullptr;

private:
    void BuildControls(const SerialPortSource& ports);
    void SetTabOrder();
    void CentreOnScreen();
    void FormCreate();
};

// Shows the dialog modally for `port`; with OK, writes the six choices to the port in one
// settings update. Cancel, or closing the dialog otherwise, writes nothing.
void ShowSettingsDialog(TCustomComPort* port, const SerialPortSource& ports = {});

} // namespace quorvel::serial
