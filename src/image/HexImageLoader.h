#pragma once
// Turns the text of an Intel HEX file into the flat byte image that is uploaded to the board.
// Plain C++ over bytes: no Qt, no output; the caller decides how to show the outcome.

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace quorvel::image {

// Values as the window's hidden family selector holds them.
enum class McuFamily : int { P16 = 0, P18 = 1, P24 = 2, DsPic = 3 };

using FirmwareBytes = std::vector<std::uint8_t>;

struct LoadResult {
    enum class Outcome {
        Loaded,          // the image holds the file's data
        NoFile,          // nothing at the path (or a folder): image left as it was
        ChecksumFailure, // a line failed the checksum; `line` names it
        ConversionError, // a field is not a hexadecimal number; `message` says which
        RecordError,     // a record that cannot be read safely; `line` names it
        RangeError,      // a record lies outside what the image can index; `line` names it
        OutOfMemory,     // the image could not be allocated; `line` names the record
        FileOpenError,   // the file exists but could not be read; `message` names path and reason
    };

    Outcome outcome = Outcome::Loaded;
    int line = -1;        // zero-based line index, all lines counted, where one applies
    std::string fileName; // the file name without its folder, for the checksum warning
    std::string message;  // the text to show the user for every outcome but Loaded and NoFile

    bool ok() const { return outcome == Outcome::Loaded; }
};

// Target addresses from `begin` up to, not including, `end`.
struct AddressRange {
    std::uint32_t begin = 0;
    std::uint32_t end = 0;
    bool operator==(const AddressRange&) const = default;
};

// The state a load rebuilds: the image and the largest end address of its accepted data records,
// and for reports what the records gave: the addresses that placed records filled (merged, in
// order), the data records in the file and those of them placed in the image.
struct LoadedImage {
    FirmwareBytes FirmwareImage;
    std::int32_t ImageTop = 0;
    std::vector<AddressRange> Filled{};
    std::size_t DataRecords = 0;
    std::size_t PlacedRecords = 0;
};

// Loads the file at `path` into `target`. When no file is there, `target` is untouched; on any
// other failure it is left empty with ImageTop 0, so no partial firmware can be uploaded.
LoadResult LoadHexFile(const std::string& path, McuFamily family, LoadedImage& target);

// The same over text already in memory; `fileName` only goes into the checksum warning.
LoadResult LoadHexText(std::string_view text, std::string_view fileName, McuFamily family,
                       LoadedImage& target);

// Lengthens `image` to `length` with the family's blank bytes; never shortens or overwrites.
void GrowImage(FirmwareBytes& image, std::size_t length, McuFamily family);

// "CRC check failed. Invalid CRC at line <line> in file '<fileName>'." CR LF "No data will be
// loaded."
std::string ChecksumWarningText(int line, std::string_view fileName);

// "'<text>' is not a valid integer value"
std::string ConversionErrorText(std::string_view text);

} // namespace quorvel::image
