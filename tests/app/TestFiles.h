#pragma once
// Real files in a temporary folder for the window tests.

#include "HexText.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <string>

namespace quorvel::app::testing {

using quorvel::testing::EndOfFile;
using quorvel::testing::Lines;
using quorvel::testing::Record;

class TestFolder {
public:
    QString Path(const QString& name) const { return folder_.filePath(name); }

    QString Write(const QString& name, const std::string& bytes) const {
        QFile file(Path(name));
        if (file.open(QIODevice::WriteOnly)) file.write(bytes.data(), qint64(bytes.size()));
        return Path(name);
    }

    QString MakeFolder(const QString& name) const {
        QDir(folder_.path()).mkpath(name);
        return Path(name);
    }

    // A file that even root cannot read: a link to a process's memory at address 0.
    QString Unreadable(const QString& name) const {
        QFile::link(QStringLiteral("/proc/self/mem"), Path(name));
        return Path(name);
    }

private:
    QTemporaryDir folder_;
};

// Three data bytes at address 2: the image is FF FF 01 02 03.
inline std::string ValidHex() {
    return Lines({Record(2, 0, {1, 2, 3}), EndOfFile()});
}
inline const std::vector<std::uint8_t> kValidImage{0xFF, 0xFF, 1, 2, 3};

// Two data bytes at address 0: the image is 0A 0B.
inline std::string OtherHex() {
    return Lines({Record(0, 0, {0x0A, 0x0B}), EndOfFile()});
}
inline const std::vector<std::uint8_t> kOtherImage{0x0A, 0x0B};

// Line 1 fails its checksum.
inline std::string ChecksumHex() {
    return Lines({Record(0, 0, {1}), Record(1, 0, {2}, 1)});
}

// A trailing blank is not a hex digit.
inline std::string ConversionHex() {
    return Lines({Record(0, 0, {1}) + " ", EndOfFile()});
}

} // namespace quorvel::app::testing
