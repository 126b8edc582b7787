#pragma once
// Where the program's own files live. Each place is decided here alone, so that the program,
// its tools, its scripts and its tests look in the same one.
//
// A program run from its build tree, or a portable copy (a folder that holds a Settings.ini
// beside the program), keeps its files beside the program file. An installed program (the
// package, or cmake --install: the install leaves the marker share/quorvel/installed beside
// its bin folder) never writes into a system folder: Settings.ini goes to the user's
// configuration folder, published boards to the user's runtime folder. A build tree has no
// such marker, and a portable copy says so by its Settings.ini, so neither can be taken for
// an install.

#include <string>

namespace quorvel::common {

// The folder of the running program file; empty when the system cannot say.
std::string ProgramFolder();

enum class FilePlacement {
    BesideProgram, // the build tree or a portable copy
    UserFolders,   // an install
};

// How the program whose file lies in `programFolder` keeps its files.
FilePlacement PlacementOf(const std::string& programFolder);

// The folder of Settings.ini: `programFolder`, or $XDG_CONFIG_HOME/quorvel (by default
// ~/.config/quorvel) for an install. Empty when `programFolder` is.
std::string SettingsFolder(const std::string& programFolder);

// The folder "ports", where a virtual board is offered as a port by a link to its line:
// beside the program, or $XDG_RUNTIME_DIR/quorvel/ports for an install (without a runtime
// folder, /tmp/quorvel-UID/ports). Empty when `programFolder` is.
std::string PortsFolder(const std::string& programFolder);

// The folder of the message catalogues: "locale" beside the program (the build tree), else the
// install's own share/locale, else empty (the system's).
std::string LocaleFolder(const std::string& programFolder);

// The file an install leaves beside its bin folder, relative to the install's prefix.
inline constexpr const char* kInstallMarker = "share/quorvel/installed";

} // namespace quorvel::common
