// quorvel: uploads a firmware image from an Intel HEX file to the Vantora board's bootloader.

#include "CPort.h"
#include "Pelmora.h"

#include <QApplication>
#include <QMessageBox>

#include <cstdio>
#include <exception>

int main(int argc, char** argv) {
    QApplication application(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Quorvel"));
    quorvel::serial::ComErrorTexts(); // looked up once, in the user's language

    try {
        quorvel::app::TPelmora window(QApplication::arguments().mid(1),
                                      QApplication::applicationFilePath());
        window.show();
        return application.exec();
    } catch (const std::exception& error) {
        // Only building the window can get here (an unreadable "Settings.ini", say); every
        // handler has its own guard. The start-up ends before the window shows.
        std::fprintf(stderr, "quorvel: %s\n", error.what());
        QMessageBox::critical(nullptr, QApplication::applicationName(),
                              QString::fromLocal8Bit(error.what()));
        return 1;
    }
}
