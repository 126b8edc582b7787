#include "ImageCommand.h"

#include "AtomicFileWriter.h"
#include "Crc32.h"
#include "HexImageLoader.h"

#include <cstdio>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace quorvel::cli {

namespace {

using image::McuFamily;

constexpr const char* kImageUsage =
    "Usage: quorvel-cli image IN.hex -o OUT.bin [--family p16|p18|p24|dspic]\n"
    "       quorvel-cli image IN.hex --info [--family p16|p18|p24|dspic]\n"
    "\n"
    "Checks every line of IN.hex, then writes the flat byte image that Quorvel would upload\n"
    "to OUT.bin: it starts at address 0, and every byte the file does not give holds the\n"
    "family's blank byte. Prints the image length, the top address and the input path.\n"
    "With --info nothing is written: it prints the image's length, ImageTop, the address\n"
    "ranges that records filled, the number of data records and the image's CRC-32.\n"
    "\n"
    "Options:\n"
    "  -o, --output OUT.bin   where to write the image\n"
    "  --info                 describe the image instead of (or as well as) writing it\n"
    "  --family FAMILY        p16, p18 (default), p24 or dspic\n"
    "  -h, --help             show this text\n"
    "\n"
    "Exit status: 0 written or described; 1 the file was refused or could not be read or\n"
    "written (OUT.bin is then neither created nor changed); 2 wrong usage.\n";

struct ImageOptions {
    std::string input;
    std::string output;
    McuFamily family = McuFamily::P18;
    bool info = false;
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
        } else if (argument == "--info") {
            options.info = true;
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
    if (options.output.empty() && !options.info)
        return std::string("no output file (-o OUT.bin) and no --info");
    return std::nullopt;
}

// "0x000000-0x0007FF, 0x001000-0x00100F": each range's first and last address.
std::string RangesText(const std::vector<image::AddressRange>& ranges) {
    if (ranges.empty()) return "none";
    std::string text;
    for (const auto& range : ranges) {
        char one[32];
        std::snprintf(one, sizeof one, "%s0x%06X-0x%06X", text.empty() ? "" : ", ",
                      static_cast<unsigned>(range.begin), static_cast<unsigned>(range.end - 1));
        text += one;
    }
    return text;
}

void PrintInfo(const image::LoadedImage& loaded) {
    const auto& bytes = loaded.FirmwareImage;
    std::printf("length:       %zu bytes\n", bytes.size());
    std::printf("ImageTop:     0x%X\n", static_cast<unsigned>(loaded.ImageTop));
    std::printf("filled:       %s\n", RangesText(loaded.Filled).c_str());
    std::printf("data records: %zu", loaded.DataRecords);
    if (loaded.PlacedRecords != loaded.DataRecords)
        std::printf(" (%zu beyond the family's addresses, not in the image)",
                    loaded.DataRecords - loaded.PlacedRecords);
    std::printf("\nCRC-32:       0x%08X\n",
                static_cast<unsigned>(Crc32(bytes.data(), bytes.size())));
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

    if (options.info) PrintInfo(loaded);
    if (options.output.empty()) return 0;
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
