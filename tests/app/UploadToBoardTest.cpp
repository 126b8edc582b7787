// The whole job against the virtual board on a pseudo-terminal: connect, upload, the end.

#include "WindowFixture.h"

#include "BackgroundBoard.h"
#include "CPort.h"
#include "HexText.h"
#include "ProcessRunner.h"

#include <QTimer>

namespace quorvel::app::testing {
namespace {

using namespace std::chrono_literals;
using quorvel::testing::HexTextOf;
using quorvel::testing::Lines;
using quorvel::testing::Record;

std::vector<std::uint8_t> Pattern(std::size_t length) {
    std::vector<std::uint8_t> bytes(length);
    for (std::size_t i = 0; i < length; ++i)
        bytes[i] = static_cast<std::uint8_t>(i * 7 + 3);
    return bytes;
}

class UploadToBoard : public WindowFixture {
protected:
    static board::BoardOptions Quick() {
        board::BoardOptions options;
        options.baudRate = 0;     // as fast as the line goes
        options.silence = 1000ms; // a loaded machine may stall the window for a while
        return options;
    }

    // The window with a file taken in and its port pointed at the board.
    void Prepare(board::BackgroundBoard& board, const std::vector<std::uint8_t>& image) {
        const QString hex = folder.Write("fw.hex", HexTextOf(image));
        Create({hex});
        Show();
        window->ComPort1->SetPort(QString::fromStdString(board.SlavePath()));
    }

    void Connect() {
        window->ButtonConnect->click();
        ASSERT_EQ(window->ButtonConnect->text(), "Disconnect")
            << History().join("\n").toStdString();
    }

