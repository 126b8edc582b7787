// The upload soak: 1,000 uploads through quorvel-cli, each to a virtual board that plays the
// fault of its seed. Prints the three counts that must be 0, the runs and exit statuses by kind
// of fault and the wall time; exits 1 when a count is not 0.
//
// quorvel-bench-upload-soak QUORVEL_CLI [RUNS [FIRST_SEED]]

#include "UploadSoak.h"

#include <cstdio>
#include <cstdlib>
#include <exception>

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: %s QUORVEL_CLI [RUNS [FIRST_SEED]]\n", argv[0]);
        return 2;
    }
    quorvel::soak::SoakOptions options;
    options.cliPath = argv[1];
    if (argc > 2) options.runs = std::strtoul(argv[2], nullptr, 10);
    if (argc > 3)
        options.firstSeed = static_cast<std::uint32_t>(std::strtoul(argv[3], nullptr, 10));
    std::printf("upload soak: %zu runs of %s upload --timeout %.1f --wait %.1f, seeds %u on\n",
                options.runs, options.cliPath.c_str(), options.requestTimeout.count() / 1000.0,
                options.bootloaderWait.count() / 1000.0, options.firstSeed);
    std::fflush(stdout);
    try {
        const quorvel::soak::SoakReport report = quorvel::soak::RunUploadSoak(options);
        std::fputs(quorvel::soak::FormatSoakReport(report).c_str(), stdout);
        return report.Clean() ? 0 : 1;
    } catch (const std::exception& error) {
        std::fprintf(stderr, "upload soak: %s\n", error.what());
        return 1;
    }
}
