#pragma once
// Builds the real main window for a test, with its modal boxes answered and its files in a
// temporary folder.

#include "ModalAnswerer.h"
#include "OfferedPorts.h"
#include "Pelmora.h"
#include "QtPrinters.h"
#include "TOpenDialog.h"
#include "TestFiles.h"

#include "LogView.h"
#include "StatusBar.h"
#include "StyledControls.h"

#include <QApplication>
#include <QCoreApplication>
#include <QDir>
#include <QDropEvent>
#include <QFile>
#include <QMimeData>
#include <QTemporaryDir>
#include <QTest>
#include <QUrl>

#include <gtest/gtest.h>

#include <memory>

namespace quorvel::app::testing {

using quorvel::testing::ModalAnswerer;
using quorvel::testing::OfferPort;
using quorvel::testing::SeenBox;
using quorvel::testing::WithdrawPort;

inline TPelmora* TheWindow() {
    for (QWidget* widget : QApplication::topLevelWidgets())
        if (auto* window = qobject_cast<TPelmora*>(widget)) return window;
    return nullptr;
}

inline QStringList HistoryOf(const TPelmora& window) {
    QStringList lines;
    for (int i = 0; i < window.MemoHistoryWindow->LineCount(); ++i)
        lines << window.MemoHistoryWindow->Line(i);
    return lines;
}

class WindowFixture : public ::testing::Test {
protected:
    WindowFixture() {
        // What the program had done when each box came up.
        answerer.probe = [](SeenBox& box) {
            if (TPelmora* window = TheWindow()) {
                box.historyLinesThen = window->MemoHistoryWindow->LineCount();
                box.statusThen = window->StatusText();
            }
        };
    }

    TPelmora& Create(const QStringList& arguments = {}) {
        // The system offers one port, the window's default COM1, so the stored-port check
        // passes without a word.
        OfferPort(programFolder.path(), QStringLiteral("COM1"));
        window = std::make_unique<TPelmora>(arguments, QCoreApplication::applicationFilePath(),
                                            programFolder.path());
        window->SetSysfsTtyRoot(noSerialHardware.path());
        return *window;
    }

    void Show() {
        window->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(window.get()));
    }

    void Browse(const QString& path) {
        answerer.filesToPick << path;
        window->ButtonOpenHex->click();
    }

    // Drops the paths as a file manager does, then lets the window take them in.
    void Drop(const QStringList& paths) {
        QList<QUrl> urls;
        for (const QString& path : paths)
            urls << (path.contains(QLatin1String("://")) ? QUrl(path) : QUrl::fromLocalFile(path));
        DropUrls(urls);
    }

    void DropUrls(const QList<QUrl>& urls) {
        QMimeData data;
        data.setUrls(urls);
        QDragEnterEvent enter(QPoint(40, 40), Qt::CopyAction, &data, Qt::LeftButton,
                              Qt::NoModifier);
        QApplication::sendEvent(window.get(), &enter);
        dragAccepted = enter.isAccepted();
        QDropEvent drop(QPointF(40, 40), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(window.get(), &drop);
        dropAccepted = drop.isAccepted();
        QCoreApplication::processEvents();
        QCoreApplication::processEvents();
    }

    QStringList History() const { return HistoryOf(*window); }

    // The boxes other than the open dialog.
    std::vector<SeenBox> Boxes() const {
        std::vector<SeenBox> boxes;
        for (const auto& box : answerer.seen)
            if (box.kind != "file dialog") boxes.push_back(box);
        return boxes;
    }

    TestFolder folder;
    ModalAnswerer answerer;
    QTemporaryDir programFolder;    // where the window keeps "Settings.ini" and its "ports"
    QTemporaryDir noSerialHardware; // an empty list of the system's serial devices
    std::unique_ptr<TPelmora> window;
    bool dragAccepted = false;
    bool dropAccepted = false;
};

} // namespace quorvel::app::testing
