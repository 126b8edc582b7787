#include "FileBytes.h"

#include <cerrno>
#include <fcntl.h>
#include <new>
#include <sys/stat.h>
#include <unistd.h>

namespace quorvel::image {

namespace {

class FileDescriptor {
public:
    explicit FileDescriptor(int fd) : fd_(fd) {}
    ~FileDescriptor() {
        if (fd_ >= 0) ::close(fd_);
    }
    FileDescriptor(const FileDescriptor&) = delete;
    FileDescriptor& operator=(const FileDescriptor&) = delete;
    int get() const { return fd_; }

private:
    int fd_;
};

} // namespace

int ReadWholeFile(const std::string& path, std::string& bytes) {
    bytes.clear();
    FileDescriptor file(::open(path.c_str(), O_RDONLY | O_CLOEXEC));
    if (file.get() < 0) return errno;
    struct stat status {};
    if (::fstat(file.get(), &status) != 0) return errno;
    try {
        if (status.st_size > 0) bytes.reserve(static_cast<std::size_t>(status.st_size));
    } catch (const std::bad_alloc&) {
        return ENOMEM;
    }
    // Read to the end rather than trusting the size: the file may change while we read.
    char chunk[1 << 16];
    for (;;) {
        const ssize_t got = ::read(file.get(), chunk, sizeof chunk);
        if (got < 0) {
            if (errno == EINTR) continue;
            return errno;
        }
        if (got == 0) return 0;
        try {
            bytes.append(chunk, static_cast<std::size_t>(got));
        } catch (const std::bad_alloc&) {
            return ENOMEM;
        }
    }
}

} // namespace quorvel::image
