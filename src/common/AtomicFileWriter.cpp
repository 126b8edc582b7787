#include "AtomicFileWriter.h"

#include "UniqueDescriptor.h"

#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace quorvel::common {

namespace {

// The system's own limit on links followed in one path.
constexpr int kMostLinksFollowed = 40;

std::string FailureText(const std::string& path, int error) {
    return "Cannot write file \"" + path + "\". " + std::strerror(error);
}

std::string FolderOf(const std::string& path) {
    const std::size_t slash = path.rfind('/');
    return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
}

// The file that a write to `path` replaces: `path`, or the end of the chain of symbolic links
// that it names, so that the links stay links. A dangling link names the file to create.
// Returns 0 or the error.
int FollowLinks(std::string& path) {
    for (int followed = 0; followed < kMostLinksFollowed; ++followed) {
        struct stat status {};
        if (::lstat(path.c_str(), &status) != 0 || !S_ISLNK(status.st_mode)) return 0;
        char target[PATH_MAX];
        const ssize_t length = ::readlink(path.c_str(), target, sizeof target);
        if (length < 0) return errno;
        if (static_cast<std::size_t>(length) == sizeof target) return ENAMETOOLONG;
        const std::string text(target, static_cast<std::size_t>(length));
        path = text.starts_with('/') ? text : FolderOf(path) + text;
    }
    return ELOOP;
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

mode_t NewFilePermissions() {
    const mode_t mask = ::umask(0);
    ::umask(mask);
    return 0666 & ~mask;
}

// Root saving someone else's file gives it back to them. Anyone else may not, and the file is
// theirs, as any file they create.
void KeepOwner(int fd, const struct stat& old) {
    struct stat created {};
    if (::fstat(fd, &created) != 0) return;
    if (created.st_uid == old.st_uid && created.st_gid == old.st_gid) return;
    [[maybe_unused]] const int ignored = ::fchown(fd, old.st_uid, old.st_gid);
}

// The new file takes the permission bits, and where it can the owner, of the file it replaces.
// Returns 0 or the error.
int TakeOverAttributes(int fd, const std::string& replaced) {
    struct stat old {};
    const bool replacing = ::stat(replaced.c_str(), &old) == 0;
    if (replacing) KeepOwner(fd, old); // before the mode: a change of owner clears set-id bits
    const mode_t mode = replacing ? old.st_mode & 07777 : NewFilePermissions();
    return ::fchmod(fd, mode) == 0 ? 0 : errno;
}

} // namespace

std::optional<std::string> WriteFileAtomically(const std::string& path, const void* data,
                                               std::size_t size, Durability durability) {
    std::string target = path;
    if (const int error = FollowLinks(target)) return FailureText(path, error);
    std::string temporary = target + ".XXXXXX";
    UniqueDescriptor file(::mkstemp(temporary.data()));
    if (!file) return FailureText(path, errno);
    int error = WriteAll(file.Get(), static_cast<const char*>(data), size);
    if (error == 0) error = TakeOverAttributes(file.Get(), target);
    if (error == 0 && durability == Durability::SyncFirst && ::fsync(file.Get()) != 0)
        error = errno;
    if (file.Close() != 0 && error == 0) error = errno;
    if (error == 0 && std::rename(temporary.c_str(), target.c_str()) != 0) error = errno;
    if (error == 0) return std::nullopt;
    ::unlink(temporary.c_str());
    return FailureText(path, error);
}

} // namespace quorvel::common
