// The four intake paths against the outcomes of a load: what the history, the status bar and
// the image hold afterwards, and what the program had already done when a box came up.

#include "WindowFixture.h"

#include "CPort.h"

namespace quorvel::app::testing {
namespace {

enum class Source { Browse, Drop, CommandLine, Stored };
enum class Content { Valid, Checksum, Conversion, Unreadable };

struct IntakeCase {
    const char* name;
    Source source;
    Content content;
    bool openedLine;       // "Opened: " + path is in the history afterwards
    int historyLinesAtBox; // lines already written when the box came up (-1: no box)
};

const IntakeCase kIntakeCases[] = {
    {"BrowseValid", Source::Browse, Content::Valid, true, -1},
    {"DropValid", Source::Drop, Content::Valid, true, -1},
    {"CommandLineValid", Source::CommandLine, Content::Valid, true, -1},
    {"StoredValid", Source::Stored, Content::Valid, true, -1},
    {"BrowseChecksum", Source::Browse, Content::Checksum, true, 0},
    {"DropChecksum", Source::Drop, Content::Checksum, true, 1},
    {"CommandLineChecksum", Source::CommandLine, Content::Checksum, true, 0},
    {"StoredChecksum", Source::Stored, Content::Checksum, true, 1},
    {"BrowseConversion", Source::Browse, Content::Conversion, false, 0},
    {"DropConversion", Source::Drop, Content::Conversion, true, 1},
    {"CommandLineConversion", Source::CommandLine, Content::Conversion, false, 0},
    {"StoredConversion", Source::Stored, Content::Conversion, true, 1},
    {"BrowseUnreadable", Source::Browse, Content::Unreadable, false, 0},
    {"DropUnreadable", Source::Drop, Content::Unreadable, true, 1},
    {"CommandLineUnreadable", Source::CommandLine, Content::Unreadable, false, 0},
    {"StoredUnreadable", Source::Stored, Content::Unreadable, true, 1},
};

class IntakePaths : public WindowFixture, public ::testing::WithParamInterface<IntakeCase> {
protected:
    QString MakeFile(Content content) {
        switch (content) {
        case Content::Valid:
            return folder.Write(QStringLiteral("fw.hex"), ValidHex());
        case Content::Checksum:
            return folder.Write(QStringLiteral("bad.hex"), ChecksumHex());
        case Content::Conversion:
            return folder.Write(QStringLiteral("blank.hex"), ConversionHex());
        case Content::Unreadable:
            return folder.Unreadable(QStringLiteral("locked.hex"));
        }
        return {};
    }

    void TakeIn(Source source, const QString& path) {
        switch (source) {
        case Source::Browse:
            Create();
            Show();
            Browse(path);
            break;
        case Source::Drop:
            Create();
            Show();
            Drop({path});
            break;
        case Source::CommandLine:
            Create({path});
            Show();
            break;
        case Source::Stored:
            Create();
            window->OpenDialog1->SetFileName(path); // as the stored settings restore it
            Show();
            break;
        }
    }

