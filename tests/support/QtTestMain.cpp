// Runs the tests inside one application object, on the offscreen platform unless the
// caller chose another.

#include <QApplication>

#include <gtest/gtest.h>

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Quorvel"));
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
