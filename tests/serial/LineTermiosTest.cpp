// The termios2 record the device layer hands to the kernel. A pseudo-terminal forces 8 data
// bits and no parity, so those two are checked here, on the record itself.
#include "posix/LineTermios.h"

#include <asm/termbits.h>
#include <gtest/gtest.h>

namespace quorvel::serial::posix {
namespace {

DeviceControlBlock Record(std::uint8_t byteSize, std::uint8_t parity, std::uint8_t stopBits) {
    DeviceControlBlock record;
    record.DCBlength = 28;
    record.BaudRate = 115200;
    record.flags = dcb::kBinary;
    record.ByteSize = byteSize;
    record.Parity = parity;
    record.StopBits = stopBits;
    record.XonChar = 0x11;
    record.XoffChar = 0x13;
    return record;
}

TEST(TermiosForRecord, DataBitsGiveTheirCharacterSize) {
    const std::pair<std::uint8_t, std::uint32_t> sizes[] = {{5, CS5}, {6, CS6}, {7, CS7}, {8, CS8}};
    for (auto [bits, size] : sizes) {
        LineTermios termios;
        ASSERT_EQ(TermiosForRecord(Record(bits, 0, 0), termios), 0);
        EXPECT_EQ(termios.cflag & CSIZE, size) << int(bits);
    }
}

TEST(TermiosForRecord, ParityGivesItsFlags) {
    const std::pair<std::uint8_t, std::uint32_t> parities[] = {{0, 0},
                                                               {1, PARENB | PARODD},
                                                               {2, PARENB},
                                                               {3, PARENB | PARODD | CMSPAR},
                                                               {4, PARENB | CMSPAR}};
    for (auto [parity, flags] : parities) {
        LineTermios termios;
        ASSERT_EQ(TermiosForRecord(Record(8, parity, 0), termios), 0);
        EXPECT_EQ(termios.cflag & (PARENB | PARODD | CMSPAR), flags) << int(parity);
    }
}

TEST(TermiosForRecord, IsRawWithAnyRateAndNonBlockingReads) {
    DeviceControlBlock record = Record(8, 0, 0);
    record.BaudRate = 14400;
    LineTermios termios;
    ASSERT_EQ(TermiosForRecord(record, termios), 0);
    EXPECT_EQ(termios.cflag & CBAUD, static_cast<std::uint32_t>(BOTHER));
    EXPECT_EQ(termios.ospeed, 14400u);
    EXPECT_EQ(termios.ispeed, 14400u);
    EXPECT_EQ(termios.cflag & (CREAD | CLOCAL), static_cast<std::uint32_t>(CREAD | CLOCAL));
    EXPECT_EQ(termios.lflag, 0u);
    EXPECT_EQ(termios.oflag, 0u);
    EXPECT_EQ(termios.iflag & (ICRNL | INLCR | IGNCR | ISTRIP | IXANY), 0u);
    EXPECT_EQ(termios.cc[VMIN], 1);
    EXPECT_EQ(termios.cc[VTIME], 0);
}

TEST(TermiosForRecord, ParityCheckingAndTheHandshakeFlags) {
    DeviceControlBlock record = Record(8, 2, 0);
    record.flags |= dcb::kParityCheck | dcb::kOutX;
    LineTermios termios;
    ASSERT_EQ(TermiosForRecord(record, termios), 0);
    EXPECT_NE(termios.iflag & INPCK, 0u);
    EXPECT_NE(termios.iflag & IXON, 0u);
    EXPECT_EQ(termios.iflag & IXOFF, 0u);
    EXPECT_EQ(termios.cflag & CRTSCTS, 0u);
    record.flags = dcb::kBinary | dcb::kRtsHandshake;
    ASSERT_EQ(TermiosForRecord(record, termios), 0);
    EXPECT_NE(termios.cflag & CRTSCTS, 0u);
}

TEST(TermiosForRecord, RefusesWhatNoLineCanDo) {
    DeviceControlBlock zeroRate = Record(8, 0, 0);
    zeroRate.BaudRate = 0;
    // One and a half stop bits exist only with five data bits, two only with more.
    const DeviceControlBlock refused[] = {zeroRate,           Record(4, 0, 0), Record(9, 0, 0),
                                          Record(0xFF, 0, 0), Record(8, 5, 0), Record(8, 0, 3),
                                          Record(8, 0, 1),    Record(6, 0, 1), Record(5, 0, 2)};
    for (const DeviceControlBlock& record : refused) {
        LineTermios termios;
        EXPECT_EQ(TermiosForRecord(record, termios), EINVAL);
    }
}

} // namespace
} // namespace quorvel::serial::posix
