#include "UniqueDescriptor.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <fcntl.h>
#include <stdexcept>

namespace quorvel::common {
namespace {

int OpenNull() {
    const int descriptor = ::open("/dev/null", O_RDONLY | O_CLOEXEC);
    EXPECT_GE(descriptor, 0);
    return descriptor;
}

bool IsOpen(int descriptor) {
    return ::fcntl(descriptor, F_GETFD) != -1;
}

TEST(UniqueDescriptor, ClosesWhenItsOwnerGoesAnyWay) {
    int descriptor = -1;
    {
        const UniqueDescriptor owner(OpenNull());
        descriptor = owner.Get();
        EXPECT_TRUE(IsOpen(descriptor));
    }
    EXPECT_FALSE(IsOpen(descriptor)) << "at the end of the scope";

    try {
        const UniqueDescriptor owner(OpenNull());
        descriptor = owner.Get();
        throw std::runtime_error("failure");
    } catch (const std::runtime_error&) {
    }
    EXPECT_FALSE(IsOpen(descriptor)) << "when an exception leaves the scope";
}

TEST(UniqueDescriptor, MovingHandsTheDescriptorOverAndTheOldOwnerClosesNothing) {
    UniqueDescriptor target;
    int descriptor = -1;
    {
        UniqueDescriptor source(OpenNull());
        descriptor = source.Get();
        target = UniqueDescriptor(std::move(source));
        EXPECT_FALSE(source);
        EXPECT_EQ(source.Get(), -1);
    }
    EXPECT_TRUE(IsOpen(descriptor));
    EXPECT_EQ(target.Get(), descriptor);
}

TEST(UniqueDescriptor, AssigningClosesWhatTheTargetHeld) {
    UniqueDescriptor target(OpenNull());
    const int replaced = target.Get();
    UniqueDescriptor source(OpenNull());
    const int kept = source.Get();
    target = std::move(source);
    EXPECT_FALSE(IsOpen(replaced));
    EXPECT_TRUE(IsOpen(kept));
    EXPECT_EQ(target.Get(), kept);

    UniqueDescriptor& alias = target;
    target = std::move(alias);
    EXPECT_TRUE(IsOpen(kept)) << "assigned to itself";
    EXPECT_EQ(target.Get(), kept);
}

TEST(UniqueDescriptor, ReleaseGivesTheDescriptorToTheCaller) {
    int descriptor = -1;
    {
        UniqueDescriptor owner(OpenNull());
        descriptor = owner.Release();
        EXPECT_FALSE(owner);
    }
    EXPECT_TRUE(IsOpen(descriptor));
    EXPECT_EQ(::close(descriptor), 0);
}

TEST(UniqueDescriptor, CloseSaysWhatTheSystemSaidAndClosesOnce) {
    UniqueDescriptor owner(OpenNull());
    const int descriptor = owner.Get();
    EXPECT_EQ(owner.Close(), 0);
    EXPECT_FALSE(IsOpen(descriptor));
    EXPECT_FALSE(owner);
    EXPECT_EQ(owner.Close(), 0) << "nothing left to close";

    UniqueDescriptor notOpen(1 << 20); // no descriptor has a number that high
    errno = 0;
    EXPECT_EQ(notOpen.Close(), -1);
    EXPECT_EQ(errno, EBADF);
    EXPECT_FALSE(notOpen);
}

} // namespace
} // namespace quorvel::common
