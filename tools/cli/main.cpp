// quorvel-cli: the command-line companion of Quorvel.

#include "ImageCommand.h"
#include "ProgramVersion.h"

#include <cstdio>
#include <string_view>

namespace {

constexpr const char* kUsage =
    "Usage: quorvel-cli COMMAND [OPTIONS]\n"
    "       quorvel-cli --help | --version\n"
    "\n"
    "Commands:\n"
    "  image IN.hex -o OUT.bin [--family p16|p18|p24|dspic]\n"
    "        Convert an Intel HEX file into the flat byte image that Quorvel uploads.\n"
    "\n"
    "Run 'quorvel-cli COMMAND --help' for the options of one command; --version prints the\n"
    "version.\n";

} // namespace

int main(int argc, char** argv) {
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
    if (command == "image") return quorvel::cli::RunImageCommand(argc - 2, argv + 2);
    std::fprintf(stderr, "quorvel-cli: unknown command '%s'\n\n%s", argv[1], kUsage);
    return 2;
}