    std::vector<SeenBox> TaskDialogs() const {
        std::vector<SeenBox> dialogs;
        for (const auto& box : answerer.seen)
            if (box.kind == "task dialog") dialogs.push_back(box);
        return dialogs;
    }
};

TEST_F(UploadToBoard, EvenAndOddImagesArriveWholeWithTheirTail) {
    for (const std::size_t length : {std::size_t{300}, std::size_t{301}}) {
        SCOPED_TRACE(length);
        board::BackgroundBoard board(Quick());
        const auto image = Pattern(length);
        Prepare(board, image);
        Connect();
        window->ButtonStartBootloader->click();
        const auto result = board.WaitFor(5s);
        ASSERT_TRUE(result.has_value());
        EXPECT_EQ(result->Image(), image);
        EXPECT_TRUE(result->TailOk());
        EXPECT_EQ(result->stream.size(), length + 63);
        EXPECT_EQ(result->unexpectedBytes, 0u);
        EXPECT_EQ(History().mid(1),
                  (QStringList{"Waiting MCU response...", "Connected.", "Uploading...",
                               "Finishing...", "Completed successfully.", "Disconnected."}));
        ASSERT_EQ(TaskDialogs().size(), 1u);
        EXPECT_EQ(TaskDialogs()[0].title, "Success");
        EXPECT_EQ(TaskDialogs()[0].instruction, "Reset MCU.");
        EXPECT_EQ(TaskDialogs()[0].text, "Uploading program has finished.");
        EXPECT_EQ(window->MemoTerminalWindow->LineCount(), static_cast<int>(length));
        EXPECT_EQ(window->MemoTerminalWindow->Line(0), "                     yy: 03");
        EXPECT_EQ(window->MemoTerminalWindow->Line(1), "         xx: 0A");
        EXPECT_FALSE(window->ComPort1->Connected());
        EXPECT_EQ(window->ButtonConnect->text(), "Connect");
        EXPECT_TRUE(window->ButtonOpenHex->isEnabled());
        window.reset();
        answerer.seen.clear();
        QFile::remove(programFolder.filePath("Settings.ini")); // the next board has another path
    }
}

TEST_F(UploadToBoard, StopDuringTheUploadSendsTheCurrentPairAndReportsAnAbort) {
    auto options = Quick();
    options.baudRate = 115200; // slow enough for the click to land mid-upload
    board::BackgroundBoard board(options);
    Prepare(board, Pattern(2000));
    Connect();
    QTimer::singleShot(100, window.get(), [this] {
        EXPECT_EQ(window->ButtonStartBootloader->text(), "Stop uploading");
        window->ButtonStartBootloader->click(); // runs nested inside a wait
    });
    window->ButtonStartBootloader->click();
    const auto result = board.WaitFor(5s);
    ASSERT_TRUE(result.has_value());
    EXPECT_GT(result->stream.size(), 0u);
    EXPECT_LT(result->stream.size(), 2000u);
    // A stop ends after the second byte of a pair, which goes out without waiting for its
    // request: the board counts it as unasked for (and the first one too when the stop came
    // before that byte's request).
    EXPECT_EQ((result->stream.size() + result->unexpectedBytes) % 2, 0u);
    EXPECT_LE(result->unexpectedBytes, 2u);
    EXPECT_EQ(History().mid(4), (QStringList{"Finishing...", "Upload aborted.", "Disconnected."}));
    ASSERT_EQ(TaskDialogs().size(), 1u);
    EXPECT_EQ(TaskDialogs()[0].title, "Aborted");
    EXPECT_EQ(TaskDialogs()[0].instruction, "Reset MCU.");
    EXPECT_EQ(TaskDialogs()[0].text, "Uploading program was aborted.");
    EXPECT_FALSE(window->ComPort1->Connected());
}

// A file dropped while the upload runs must not change what is being sent.
TEST_F(UploadToBoard, ADropDuringTheUploadIsRefusedAndLeavesItAlone) {
    auto options = Quick();
    options.baudRate = 115200; // slow enough for the drop to land mid-upload
    board::BackgroundBoard board(options);
    const auto image = Pattern(2000);
    Prepare(board, image);
    const QString sending = window->LoadedFile();
    const QString other = folder.Write("other.hex", HexTextOf(Pattern(10)));
    Connect();
    QTimer::singleShot(100, window.get(), [&] {
        EXPECT_EQ(window->UploadRunning(), 1);
        Drop({other});
        EXPECT_FALSE(dragAccepted);
        EXPECT_FALSE(dropAccepted);
        EXPECT_EQ(window->FirmwareImage(), image);
        EXPECT_EQ(window->StatusText(), ": " + sending);
    });
    window->ButtonStartBootloader->click();
    const auto result = board.WaitFor(5s);
    ASSERT_TRUE(result.has_value());
    EXPECT_EQ(result->Image(), image);
    EXPECT_FALSE(History().contains("Opened: " + other));
    // Once the upload is over, drops are taken again.
    Drop({other});
    EXPECT_EQ(window->FirmwareImage(), Pattern(10));
}

TEST_F(UploadToBoard, ABoardThatStopsAskingTimesOut) {
    auto options = Quick();
    options.stopAfter = 100;
    options.silence = 10s;
    board::BackgroundBoard board(options);
    Prepare(board, Pattern(500));
    Connect();
    window->ButtonStartBootloader->click();
    EXPECT_EQ(History().mid(3),
              (QStringList{"Uploading...", "Error: Timeout waiting for MCU.", "Disconnected."}));
    EXPECT_TRUE(TaskDialogs().empty());
    EXPECT_FALSE(window->ComPort1->Connected());
}

// The error is reported, and the window is idle again at once: port closed, every step button
// back with its caption, and one click connects to the next board. "Close when finished" does
// not take the report away.
TEST_F(UploadToBoard, ABoardThatHangsUpIsReportedAndTheWindowIsIdleAgain) {
    auto options = Quick();
    options.hangUpAfter = 50;
    board::BackgroundBoard board(options);
    Prepare(board, Pattern(500));
    window->CheckBoxClose->setChecked(true);
    Connect();
    window->ButtonStartBootloader->click();
    ASSERT_FALSE(Boxes().empty()) << "the serial error is reported";
    EXPECT_EQ(Boxes().back().kind, "critical");
    EXPECT_FALSE(window->ComPort1->Connected());
    EXPECT_EQ(window->ButtonStartBootloader->text(), "Begin uploading");
    EXPECT_EQ(window->ButtonConnect->text(), "Connect");
    for (auto* button : {window->ButtonConnect, window->ButtonSetupPort, window->ButtonOpenHex,
                         window->ButtonStartBootloader})
        EXPECT_TRUE(button->isEnabled()) << button->objectName().toStdString();
    EXPECT_EQ(History().back(), "Disconnected.");
    EXPECT_FALSE(History().contains("Completed successfully."));
    EXPECT_TRUE(TaskDialogs().empty());
    EXPECT_TRUE(window->isVisible());

    board::BackgroundBoard next(Quick());
    window->ComPort1->SetPort(QString::fromStdString(next.SlavePath()));
    Connect();
}

// Connected, but the image is empty: the upload is refused before a single byte goes out.
TEST_F(UploadToBoard, WithoutAnImageNothingIsSent) {
    struct Case {
        const char* name;
        std::string hex; // empty: no file is ever taken in
    };
    const Case cases[] = {{"NoFileTakenIn", ""},
                          {"ALoadThatFailed", Lines({Record(0, 0, {1}), Record(1, 0, {2}, 1)})},
                          {"NoDataRecords", Lines({Record(0, 1, {})})}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        board::BackgroundBoard board(Quick());
        Create(c.hex.empty() ? QStringList{} : QStringList{folder.Write("fw.hex", c.hex)});
        Show();
        window->ComPort1->SetPort(QString::fromStdString(board.SlavePath()));
        Connect();
        window->ButtonStartBootloader->click();
        EXPECT_EQ(History().back(), "Error: Load HEX file first.");
        EXPECT_TRUE(TaskDialogs().empty());
        EXPECT_TRUE(window->ComPort1->Connected());
        EXPECT_EQ(window->ButtonStartBootloader->text(), "Begin uploading");
        const auto result = board.WaitFor(5s);
        ASSERT_TRUE(result.has_value());
        EXPECT_TRUE(result->handshakeDone);
        EXPECT_TRUE(result->stream.empty());
        EXPECT_EQ(result->unexpectedBytes, 0u);
        window.reset();
        answerer.seen.clear();
        QFile::remove(programFolder.filePath("Settings.ini"));
    }
}

// Opened with a file, the program flashes that file, whatever the settings remembered; the
// dialog names it and the settings remember it next.
TEST_F(UploadToBoard, TheFileOnTheCommandLineIsTheFileUploaded) {
    const QString stored = folder.Write("stored.hex", HexTextOf(Pattern(40)));
    QFile settings(programFolder.filePath("Settings.ini"));
    ASSERT_TRUE(settings.open(QIODevice::WriteOnly));
    settings.write("[frmPelmora]\r\nOpenDialog1_FileName=" + stored.toUtf8() + "\r\n");
    settings.close();
    const std::vector<std::uint8_t> opened{0x12, 0x34, 0x56};
    const QString typed = folder.Write("typed.hex", HexTextOf(opened));
    board::BackgroundBoard board(Quick());
    Create({typed});
    Show();
    window->ComPort1->SetPort(QString::fromStdString(board.SlavePath()));
    Connect();
    window->ButtonStartBootloader->click();
    const auto result = board.WaitFor(5s);
    ASSERT_TRUE(result.has_value());
    EXPECT_EQ(result->Image(), opened);
    EXPECT_TRUE(result->TailOk());
    ASSERT_EQ(TaskDialogs().size(), 1u);
    EXPECT_EQ(TaskDialogs()[0].details,
              "Uploading program \"" + typed + "\" has finished with success.");
    window->close();
    window.reset();
    ASSERT_TRUE(settings.open(QIODevice::ReadOnly));
    EXPECT_TRUE(settings.readAll().contains("OpenDialog1_FileName=" + typed.toUtf8() + "\r\n"));
}

TEST_F(UploadToBoard, ADisconnectClickDuringThePollEndsIt) {
    auto options = Quick();
    options.startDelay = 10s; // no "g" for a long time
    board::BackgroundBoard board(options);
    Prepare(board, Pattern(10));
    QTimer::singleShot(50, window.get(), [this] { window->ButtonConnect->click(); });
    window->ButtonConnect->click();
    EXPECT_EQ(History().mid(1), (QStringList{"Waiting MCU response...", "Disconnected."}));
    EXPECT_FALSE(window->ComPort1->Connected());
    EXPECT_TRUE(window->ButtonStartBootloader->isEnabled());
}

// After a success, a stop and a timeout alike (a serial error is another matter, above).
TEST_F(UploadToBoard, CloseWhenFinishedEndsTheProgramAfterTheUpload) {
    enum class End { Success, Stop, Timeout };
    for (const End end : {End::Success, End::Stop, End::Timeout}) {
        SCOPED_TRACE(static_cast<int>(end));
        auto options = Quick();
        if (end == End::Stop) options.baudRate = 115200; // slow enough for the click
        if (end == End::Timeout) options.stopAfter = 10;
        board::BackgroundBoard board(options);
        Prepare(board, Pattern(end == End::Stop ? 2000 : 20));
        window->CheckBoxClose->setChecked(true);
        Connect();
        if (end == End::Stop)
            QTimer::singleShot(100, window.get(),
                               [this] { window->ButtonStartBootloader->click(); });
        window->ButtonStartBootloader->click();
        EXPECT_FALSE(window->isVisible());
        EXPECT_FALSE(window->ComPort1->Connected());
        if (end == End::Success) {
            EXPECT_EQ(board.WaitFor(5s)->Image(), Pattern(20));
        }
        window.reset();
        answerer.seen.clear();
        QFile::remove(programFolder.filePath("Settings.ini"));
    }
}

// The command line is the same conversation with another face: for the same file a board gets
// the same bytes in the same order from either.
TEST_F(UploadToBoard, TheCommandLineSendsTheSameBytesAsTheWindow) {
    const auto image = Pattern(777);
    board::BackgroundBoard throughWindow(Quick());
    Prepare(throughWindow, image);
    Connect();
    window->ButtonStartBootloader->click();
    const auto fromWindow = throughWindow.WaitFor(5s);
    ASSERT_TRUE(fromWindow.has_value());

    board::BackgroundBoard throughCommandLine(Quick());
    const auto run = quorvel::testing::RunProcess({QUORVEL_CLI, "upload", "--port",
                                                   throughCommandLine.SlavePath(),
                                                   folder.Path("fw.hex").toStdString()});
    EXPECT_EQ(run.exitStatus, 0) << run.standardError;
    const auto fromCommandLine = throughCommandLine.WaitFor(5s);
    ASSERT_TRUE(fromCommandLine.has_value());
    EXPECT_EQ(fromCommandLine->stream, fromWindow->stream);
    EXPECT_EQ(fromCommandLine->Image(), image);
    EXPECT_EQ(fromCommandLine->unexpectedBytes, fromWindow->unexpectedBytes);
}

} // namespace
} // namespace quorvel::app::testing
