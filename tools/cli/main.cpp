// quorvel-cli: the command-line companion of Quorvel.

#include "ImageCommand.h"
#include "PortsCommand.h"
#include "ProgramVersion.h"
#include "UploadCommand.h"

#include "CPort.h"

#include <clocale>
#include <cstdio>
#include <string_view>

namespace {

constexpr const char* kUsage =
    "Usage: quorvel-cli COMMAND [OPTIONS]\n"
    "       quorvel-cli --help | --version\n"
    "\n"
    "Commands:\n"
    "  ports [--long]\n"
    "        List the serial ports, as Quorvel's settings dialog offers them.\n"
    "  image IN.hex -o OUT.bin | --info [--family p16|p18|p24|dspic]\n"
    "        Convert an Intel HEX file into the flat byte image that Quorvel uploads, or\n"
    "        describe that image.\n"
    "  upload --port NAME FILE.hex [--baud RATE] [--parity P] [--flow F] [--wait S]\n"
    "         [--timeout S]\n"
    "        Upload FILE.hex to the board's bootloader on the port NAME.\n"
    "\n"
    "Run 'quorvel-cli COMMAND --help' for the options and exit statuses of one command;\n"
    "--version prints the version.\n";

} // namespace

int main(int argc, char** argv) {
    std::setlocale(LC_ALL, "");
    if (argc < 2) {
        std::fputs(kUsage, stderr);
        return 2;
    }
    const std::string_view command = argv[1];
    if (command == "--help" || command == "-h") {
        std::fputs(kUsage, stdout);
        return 0;
    }
    if (command == "--version") {
        std::printf("quorvel-cli %s\n", quorvel::common::kVersionText);
        return 0;
    }
    quorvel::serial::ComErrorTexts(); // the serial layer's messages, in the user's language
    if (command == "image") return quorvel::cli::RunImageCommand(argc - 2, argv + 2);
    if (command == "ports") return quorvel::cli::RunPortsCommand(argc - 2, argv + 2);
    if (command == "upload") return quorvel::cli::RunUploadCommand(argc - 2, argv + 2);
    std::fprintf(stderr, "quorvel-cli: unknown command '%s'\n\n%s", argv[1], kUsage);
    return 2;
}
