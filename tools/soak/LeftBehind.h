#pragma once
// What a run may leave behind in the process that runs it: open descriptors and children.

#include <set>
#include <sys/types.h>
#include <vector>

namespace quorvel::soak {

// The descriptors this process holds open, as /proc/self/fd lists them.
std::set<int> OpenDescriptors();

// This process's children that still exist, ended but uncollected ones included.
std::vector<pid_t> LiveChildren();

} // namespace quorvel::soak
