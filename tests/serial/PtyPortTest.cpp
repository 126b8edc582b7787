// The port on real pseudo-terminals, the test playing the board at the master end.
#include "CPort.h"
#include "ProgramFoldersQt.h"
#include "posix/DeviceHolders.h"
#include "posix/LineTermios.h"
#include "posix/PosixSerialDevice.h"

#include "OfferedPorts.h"
#include "PseudoTerminalPair.h"
#include "QtPrinters.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <atomic>
#include <csignal>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

namespace quorvel::serial {
namespace {

using quorvel::testing::kPatience;
using quorvel::testing::PseudoTerminalPair;

void ExpectError(const std::function<void()>& call, int code, int systemError) {
    try {
        call();
        ADD_FAILURE() << "no EComPort, expected code " << code;
    } catch (const EComPort& error) {
        EXPECT_EQ(error.ErrorCode(), code) << error.what();
        EXPECT_EQ(error.SystemError(), systemError) << error.what();
    }
}

class PtyPort : public ::testing::Test {
protected:
    PtyPort() { port.SetPort(pty.SlavePath()); }

    // Polls the port as the upload does, one character per attempt, until `count` arrived.
    std::string ReadFromPort(std::size_t count) {
        std::string bytes;
        QString text;
        const auto deadline = std::chrono::steady_clock::now() + kPatience;
        while (bytes.size() < count && std::chrono::steady_clock::now() < deadline) {
            if (port.ReadText(text, 1) == 1) bytes.push_back(static_cast<char>(text[0].unicode()));
        }
        return bytes;
    }

    // Waits until the driver has queued `count` received bytes.
    bool QueuedBecomes(int count) {
        const auto deadline = std::chrono::steady_clock::now() + kPatience;
        while (std::chrono::steady_clock::now() < deadline)
            if (port.QueuedInputCount() == count) return true;
        return false;
    }

    posix::LineTermios SlaveTermios() {
        posix::LineTermios termios;
        EXPECT_EQ(posix::ReadLineTermios(pty.Slave(), termios), 0);
        return termios;
    }

