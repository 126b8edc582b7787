#include "DeviceHolders.h"

#include <dirent.h>
#include <fstream>
#include <sys/stat.h>
#include <unistd.h>

namespace quorvel::serial::posix {

namespace {

bool IsProcess(const char* name) {
    if (*name == '\0') return false;
    for (; *name; ++name)
        if (*name < '0' || *name > '9') return false;
    return true;
}

bool HoldsDevice(const std::string& processFolder, dev_t device) {
    const std::string fds = processFolder + "/fd";
    DIR* folder = ::opendir(fds.c_str());
    if (!folder) return false; // gone, or another user's
    bool holds = false;
    while (const dirent* entry = ::readdir(folder)) {
        struct stat status {};
        if (entry->d_name[0] == '.') continue;
        if (::stat((fds + "/" + entry->d_name).c_str(), &status) != 0) continue;
        if (S_ISCHR(status.st_mode) && status.st_rdev == device) {
            holds = true;
            break;
        }
    }
    ::closedir(folder);
    return holds;
}

std::string ProgramName(const std::string& processFolder) {
    std::ifstream comm(processFolder + "/comm");
    std::string name;
    std::getline(comm, name);
    return name;
}

} // namespace

std::vector<DeviceHolder> OtherHolders(const std::string& path) {
    std::vector<DeviceHolder> holders;
    struct stat device {};
    if (::stat(path.c_str(), &device) != 0 || !S_ISCHR(device.st_mode)) return holders;
    DIR* processes = ::opendir("/proc");
    if (!processes) return holders;
    const pid_t self = ::getpid();
    while (const dirent* entry = ::readdir(processes)) {
        if (!IsProcess(entry->d_name)) continue;
        const pid_t pid = static_cast<pid_t>(std::stol(entry->d_name));
        if (pid == self) continue;
        const std::string folder = std::string("/proc/") + entry->d_name;
        if (HoldsDevice(folder, device.st_rdev)) holders.push_back({pid, ProgramName(folder)});
    }
    ::closedir(processes);
    return holders;
}

std::string HoldersText(const std::vector<DeviceHolder>& holders) {
    std::string text;
    for (const DeviceHolder& holder : holders) {
        if (!text.empty()) text += ", ";
        text += holder.name + " (pid " + std::to_string(holder.pid) + ")";
    }
    return text;
}

} // namespace quorvel::serial::posix
