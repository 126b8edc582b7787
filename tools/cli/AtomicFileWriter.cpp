#include "AtomicFileWriter.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace quorvel::cli {

namespace {

std::string FailureText(const std::string& path, int error) {
    return "Cannot write file \"" + path + "\". " + std::strerror(error);
}

int WriteAll(int fd, const std::uint8_t* data, std::size_t size) {
    while (size > 0) {
        const ssize_t written = ::write(fd, data, size);
        if (written < 0) {
            if (errno == EINTR) continue;
            return errno;
        }
        data += written;
        size -= static_cast<std::size_t>(written);
    }
    return 0;
}

} // namespace

std::optional<std::string> WriteFileAtomically(const std::string& path,
                                               const std::vector<std::uint8_t>& bytes) {
    std::string temporary = path + ".XXXXXX";
    const int fd = ::mkstemp(temporary.data());
    if (fd < 0) return FailureText(path, errno);
    int error = WriteAll(fd, bytes.data(), bytes.size());
    // mkstemp creates the file 0600; give it the permissions an ordinary new file gets.
    const mode_t mask = ::umask(0);
    ::umask(mask);
    if (error == 0 && ::fchmod(fd, 0666 & ~mask) != 0) error = errno;
    if (::close(fd) != 0 && error == 0) error = errno;
    if (error == 0 && std::rename(temporary.c_str(), path.c_str()) != 0) error = errno;
    if (error == 0) return std::nullopt;
    ::unlink(temporary.c_str());
    return FailureText(path, error);
}

} // namespace quorvel::cli
