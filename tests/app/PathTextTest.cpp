#include "PathText.h"

#include <gtest/gtest.h>

#include <vector>

namespace quorvel::app {
namespace {

// One pixel per character keeps the limits readable.
int CharacterWidth(const QString& text) {
    return static_cast<int>(text.size());
}

struct ShorteningCase {
    const char* name;
    QString text;
    QChar separator;
    std::vector<QString> forms; // the full text first, then each shorter form in turn
};

class ShortenPathForms : public ::testing::TestWithParam<ShorteningCase> {};

// Whatever the limit, the result is the first form of the sequence that fits, or the last.
TEST_P(ShortenPathForms, ShowsTheFirstFormThatFits) {
    const auto& shortening = GetParam();
    for (int limit = 0; limit <= CharacterWidth(shortening.text) + 1; ++limit) {
        QString expected = shortening.forms.back();
        for (const QString& form : shortening.forms) {
            if (CharacterWidth(form) <= limit) {
                expected = form;
                break;
            }
        }
        EXPECT_EQ(ShortenPath(shortening.text, CharacterWidth, limit, shortening.separator),
                  expected)
            << "limit " << limit;
    }
}

TEST_P(ShortenPathForms, NeverShortensTheNameItself) {
    const auto& shortening = GetParam();
    EXPECT_EQ(ShortenPath(shortening.text, CharacterWidth, 0, shortening.separator),
              shortening.forms.back());
}

const QChar kBackslash = QLatin1Char('\\');
const QChar kSlash = QLatin1Char('/');

INSTANTIATE_TEST_SUITE_P(
    , ShortenPathForms,
    ::testing::Values(
        ShorteningCase{"DriveWithPrefix",
                       QStringLiteral(": C:\\Work\\Boards\\fw\\blink.hex"),
                       kBackslash,
                       {QStringLiteral(": C:\\Work\\Boards\\fw\\blink.hex"),
                        QStringLiteral("...\\Work\\Boards\\fw\\blink.hex"),
                        QStringLiteral("...\\Boards\\fw\\blink.hex"),
                        QStringLiteral("...\\fw\\blink.hex"), QStringLiteral("...\\blink.hex"),
                        QStringLiteral("blink.hex")}},
        ShorteningCase{"NetworkPath",
                       QStringLiteral(": \\\\server\\share\\f.hex"),
                       kBackslash,
                       {QStringLiteral(": \\\\server\\share\\f.hex"),
                        QStringLiteral("...\\\\server\\share\\f.hex"),
                        QStringLiteral("...\\server\\share\\f.hex"),
                        QStringLiteral("...\\share\\f.hex"), QStringLiteral("...\\f.hex"),
                        QStringLiteral("f.hex")}},
        ShorteningCase{"RelativeName",
                       QStringLiteral(": blink.hex"),
                       kBackslash,
                       {QStringLiteral(": blink.hex"), QStringLiteral(" blink.hex")}},
        ShorteningCase{"DriveWithoutPrefix",
                       QStringLiteral("C:\\a\\f.hex"),
                       kBackslash,
                       {QStringLiteral("C:\\a\\f.hex"), QStringLiteral("C:\\...\\f.hex"),
                        QStringLiteral("...\\f.hex"), QStringLiteral("f.hex")}},
        ShorteningCase{"RootedWithoutPrefix",
                       QStringLiteral("\\a\\b\\f.hex"),
                       kBackslash,
                       {QStringLiteral("\\a\\b\\f.hex"), QStringLiteral("\\...\\b\\f.hex"),
                        QStringLiteral("\\...\\f.hex"), QStringLiteral("...\\f.hex"),
                        QStringLiteral("f.hex")}},
        ShorteningCase{"LinuxAbsolute",
                       QStringLiteral(": /home/user/fw/blink.hex"),
                       kSlash,
                       {QStringLiteral(": /home/user/fw/blink.hex"),
                        QStringLiteral(".../home/user/fw/blink.hex"),
                        QStringLiteral(".../user/fw/blink.hex"), QStringLiteral(".../fw/blink.hex"),
                        QStringLiteral(".../blink.hex"), QStringLiteral("blink.hex")}},
        ShorteningCase{"LinuxBackslashIsPartOfTheName",
                       QStringLiteral(": /tmp/a\\b.hex"),
                       kSlash,
                       {QStringLiteral(": /tmp/a\\b.hex"), QStringLiteral(".../tmp/a\\b.hex"),
                        QStringLiteral(".../a\\b.hex"), QStringLiteral("a\\b.hex")}},
        ShorteningCase{"LinuxRootedWithoutPrefix",
                       QStringLiteral("/srv/f.hex"),
                       kSlash,
                       {QStringLiteral("/srv/f.hex"), QStringLiteral("/.../f.hex"),
                        QStringLiteral(".../f.hex"), QStringLiteral("f.hex")}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(ShortenPath, LeavesATextExactlyAsWideAsTheLimit) {
    const QString text = QStringLiteral(": /a/b.hex");
    EXPECT_EQ(ShortenPath(text, CharacterWidth, CharacterWidth(text)), text);
    EXPECT_EQ(ShortenPath(text, CharacterWidth, CharacterWidth(text) - 1), ".../b.hex");
}

struct CutCase {
    QString before;
    QChar separator;
    QString after;
};

class CutFirstFolderCases : public ::testing::TestWithParam<CutCase> {};

TEST_P(CutFirstFolderCases, DropsOneLeadingFolder) {
    QString folder = GetParam().before;
    CutFirstFolder(folder, GetParam().separator);
    EXPECT_EQ(folder, GetParam().after) << "from " << GetParam().before.toStdString();
}

INSTANTIATE_TEST_SUITE_P(
    , CutFirstFolderCases,
    ::testing::Values(CutCase{QStringLiteral("\\"), kBackslash, QString()},
                      CutCase{QStringLiteral("\\a\\b\\"), kBackslash, QStringLiteral("\\...\\b\\")},
                      CutCase{QStringLiteral("...\\b\\"), kBackslash, QStringLiteral("...\\")},
                      CutCase{QStringLiteral("...\\"), kBackslash, QString()},
                      CutCase{QStringLiteral("a"), kBackslash, QString()},
                      CutCase{QStringLiteral("/"), kSlash, QString()},
                      CutCase{QStringLiteral("/a/b/"), kSlash, QStringLiteral("/.../b/")},
                      CutCase{QStringLiteral("a\\b/"), kSlash, QStringLiteral(".../")}));

struct ExtensionCase {
    QString path;
    QChar separator;
    bool isHex;
};

class HexExtensionCases : public ::testing::TestWithParam<ExtensionCase> {};

TEST_P(HexExtensionCases, TakesTheTextAfterTheLastDotOfTheName) {
    EXPECT_EQ(HasHexExtension(GetParam().path, GetParam().separator), GetParam().isHex)
        << GetParam().path.toStdString();
}

INSTANTIATE_TEST_SUITE_P(
    , HexExtensionCases,
    ::testing::Values(
        ExtensionCase{QStringLiteral("/fw/blink.hex"), kSlash, true},
        ExtensionCase{QStringLiteral("/fw/b.HEX"), kSlash, true},
        ExtensionCase{QStringLiteral("b.HeX"), kSlash, true},
        ExtensionCase{QStringLiteral(".hex"), kSlash, true},
        ExtensionCase{QStringLiteral("/fw/notes.txt"), kSlash, false},
        ExtensionCase{QStringLiteral("/fw/a.hex.txt"), kSlash, false},
        ExtensionCase{QStringLiteral("/fw/a.hexx"), kSlash, false},
        ExtensionCase{QStringLiteral("/fw/a.he"), kSlash, false},
        ExtensionCase{QStringLiteral("/fw/hex"), kSlash, false},
        ExtensionCase{QStringLiteral("/fw.hex/image"), kSlash, false},
        ExtensionCase{QStringLiteral("/fw/x.hex:"), kSlash, false},
        ExtensionCase{QStringLiteral("/fw/dir.hex\\image"), kSlash, false},
        ExtensionCase{QStringLiteral("/fw/dir\\image.hex"), kSlash, true},
        ExtensionCase{QStringLiteral("C:\\fw.hex\\image"), kBackslash, false},
        ExtensionCase{QStringLiteral("C:\\fw\\image.Hex"), kBackslash, true},
        ExtensionCase{QStringLiteral("C:image.hex"), kBackslash, true},
        // Only ASCII letters fold: a dotless or accented look-alike is another extension.
        ExtensionCase{QString::fromUtf8("/fw/a.h\u00c9x"), kSlash, false}));

} // namespace
} // namespace quorvel::app
