#include "HexText.h"
#include "ProcessRunner.h"
#include "ProgramVersion.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <sys/stat.h>

namespace quorvel::image {
namespace {

using namespace testing;
using quorvel::testing::RunProcess;
namespace fs = std::filesystem;

class QuorvelCli : public ::testing::Test {
protected:
    void SetUp() override {
        folder_ = fs::temp_directory_path() /
                  ("quorvel-cli-" + std::to_string(::getpid()) + "-" +
                   ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::create_directories(folder_);
    }
    void TearDown() override { fs::remove_all(folder_); }

    std::string Path(const std::string& name) const { return (folder_ / name).string(); }

    std::string Write(const std::string& name, const std::string& text) const {
        std::ofstream(Path(name), std::ios::binary) << text;
        return Path(name);
    }

    static std::string Read(const std::string& path) {
        std::ifstream file(path, std::ios::binary);
        return {std::istreambuf_iterator<char>(file), {}};
    }

    fs::path folder_;
};

TEST_F(QuorvelCli, WritesTheExactImageAndASummary) {
    const auto input = Write("fw.hex", Lines({Record(1, 0, {0xAB}), Record(4, 0, {1, 2})}));
    const auto result =
        RunProcess({QUORVEL_CLI, "image", input, "-o", Path("fw.bin"), "--family", "p16"});
    EXPECT_EQ(result.exitStatus, 0) << result.standardError;
    EXPECT_EQ(Read(Path("fw.bin")), std::string("\xFF\xAB\xFF\x3F\x01\x02", 6));
    EXPECT_EQ(result.standardOutput, "6 bytes, ImageTop 0x6, " + input + "\n");
    EXPECT_EQ(result.standardError, "");
}

struct RefusedInput {
    const char* name;
    std::string text; // empty: no file is written at all
    std::string error;
};

// What the file gives, without writing anything: gaps, records out of the family's reach and
// records out of order are all told as they are.
TEST_F(QuorvelCli, InfoDescribesTheImageAndWritesNothing) {
    const auto input =
        Write("fw.hex", Lines({Record(0x10, 0, {1, 2}), Record(0, 0, {0xAA, 0xBB}),
                               Record(2, 0, {3}), Upper(0x30), Record(0, 0, {9}), EndOfFile()}));
    const auto result = RunProcess({QUORVEL_CLI, "image", input, "--info"});
    EXPECT_EQ(result.exitStatus, 0) << result.standardError;
    // The image: AA BB 03, blanks to 0x10, then 01 02.
    EXPECT_EQ(result.standardOutput,
              "length:       18 bytes\n"
              "ImageTop:     0x12\n"
              "filled:       0x000000-0x000002, 0x000010-0x000011\n"
              "data records: 4 (1 beyond the family's addresses, not in the image)\n"
              "CRC-32:       0x0EC562FE\n");
    EXPECT_EQ(std::distance(fs::directory_iterator(folder_), fs::directory_iterator()), 1)
        << "only the input";
}

TEST_F(QuorvelCli, RefusedInputExitsOneAndLeavesTheOutputAlone) {
    const RefusedInput cases[] = {
        {"checksum", Lines({Record(0, 0, {1}), Record(0, 1, {}, 3)}),
         "CRC check failed. Invalid CRC at line 1 in file 'checksum.hex'.\r\n"
         "No data will be loaded.\n"},
        {"conversion", Lines({Record(0, 0, {1}), ":"}), "'$' is not a valid integer value\n"},
        {"range", Lines({Upper(0x8000), Record(0, 0, {1})}), ""},
        {"short record", Lines({Record(0, 0, {1}), ":02000000FE00"}),
         "Byte count does not match the data: a data record at address 0x00000000 (line 1).\n"},
        {"segment", Lines({Record(0, 2, {0x10, 0x00})}),
         "Extended segment address not supported: segment 0x1000 (line 0).\n"},
        {"missing", "", "File not found: "},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const std::string input = Path(std::string(c.name) + ".hex");
        if (!c.text.empty()) Write(std::string(c.name) + ".hex", c.text);
        const auto fresh = RunProcess({QUORVEL_CLI, "image", input, "-o", Path("new.bin")});
        EXPECT_EQ(fresh.exitStatus, 1);
        EXPECT_FALSE(fs::exists(Path("new.bin")));
        EXPECT_EQ(fresh.standardOutput, "");
        EXPECT_FALSE(fresh.standardError.empty());
        EXPECT_EQ(fresh.standardError.substr(0, c.error.size()), c.error);

        Write("old.bin", "previous image");
        const auto existing = RunProcess({QUORVEL_CLI, "image", input, "-o", Path("old.bin")});
        EXPECT_EQ(existing.exitStatus, 1);
        EXPECT_EQ(Read(Path("old.bin")), "previous image");
    }
    // No temporary file is left behind: the folder holds only the inputs and old.bin.
    std::vector<std::string> strays;
    for (const auto& entry : fs::directory_iterator(folder_)) {
        const auto name = entry.path().filename().string();
        if (name != "old.bin" && entry.path().extension() != ".hex") strays.push_back(name);
    }
    EXPECT_TRUE(strays.empty()) << ::testing::PrintToString(strays);
}

TEST_F(QuorvelCli, UnwritableOutputExitsOne) {
    const auto input = Write("fw.hex", Lines({Record(0, 0, {1})}));
    const auto result = RunProcess({QUORVEL_CLI, "image", input, "-o", Path("no/such/dir.bin")});
    EXPECT_EQ(result.exitStatus, 1);
    EXPECT_NE(result.standardError.find("Cannot write file"), std::string::npos);
}

TEST_F(QuorvelCli, WrongUsageExitsTwoAndHelpExitsZero) {
    const auto input = Write("fw.hex", Lines({Record(0, 0, {1})}));
    const std::vector<std::vector<std::string>> wrong = {
        {},
        {"flash"},
        {"image"},
        {"image", input},
        {"image", input, "-o"},
        {"image", input, "-o", Path("a.bin"), "--family", "avr"},
        {"image", input, "-o", Path("a.bin"), "--fast"},
        {"image", input, input, "-o", Path("a.bin")},
    };
    for (const auto& arguments : wrong) {
        std::vector<std::string> command{QUORVEL_CLI};
        command.insert(command.end(), arguments.begin(), arguments.end());
        const auto result = RunProcess(command);
        EXPECT_EQ(result.exitStatus, 2) << ::testing::PrintToString(arguments);
        EXPECT_NE(result.standardError.find("Usage: quorvel-cli"), std::string::npos);
    }
    EXPECT_FALSE(fs::exists(Path("a.bin")));
    for (const auto& help : {std::vector<std::string>{QUORVEL_CLI, "--help"},
                             std::vector<std::string>{QUORVEL_CLI, "image", "--help"}}) {
        const auto result = RunProcess(help);
        EXPECT_EQ(result.exitStatus, 0);
        EXPECT_NE(result.standardOutput.find("--family"), std::string::npos);
    }
}

TEST_F(QuorvelCli, VersionIsTheProjectsAndHelpSaysHowToAsk) {
    const auto version = RunProcess({QUORVEL_CLI, "--version"});
    EXPECT_EQ(version.exitStatus, 0);
    EXPECT_EQ(version.standardOutput, std::string("quorvel-cli ") + common::kVersionText + "\n");
    EXPECT_NE(RunProcess({QUORVEL_CLI, "--help"}).standardOutput.find("--version"),
              std::string::npos);
}

// A firmware file as a compiler writes one: records of up to 16 bytes at increasing
// addresses, with gaps, crossing 64 KiB pages announced by extended-linear-address records.
std::string RandomFirmware(std::mt19937& random) {
    std::vector<std::string> lines;
    unsigned address = random() % 0x400, upper = ~0u;
    const unsigned end = 0x800 + random() % 0x30000;
    while (address < end) {
        const unsigned count = 1 + random() % 16;
        if ((address >> 16) != upper) {
            upper = address >> 16;
            lines.push_back(Upper(upper));
        }
        const unsigned room = 0x10000 - (address & 0xFFFF); // keep a record inside its page
        std::vector<std::uint8_t> data(std::min(count, room));
        for (auto& byte : data)
            byte = static_cast<std::uint8_t>(random());
        lines.push_back(Record(address & 0xFFFF, 0, data));
        address += static_cast<unsigned>(data.size()) + (random() % 4 == 0 ? random() % 300 : 0);
    }
    lines.push_back(EndOfFile());
    std::string text;
    for (const auto& line : lines)
        text += line + (random() % 2 ? "\r\n" : "\n");
    return text;
}

TEST_F(QuorvelCli, AgreesByteForByteWithSrecCat) {
    std::mt19937 random(18);
    for (int round = 0; round < 6; ++round) {
        SCOPED_TRACE(round);
        const auto input = Write("r.hex", RandomFirmware(random));
        const auto ours = RunProcess({QUORVEL_CLI, "image", input, "-o", Path("ours.bin")});
        ASSERT_EQ(ours.exitStatus, 0) << ours.standardError;
        const auto top = std::to_string(fs::file_size(Path("ours.bin")));
        const auto theirs = RunProcess({SREC_CAT, input, "-intel", "-fill", "0xFF", "0", top, "-o",
                                        Path("theirs.bin"), "-binary"});
        ASSERT_EQ(theirs.exitStatus, 0) << theirs.standardError;
        EXPECT_TRUE(Read(Path("ours.bin")) == Read(Path("theirs.bin")));
    }
}

} // namespace
} // namespace quorvel::image
