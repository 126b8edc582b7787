#pragma once
// Sole owner of one file descriptor: closed when the owner goes, on every path.

#include <unistd.h>
#include <utility>

namespace quorvel::common {

class UniqueDescriptor {
public:
    UniqueDescriptor() = default;
    explicit UniqueDescriptor(int descriptor) : descriptor_(descriptor) {}
    UniqueDescriptor(UniqueDescriptor&& other) noexcept : descriptor_(other.Release()) {}
    UniqueDescriptor& operator=(UniqueDescriptor&& other) noexcept {
        if (this != &other) {
            Close();
            descriptor_ = other.Release();
        }
        return *this;
    }
    UniqueDescriptor(const UniqueDescriptor&) = delete;
    UniqueDescriptor& operator=(const UniqueDescriptor&) = delete;
    ~UniqueDescriptor() { Close(); }

    int Get() const { return descriptor_; }
    explicit operator bool() const { return descriptor_ >= 0; }

    // Returns what close() returned, or 0 when nothing was open: a write is only known to have
    // reached the file once its close succeeded.
    int Close() {
        if (descriptor_ < 0) return 0;
        return ::close(Release());
    }

    // Gives the descriptor to the caller, who closes it from now on.
    int Release() { return std::exchange(descriptor_, -1); }

private:
    int descriptor_ = -1;
};

} // namespace quorvel::common
