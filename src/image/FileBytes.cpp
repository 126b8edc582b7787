#include "FileBytes.h"

#include "UniqueDescriptor.h"

#include <cerrno>
#include <cstdint>
#include <cstring>
#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

namespace quorvel::image {

namespace {

constexpr std::size_t kHugePage = 2 << 20;

} // namespace

FileBytes::~FileBytes() {
    Release();
}

void FileBytes::Release() {
    if (mapping_) ::munmap(mapping_, mappingSize_);
    mapping_ = nullptr;
    data_ = nullptr;
    size_ = capacity_ = mappingSize_ = 0;
}

// Grows the buffer to at least `capacity` bytes, keeping what it holds.
bool FileBytes::Reserve(std::size_t capacity) {
    if (capacity <= capacity_) return true;
    const std::size_t rounded = (capacity + kHugePage - 1) / kHugePage * kHugePage;
    const std::size_t mappingSize = rounded + kHugePage; // room to align the start
    void* mapping =
        ::mmap(nullptr, mappingSize, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    if (mapping == MAP_FAILED) return false;
    const auto start =
        (reinterpret_cast<std::uintptr_t>(mapping) + kHugePage - 1) & ~(kHugePage - 1);
    char* data = reinterpret_cast<char*>(start);
    ::madvise(data, rounded, MADV_HUGEPAGE); // a hint; ordinary pages work as well
    if (size_ > 0) std::memcpy(data, data_, size_);
    const std::size_t size = size_;
    Release();
    mapping_ = mapping;
    mappingSize_ = mappingSize;
    data_ = data;
    size_ = size;
    capacity_ = rounded;
    return true;
}

int FileBytes::Read(const std::string& path) {
    Release();
    const common::UniqueDescriptor file(::open(path.c_str(), O_RDONLY | O_CLOEXEC));
    if (!file) return errno;
    struct stat status {};
    if (::fstat(file.Get(), &status) != 0) return errno;
    // Read to the end rather than trusting the size: the file may grow while we read, and
    // some files (in /proc, say) report no size at all.
    if (!Reserve(status.st_size > 0 ? static_cast<std::size_t>(status.st_size) + 1 : 1))
        return ENOMEM;
    for (;;) {
        if (size_ == capacity_ && !Reserve(capacity_ * 2)) return ENOMEM;
        const ssize_t got = ::read(file.Get(), data_ + size_, capacity_ - size_);
        if (got < 0 && errno == EINTR) continue;
        if (got < 0) return errno;
        if (got == 0) return 0;
        size_ += static_cast<std::size_t>(got);
    }
}

} // namespace quorvel::image
