#include "ModalAnswerer.h"

#include <QAbstractButton>
#include <QApplication>
#include <QFileDialog>
#include <QLabel>
#include <QMessageBox>

namespace quorvel::testing {

namespace {

QString KindOf(const QMessageBox& box) {
    switch (box.icon()) {
    case QMessageBox::Critical:
        return QStringLiteral("critical");
    case QMessageBox::Warning:
        return QStringLiteral("warning");
    case QMessageBox::Information:
        return QStringLiteral("information");
    case QMessageBox::Question:
        return QStringLiteral("question");
    default:
        return QStringLiteral("other");
    }
}

} // namespace

ModalAnswerer::ModalAnswerer() {
    timer_.setInterval(5);
    connect(&timer_, &QTimer::timeout, this, &ModalAnswerer::Poll);
    timer_.start();
}

void ModalAnswerer::Poll() {
    QWidget* modal = QApplication::activeModalWidget();
    if (modal == nullptr || modal == answered_) return;
    answered_ = modal;
    Answer(modal);
}

void ModalAnswerer::Answer(QWidget* modal) {
    SeenBox box;
    box.title = modal->windowTitle();
    if (probe) probe(box);
    if (auto* message = qobject_cast<QMessageBox*>(modal)) {
        box.kind = KindOf(*message);
        box.text = message->text();
        box.buttonCount = static_cast<int>(message->buttons().size());
        seen.push_back(box);
        message->buttons().constFirst()->click();
    } else if (auto* dialog = qobject_cast<QFileDialog*>(modal)) {
        box.kind = QStringLiteral("file dialog");
        seen.push_back(box);
        const QString file = filesToPick.isEmpty() ? QString() : filesToPick.takeFirst();
        if (file.isEmpty()) {
            dialog->reject();
        } else {
            dialog->selectFile(file);
            QMetaObject::invokeMethod(dialog, "accept");
        }
    } else if (auto* content = modal->findChild<QLabel*>(QStringLiteral("Content"))) {
        box.kind = QStringLiteral("task dialog");
        box.text = content->text();
        if (auto* instruction = modal->findChild<QLabel*>(QStringLiteral("Instruction")))
            box.instruction = instruction->text();
        if (auto* details = modal->findChild<QLabel*>(QStringLiteral("Details")))
            box.details = details->text();
        box.buttonCount = static_cast<int>(modal->findChildren<QAbstractButton*>().size()) - 1;
        seen.push_back(box);
        QMetaObject::invokeMethod(modal, "accept");
    } else {
        box.kind = QStringLiteral("other");
        seen.push_back(box);
        if (dialogActions.empty()) {
            modal->close();
            return;
        }
        const auto action = dialogActions.front();
        dialogActions.erase(dialogActions.begin());
        action(*modal);
    }
}

} // namespace quorvel::testing
