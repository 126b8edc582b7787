// The error messages and the settings dialog under a German user: the catalogue compiled by
// the build beside this program is found and used, for the texts, the system-error suffix and
// the dialog's captions.
#include "ComErrors.h"
#include "ComSetupDialog.h"

#include "PortFolders.h"
#include "QtPrinters.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <clocale>
#include <cstdlib>

namespace quorvel::serial {
namespace {

TEST(GermanCatalogue, TranslatesTheTextsAtStart) {
    EXPECT_EQ(ComErrorTexts()[0], QStringLiteral("COM-Port kann nicht geöffnet werden"));
    EXPECT_EQ(ComErrorTexts()[13],
              QStringLiteral("Eigenschaft kann bei bestehender Verbindung nicht geändert werden"));
    for (const QString& text : ComErrorTexts())
        EXPECT_FALSE(text.isEmpty());
}

TEST(GermanCatalogue, TranslatesTheSuffixWithTheNumberInPlace) {
    EXPECT_EQ(EComPort(1, 2).Message(),
              QStringLiteral("COM-Port kann nicht geöffnet werden (Win-Fehlercode: 2)"));
    EXPECT_EQ(EComPort(3, 5).Message(),
              QStringLiteral("Funktion ReadFile fehlgeschlagen (Win-Fehlercode: 5)"));
    EXPECT_EQ(EComPort(18).Message(),
              QStringLiteral("An- oder Abmeldung der Verknüpfung fehlgeschlagen"));
}

// The lists keep the vocabulary's texts, which the conversions read back.
TEST(GermanCatalogue, TranslatesTheDialogsCaptionsButNotItsLists) {
    testing::PortFolders folders;
    folders.Offer(QStringLiteral("Port"));
    TComSetupFrm dialog(folders.Source());
    EXPECT_EQ(dialog.windowTitle(), QStringLiteral("Einrichtung"));
    EXPECT_EQ(dialog.GroupBox1->title(), QStringLiteral(" Einstellungen "));
    EXPECT_EQ(dialog.Label1->text(), QStringLiteral("Anschluss"));
    EXPECT_EQ(dialog.Label2->text(), QStringLiteral("Baudrate"));
    EXPECT_EQ(dialog.Label3->text(), QStringLiteral("Datenbits"));
    EXPECT_EQ(dialog.Label4->text(), QStringLiteral("Stoppbits"));
    EXPECT_EQ(dialog.Label5->text(), QStringLiteral("Parität"));
    EXPECT_EQ(dialog.Label6->text(), QStringLiteral("Flusssteuerung"));
    EXPECT_EQ(dialog.Button1->text(), QStringLiteral("OK"));
    EXPECT_EQ(dialog.Button2->text(), QStringLiteral("Abbrechen"));
    EXPECT_EQ(dialog.Combo1->itemText(0), QStringLiteral("Port")); // a port's name, as it is
    EXPECT_EQ(dialog.Combo5->itemText(0), QStringLiteral("None"));
    EXPECT_EQ(dialog.Combo6->itemText(3), QStringLiteral("Custom"));
}

} // namespace
} // namespace quorvel::serial

// German without installed locales: C.UTF-8 with LANGUAGE, set before the texts are looked up.
int main(int argc, char** argv) {
    setenv("LC_ALL", "C.UTF-8", 1);
    setenv("LANGUAGE", "de", 1);
    if (!std::setlocale(LC_ALL, "")) {
        std::fprintf(stderr, "the C.UTF-8 locale is missing\n");
        return 1;
    }
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv); // the dialog's test needs one
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