    PseudoTerminalPair pty;
    TComPort port;
};

TEST_F(PtyPort, OpensAndClosesAndOpensAgain) {
    port.SetConnected(true);
    EXPECT_TRUE(port.Connected());
    port.SetConnected(false);
    EXPECT_FALSE(port.Connected());
    port.SetConnected(true);
    EXPECT_TRUE(port.Connected());
}

TEST_F(PtyPort, ASecondOpenOfTheSameDeviceFailsUntilTheFirstCloses) {
    port.SetConnected(true);
    TComPort second;
    second.SetPort(pty.SlavePath());
    ExpectError([&] { second.SetConnected(true); }, 1, EWOULDBLOCK);
    EXPECT_FALSE(second.Connected());
    port.SetConnected(false);
    second.SetConnected(true);
    EXPECT_TRUE(second.Connected());
}

TEST(PortOpening, ADeviceThatIsNotThereOrNoTerminalFailsWithCode1) {
    QTemporaryDir folder;
    const QString plainFile = folder.filePath(QStringLiteral("plain"));
    QFile file(plainFile);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.close();
    const std::pair<QString, int> rows[] = {
        {QStringLiteral("ttyQuorvelAbsent9"), ENOENT},
        {QString(), EISDIR}, // "/dev/" itself
        {QStringLiteral("/nonexistent/ttyS0"), ENOENT},
        {plainFile, ENOTTY},
        {folder.path(), EISDIR},
    };
    for (const auto& [name, error] : rows) {
        TComPort port;
        port.SetPort(name);
        ExpectError([&] { port.SetConnected(true); }, 1, error);
        EXPECT_FALSE(port.Connected()) << name.toStdString();
    }
}

int OpenDescriptors() {
    return static_cast<int>(QDir(QStringLiteral("/proc/self/fd"))
                                .entryList(QDir::NoDotAndDotDot | QDir::AllEntries)
                                .size());
}

TEST(PortOpening, NoFailureAndNoEndOfAPortLeavesADescriptorOpen) {
    PseudoTerminalPair pty;
    const int before = OpenDescriptors();
    {
        TComPort holder, refused, absent, destroyedOpen;
        holder.SetPort(pty.SlavePath());
        holder.SetConnected(true);
        refused.SetPort(pty.SlavePath());
        EXPECT_THROW(refused.SetConnected(true), EComPort); // busy
        holder.SetConnected(false);
        refused.Buffer()->SetInputSize(-2);
        EXPECT_THROW(refused.SetConnected(true), EComPort); // settings refused
        absent.SetPort(QStringLiteral("ttyQuorvelAbsent9"));
        EXPECT_THROW(absent.SetConnected(true), EComPort);
        destroyedOpen.SetPort(pty.SlavePath());
        destroyedOpen.SetConnected(true); // closed by its destructor
    }
    EXPECT_EQ(OpenDescriptors(), before);
}

TEST(PortOpening, APortNamedInThePortsFolderBesideTheProgramOpensItsLink) {
    PseudoTerminalPair pty;
    QTemporaryDir folder;
    const QString ports = common::qt::PortsFolder(folder.path());
    ASSERT_TRUE(QDir().mkdir(ports));
    ASSERT_TRUE(QFile::link(pty.SlavePath(), ports + QStringLiteral("/vantora")));
    TComPort port;
    port.SetDeviceOpener(std::make_shared<posix::PosixDeviceOpener>(folder.path()));
    port.SetPort(QStringLiteral("vantora"));
    port.SetConnected(true);
    port.WriteText(QStringLiteral("r"));
    EXPECT_EQ(pty.Receive(1), "r");
}

TEST(DevicePath, NamesAPathALinkBesideTheProgramOrADeviceUnderDev) {
    QTemporaryDir folder;
    const QString programFolder = folder.path();
    quorvel::testing::OfferPort(programFolder, QStringLiteral("board"));
    const std::pair<QString, QString> rows[] = {
        {QStringLiteral("/dev/pts/3"), QStringLiteral("/dev/pts/3")},
        {QStringLiteral("ttyUSB0"), QStringLiteral("/dev/ttyUSB0")},
        {QStringLiteral("board"), programFolder + QStringLiteral("/ports/board")},
        {QStringLiteral("Board"), QStringLiteral("/dev/Board")},
        {QString(), QStringLiteral("/dev/")},
    };
    for (const auto& [port, path] : rows)
        EXPECT_EQ(posix::DevicePath(port, programFolder), path) << port.toStdString();
    EXPECT_EQ(posix::DevicePath(QStringLiteral("board"), QString()), QStringLiteral("/dev/board"));
}

class RateOnTheLine : public PtyPort, public ::testing::WithParamInterface<TBaudRate> {};

TEST_P(RateOnTheLine, ReadsBackFromTheDevice) {
    port.SetConnected(true);
    port.SetBaudRate(GetParam());
    const posix::LineTermios termios = SlaveTermios();
    EXPECT_EQ(termios.ospeed, BaudRateValue(GetParam()));
    EXPECT_EQ(termios.ispeed, BaudRateValue(GetParam()));
}

INSTANTIATE_TEST_SUITE_P(EveryListedRate, RateOnTheLine,
                         ::testing::Values(br110, br300, br600, br1200, br2400, br4800, br9600,
                                           br14400, br19200, br38400, br56000, br57600, br115200,
                                           br128000, br256000),
                         [](const auto& info) { return BaudRateText(info.param).toStdString(); });

TEST_F(PtyPort, ACustomRateReadsBackAndRateZeroIsRefused) {
    port.SetConnected(true);
    port.SetCustomBaudRate(250000);
    port.SetBaudRate(brCustom);
    EXPECT_EQ(SlaveTermios().ospeed, 250000u);
    // Rate 0 would hang the line up: refused, and the line keeps its rate.
    ExpectError([&] { port.SetCustomBaudRate(0); }, 7, EINVAL);
    EXPECT_EQ(SlaveTermios().ospeed, 250000u);
}

struct LineRow {
    const char* name;
    std::function<void(TComPort&)> set;
    std::uint32_t cflagSet, cflagClear, iflagSet, iflagClear;
};

TEST_F(PtyPort, StopBitsFlowControlAndTheXonXoffCharactersReachTheDevice) {
    const LineRow rows[] = {
        {"one stop bit", [](TComPort& p) { p.SetStopBits(sbOneStopBit); }, 0, CSTOPB, 0, 0},
        {"two stop bits", [](TComPort& p) { p.SetStopBits(sbTwoStopBits); }, CSTOPB, 0, 0, 0},
        {"software", [](TComPort& p) { p.FlowControl()->SetFlowControl(fcSoftware); }, 0, CRTSCTS,
         IXON | IXOFF, 0},
        {"hardware", [](TComPort& p) { p.FlowControl()->SetFlowControl(fcHardware); }, CRTSCTS, 0,
         0, IXON | IXOFF},
        {"none", [](TComPort& p) { p.FlowControl()->SetFlowControl(fcNone); }, 0, CRTSCTS, 0,
         IXON | IXOFF},
        {"output only", [](TComPort& p) { p.FlowControl()->SetXonXoffOut(true); }, 0, 0, IXON,
         IXOFF},
        {"input only", [](TComPort& p) { p.FlowControl()->SetXonXoffIn(true); }, 0, 0, IXOFF, IXON},
    };
    port.SetConnected(true);
    for (const LineRow& row : rows) {
        SCOPED_TRACE(row.name);
        port.FlowControl()->SetFlowControl(fcNone);
        row.set(port);
        const posix::LineTermios termios = SlaveTermios();
        EXPECT_EQ(termios.cflag & row.cflagSet, row.cflagSet);
        EXPECT_EQ(termios.cflag & row.cflagClear, 0u);
        EXPECT_EQ(termios.iflag & row.iflagSet, row.iflagSet);
        EXPECT_EQ(termios.iflag & row.iflagClear, 0u);
        EXPECT_EQ(termios.lflag & (ICANON | ECHO | ISIG | IEXTEN), 0u); // raw
        EXPECT_EQ(termios.oflag & OPOST, 0u);
    }
    port.FlowControl()->SetXonChar('Q');
    port.FlowControl()->SetXoffChar('S');
    EXPECT_EQ(SlaveTermios().cc[VSTART], 'Q');
    EXPECT_EQ(SlaveTermios().cc[VSTOP], 'S');
}

TEST_F(PtyPort, ABytePolledWithReadTextArrivesOneAtATime) {
    port.SetConnected(true);
    QString text = QStringLiteral("stale");
    EXPECT_EQ(port.ReadText(text, 1), 0); // nothing received: at once, and empty
    EXPECT_TRUE(text.isEmpty());
    pty.Send("gyx");
    ASSERT_TRUE(QueuedBecomes(3));
    EXPECT_EQ(port.ReadText(text, 1), 1);
    EXPECT_EQ(text, QStringLiteral("g"));
    EXPECT_EQ(port.QueuedInputCount(), 2);
    EXPECT_EQ(ReadFromPort(2), "yx");
    EXPECT_EQ(port.ReadText(text, 0), 0);
    EXPECT_TRUE(text.isEmpty());
}

TEST_F(PtyPort, EveryByteValueArrivesUnchangedWithoutFlowControl) {
    port.SetConnected(true);
    std::string all;
    for (int value = 0; value < 256; ++value)
        all.push_back(static_cast<char>(value));
    pty.Send(all);
    ASSERT_TRUE(QueuedBecomes(256));
    std::vector<char> buffer(300);
    EXPECT_EQ(port.ReadBytes(buffer.data(), 300), 256);
    EXPECT_EQ(std::string(buffer.data(), 256), all);
}

TEST_F(PtyPort, WrittenBytesArriveAsPlainDataXonAndXoffIncluded) {
    port.FlowControl()->SetFlowControl(fcSoftware);
    port.SetBaudRate(br115200);
    port.SetConnected(true);
    const std::string image = {'\x11', '\x13', '\0', '\r', '\n', '\x03', '\xFF', 'A'};
    for (char byte : image)
        EXPECT_EQ(port.WriteBytes(&byte, 1), 1);
    EXPECT_EQ(pty.Receive(image.size()), image);
    EXPECT_EQ(port.WriteText(QStringLiteral("r")), 1);
    EXPECT_EQ(pty.Receive(1), "r");
    EXPECT_EQ(port.WriteText(QString()), 0);
}

TEST_F(PtyPort, AnXoffFromTheBoardHoldsOutputUntilXonWithoutLosingAByte) {
    port.FlowControl()->SetFlowControl(fcSoftware);
    port.Timeouts()->SetWriteTotalConstant(20000); // this test's own wait decides, not the timeout
    port.SetConnected(true);
    pty.Send("\x13"
             "a");
    ASSERT_EQ(ReadFromPort(1), "a"); // the XOFF was taken by the driver, not handed to us

    std::atomic<bool> arrivedEarly = false;
    std::thread board([&] {
        arrivedEarly = !pty.Receive(1, std::chrono::milliseconds(300)).empty();
        pty.Send("\x11");
    });
    const int written = port.WriteBytes("zy", 2);
    board.join();
    EXPECT_EQ(written, 2);
    EXPECT_FALSE(arrivedEarly);
    EXPECT_EQ(pty.Receive(2), "zy");
}

TEST_F(PtyPort, AWriteHeldPastItsTimeoutReturnsWhatWasWritten) {
    port.FlowControl()->SetFlowControl(fcSoftware);
    port.Timeouts()->SetWriteTotalMultiplier(0);
    port.Timeouts()->SetWriteTotalConstant(50);
    port.SetConnected(true);
    pty.Send("\x13"
             "a");
    ASSERT_EQ(ReadFromPort(1), "a");
    EXPECT_EQ(port.WriteBytes("q", 1), 0);
    pty.Send("\x11");
    EXPECT_EQ(pty.Receive(1, std::chrono::milliseconds(200)), "");
}

TEST_F(PtyPort, PurgeDiscardsWhatWasReceived) {
    port.SetConnected(true);
    pty.Send("abc");
    ASSERT_TRUE(QueuedBecomes(3));
    port.PurgeQueues(true, true);
    EXPECT_EQ(port.QueuedInputCount(), 0);
    QString text;
    EXPECT_EQ(port.ReadText(text, 1), 0);
    pty.Send("d");
    EXPECT_EQ(ReadFromPort(1), "d");
}

TEST_F(PtyPort, APseudoTerminalHasNoModemLineOn) {
    std::vector<bool> lines;
    TComLink link;
    link.OnCTSChange = [&](bool on) { lines.push_back(on); };
    link.OnDSRChange = [&](bool on) { lines.push_back(on); };
    link.OnRLSDChange = [&](bool on) { lines.push_back(on); };
    port.AddLink(&link);
    port.SetConnected(true);
    EXPECT_EQ(port.ModemSignals(), TComSignals());
    EXPECT_EQ(lines, std::vector<bool>(3, false));
    port.RemoveLink(&link);
}

TEST_F(PtyPort, AClosedPortWritesNothingForWriteBytesAndFailsTheOtherCalls) {
    EXPECT_EQ(port.WriteBytes("x", 1), 0);
    EXPECT_EQ(pty.Receive(1, std::chrono::milliseconds(100)), "");
    QString text;
    char byte;
    ExpectError([&] { port.WriteText(QStringLiteral("r")); }, 2, EBADF);
    ExpectError([&] { port.ReadText(text, 1); }, 3, EBADF);
    ExpectError([&] { port.ReadBytes(&byte, 1); }, 3, EBADF);
    ExpectError([&] { port.PurgeQueues(true, true); }, 5, EBADF);
    ExpectError([&] { port.QueuedInputCount(); }, 10, EBADF);
    ExpectError([&] { port.ModemSignals(); }, 11, EBADF);
}

TEST_F(PtyPort, TheMasterClosingMidTransferFailsReadsAndWritesButNotTheClose) {
    port.SetConnected(true);
    pty.Send("y");
    ASSERT_EQ(ReadFromPort(1), "y");
    pty.CloseMaster();
    ExpectError([&] { ReadFromPort(1); }, 3, EIO);
    ExpectError([&] { port.WriteBytes("z", 1); }, 2, EIO);
    EXPECT_TRUE(port.Connected());
    port.SetConnected(false);
    EXPECT_FALSE(port.Connected());
    try {
        port.SetConnected(true);
        ADD_FAILURE() << "a hung-up pseudo-terminal opened";
    } catch (const EComPort& error) {
        EXPECT_EQ(error.ErrorCode(), 1);
    }
}

TEST_F(PtyPort, AReadWithATotalTimeoutWaitsForTheBytesItAsksFor) {
    port.Timeouts()->SetReadInterval(0);
    port.Timeouts()->SetReadTotalConstant(5000);
    port.SetConnected(true);
    std::thread board([&] {
        pty.Send("ab");
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
        pty.Send("c");
    });
    char buffer[3];
    EXPECT_EQ(port.ReadBytes(buffer, 3), 3);
    board.join();
    EXPECT_EQ(std::string(buffer, 3), "abc");
}

// A pseudo-terminal keeps eight data bits and no parity whatever it is told; a line that does
// not do what the settings say is refused rather than used as another, as a driver that cannot
// make a rate or a size is. Stop bits that no UART has are refused before any driver sees them.
TEST_F(PtyPort, SettingsTheLineDoesNotTakeAreRefused) {
    const auto refusedAtOpening = [&](auto change) {
        change();
        ExpectError([&] { port.SetConnected(true); }, 7, EINVAL);
        EXPECT_FALSE(port.Connected());
        port.SetDataBits(dbEight);
        port.Parity()->SetBits(prNone);
        port.SetStopBits(sbOneStopBit);
    };
    refusedAtOpening([&] { port.SetDataBits(dbSeven); });
    refusedAtOpening([&] { port.Parity()->SetBits(prEven); });
    refusedAtOpening([&] { port.SetStopBits(sbOne5StopBits); }); // with eight data bits
    port.SetStopBits(sbTwoStopBits);
    port.SetConnected(true);
    EXPECT_TRUE(port.Connected()) << "two stop bits with eight data bits the line can make";
    ExpectError([&] { port.Parity()->SetBits(prSpace); }, 7, EINVAL);
}

TEST_F(PtyPort, ANegativeQueueSizeIsRefusedByTheDevice) {
    port.SetConnected(true);
    ExpectError([&] { port.Buffer()->SetInputSize(-2); }, 9, EINVAL);
    port.SetConnected(false);
    ExpectError([&] { port.SetConnected(true); }, 9, EINVAL);
    EXPECT_FALSE(port.Connected());
    port.Buffer()->SetInputSize(2048);
    port.SetConnected(true);
    EXPECT_TRUE(port.Connected());
}

TEST_F(PtyPort, AReadOfManyTakesWhatIsQueuedAndNoMore) {
    port.SetConnected(true);
    pty.Send("abc");
    ASSERT_TRUE(QueuedBecomes(3));
    QString text;
    EXPECT_EQ(port.ReadText(text, 100), 3);
    EXPECT_EQ(text, QStringLiteral("abc"));
}

// One XOFF from the board, among the noise before its "g", would hold our output until an XON
// that this bootloader never sends; the purge that Connect does lets the output go again.
TEST_F(PtyPort, APurgeLetsOutputGoThatAnXoffHeld) {
    port.FlowControl()->SetXonXoffOut(true);
    port.SetConnected(true);
    pty.Send("\x13g");
    ASSERT_TRUE(QueuedBecomes(1)) << "the XOFF came first and has been taken";
    port.PurgeQueues(true, true);
    EXPECT_EQ(port.WriteBytes("r", 1), 1);
    EXPECT_EQ(pty.Receive(1), "r");
}

// A program that has the device open already (a terminal program, a modem prober) would
// share it without a word: whoever reads first gets the board's requests.
TEST_F(PtyPort, APortThatAnotherProgramHoldsIsBusy) {
    const std::string script = "exec 3<>" + pty.SlavePath().toStdString() + "; exec sleep 30";
    const pid_t holder = ::fork();
    if (holder == 0) {
        ::execl("/bin/sh", "sh", "-c", script.c_str(), nullptr);
        ::_exit(127);
    }
    // Until it has become sleep the child is a copy of this program.
    const std::string expected = "sleep (pid " + std::to_string(holder) + ")";
    const auto deadline = std::chrono::steady_clock::now() + kPatience;
    std::string holders;
    while (holders != expected && std::chrono::steady_clock::now() < deadline)
        holders = posix::HoldersText(posix::OtherHolders(pty.SlavePath().toStdString()));
    ASSERT_EQ(holders, expected);
    ExpectError([&] { port.SetConnected(true); }, 1, EBUSY);
    EXPECT_FALSE(port.Connected());
    ::kill(holder, SIGKILL);
    ::waitpid(holder, nullptr, 0);
    port.SetConnected(true);
    EXPECT_TRUE(port.Connected()) << "free again once it let go";
}

} // namespace
} // namespace quorvel::serial
