// quorvel-cli ports against a system of the test's own: a sysfs tree in which a USB adapter
// sits behind a tty, and a folder of stable names.

#include "ProcessRunner.h"
#include "TemporaryFolder.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

namespace quorvel::cli::testing {
namespace {

namespace fs = std::filesystem;
using quorvel::testing::RunProcess;
using quorvel::testing::TemporaryFolder;

// /sys/class/tty/NAME -> the tty's folder under the adapter's interface, whose "device" leads
// to the interface, one folder below the USB device with its ids. The tty is named after a
// device this system surely has, so that its stable name can lead somewhere.
class FakeSystem {
public:
    explicit FakeSystem(const TemporaryFolder& folder)
        : sysfs(folder.PathOf("sys/class/tty")), byId(folder.PathOf("by-id")) {
        const fs::path usb = folder.PathOf("sys/devices/usb1/1-2");
        const fs::path interface = usb / "1-2:1.0";
        fs::create_directories(interface / "ttyUSB0" / "tty" / kName);
        fs::create_directories(sysfs);
        fs::create_directories(byId);
        for (const auto& [file, text] : {std::pair{"idVendor", "0403\n"},
                                         {"idProduct", "6001\n"},
                                         {"manufacturer", "Maker\n"},
                                         {"product", "Adapter\n"},
                                         {"serial", "A1B2C3\n"}})
            std::ofstream(usb / file) << text;
        const fs::path tty = interface / "ttyUSB0" / "tty" / kName;
        fs::create_directory_symlink(tty, fs::path(sysfs) / kName);
        fs::create_directory_symlink(interface, tty / "device");
        fs::create_symlink("/dev/" + std::string(kName),
                           fs::path(byId) / "usb-Maker_Adapter_A1B2C3-if00-port0");
    }

    static constexpr const char* kName = "null";
    std::string sysfs;
    std::string byId;
};

TEST(Ports, ListsTheSystemsPortsOneNameALine) {
    TemporaryFolder folder;
    const FakeSystem system(folder);
    const auto listed = RunProcess({QUORVEL_CLI, "ports", "--sysfs", system.sysfs});
    EXPECT_EQ(listed.exitStatus, 0) << listed.standardError;
    EXPECT_EQ(listed.standardOutput.find("null\n"), 0u) << listed.standardOutput;
}

TEST(Ports, LongSaysWhatTheSystemKnowsOfAUsbAdapter) {
    TemporaryFolder folder;
    const FakeSystem system(folder);
    const auto listed = RunProcess(
        {QUORVEL_CLI, "ports", "--long", "--sysfs", system.sysfs, "--by-id", system.byId});
    EXPECT_EQ(listed.exitStatus, 0) << listed.standardError;
    const std::string expected = "null\n"
                                 "    device:   /dev/null\n"
                                 "    usb id:   0403:6001\n"
                                 "    maker:    Maker\n"
                                 "    product:  Adapter\n"
                                 "    serial:   A1B2C3\n"
                                 "    by-id:    " +
                                 system.byId + "/usb-Maker_Adapter_A1B2C3-if00-port0\n";
    EXPECT_EQ(listed.standardOutput.substr(0, expected.size()), expected) << listed.standardOutput;
}

TEST(Ports, AListThatCannotBeReadExitsOne) {
    const auto listed = RunProcess({QUORVEL_CLI, "ports", "--sysfs", "/no/such/folder"});
    EXPECT_EQ(listed.exitStatus, 1);
    EXPECT_NE(listed.standardError.find("cannot list the serial ports"), std::string::npos);
    EXPECT_EQ(RunProcess({QUORVEL_CLI, "ports", "--bogus"}).exitStatus, 2);
}

} // namespace
} // namespace quorvel::cli::testing
