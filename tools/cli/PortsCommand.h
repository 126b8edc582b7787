#pragma once

namespace quorvel::cli {

// `quorvel-cli ports ...`: the arguments after the command word. Returns the exit status:
// 0 listed, 1 the system's list could not be read, 2 wrong usage.
int RunPortsCommand(int argc, char** argv);

} // namespace quorvel::cli
