#include "HexImageLoader.h"
#include "HexText.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <random>

namespace quorvel::image {
namespace {

using namespace testing;
using Outcome = LoadResult::Outcome;
using Patch = std::pair<std::size_t, std::vector<std::uint8_t>>;

// The expected image: `length` blank bytes of the family with the patches written over them.
FirmwareBytes Image(std::size_t length, McuFamily family, std::initializer_list<Patch> patches) {
    FirmwareBytes image;
    GrowImage(image, length, family);
    for (const auto& [address, bytes] : patches)
        std::copy(bytes.begin(), bytes.end(), image.begin() + static_cast<long>(address));
    return image;
}

struct LoadCase {
    const char* name;
    McuFamily family;
    std::string text;
    Outcome outcome;
    FirmwareBytes image;
    std::int32_t imageTop;
    std::string message; // checked unless empty
};

} // namespace

void PrintTo(const AddressRange& range, std::ostream* os) {
    *os << std::hex << "0x" << range.begin << "-0x" << range.end << std::dec;
}

namespace {

void PrintTo(const LoadCase& c, std::ostream* os) {
    *os << c.name;
}

class LoadText : public ::testing::TestWithParam<LoadCase> {};

TEST_P(LoadText, GivesImageTopAndOutcome) {
    const LoadCase& c = GetParam();
    LoadedImage loaded{.FirmwareImage = {1, 2, 3},
                       .ImageTop = 3}; // a previous load is always replaced
    const LoadResult result = LoadHexText(c.text, "fw.hex", c.family, loaded);
    EXPECT_EQ(result.outcome, c.outcome) << result.message;
    EXPECT_EQ(loaded.FirmwareImage, c.image);
    EXPECT_EQ(loaded.ImageTop, c.imageTop);
    if (!c.message.empty()) {
        EXPECT_EQ(result.message, c.message);
    }
}

const auto P16 = McuFamily::P16;
const auto P18 = McuFamily::P18;
const auto P24 = McuFamily::P24;
const auto DsPic = McuFamily::DsPic;
const std::string kCrc = "CRC check failed. Invalid CRC at line ";
const std::string kNoData = "'.\r\nNo data will be loaded.";

const LoadCase kLoadCases[] = {
    {"EmptyFile", P18, "", Outcome::Loaded, {}, 0, ""},
    {"OnlyEmptyLines", P18, "\r\n\n\r\r\n", Outcome::Loaded, {}, 0, ""},
    {"FirstRecordAt0x800IsPrecededByBlanks", P18,
     Lines({Upper(0), Record(0x800, 0, {1, 2, 3}), EndOfFile()}), Outcome::Loaded,
     Image(0x803, P18, {{0x800, {1, 2, 3}}}), 0x803, ""},
    {"P16GapIsFfAtEvenAnd3FAtOddIndexes",
     P16,
     Lines({Record(0, 0, {0xAA}), Record(5, 0, {0xBB}), EndOfFile()}),
     Outcome::Loaded,
     {0xAA, 0x3F, 0xFF, 0x3F, 0xFF, 0xBB},
     6,
     ""},
    {"DsPicDropsEveryFourthByte",
     DsPic,
     Lines({Record(0, 0, Bytes(8, 0x10)), EndOfFile()}),
     Outcome::Loaded,
     {0x10, 0x11, 0x12, 0x14, 0x15, 0x16},
     8,
     ""},
    {"BadChecksumOnLastLine",
     P18,
     Lines({Record(0, 0, {1}), Record(0, 1, {}, 1)}),
     Outcome::ChecksumFailure,
     {},
     0,
     kCrc + "1 in file 'fw.hex" + kNoData},
    {"BadChecksumAfterEndOfFile",
     P18,
     Lines({Record(0, 0, {1}), EndOfFile(), "", Record(1, 0, {2}, -1)}),
     Outcome::ChecksumFailure,
     {},
     0,
     kCrc + "3 in file 'fw.hex" + kNoData},
    {"LineFeedCarriageReturnIsTwoLineEnds",
     P18,
     Lines({Record(0, 0, {1}), "x1"}, "\n\r"),
     Outcome::ChecksumFailure,
     {},
     0,
     kCrc + "2 in file 'fw.hex" + kNoData},
    {"TrailingSpaceIsAConversionError",
     P18,
     Lines({Record(0, 0, {1}) + " "}),
     Outcome::ConversionError,
     {},
     0,
     "'$ ' is not a valid integer value"},
    {"NonDigitNamesItsField",
     P18,
     ":0G",
     Outcome::ConversionError,
     {},
     0,
     "'$0G' is not a valid integer value"},
    {"LoneRecordMarkAfterGoodRecordsLeavesNothing",
     P18,
     Lines({Record(0, 0, {1, 2}), ":"}),
     Outcome::ConversionError,
     {},
     0,
     "'$' is not a valid integer value"},
    {"LaterChecksumFailureWinsOverEarlierShortLine",
     P18,
     Lines({Record(0, 0, {1}), ":", Record(1, 0, {2}, 5)}),
     Outcome::ChecksumFailure,
     {},
     0,
     kCrc + "2 in file 'fw.hex" + kNoData},
    {"LaterBadCharacterWinsOverEarlierShortLine",
     P18,
     Lines({":", Record(1, 0, {2}) + "Z"}),
     Outcome::ConversionError,
     {},
     0,
     "'$Z' is not a valid integer value"},
    {"ShortLineAfterOutOfBoundRecordIsStillAnError",
     P18,
     Lines({Upper(0x30), Record(0, 0, {1}), ":0000"}),
     Outcome::ConversionError,
     {},
     0,
     "'$' is not a valid integer value"},
    // A data record's line holds exactly its byte count of data: one byte short would take
    // the checksum for data, surplus bytes would be lost without a word.
    {"DataRecordOneByteShortIsRefused",
     P18,
     Lines({Record(0, 0, {7}), ":02000000FE00"}),
     Outcome::RecordError,
     {},
     0,
     "Byte count does not match the data: a data record at address 0x00000000 (line 1)."},
    {"DataRecordTwoBytesShortIsRefused", P18, ":03000000FD00", Outcome::RecordError, {}, 0, ""},
    {"DataRecordWithASurplusByteIsRefused",
     P18,
     ":010000000102FC",
     Outcome::RecordError,
     {},
     0,
     ""},
    {"StrayDigitAfterTheChecksumIsRefused", P18, ":0100000042BD0", Outcome::RecordError, {}, 0, ""},
    {"MalformedRecordBeyondTheBoundIsRefusedToo",
     P18,
     Lines({Upper(0x30), ":010000000102FC"}),
     Outcome::RecordError,
     {},
     0,
     ""},
    {"LowercaseDigitsLoadLikeUppercase",
     P18,
     ":04000000deadbeefc4\n",
     Outcome::Loaded,
     {0xDE, 0xAD, 0xBE, 0xEF},
     4,
     ""},
    {"RecordMarkIsNeverExamined", P18, "X0100000042BD\n", Outcome::Loaded, {0x42}, 1, ""},
    {"DataAfterEndOfFileIsLoaded",
     P18,
     Lines({EndOfFile(), Record(2, 0, {7})}),
     Outcome::Loaded,
     {0xFF, 0xFF, 7},
     3,
     ""},
    // Segment addressing would move the data that follows; a zero segment moves nothing.
    {"ZeroExtendedSegmentIsIgnored", P24,
     Lines({Upper(1), Record(0, 2, {0x00, 0x00}), Record(4, 0, {9})}), Outcome::Loaded,
     Image(0x10005, P24, {{0x10004, {9}}}), 0x10005, ""},
    {"NonzeroExtendedSegmentIsRefused",
     P24,
     Lines({Record(0, 0, {1}), Record(0, 2, {0x10, 0x00}), Record(4, 0, {9})}),
     Outcome::RecordError,
     {},
     0,
     "Extended segment address not supported: segment 0x1000 (line 1)."},
    {"P18RecordAtTheBoundIsRefused",
     P18,
     Lines({Record(0, 0, {1}), Upper(0x20), Record(0, 0, {2})}),
     Outcome::Loaded,
     {1},
     1,
     ""},
    {"P18RecordStraddlingTheBoundIsPlacedWhole", P18,
     Lines({Upper(0x1F), Record(0xFFF8, 0, Bytes(16, 0))}), Outcome::Loaded,
     Image(0x200008, P18, {{0x1FFFF8, Bytes(16, 0)}}), 0x200008, ""},
    {"P18ConfigurationBitsBeyondTheBoundAreDropped",
     P18,
     Lines({Record(0, 0, {1}), Upper(0x30), Record(0, 0, {0x28, 0x1F})}),
     Outcome::Loaded,
     {1},
     1,
     ""},
    {"LaterRecordWinsByteByByte",
     P18,
     Lines({Record(0, 0, {1, 2, 3}), Record(1, 0, {9})}),
     Outcome::Loaded,
     {1, 9, 3},
     3,
     ""},
    {"LowerRecordLaterFillsBlanks",
     P18,
     Lines({Record(2, 0, {5}), Record(0, 0, {4})}),
     Outcome::Loaded,
     {4, 0xFF, 5},
     3,
     ""},
    {"EmptyAcceptedRecordGrowsTheImage",
     P16,
     Lines({Record(3, 0, {})}),
     Outcome::Loaded,
     {0xFF, 0x3F, 0xFF},
     3,
     ""},
    {"LineEndsCrLfCrAndLfMix",
     P18,
     Record(0, 0, {1}) + "\r" + Record(1, 0, {2}) + "\n" + Record(2, 0, {3}) + "\r\n",
     Outcome::Loaded,
     {1, 2, 3},
     3,
     ""},
    {"NulEndsTheText",
     P18,
     Record(0, 0, {1}) + "\n" + std::string(1, '\0') + "garbage",
     Outcome::Loaded,
     {1},
     1,
     ""},
    {"AddressFrom0x80000000IsRefused",
     P24,
     Lines({Upper(0x8000), Record(0, 0, {1})}),
     Outcome::RangeError,
     {},
     0,
     ""},
    {"P24RecordEndingPastSignedLengthIsRefused",
     P24,
     Lines({Upper(0x7FFF), Record(0xFFF8, 0, Bytes(16, 0))}),
     Outcome::RangeError,
     {},
     0,
     ""},
    {"HighUpperAddressWithoutDataIsHarmless",
     P24,
     Lines({Upper(0xFFFF), EndOfFile()}),
     Outcome::Loaded,
     {},
     0,
     ""},
};

INSTANTIATE_TEST_SUITE_P(Cases, LoadText, ::testing::ValuesIn(kLoadCases),
                         [](const auto& info) { return std::string(info.param.name); });

// What the records filled, for reports: ranges merged and in order, whatever the file's order.
TEST(LoadText, ReportsTheRangesThatRecordsFilledAndTheRecordCounts) {
    struct Case {
        const char* name;
        std::string text;
        std::vector<AddressRange> filled;
        std::size_t dataRecords, placedRecords;
    };
    const Case cases[] = {
        {"Adjacent", Lines({Record(0, 0, {1, 2}), Record(2, 0, {3}), EndOfFile()}), {{0, 3}}, 2, 2},
        {"Gap", Lines({Record(0, 0, {1}), Record(0x10, 0, {2, 3})}), {{0, 1}, {0x10, 0x12}}, 2, 2},
        {"OutOfOrderAndOverlapping",
         Lines({Record(0x20, 0, {1}), Record(4, 0, {1, 2, 3, 4}), Record(0, 0, {9, 9, 9, 9, 9}),
                Record(0x1F, 0, {7, 7})}),
         {{0, 8}, {0x1F, 0x21}},
         4,
         4},
        {"BeyondTheBoundIsCountedNotFilled",
         Lines({Record(0, 0, {1}), Upper(0x30), Record(0, 0, {2})}),
         {{0, 1}},
         2,
         1},
        {"EmptyRecordFillsNothing", Lines({Record(8, 0, {})}), {}, 1, 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        LoadedImage loaded{{}, 0, {{5, 6}}, 9, 9}; // a previous load's report is replaced
        ASSERT_TRUE(LoadHexText(c.text, "fw.hex", P18, loaded).ok());
        EXPECT_EQ(loaded.Filled, c.filled);
        EXPECT_EQ(loaded.DataRecords, c.dataRecords);
        EXPECT_EQ(loaded.PlacedRecords, c.placedRecords);
    }
}

TEST(LoadText, RangeErrorNamesTheLine) {
    LoadedImage loaded;
    const auto result = LoadHexText(Lines({Record(0, 0, {1}), Upper(0x8000), Record(0x10, 0, {1})}),
                                    "a.hex", P24, loaded);
    ASSERT_EQ(result.outcome, Outcome::RangeError);
    EXPECT_EQ(result.line, 2);
    EXPECT_NE(result.message.find("line 2"), std::string::npos) << result.message;
    EXPECT_NE(result.message.find("0x80000010"), std::string::npos) << result.message;
}

TEST(GrowImage, AddsBlanksOnlyAndNeverShortens) {
    FirmwareBytes image{1};
    GrowImage(image, 4, P16);
    EXPECT_EQ(image, (FirmwareBytes{1, 0x3F, 0xFF, 0x3F}));
    GrowImage(image, 2, P16);
    EXPECT_EQ(image.size(), 4u);
    FirmwareBytes odd{1, 2, 3};
    GrowImage(odd, 5, P16); // index 3 is odd, index 4 even
    EXPECT_EQ(odd, (FirmwareBytes{1, 2, 3, 0x3F, 0xFF}));
}

// Whatever the text, a load either succeeds with a consistent image or leaves nothing.
TEST(LoadText, MutatedFilesNeverCrashAndNeverLeaveAPartialImage) {
    const std::string original =
        Lines({Upper(0), Record(0, 0, Bytes(16, 0)), Record(0x10, 0, Bytes(16, 0x40)), Upper(0x1F),
               Record(0xFFF0, 0, Bytes(16, 1)), EndOfFile()});
    const char alphabet[] = "0123456789ABCDEFabcdef:\r\n \0xG";
    std::mt19937 random(2026);
    for (int round = 0; round < 20000; ++round) {
        std::string text = original;
        const int edits = 1 + static_cast<int>(random() % 4);
        for (int e = 0; e < edits; ++e) {
            const std::size_t at = random() % text.size();
            const char c = alphabet[random() % (sizeof alphabet - 1)];
            switch (random() % 3) {
            case 0:
                text[at] = c;
                break;
            case 1:
                text.insert(text.begin() + static_cast<long>(at), c);
                break;
            default:
                text.erase(at, 1 + random() % 8);
                break;
            }
            if (text.empty()) text = ":";
        }
        const auto family = static_cast<McuFamily>(random() % 4);
        LoadedImage loaded;
        const auto result = LoadHexText(text, "m.hex", family, loaded);
        if (result.ok()) {
            const auto top = static_cast<std::size_t>(loaded.ImageTop);
            EXPECT_EQ(loaded.FirmwareImage.size(), family == DsPic ? top - top / 4 : top);
        } else {
            EXPECT_TRUE(loaded.FirmwareImage.empty());
            EXPECT_EQ(loaded.ImageTop, 0);
            EXPECT_FALSE(result.message.empty());
        }
    }
}

class LoadFile : public ::testing::Test {
protected:
    void SetUp() override {
        folder_ = std::filesystem::temp_directory_path() /
                  ("quorvel-image-" + std::to_string(::getpid()) + "-" +
                   ::testing::UnitTest::GetInstance()->current_test_info()->name());
        std::filesystem::create_directories(folder_);
    }
    void TearDown() override { std::filesystem::remove_all(folder_); }

    std::string Write(const std::string& name, const std::string& text) {
        const auto path = (folder_ / name).string();
        std::ofstream(path, std::ios::binary) << text;
        return path;
    }

    std::filesystem::path folder_;
};

TEST_F(LoadFile, ReadsTheFileAndNamesItWithoutItsFolder) {
    const auto path = Write("good.hex", Lines({Record(0, 0, {1, 2})}));
    LoadedImage loaded;
    const auto result = LoadHexFile(path, P18, loaded);
    EXPECT_TRUE(result.ok());
    EXPECT_EQ(loaded.FirmwareImage, (FirmwareBytes{1, 2}));
    const auto bad = Write("bad.hex", ":01000000FF01\r\n");
    EXPECT_EQ(LoadHexFile(bad, P18, loaded).message, kCrc + "0 in file 'bad.hex" + kNoData);
}

TEST_F(LoadFile, NothingAtThePathOrAFolderLeavesTheImageAsItWas) {
    std::filesystem::create_directory(folder_ / "x.hex");
    for (const auto& path : {(folder_ / "missing.hex").string(), (folder_ / "x.hex").string()}) {
        LoadedImage loaded{.FirmwareImage = {7, 7}, .ImageTop = 2};
        EXPECT_EQ(LoadHexFile(path, P18, loaded).outcome, Outcome::NoFile);
        EXPECT_EQ(loaded.FirmwareImage, (FirmwareBytes{7, 7}));
        EXPECT_EQ(loaded.ImageTop, 2);
    }
}

TEST(LoadUnreadableFile, ReportsPathAndReasonAndLeavesNothing) {
    // A regular file that every user, root included, fails to read.
    LoadedImage loaded{.FirmwareImage = {7}, .ImageTop = 1};
    const auto result = LoadHexFile("/proc/self/mem", P18, loaded);
    EXPECT_EQ(result.outcome, Outcome::FileOpenError);
    EXPECT_EQ(result.message, "Cannot open file \"/proc/self/mem\". Input/output error");
    EXPECT_TRUE(loaded.FirmwareImage.empty());
    EXPECT_EQ(loaded.ImageTop, 0);
}

} // namespace
} // namespace quorvel::image
