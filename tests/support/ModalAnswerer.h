#pragma once
// Answers the modal boxes and dialogs that the code under test opens, the way a user would: it
// watches for the active modal widget, notes what it showed and closes it. The code under test
// runs its boxes for real.

#include <QPointer>
#include <QString>
#include <QStringList>
#include <QTimer>
#include <QWidget>

#include <functional>
#include <vector>

namespace quorvel::testing {

struct SeenBox {
    QString kind; // "critical", "warning", "information", "question", "file dialog",
                  // "task dialog", "other"
    QString title;
    QString text;
    int buttonCount = 0;
    QString instruction; // task dialogs
    QString details;
    int historyLinesThen = -1; // what the probe read while the box was open
    QString statusThen;
};

class ModalAnswerer : public QObject {
public:
    ModalAnswerer();

    // The files to pick in coming open dialogs, one per dialog; an empty text cancels.
    QStringList filesToPick;
    // What to do in coming dialogs of other kinds (the settings dialog), one per dialog, as
    // a user would: pick, then press a button. With none left such a dialog is closed.
    std::vector<std::function<void(QWidget& dialog)>> dialogActions;
    // Read while each box is open, to tell what the program had done before it.
    std::function<void(SeenBox&)> probe;
    std::vector<SeenBox> seen;

private:
    void Poll();
    void Answer(QWidget* modal);

    QTimer timer_;
    QPointer<QWidget> answered_;
};

} // namespace quorvel::testing
