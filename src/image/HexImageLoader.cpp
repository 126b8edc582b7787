#include "HexImageLoader.h"

#include "HexLines.h"

#include "FileBytes.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <new>
#include <optional>

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

// The two digits at 0-based `offset`, or -1 when either is not a hex digit.
int PairValue(std::string_view line, std::size_t offset) {
    return HexPairValue(static_cast<unsigned char>(line[offset]),
                        static_cast<unsigned char>(line[offset + 1]));
}

// Every character after the first is summed as a hex digit, in pairs from position 2; a
// line of even length ends in a one-digit field. A non-digit fails with the field it is in.
std::uint32_t LineSum(std::string_view line) {
    int sum = 0;
    int invalid = 0; // negative once any character was not a digit
    std::size_t offset = 1;
    for (; offset + 1 < line.size(); offset += 2) {
        const int pair = PairValue(line, offset);
        invalid |= pair;
        sum += pair;
    }
    if (offset < line.size()) {
        const int last = HexDigitValue(static_cast<unsigned char>(line[offset]));
        invalid |= last;
        sum += last;
    }
    if (invalid < 0) {
        for (offset = 1; offset < line.size(); offset += 2)
            HexValue(line.substr(offset, 2));
    }
    return static_cast<std::uint32_t>(sum);
}

void VerifyChecksum(std::string_view line, int index, std::string_view fileName) {
    if (LineSum(line) % 256 != 0)
        throw LoadFailure{LoadResult::Outcome::ChecksumFailure, index,
                          ChecksumWarningText(index, fileName)};
}

std::string RecordErrorText(const char* what, std::uint32_t address, int line) {
    char text[160];
    std::snprintf(text, sizeof text, "%s: a data record at address 0x%08X (line %d).", what,
                  static_cast<unsigned>(address), line);
    return text;
}

// A data record's line holds its count of data bytes between the type and the checksum.
constexpr std::size_t kRecordFrame = 11; // mark, count, address, type, checksum
constexpr std::uint32_t kDataRecord = 0;
constexpr std::uint32_t kExtendedSegmentAddress = 2;
constexpr std::uint32_t kExtendedLinearAddress = 4;

class Placement {
public:
    Placement(McuFamily family, LoadedImage& target)
        : family_(family), traits_(TraitsOf(family)), target_(target) {}

    void PlaceLine(std::string_view line, int index) {
        const std::uint32_t type = HexValue(FieldAt(line, 8, 2));
        if (type == kExtendedLinearAddress) upperAddress_ = HexValue(FieldAt(line, 10, 4));
        if (type == kExtendedSegmentAddress) RequireZeroSegment(line, index);
        const std::uint32_t count = HexValue(FieldAt(line, 2, 2));
        const std::uint32_t low = HexValue(FieldAt(line, 4, 4));
        const std::uint32_t address = (upperAddress_ << 16) + low;
        if (traits_.hasBound) accepted_ = address < traits_.bound;
        if (type != kDataRecord) return;
        ++target_.DataRecords;
        // One byte short would take the checksum for data, and surplus bytes would be lost.
        if (line.size() != kRecordFrame + 2 * std::size_t{count})
            throw LoadFailure{
                LoadResult::Outcome::RecordError, index,
                RecordErrorText("Byte count does not match the data", address, index)};
        if (address >= kHighestAddress)
            throw LoadFailure{LoadResult::Outcome::RangeError, index,
                              RecordErrorText("Address out of range", address, index)};
        if (!accepted_) return;
        PlaceData(line, index, address, count);
        ++target_.PlacedRecords;
        NoteFilled(address, count);
    }

