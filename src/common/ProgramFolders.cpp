#include "ProgramFolders.h"

#include <cstdlib>
#include <filesystem>
#include <pwd.h>
#include <system_error>
#include <unistd.h>

namespace quorvel::common {

namespace fs = std::filesystem;

namespace {

bool Exists(const fs::path& path) {
    std::error_code ignored;
    return fs::exists(path, ignored);
}

// A folder named by the environment, used only when it is an absolute path, as the base
// directory rules say.
std::string AbsoluteFromEnvironment(const char* name) {
    const char* value = std::getenv(name);
    return value && value[0] == '/' ? std::string(value) : std::string();
}

std::string HomeFolder() {
    if (std::string home = AbsoluteFromEnvironment("HOME"); !home.empty()) return home;
    const passwd* user = ::getpwuid(::getuid());
    return user && user->pw_dir ? std::string(user->pw_dir) : std::string("/");
}

std::string ConfigHome() {
    const std::string configured = AbsoluteFromEnvironment("XDG_CONFIG_HOME");
    return configured.empty() ? HomeFolder() + "/.config" : configured;
}

std::string RuntimeFolder() {
    const std::string configured = AbsoluteFromEnvironment("XDG_RUNTIME_DIR");
    return configured.empty() ? "/tmp/quorvel-" + std::to_string(::getuid())
                              : configured + "/quorvel";
}

} // namespace

std::string ProgramFolder() {
    std::error_code error;
    const fs::path program = fs::read_symlink("/proc/self/exe", error);
    return error ? std::string() : program.parent_path().string();
}

FilePlacement PlacementOf(const std::string& programFolder) {
    const fs::path folder(programFolder);
    if (Exists(folder / "Settings.ini")) return FilePlacement::BesideProgram;
    if (Exists(folder.parent_path() / kInstallMarker)) return FilePlacement::UserFolders;
    return FilePlacement::BesideProgram;
}

std::string SettingsFolder(const std::string& programFolder) {
    if (programFolder.empty()) return {};
    if (PlacementOf(programFolder) == FilePlacement::BesideProgram) return programFolder;
    return ConfigHome() + "/quorvel";
}

std::string PortsFolder(const std::string& programFolder) {
    if (programFolder.empty()) return {};
    if (PlacementOf(programFolder) == FilePlacement::BesideProgram)
        return (fs::path(programFolder) / "ports").string();
    return RuntimeFolder() + "/ports";
}

std::string LocaleFolder(const std::string& programFolder) {
    if (programFolder.empty()) return {};
    const fs::path folder(programFolder);
    if (Exists(folder / "locale")) return (folder / "locale").string();
    if (Exists(folder.parent_path() / "share/locale"))
        return (folder.parent_path() / "share/locale").string();
    return {};
}

} // namespace quorvel::common
