#include "HexImageLoader.h"

#include "HexLines.h"

#include "FileBytes.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <new>

namespace quorvel::image {

namespace {

constexpr std::uint32_t kSignedLengthLimit = 0x7FFFFFFF;
constexpr std::uint32_t kHighestAddress = 0x80000000; // first address the image cannot index

struct FamilyTraits {
    bool hasBound;
    std::uint32_t bound; // a data record is accepted when its start address is below it
};

FamilyTraits TraitsOf(McuFamily family) {
    switch (family) {
    case McuFamily::P16:
        return {true, 0x400E};
    case McuFamily::P18:
        return {true, 0x200000};
    case McuFamily::P24:
        return {false, 0};
    case McuFamily::DsPic:
        return {true, 0x7FF000};
    }
    return {true, 0x200000};
}

// Thrown inside one load only; the public functions turn it into a LoadResult.
struct LoadFailure {
    LoadResult::Outcome outcome;
    int line;
    std::string message;
};

[[noreturn]] void FailConversion(std::string_view field) {
    throw LoadFailure{LoadResult::Outcome::ConversionError, -1,
                      ConversionErrorText("$" + std::string(field))};
}

// The field of `width` characters at 1-based `position`, cut short by the end of the line.
std::string_view FieldAt(std::string_view line, std::size_t position, std::size_t width) {
    if (position > line.size()) return {};
    return line.substr(position - 1, width);
}

std::uint32_t HexValue(std::string_view field) {
    if (field.empty()) FailConversion(field);
    std::uint32_t value = 0;
    for (char c : field) {
        const int digit = HexDigitValue(static_cast<unsigned char>(c));
        if (digit < 0) FailConversion(field);
        value = value * 16 + static_cast<std::uint32_t>(digit);
    }
    return value;
}

// Every character after the first is summed as a hex digit, in pairs from position 2.
void VerifyChecksums(std::string_view text, std::string_view fileName) {
    HexLineReader lines(text);
    std::string_view line;
    for (int index = 0; lines.Next(line); ++index) {
        std::uint32_t sum = 0;
        for (std::size_t position = 2; position <= line.size(); position += 2)
            sum += HexValue(FieldAt(line, position, 2));
        if (sum % 256 != 0)
            throw LoadFailure{LoadResult::Outcome::ChecksumFailure, index,
                              ChecksumWarningText(index, fileName)};
    }
}

std::string RecordErrorText(const char* what, std::uint32_t address, int line) {
    char text[160];
    std::snprintf(text, sizeof text, "%s: a data record at address 0x%08X (line %d).", what,
                  static_cast<unsigned>(address), line);
    return text;
}

class Placement {
public:
    Placement(McuFamily family, LoadedImage& target)
        : family_(family), traits_(TraitsOf(family)), target_(target) {}

    void PlaceLine(std::string_view line, int index) {
        const std::uint32_t type = HexValue(FieldAt(line, 8, 2));
        if (type == 4) upperAddress_ = HexValue(FieldAt(line, 10, 4));
        const std::uint32_t count = HexValue(FieldAt(line, 2, 2));
        const std::uint32_t low = HexValue(FieldAt(line, 4, 4));
        const std::uint32_t address = (upperAddress_ << 16) + low;
        if (traits_.hasBound) accepted_ = address < traits_.bound;
        if (type != 0) return;
        if (address >= kHighestAddress)
            throw LoadFailure{LoadResult::Outcome::RangeError, index,
                              RecordErrorText("Address out of range", address, index)};
        if (!accepted_) return;
        PlaceData(line, index, address, count);
    }

private:
    void PlaceData(std::string_view line, int index, std::uint32_t address, std::uint32_t count) {
        const std::uint64_t end = std::uint64_t{address} + count;
        if (end > kSignedLengthLimit)
            throw LoadFailure{LoadResult::Outcome::RangeError, index,
                              RecordErrorText("Record ends out of range", address, index)};
        auto& top = target_.ImageTop;
        top = std::max(top, static_cast<std::int32_t>(end));
        try {
            GrowImage(target_.FirmwareImage, static_cast<std::size_t>(top), family_);
        } catch (const std::bad_alloc&) {
            throw LoadFailure{LoadResult::Outcome::OutOfMemory, index,
                              RecordErrorText("Not enough memory for the image", address, index)};
        }
        std::uint8_t* destination = target_.FirmwareImage.data() + address;
        for (std::uint32_t i = 0; i < count; ++i)
            destination[i] = static_cast<std::uint8_t>(HexValue(FieldAt(line, 10 + 2 * i, 2)));
    }

