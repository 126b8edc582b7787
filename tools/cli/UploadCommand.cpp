#include "UploadCommand.h"

#include "CliLinkPort.h"
#include "CliLinkView.h"
#include "SecondsLimit.h"
#include "StopRequest.h"

#include "BootloaderLink.h"
#include "HexImageLoader.h"
#include "ProgramFoldersQt.h"
#include "posix/DeviceHolders.h"
#include "posix/PosixSerialDevice.h"

#include <unistd.h>

#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <initializer_list>
#include <optional>
#include <string>
#include <string_view>

namespace quorvel::cli {

namespace {

using namespace std::chrono_literals;

constexpr const char* kUploadUsage =
    "Usage: quorvel-cli upload --port NAME FILE.hex [OPTIONS]\n"
    "\n"
    "Loads FILE.hex, opens the port as Quorvel does (115200 baud, 8 data bits, no parity,\n"
    "one stop bit, XON/XOFF, DTR and RTS off), waits for the board's bootloader to say \"g\",\n"
    "answers \"r\" and sends the image and its 63-byte tail on the board's requests. Prints\n"
    "the same history lines as the window on standard error, with a progress line. Reset the\n"
    "board into its bootloader once \"Waiting MCU response...\" shows.\n"
    "\n"
    "Options:\n"
    "  --port NAME        a port of 'quorvel-cli ports', or any device path (required)\n"
    "  --baud RATE        bits per second instead of 115200\n"
    "  --parity PARITY    none (default), odd, even, mark or space\n"
    "  --flow FLOW        xonxoff (default), hardware or none\n"
    "  --wait SECONDS     how long to wait for the board's \"g\" (default 10)\n"
    "  --timeout SECONDS  how long to wait for each request of the board (default 2)\n"
    "  -h, --help         show this text\n"
    "\n"
    "Ctrl-C stops the upload as \"Stop uploading\" does and closes the port.\n"
    "\n"
    "Exit status:\n"
    "  0    uploaded\n"
    "  1    the HEX file was refused\n"
    "  2    wrong usage\n"
    "  3    the port cannot be opened\n"
    "  4    no \"g\" from the board within the wait\n"
    "  5    the board stopped asking\n"
    "  6    a serial error during the conversation\n"
    "  130  stopped by a signal\n";

enum ExitStatus {
    kUploaded = 0,
    kFileRefused = 1,
    kWrongUsage = 2,
    kPortNotOpened = 3,
    kNoBootloader = 4,
    kBoardStopped = 5,
    kLineFailed = 6,
    kStopped = 130,
};

// A read attempt waits on the device at most this long, so a stop is seen this soon.
constexpr auto kReadSlice = 20ms;

struct UploadOptions {
    std::string port;
    std::string file;
    std::optional<unsigned long> baud;
    std::optional<serial::TParityBits> parity;
    std::optional<serial::TFlowControl> flow;
    double waitSeconds = 10;
    double timeoutSeconds = 2;
    bool help = false;
};

std::optional<double> Seconds(std::string_view text) {
    char* end = nullptr;
    const std::string copy(text);
    const double value = std::strtod(copy.c_str(), &end);
    if (copy.empty() || *end != '\0' || !std::isfinite(value) || value <= 0 || value > 86400)
        return std::nullopt;
    return value;
}

std::optional<unsigned long> BitsPerSecond(const std::string& text) {
    char* end = nullptr;
    const unsigned long rate = std::strtoul(text.c_str(), &end, 10);
    if (text.empty() || *end != '\0' || rate == 0 || rate > 100'000'000) return std::nullopt;
    return rate;
}

std::optional<serial::TParityBits> Parity(const std::string& text) {
    const QString name = QString::fromStdString(text);
    const serial::TParityBits parity = serial::ParityFromText(name);
    if (serial::ParityText(parity).compare(name, Qt::CaseInsensitive) != 0) return std::nullopt;
    return parity;
}

std::optional<serial::TFlowControl> Flow(std::string_view text) {
    if (text == "none") return serial::fcNone;
    if (text == "xonxoff") return serial::fcSoftware;
    if (text == "hardware") return serial::fcHardware;
    return std::nullopt;
}

bool TakesValue(std::string_view option) {
    for (const char* known : {"--port", "--baud", "--parity", "--flow", "--wait", "--timeout"})
        if (option == known) return true;
    return false;
}

// Takes the value of an option; an error text when it cannot.
std::optional<std::string> TakeValue(std::string_view option, const std::string& value,
                                     UploadOptions& options) {
    const auto refused = [&](const char* what) {
        return "'" + value + "' is not " + what + " (" + std::string(option) + ")";
    };
    if (option == "--port") {
        options.port = value;
    } else if (option == "--baud") {
        if (!(options.baud = BitsPerSecond(value))) return refused("a rate in bits per second");
    } else if (option == "--parity") {
        if (!(options.parity = Parity(value))) return refused("none, odd, even, mark or space");
    } else if (option == "--flow") {
        if (!(options.flow = Flow(value))) return refused("xonxoff, hardware or none");
    } else if (option == "--wait" || option == "--timeout") {
        const auto seconds = Seconds(value);
        if (!seconds) return refused("a number of seconds above 0");
        (option == "--wait" ? options.waitSeconds : options.timeoutSeconds) = *seconds;
    }
    return std::nullopt;
}

// Returns an error text for wrong usage.
std::optional<std::string> ParseOptions(int argc, char** argv, UploadOptions& options) {
    for (int i = 0; i < argc; ++i) {
        const std::string_view argument = argv[i];
        const auto value = [&]() -> std::optional<std::string> {
            if (i + 1 >= argc) return std::nullopt;
            return std::string(argv[++i]);
        };
        if (argument == "-h" || argument == "--help") {
            options.help = true;
            continue;
        }
        if (argument.size() > 1 && argument[0] == '-') {
            if (!TakesValue(argument)) return "unknown option '" + std::string(argument) + "'";
            const std::optional<std::string> given = value();
            if (!given) return "option " + std::string(argument) + " needs a value";
            if (auto error = TakeValue(argument, *given, options)) return error;
        } else if (options.file.empty()) {
            options.file = argument;
        } else {
            return std::string("more than one HEX file");
        }
    }
    if (options.help) return std::nullopt;
    if (options.port.empty()) return std::string("no port (--port NAME)");
    if (options.file.empty()) return std::string("no HEX file");
    return std::nullopt;
}

// The window's line, then what the options change.
void SetUpLine(serial::TComPort& port, const UploadOptions& options) {
    port.SetEvents({}); // nothing to light: no event thread
    serial::SetBoardLineSettings(port);
    port.SetBaudRate(serial::kBoardBaudRate);
    port.SetPort(QString::fromLocal8Bit(options.port.c_str()));
    if (const auto rate = options.baud) {
        const serial::TBaudRate listed = serial::BaudRateFromText(QString::number(*rate));
        if (serial::BaudRateValue(listed) == *rate) {
            port.SetBaudRate(listed);
        } else {
            port.SetBaudRate(serial::brCustom);
            port.SetCustomBaudRate(static_cast<qint32>(*rate));
        }
    }
    if (options.parity) port.Parity()->SetBits(*options.parity);
    if (options.flow) port.FlowControl()->SetFlowControl(*options.flow);
}

int ReportOpenFailure(const CliLinkPort& line, const serial::TComPort& port) {
    const QString path = port.Port();
    const int reason = line.OpenError() ? line.OpenError()->SystemError() : 0;
    std::fprintf(stderr, "quorvel-cli: cannot open %s: %s\n", path.toLocal8Bit().constData(),
                 reason > 0 ? std::strerror(reason) : "unknown reason");
    if (reason == EBUSY) {
        const QString device = serial::posix::DevicePath(path, common::qt::ProgramFolder());
        const auto holders = serial::posix::OtherHolders(device.toLocal8Bit().toStdString());
        if (!holders.empty())
            std::fprintf(stderr, "quorvel-cli: %s is in use by %s\n",
                         device.toLocal8Bit().constData(),
                         serial::posix::HoldersText(holders).c_str());
    }
    if (reason == EACCES || reason == EPERM)
        std::fputs("quorvel-cli: serial devices belong to the group dialout; join it with\n"
                   "  sudo adduser $USER dialout\n"
                   "and log in again.\n",
                   stderr);
    return kPortNotOpened;
}

// Opens the port and waits for "g"; kUploaded when the board answered.
int Connect(link::BootloaderLink& link, const CliLinkPort& line, const CliLinkView& view,
            const serial::TComPort& port, const UploadOptions& options) {
    link.ConnectOrDisconnect();
    if (line.OpenError()) return ReportOpenFailure(line, port);
    if (view.State() == link::LinkState::Connected) return kUploaded;
    if (StopRequested()) return kStopped;
    std::fprintf(stderr, "quorvel-cli: no \"g\" from the board within %g s\n", options.waitSeconds);
    return kNoBootloader;
}

int Upload(link::BootloaderLink& link, const CliLinkPort& line, const CliLinkView& view,
           std::size_t streamLength) {
    link.BeginOrStopUpload();
    switch (view.Outcome().value_or(link::UploadOutcome::LineFailed)) {
    case link::UploadOutcome::Finished:
        return kUploaded;
    case link::UploadOutcome::Aborted:
        return kStopped;
    case link::UploadOutcome::TimedOut:
        std::fprintf(stderr, "quorvel-cli: the board stopped asking after %zu of %zu bytes\n",
                     line.StreamBytesWritten(), streamLength);
        return kBoardStopped;
    case link::UploadOutcome::LineFailed:
        break;
    }
    return kLineFailed;
}

int Run(const UploadOptions& options, const image::FirmwareBytes& image) {
    serial::TComPort port;
    SetUpLine(port, options);
    const std::size_t streamLength = image.size() + link::kTailLength;
    CliLinkPort line(port, image, kReadSlice);
    ProgressReport progress(stderr, ::isatty(STDERR_FILENO) == 1);
    CliLinkView view(progress, streamLength, [&line] { return line.StreamBytesWritten(); });
    link::BootloaderLink link(line, view);
    const auto seconds = [](double value) {
        return std::chrono::duration_cast<SecondsLimit::Clock::duration>(
            std::chrono::duration<double>(value));
    };
    SecondsLimit limit(seconds(options.waitSeconds), seconds(options.timeoutSeconds));
    link.SetWaitLimit(limit);
    StopOnSignals();
    try {
        const int connected = Connect(link, line, view, port, options);
        if (connected != kUploaded) return connected;
        return Upload(link, line, view, streamLength);
    } catch (const std::exception& error) {
        // The link has closed the port already; the error is what the user needs to read.
        std::fprintf(stderr, "quorvel-cli: %s\n", error.what());
        return kLineFailed;
    }
}

} // namespace

int RunUploadCommand(int argc, char** argv) {
    UploadOptions options;
    if (const auto error = ParseOptions(argc, argv, options)) {
        std::fprintf(stderr, "quorvel-cli upload: %s\n\n%s", error->c_str(), kUploadUsage);
        return kWrongUsage;
    }
    if (options.help) {
        std::fputs(kUploadUsage, stdout);
        return 0;
    }
    image::LoadedImage loaded;
    const auto result = image::LoadHexFile(options.file, image::McuFamily::P18, loaded);
    if (!result.ok()) {
        std::fprintf(stderr, "%s\n", result.message.c_str());
        return kFileRefused;
    }
    if (loaded.FirmwareImage.empty()) {
        std::fprintf(stderr, "quorvel-cli: %s holds no data to upload\n", options.file.c_str());
        return kFileRefused;
    }
    return Run(options, loaded.FirmwareImage);
}

} // namespace quorvel::cli
