#include "AtomicFileWriter.h"

#include "UniqueDescriptor.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace quorvel::common {

namespace {

std::string FailureText(const std::string& path, int error) {
    return "Cannot write file \"" + path + "\". " + std::strerror(error);
}

int WriteAll(int fd, const char* data, std::size_t size) {
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

// The bits the new file gets: those of the file it replaces, else those of a new file.
mode_t PermissionsFor(const std::string& path) {
    struct stat status {};
    if (::stat(path.c_str(), &status) == 0) return status.st_mode & 07777;
    const mode_t mask = ::umask(0);
    ::umask(mask);
    return 0666 & ~mask;
}

} // namespace

std::optional<std::string> WriteFileAtomically(const std::string& path, const void* data,
                                               std::size_t size, Durability durability) {
    std::string temporary = path + ".XXXXXX";
    UniqueDescriptor file(::mkstemp(temporary.data()));
    if (!file) return FailureText(path, errno);
    int error = WriteAll(file.Get(), static_cast<const char*>(data), size);
    if (error == 0 && ::fchmod(file.Get(), PermissionsFor(path)) != 0) error = errno;
    if (error == 0 && durability == Durability::SyncFirst && ::fsync(file.Get()) != 0)
        error = errno;
    if (file.Close() != 0 && error == 0) error = errno;
    if (error == 0 && std::rename(temporary.c_str(), path.c_str()) != 0) error = errno;
    if (error == 0) return std::nullopt;
    ::unlink(temporary.c_str());
    return FailureText(path, error);
}

} // namespace quorvel::common