    McuFamily family_;
    FamilyTraits traits_;
    LoadedImage& target_;
    std::uint32_t upperAddress_ = 0;
    bool accepted_ = true;
};

// Drops the byte at every index i where (i + 1) is a multiple of 4.
void CompactDsPic(FirmwareBytes& image) {
    std::size_t kept = 0;
    for (std::size_t i = 0; i < image.size(); ++i)
        if ((i + 1) % 4 != 0) image[kept++] = image[i];
    image.resize(kept);
}

LoadResult FailureResult(const LoadFailure& failure, std::string_view fileName) {
    LoadResult result;
    result.outcome = failure.outcome;
    result.line = failure.line;
    result.fileName = std::string(fileName);
    result.message = failure.message;
    return result;
}

} // namespace

void GrowImage(FirmwareBytes& image, std::size_t length, McuFamily family) {
    const std::size_t oldLength = image.size();
    if (oldLength >= length) return;
    image.resize(length, 0xFF);
    if (family != McuFamily::P16) return;
    for (std::size_t j = oldLength | 1; j < length; j += 2)
        image[j] = 0x3F;
}

std::string ChecksumWarningText(int line, std::string_view fileName) {
    std::string text = "CRC check failed. Invalid CRC at line ";
    text.append(std::to_string(line)).append(" in file '").append(fileName);
    text.append("'.\r\nNo data will be loaded.");
    return text;
}

std::string ConversionErrorText(std::string_view text) {
    std::string message;
    message.reserve(text.size() + 32);
    message.append("'").append(text).append("' is not a valid integer value");
    return message;
}

LoadResult LoadHexText(std::string_view text, std::string_view fileName, McuFamily family,
                       LoadedImage& target) {
    target.ImageTop = 0;
    target.FirmwareImage.clear();
    text = TextBeforeNul(text);
    try {
        VerifyChecksums(text, fileName);
        Placement placement(family, target);
        HexLineReader lines(text);
        std::string_view line;
        for (int index = 0; lines.Next(line); ++index)
            if (!line.empty()) placement.PlaceLine(line, index);
    } catch (const LoadFailure& failure) {
        // Whatever was placed before the failure must never reach a board.
        target = LoadedImage{};
        return FailureResult(failure, fileName);
    }
    if (family == McuFamily::DsPic) CompactDsPic(target.FirmwareImage);
    LoadResult result;
    result.fileName = std::string(fileName);
    return result;
}

LoadResult LoadHexFile(const std::string& path, McuFamily family, LoadedImage& target) {
    namespace fs = std::filesystem;
    std::error_code ignored;
    if (!fs::is_regular_file(path, ignored)) {
        LoadResult result;
        result.outcome = LoadResult::Outcome::NoFile;
        result.message = "File not found: " + path;
        return result;
    }
    const std::string fileName = fs::path(path).filename().string();
    std::string text;
    if (const int error = ReadWholeFile(path, text); error != 0) {
        target = LoadedImage{};
        LoadResult result;
        result.outcome = LoadResult::Outcome::FileOpenError;
        result.fileName = fileName;
        result.message = "Cannot open file \"" + fs::absolute(path, ignored).string() + "\". " +
                         std::strerror(error);
        return result;
    }
    return LoadHexText(text, fileName, family, target);
}

} // namespace quorvel::image
