#pragma once
// Where the program's own files live. Each place is decided here alone, so that the program,
// its tools, its scripts and its tests look in the same one.

#include <string>

namespace quorvel::common {

// The folder of the running program file; empty when the system cannot say.
std::string ProgramFolder();

// The folder "ports" in `programFolder`, where a virtual board is offered as a port by a link
// to its line; empty when `programFolder` is (no folder known, so none to look in or publish to).
std::string PortsFolder(const std::string& programFolder);

} // namespace quorvel::common
