#include "ImageCommand.h"

#include "AtomicFileWriter.h"
#include "HexImageLoader.h"

#include <cstdio>
#include <optional>
#include <string>
#include <string_view>

namespace quorvel::cli {

namespace {

using image::McuFamily;

constexpr const char* kImageUsage =
    "Usage: quorvel-cli image IN.hex -o OUT.bin [--family p16|p18|p24|dspic]\n"
    "\n"
    "Checks every line of IN.hex, then writes the flat byte image that Quorvel would upload\n"
    "to OUT.bin: it starts at address 0, and every byte the file does not give holds the\n"
    "family's blank byte. Prints the image length, the top address and the input path.\n"
    "\n"
    "Options:\n"
    "  -o, --output OUT.bin   where to write the image (required)\n"
    "  --family FAMILY        p16, p18 (default), p24 or dspic\n"
    "  -h, --help             show this text\n"
    "\n"
    "Exit status: 0 written; 1 the file was refused or could not be read or written\n"
    "(OUT.bin is then neither created nor changed); 2 wrong usage.\n";

struct ImageOptions {
    std::string input;
    std::string output;
    McuFamily family = McuFamily::P18;
    bool help = false;
};

std::optional<McuFamily> ParseFamily(std::string_view name) {
    if (name == "p16") return McuFamily::P16;
    if (name == "p18") return McuFamily::P18;
    if (name == "p24") return McuFamily::P24;
    if (name == "dspic") return McuFamily::DsPic;
    return std::nullopt;
}

// Returns the options, or an error text for wrong usage.
std::optional<std::string> ParseOptions(int argc, char** argv, ImageOptions& options) {
    for (int i = 0; i < argc; ++i) {
        const std::string_view argument = argv[i];
        const bool hasValue = i + 1 < argc;
        if (argument == "-h" || argument == "--help") {
            options.help = true;
        } else if (argument == "-o" || argument == "--output") {
            if (!hasValue) return "option " + std::string(argument) + " needs a file name";
            options.output = argv[++i];
        } else if (argument == "--family") {
            if (!hasValue) return std::string("option --family needs a value");
            const auto family = ParseFamily(argv[++i]);
            if (!family) return "unknown family '" + std::string(argv[i]) + "'";
            options.family = *family;
        } else if (argument.size() > 1 && argument[0] == '-') {
            return "unknown option '" + std::string(argument) + "'";
        } else if (options.input.empty()) {
            options.input = argument;
        } else {
            return "more than one input file";
        }
    }
    if (options.help) return std::nullopt;
    if (options.input.empty()) return std::string("no input file");
    if (options.output.empty()) return std::string("no output file (-o OUT.bin)");
    return std::nullopt;
}

int ReportFailure(const image::LoadResult& result) {
    std::fprintf(stderr, "%s\n", result.message.c_str());
    return 1;
}

} // namespace

int RunImageCommand(int argc, char** argv) {
    ImageOptions options;
    if (const auto error = ParseOptions(argc, argv, options)) {
        std::fprintf(stderr, "quorvel-cli image: %s\n\n%s", error->c_str(), kImageUsage);
        return 2;
    }
    if (options.help) {
        std::fputs(kImageUsage, stdout);
        return 0;
    }

    image::LoadedImage loaded;
    const auto result = image::LoadHexFile(options.input, options.family, loaded);
    if (!result.ok()) return ReportFailure(result);

    const auto& bytes = loaded.FirmwareImage;
    if (const auto error =
            common::WriteFileAtomically(options.output, bytes.data(), bytes.size())) {
        std::fprintf(stderr, "%s\n", error->c_str());
        return 1;
    }
    std::printf("%zu bytes, ImageTop 0x%X, %s\n", loaded.FirmwareImage.size(),
                static_cast<unsigned>(loaded.ImageTop), options.input.c_str());
    return 0;
}

} // namespace quorvel::cli