    void MergeFilled() {
        auto& filled = target_.Filled;
        if (ordered_) return;
        std::sort(filled.begin(), filled.end(),
                  [](const AddressRange& a, const AddressRange& b) { return a.begin < b.begin; });
        std::size_t kept = 0;
        for (const AddressRange& range : filled) {
            if (kept > 0 && range.begin <= filled[kept - 1].end)
                filled[kept - 1].end = std::max(filled[kept - 1].end, range.end);
            else
                filled[kept++] = range;
        }
        filled.resize(kept);
    }

private:
    // Records usually follow one another, so most extend the last range; the rest are merged
    // once at the end.
    void NoteFilled(std::uint32_t address, std::uint32_t count) {
        if (count == 0) return;
        auto& filled = target_.Filled;
        const std::uint32_t end = address + count;
        if (!filled.empty() && address >= filled.back().begin && address <= filled.back().end) {
            filled.back().end = std::max(filled.back().end, end);
            return;
        }
        filled.push_back({address, end});
        ordered_ = ordered_ && (filled.size() == 1 || address > filled[filled.size() - 2].end);
    }

    // Segment addressing is not followed: data after a nonzero segment would land at the wrong
    // addresses. A zero segment changes nothing and is let through.
    static void RequireZeroSegment(std::string_view line, int index) {
        const std::string_view segment = FieldAt(line, 10, 4);
        if (segment.size() == 4 && HexValue(segment) == 0) return;
        throw LoadFailure{LoadResult::Outcome::RecordError, index,
                          "Extended segment address not supported: segment 0x" +
                              std::string(segment) + " (line " + std::to_string(index) + ")."};
    }

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
        // The checksum pass has read every character after the first as a hex digit, and the
        // line holds exactly `count` whole pairs of data: no pair needs a check.
        for (std::uint32_t i = 0; i < count; ++i)
            destination[i] = static_cast<std::uint8_t>(PairValue(line, 9 + 2 * i));
    }

    McuFamily family_;
    FamilyTraits traits_;
    LoadedImage& target_;
    std::uint32_t upperAddress_ = 0;
    bool accepted_ = true;
    bool ordered_ = true; // the ranges noted so far are in order and apart
};

// Drops the byte at every index i where (i + 1) is a multiple of 4.
void CompactDsPic(FirmwareBytes& image) {
    std::size_t kept = 0;
    for (std::size_t i = 0; i < image.size(); ++i)
        if ((i + 1) % 4 != 0) image[kept++] = image[i];
    image.resize(kept);
}

// Every data byte takes two characters, so a dense file's image is about half its size.
// Reserving that up front spares the copies of repeated growth; pages never touched cost
// nothing, and a file with gaps still grows as needed.
void ReserveForText(FirmwareBytes& image, std::size_t textLength) {
    try {
        image.reserve(std::min<std::size_t>(textLength / 2, kSignedLengthLimit));
    } catch (const std::bad_alloc&) {
        // Only a hint: growth reports a real shortage of memory.
    }
}

// The checksums of all lines are verified before anything is placed, and a failure there
// wins over any failure of placement. Both are done in one reading of the lines: a line is
// placed once it has passed, and a placement failure waits until every checksum has passed.
void PlaceVerifiedLines(std::string_view text, std::string_view fileName, McuFamily family,
                        LoadedImage& target) {
    Placement placement(family, target);
    std::optional<LoadFailure> placementFailure;
    HexLineReader lines(text);
    std::string_view line;
    for (int index = 0; lines.Next(line); ++index) {
        VerifyChecksum(line, index, fileName);
        if (placementFailure || line.empty()) continue;
        try {
            placement.PlaceLine(line, index);
        } catch (const LoadFailure& failure) {
            placementFailure = failure;
        }
    }
    if (placementFailure) throw *placementFailure;
    placement.MergeFilled();
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
    target.Filled.clear();
    target.DataRecords = target.PlacedRecords = 0;
    text = TextBeforeNul(text);
    ReserveForText(target.FirmwareImage, text.size());
    try {
        PlaceVerifiedLines(text, fileName, family, target);
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
    FileBytes file;
    if (const int error = file.Read(path); error != 0) {
        target = LoadedImage{};
        LoadResult result;
        result.outcome = LoadResult::Outcome::FileOpenError;
        result.fileName = fileName;
        result.message = "Cannot open file \"" + fs::absolute(path, ignored).string() + "\". " +
                         std::strerror(error);
        return result;
    }
    return LoadHexText(file.text(), fileName, family, target);
}

} // namespace quorvel::image