    static QString BoxText(Content content, const QString& path) {
        switch (content) {
        case Content::Valid:
            return {};
        case Content::Checksum:
            return QStringLiteral("CRC check failed. Invalid CRC at line 1 in file 'bad.hex'.\n"
                                  "No data will be loaded.");
        case Content::Conversion:
            return QStringLiteral("'$ ' is not a valid integer value.");
        case Content::Unreadable:
            return QStringLiteral("Cannot open file \"") + path +
                   QStringLiteral("\". Input/output error.");
        }
        return {};
    }
};

TEST_P(IntakePaths, EndAsTheirStepOrderSays) {
    const IntakeCase& intake = GetParam();
    const QString path = MakeFile(intake.content);
    TakeIn(intake.source, path);

    const QStringList expectedHistory =
        intake.openedLine ? QStringList{QStringLiteral("Opened: ") + path} : QStringList{};
    EXPECT_EQ(History(), expectedHistory);
    EXPECT_EQ(window->StatusText(), QStringLiteral(": ") + path);
    if (intake.content == Content::Valid) {
        EXPECT_EQ(window->FirmwareImage(), kValidImage);
        EXPECT_EQ(window->ImageTop(), 5);
    } else {
        EXPECT_TRUE(window->FirmwareImage().empty());
        EXPECT_EQ(window->ImageTop(), 0);
    }

    const auto boxes = Boxes();
    if (intake.historyLinesAtBox < 0) {
        EXPECT_TRUE(boxes.empty());
        return;
    }
    ASSERT_EQ(boxes.size(), 1u);
    const SeenBox& box = boxes[0];
    EXPECT_EQ(box.kind, intake.content == Content::Checksum ? "warning" : "critical");
    EXPECT_EQ(box.title, "Quorvel");
    EXPECT_EQ(box.text, BoxText(intake.content, path));
    EXPECT_EQ(box.buttonCount, 1);
    EXPECT_EQ(box.historyLinesThen, intake.historyLinesAtBox);
    EXPECT_EQ(box.statusThen, QStringLiteral(": ") + path) << "the status bar is written first";
}

INSTANTIATE_TEST_SUITE_P(, IntakePaths, ::testing::ValuesIn(kIntakeCases),
                         [](const auto& info) { return std::string(info.param.name); });

// A stored file that fails to load is reported, and the first show still runs to its end:
// boxes recoloured, port checked, rate forced, the real port in its label.
TEST_F(WindowFixture, AStoredFileThatFailsToLoadLetsTheFirstShowFinish) {
    for (const auto& [name, text] :
         {std::pair{"blank.hex", ConversionHex()}, std::pair{"bad.hex", ChecksumHex()}}) {
        SCOPED_TRACE(name);
        answerer.seen.clear();
        Create();
        OfferPort(programFolder.path(), QStringLiteral("vboard0"));
        window->ComPort1->SetPort(QStringLiteral("vboard0"));
        window->ComPort1->SetBaudRate(serial::br9600);
        const QString path = folder.Write(QString::fromLatin1(name), text);
        window->OpenDialog1->SetFileName(path);
        Show();
        EXPECT_EQ(Boxes().size(), 1u) << "the load's error is reported";
        EXPECT_EQ(History(), QStringList{"Opened: " + path});
        EXPECT_FALSE(window->AdvReflectionLabel1->isVisibleTo(window.get()));
        EXPECT_EQ(window->JvLabel6->text(), "vboard0");
        EXPECT_EQ(window->ComPort1->BaudRate(), serial::br115200);
        EXPECT_EQ(window->JvLabel7->text(), "115200");
    }
}

TEST_F(WindowFixture, AFailedLoadDropsTheImageOfTheFileBefore) {
    Create();
    Show();
    Drop({folder.Write(QStringLiteral("fw.hex"), ValidHex())});
    ASSERT_EQ(window->FirmwareImage(), kValidImage);
    Drop({folder.Write(QStringLiteral("blank.hex"), ConversionHex())});
    EXPECT_TRUE(window->FirmwareImage().empty());
    EXPECT_EQ(window->ImageTop(), 0);
    EXPECT_EQ(Boxes().size(), 1u);
}

// The program goes on after a reported error: the next file is taken in as usual.
TEST_F(WindowFixture, TakesTheNextFileAfterAReportedError) {
    Create();
    Show();
    Browse(folder.Unreadable(QStringLiteral("locked.hex")));
    const QString good = folder.Write(QStringLiteral("fw.hex"), ValidHex());
    Browse(good);
    EXPECT_EQ(History(), QStringList{QStringLiteral("Opened: ") + good});
    EXPECT_EQ(window->FirmwareImage(), kValidImage);
    EXPECT_EQ(window->StatusText(), QStringLiteral(": ") + good);
}

} // namespace
} // namespace quorvel::app::testing
