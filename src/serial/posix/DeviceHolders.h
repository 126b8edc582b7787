#pragma once
// Other processes that have a device open. TIOCEXCL and flock keep out only those who open it
// later; a terminal program or a modem prober that holds the port already is found here, as
// fuser would find it, so that the port is not shared without a word.

#include <string>
#include <sys/types.h>
#include <vector>

namespace quorvel::serial::posix {

struct DeviceHolder {
    pid_t pid = 0;
    std::string name; // the program's name as the system keeps it (its comm)
};

// The processes other than this one with a descriptor open on the device at `path`; empty
// when there are none or the path names no device. Processes of other users are seen only by
// root.
std::vector<DeviceHolder> OtherHolders(const std::string& path);

// "cat (pid 4711), ModemManager (pid 812)"
std::string HoldersText(const std::vector<DeviceHolder>& holders);

} // namespace quorvel::serial::posix
