// The error messages under a German user: the catalogue compiled by the build beside this
// program is found and used, for the texts and for the system-error suffix.
#include "ComErrors.h"

#include "QtPrinting.h"

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
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
