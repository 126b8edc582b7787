#include "ImageComparison.h"

#include "HexImageLoader.h"
#include "UniqueDescriptor.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <unistd.h>

namespace quorvel::board {

ImageComparison CompareImages(const Bytes& expected, const Bytes& got) {
    ImageComparison comparison;
    comparison.expectedLength = expected.size();
    comparison.gotLength = got.size();
    const auto shorter = static_cast<long>(std::min(expected.size(), got.size()));
    const auto [expectedAt, gotAt] =
        std::mismatch(expected.begin(), expected.begin() + shorter, got.begin());
    if (expectedAt != expected.begin() + shorter) {
        comparison.firstDifference = ImageDifference{
            static_cast<std::size_t>(expectedAt - expected.begin()), *expectedAt, *gotAt};
    }
    return comparison;
}

std::string DescribeComparison(const ImageComparison& comparison) {
    if (comparison.Match()) return "match";
    std::string text;
    char line[128];
    if (const auto& difference = comparison.firstDifference) {
        std::snprintf(
            line, sizeof line, "differs at offset 0x%04zX (%zu): expected 0x%02X, got 0x%02X",
            difference->offset, difference->offset, difference->expected, difference->got);
        text = line;
    }
    if (comparison.expectedLength != comparison.gotLength) {
        std::snprintf(line, sizeof line, "length differs: expected %zu, got %zu",
                      comparison.expectedLength, comparison.gotLength);
        text += (text.empty() ? "" : "; ") + std::string(line);
    }
    return text;
}

HexComparison CompareWithHexFile(const std::string& path, const Bytes& got) {
    HexComparison outcome;
    image::LoadedImage loaded;
    const image::LoadResult load = image::LoadHexFile(path, image::McuFamily::P18, loaded);
    if (load.outcome == image::LoadResult::Outcome::NoFile) {
        outcome.error = "no HEX file at '" + path + "'";
    } else if (!load.ok()) {
        outcome.error = load.message;
    } else {
        outcome.comparison = CompareImages(loaded.FirmwareImage, got);
    }
    return outcome;
}

std::optional<std::string> WriteBytesToFile(const std::string& path, const Bytes& bytes) {
    const auto failure = [&path] { return path + ": " + std::strerror(errno); };
    common::UniqueDescriptor file(
        ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644));
    if (!file) return failure();
    std::size_t written = 0;
    while (written < bytes.size()) {
        const ssize_t count = ::write(file.Get(), bytes.data() + written, bytes.size() - written);
        if (count < 0 && errno == EINTR) continue;
        if (count < 0) return failure();
        written += static_cast<std::size_t>(count);
    }
    if (file.Close() != 0) return failure();
    return std::nullopt;
}

} // namespace quorvel::board
