#include "LeftBehind.h"

#include <charconv>
#include <dirent.h>
#include <fstream>
#include <iterator>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <unistd.h>

namespace quorvel::soak {

namespace {

struct DirectoryCloser {
    void operator()(DIR* directory) const { ::closedir(directory); }
};
using Directory = std::unique_ptr<DIR, DirectoryCloser>;

std::optional<long> NumberOf(std::string_view text) {
    long value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc() || end != text.data() + text.size()) return std::nullopt;
    return value;
}

// Calls `each` with every entry of `path` whose name is a number, and the descriptor that
// the listing itself holds open meanwhile.
template <typename Each> void ForEachNumberedEntry(const char* path, Each each) {
    const Directory directory(::opendir(path));
    if (!directory) return;
    while (const dirent* entry = ::readdir(directory.get())) {
        if (const auto number = NumberOf(entry->d_name)) each(*number, ::dirfd(directory.get()));
    }
}

// The parent's id from /proc/PID/stat; the name before it may hold spaces and parentheses,
// so the fields are counted from the last ')'.
std::optional<long> ParentOf(long pid) {
    std::ifstream file("/proc/" + std::to_string(pid) + "/stat");
    const std::string stat((std::istreambuf_iterator<char>(file)),
                           std::istreambuf_iterator<char>());
    const auto nameEnd = stat.rfind(')');
    if (nameEnd == std::string::npos || nameEnd + 4 >= stat.size()) return std::nullopt;
    const std::string_view fields = std::string_view(stat).substr(nameEnd + 4); // ") S "
    return NumberOf(fields.substr(0, fields.find(' ')));
}

} // namespace

std::set<int> OpenDescriptors() {
    std::set<int> descriptors;
    ForEachNumberedEntry("/proc/self/fd", [&](long descriptor, int listing) {
        if (descriptor != listing) descriptors.insert(static_cast<int>(descriptor));
    });
    return descriptors;
}

std::vector<pid_t> LiveChildren() {
    std::vector<pid_t> children;
    const long self = ::getpid();
    ForEachNumberedEntry("/proc", [&](long pid, int) {
        if (ParentOf(pid) == self) children.push_back(static_cast<pid_t>(pid));
    });
    return children;
}

} // namespace quorvel::soak
