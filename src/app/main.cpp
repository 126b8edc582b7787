// quorvel: uploads a firmware image from an Intel HEX file to the Vantora board's bootloader.

#include "Pelmora.h"

#include <QApplication>

#include <cstdio>
#include <exception>

int main(int argc, char** argv) {
    QApplication application(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Quorvel"));
    try {
        quorvel::app::TPelmora window(QApplication::arguments().mid(1),
                                      QApplication::applicationFilePath());
        window.show();
        return application.exec();
    } catch (const std::exception& error) {
        // Only building the window can get here; every handler has its own guard.
        std::fprintf(stderr, "quorvel: %s\n", error.what());
        return 1;
    }
}
