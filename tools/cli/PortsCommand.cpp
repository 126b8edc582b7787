#include "PortsCommand.h"

#include "CPort.h"
#include "PortDetails.h"
#include "PortList.h"

#include <cstdio>
#include <optional>
#include <string>
#include <string_view>

namespace quorvel::cli {

namespace {

constexpr const char* kPortsUsage =
    "Usage: quorvel-cli ports [--long]\n"
    "\n"
    "Lists the serial ports, one name a line, in the order of Quorvel's settings dialog: the\n"
    "system's serial devices and the virtual boards that quorvel-board --publish offers. Any\n"
    "name opens with 'quorvel-cli upload --port NAME'.\n"
    "\n"
    "Options:\n"
    "  --long              also the device each name opens and, for a USB adapter, its\n"
    "                      vendor and product id, maker, product, serial number and its\n"
    "                      stable name in /dev/serial/by-id\n"
    "  --sysfs DIR         read the system's ports from DIR instead of /sys/class/tty\n"
    "  --by-id DIR         look for stable names in DIR instead of /dev/serial/by-id\n"
    "  -h, --help          show this text\n"
    "\n"
    "Exit status: 0 listed; 1 the system's list of ports could not be read; 2 wrong usage.\n";

struct PortsOptions {
    bool longForm = false;
    bool help = false;
    serial::PortDetailFolders folders;
};

std::optional<std::string> ParseOptions(int argc, char** argv, PortsOptions& options) {
    for (int i = 0; i < argc; ++i) {
        const std::string_view argument = argv[i];
        const bool hasValue = i + 1 < argc;
        if (argument == "-h" || argument == "--help") {
            options.help = true;
        } else if (argument == "--long") {
            options.longForm = true;
        } else if (argument == "--sysfs" || argument == "--by-id") {
            if (!hasValue) return "option " + std::string(argument) + " needs a folder";
            (argument == "--sysfs" ? options.folders.sysfsTtyRoot : options.folders.byIdFolder) =
                QString::fromLocal8Bit(argv[++i]);
        } else {
            return "unknown argument '" + std::string(argument) + "'";
        }
    }
    return std::nullopt;
}

void PrintField(const char* name, const QString& value) {
    if (!value.isEmpty()) std::printf("    %-9s %s\n", name, value.toLocal8Bit().constData());
}

void PrintDetails(const serial::PortDetails& port) {
    std::printf("%s\n", port.name.toLocal8Bit().constData());
    PrintField("device:", port.linkTarget.isEmpty() ? port.devicePath
                                                    : port.devicePath + " -> " + port.linkTarget);
    if (const auto& usb = port.usb) {
        PrintField("usb id:", usb->vendorId + QLatin1Char(':') + usb->productId);
        PrintField("maker:", usb->manufacturer);
        PrintField("product:", usb->product);
        PrintField("serial:", usb->serialNumber);
    }
    PrintField("by-id:", port.byIdPath);
}

} // namespace

int RunPortsCommand(int argc, char** argv) {
    PortsOptions options;
    if (const auto error = ParseOptions(argc, argv, options)) {
        std::fprintf(stderr, "quorvel-cli ports: %s\n\n%s", error->c_str(), kPortsUsage);
        return 2;
    }
    if (options.help) {
        std::fputs(kPortsUsage, stdout);
        return 0;
    }
    QStringList names;
    try {
        names = serial::ListSerialPorts(options.folders.sysfsTtyRoot);
    } catch (const serial::EComPort& error) {
        std::fprintf(stderr, "quorvel-cli: cannot list the serial ports: %s\n", error.what());
        return 1;
    }
    for (const QString& name : names) {
        if (options.longForm)
            PrintDetails(serial::DescribePort(name, options.folders));
        else
            std::printf("%s\n", name.toLocal8Bit().constData());
    }
    return 0;
}

} // namespace quorvel::cli
