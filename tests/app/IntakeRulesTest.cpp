// Which files each intake path takes, and in what order the start-up paths run.

#include "WindowFixture.h"

#include "PathText.h"

#include <QFontMetrics>

#include <algorithm>
#include <climits>

namespace quorvel::app::testing {
namespace {

const QString kNoFile = QStringLiteral(": No files opened.");

TEST_F(WindowFixture, DropTakesTheFirstFileThatPassesAndNoOther) {
    Create();
    Show();
    const QString text = folder.Write(QStringLiteral("notes.txt"), ValidHex());
    const QString missing = folder.Path(QStringLiteral("missing.hex"));
    const QString upper = folder.Write(QStringLiteral("b.HEX"), ValidHex());
    const QString later = folder.Write(QStringLiteral("c.hex"), OtherHex());
    Drop({text, missing, upper, later});
    EXPECT_TRUE(dropAccepted);
    EXPECT_EQ(History(), QStringList{QStringLiteral("Opened: ") + upper});
    EXPECT_EQ(window->StatusText(), QStringLiteral(": ") + upper);
    EXPECT_EQ(window->FirmwareImage(), kValidImage);
    EXPECT_TRUE(Boxes().empty());
}

TEST_F(WindowFixture, DropSkipsWhatIsNotALocalFile) {
    Create();
    Show();
    const QString tooLong = QStringLiteral("/") + QString(PATH_MAX, QLatin1Char('a')) + ".hex";
    const QString good = folder.Write(QStringLiteral("fw.hex"), ValidHex());
    Drop({folder.MakeFolder(QStringLiteral("x.hex")), QStringLiteral("https://example.org/fw.hex"),
          tooLong, good});
    EXPECT_EQ(History(), QStringList{QStringLiteral("Opened: ") + good});
}

TEST_F(WindowFixture, DropOfNothingUsableChangesNothing) {
    Create();
    Show();
    Drop({folder.MakeFolder(QStringLiteral("x.hex")), folder.Path(QStringLiteral("gone.hex"))});
    EXPECT_TRUE(History().isEmpty());
    EXPECT_EQ(window->StatusText(), kNoFile);
    EXPECT_TRUE(Boxes().empty());
}

struct RefusedBrowseCase {
    const char* name;
    const char* file;
    bool create;
};

class BrowseRefusals : public WindowFixture,
                       public ::testing::WithParamInterface<RefusedBrowseCase> {};

TEST_P(BrowseRefusals, SayFileNotFoundAndKeepTheStatusAndImage) {
    Create();
    Show();
    const QString loaded = folder.Write(QStringLiteral("fw.hex"), ValidHex());
    Browse(loaded);
    const QString path = GetParam().create ? folder.Write(GetParam().file, ValidHex())
                                           : folder.Path(GetParam().file);
    Browse(path);
    EXPECT_EQ(History(), (QStringList{QStringLiteral("Opened: ") + loaded,
                                      QStringLiteral("File not found: ") + path}));
    EXPECT_EQ(window->StatusText(), QStringLiteral(": ") + loaded);
    EXPECT_EQ(window->FirmwareImage(), kValidImage);
    EXPECT_EQ(window->OpenDialog1->FileName(), loaded) << "only a file that loads is the last file";
}

INSTANTIATE_TEST_SUITE_P(, BrowseRefusals,
                         ::testing::Values(RefusedBrowseCase{"WrongExtension", "notes.txt", true},
                                           RefusedBrowseCase{"Missing", "missing.hex", false}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(WindowFixture, CancelledBrowseDoesNothing) {
    Create();
    Show();
    window->OpenDialog1->SetFileName(QStringLiteral("/picked/before.hex"));
    Browse(QString());
    EXPECT_TRUE(History().isEmpty());
    EXPECT_EQ(window->StatusText(), kNoFile);
    EXPECT_EQ(window->OpenDialog1->FileName(), "/picked/before.hex");
}

TEST_F(WindowFixture, CommandLineLooksAtTheFirstArgumentOnly) {
    const QString good = folder.Write(QStringLiteral("fw.hex"), ValidHex());
    Create({folder.Path(QStringLiteral("missing.hex")), good});
    Show();
    EXPECT_TRUE(History().isEmpty());
    EXPECT_EQ(window->StatusText(), kNoFile);
    EXPECT_TRUE(Boxes().empty());

    Create({good, folder.Write(QStringLiteral("other.hex"), OtherHex())});
    Show();
    EXPECT_EQ(History(), QStringList{QStringLiteral("Opened: ") + good});
}

TEST_F(WindowFixture, CommandLineTakesARelativePathAsTyped) {
    folder.Write(QStringLiteral("fw.hex"), ValidHex());
    const QString before = QDir::currentPath();
    QDir::setCurrent(folder.Path(QString()));
    Create({QStringLiteral("fw.hex")});
    QDir::setCurrent(before);
    EXPECT_EQ(History(), QStringList{QStringLiteral("Opened: fw.hex")});
    EXPECT_EQ(window->StatusText(), ": fw.hex");
}

// The file the program was opened with is the file, whatever the settings stored and whether
// or not it loads; the stored one stands in only when no command-line file was taken in.
TEST_F(WindowFixture, ACommandLineFileIsTakenInsteadOfTheStoredFile) {
    struct Case {
        const char* name;
        QString typed;
        QStringList history;
        image::FirmwareBytes image;
    };
    const QString stored = folder.Write(QStringLiteral("stored.hex"), OtherHex());
    const QString good = folder.Write(QStringLiteral("typed.hex"), ValidHex());
    const QString bad = folder.Write(QStringLiteral("bad.hex"), ChecksumHex());
    const QString missing = folder.Path(QStringLiteral("missing.hex"));
    const Case cases[] = {
        {"Loads", good, {"Opened: " + good}, kValidImage},
        {"FailsToLoad", bad, {"Opened: " + bad}, {}},
        {"IsMissing", missing, {"Opened: " + stored}, kOtherImage},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        window.reset();
        QFile::remove(programFolder.filePath("Settings.ini")); // what the last case saved
        Create({c.typed});
        window->OpenDialog1->SetFileName(stored); // as the stored settings restore it
        Show();
        EXPECT_EQ(History(), c.history);
        EXPECT_EQ(window->FirmwareImage(), c.image);
    }
}

TEST_F(WindowFixture, StoredFileIsTakenOnTheFirstShowOnly) {
    Create();
    window->OpenDialog1->SetFileName(folder.Write(QStringLiteral("fw.hex"), ValidHex()));
    Show();
    window->hide();
    Show();
    EXPECT_EQ(History().size(), 1);
}

TEST_F(WindowFixture, StoredFileThatIsNoHexFileIsIgnoredSilently) {
    Create();
    window->OpenDialog1->SetFileName(folder.Write(QStringLiteral("notes.txt"), ValidHex()));
    Show();
    EXPECT_TRUE(History().isEmpty());
    EXPECT_EQ(window->StatusText(), kNoFile);
}

// A long path loses leading folders until it fits the bar; the file name stays whole.
TEST_F(WindowFixture, StatusBarShortensALongPathToFit) {
    const QString longFolder = QStringLiteral("a-rather-long-folder-name-for-firmware-images");
    const QString nested = longFolder + "/" + longFolder + "/" + longFolder;
    folder.MakeFolder(nested);
    const QString path = folder.Write(nested + QStringLiteral("/fw.hex"), ValidHex());
    Create({path});
    Show();
    const QString shown = window->StatusText();
    const QFontMetrics metrics(window->StatusBar1->font());
    EXPECT_TRUE(shown.startsWith(QLatin1String(".../"))) << shown.toStdString();
    EXPECT_TRUE(shown.endsWith(QStringLiteral("/") + longFolder + QStringLiteral("/fw.hex")) ||
                shown == QLatin1String(".../fw.hex"))
        << shown.toStdString();
    EXPECT_LE(metrics.horizontalAdvance(shown),
              window->StatusBar1->width() - metrics.horizontalAdvance(QLatin1Char('W')));
    EXPECT_EQ(History(), QStringList{QStringLiteral("Opened: ") + path}) << "the log keeps it all";
}

// The panel is narrower than the open window and wider than the closed one: whatever the width,
// and whenever the file came, the path is shortened for what can be seen and its name is whole.
TEST_F(WindowFixture, TheFileNameStaysInViewWhileThePanelSlides) {
    const QString longFolder = QStringLiteral("a-rather-long-folder-name-for-firmware-images");
    const QString nested = longFolder + "/" + longFolder + "/" + longFolder;
    folder.MakeFolder(nested);
    const QString path = folder.Write(nested + QStringLiteral("/fw.hex"), ValidHex());
    Create();
    Show();
    const QFontMetrics metrics(window->StatusBar1->font());
    const auto expectInView = [&] {
        const QString shown = window->StatusText();
        const int visible = std::min(window->StatusBar1->width(), window->StatusBar1->PanelWidth());
        EXPECT_TRUE(shown.endsWith(QLatin1String("/fw.hex"))) << shown.toStdString();
        EXPECT_LE(metrics.horizontalAdvance(shown),
                  visible - metrics.horizontalAdvance(QLatin1Char('W')))
            << shown.toStdString() << " at width " << window->width();
    };
    const auto slide = [&] {
        window->AdvGlowButton1Click();
        while (window->Timer1->isActive()) {
            window->Timer1Timer();
            if (!window->LoadedFile().isEmpty()) expectInView();
        }
    };
    slide(); // open
    Browse(path);
    expectInView();
    const QString open = window->StatusText();
    slide(); // shut
    const QString shut = window->StatusText();
    EXPECT_LT(shut.size(), open.size());
    slide(); // open again: shortened afresh from the whole path, not from what was shown
    EXPECT_EQ(window->StatusText(), open);
}

} // namespace
} // namespace quorvel::app::testing
